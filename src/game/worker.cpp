#include <chrono>
#include <cstdio>

#include "game/controller.h"

namespace tesmor {

namespace {

// Writes the search's progress into the panel and asks the window to redraw the line.
class PanelOverLink final : public SearchProgress {
 public:
  PanelOverLink(PanelLines* panel, WindowLink& window) : panel_(panel), window_(window) {}
  void Progress(ProgressField field, int value) override {
    const int line = ProgressLine(field);
    if (panel_) panel_->Set(line, ProgressText(field, value));
    window_.Send({WorkerEvent::ProgressChanged, line});
  }

 private:
  PanelLines* panel_;
  WindowLink& window_;
};

// Shows the proposal and, when the user accepts it, plays it as the human's click.
void Propose(std::optional<int> point, WindowLink& window) {
  if (!point || *point < 0 || *point >= CellCount) {
    window.Send({WorkerEvent::Finished});  // nothing to propose
    return;
  }
  const int accepted = window.Send({WorkerEvent::ProposePoint, *point});
  window.Send({WorkerEvent::Finished});
  if (accepted) window.Send({WorkerEvent::PlayProposal, *point});
}

void RunVcfJob(const WorkerJob& job, ComputerPlayer& computer, WindowLink& window) {
  const auto start = std::chrono::steady_clock::now();
  const std::optional<int> point = computer.FindVcf(job.game, 113, job.request.stopRequested);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  std::printf("%d:%2d", static_cast<int>(elapsed / 60000),
              static_cast<int>((elapsed % 60000) / 1000));
  std::fflush(stdout);
  // A stopped search has shown nothing, so it says nothing.
  const bool stopped = job.request.stopRequested && job.request.stopRequested->load();
  if (!point && !stopped) window.Send({WorkerEvent::NoVcfFound});
  if (!point) {
    window.Send({WorkerEvent::Finished});
    return;
  }
  Propose(point, window);
}

}  // namespace

void RunWorkerJob(const WorkerJob& job, ComputerPlayer& computer, WindowLink& window) {
  PanelOverLink progress(job.panel, window);
  MoveRequest request = job.request;
  request.progress = &progress;

  switch (job.kind) {
    case WorkerKind::ComputerMove: {
      const ComputerAnswer answer = computer.ChooseMove(job.game, request);
      window.Send({WorkerEvent::ComputerMoved, 0, job.game.SideToMove(), answer});
      break;
    }
    case WorkerKind::Hint: {
      const ComputerAnswer answer = computer.ChooseMove(job.game, request);
      Propose(
          answer.kind == ComputerAnswer::Kind::Point ? std::optional(answer.point) : std::nullopt,
          window);
      break;
    }
    case WorkerKind::Vcf:
      RunVcfJob(job, computer, window);
      break;
  }
}

}  // namespace tesmor
