// The window's frame, menus, toolbar, keys and clicks, and its painting checked at chosen pixels.
#include <QMenu>
#include <QMenuBar>

#include <map>
#include <tuple>

#include "ui/about_dialog.h"
#include "ui_support.h"

namespace tesmor::test {
namespace {

// A menu's entries, "-" for a separator and "text(...)" for a submenu.
QString Entries(const QList<QAction*>& actions) {
  QStringList texts;
  for (const QAction* action : actions)
    texts << (action->isSeparator() ? QStringLiteral("-")
              : action->menu() ? action->text() + "(" + Entries(action->menu()->actions()) + ")"
                               : action->text());
  return texts.join(' ');
}

// The ticked items, after "/" the grey ones, in menu order, and after another "/" the images of
// the mode and rules buttons by the item they stand for.
QString MenuState(MainWindow& window) {
  const std::map<int, QString> images = {{ImageComputer, "人机"},
                                         {ImageTwoPlayers, "双人"},
                                         {ImageFree, "无禁手"},
                                         {ImageForbidden, "有禁手"},
                                         {ImageRif, "RIF规则"}};
  QStringList ticked;
  QStringList grey;
  for (const MenuEntry& entry : MenuBar()) {
    if (!entry.command) continue;
    if (window.action(entry.command)->isChecked()) ticked << entry.text;
    if (!window.action(entry.command)->isEnabled()) grey << entry.text;
  }
  const auto image = [&](int button) { return images.at(window.button(button)->imageId()); };
  return (ticked + QStringList{"/"} + grey +
          QStringList{"/", image(ModeButton), image(RulesButton)})
      .join(' ');
}

// The colours at the points given as x, y pairs: "board", "toolbar", "panel", "greyN" or hex.
QString Colours(const QImage& image, std::initializer_list<int> xy) {
  QStringList names;
  for (auto it = xy.begin(); it != xy.end(); it += 2) {
    const QColor c = image.pixelColor(it[0], it[1]);
    names << (c == BoardColour                                ? QStringLiteral("board")
              : c == ToolbarColour                            ? QStringLiteral("toolbar")
              : c == PanelColour                              ? QStringLiteral("panel")
              : c.red() == c.green() && c.green() == c.blue() ? QString("grey%1").arg(c.red())
                                                              : c.name());
  }
  return names.join(' ');
}

// The newest stone's ring.
bool IsOrange(QColor c) {
  return c.red() > 200 && c.green() > 70 && c.green() < 170 && c.blue() < 60;
}
bool IsLight(QColor c) {
  return c.lightness() > 200;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void frameMenuBarAndEmptyBoard() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tesmor v3.2"));
    QCOMPARE(f.view()->size(), QSize(764, 605));
    QVERIFY(!f.window->windowIcon().isNull());
    QCOMPARE(f.window->button(0)->geometry(), QRect(6, 3, 24, 24));
    QCOMPARE(f.window->button(ToolbarButtonCount - 1)->geometry(), QRect(216, 3, 24, 24));
    QCOMPARE(Entries(f.window->menuBar()->actions()),
             QStringLiteral(
                 "游戏(开局(执黑 执白 双人) 切换(人机 双人) 规则(无禁手 有禁手 RIF规则) - "
                 "打开 保存 复制棋谱 粘贴棋谱 - 电脑搜索 停止搜索 搜索VCF - 悔棋 悔一回合 退出) "
                 "等级(0级 1级 2级 3级 4级 5级 6级 7级 8级 9级 大师 - 快速搜索 准确搜索 "
                 "精确搜索) 选项(显示标号 使用棋谱 标记禁手 - 大师思考时间(1 秒 3 秒 10 秒 30 秒)) "
                 "帮助(关于)"));
    // The empty board.
    const QImage image = Picture(f.view());
    QCOMPARE(image.size(), QSize(ClientWidth, ClientHeight));
    // Background, toolbar band and its border, panel box; 3-pixel frames centred on x = 41 and 740.
    QCOMPARE(Colours(image, {60,  80, 400, 15, 400, 29, 400, 30,  730, 545, 39,
                             300, 40, 300, 42, 300, 43, 300, 739, 300, 742, 300}),
             "board toolbar grey0 board panel board grey0 grey0 board grey0 board");
    // Grid lines one pixel wide, to the last point; star points D4, L12 and H8 are discs, E4 not.
    QCOMPARE(Colours(image, {80, 82, 81, 82, 60, 100, 60, 101, 535, 555, 152, 452, 432, 172, 292,
                             312, 187, 452}),
             "grey0 board grey0 board grey0 grey0 grey0 grey0 board");
    // The label "1" left of row 1, nothing below; panel line 3 says "0手", line 1 is blank.
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    QVERIFY(Count(image, QRect(10, 545, 20, 20), dark) > 5);
    QCOMPARE(Count(image, QRect(10, 567, 20, 20), dark), 0);
    QVERIFY(Count(image, PanelLineRect(3), dark) > 20);
    QCOMPARE(Count(image, PanelLineRect(1), dark), 0);
  }

