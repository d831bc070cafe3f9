// The window on a screen of device pixel ratio 2: painted at the screen's resolution, not as an
// enlarged picture of the classic pixels.
#include "ui_support.h"

namespace tesmor::test {

class ScaledTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

 private slots:
  void boardAtTwiceTheResolution() {
    TwoPlayerWindow f;
    f.Click("H8");
    QCOMPARE(f.Cell("H8"), Black);  // clicks still map in client pixels
    const QImage image = Picture(f.view());
    QCOMPARE(image.size(), QSize(2 * ClientWidth, 2 * ClientHeight));
    const auto colour = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    // A grid line (x = 45 + 35 * 3) is two device pixels of black between board pixels.
    const int line = 2 * PointX(3);
    QCOMPARE(colour(line - 1, 2 * PointY(1) + 20), BoardColour);
    QCOMPARE(colour(line, 2 * PointY(1) + 20), QColor(Qt::black));
    QCOMPARE(colour(line + 1, 2 * PointY(1) + 20), QColor(Qt::black));
    QCOMPARE(colour(line + 2, 2 * PointY(1) + 20), BoardColour);
    // The stone's rim, 29 device pixels from its centre, blends with the board (colours neither
    // the board's nor grey), which an enlarged bitmap never does.
    QVERIFY(BlendedRim(image, Centre("H8") * 2 + QPoint(1, 1), 29) > 20);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::ScaledTest)
#include "scaled_test.moc"
