#include "app/MacroCapture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <QCursor>

#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "devices/CGesterinUSBDevice.h"
#include "macros/editor/CMacroControlUI.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "profiles/ProfileFolders.h"

namespace app {

namespace {

using macros::Placement;
using macros::capture::InputSource;
using macros::capture::ScriptedSource;

const char* CaptureScript() {
  const char* path = std::getenv("VX27_CAPTURE_SCRIPT");
  return path && *path ? path : nullptr;
}

std::unique_ptr<InputSource> ScriptSource(const char* path, std::shared_ptr<std::atomic<uint32_t>> clock) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<ScriptedSource::Step> steps;
  std::string error;
  if (!ScriptedSource::Parse(text.str(), &steps, &error)) Trace("capture script: " + error);
  return std::make_unique<ScriptedSource>(std::move(steps), std::move(clock));
}

// Where the input devices are looked for: VX27_INPUT_DIR when set (tests
// give an empty folder for a machine without readable devices).
std::string InputFolder() {
  const char* folder = std::getenv("VX27_INPUT_DIR");
  return folder && *folder ? folder : "/dev/input";
}

}  // namespace

macros::editor::CMacroControlUI* MacroEditorOf(ui::CControlUI* control) {
  for (ui::CControlUI* c = control; c; c = c->GetParent())
    if (auto* editor = qobject_cast<macros::editor::CMacroControlUI*>(c)) return editor;
  return nullptr;
}

macros::editor::CMacroControlUI* MacroEditorOfPage(ui::CControlUI* page) {
  auto* box = qobject_cast<ui::CContainerUI*>(page);
  if (!box) return nullptr;
  // By the page's name for it, else the page's one editor.
  if (auto* named = qobject_cast<macros::editor::CMacroControlUI*>(
          box->FindSubControl(QStringLiteral("MacroControlItem"))))
    return named;
  return box->findChild<macros::editor::CMacroControlUI*>();
}

devices::CGesterinUSBDevice* DeviceOf(ui::CControlUI* control) {
  for (ui::CControlUI* c = control; c; c = c->GetParent())
    if (auto* device = qobject_cast<devices::CGesterinUSBDevice*>(c)) return device;
  return nullptr;
}

MacroCapture::MacroCapture(CMainWnd& wnd)
    : wnd_(wnd),
      scriptClock_(CaptureScript() ? std::make_shared<std::atomic<uint32_t>>(0) : nullptr),
      hook_([clock = scriptClock_]() -> std::unique_ptr<InputSource> {
        if (const char* script = CaptureScript()) return ScriptSource(script, clock);
        return macros::capture::MakeEvdevSource(InputFolder());
      }) {
  macros::capture::RegisterHookMessages();
}

MacroCapture::~MacroCapture() {
  if (menu_) menu_->Close();
  hook_.Uninstall();
}

void MacroCapture::InitEditor(devices::CGesterinUSBDevice& page) {
  macros::editor::CMacroControlUI* editor = MacroEditorOfPage(&page);
  if (!editor) return;
  if (scriptClock_) editor->Recorder().SetClock([clock = scriptClock_] { return clock->load(); });
  editor->SetFolder(profiles::ProfileFolder(page.DeviceFolderName()));
  editor->LoadList();
}

void MacroCapture::SetCapture(int mode, bool on, bool keyboard, bool library) {
  if (on) hook_.Install(0, mode, &wnd_.Target(), keyboard, library);
  else hook_.Uninstall();
  if (ui::CControlUI* bar = wnd_.FindControl(QStringLiteral("device_select_layout"))) bar->SetEnabled(!on);
  if (devices::CGesterinUSBDevice* page = wnd_.SelectedDevice())
    if (auto* box = qobject_cast<ui::CContainerUI*>(page))
      if (ui::CControlUI* panel = box->FindSubControl(QStringLiteral("DeviceProfileItem")))
        panel->SetEnabled(!on);
}

void MacroCapture::StartRecording(macros::editor::CMacroControlUI& editor, int timing, Placement placement) {
  if (recording_) return;
  recording_ = &editor;
  placement_ = placement;
  editor.StartTiming(timing);
  SetCapture(macros::CaptureModeOf(placement), true, true, true);
  // Without a readable input device recording sees only our window; the
  // first recording of a run says so.
  if (hook_.SourceError() != 0 && !toldNoInput_) {
    toldNoInput_ = true;
    ShowMessage(wnd_.GetHWND(), QString(), QStringLiteral("macro_capture_no_input"), wnd_.Dpi());
  }
}

