// Mouse positions mapped to board points, and the right button.
#include "ui_support.h"

namespace tesmor::test {

class InputTest : public QObject {
  Q_OBJECT

 private:
  // The point that a left click at (x, y) plays in two-player mode, or "" for none; the stone is
  // taken back again with the right button.
  static QString PlayedAt(WindowFixture& f, int x, int y) {
    const int before = f.controller().game().moveCount;
    f.ClickAt(x, y);
    if (f.controller().game().moveCount == before) return {};
    const MoveRecord newest = f.controller().newestStone();
    f.ClickAt(300, 300, Qt::RightButton);
    return QString::fromStdString(PointText(PointIndex(newest.row, newest.col)));
  }

 private slots:
  void pointsTakeTheClicksOfTheirSquare_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("point");
    // Column A's square runs from x = 28 to 62, row 1's from y = 538 to 572, both ends included.
    QTest::newRow("left edge of A") << 28 << 555 << "A1";
    QTest::newRow("left of the board") << 27 << 555 << "";
    QTest::newRow("right edge of A") << 62 << 555 << "A1";
    QTest::newRow("left edge of B") << 63 << 555 << "B1";
    QTest::newRow("bottom edge of 1") << 45 << 572 << "A1";
    QTest::newRow("below the board") << 45 << 573 << "";
    QTest::newRow("top edge of 1") << 45 << 538 << "A1";
    QTest::newRow("bottom edge of 2") << 45 << 537 << "A2";
    QTest::newRow("top edge of 15") << 535 << 48 << "O15";
    QTest::newRow("above the board") << 535 << 47 << "";
    QTest::newRow("right edge of O") << 552 << 65 << "O15";
    QTest::newRow("right of the board") << 553 << 65 << "";
    QTest::newRow("on the line between B and C") << 97 << 300 << "B8";
    QTest::newRow("past the middle") << 98 << 300 << "C8";
    QTest::newRow("centre") << 290 << 310 << "H8";
    QTest::newRow("toolbar band") << 290 << 20 << "";
    QTest::newRow("panel") << 650 << 300 << "";
  }
  void pointsTakeTheClicksOfTheirSquare() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, point);
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    QCOMPARE(PlayedAt(f, x, y), point);
    QCOMPARE(f.controller().game().moveCount, 0);
  }

  void occupiedPointsAndFinishedGamesIgnoreClicks() {
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    f.Click("H8");
    f.Click("H8");
    QCOMPARE(f.controller().game().moveCount, 1);
    for (const char* point : {"A1", "H9", "A2", "H10", "A3", "H11", "A4", "H12"}) f.Click(point);
    QCOMPARE(f.boxes.TakeTexts(), QStringList{"黑方胜！"});
    QCOMPARE(f.boxes.boxes.size(), 0u);
    f.Click("O15");
    QCOMPARE(f.Cell("O15"), Empty);
  }

  void rightButtonTakesBackButNotWhileTheComputerThinks() {
    WindowFixture f;
    f.window->action(CmdRulesForbidden)->trigger();
    f.computer.moves = {Pt("A1"), TestComputer::LongSearch};
    f.computer.stopAnswer = Pt("A2");
    f.Click("H8");
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.Cell("A1"), White);
    f.ClickAt(300, 300, Qt::RightButton);
    QCOMPARE(f.Cell("A1"), Empty);
    QCOMPARE(f.controller().game().moveCount, 1);

    // The human now plays White's stone; the computer answers for Black with a long search.
    f.Click("O15");
    QTRY_VERIFY(f.computer.searching);
    f.ClickAt(300, 300, Qt::RightButton);
    f.Click("O1");
    QCOMPARE(f.controller().game().moveCount, 2);
    QCOMPARE(f.Cell("O1"), Empty);
    QVERIFY(f.boxes.boxes.empty());  // the right button gives no busy notice
    f.window->action(CmdStop)->trigger();
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.Cell("A2"), Black);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::InputTest)
#include "input_test.moc"
