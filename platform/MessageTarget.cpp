#include "platform/MessageTarget.h"

#include <condition_variable>
#include <list>
#include <mutex>

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include "platform/Worker.h"

namespace platform {
namespace {

// One cross-thread Send waiting for its answer.
struct PendingSend {
  std::mutex lock;  // guards the three fields below
  std::condition_variable changed;
  bool done = false;
  bool abandoned = false;
  int64_t result = 0;

  void Abandon() {
    {
      std::lock_guard guard(lock);
      abandoned = true;
    }
    changed.notify_all();
  }
};

}  // namespace

// Everything a message needs once it is queued: a queued delivery holds this,
// never the MessageTarget, which the UI thread may destroy meanwhile.
struct MessageTarget::Shared {
  Handler handler;
  Hook hook;
  std::unique_ptr<QObject> context;

  std::mutex lock;  // guards alive, pending and senders; held while a delivery is queued
  bool alive = true;
  std::list<std::weak_ptr<PendingSend>> pending;
  int senders = 0;                // cross-thread sends inside Send()
  std::condition_variable left;  // a sender left

  // Runs on the UI thread: the hook, then the handler.
  int64_t Dispatch(const Message& message) {
    if (hook) {
      if (auto handled = hook(message)) return *handled;
    }
    return handler ? handler(message) : 0;
  }

  // Queues `deliver` on the UI thread unless the target is gone; under the
  // lock, so the context cannot be destroyed halfway.
  template <typename Deliver>
  bool Queue(Deliver&& deliver) {
    std::lock_guard guard(lock);
    if (!alive) return false;
    QMetaObject::invokeMethod(context.get(), std::forward<Deliver>(deliver), Qt::QueuedConnection);
    return true;
  }
};

bool OnUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

MessageTarget::MessageTarget(Handler handler) : shared_(std::make_shared<Shared>()) {
  shared_->handler = std::move(handler);
  shared_->context = std::make_unique<QObject>();
  if (const QCoreApplication* app = QCoreApplication::instance())
    shared_->context->moveToThread(app->thread());
}

MessageTarget::~MessageTarget() {
  std::list<std::weak_ptr<PendingSend>> pending;
  std::unique_ptr<QObject> context;
  {
    // Taken under the lock: a sender queues under it too, so it either
    // queued before (and its delivery dies with the context) or sees the
    // target gone.
    std::lock_guard guard(shared_->lock);
    shared_->alive = false;
    pending.swap(shared_->pending);
    context = std::move(shared_->context);
  }
  for (auto& weak : pending)
    if (auto p = weak.lock()) p->Abandon();
  {
    // The abandoned senders leave at once; after that no other thread
    // touches the shared state, and it ends here, on this thread.
    std::unique_lock guard(shared_->lock);
    shared_->left.wait(guard, [&] { return shared_->senders == 0; });
  }
  // Queued deliveries die with their context object.
  context.reset();
}

QObject* MessageTarget::Context() const { return shared_->context.get(); }

void MessageTarget::SetHook(Hook hook) { shared_->hook = std::move(hook); }

int64_t MessageTarget::Dispatch(const Message& message) { return shared_->Dispatch(message); }

std::optional<int64_t> MessageTarget::Send(const Message& message, const StopEvent* stop) {
  if (OnUiThread()) return Dispatch(message);
  // A worker's send follows the worker's stop event unless told otherwise.
  if (!stop) stop = ThisThreadStop();
  if (stop && stop->IsSet()) return std::nullopt;

  // From here on only the shared state is used: the UI thread may destroy
  // this target at any moment, which abandons the send. Until this sender
  // is counted it holds the shared state itself; once counted, the
  // destructor waits for it to leave, and the state ends on the UI thread.
  std::shared_ptr<Shared> keep = shared_;
  Shared* const shared = keep.get();
  std::weak_ptr<Shared> weak = keep;
  auto pending = std::make_shared<PendingSend>();
  StopEvent::Subscription cancel;
  if (stop) cancel = stop->Subscribe([pending] { pending->Abandon(); });
  {
    std::lock_guard guard(shared->lock);
    if (!shared->alive) return std::nullopt;
    ++shared->senders;
    // Forget answered sends so the list stays short.
    shared->pending.remove_if([](const std::weak_ptr<PendingSend>& w) { return w.expired(); });
    shared->pending.push_back(pending);
  }
  struct Leave {
    Shared* shared;
    ~Leave() {
      // Notified under the lock: once it is released the destructor may end
      // the shared state, and this sender no longer touches it.
      std::lock_guard guard(shared->lock);
      --shared->senders;
      shared->left.notify_all();
    }
  } leave{shared};
  keep.reset();
  // The delivery owns the only other handle this sender made.
  const bool queued = shared->Queue([weak = std::move(weak), pending, message] {
    {
      std::lock_guard guard(pending->lock);
      if (pending->abandoned) return;
    }
    const auto target = weak.lock();
    if (!target) return;
    const int64_t result = target->Dispatch(message);
    {
      std::lock_guard guard(pending->lock);
      pending->result = result;
      pending->done = true;
    }
    pending->changed.notify_all();
  });
  if (!queued) return std::nullopt;

  std::unique_lock guard(pending->lock);
  pending->changed.wait(guard, [&] { return pending->done || pending->abandoned; });
  if (pending->done) return pending->result;
  return std::nullopt;
}

void MessageTarget::Post(const Message& message) {
  // Held while queueing: the UI thread may destroy the target meanwhile.
  const std::shared_ptr<Shared> shared = shared_;
  shared->Queue([weak = std::weak_ptr<Shared>(shared), message] {
    if (auto target = weak.lock()) target->Dispatch(message);
  });
}

}  // namespace platform
