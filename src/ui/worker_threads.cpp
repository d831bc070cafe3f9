#include "ui/worker_threads.h"

#include <QCoreApplication>
#include <QEvent>

namespace tesmor {

// One message on its way; shared by the waiting worker and the event that carries it.
struct WorkerThreads::Call {
  WorkerMessage message;
  int answer = 0;
  bool started = false;  // the window's thread has begun to handle it
  bool done = false;
};

namespace {

const QEvent::Type CallEventType = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type ReapEventType = static_cast<QEvent::Type>(QEvent::User + 2);

template <typename Payload>
class PayloadEvent final : public QEvent {
 public:
  PayloadEvent(Type type, Payload carried) : QEvent(type), payload(std::move(carried)) {}
  Payload payload;
};

}  // namespace

class WorkerThreads::Receiver final : public QObject {
 public:
  explicit Receiver(WorkerThreads& owner) : owner_(owner) {}
  bool event(QEvent* event) override {
    { std::lock_guard fence(owner_.mutex_); }  // pairs with the sender's, before the event is read
    if (event->type() == CallEventType) {
      owner_.Deliver(*static_cast<PayloadEvent<std::shared_ptr<Call>>*>(event)->payload);
      return true;
    }
    if (event->type() == ReapEventType) {
      owner_.Reap(static_cast<PayloadEvent<int>*>(event)->payload);
      return true;
    }
    return QObject::event(event);
  }

 private:
  WorkerThreads& owner_;
};

class WorkerThreads::Link final : public WindowLink {
 public:
  explicit Link(WorkerThreads& owner) : owner_(owner) {}
  int Send(const WorkerMessage& message) override { return owner_.Send(message); }

 private:
  WorkerThreads& owner_;
};

WorkerThreads::WorkerThreads(Handler handler)
    : handler_(std::move(handler)), receiver_(std::make_unique<Receiver>(*this)) {}

WorkerThreads::~WorkerThreads() {
  ShutDown(nullptr);
}

bool WorkerThreads::closing() const {
  std::lock_guard lock(mutex_);
  return closing_;
}

void WorkerThreads::Start(Work work) {
  if (closing()) return;
  const int id = nextId_++;
  workers_.push_back({id, std::thread([this, id, work = std::move(work)] {
                        Link link(*this);
                        work(link);
                        auto* reap = new PayloadEvent<int>(ReapEventType, id);
                        { std::lock_guard fence(mutex_); }  // the event is handed over whole
                        QCoreApplication::postEvent(receiver_.get(), reap);
                      })});
}

// Worker's thread.
int WorkerThreads::Send(const WorkerMessage& message) {
  auto call = std::make_shared<Call>(Call{message});
  auto* event = new PayloadEvent<std::shared_ptr<Call>>(CallEventType, call);
  std::unique_lock lock(mutex_);
  if (closing_) {
    lock.unlock();
    delete event;
    return 0;
  }
  lock.unlock();
  QCoreApplication::postEvent(receiver_.get(), event);
  lock.lock();
  answered_.wait(lock, [&] { return call->done || (closing_ && !call->started); });
  return call->done ? call->answer : 0;
}

// Window's thread.
void WorkerThreads::Deliver(Call& call) {
  {
    std::lock_guard lock(mutex_);
    if (closing_) return;
    call.started = true;
  }
  ++handling_;
  const int answer = handler_(call.message);
  --handling_;
  {
    std::lock_guard lock(mutex_);
    call.answer = answer;
    call.done = true;
  }
  answered_.notify_all();
}

void WorkerThreads::Reap(int id) {
  if (closing()) return;  // ShutDown joins everything
  for (auto worker = workers_.begin(); worker != workers_.end(); ++worker) {
    if (worker->id != id) continue;
    worker->thread.join();  // it has only the return left to do
    workers_.erase(worker);
    break;
  }
}

void WorkerThreads::ShutDown(std::atomic<bool>* stop) {
  if (stop) *stop = true;
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  answered_.notify_all();
  if (handling_ > 0) return;
  for (Worker& worker : workers_) worker.thread.join();
  workers_.clear();
}

}  // namespace tesmor
