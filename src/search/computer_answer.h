#pragma once

#include "board/board.h"

namespace tesmor {

// What the computer answers to a position.
struct ComputerAnswer {
  enum class Kind {
    Point,         // play `point`
    OfferingPair,  // play `point` and set `offering` aside (see below)
    Resignation,   // the side to move gives the game up
    NoMove,        // nothing to play (a full board, or no answer at all)
  };
  // In the RIF fifth-move exchange the pair is, for Black, the fifth move to place and the
  // second offering beside it; for White, the reply and the offering it takes off the board.
  Kind kind = Kind::NoMove;
  int point = NoPoint;
  int offering = NoPoint;

  static ComputerAnswer Play(int point) { return {Kind::Point, point, NoPoint}; }
  static ComputerAnswer Pair(int point, int offering) {
    return {Kind::OfferingPair, point, offering};
  }
  static ComputerAnswer Resignation() { return {Kind::Resignation, NoPoint, NoPoint}; }
  static ComputerAnswer None() { return {}; }
  bool operator==(const ComputerAnswer&) const = default;
};

// The search's compact answer as a ComputerAnswer: a pair or a point that names no board point is
// no move.
ComputerAnswer AnswerFromSearch(int value);

}  // namespace tesmor
