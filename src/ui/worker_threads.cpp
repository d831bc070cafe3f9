#include "ui/worker_threads.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <chrono>

namespace tesmor {

class WorkerThreads::Link final : public WindowLink {
 public:
  explicit Link(WorkerThreads& owner) : owner_(owner) {}

  int Send(int message, int value) override {
    if (owner_.closing_) return 0;
    int answer = 0;
    { std::lock_guard fence(owner_.handOver_); }
    QMetaObject::invokeMethod(
        &owner_.receiver_, [&] { answer = owner_.Deliver(message, value); },
        Qt::BlockingQueuedConnection);
    { std::lock_guard fence(owner_.handOver_); }
    return answer;
  }

 private:
  WorkerThreads& owner_;
};

WorkerThreads::WorkerThreads(Handler handler) : handler_(std::move(handler)) {}

WorkerThreads::~WorkerThreads() {
  ShutDown(nullptr);
}

void WorkerThreads::Start(Work work) {
  if (closing_) return;
  const int id = nextId_++;
  workers_.push_back({id, std::thread([this, id, work = std::move(work)] {
                        Link link(*this);
                        work(link);
                        {
                          std::lock_guard lock(mutex_);
                          finished_.insert(id);
                        }
                        finishedChanged_.notify_all();
                        QMetaObject::invokeMethod(
                            &receiver_, [this, id] { Reap(id); }, Qt::QueuedConnection);
                      })});
}

int WorkerThreads::Deliver(int message, int value) {
  { std::lock_guard fence(handOver_); }
  int answer = 0;
  if (!closing_) {
    ++handling_;
    answer = handler_(message, value);
    --handling_;
  }
  { std::lock_guard fence(handOver_); }
  return answer;
}

void WorkerThreads::Reap(int id) {
  if (closing_) return;  // ShutDown joins everything
  for (auto worker = workers_.begin(); worker != workers_.end(); ++worker) {
    if (worker->id != id) continue;
    worker->thread.join();  // it has only the return left to do
    workers_.erase(worker);
    break;
  }
  std::lock_guard lock(mutex_);
  finished_.erase(id);
}

void WorkerThreads::ShutDown(std::atomic<bool>* stop) {
  closing_ = true;
  if (stop) *stop = true;
  if (handling_ > 0) return;
  // A worker may be waiting in Send for this very thread: keep answering its queued messages
  // (unanswered, as closing_ is set) until every worker has ended.
  for (;;) {
    if (stop) *stop = true;
    QCoreApplication::sendPostedEvents(&receiver_, QEvent::MetaCall);
    std::unique_lock lock(mutex_);
    bool allFinished = true;
    for (const Worker& worker : workers_)
      if (!finished_.contains(worker.id)) allFinished = false;
    if (allFinished) break;
    finishedChanged_.wait_for(lock, std::chrono::milliseconds(10));
  }
  for (Worker& worker : workers_) worker.thread.join();
  workers_.clear();
}

}  // namespace tesmor
