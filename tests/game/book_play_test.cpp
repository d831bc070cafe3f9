// The RIF opening against the program's own computer with the shipped book: the computer's
// fourth move, its two offerings and its choice between the human's offerings come from the book,
// without a search.

#include <gtest/gtest.h>

#include <sstream>

#include "board/symmetry.h"
#include "book/opening_book.h"
#include "fake_host.h"
#include "game/engine_computer.h"
#include "game/openings.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

// The program's computer, reading the shipped book where the sources keep it.
class ShippedBookComputer final : public ComputerPlayer {
 public:
  bool LoadOpeningBook() override { return engine.LoadOpeningBookFile(test::ShippedBookPath()); }
  int ChooseComputerMove(GameState& game, const MoveRequest& request) override {
    return engine.ChooseComputerMove(game, request);
  }
  int FindVcf(GameState& game, int limit) override { return engine.FindVcf(game, limit); }

  // A search prints its node count here; the book prints nothing after "思考中...".
  bool Searched() const { return console.str().find("节点数目") != std::string::npos; }

  std::ostringstream console;
  EngineComputer engine{console};
};

struct ShippedBookComputerMember {
  ShippedBookComputer computer;
};

class BookGame : public ShippedBookComputerMember, public test::ControllerHarness {
 public:
  BookGame() : ControllerHarness(computer) {
    Start();
    EXPECT_TRUE(host.TakeTexts().empty()) << "the book was not read";
  }

  std::vector<int> Moves() const {
    std::vector<int> moves;
    for (int i = 0; i < controller.game().moveCount; ++i)
      moves.push_back(
          PointIndex(controller.game().history[i].row, controller.game().history[i].col));
    return moves;
  }
};

// The position after the first n moves of the game.
GameState After(const std::vector<int>& moves, size_t n) {
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = 1;
  for (size_t i = 0; i < n; ++i) RecordMove(game, PointRow(moves[i]), PointCol(moves[i]));
  return game;
}

std::vector<int> PointsOf(const std::vector<test::BoardBookMove>& moves) {
  std::vector<int> points;
  for (const test::BoardBookMove& move : moves) points.push_back(move.point);
  return points;
}

bool Contains(const std::vector<int>& points, int p) {
  return std::find(points.begin(), points.end(), p) != points.end();
}

TEST(BookPlay, HumanWhiteTheComputerOpensAndOffersTwoFifthMovesOfTheBook) {
  const OpeningBook& book = test::ShippedBook();
  for (int draw = 0; draw < 22; ++draw) {
    BookGame f;
    f.random = SequenceRandom({draw});
    f.controller.Command(CmdPlayWhite);  // "是否交换？" answered No
    const std::vector<int> opening = f.Moves();
    ASSERT_EQ(opening.size(), 3u);
    const std::vector<int> fourths = PointsOf(test::BookMovesOnBoard(book, After(opening, 3)));
    ASSERT_FALSE(fourths.empty()) << draw;

    // The human plays one of the book's fourth moves; the computer offers two of its fifths.
    const int fourth = fourths[static_cast<size_t>(draw) % fourths.size()];
    f.ClickAt(fourth);
    f.RunWorker();
    const GameState& game = f.controller.game();
    ASSERT_EQ(game.moveCount, 5) << draw;
    ASSERT_EQ(f.controller.rifFifthState(), 2) << draw;
    const int first = PointIndex(game.history[4].row, game.history[4].col);
    const MoveRecord second = f.controller.secondOffer();
    const std::vector<int> fifths = PointsOf(test::BookMovesOnBoard(book, After(f.Moves(), 4)));
    EXPECT_TRUE(Contains(fifths, first)) << draw;
    EXPECT_TRUE(Contains(fifths, PointIndex(second.row, second.col))) << draw;
    GameState copy = game;
    EXPECT_EQ(SameFifthOfferingExists(copy, second.row, second.col), 0);
    EXPECT_FALSE(f.computer.Searched()) << f.computer.console.str();

    // The human takes the second away and goes on with White's sixth stone.
    f.ClickAt(PointIndex(second.row, second.col));
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.CellAt(first), Black);
    f.ExpectDisplayInSync();
  }
}

TEST(BookPlay, HumanWhiteWhoSwapsGetsTheBooksFourthMove) {
  for (int draw = 0; draw < 22; ++draw) {
    BookGame f;
    f.random = SequenceRandom({draw});
    f.host.answers = {MessageAnswer::Yes};
    f.controller.Command(CmdPlayWhite);
    const std::vector<int> moves = f.Moves();
    ASSERT_EQ(moves.size(), 4u) << draw;
    EXPECT_TRUE(Contains(test::BestBookMoves(test::ShippedBook(), After(moves, 3)), moves[3]))
        << draw;
    EXPECT_EQ(f.CellAt(moves[3]), White);
    EXPECT_FALSE(f.computer.Searched());
  }
}

TEST(BookPlay, HumanBlackTheComputerAnswersAndChoosesBetweenTheOfferingsByTheBook) {
  const OpeningBook& book = test::ShippedBook();
  struct Case {
    std::initializer_list<const char*> opening;
    int draw;  // even: a random swap decision does not swap
  };
  const Case cases[] = {
      {{"H8", "H9", "J6"}, 0},   // 游星, never swapped
      {{"H8", "G9", "J6"}, 0},   // 彗星 mirrored
      {{"H8", "G8", "F10"}, 0},  // 疏星 turned a quarter, not swapped by the draw
      {{"H8", "G7", "F6"}, 2},   // 长星 turned a half
  };
  for (const Case& c : cases) {
    BookGame f;
    f.random = SequenceRandom({c.draw});
    f.Clicks(c.opening);
    ASSERT_TRUE(f.host.TakeTexts().empty());
    f.RunWorker();
    const std::vector<int> moves = f.Moves();
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_TRUE(Contains(test::BestBookMoves(book, After(moves, 3)), moves[3]));

    // The human offers the book's best fifth move and its worst; White takes the best away.
    const std::vector<test::BoardBookMove> fifths = test::BookMovesOnBoard(book, After(moves, 4));
    ASSERT_GE(fifths.size(), 2u);
    const auto [worst, best] =
        std::minmax_element(fifths.begin(), fifths.end(),
                            [](const test::BoardBookMove& a, const test::BoardBookMove& b) {
                              return a.score < b.score;
                            });
    ASSERT_LT(worst->score, best->score);
    const int bestPoint = best->point;
    const int worstPoint = worst->point;
    f.ClickAt(worstPoint);
    f.ClickAt(bestPoint);
    ASSERT_EQ(f.controller.rifFifthState(), 2);
    f.RunWorker();

    const GameState& game = f.controller.game();
    ASSERT_EQ(game.moveCount, 6);
    const std::vector<int> played = f.Moves();
    EXPECT_EQ(played[4], worstPoint);
    EXPECT_EQ(f.CellAt(worstPoint), Black);
    // White may well reply on the point of the offering it took away.
    EXPECT_NE(f.CellAt(bestPoint), Black);
    EXPECT_TRUE(Contains(test::BestBookMoves(book, After(played, 5)), played[5]));
    EXPECT_FALSE(f.computer.Searched()) << f.computer.console.str();
    f.ExpectDisplayInSync();
  }
}

}  // namespace
}  // namespace tesmor
