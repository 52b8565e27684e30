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

struct MessageTarget::Shared {
  Handler handler;
  Hook hook;
  std::unique_ptr<QObject> context;

  std::mutex lock;  // guards alive and pending
  bool alive = true;
  std::list<std::weak_ptr<PendingSend>> pending;
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
  {
    std::lock_guard guard(shared_->lock);
    shared_->alive = false;
    pending.swap(shared_->pending);
  }
  for (auto& weak : pending)
    if (auto p = weak.lock()) p->Abandon();
  // Queued deliveries die with their context object.
  shared_->context.reset();
}

QObject* MessageTarget::Context() const { return shared_->context.get(); }

void MessageTarget::SetHook(Hook hook) { shared_->hook = std::move(hook); }

int64_t MessageTarget::Dispatch(const Message& message) {
  if (shared_->hook) {
    if (auto handled = shared_->hook(message)) return *handled;
  }
  return shared_->handler ? shared_->handler(message) : 0;
}

std::optional<int64_t> MessageTarget::Send(const Message& message, const StopEvent* stop) {
  if (OnUiThread()) return Dispatch(message);
  // A worker's send follows the worker's stop event unless told otherwise.
  if (!stop) stop = ThisThreadStop();
  if (stop && stop->IsSet()) return std::nullopt;

  auto pending = std::make_shared<PendingSend>();
  {
    std::lock_guard guard(shared_->lock);
    if (!shared_->alive) return std::nullopt;
    // Forget answered sends so the list stays short.
    shared_->pending.remove_if([](const std::weak_ptr<PendingSend>& w) { return w.expired(); });
    shared_->pending.push_back(pending);
  }
  StopEvent::Subscription cancel;
  if (stop) cancel = stop->Subscribe([pending] { pending->Abandon(); });

  QMetaObject::invokeMethod(
      shared_->context.get(),
      [this, pending, message] {
        {
          std::lock_guard guard(pending->lock);
          if (pending->abandoned) return;
        }
        const int64_t result = Dispatch(message);
        {
          std::lock_guard guard(pending->lock);
          pending->result = result;
          pending->done = true;
        }
        pending->changed.notify_all();
      },
      Qt::QueuedConnection);

  std::unique_lock guard(pending->lock);
  pending->changed.wait(guard, [&] { return pending->done || pending->abandoned; });
  if (pending->done) return pending->result;
  return std::nullopt;
}

void MessageTarget::Post(const Message& message) {
  QMetaObject::invokeMethod(
      shared_->context.get(), [this, message] { Dispatch(message); }, Qt::QueuedConnection);
}

}  // namespace platform
