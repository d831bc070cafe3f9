#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "game/host.h"

namespace tesmor {

// Runs the long computations on a worker thread, one at a time, and carries each of their
// messages to the window's thread, where the handler answers it while the worker waits.
//
// A worker's last message may start the next worker (an accepted hint is a click, and the click
// starts the computer's turn), so the window's thread never joins a worker from inside one of its
// messages: a finished worker is joined later, from the event loop. Shutting down makes every
// message return at once unanswered and waits for the workers to end.
class WorkerThreads final {
 public:
  using Handler = std::function<int(int message, int value)>;
  using Work = std::function<void(WindowLink&)>;

  explicit WorkerThreads(Handler handler);
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Window's thread: runs work on a new thread.
  void Start(Work work);

  // Window's thread: no message is answered from now on; waits for the workers to end, setting
  // stop again and again (a search may clear it between its phases). Called from inside a
  // message's handler it only stops answering; the waiting is left to the destructor.
  void ShutDown(std::atomic<bool>* stop);

  bool closing() const { return closing_; }
  // Workers started and not yet joined.
  int live() const { return static_cast<int>(workers_.size()); }

 private:
  class Link;
  struct Worker {
    int id;
    std::thread thread;
  };

  int Deliver(int message, int value);
  void Reap(int id);

  Handler handler_;
  QObject receiver_;  // lives on the window's thread; the messages are queued to it
  std::vector<Worker> workers_;
  int nextId_ = 0;
  int handling_ = 0;  // depth of messages being handled on the window's thread
  std::atomic<bool> closing_{false};

  std::mutex mutex_;
  std::condition_variable finishedChanged_;
  std::set<int> finished_;

  // Taken empty on both sides of each hand-over, so that the thread checkers see the order that
  // the queued call establishes.
  std::mutex handOver_;
};

}  // namespace tesmor
