// The painted window checked at chosen pixels, and which parts a change repaints.
#include "ui/painting.h"
#include "ui_support.h"

namespace tesmor::test {
namespace {

QImage Picture(WindowFixture& f) {
  return f.view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFF;
}

QRgb Grey(int g) {
  return qRgb(g, g, g) & 0xFFFFFF;
}

QRgb Rgb(const QColor& colour) {
  return colour.rgb() & 0xFFFFFF;
}

int Count(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& test) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) n += test(QColor(image.pixel(x, y)));
  return n;
}

bool IsRed(QColor c) {
  return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}

bool IsWhitish(QColor c) {
  return c.red() > 200 && c.green() > 200 && c.blue() > 200;
}

QPoint Centre(const char* point) {
  const int p = Pt(point);
  return {PointX(PointCol(p)), PointY(PointRow(p))};
}

QRect Cell(const char* point) {
  const int p = Pt(point);
  return CellRect(PointRow(p), PointCol(p));
}

}  // namespace

class RenderTest : public QObject {
  Q_OBJECT

 private slots:
  void stoneImagesFollowTheShadingFormula() {
    for (int colour : {Black, White}) {
      const QImage& stone = StoneImage(colour);
      QCOMPARE(stone.size(), QSize(29, 29));
      int drawn = 0;
      int darkest = 255;
      for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 29; ++x) {
          if (qAlpha(stone.pixel(x, y)) == 0) continue;
          ++drawn;
          darkest = std::min(darkest, qRed(stone.pixel(x, y)));
          QCOMPARE(qRed(stone.pixel(x, y)), qBlue(stone.pixel(x, y)));
        }
      }
      QCOMPARE(drawn, 665);  // every pixel within 14.5 of the centre
      QCOMPARE(darkest, colour == Black ? 0 : 181);
      QCOMPARE(qRed(stone.pixel(14, 14)), colour == Black ? 74 : 255);
      // Symmetric about the centre, in both directions and across the diagonal.
      QCOMPARE(stone.pixel(3, 10), stone.pixel(25, 18));
      QCOMPARE(stone.pixel(3, 10), stone.pixel(10, 3));
    }
  }

  void emptyBoard() {
    WindowFixture f;
    const QImage image = Picture(f);
    QCOMPARE(image.size(), QSize(ClientWidth, ClientHeight));
    // Background, toolbar band with its lower border, panel box.
    QCOMPARE(At(image, 60, 80), Rgb(BoardColour));
    QCOMPARE(At(image, 400, 15), Rgb(ToolbarColour));
    QCOMPARE(At(image, 400, 29), Grey(0));
    QCOMPARE(At(image, 400, 30), Rgb(BoardColour));
    QCOMPARE(At(image, 730, 545), Rgb(PanelColour));
    // The 3-pixel frames, centred on x = 41 and y = 559, and on x = 740.
    for (int x : {40, 41, 42}) QCOMPARE(At(image, x, 300), Grey(0));
    QCOMPARE(At(image, 39, 300), Rgb(BoardColour));
    QCOMPARE(At(image, 43, 300), Rgb(BoardColour));
    for (int y : {558, 559, 560}) QCOMPARE(At(image, 300, y), Grey(0));
    for (int x : {739, 740, 741}) QCOMPARE(At(image, x, 300), Grey(0));
    QCOMPARE(At(image, 742, 300), Rgb(BoardColour));
    // Grid lines one pixel wide, to the last point.
    QCOMPARE(At(image, 80, 82), Grey(0));
    QCOMPARE(At(image, 81, 82), Rgb(BoardColour));
    QCOMPARE(At(image, 60, 100), Grey(0));
    QCOMPARE(At(image, 60, 101), Rgb(BoardColour));
    QCOMPARE(At(image, 535, 555), Grey(0));
    // Star points are discs; other crossings are not.
    for (const char* star : {"D4", "D12", "L4", "L12", "H8"}) {
      const int p = Pt(star);
      QCOMPARE(At(image, PointX(PointCol(p)) + 2, PointY(PointRow(p)) + 2), Grey(0));
    }
    QCOMPARE(At(image, PointX(4) + 2, PointY(3) + 2), Rgb(BoardColour));
    // Labels: "1" left of row 1 and "A" below column A, nothing between them.
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    QVERIFY(Count(image, QRect(10, 545, 20, 20), dark) > 5);
    QVERIFY(Count(image, QRect(35, 570, 20, 20), dark) > 5);
    QCOMPARE(Count(image, QRect(10, 567, 20, 20), dark), 0);
    // The panel: a label on line 2 and "0手" on line 3; line 1 (no opening yet) is blank.
    QVERIFY(Count(image, PanelLineRect(2), dark) > 20);
    QVERIFY(Count(image, PanelLineRect(3), dark) > 20);
    QCOMPARE(Count(image, PanelLineRect(1), dark), 0);
  }

  void stonesAndTheirNumbers() {
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    f.Click("H8");
    f.Click("J9");
    f.window->action(CmdShowNumbers)->trigger();
    QImage image = Picture(f);
    const QPoint h8 = Centre("H8");
    const QPoint j9 = Centre("J9");
    QCOMPARE(At(image, h8.x(), h8.y()), Grey(74));
    QCOMPARE(At(image, j9.x(), j9.y()), Grey(255));
    QCOMPARE(At(image, h8.x() + 14, h8.y()), Grey(186 - 181));
    QCOMPARE(At(image, j9.x() - 14, j9.y()), Grey(186));
    QCOMPARE(At(image, h8.x() + 10, h8.y() + 11), Rgb(BoardColour));  // outside the disc
    QCOMPARE(Count(image, Cell("H8"), IsRed), 0);

    // Numbers on: the newest is red, the older keeps its side's colour.
    f.window->action(CmdShowNumbers)->trigger();
    image = Picture(f);
    QVERIFY(Count(image, Cell("J9"), IsRed) > 5);
    QCOMPARE(Count(image, Cell("H8"), IsRed), 0);
    QVERIFY(Count(image, QRect(h8 - QPoint(6, 8), QSize(13, 16)), IsWhitish) > 5);

    f.Click("A1");
    image = Picture(f);
    QCOMPARE(Count(image, Cell("J9"), IsRed), 0);
    QVERIFY(Count(image, Cell("A1"), IsRed) > 5);
    const auto dark = [](QColor c) { return c.lightness() < 60; };
    QVERIFY(Count(image, QRect(j9 - QPoint(6, 8), QSize(13, 16)), dark) > 5);

    // Taken back: the cell shows the board and its grid again.
    f.ClickAt(300, 300, Qt::RightButton);
    image = Picture(f);
    const QPoint a1 = Centre("A1");
    QCOMPARE(At(image, a1.x() + 5, a1.y() - 5), Rgb(BoardColour));
    QCOMPARE(At(image, a1.x(), a1.y() - 5), Grey(0));
    QVERIFY(Count(image, Cell("J9"), IsRed) > 5);
  }

  void panelFollowsTheGame() {
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    const QImage before = Picture(f);
    f.Click("H8");
    f.Click("H9");
    QImage after = Picture(f);
    QVERIFY(before.copy(PanelLineRect(3)) != after.copy(PanelLineRect(3)));
    QCOMPARE(before.copy(PanelLineRect(1)), after.copy(PanelLineRect(1)));
    QCOMPARE(before.copy(PanelLineRect(2)), after.copy(PanelLineRect(2)));
    f.Click("H10");  // "寒星"
    after = Picture(f);
    QVERIFY(before.copy(PanelLineRect(1)) != after.copy(PanelLineRect(1)));
    f.ClickAt(300, 300, Qt::RightButton);
    QCOMPARE(Picture(f).copy(PanelLineRect(1)), before.copy(PanelLineRect(1)));
  }

  void aMoveRepaintsItsCellsAndPanelLinesOnly() {
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    f.Click("H8");
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCoreApplication::processEvents();
    PaintSpy spy(f.view());
    f.Click("C3");
    QTRY_VERIFY(!spy.painted.isEmpty());
    QCoreApplication::processEvents();
    const QRegion allowed = QRegion(Cell("H8")) + Cell("C3") + PanelLineRect(1) + PanelLineRect(3);
    QVERIFY(spy.painted.intersects(Cell("C3")));
    QVERIFY(spy.painted.intersects(Cell("H8")));
    QCOMPARE(spy.painted - allowed, QRegion());

    spy.painted = QRegion();
    f.window->action(CmdShowNumbers)->trigger();
    QTRY_VERIFY(!spy.painted.isEmpty());
    QCOMPARE(spy.painted, QRegion(f.view()->rect()));
  }

  void secondOfferingShowsARedFive() {
    // The human plays White under RIF: the computer lays "残月" (draw 0), the human declines the
    // swap and lays the fourth stone; the computer offers G7 and, as the second offering, J7.
    WindowFixture f({0});
    f.boxes.press = {"否"};
    f.window->action(CmdPlayWhite)->trigger();
    QCOMPARE(f.boxes.TakeTexts(), QStringList{"是否交换？"});
    f.computer.moves = {MakePointPair(Pt("J7"), Pt("G7"))};
    f.Click("G9");
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.controller().rifFifthState(), 2);
    QImage image = Picture(f);
    QVERIFY(Count(image, Cell("J7"), IsRed) > 5);
    const QPoint j7 = Centre("J7");
    QCOMPARE(At(image, j7.x() + 9, j7.y() + 9), Grey(qRed(StoneImage(Black).pixel(23, 23))));

    f.Click("J7");  // White takes the second offering away
    image = Picture(f);
    QCOMPARE(Count(image, Cell("J7"), IsRed), 0);
    QCOMPARE(At(image, j7.x() + 9, j7.y() + 9), Rgb(BoardColour));
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::RenderTest)
#include "render_test.moc"
