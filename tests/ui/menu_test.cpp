// The menu bar, its ticks and greys, the toolbar images, the window's frame and the About box.
#include <QMenu>
#include <QMenuBar>

#include "ui/about_dialog.h"
#include "ui/image_button.h"
#include "ui_support.h"

namespace tesmor::test {
namespace {

std::set<int> Ticked(MainWindow& window) {
  std::set<int> ticked;
  for (const MenuEntry& entry : MenuBar())
    if (entry.command && window.action(entry.command)->isChecked()) ticked.insert(entry.command);
  return ticked;
}

std::set<int> Grey(MainWindow& window) {
  std::set<int> grey;
  for (const MenuEntry& entry : MenuBar())
    if (entry.command && !window.action(entry.command)->isEnabled()) grey.insert(entry.command);
  return grey;
}

// The texts of a menu's entries, "-" for a separator and "text>" for a submenu.
QStringList Entries(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions())
    texts << (action->isSeparator() ? QStringLiteral("-")
              : action->menu()      ? action->text() + ">"
                                    : action->text());
  return texts;
}

}  // namespace

class MenuTest : public QObject {
  Q_OBJECT

 private slots:
  void windowFrame() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tesmor v3.2"));
    QCOMPARE(f.view()->size(), QSize(764, 605));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(f.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!f.window->windowIcon().isNull());
    for (int i = 0; i < ToolbarButtonCount; ++i) {
      QCOMPARE(f.window->button(i)->geometry(), QRect(6 + 30 * i, 3, 24, 24));
      QCOMPARE(f.window->button(i)->focusPolicy(), Qt::NoFocus);
    }
  }

  void menuBarHoldsEveryItem() {
    WindowFixture f;
    QStringList titles;
    for (QAction* action : f.window->menuBar()->actions()) titles << action->text();
    QCOMPARE(titles, (QStringList{"游戏", "等级", "选项", "帮助"}));
    const QList<QAction*> top = f.window->menuBar()->actions();
    QCOMPARE(Entries(top[0]->menu()),
             (QStringList{"开局>", "切换>", "规则>", "-", "打开", "保存", "-", "电脑搜索",
                          "停止搜索", "搜索VCF", "-", "悔棋", "退出"}));
    QCOMPARE(Entries(top[0]->menu()->actions()[2]->menu()),
             (QStringList{"无禁手", "有禁手", "RIF规则"}));
    QCOMPARE(Entries(top[1]->menu()),
             (QStringList{"0级", "1级", "2级", "3级", "4级", "5级", "6级", "7级", "8级", "9级", "-",
                          "快速搜索", "准确搜索", "精确搜索"}));
    QCOMPARE(Entries(top[2]->menu()), (QStringList{"显示标号", "使用棋谱"}));
    QCOMPARE(Entries(top[3]->menu()), QStringList{"关于"});
    QCOMPARE(f.window->action(CmdModeTwoPlayers)->text(), QStringLiteral("双人"));
    QCOMPARE(f.window->action(CmdTwoPlayers)->text(), QStringLiteral("双人"));
  }

  void initialTicksAndGreys() {
    WindowFixture f;
    QCOMPARE(Ticked(*f.window), (std::set<int>{CmdModeComputer, CmdRulesRif, CmdLevel8,
                                               CmdFastSearch, CmdShowNumbers, CmdUseBook}));
    QCOMPARE(Grey(*f.window), (std::set<int>{CmdLevel0, CmdUseBook}));
    for (int command : {CmdPlayBlack, CmdOpen, CmdHint, CmdStop, CmdTakeBack, CmdExit, CmdAbout})
      QVERIFY(!f.window->action(command)->isCheckable());
    QCOMPARE(f.window->button(ModeButton)->imageId(), int(ImageComputer));
    QCOMPARE(f.window->button(RulesButton)->imageId(), int(ImageRif));
  }

  void rulesCommandsMoveTicksGreysAndTheRulesImage() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    QCOMPARE(Ticked(*f.window), (std::set<int>{CmdModeComputer, CmdRulesFree, CmdLevel8,
                                               CmdFastSearch, CmdShowNumbers, CmdUseBook}));
    QCOMPARE(Grey(*f.window), std::set<int>{});
    QCOMPARE(f.window->button(RulesButton)->imageId(), int(ImageFree));

    f.window->action(CmdLevel0)->trigger();
    f.window->action(CmdUseBook)->trigger();
    f.window->action(CmdRulesForbidden)->trigger();
    QCOMPARE(Ticked(*f.window), (std::set<int>{CmdModeComputer, CmdRulesForbidden, CmdLevel0,
                                               CmdFastSearch, CmdShowNumbers}));
    QCOMPARE(f.window->button(RulesButton)->imageId(), int(ImageForbidden));

    // RIF turns the book back on and moves "0级" to "1级" before greying both.
    f.window->action(CmdRulesRif)->trigger();
    QCOMPARE(Ticked(*f.window), (std::set<int>{CmdModeComputer, CmdRulesRif, CmdLevel1,
                                               CmdFastSearch, CmdShowNumbers, CmdUseBook}));
    QCOMPARE(Grey(*f.window), (std::set<int>{CmdLevel0, CmdUseBook}));
    QCOMPARE(f.window->button(RulesButton)->imageId(), int(ImageRif));
    QCOMPARE(f.controller().level(), 2);
  }

  void rulesButtonCycles() {
    WindowFixture f;
    const int expected[] = {ImageFree, ImageForbidden, ImageRif, ImageFree};
    for (int image : expected) {
      QTest::mouseClick(f.window->button(RulesButton), Qt::LeftButton);
      QCOMPARE(f.window->button(RulesButton)->imageId(), image);
    }
    QVERIFY(f.window->action(CmdRulesFree)->isChecked());
  }

  void modeCommandsAndButton() {
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    QVERIFY(f.window->action(CmdModeTwoPlayers)->isChecked());
    QVERIFY(!f.window->action(CmdModeComputer)->isChecked());
    QCOMPARE(f.window->button(ModeButton)->imageId(), int(ImageTwoPlayers));
    QTest::mouseClick(f.window->button(ModeButton), Qt::LeftButton);
    QVERIFY(f.window->action(CmdModeComputer)->isChecked());
    QVERIFY(!f.window->action(CmdModeTwoPlayers)->isChecked());
    QCOMPARE(f.window->button(ModeButton)->imageId(), int(ImageComputer));
    // A new two-player game ticks "双人" as well.
    f.window->action(CmdTwoPlayers)->trigger();
    QVERIFY(f.window->action(CmdModeTwoPlayers)->isChecked());
    QCOMPARE(f.window->button(ModeButton)->imageId(), int(ImageTwoPlayers));
  }

  void choosingATickedItemKeepsItsTick() {
    WindowFixture f;
    f.window->action(CmdLevel8)->trigger();
    f.window->action(CmdRulesRif)->trigger();
    f.window->action(CmdModeComputer)->trigger();
    QVERIFY(f.window->action(CmdLevel8)->isChecked());
    QVERIFY(f.window->action(CmdRulesRif)->isChecked());
    QVERIFY(f.window->action(CmdModeComputer)->isChecked());
    f.window->action(CmdShowNumbers)->trigger();
    QVERIFY(!f.window->action(CmdShowNumbers)->isChecked());
    QVERIFY(!f.controller().showNumbers());
    f.window->action(CmdShowNumbers)->trigger();
    QVERIFY(f.window->action(CmdShowNumbers)->isChecked());
  }

  void busyNoticeWhileTheComputerThinks() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    f.computer.moves = {TestComputer::LongSearch};
    f.computer.stopAnswer = Pt("A1");
    f.Click("H8");
    QTRY_VERIFY(f.computer.searching);
    f.window->action(CmdLevel3)->trigger();
    QTest::mouseClick(f.window->button(0), Qt::LeftButton);
    QCOMPARE(f.boxes.boxes.size(), 2u);
    for (const BoxAnswerer::Box& box : f.boxes.boxes) {
      QCOMPARE(box.text, QStringLiteral("计算中，暂时无法使用该功能！"));
      QCOMPARE(box.caption, QStringLiteral("提示消息"));
      QCOMPARE(box.icon, QMessageBox::Warning);
      QCOMPARE(box.buttons, QStringList{"确定"});
    }
    QVERIFY(f.window->action(CmdLevel8)->isChecked());
    QVERIFY(!f.window->action(CmdLevel3)->isChecked());
    f.window->action(CmdUseBook)->trigger();  // unguarded
    QVERIFY(!f.window->action(CmdUseBook)->isChecked());
    QTest::mouseClick(f.window->button(StopButton), Qt::LeftButton);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.Cell("A1"), White);
  }

  void aboutBox() {
    WindowFixture f;
    QString title;
    QString button;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
      QVERIFY(about);
      title = about->windowTitle();
      auto* ok = about->findChild<QPushButton*>();
      button = ok->text();
      ok->click();
    });
    f.window->action(CmdAbout)->trigger();
    QCOMPARE(title, QStringLiteral("关于 Tesmor v3.2"));
    QCOMPARE(button, QStringLiteral("确定"));
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::MenuTest)
#include "menu_test.moc"
