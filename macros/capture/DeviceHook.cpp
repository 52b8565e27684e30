#include "macros/capture/DeviceHook.h"

#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>

#include "macros/MacroTables.h"
#include "platform/Trace.h"

namespace macros::capture {

namespace {

constexpr platform::MessageId kRawInputMessage = 1;

struct ModeName {
  int mode;
  const char* keyboard;
  const char* mouse;
};
constexpr ModeName kModeNames[] = {
    {1, "WM_HOOK_KEY_SINGLEKEY_MSG", ""},
    {2, "WM_HOOK_KEY_HITKEY_MSG", ""},
    {4, "WM_HOOK_KEY_KBMACRO_MSG", "WM_HOOK_KEY_MSMACRO_MSG"},
    {8, "WM_HOOK_KEY_KBMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"},
    {16, "WM_HOOK_KEY_KBMACROLATER_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG"},
    {32, "WM_HOOK_KEY_KBMACROSINGLE_MSG", "WM_HOOK_KEY_MSMACROSINGLE_MSG"},
    {256, "WM_HOOK_MOU_SINGLEKEY_MSG", ""},
    {512, "WM_HOOK_MOU_HITKEY_MSG", ""},
    {1024, "WM_HOOK_MOU_KBMACRO_MSG", ""},
};

const ModeName* FindMode(int mode) {
  for (const ModeName& m : kModeNames)
    if (m.mode == mode) return &m;
  return nullptr;
}

platform::MessageId IdOf(const char* name) {
  return name && *name ? platform::RegisterWindowMessage(name) : 0;
}

// The window message and X button of an input button code; 0 for none.
uint32_t ButtonMessage(int code, bool down, uint32_t* xButton) {
  *xButton = 0;
  switch (code) {
    case BTN_LEFT: return down ? wm::kLButtonDown : wm::kLButtonUp;
    case BTN_RIGHT: return down ? wm::kRButtonDown : wm::kRButtonUp;
    case BTN_MIDDLE: return down ? wm::kMButtonDown : wm::kMButtonUp;
    case BTN_SIDE:
    case BTN_BACK: *xButton = 1; return down ? wm::kXButtonDown : wm::kXButtonUp;
    case BTN_EXTRA:
    case BTN_FORWARD: *xButton = 2; return down ? wm::kXButtonDown : wm::kXButtonUp;
    default: return 0;
  }
}

uint32_t QtButtonMessage(Qt::MouseButton button, bool down, uint32_t* xButton) {
  switch (button) {
    case Qt::LeftButton: return ButtonMessage(BTN_LEFT, down, xButton);
    case Qt::RightButton: return ButtonMessage(BTN_RIGHT, down, xButton);
    case Qt::MiddleButton: return ButtonMessage(BTN_MIDDLE, down, xButton);
    case Qt::BackButton: return ButtonMessage(BTN_SIDE, down, xButton);
    case Qt::ForwardButton: return ButtonMessage(BTN_EXTRA, down, xButton);
    default: *xButton = 0; return 0;
  }
}

}  // namespace

const char* KeyboardMessageName(int mode) {
  const ModeName* m = FindMode(mode);
  return m ? m->keyboard : "";
}

const char* MouseMessageName(int mode) {
  const ModeName* m = FindMode(mode);
  return m ? m->mouse : "";
}

void RegisterHookMessages() {
  for (const ModeName& m : kModeNames) {
    IdOf(m.keyboard);
    IdOf(m.mouse);
  }
  for (const char* name : {"WM_HOOK_MOU_MSMACRO_MSG", "UWM_MOUSELBUTTONDOWN_USER_MSG",
                           "UWM_MOUSELBUTTONUP_USER_MSG", "UWM_MOUSERBUTTONDOWN_USER_MSG",
                           "UWM_MOUSERBUTTONUP_USER_MSG", "UWM_MOUSEMOVE_USER_MSG"})
    IdOf(name);
}

// Watches the program's windows. Input reaches a top-level window before
// any widget, once per event, so the filter looks only there.
class CDeviceHook::Filter : public QObject {
 public:
  explicit Filter(CDeviceHook& hook) : hook_(hook) {}

  bool eventFilter(QObject* object, QEvent* event) override {
    if (!object->isWindowType()) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        if (!hook_.keyboard_) return false;
        auto* ke = static_cast<QKeyEvent*>(event);
        const CapturedKey key = KeyOf(*ke).value_or(CapturedKey{});
        if (hook_.SourceCoversKeyboard()) return !IsLockKey(key.vk);
        return !hook_.OnKey(event->type() == QEvent::KeyPress, key, false);
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease: {
        if (!hook_.library_ || (hook_.source_ && hook_.source_->CoversMouse())) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        uint32_t xButton = 0;
        const uint32_t message =
            QtButtonMessage(me->button(), event->type() != QEvent::MouseButtonRelease, &xButton);
        if (message == 0) return false;
        const QPoint at = me->globalPosition().toPoint();
        hook_.OnButton(message, xButton << 16, at.x(), at.y(), false);
        return false;
      }
      default:
        return false;
    }
  }

