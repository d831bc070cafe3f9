// The marks painted on the board: Black's forbidden points, the foul stone, the winning five and
// the point a hint proposes while its box asks.
#include <QClipboard>
#include <QMessageBox>

#include "ui_support.h"

namespace tesmor::test {
namespace {

QImage Picture(WindowFixture& f) {
  return f.view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The points whose cells hold more than a few pixels that pass the test.
QString CellsWith(const QImage& image, const std::function<bool(QColor)>& test) {
  QStringList points;
  for (int point = 0; point < CellCount; ++point) {
    const QRect cell = CellRect(PointRow(point), PointCol(point));
    int n = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) n += test(image.pixelColor(x, y));
    if (n > 5) points << QString::fromStdString(PointText(point));
  }
  return points.join(' ');
}

bool Red(QColor c) {
  return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
bool Green(QColor c) {
  return c.green() > 140 && c.red() < 80 && c.blue() < 120;
}
bool Blue(QColor c) {
  return c.blue() > 200 && c.red() < 90 && c.green() < 160;
}

QRect Cell(const char* point) {
  const int p = Pt(point);
  return CellRect(PointRow(p), PointCol(p));
}

// Takes a picture of the board and the panel's guide line each time a message box shows, before
// it can be answered.
class BoxPictures final : public QObject {
 public:
  explicit BoxPictures(WindowFixture& f) : f_(f) { qApp->installEventFilter(this); }
  ~BoxPictures() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Show || !qobject_cast<QMessageBox*>(object)) return false;
    pictures << f_.view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    guides << QString::fromStdString(f_.controller().panel().Get(PanelGuideLine));
    const auto* box = static_cast<QWidget*>(object);
    boxes << QRect(f_.view()->mapFromGlobal(box->pos()), box->size());
    return false;
  }
  QList<QImage> pictures;
  QStringList guides;
  QList<QRect> boxes;  // in the view's coordinates

 private:
  WindowFixture& f_;
};

}  // namespace

class MarksTest : public QObject {
  Q_OBJECT

 private slots:
  void forbiddenPointAndFoul() {
    WindowFixture f;
    f.Do(CmdRulesForbidden);
    f.Do(CmdModeTwoPlayers);
    f.Do(CmdShowNumbers);  // no red numbers
    for (const char* p : {"F8", "A1", "G8", "A15", "H6", "O1", "H7"}) f.Click(p);
    const QImage unmarked = Picture(f);
    QCOMPARE(CellsWith(unmarked, Red), QString());  // White to move
    f.Click("O15");
    QCOMPARE(CellsWith(Picture(f), Red), "H8");
    // Turned off, the point shows its classic pixels again.
    f.Do(CmdMarkForbidden);
    QCOMPARE(Picture(f).copy(Cell("H8")), unmarked.copy(Cell("H8")));
    f.Do(CmdMarkForbidden);
    QCOMPARE(CellsWith(Picture(f), Red), "H8");
    // Played anyway: the stone carries the cross until it is taken back.
    f.Click("H8");
    QCOMPARE(f.boxes.Take(), QStringList{"游戏结束 | 白方胜！（黑方三·三禁手） | 确定 | i"});
    const QImage foul = Picture(f);
    QCOMPARE(CellsWith(foul, Red), "H8");
    QVERIFY(Red(foul.pixelColor(PointX(7) + 6, PointY(7) + 6)));
    f.RightClick();
    QCOMPARE(f.Cell("H8"), Empty);
    QCOMPARE(CellsWith(Picture(f), Red), "H8");
  }

  void winningFive() {
    WindowFixture f;
    f.Do(CmdRulesFree);
    f.Do(CmdModeTwoPlayers);
    BoxPictures shown(f);
    for (const char* p : {"H8", "A1", "H9", "A2", "H10", "A3", "H12", "A4", "H11"}) f.Click(p);
    QCOMPARE(f.boxes.Take(), QStringList{"游戏结束 | 黑方胜！ | 确定 | i"});
    QCOMPARE(shown.pictures.size(), 1);
    QCOMPARE(CellsWith(shown.pictures[0], Green), "H8 H9 H10 H11 H12");
    QCOMPARE(CellsWith(Picture(f), Green), "H8 H9 H10 H11 H12");
    f.Do(CmdTwoPlayers);
    QCOMPARE(CellsWith(Picture(f), Green), QString());
  }

  void hintPointWhileItsBoxAsks() {
    WindowFixture f;
    f.Do(CmdModeTwoPlayers);
    f.Click("H8");
    BoxPictures shown(f);
    f.computer.moves = {ComputerAnswer::Play(Pt("G7"))};
    f.boxes.press = {"取消"};
    f.Do(CmdHint);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.Take(), QStringList{"提示消息 | 提示：G7 | 确定 取消 | i"});
    QCOMPARE(shown.pictures.size(), 1);
    QCOMPARE(CellsWith(shown.pictures[0], Blue), "G7");
    // The box opened beside the board: the point it asks about is not under it.
    QVERIFY(!shown.boxes[0].intersects(Cell("G7")));
    QVERIFY(shown.boxes[0].left() > Cell("H8").right());
    QCOMPARE(CellsWith(Picture(f), Blue), QString());
    QCOMPARE(f.Cell("G7"), Empty);
  }

  // "复制棋谱" and "粘贴棋谱" go through the system clipboard.
  void recordThroughTheClipboard() {
    WindowFixture f;
    f.Do(CmdModeTwoPlayers);
    f.Click("H8");
    f.Click("J10");
    f.Do(CmdCopyRecord);
    QCOMPARE(QGuiApplication::clipboard()->text(), "H8 J10");
    QGuiApplication::clipboard()->setText("A1 B2 C3");
    f.Do(CmdPasteRecord);
    QCOMPARE(f.Moves(), 3);
    QCOMPARE(f.Cell("B2"), White);
    QCOMPARE(f.Cell("H8"), Empty);
  }

  // The notes below the classic panel lines stay inside the panel; the swap question has its
  // guide while it asks.
  void panelNotes() {
    WindowFixture f({0});
    BoxPictures shown(f);
    f.boxes.press = {"否"};
    f.Do(CmdPlayWhite);
    QCOMPARE(shown.guides, QStringList{"请选择是否交换"});
    f.computer.moves = {ComputerAnswer::Pair(Pt("G7"), Pt("J7"))};
    f.Click("G9");
    QVERIFY(f.WaitIdle());
    const QImage image = Picture(f);
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    for (const int line : {PanelTurnLine, PanelGuideLine}) {
      const QRect rect = PanelLineRect(line);
      int inside = 0, beyond = 0;
      for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = 577; x <= 738; ++x) {
          const bool d = dark(image.pixelColor(x, y));
          (x >= rect.left() && x <= rect.right() && y < 557 ? inside : beyond) += d;
        }
      }
      QVERIFY2(inside > 20 && beyond == 0, qPrintable(QString::number(line)));
    }
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::MarksTest)
#include "marks_test.moc"
