// Games driven through the window against the scripted and the real computer; searches stopped
// and closed; the worker threads' hand-over itself.
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTreeView>

#include <sstream>

#include "game/engine_computer.h"
#include "ui/painting.h"
#include "ui/worker_threads.h"
#include "ui_support.h"

namespace tesmor::test {
namespace {

// The column titles and texts of the row that lists name, once the dialog has read its folder.
QStringList FileRow(QFileDialog* dialog, const QString& name) {
  auto* view = dialog->findChild<QTreeView*>();
  const QAbstractItemModel* model = view->model();
  const QModelIndex folder = view->rootIndex();
  for (int r = 0; r < model->rowCount(folder); ++r) {
    if (model->index(r, 0, folder).data() != name) continue;
    QStringList row;
    for (int column = 0; column < 4; ++column)
      row << model->headerData(column, Qt::Horizontal).toString()
          << model->index(r, column, folder).data().toString();
    return row;
  }
  return {};
}

}  // namespace

class GameTest : public QObject {
  Q_OBJECT

 private slots:
  // Saved and opened through the file dialogs, which speak Chinese, and opened from the command
  // line, where a refused file is shown with its name and reason.
  void positionFilesThroughTheDialogsAndAtStart() {
    QTemporaryDir dir;
    TwoPlayerWindow f;
    for (const char* point : {"H8", "H9", "J10"}) f.Click(point);
    const QString path = dir.filePath("game.pos");
    WithDialog<QFileDialog>([&] { f.Press(3); },
                            [&](QFileDialog* dialog) {
                              QCOMPARE(dialog->windowTitle(), "保存文件");
                              dialog->selectFile(dir.filePath("game"));
                              static_cast<QDialog*>(dialog)->accept();
                            });
    QVERIFY(QFile::exists(path));  // the extension is added; opened again below
    f.Do(CmdTwoPlayers);
    QCOMPARE(f.Moves(), 0);
    // The name last chosen is offered.
    QStringList seen;
    WithDialog<QFileDialog>([&] { f.Press(4); },
                            [&](QFileDialog* dialog) {
                              seen = QStringList{dialog->windowTitle(),
                                                 dialog->selectedFiles().value(0)} +
                                     FileRow(dialog, "game.pos");
                              if (seen.size() > 2) static_cast<QDialog*>(dialog)->accept();
                            });
    QCOMPARE(seen.mid(0, 8), (QStringList{"读取文件", path, "名称", "game.pos", "大小", "4 字节",
                                          "类型", "棋局文件"}));
    QCOMPARE(seen.value(8), "修改日期");
    QVERIFY2(seen.value(9).contains("年"), qPrintable(seen.value(9)));
    QCOMPARE(f.Cell("J10"), Black);
    QCOMPARE(f.controller().displayMoveCount(), 3);

    const QString good = dir.filePath("good.pos"), bad = dir.filePath("bad.pos");
    for (const auto& [name, bytes] :
         {std::pair{good, "\x02\x70\x7f"}, std::pair{bad, "\x02\x70\x70"}}) {
      QFile file(name);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes, 3) == 3);
    }
    QVERIFY(f.window->OpenAtStart(good));
    QCOMPARE(f.Cell("H8"), Black);
    QVERIFY(!f.window->OpenAtStart(bad));
    QCOMPARE(f.Moves(), 2);
    QCOMPARE(f.boxes.Take(), QStringList{"提示信息 | 文件读取失败！\n" + bad +
                                         "：move 2 is played on an occupied point | 确定 | !"});
  }

  // The real engine searches on a worker while the window clicks, changes settings, takes back,
  // repaints and stops: the worker has its own copy of the record, so the thread checker is quiet.
  void windowActionsDuringRealSearchesDoNotRace() {
    std::ostringstream console;
    EngineComputer computer(console);
    WindowFixture f({1}, &computer);
    f.Do(CmdRulesFree);
    f.Do(CmdTwoPlayers);
    for (const char* point : {"H8", "H9", "J10", "G9", "I9", "G10"}) f.Click(point);
    f.Do(CmdModeComputer);
    f.Do(CmdLevel9);
    f.Do(CmdExactSearch);
    f.boxes.Take();  // a missing book is reported and play goes on without it
    for (int round = 0; round < 3; ++round) {
      if (round == 0) f.Click("N2");  // the computer's move
      if (round == 1) f.Press(5);     // the hint, accepted when it comes: then the computer's move
      if (round == 2) f.Press(7);     // the VCF search
      f.Click("A1");
      f.RightClick();
      f.Do(CmdLevel3);
      f.Do(CmdShowNumbers);
      f.view()->repaint();
      // An accepted hint starts the computer's move, which is stopped in turn.
      QVERIFY(QTest::qWaitFor(
          [&] {
            const bool idle = !f.controller().computing() && f.window->workers().live() == 0;
            if (!idle) f.Press(StopButton);
            return idle;
          },
          60000));
      QCOMPARE(f.Cell("A1"), Empty);
    }
    QCOMPARE(f.Cell("N2"), Black);
    QCOMPARE(f.controller().displayCells(), f.controller().game().cells);
  }

  // While the computer searches: progress redrawn, a busy cursor, guarded commands refused with
  // their ticks kept (the clicks it ignores are the controller's test). Stop or Esc plays the
  // search's move ("大师" as "8级"); closing the window or "退出" stops and joins the worker, and
  // its late answer is dropped.
  void longSearchStoppedOrClosed() {
    for (const QString end : {"stop", "Esc", "退出", "close"}) {
      WindowFixture f;
      const int level = end == "stop" ? CmdLevelMaster : CmdLevel8;
      f.Do(level);
      f.Press(StopButton);  // idle: nothing
      QVERIFY(!f.controller().stopRequested());
      QVERIFY(f.StartLongSearch("J9"));
      QCOMPARE(f.view()->cursor().shape(), Qt::BusyCursor);
      PaintSpy spy(f.view());
      const std::string first = f.controller().panel().Get(11);
      QTRY_VERIFY(f.controller().panel().Get(11) != first);
      QTRY_VERIFY(spy.painted.intersects(PanelLineRect(11)));
      f.Do(CmdLevel3);
      f.Do(CmdMasterTime30);
      QCOMPARE(f.boxes.Take(), QStringList{"提示消息 | 计算中，暂时无法使用该功能！ | 确定 | !"});
      QVERIFY(f.window->action(level)->isChecked() && !f.window->action(CmdLevel3)->isChecked());
      QVERIFY(f.window->action(CmdMasterTime30)->isChecked() &&
              !f.window->action(CmdMasterTime3)->isChecked());
      if (end == "stop") f.Press(StopButton);
      if (end == "Esc") f.Key(Qt::Key_Escape);
      if (end == "退出") f.Do(CmdExit);
      if (end == "close") QVERIFY(f.window->close());
      if (end == "stop" || end == "Esc") {
        QVERIFY(f.WaitIdle());
        QCOMPARE(f.Cell("J9"), White);
        QCOMPARE(f.Moves(), 2);
        QCOMPARE(f.view()->cursor().shape(), Qt::ArrowCursor);
      } else {
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.computer.searching);
        QCOMPARE(f.window->workers().live(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(f.Cell("J9"), Empty);
      }
      QVERIFY(f.boxes.seen.isEmpty());
    }
  }

  // The worker may be waiting in a message for the window's thread when that thread shuts down;
  // run it many times so that both orders of the race come up.
  void shutDownWhileAWorkerWaitsInAMessage() {
    for (int round = 0; round < 50; ++round) {
      std::atomic<int> handled{0}, answer{-1};
      std::atomic<bool> sending{false}, stop{false};
      WorkerThreads workers([&](const WorkerMessage&) { return ++handled; });
      workers.Start([&](WindowLink& link) {
        sending = true;
        answer = link.Send({WorkerEvent::ProgressChanged, 5});
        link.Send({WorkerEvent::ProgressChanged, 7});
      });
      while (!sending) std::this_thread::yield();
      if (round % 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      workers.ShutDown(&stop);
      QCOMPARE(workers.live(), 0);
      QCOMPARE(answer.load() + handled.load(), 0);
      QVERIFY(stop);
    }
  }

  // Messages are answered in order on the window's thread; the last may start the next worker
  // while the first still runs, as an accepted hint does. Shutting down from inside a message (a
  // nested event loop) only stops answering; the worker ends and is joined afterwards.
  void messagesAnsweredInOrderOnTheWindowThreadUntilShutDown() {
    std::vector<int> seen;
    const std::thread::id windowThread = std::this_thread::get_id();
    bool onWindowThread = true;
    std::atomic<bool> stop{false};
    std::atomic<int> last{-1}, afterShutDown{-1};
    WorkerThreads* self = nullptr;
    auto workers = std::make_unique<WorkerThreads>([&](const WorkerMessage& message) {
      onWindowThread = onWindowThread && std::this_thread::get_id() == windowThread;
      seen.push_back(message.value);
      if (message.value == 4)
        self->Start([&](WindowLink& link) {
          last = link.Send({WorkerEvent::ProgressChanged, 20});
          afterShutDown = link.Send({WorkerEvent::ProgressChanged, 21});
        });
      if (message.value == 20) self->ShutDown(&stop);
      return message.colour + message.value;
    });
    self = workers.get();
    std::vector<int> answers;
    workers->Start([&](WindowLink& link) {
      for (int value = 0; value < 5; ++value)
        answers.push_back(link.Send({WorkerEvent::ProgressChanged, value, 100}));
    });
    QTRY_COMPARE(seen.size(), 6u);
    QVERIFY(self->closing() && stop);
    workers.reset();  // joins
    QCOMPARE(seen, (std::vector<int>{0, 1, 2, 3, 4, 20}));
    QCOMPARE(answers, (std::vector<int>{100, 101, 102, 103, 104}));
    QCOMPARE(last.load(), 20);
    QCOMPARE(afterShutDown.load(), 0);
    QVERIFY(onWindowThread);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::GameTest)
#include "game_test.moc"
