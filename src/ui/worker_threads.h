#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "game/host.h"

namespace tesmor {

// Runs the long computations on a worker thread, one at a time, and carries each of their
// messages to the window's thread, where the handler answers it while the worker waits: a
// blocking queued call, made with an event and a condition variable so that shutting down can
// release a waiting worker without the window's thread answering it, and so that the thread
// checker sees every hand-over.
//
// A worker's last message may start the next worker (an accepted hint is a click, and the click
// starts the computer's turn), so the window's thread never joins a worker from inside one of its
// messages: a finished worker is joined later, from the event loop.
class WorkerThreads final {
 public:
  using Handler = std::function<int(const WorkerMessage& message)>;
  using Work = std::function<void(WindowLink&)>;

  explicit WorkerThreads(Handler handler);
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Window's thread: runs work on a new thread.
  void Start(Work work);

  // Window's thread: sets stop, answers no further message (a waiting worker gets 0 at once) and
  // waits for the workers to end. Called from inside a message's handler it does not wait: the
  // worker still waits for that message, and the destructor joins it.
  void ShutDown(std::atomic<bool>* stop);

  bool closing() const;
  // Workers started and not yet joined.
  int live() const { return static_cast<int>(workers_.size()); }

 private:
  class Link;
  class Receiver;
  struct Call;
  struct Worker {
    int id;
    std::thread thread;
  };

  int Send(const WorkerMessage& message);
  void Deliver(Call& call);
  void Reap(int id);

  Handler handler_;
  std::unique_ptr<Receiver> receiver_;  // lives on the window's thread; the messages go to it
  std::vector<Worker> workers_;
  int nextId_ = 0;
  int handling_ = 0;  // depth of messages being handled on the window's thread

  mutable std::mutex mutex_;  // guards closing_ and every Call
  std::condition_variable answered_;
  bool closing_ = false;
};

}  // namespace tesmor
