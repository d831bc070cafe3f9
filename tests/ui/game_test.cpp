// Games driven through the window: clicks, menus and buttons, with the message boxes answered.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include "ui/image_button.h"
#include "ui_support.h"

namespace tesmor::test {
namespace {

constexpr int HintButton = 5;
constexpr int VcfButton = 7;

// Answers the next file dialog by choosing a name and accepting it; records its title and the name
// it offered.
struct FileDialogAnswer {
  explicit FileDialogAnswer(QString typed) : name(std::move(typed)) {
    QTimer::singleShot(0, [this] { Answer(); });
  }
  void Answer() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      QTimer::singleShot(5, [this] { Answer(); });
      return;
    }
    title = dialog->windowTitle();
    offered = dialog->selectedFiles().value(0);
    dialog->selectFile(name);
    static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
  }
  QString name;
  QString title;
  QString offered;
};

}  // namespace

class GameTest : public QObject {
  Q_OBJECT

 private slots:
  void shortGameAgainstTheComputer() {
    WindowFixture f;
    f.window->action(CmdRulesForbidden)->trigger();
    f.window->action(CmdLevel1)->trigger();
    f.computer.moves = {Pt("A1"), Pt("A2"), Pt("A3"), Pt("A4"), Pt("A5")};
    for (const char* point : {"H8", "H9", "H10", "H11"}) {
      f.Click(point);
      QVERIFY(f.WaitIdle());
    }
    QCOMPARE(f.controller().game().moveCount, 8);
    for (const char* point : {"A1", "A2", "A3", "A4"}) QCOMPARE(f.Cell(point), White);
    QVERIFY(f.boxes.boxes.empty());

    f.Click("H12");
    QCOMPARE(f.boxes.boxes.size(), 1u);
    QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("黑方胜！"));
    QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("游戏结束"));
    QCOMPARE(f.boxes.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(f.boxes.boxes[0].buttons, QStringList{"确定"});
    QVERIFY(!f.controller().computing());
    QCOMPARE(f.computer.levels, (std::vector<int>{8, 8, 8, 8}));

    f.Click("O15");  // the game is over
    QCOMPARE(f.Cell("O15"), Empty);
    f.window->action(CmdTakeBack)->trigger();
    QCOMPARE(f.Cell("H12"), Empty);
    QVERIFY(f.controller().gameInProgress());
    QCOMPARE(f.controller().panel().Get(3), "8手");
  }

  void swapAcceptedUnderRif() {
    // Draw 14: "疏星"; the human takes Black and the computer's fourth stone comes at once.
    WindowFixture f({14});
    f.boxes.press = {"是"};
    f.computer.moves = {Pt("G9")};
    f.window->action(CmdPlayWhite)->trigger();
    QCOMPARE(f.boxes.boxes.size(), 1u);
    QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("是否交换？"));
    QCOMPARE(f.boxes.boxes[0].buttons, (QStringList{"是", "否"}));
    QCOMPARE(f.boxes.boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(f.controller().game().moveCount, 4);
    QCOMPARE(f.Cell("G9"), White);
    QCOMPARE(f.controller().panel().Get(1), "疏星");
    QVERIFY(!f.controller().computing());
  }

  void acceptedHintIsPlayedAndTheComputerAnswers() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    f.computer.moves = {Pt("H8"), Pt("J9")};
    f.boxes.press = {"确定"};
    QTest::mouseClick(f.window->button(HintButton), Qt::LeftButton);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.boxes.size(), 1u);
    QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("提示：H8"));
    QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("提示消息"));
    QCOMPARE(f.boxes.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(f.boxes.boxes[0].buttons, (QStringList{"确定", "取消"}));
    QCOMPARE(f.Cell("H8"), Black);
    QCOMPARE(f.Cell("J9"), White);
    QCOMPARE(f.controller().game().moveCount, 2);
  }

  void cancelledHintLeavesTheBoard() {
    WindowFixture f;
    f.computer.moves = {Pt("H8")};
    f.boxes.press = {"取消"};
    f.window->action(CmdHint)->trigger();
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.TakeTexts(), QStringList{"提示：H8"});
    QCOMPARE(f.controller().game().moveCount, 0);
    f.Click("H8");  // the window is idle again
    QCOMPARE(f.Cell("H8"), Black);
  }

  void vcfSearch() {
    WindowFixture f;
    QTest::mouseClick(f.window->button(VcfButton), Qt::LeftButton);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.boxes.size(), 1u);
    QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("没有找到VCF！"));
    QCOMPARE(f.boxes.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(f.boxes.boxes[0].buttons, QStringList{"确定"});
    f.boxes.TakeTexts();

    f.computer.vcfAnswer = Pt("O15");
    f.boxes.press = {"取消"};
    QTest::mouseClick(f.window->button(VcfButton), Qt::LeftButton);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.boxes.TakeTexts(), QStringList{"提示：O15"});
    QCOMPARE(f.controller().game().moveCount, 0);
  }

  void saveAndLoadThroughTheDialogs() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WindowFixture f;
    f.window->action(CmdModeTwoPlayers)->trigger();
    f.Click("H8");
    f.Click("H9");
    f.Click("J10");
    {
      FileDialogAnswer answer(dir.filePath("game"));
      QTest::mouseClick(f.window->button(3), Qt::LeftButton);
      QCOMPARE(answer.title, QStringLiteral("保存文件"));
    }
    QFile saved(dir.filePath("game.pos"));  // the extension is added
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\x03\x70\x7f\x90", 4));

    f.window->action(CmdTwoPlayers)->trigger();
    QCOMPARE(f.controller().game().moveCount, 0);
    {
      FileDialogAnswer answer(dir.filePath("game.pos"));
      QTest::mouseClick(f.window->button(4), Qt::LeftButton);
      QCOMPARE(answer.title, QStringLiteral("读取文件"));
      QCOMPARE(answer.offered, dir.filePath("game.pos"));  // the name last chosen
    }
    QCOMPARE(f.controller().game().moveCount, 3);
    QCOMPARE(f.Cell("J10"), Black);
    QCOMPARE(f.controller().displayMoveCount(), 3);

    {
      FileDialogAnswer answer(dir.filePath("missing.pos"));
      f.window->action(CmdOpen)->trigger();
    }
    QCOMPARE(f.boxes.TakeTexts(), QStringList{"文件读取失败！"});
    QCOMPARE(f.controller().game().moveCount, 3);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::GameTest)
#include "game_test.moc"
