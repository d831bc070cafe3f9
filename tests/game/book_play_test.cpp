// The RIF opening against the program's own computer with the shipped book: the computer's
// fourth move, its two offerings and its choice between the human's offerings come from the book,
// without a search.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "book/opening_book.h"
#include "fake_host.h"
#include "game/engine_computer.h"
#include "game/openings.h"
#include "support/shipped_book.h"

namespace tesmor {
namespace {

// The program's computer, reading the shipped book where the sources keep it.
struct ShippedBookComputer final : ComputerPlayer {
  BookLoadReport LoadOpeningBook() override { return engine.LoadOpeningBookFile(path); }
  ComputerAnswer ChooseMove(GameState game, const MoveRequest& request) override {
    return engine.ChooseMove(game, request);
  }
  std::optional<int> FindVcf(GameState game, int limit, std::atomic<bool>* stop) override {
    return engine.FindVcf(game, limit, stop);
  }
  // A search prints its node count here; the book prints nothing after "思考中...".
  bool Searched() const { return console.str().find("节点数目") != std::string::npos; }

  std::string path = test::ShippedBookPath();
  std::ostringstream console;
  EngineComputer engine{console};
};

struct ShippedBookComputerMember {
  ShippedBookComputer computer;
};

struct BookGame : ShippedBookComputerMember, test::ControllerHarness {
  explicit BookGame(int draw) : ControllerHarness(computer) {
    Start();
    EXPECT_TRUE(host.TakeTexts().empty()) << "the book was not read";
    random = SequenceRandom({draw});
  }
  std::vector<int> Played() const {
    std::vector<int> moves;
    for (int i = 0; i < Moves(); ++i) moves.push_back(Point(controller.game().history[i]));
    return moves;
  }
  static int Point(MoveRecord m) { return PointIndex(m.row, m.col); }
};

// The position after the first n moves of the game.
GameState After(const std::vector<int>& moves, size_t n) {
  GameState game;
  ClearGameState(game);
  game.forbiddenRulesOn = 1;
  for (size_t i = 0; i < n; ++i) RecordMove(game, PointRow(moves[i]), PointCol(moves[i]));
  return game;
}

// Whether p is among the book's moves after the first n moves; among its best ones if asked.
bool InBook(const std::vector<int>& moves, size_t n, int p, bool best) {
  std::vector<int> points = test::BestBookMoves(test::ShippedBook(), After(moves, n));
  if (!best)
    for (const auto& move : test::BookMovesOnBoard(test::ShippedBook(), After(moves, n)))
      points.push_back(move.point);
  return std::find(points.begin(), points.end(), p) != points.end();
}

TEST(BookPlay, HumanWhiteTheComputerOpensAndOffersTwoFifthMovesOfTheBook) {
  for (int draw = 0; draw < 22; ++draw) {
    SCOPED_TRACE(draw);
    // Swapped: the computer, now White, plays the book's fourth move at once.
    BookGame swapped(draw);
    swapped.host.answers = {MessageAnswer::Yes};
    swapped.controller.Command(CmdPlayWhite);
    const std::vector<int> four = swapped.Played();
    ASSERT_EQ(four.size(), 4u);
    EXPECT_TRUE(InBook(four, 3, four[3], true));
    EXPECT_EQ(swapped.CellAt(four[3]), White);

    BookGame f(draw);
    f.controller.Command(CmdPlayWhite);  // "是否交换？" answered No
    const std::vector<int> opening = f.Played();
    ASSERT_EQ(opening.size(), 3u);
    const auto fourths = test::BookMovesOnBoard(test::ShippedBook(), After(opening, 3));
    ASSERT_FALSE(fourths.empty());
    // The human plays one of the book's fourth moves; the computer offers two of its fifths.
    f.ClickAt(fourths[static_cast<size_t>(draw) % fourths.size()].point);
    f.RunWorker();
    ASSERT_EQ(f.Moves(), 5);
    ASSERT_EQ(f.controller.rifFifthState(), 2);
    const int first = BookGame::Point(f.controller.game().history[4]);
    const int second = BookGame::Point(f.controller.secondOffer());
    EXPECT_TRUE(InBook(f.Played(), 4, first, false));
    EXPECT_TRUE(InBook(f.Played(), 4, second, false));
    GameState copy = f.controller.game();
    EXPECT_EQ(SameFifthOfferingExists(copy, PointRow(second), PointCol(second)), 0);
    EXPECT_FALSE(f.computer.Searched() || swapped.computer.Searched()) << f.computer.console.str();

    // The human takes the second away and goes on with White's sixth stone.
    f.ClickAt(second);
    EXPECT_EQ(f.controller.rifFifthState(), 0);
    EXPECT_EQ(f.CellAt(first), Black);
    f.ExpectDisplayInSync();
  }
}

TEST(BookPlay, HumanBlackTheComputerAnswersAndChoosesBetweenTheOfferingsByTheBook) {
  struct Case {
    std::initializer_list<const char*> opening;
    int draw;  // even: a random swap decision does not swap
  };
  const Case cases[] = {
      {{"H8", "H9", "J6"}, 0},   // 游星, never swapped
      {{"H8", "G9", "J6"}, 0},   // 彗星 mirrored
      {{"H8", "G8", "F10"}, 0},  // 疏星 turned a quarter
      {{"H8", "G7", "F6"}, 2},   // 长星 turned a half
  };
  for (const auto& [opening, draw] : cases) {
    BookGame f(draw);
    f.Clicks(opening);
    ASSERT_TRUE(f.host.TakeTexts().empty());
    f.RunWorker();
    const std::vector<int> moves = f.Played();
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_TRUE(InBook(moves, 3, moves[3], true));

    // The human offers the book's best fifth move and its worst; White takes the best away.
    const auto fifths = test::BookMovesOnBoard(test::ShippedBook(), After(moves, 4));
    ASSERT_GE(fifths.size(), 2u);
    const auto [worst, best] =
        std::minmax_element(fifths.begin(), fifths.end(),
                            [](const auto& a, const auto& b) { return a.score < b.score; });
    ASSERT_LT(worst->score, best->score);
    const int bestPoint = best->point;
    const int worstPoint = worst->point;
    f.ClickAt(worstPoint);
    f.ClickAt(bestPoint);
    ASSERT_EQ(f.controller.rifFifthState(), 2);
    f.RunWorker();

    const std::vector<int> played = f.Played();
    ASSERT_EQ(played.size(), 6u);
    EXPECT_EQ(played[4], worstPoint);
    EXPECT_EQ(f.CellAt(worstPoint), Black);
    EXPECT_NE(f.CellAt(bestPoint), Black);  // White may well reply on the point taken away
    EXPECT_TRUE(InBook(played, 5, played[5], true));
    EXPECT_FALSE(f.computer.Searched()) << f.computer.console.str();
    f.ExpectDisplayInSync();
  }
}

TEST(BookPlay, ADamagedBookIsToldAtStartUpWithTheMovesKept) {
  std::ifstream in(test::ShippedBookPath(), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GT(bytes.size(), 21u);
  bytes[21] = static_cast<char>(bytes[21] ^ 0x40);  // the first node loses its children
  ShippedBookComputer computer;
  computer.path = std::filesystem::temp_directory_path() /
                  ("tesmor_damaged_" + std::to_string(::getpid()) + ".lib");
  std::ofstream(computer.path, std::ios::binary) << bytes;
  test::ControllerHarness harness(computer);
  harness.Start();
  std::filesystem::remove(computer.path);
  ASSERT_EQ(harness.host.boxes.size(), 1u);
  EXPECT_EQ(harness.host.boxes[0].caption + " " + harness.host.boxes[0].text,
            "提示信息 棋谱文件已损坏，只读出 1 步！");
}

}  // namespace
}  // namespace tesmor
