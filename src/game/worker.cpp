#include <chrono>
#include <cstdio>

#include "game/controller.h"
#include "game/geometry.h"

namespace tesmor {

namespace {

// Writes the search's progress into the panel and asks the window to redraw the line.
class PanelOverLink final : public SearchProgress {
 public:
  PanelOverLink(PanelLines* panel, WindowLink& window) : panel_(panel), window_(window) {}
  void PanelLine(int index, const std::string& text) override {
    if (panel_) panel_->Set(index, text);
    window_.Send(UM_PANEL_LINE, index);
  }

 private:
  PanelLines* panel_;
  WindowLink& window_;
};

// Shows the proposal and, when the user accepts it, plays it as the human's click.
void Propose(int point, WindowLink& window) {
  if (point < 0 || point >= CellCount) {
    window.Send(UM_COMPUTATION_DONE, 0);  // nothing to propose
    return;
  }
  const int accepted = window.Send(UM_SHOW_PROPOSAL, point);
  window.Send(UM_COMPUTATION_DONE, 0);
  if (accepted) window.Send(WM_LBUTTONDOWN, ClickParam(PointRow(point), PointCol(point)));
}

}  // namespace

void RunWorkerJob(const WorkerJob& job, ComputerPlayer& computer, WindowLink& window) {
  GameState& game = *job.game;
  PanelOverLink progress(job.panel, window);
  MoveRequest request = job.request;
  request.progress = &progress;

  switch (job.kind) {
    case WorkerKind::ComputerMove: {
      const int result = computer.ChooseComputerMove(game, request);
      window.Send(game.moveCount % 2 == 0 ? UM_COMPUTER_MOVE_BLACK : UM_COMPUTER_MOVE_WHITE,
                  result);
      break;
    }
    case WorkerKind::Hint:
      Propose(computer.ChooseComputerMove(game, request), window);
      break;
    case WorkerKind::Vcf: {
      const auto start = std::chrono::steady_clock::now();
      const int point = computer.FindVcf(game, 113);
      const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();
      std::printf("%d:%2d", static_cast<int>(elapsed / 60000),
                  static_cast<int>((elapsed % 60000) / 1000));
      std::fflush(stdout);
      if (point >= NoPoint) {
        window.Send(UM_SHOW_NO_VCF, 0);
        window.Send(UM_COMPUTATION_DONE, 0);
      } else {
        Propose(point, window);
      }
      break;
    }
  }
}

}  // namespace tesmor
