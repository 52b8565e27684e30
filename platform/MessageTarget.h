#pragma once
// A message target on the UI thread, standing in for a window procedure.
// Workers reach the UI through it:
//  - Send blocks the caller until the handler ran on the UI thread and returns
//    the handler's result. On the UI thread itself it calls the handler
//    directly. It gives up (returns nothing) when the caller's stop event is
//    set (when none is given: the stop event of the worker it runs on), or
//    when the target is destroyed, so a worker can never deadlock a
//    UI thread that is waiting for that worker to end.
//  - Post queues the message and returns at once.
// Create and destroy a target on the UI thread (the thread of the Qt
// application object).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Messages.h"
#include "platform/StopEvent.h"

class QObject;

namespace platform {

struct Message {
  MessageId id = 0;
  uint64_t wParam = 0;
  int64_t lParam = 0;
};

class MessageTarget {
 public:
  using Handler = std::function<int64_t(const Message&)>;

  explicit MessageTarget(Handler handler);
  ~MessageTarget();
  MessageTarget(const MessageTarget&) = delete;
  MessageTarget& operator=(const MessageTarget&) = delete;

  std::optional<int64_t> Send(const Message& message, const StopEvent* stop = nullptr);
  std::optional<int64_t> Send(MessageId id, uint64_t wParam, int64_t lParam,
                              const StopEvent* stop = nullptr) {
    return Send(Message{id, wParam, lParam}, stop);
  }
  void Post(const Message& message);
  void Post(MessageId id, uint64_t wParam, int64_t lParam) { Post(Message{id, wParam, lParam}); }

  // A hook that sees every message before the handler; when it returns a
  // value the handler is skipped and that value is the result.
  using Hook = std::function<std::optional<int64_t>(const Message&)>;
  void SetHook(Hook hook);

  // The QObject living on the UI thread that delivers the messages; other
  // UI-thread services (timers) use it as their context.
  QObject* Context() const;

  // Runs on the UI thread: the hook, then the handler.
  int64_t Dispatch(const Message& message);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

// True when called on the thread of the Qt application object.
bool OnUiThread();

}  // namespace platform
