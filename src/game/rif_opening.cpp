// The RIF opening procedure: the computer's swap after the human's opening, the opening it lays
// as Black, and the two offered fifth moves on either side.
#include <array>
#include <iostream>

#include "board/symmetry.h"
#include "game/controller.h"
#include "game/openings.h"

namespace tesmor {

namespace {

constexpr const char* kNoticeCaption = "提示消息";

enum class SwapDecision { Always, Random, Never };

// Whether the computer, as White, swaps after the human's legal opening, by opening number.
SwapDecision SwapDecisionFor(int opening) {
  switch (opening) {
    case 3:
    case 9:
    case 11:
    case 14:
    case 18:
    case 24:
      return SwapDecision::Random;
    case 13:
    case 26:
      return SwapDecision::Never;
    default:
      return SwapDecision::Always;
  }
}

// The opening the computer lays as Black, by a draw in 0..21.
int ComputerOpeningFor(int draw) {
  static constexpr std::array<int, 22> kTable = {5,  8,  10, 12, 22, 25, 9, 9,  14, 14, 24,
                                                 24, 18, 18, 3,  3,  3,  3, 11, 11, 11, 11};
  return kTable[static_cast<size_t>(draw)];
}

bool IsPoint(int value) {
  return value >= 0 && value < CellCount;
}

}  // namespace

void Controller::CheckHumanOpening() {
  const NamedOpening* opening = FindOpening(game_);
  if (!opening) {
    Notice("非法开局！");
    NewGame(CmdPlayBlack);
    return;
  }
  bool swap = false;
  switch (SwapDecisionFor(opening->number)) {
    case SwapDecision::Always:
      swap = true;
      break;
    case SwapDecision::Random:
      random_.Seed();
      swap = random_.Next() % 2 == 1;
      break;
    case SwapDecision::Never:
      break;
  }
  if (swap)
    Notice("电脑交换！");  // the human now plays White and lays the fourth stone
  else
    StartComputerTurn();
}

void Controller::LayComputerOpening() {
  random_.Seed();
  const int opening = ComputerOpeningFor(random_.Next() % 22);
  for (int point : OpeningStones(opening)) {
    const int row = PointRow(point);
    const int col = PointCol(point);
    RecordMove(game_, row, col);
    newestStone_ = {row, col};
  }
  SyncDisplay();
  host_.RepaintAll();
  RefreshPanel();

  const MessageAnswer answer = host_.MessageBox("是否交换？", kNoticeCaption,
                                                MessageIcon::Exclamation, MessageButtons::YesNo);
  if (answer == MessageAnswer::Yes) PlaceStone(White, ComputeOnWindowThread());
}

void Controller::AcceptSecondOffering(int row, int col) {
  if (SameFifthOfferingExists(game_, row, col)) {
    Notice("已存在同型打点！");
    return;
  }
  secondOffer_ = {row, col};
  rifFifthState_ = 2;
  host_.Beep();
  host_.InvalidateCell(row, col, false);
  StartComputerTurn();
}

void Controller::HumanTakesOfferingAway(int row, int col) {
  const MoveRecord first = game_.history[4];
  const MoveRecord second = secondOffer_;
  if (row == first.row && col == first.col) {
    game_.ReplaceNewestMove(second.row, second.col);
    host_.InvalidateCell(first.row, first.col, true);
    host_.InvalidateCell(second.row, second.col, false);
  } else if (row == second.row && col == second.col) {
    host_.InvalidateCell(second.row, second.col, true);
  } else {
    return;
  }
  newestStone_ = game_.history[4];
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  host_.Beep();
  SyncDisplay();
}

void Controller::PlaceComputerOfferings(const ComputerAnswer& answer) {
  const int first = answer.point;
  const int second = answer.offering;
  if (!IsPoint(second) || second == first ||
      game_.cell(PointRow(second), PointCol(second)) != Empty) {
    std::cerr << "tesmor: refused the offerings " << PointText(first) << " and "
              << PointText(second) << ": the second is no empty point\n";
    return;
  }
  if (!RecordStone(Black, first)) return;
  secondOffer_ = {PointRow(second), PointCol(second)};
  rifFifthState_ = 2;
  host_.Beep();
  host_.InvalidateCell(secondOffer_.row, secondOffer_.col, false);
  BlackResultTests();
}

void Controller::ComputerTakesOfferingAwayAndReplies(const ComputerAnswer& answer) {
  const MoveRecord first = game_.history[4];
  const MoveRecord second = secondOffer_;
  const bool pair = answer.kind == ComputerAnswer::Kind::OfferingPair;
  const int reply = pair || answer.kind == ComputerAnswer::Kind::Point ? answer.point : NoPoint;
  const bool takesFirst = pair && answer.offering != PointIndex(second.row, second.col);

  // Check the reply against the board as it will be after the offering is gone.
  const bool replyFree = IsPoint(reply) &&
                         (game_.cell(PointRow(reply), PointCol(reply)) == Empty ||
                          (takesFirst && reply == PointIndex(first.row, first.col))) &&
                         !(takesFirst && reply == PointIndex(second.row, second.col));
  if (!replyFree) {
    std::cerr << "tesmor: refused White's answer to the offerings: the reply is no empty point\n";
    return;
  }

  host_.InvalidateCell(second.row, second.col, !takesFirst);
  if (takesFirst) {
    game_.ReplaceNewestMove(second.row, second.col);
    host_.InvalidateCell(first.row, first.col, true);
  }
  AppendStone(PointRow(reply), PointCol(reply));
  SyncDisplay();
  secondOffer_ = {-1, -1};
  rifFifthState_ = 0;
  host_.Beep();
  RefreshPanel();
}

}  // namespace tesmor
