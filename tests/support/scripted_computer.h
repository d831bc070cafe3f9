#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

#include "game/computer_player.h"

namespace tesmor::test {

// The computer, scripted for the controller's and the window's tests: each request takes the
// next answer and is kept for checks. LongSearch reports progress until stopped, then plays
// stopAnswer.
class ScriptedComputer : public ComputerPlayer {
 public:
  static constexpr ComputerAnswer LongSearch{ComputerAnswer::Kind::NoMove, -1000, -1000};

  ScriptedComputer() { bookReport.loaded = true; }
  BookLoadReport LoadOpeningBook() override { return bookReport; }
  ComputerAnswer ChooseMove(GameState, const MoveRequest& request) override {
    requests.push_back(request);
    stopSeen.push_back(request.stopRequested && request.stopRequested->load());
    if (request.progress) request.progress->Progress(ProgressField::Depth, 2);
    if (moves.empty()) return ComputerAnswer::None();
    const ComputerAnswer move = moves.front();
    moves.pop_front();
    if (move != LongSearch) return move;
    searching = true;
    for (int n = 0; !request.stopRequested->load(); ++n) {
      request.progress->Progress(ProgressField::CurrentPoint, n % CellCount);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    searching = false;
    return stopAnswer;
  }
  std::optional<int> FindVcf(GameState, int limit, std::atomic<bool>*) override {
    vcfLimits.push_back(limit);
    return vcfAnswer ? std::optional(vcfAnswer->point) : std::nullopt;
  }
  std::optional<VcfWin> FindVcfWin(GameState game, int limit, std::atomic<bool>* stop) override {
    FindVcf(game, limit, stop);
    return vcfAnswer;
  }

  BookLoadReport bookReport;
  std::deque<ComputerAnswer> moves;
  ComputerAnswer stopAnswer;
  std::atomic<bool> searching{false};
  std::optional<VcfWin> vcfAnswer;
  std::vector<MoveRequest> requests;
  std::vector<bool> stopSeen;  // whether each request's stop flag was set when it came
  std::vector<int> vcfLimits;
};

}  // namespace tesmor::test
