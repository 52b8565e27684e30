#pragma once
// The capture facility: while on, every key and mouse-button event is
// reported to the target as the registered message of the capture mode, with
// lParam pointing to the keyboard or mouse record (HookRecords.h), sent
// synchronously on the UI thread. Keys are swallowed, except the three lock
// keys; mouse buttons are reported and passed on.
//
// Two sources feed it:
//  - the window: an application-wide event filter on the program's windows
//    while capture is on (keyboard hook: keys; library hook: buttons);
//  - system-wide: an InputSource (evdev) read by a worker that hands each raw
//    event to the UI thread. What it covers (keyboard, mouse) the window
//    filter no longer reports, so nothing comes twice; within our windows the
//    keys are still swallowed.
// Create, use and destroy on the UI thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "macros/HookRecords.h"
#include "macros/capture/InputSource.h"
#include "macros/capture/KeyCodes.h"
#include "platform/MessageTarget.h"
#include "platform/Worker.h"

class QObject;

namespace macros::capture {

// Capture modes and the message the keyboard side sends for each ("" none).
const char* KeyboardMessageName(int mode);
// The mouse message of the macro modes 4, 8, 16, 32 ("" otherwise).
const char* MouseMessageName(int mode);
// The twenty hook and mouse names registered at start.
void RegisterHookMessages();

// What the hook did with one event (vx27ctl capture prints it).
struct HookReport {
  bool keyboard = true;
  platform::MessageId message = 0;  // 0: the mode has none
  uint32_t wParam = 0;
  KeyboardHookData key;
  MouseHookData mouse;
  bool passed = false;  // the event went on to the system / the widget
};

class CDeviceHook {
 public:
  using SourceFactory = std::function<std::unique_ptr<InputSource>()>;
  using CursorPos = std::function<std::pair<int, int>()>;

  // `sources` makes the system-wide source at each Install (none: the
  // window only); `windowFilter`: whether the program's windows are watched.
  explicit CDeviceHook(SourceFactory sources = {}, bool windowFilter = true);
  virtual ~CDeviceHook();
  CDeviceHook(const CDeviceHook&) = delete;
  CDeviceHook& operator=(const CDeviceHook&) = delete;

  // 1 (installing cannot fail here). A second Install replaces the first.
  int Install(uint32_t tag, int mode, platform::MessageTarget* target, bool keyboard, bool library);
  // 1 when a keyboard hook was removed, 0 when there was none.
  int Uninstall();

  bool KeyboardOn() const { return keyboard_; }
  bool LibraryOn() const { return library_; }
  int Mode() const { return mode_; }
  // Why the system-wide source did not open at the last Install (0: it
  // did, or there is none).
  int SourceError() const { return sourceError_; }
  bool SourceCoversKeyboard() const;

  void SetObserver(std::function<void(const HookReport&)> observer) { observer_ = std::move(observer); }
  void SetCursorPos(CursorPos pos) { cursor_ = std::move(pos); }

  // The hook procedures, on the UI thread. OnKey returns whether the key
  // passes on; evdev: the key came from the system-wide source.
  bool OnKey(bool down, const CapturedKey& key, bool fromSource);
  void OnButton(uint32_t message, uint32_t mouseData, int x, int y, bool fromSource);
  void OnRawInput(const RawInput& input);

 private:
  class Filter;
  void StopSource();

  SourceFactory sources_;
  bool useFilter_ = true;
  int mode_ = 0;
  uint32_t tag_ = 0;
  platform::MessageTarget* target_ = nullptr;
  bool keyboard_ = false;
  bool library_ = false;
  int sourceError_ = 0;
  std::unique_ptr<InputSource> source_;
  std::unique_ptr<platform::Worker> worker_;
  std::unique_ptr<platform::MessageTarget> relay_;
  std::unique_ptr<Filter> filter_;
  std::function<void(const HookReport&)> observer_;
  CursorPos cursor_;
};

}  // namespace macros::capture