void MacroCapture::StopRecording(bool download) {
  macros::editor::CMacroControlUI* editor = recording_;
  if (!editor) return;
  recording_ = nullptr;
  editor->EndRecording();
  SetCapture(0, false, false, false);
  bool truncated = false;
  editor->Save(&truncated);
  if (truncated) ShowMessage(wnd_.GetHWND(), QString(), QStringLiteral("message_text_26_1"), wnd_.Dpi());
  if (download)
    if (devices::CGesterinUSBDevice* device = DeviceOf(editor)) device->WriteKeysFromProfile(0);
}

bool MacroCapture::HandleMessage(const platform::Message& msg) {
  if (msg.id == platform::msg::kCaptureHook) {
    if (msg.wParam == 1) {
      hook_.Install(0, 1, &wnd_.Target(), true, true);
    } else if (recording_) {
      StopRecording(false);
    } else {
      hook_.Uninstall();
    }
    return true;
  }
  if (msg.id < platform::kFirstRegisteredMessage) return false;
  const int mode = macros::CaptureModeOf(placement_);
  const bool keyboard = msg.id == platform::FindWindowMessage(macros::capture::KeyboardMessageName(mode));
  const bool mouse = msg.id == platform::FindWindowMessage(macros::capture::MouseMessageName(mode));
  if (!keyboard && !mouse) return false;
  if (recording_) {
    if (keyboard) recording_->OnKeyboardEvent(placement_, msg.wParam, msg.lParam);
    else recording_->OnMouseEvent(placement_, msg.wParam, msg.lParam);
  }
  return true;
}

void MacroCapture::OpenActionMenu(macros::editor::CMacroControlUI& editor) {
  menuEditor_ = &editor;
  if (menu_) menu_->Close();
  menu_ = std::make_unique<ui::CMenuWnd>();
  if (!menu_->Init(&wnd_, QStringLiteral("XML\\Menus\\macro_action_menu.xml"), QCursor::pos())) menu_.reset();
}

bool MacroCapture::MenuCommand(const QString& name) {
  macros::editor::CMacroControlUI* editor = menuEditor_;
  if (!editor) return false;
  struct Insert {
    const char* name;
    macros::MouseInsert what;
    int presses;  // 1 down, 0 up, 2 click
  };
  static const Insert kInserts[] = {
      {"left_down", macros::MouseInsert::Left, 1},       {"left_up", macros::MouseInsert::Left, 0},
      {"left_click", macros::MouseInsert::Left, 2},      {"right_down", macros::MouseInsert::Right, 1},
      {"right_up", macros::MouseInsert::Right, 0},       {"right_click", macros::MouseInsert::Right, 2},
      {"middle_down", macros::MouseInsert::Middle, 1},   {"middle_up", macros::MouseInsert::Middle, 0},
      {"middle_click", macros::MouseInsert::Middle, 2},  {"forward_down", macros::MouseInsert::Forward, 1},
      {"forward_up", macros::MouseInsert::Forward, 0},   {"forward_click", macros::MouseInsert::Forward, 2},
      {"back_down", macros::MouseInsert::Back, 1},       {"back_up", macros::MouseInsert::Back, 0},
      {"back_click", macros::MouseInsert::Back, 2},
  };
  for (const Insert& row : kInserts) {
    if (name != QLatin1String(row.name)) continue;
    editor->InsertMouseAction(row.what, row.presses != 0);
    if (row.presses == 2) editor->InsertMouseAction(row.what, false);
    bool truncated = false;
    editor->Save(&truncated);
    if (truncated) ShowMessage(wnd_.GetHWND(), QString(), QStringLiteral("message_text_26_1"), wnd_.Dpi());
    return true;
  }
  struct Record {
    const char* name;
    int timing;  // 0: by the constant-time check
    Placement placement;
  };
  static const Record kRecords[] = {
      {"redio_previous_record_time", 0, Placement::Before},
      {"redio_previous_constant_time", macros::kConstantTime, Placement::Before},
      {"redio_previous_ignore_time", macros::kIgnoreTime, Placement::Before},
      {"redio_later_record_time", 0, Placement::After},
      {"redio_later_constant_time", macros::kConstantTime, Placement::After},
      {"redio_later_ignore_time", macros::kIgnoreTime, Placement::After},
      {"macro_action_edit", macros::kIgnoreTime, Placement::Replace},
  };
  for (const Record& row : kRecords) {
    if (name != QLatin1String(row.name)) continue;
    const int timing = row.timing ? row.timing
                                  : editor->IsConstantTime() ? macros::kConstantTime : macros::kRecordTime;
    StartRecording(*editor, timing, row.placement);
    return true;
  }
  return false;
}

}  // namespace app