  // Commands and the two toggle buttons move ticks, greys and images (below 8: a button, 0: none).
  void ticksGreysAndImagesFollowTheCommands() {
    const std::pair<int, const char*> steps[] = {
        {0,
         "人机 RIF规则 8级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / 0级 使用棋谱 / 人机 RIF规则"},
        {CmdRulesFree, "人机 无禁手 8级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 无禁手"},
        {CmdLevel0, "人机 无禁手 0级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 无禁手"},
        {CmdUseBook, "人机 无禁手 0级 快速搜索 显示标号 标记禁手 3 秒 / / 人机 无禁手"},
        {CmdRulesForbidden, "人机 有禁手 0级 快速搜索 显示标号 标记禁手 3 秒 / / 人机 有禁手"},
        // RIF turns the book back on and moves "0级" to "1级" before greying both.
        {CmdRulesRif,
         "人机 RIF规则 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / 0级 使用棋谱 / 人机 RIF规则"},
        {RulesButton, "人机 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 无禁手"},
        {RulesButton, "人机 有禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 有禁手"},
        {RulesButton,
         "人机 RIF规则 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / 0级 使用棋谱 / 人机 RIF规则"},
        {RulesButton, "人机 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 无禁手"},
        {CmdModeTwoPlayers,
         "双人 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 双人 无禁手"},
        {ModeButton, "人机 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 人机 无禁手"},
        {CmdTwoPlayers, "双人 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 双人 无禁手"},
        // A ticked item chosen again keeps its tick; the toggles change theirs.
        {CmdModeTwoPlayers,
         "双人 无禁手 1级 快速搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 双人 无禁手"},
        {CmdExactSearch,
         "双人 无禁手 1级 精确搜索 显示标号 使用棋谱 标记禁手 3 秒 / / 双人 无禁手"},
        {CmdShowNumbers, "双人 无禁手 1级 精确搜索 使用棋谱 标记禁手 3 秒 / / 双人 无禁手"},
        {CmdMarkForbidden, "双人 无禁手 1级 精确搜索 使用棋谱 3 秒 / / 双人 无禁手"},
        // One tick among the levels with "大师", which RIF keeps, and one among the times.
        {CmdLevelMaster, "双人 无禁手 大师 精确搜索 使用棋谱 3 秒 / / 双人 无禁手"},
        {CmdMasterTime30, "双人 无禁手 大师 精确搜索 使用棋谱 30 秒 / / 双人 无禁手"},
        {CmdRulesRif, "双人 RIF规则 大师 精确搜索 使用棋谱 30 秒 / 0级 使用棋谱 / 双人 RIF规则"},
        {CmdMasterTime1, "双人 RIF规则 大师 精确搜索 使用棋谱 1 秒 / 0级 使用棋谱 / 双人 RIF规则"},
        {CmdLevel9, "双人 RIF规则 9级 精确搜索 使用棋谱 1 秒 / 0级 使用棋谱 / 双人 RIF规则"},
    };
    WindowFixture f;
    for (const auto& [what, state] : steps) {
      if (what >= ToolbarButtonCount) f.Do(what);
      if (what > 0 && what < ToolbarButtonCount) f.Press(what);
      QCOMPARE(MenuState(*f.window), QString::fromUtf8(state));
    }
  }

