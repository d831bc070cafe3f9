// The worker threads: stopping a search, closing while one runs, and the hand-over itself.
#include "ui/image_button.h"
#include "ui/painting.h"
#include "ui/worker_threads.h"
#include "ui_support.h"

namespace tesmor::test {

class WorkerTest : public QObject {
  Q_OBJECT

 private slots:
  void stopButtonEndsALongSearchWithAMovePlayed() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    f.computer.moves = {TestComputer::LongSearch};
    f.computer.stopAnswer = Pt("J9");
    QTest::mouseClick(f.window->button(StopButton), Qt::LeftButton);  // idle: nothing
    QVERIFY(!f.controller().stopRequested());
    QVERIFY(f.boxes.boxes.empty());

    f.Click("H8");
    QTRY_VERIFY(f.computer.searching);
    // The search's progress lines are redrawn as they come.
    PaintSpy spy(f.view());
    const std::string first = f.controller().panel().Get(11);
    QTRY_VERIFY(f.controller().panel().Get(11) != first);
    QTRY_VERIFY(spy.painted.intersects(PanelLineRect(11)));
    QVERIFY(f.controller().computing());

    QTest::mouseClick(f.window->button(StopButton), Qt::LeftButton);
    QVERIFY(f.WaitIdle());
    QCOMPARE(f.Cell("J9"), White);
    QCOMPARE(f.controller().game().moveCount, 2);
    QVERIFY(f.boxes.boxes.empty());
  }

  void closingDuringASearchStopsItAndJoins() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    f.computer.moves = {TestComputer::LongSearch};
    f.computer.stopAnswer = Pt("J9");
    f.Click("H8");
    QTRY_VERIFY(f.computer.searching);
    QVERIFY(f.window->close());
    QVERIFY(!f.computer.searching);
    QCOMPARE(f.window->workers().live(), 0);
    QCOMPARE(f.Cell("J9"), Empty);  // the answer came after closing and was dropped
    QVERIFY(f.boxes.boxes.empty());
    QCoreApplication::processEvents();
    f.window.reset();
  }

  void exitDuringASearch() {
    WindowFixture f;
    f.window->action(CmdRulesFree)->trigger();
    f.computer.moves = {TestComputer::LongSearch};
    f.Click("H8");
    QTRY_VERIFY(f.computer.searching);
    f.window->action(CmdExit)->trigger();
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->workers().live(), 0);
    QVERIFY(!f.computer.searching);
  }

  // The worker may be waiting in a message for the window's thread when that thread shuts down;
  // run it many times so that both orders of the race come up.
  void shutDownWhileAWorkerWaitsInAMessage() {
    for (int round = 0; round < 50; ++round) {
      std::atomic<int> handled{0};
      std::atomic<bool> sending{false};
      std::atomic<int> answer{-1};
      WorkerThreads workers([&](int, int) { return ++handled; });
      workers.Start([&](WindowLink& link) {
        sending = true;
        answer = link.Send(UM_PANEL_LINE, 5);
        link.Send(UM_PANEL_LINE, 7);
      });
      while (!sending) std::this_thread::yield();
      if (round % 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::atomic<bool> stop{false};
      workers.ShutDown(&stop);
      QCOMPARE(workers.live(), 0);
      QCOMPARE(answer.load(), 0);
      QCOMPARE(handled.load(), 0);
      QVERIFY(stop);
    }
  }

  void messagesAreAnsweredInOrderOnTheWindowThread() {
    std::vector<int> seen;
    const std::thread::id windowThread = std::this_thread::get_id();
    bool onWindowThread = true;
    WorkerThreads workers([&](int message, int value) {
      onWindowThread = onWindowThread && std::this_thread::get_id() == windowThread;
      seen.push_back(value);
      return message + value;
    });
    std::vector<int> answers;
    workers.Start([&](WindowLink& link) {
      for (int value = 0; value < 5; ++value) answers.push_back(link.Send(100, value));
    });
    QTRY_COMPARE(workers.live(), 0);
    QCOMPARE(seen, (std::vector<int>{0, 1, 2, 3, 4}));
    QCOMPARE(answers, (std::vector<int>{100, 101, 102, 103, 104}));
    QVERIFY(onWindowThread);
  }

  // A worker's last message may start the next worker, as an accepted hint does.
  void aMessageMayStartTheNextWorker() {
    std::vector<int> seen;
    WorkerThreads* self = nullptr;
    WorkerThreads workers([&](int message, int value) {
      seen.push_back(value);
      if (message == 1) self->Start([](WindowLink& link) { link.Send(2, 20); });
      return 0;
    });
    self = &workers;
    workers.Start([](WindowLink& link) {
      link.Send(1, 10);
      link.Send(3, 11);
    });
    QTRY_COMPARE(seen.size(), 3u);
    QTRY_COMPARE(workers.live(), 0);
    QCOMPARE(seen.front(), 10);
  }

  // Shutting down from inside a message (a nested event loop) only stops answering; the worker
  // ends and is joined afterwards.
  void shutDownFromInsideAMessage() {
    int handled = 0;
    std::atomic<int> second{-1};
    std::atomic<bool> stop{false};
    WorkerThreads* self = nullptr;
    auto workers = std::make_unique<WorkerThreads>([&](int, int) {
      ++handled;
      self->ShutDown(&stop);
      return 1;
    });
    self = workers.get();
    std::atomic<int> first{-1};
    workers->Start([&](WindowLink& link) {
      first = link.Send(1, 0);
      second = link.Send(1, 0);
    });
    QTRY_COMPARE(handled, 1);
    QVERIFY(self->closing());
    QVERIFY(stop);
    workers.reset();  // joins
    QCOMPARE(first.load(), 1);
    QCOMPARE(second.load(), 0);
    QCOMPARE(handled, 1);
  }
};

}  // namespace tesmor::test

QTEST_MAIN(tesmor::test::WorkerTest)
#include "worker_test.moc"