 private:
  // X11 and Wayland keycodes are the input event code + 8; events made
  // without one (synthetic, some platforms) are known by their Qt key.
  static std::optional<CapturedKey> KeyOf(const QKeyEvent& ke) {
    const quint32 native = ke.nativeScanCode();
    if (native > 8) return KeyFromEvdev(int(native - 8));
    return KeyFromQtKey(ke.key(), ke.modifiers() & Qt::KeypadModifier);
  }

  CDeviceHook& hook_;
};

CDeviceHook::CDeviceHook(SourceFactory sources, bool windowFilter)
    : sources_(std::move(sources)), useFilter_(windowFilter) {
  relay_ = std::make_unique<platform::MessageTarget>([this](const platform::Message& m) {
    if (m.id == kRawInputMessage) OnRawInput({int(m.wParam), int(m.lParam)});
    return int64_t(0);
  });
  cursor_ = [] {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return std::pair(0, 0);
    const QPoint p = QCursor::pos();
    return std::pair(p.x(), p.y());
  };
}

CDeviceHook::~CDeviceHook() { Uninstall(); }

bool CDeviceHook::SourceCoversKeyboard() const { return source_ && source_->CoversKeyboard(); }

int CDeviceHook::Install(uint32_t tag, int mode, platform::MessageTarget* target, bool keyboard,
                         bool library) {
  keyboard_ = false;
  library_ = false;
  StopSource();
  keyboard_ = keyboard;
  library_ = library;
  tag_ = tag;
  target_ = target;
  mode_ = mode;
  sourceError_ = 0;
  if ((keyboard || library) && sources_) {
    source_ = sources_();
    sourceError_ = source_ ? source_->Open() : 0;
    if (sourceError_ != 0) {
      Trace("input capture: no readable input device, errno " + std::to_string(sourceError_));
      source_.reset();
    }
  }
  if (source_) {
    worker_ = std::make_unique<platform::Worker>();
    InputSource* source = source_.get();
    platform::MessageTarget* relay = relay_.get();
    worker_->Start([source, relay](const platform::StopEvent& stop) {
      while (const auto input = source->Next(stop))
        relay->Send(kRawInputMessage, uint64_t(input->code), input->value, &stop);
    });
  }
  const bool watch = useFilter_ && (keyboard || library) && QCoreApplication::instance();
  if (watch && !filter_) {
    filter_ = std::make_unique<Filter>(*this);
    QCoreApplication::instance()->installEventFilter(filter_.get());
  } else if (!watch) {
    filter_.reset();
  }
  return 1;
}

int CDeviceHook::Uninstall() {
  const int removed = keyboard_ ? 1 : 0;
  keyboard_ = false;
  library_ = false;
  StopSource();
  filter_.reset();
  return removed;
}

void CDeviceHook::StopSource() {
  if (worker_) {
    // The stop comes first, so a Send the worker is waiting in returns.
    worker_->Event().Set();
    worker_->Stop(std::chrono::milliseconds(1000), "input capture: reader did not stop in 1000 ms");
    worker_.reset();
  }
  if (source_) source_->Close();
  source_.reset();
}

void CDeviceHook::OnRawInput(const RawInput& input) {
  if (input.value < 0 || input.value > 2) return;
  const bool down = input.value != 0;
  uint32_t xButton = 0;
  if (const uint32_t message = ButtonMessage(input.code, down, &xButton)) {
    if (!library_) return;
    const auto [x, y] = cursor_();
    OnButton(message, xButton << 16, x, y, true);
    return;
  }
  if (input.code >= BTN_MISC || !keyboard_) return;
  OnKey(down, KeyFromEvdev(input.code).value_or(CapturedKey{}), true);
}

bool CDeviceHook::OnKey(bool down, const CapturedKey& key, bool fromSource) {
  HookReport report;
  report.keyboard = true;
  report.message = IdOf(KeyboardMessageName(mode_));
  report.wParam = down ? wm::kKeyDown : wm::kKeyUp;
  report.key = {key.vk, key.scan, key.ext ? kExtendedFlag : 0u, 0};
  report.passed = fromSource || IsLockKey(key.vk);
  const KeyboardHookRecord record = Encode(report.key);
  if (report.message && target_) target_->Send(report.message, report.wParam, RecordParam(record));
  if (observer_) observer_(report);
  return report.passed;
}

void CDeviceHook::OnButton(uint32_t message, uint32_t mouseData, int x, int y, bool) {
  HookReport report;
  report.keyboard = false;
  report.message = IdOf(MouseMessageName(mode_));
  report.wParam = message;
  report.mouse = {x, y, mouseData};
  report.passed = true;
  const MouseHookRecord record = Encode(report.mouse);
  if (report.message && target_) target_->Send(report.message, report.wParam, RecordParam(record));
  if (observer_) observer_(report);
}

}  // namespace macros::capture
