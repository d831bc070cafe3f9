// The controller's RIF requests reach the shipped book, which answers them without a search.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "fake_host.h"
#include "game/engine_computer.h"
#include "game/openings.h"
#include "support/diagram.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

// The program's computer, reading the shipped book where the sources keep it.
struct ShippedBookComputer final : ComputerPlayer {
  BookLoadReport LoadOpeningBook() override {
    return engine.LoadOpeningBookFile(test::ShippedBookPath());
  }
  ComputerAnswer ChooseMove(GameState game, const MoveRequest& request) override {
    return engine.ChooseMove(game, request);
  }
  std::optional<int> FindVcf(GameState game, int limit, std::atomic<bool>* stop) override {
    return engine.FindVcf(game, limit, stop);
  }
  // A search prints its node count here; the book prints nothing after "思考中...".
  bool Searched() const { return console.str().find("节点数目") != std::string::npos; }

  std::ostringstream console;
  EngineComputer engine{console};
};

struct BookGame : test::ControllerHarness<ShippedBookComputer> {
  explicit BookGame(int draw) {
    Start();
    EXPECT_TRUE(host.TakeTexts().empty()) << "the book was not read";
    random = SequenceRandom({draw});
  }
  // The book's moves for the game as it stands, best first.
  std::vector<test::BoardBookMove> BookMoves() const {
    auto moves = test::BookMovesOnBoard(test::ShippedBook(), controller.game());
    std::stable_sort(moves.begin(), moves.end(),
                     [](const auto& a, const auto& b) { return a.score > b.score; });
    return moves;
  }
};

TEST(BookPlay, HumanWhiteTheComputerOpensAndOffersTwoFifthMovesOfTheBook) {
  for (int draw = 0; draw < 22; ++draw) {
    SCOPED_TRACE(draw);
    // Swapped: the computer, now White, plays the book's fourth move at once.
    BookGame swapped(draw);
    swapped.host.answers = {MessageAnswer::Yes};
    swapped.controller.Command(CmdPlayWhite);
    EXPECT_EQ(swapped.Moves(), 4);

    BookGame f(draw);
    f.controller.Command(CmdPlayWhite);  // "是否交换？" answered No
    const auto fourths = f.BookMoves();
    ASSERT_FALSE(fourths.empty());
    // The human plays one of the book's fourth moves; the computer offers two of its fifths.
    f.ClickAt(fourths[static_cast<size_t>(draw) % fourths.size()].point);
    f.RunWorker();
    ASSERT_EQ(f.Moves(), 5);
    ASSERT_EQ(f.controller.rifFifthState(), 2);
    const MoveRecord second = f.controller.secondOffer();
    GameState copy = f.controller.game();
    EXPECT_EQ(SameFifthOfferingExists(copy, second.row, second.col), 0);
    EXPECT_FALSE(f.computer.Searched() || swapped.computer.Searched()) << f.computer.console.str();

    // The human takes the second away and goes on with White's sixth stone.
    f.ClickAt(PointIndex(second.row, second.col));
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.Moves(), 5);
    f.ExpectDisplayInSync();
  }
}

TEST(BookPlay, HumanBlackTheComputerAnswersAndChoosesBetweenTheOfferingsByTheBook) {
  BookGame f(2);  // 长星 turned a half; an even draw does not swap
  f.Clicks({"H8", "G7", "F6"});
  ASSERT_TRUE(f.host.TakeTexts().empty());
  f.RunWorker();
  ASSERT_EQ(f.Moves(), 4);

  // The human offers the book's best fifth move and its worst: White takes the best away.
  const auto fifths = f.BookMoves();
  ASSERT_GE(fifths.size(), 2u);
  const int best = fifths.front().point;
  const int worst = fifths.back().point;
  ASSERT_GT(fifths.front().score, fifths.back().score);
  f.ClickAt(best);
  f.ClickAt(worst);
  ASSERT_EQ(f.controller.rifFifthState(), 2);
  f.RunWorker();
  ASSERT_EQ(f.Moves(), 6);
  EXPECT_EQ(f.controller.game().history[4], (MoveRecord{PointRow(worst), PointCol(worst)}));
  EXPECT_EQ(f.CellAt(worst), Black);
  EXPECT_NE(f.CellAt(best), Black);  // White may well reply on the point taken away
  EXPECT_FALSE(f.computer.Searched()) << f.computer.console.str();
  f.ExpectDisplayInSync();
}

// "大师" takes the book's move as every level does, and its report says where the move came from
// rather than passing it off as a search.
TEST(BookPlay, MasterPlaysTheBookAndSaysSo) {
  std::ostringstream console;
  EngineComputer engine(console);
  ASSERT_TRUE(engine.LoadOpeningBookFile(test::ShippedBookPath()).loaded);
  MoveRequest request;
  request.level = MasterLevel;
  request.rules = RuleSet::Forbidden;
  const GameState game = test::FromMoves({"H8", "H9", "H10"});
  const ComputerAnswer answer = engine.ChooseMove(game, request);
  const auto moves = test::BookMovesOnBoard(test::ShippedBook(), game);
  EXPECT_TRUE(std::any_of(moves.begin(), moves.end(), [&](const auto& move) {
    return move.point == answer.point;
  })) << PointText(answer.point);
  EXPECT_STREQ(engine.LastMasterResult().decidedBy, "book");
  EXPECT_EQ(engine.LastMasterResult().nodes, 0);
}

}  // namespace
}  // namespace tesmor
