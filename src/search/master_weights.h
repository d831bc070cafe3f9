#pragma once

#include <iosfwd>
#include <string>

namespace tesmor {

// The numbers of the master search's evaluation and move ordering, in one place so that a tuning
// run can read them from a text file of "name value" lines instead of rebuilding the program.
// Pattern values are what one line through an empty point is worth to a side that could play
// there; the combination values reward points that make two threats at once.
struct MasterWeights {
  int one = 2;                // a stone that could still grow into a five, one side open
  int openOne = 4;            // the same, open on both sides
  int two = 12;               // a blocked two
  int openTwo = 40;           // an open two
  int three = 100;            // a blocked three: one move from a four
  int openThree = 180;        // an open three: one move from a straight four
  int four = 400;             // a four: one move from a five (a threat the opponent must answer)
  int openFour = 1200;        // a straight four
  int doubleThree = 1000;     // a point that makes two open threes (not for Black under renju)
  int fourThree = 1500;       // a point that makes a four and an open three
  int doubleFour = 1500;      // a point that makes two fours (not for Black under renju)
  int threeTwo = 100;         // a point that makes an open three and an open two
  int doubleTwo = 40;         // a point that makes two open twos (or more)
  int defenceNum = 2;         // the opponent's points count defenceNum / defenceDen
  int defenceDen = 4;         // of their value in the evaluation
  int tempo = 30;             // the side to move's advantage
  int orderDefence = 90;      // move ordering: the opponent's value of a point, in percent
  int reductionMoves = 6;     // quiet moves after this many may be searched one ply shallower
  int leafVcfNodes = 0;       // nodes of a search for a win by fours at the horizon (0: none)
  int openMoves = 14;         // candidates searched in a node without threats, best first
  int rootVctNodes = 0;       // nodes of the root's search for a win by threes and fours (0: none)
  int iterationPercent = 70;  // no new iteration once this share of the time is gone
  int threeExtension = 1;     // 1: the answer to an open three costs no depth, as a block does
  int counterFourCost = 0;    // plies a four that blocks nothing costs against an open three

  // Reads "name value" lines; blank lines and lines starting with # are skipped. An unknown name
  // or a bad number fails with a message naming the line.
  bool Read(std::istream& in, std::string& error);
  bool ReadFile(const std::string& path, std::string& error);
  // Every weight as a "name value" line, in a form Read accepts.
  void Write(std::ostream& out) const;
};

}  // namespace tesmor
