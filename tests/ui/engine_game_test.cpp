// A short game against the real computer at a low level, driven by clicks.
#include <sstream>

#include "game/engine_computer.h"
#include "ui_support.h"

namespace tesmor::test {

class EngineGameTest : public QObject {
  Q_OBJECT

 private slots:
  void shortGameAtALowLevel() {
    std::ostringstream console;
    EngineComputer computer(console);
    SequenceRandom random({1});
    BoxAnswerer boxes;
    MainWindow window(computer, random);
    window.show();
    window.Start();
    boxes.TakeTexts();  // a missing book is reported and play goes on without it
    window.action(CmdRulesForbidden)->trigger();
    window.action(CmdLevel1)->trigger();
    Controller& controller = window.controller();

    // The human plays the first free point of a list; the computer answers each stone.
    const char* wanted[] = {"H8", "H9", "H10", "G9", "J9", "G8", "J10", "K11", "F7", "E6"};
    int humanStones = 0;
    for (const char* text : wanted) {
      if (humanStones == 5 || !controller.gameInProgress()) break;
      const int point = Pt(text);
      if (controller.game().cell(PointRow(point), PointCol(point)) != Empty) continue;
      const GameState before = controller.game();
      QTest::mouseClick(window.boardView(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(PointX(PointCol(point)), PointY(PointRow(point))));
      QVERIFY(QTest::qWaitFor([&] { return !controller.computing(); }, 60000));
      ++humanStones;
      const GameState& after = controller.game();
      QCOMPARE(after.cell(PointRow(point), PointCol(point)), Black);
      if (!controller.gameInProgress()) break;
      // One White stone more, on a point that was empty.
      QCOMPARE(after.moveCount, before.moveCount + 2);
      const MoveRecord reply = after.history[after.moveCount - 1];
      QCOMPARE(before.cell(reply.row, reply.col), Empty);
      QCOMPARE(after.cell(reply.row, reply.col), White);
      QCOMPARE(controller.displayCells(), after.cells);
    }
    QVERIFY(humanStones >= 3);
    QCOMPARE(controller.panel().Get(3), std::to_string(controller.game().moveCount) + "手");
    QVERIFY(console.str().find("思考中...") != std::string::npos);

    // Take-backs with the right button give the stones back one at a time.
    const int moves = controller.game().moveCount;
    QTest::mouseClick(window.boardView(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    QCOMPARE(controller.game().moveCount, moves - 1);
    QVERIFY(QTest::qWaitFor([&] { return window.workers().live() == 0; }, 10000));
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::EngineGameTest)
#include "engine_game_test.moc"