  // A left click plays the point whose square holds it, edges included; a right one takes back.
  void clicksPlayThePointOfTheirSquare() {
    // Column A's square runs from x = 28 to 62, row 1's from y = 538 to 572.
    const std::tuple<int, int, QString> cases[] = {
        {28, 555, "A1"},  {27, 555, ""},   {62, 555, "A1"}, {63, 555, "B1"},  {45, 572, "A1"},
        {45, 573, ""},    {45, 538, "A1"}, {45, 537, "A2"}, {535, 48, "O15"}, {535, 47, ""},
        {552, 65, "O15"}, {553, 65, ""},   {97, 300, "B8"}, {98, 300, "C8"},  {290, 310, "H8"},
        {290, 20, ""},    {650, 300, ""},  // the toolbar band and the panel
    };
    TwoPlayerWindow f;
    for (const auto& [x, y, point] : cases) {
      f.ClickAt(x, y);
      const MoveRecord newest = f.controller().newestStone();
      const QString played =
          f.Moves() ? QString::fromStdString(PointText(PointIndex(newest.row, newest.col))) : "";
      f.RightClick();
      QVERIFY2(played == point && f.Moves() == 0, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
  }

  // Stones, numbers and the newest stone's ring; the panel's move count and opening lines follow.
  void stonesNumbersRingAndPanel() {
    TwoPlayerWindow f;
    f.Do(CmdShowNumbers);  // off
    const QImage empty = Picture(f.view());
    const auto changed = [&](const QImage& image, int line) {
      return image.copy(PanelLineRect(line)) != empty.copy(PanelLineRect(line));
    };
    QCOMPARE(CellsWith(empty, IsOrange), "");
    f.Click("H8");
    QImage image = Picture(f.view());
    QCOMPARE(CellsWith(image, IsOrange), "H8");
    QCOMPARE(Count(image, Cell("H8"), IsLight), 0);
    f.Click("H9");
    image = Picture(f.view());
    const QPoint h8 = Centre("H8");
    const QPoint h9 = Centre("H9");
    // The centres and rims of a Black and a White stone; a cell's corner is not covered.
    QCOMPARE(Colours(image, {h8.x(), h8.y(), h8.x() + 14, h8.y(), h8.x() + 10, h8.y() + 11, h9.x(),
                             h9.y(), h9.x() - 14, h9.y()}),
             "grey74 grey5 board grey255 grey186");
    QCOMPARE(CellsWith(image, IsRed), "");
    QCOMPARE(CellsWith(image, IsOrange), "H9");
    QVERIFY(changed(image, 3) && !changed(image, 1) && !changed(image, 2));
    // Numbers on: the newest red, haloed on Black, the older in their side's colour; no ring.
    f.Do(CmdShowNumbers);
    f.Click("H10");  // "寒星"
    image = Picture(f.view());
    QCOMPARE(CellsWith(image, IsRed), "H10");
    QCOMPARE(CellsWith(image, IsOrange), "");
    QVERIFY(Count(image, Cell("H10"), IsLight) > 10);
    QVERIFY(Count(image, QRect(h9 - QPoint(6, 8), QSize(13, 16)),
                  [](QColor c) { return c.lightness() < 60; }) > 5);
    QVERIFY(changed(image, 1));
    // Taken back: the cell shows the board and its grid again; the ring follows.
    f.RightClick();
    image = Picture(f.view());
    const QPoint h10 = Centre("H10");
    QCOMPARE(Colours(image, {h10.x() + 5, h10.y() - 5, h10.x(), h10.y() - 5}), "board grey0");
    QCOMPARE(CellsWith(image, IsRed), "H9");
    QVERIFY(!changed(image, 1));
    f.Do(CmdShowNumbers);
    QCOMPARE(CellsWith(Picture(f.view()), IsOrange), "H9");
  }

  void aMoveRepaintsItsCellsAndPanelLinesOnly() {
    TwoPlayerWindow f;
    f.Click("H8");
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCoreApplication::processEvents();
    PaintSpy spy(f.view());
    f.Click("C5");  // off the diagonal: rows and columns swapped would show
    QTRY_VERIFY(!spy.painted.isEmpty());
    QCoreApplication::processEvents();
    const QRegion allowed = QRegion(Cell("H8")) + Cell("C5") + PanelLineRect(1) + PanelLineRect(3) +
                            PanelLineRect(PanelTurnLine);
    QVERIFY(spy.painted.intersects(Cell("C5")) && spy.painted.intersects(Cell("H8")));
    QCOMPARE(spy.painted - allowed, QRegion());
    spy.painted = QRegion();
    f.Do(CmdShowNumbers);
    QTRY_VERIFY(!spy.painted.isEmpty());
    QCOMPARE(spy.painted, QRegion(f.view()->rect()));
  }

  // Keys reach their commands from anywhere in the window (Ctrl+H with the hint's marks, Esc with
  // the long searches); the toolbar buttons say what they do.
  void keysAndTooltips() {
    WindowFixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QSet<QString> tips;
    for (int i = 0; i < ToolbarButtonCount; ++i) tips << f.window->button(i)->toolTip();
    QCOMPARE(tips.size(), ToolbarButtonCount);
    QVERIFY(!tips.contains(QString()));
    QVERIFY(f.window->button(StopButton)->toolTip().contains("Esc"));
    f.Do(CmdModeTwoPlayers);
    f.Click("H8");
    f.Click("J9");
    f.Key(Qt::Key_Backspace);
    QCOMPARE(f.Moves(), 1);
    f.Click("J9");
    f.Key(Qt::CTRL | Qt::Key_Z);  // "悔一回合": both stones
    QCOMPARE(f.Moves(), 0);
    f.Click("H8");
    f.Key(Qt::CTRL | Qt::Key_N);
    QCOMPARE(f.Moves(), 0);
    QStringList titles;
    const auto title = [&](QDialog* dialog) {
      titles << dialog->windowTitle();
      dialog->reject();
    };
    WithDialog<QDialog>([&] { f.Key(Qt::CTRL | Qt::Key_S); }, title);
    WithDialog<QDialog>([&] { f.Key(Qt::CTRL | Qt::Key_O); }, title);
    WithDialog<AboutDialog>([&] { f.Key(Qt::Key_F1); },
                            [&](AboutDialog* about) {
                              auto* ok = about->findChild<QPushButton*>();
                              titles << about->windowTitle() + " " + ok->text();
                              ok->click();
                            });
    QCOMPARE(titles, (QStringList{"保存文件", "读取文件", "关于 Tesmor v3.2 确定"}));
  }

  // A larger window scales the board, centred, proportions kept: clicks, toolbar, smooth painting.
  void resizedWindowScalesTheBoard() {
    TwoPlayerWindow f;
    const QSize frame = f.window->size() - f.view()->size();
    f.window->resize(frame + QSize(2 * ClientWidth + 200, 2 * ClientHeight));
    QTRY_COMPARE(f.view()->size(), QSize(2 * ClientWidth + 200, 2 * ClientHeight));
    QCOMPARE(f.window->button(3)->geometry(), QRect(100 + 2 * (6 + 90), 6, 48, 48));
    const QPoint h8 = Centre("H8") * 2 + QPoint(100, 0);
    f.ClickAt(h8.x(), h8.y());
    QCOMPARE(f.Cell("H8"), Black);
    f.ClickAt(h8.x() + 35, h8.y());  // the right edge of H8's square: taken, nothing played
    QCOMPARE(f.Moves(), 1);
    f.ClickAt(h8.x() + 36, h8.y());  // the left edge of I8's
    QCOMPARE(f.Cell("I8"), White);
    const QImage image = Picture(f.view());
    QCOMPARE(Colours(image, {10, 10, 1720, 10, 1720, 30, 10, 800}),
             "toolbar toolbar toolbar board");
    const QRect stone(h8 - QPoint(32, 32), QSize(64, 64));
    QVERIFY(Count(image, stone, [](QColor c) { return c.lightness() < 80; }) > 2000);
    // The stone's rim blends into the board.
    QVERIFY(BlendedRim(image, h8 + QPoint(1, 1), 29) > 20);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::WindowTest)
#include "window_test.moc"
