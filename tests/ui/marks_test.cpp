// The marks painted on the board: Black's forbidden points, the foul stone, the winning five and
// the point a hint proposes while its box asks.
#include <QMessageBox>

#include "ui_support.h"

namespace tesmor::test {
namespace {

bool Green(QColor c) {
  return c.green() > 140 && c.red() < 80 && c.blue() < 120;
}
bool Blue(QColor c) {
  return c.blue() > 200 && c.red() < 90 && c.green() < 160;
}

// Takes a picture of the board and the panel's guide line each time a message box shows, before
// it can be answered.
class BoxPictures final : public QObject {
 public:
  explicit BoxPictures(WindowFixture& f) : f_(f) { qApp->installEventFilter(this); }
  ~BoxPictures() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Show || !qobject_cast<QMessageBox*>(object)) return false;
    pictures << Picture(f_.view());
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
    // Whose turn shows the marks is the controller's test; here the painting.
    for (const char* p : {"F8", "A1", "G8", "A15", "H6", "O1", "H7", "O15"}) f.Click(p);
    QCOMPARE(CellsWith(Picture(f.view()), IsRed), "H8");
    // Played anyway: the stone carries the cross.
    f.Click("H8");
    QCOMPARE(f.boxes.Take(), QStringList{"游戏结束 | 白方胜！（黑方三·三禁手） | 确定 | i"});
    const QImage foul = Picture(f.view());
    QCOMPARE(CellsWith(foul, IsRed), "H8");
    QVERIFY(IsRed(foul.pixelColor(Centre("H8") + QPoint(6, 6))));
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
  }

  void hintPointWhileItsBoxAsks() {
    TwoPlayerWindow f;
    f.Click("H8");
    BoxPictures shown(f);
    f.computer.moves = {ComputerAnswer::Play(Pt("G7"))};
    f.boxes.press = {"取消"};
    f.Key(Qt::CTRL | Qt::Key_H);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.Take(), QStringList{"提示消息 | 提示：G7 | 确定 取消 | i"});
    QCOMPARE(shown.pictures.size(), 1);
    QCOMPARE(CellsWith(shown.pictures[0], Blue), "G7");
    // The box opened beside the board: the point it asks about is not under it.
    QVERIFY(!shown.boxes[0].intersects(Cell("G7")));
    QVERIFY(shown.boxes[0].left() > Cell("H8").right());
    QCOMPARE(CellsWith(Picture(f.view()), Blue), QString());
    QCOMPARE(f.Moves(), 1);  // the hint was cancelled
  }

  // The human plays White under RIF: the computer lays "残月" (draw 0), the human declines the
  // swap (its guide shows while it asks) and lays the fourth stone; the computer offers G7 and J7.
  // Both offerings are red, and the panel's notes stay inside the panel.
  void secondOfferingAndPanelNotes() {
    WindowFixture f({0});
    BoxPictures shown(f);
    f.boxes.press = {"否"};
    f.Do(CmdPlayWhite);
    QCOMPARE(f.boxes.Take(), QStringList{"提示消息 | 是否交换？ | 是 否 | !"});
    QCOMPARE(shown.guides, QStringList{"请选择是否交换"});
    f.computer.moves = {ComputerAnswer::Pair(Pt("G7"), Pt("J7"))};
    f.Click("G9");
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.controller().rifFifthState(), 2);
    QImage image = Picture(f.view());
    QCOMPARE(CellsWith(image, IsRed), "G7 J7");  // the newest stone and the second offering
    const QPoint j7 = Centre("J7") + QPoint(9, 9);
    QCOMPARE(image.pixelColor(j7), QColor(StoneImage(Black).pixel(23, 23)));
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    for (const int line : {PanelTurnLine, PanelGuideLine}) {
      const QRect band(577, PanelLineRect(line).top(), 162, PanelLineRect(line).height());
      const int inside =
          Count(image, band & PanelLineRect(line) & QRect(0, 0, ClientWidth, 557), dark);
      QVERIFY2(inside > 20 && Count(image, band, dark) == inside,
               qPrintable(QString::number(line)));
    }
    f.Click("J7");  // White takes the second offering away
    image = Picture(f.view());
    QCOMPARE(CellsWith(image, IsRed), "G7");
    QCOMPARE(image.pixelColor(j7), BoardColour);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::MarksTest)
#include "marks_test.moc"
