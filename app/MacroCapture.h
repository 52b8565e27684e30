#pragma once
// The main window's input capture and macro recording: the one CDeviceHook
// of the program, message 1054 (the key-capture edit of the key editor, mode
// 1), SetCapture for recording, the eight recording messages dispatched to
// the editor that records, the macro menu and the page's macro editors.
//
// The system-wide source is the machine's input devices (the event nodes of
// VX27_INPUT_DIR, else /dev/input); with VX27_CAPTURE_SCRIPT=<file> it is
// that "<ms> <code> <value>" script instead, and the script's times are the
// recorders' clock (tests and demos).

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include <QPointer>

#include "macros/MacroRecorder.h"
#include "macros/capture/DeviceHook.h"
#include "macros/editor/CMacroControlUI.h"
#include "platform/MessageTarget.h"
#include "ui/UILib.h"

namespace devices {
class CGesterinUSBDevice;
}

namespace app {

class CMainWnd;

class MacroCapture {
 public:
  explicit MacroCapture(CMainWnd& wnd);
  ~MacroCapture();

  // Capture on in `mode` (off: `on` false); the device bar and the page's
  // profile panel are disabled while it is on.
  void SetCapture(int mode, bool on, bool keyboard, bool library);
  // Handles 1054 and the recording messages; false for any other message.
  bool HandleMessage(const platform::Message& msg);

  // Recording on the editor: StartTiming, then capture in the placement's mode.
  void StartRecording(macros::editor::CMacroControlUI& editor, int timing, macros::Placement placement);
  // EndRecording, capture off, Save; `download`: the keys with their macros
  // go to the device (the stop button).
  void StopRecording(bool download);
  bool Recording() const { return bool(recording_); }

  void OpenActionMenu(macros::editor::CMacroControlUI& editor);
  // A macro menu command; false for other names.
  bool MenuCommand(const QString& name);

  // The page start of a keyboard or mouse page's macro editor.
  void InitEditor(devices::CGesterinUSBDevice& page);

  macros::capture::CDeviceHook& Hook() { return hook_; }

 private:
  CMainWnd& wnd_;
  std::shared_ptr<std::atomic<uint32_t>> scriptClock_;
  macros::capture::CDeviceHook hook_;
  QPointer<macros::editor::CMacroControlUI> recording_;
  QPointer<macros::editor::CMacroControlUI> menuEditor_;
  macros::Placement placement_ = macros::Placement::Append;
  bool toldNoInput_ = false;
  std::unique_ptr<ui::CMenuWnd> menu_;
};

// The editor a control belongs to (walking up from it), or null.
macros::editor::CMacroControlUI* MacroEditorOf(ui::CControlUI* control);
// The macro editor of the page, or null.
macros::editor::CMacroControlUI* MacroEditorOfPage(ui::CControlUI* page);
// The device page a control sits on, or null.
devices::CGesterinUSBDevice* DeviceOf(ui::CControlUI* control);

}  // namespace app
