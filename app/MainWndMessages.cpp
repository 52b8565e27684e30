// The main window's message hook, its timers, the tray icon and menu, the
// window bus filter and the window's own actions.

#include <QCoreApplication>
#include <QCursor>
#include <QProcess>
#include <QStandardPaths>

#include "app/MacroCapture.h"
#include "app/MainWnd.h"
#include "devices/DeviceProfileUI.h"
#include "hid/SupportedDevices.h"
#include "platform/Trace.h"
#include "platform/WindowBus.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileFolders.h"

namespace app {
namespace {

constexpr uint32_t kCopyData = platform::kCopyDataMessage;

constexpr uint8_t kFullBrightness = 4;
constexpr const char* kGameNames[] = {"Game_Start", "Game_End", "Game_Kill", "Game_Death"};
// The input capture hook's messages and the mouse messages: registered so
// that every copy in the program carries the same numbers; the key capture
// and the recording steps handle them.
constexpr const char* kHookNames[] = {
    "WM_HOOK_KEY_SINGLEKEY_MSG",       "WM_HOOK_KEY_HITKEY_MSG",
    "WM_HOOK_KEY_KBMACRO_MSG",         "WM_HOOK_KEY_KBMACROSINGLE_MSG",
    "WM_HOOK_KEY_KBMACROPREVIOUS_MSG", "WM_HOOK_KEY_KBMACROLATER_MSG",
    "WM_HOOK_KEY_MSMACRO_MSG",         "WM_HOOK_KEY_MSMACROSINGLE_MSG",
    "WM_HOOK_KEY_MSMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG",
    "WM_HOOK_MOU_SINGLEKEY_MSG",       "WM_HOOK_MOU_HITKEY_MSG",
    "WM_HOOK_MOU_KBMACRO_MSG",         "WM_HOOK_MOU_MSMACRO_MSG",
    "UWM_MOUSELBUTTONDOWN_USER_MSG",   "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",   "UWM_MOUSERBUTTONUP_USER_MSG",
    "UWM_MOUSEMOVE_USER_MSG",
};

// The block sent to the "ZiriDude" window: 256 32-bit values.
constexpr uint64_t kKindTableData = 5;
constexpr size_t kKindTableBytes = 1024;

// Desktop settings programs: the first one found on the path is started.
struct DesktopSettings {
  const char* program;
  const char* keyboardArg;  // null: a program of its own
  const char* mouseArg;
};
constexpr DesktopSettings kDesktopSettings[] = {
    {"gnome-control-center", "keyboard", "mouse"},
    {"systemsettings", "kcm_keyboard", "kcm_mouse"},
};
constexpr const char* kXfceKeyboard = "xfce4-keyboard-settings";
constexpr const char* kXfceMouse = "xfce4-mouse-settings";

}  // namespace

// ---- window bus --------------------------------------------------------------

bool CMainWnd::PeerMayPost(const platform::BusMessage& message) {
  // Other programs may send registered messages, the progress, settings and
  // firmware version messages, copy data and system commands. Device,
  // discovery, tray, hook control and menu messages only ever come from
  // inside the program: a peer sending them could attach slots or run menu
  // commands.
  if (!message.name.empty()) return message.id != 0;
  switch (message.id) {
    case platform::msg::kShowProgress:
    case platform::msg::kOpenSettings:
    case platform::msg::kFirmwareVersionCheck:
    case ui::wm::WM_SYSCOMMAND:
      return message.bytes.empty() && message.dwData == 0;
    case kCopyData:
      return true;
    default:
      return false;
  }
}

void CMainWnd::OnBusMessage(const platform::BusMessage& message) {
  if (!PeerMayPost(message)) {
    Trace("main window: bus message " + std::to_string(message.id) + " refused");
    return;
  }
  if (message.id == kCopyData) {
    // Copy data arrives for the music light link (about 94 frames a second:
    // only what it does not take is traced).
    if (music_ && music_->OnCopyData(message.dwData, message.bytes)) return;
    Trace("main window: copy data " + std::to_string(message.dwData) + ", " +
          std::to_string(message.bytes.size()) + " bytes");
    return;
  }
  Target().Post(message.id, message.wParam, message.lParam);
}

// ---- the message hook --------------------------------------------------------

int64_t CMainWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  const platform::MessageId id = msg.id;
  // 1, 2: activation and the mouse over the window.
  if (id == ui::wm::WM_ACTIVATE) {
    windowActive_ = mouseInside_ = msg.wParam != 0;
    for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad})
      for (const auto& device : devices_[size_t(kind)])
        if (device) device->SetWindowActive(windowActive_);
    // An active window is a shown one, however it came back (a minimised
    // window restored from the task bar included).
    if (windowActive_) SetWindowHiddenFlags(false);
  }
  if (id == ui::wm::WM_MOUSELEAVE) {
    Trace("鼠标移出");
    mouseInside_ = false;
  } else if (id == ui::wm::WM_MOUSEHOVER) {
    Trace("鼠标移入");
    mouseInside_ = true;
  }
  // 3: the program's registered messages.
  if (id == messages_.identity) {
    Trace(QStringLiteral("软件标示 %1，%2d%3d")
              .arg(msg.id)
              .arg(msg.wParam, 0, 16)
              .arg(uint64_t(msg.lParam), 0, 16)
              .toStdString());
    UpdateOverlayAndRaise();
    handled = true;
    if (!shownOnce_) {
      shownOnce_ = true;
      if (firstShown_) firstShown_();
    }
    return 0;
  }
  if (id == messages_.toolBF15 && id != 0) {
    ForwardToolReport(msg.wParam, msg.lParam);
  } else if (id == messages_.toolBF17) {
    if (msg.wParam == 1 && (msg.lParam == 0 || msg.lParam == 1)) SetLightControl(msg.lParam == 1);
  } else if (id == messages_.toolBF18) {
    SendKindTable();
  }
  // The capture hook's messages and the hook control (1054).
  if (macros_->HandleMessage(msg)) {
    handled = true;
    return 0;
  }
  // 4: the end of the window.
  if (id == ui::wm::WM_DESTROY) {
    Trace("退出测试");
    StopWorkers();
    if (music_) music_->DisconnectCapture();
    tray_.DeleteTrayIcon();
    ui::CPaintManagerUI::PostQuitMessage(0);
    handled = true;
    return 0;
  }
  // 5: suspend and resume.
  if (id == kPowerBroadcast) {
    if (msg.wParam == kPowerResume) {
      systemAwake_ = true;
      HandToDevices(lightControl_);
    } else if (msg.wParam == kPowerSuspend) {
      systemAwake_ = false;
      HandToDevices(false);
    }
  }
  // Arrivals and removals are taken even while suspended: discovery has
  // claimed the slot, and a device ignored now would never attach.
  if (id == platform::msg::UM_INTERFACE_ARRIVED) {
    OnSlotArrived(size_t(msg.wParam));
    handled = true;
    return 0;
  }
  if (id == platform::msg::UM_INTERFACE_REMOVED) {
    OnSlotRemoved(size_t(msg.wParam));
    handled = true;
    return 0;
  }
  // 6: nothing below while the system sleeps.
  if (!systemAwake_) return 0;
  // 7: hook and game messages.
  for (size_t i = 0; i < gameMessages_.size(); ++i)
    if (id == gameMessages_[i]) {
      OnGameEvent(msg.wParam, msg.lParam);
      return 0;
    }
  if (const auto name = platform::RegisteredMessageName(id);
      name && *name == "WM_HOOK_KEY_MSMACRO_MSG")
    Trace("WM_HOOK_KEY_MSMACRO");
  // 8: by number.
  switch (id) {
    case platform::msg::UM_LANGUAGE_CHANGED:
      ApplyLanguage(int(msg.wParam));
      break;
    case platform::msg::kOpenSettings:
      OpenSettingsWindow(true);
      break;
    case platform::msg::kUpdateSeen:
      if (auto* set = qobject_cast<ui::CButtonUI*>(FindControl(QStringLiteral("setbtn"))))
        set->SetForeImage(QString());
      break;
    case platform::msg::kLinkState:
      OnLinkState(msg.wParam, msg.lParam);
      break;
    case platform::msg::kInfoBlockUsable:
      OnInfoBlockUsable(msg.wParam);
      break;
    case platform::msg::kShowProgress:
      if (ui::CControlUI* progress = FindControl(QStringLiteral("setting_progress")))
        progress->SetVisible(true);
      break;
    case platform::msg::kTrayCallback:
      OnTrayClick(msg.lParam);
      break;
    case platform::msg::kMenuCommand:
      OnMenuCommand(msg.wParam);
      handled = true;
      break;
    case kDpiNotice:
      Trace("界面 DPI 1发生变化");
      break;
    case ui::wm::WM_DPICHANGED:
      // The new DPI in the low word; the window keeps its place, centred.
      m_pm.SetDPI(int(msg.wParam & 0xFFFF));
      m_pm.ResetDPIAssets();
      CenterWindow();
      if (ui::CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
      Trace("界面 DPI 发生变化");
      break;
    case platform::msg::kFirmwareVersionCheck:
      OnFirmwareVersionCheck(msg.lParam);
      break;
    case ui::wm::WM_DISPLAYCHANGE:
      Trace("显示器分辨率发生变化");
      displayChanged_ = true;
      ApplyDpiPolicy();
      break;
    case ui::wm::WM_TIMER:
      OnTimer(uint32_t(msg.wParam));
      break;
    default:
      break;
  }
  return 0;
}

// ---- timers ------------------------------------------------------------------

void CMainWnd::OnTimer(uint32_t id) {
  switch (id) {
    case kTestKeyTimer:
      KillTimer(id);
      if (ui::CControlUI* probe = FindControl(QStringLiteral("orvixms_dkey_test_0"))) {
        probe->SetVisible(true);
        probe->SetFloat(true);
        const QRect at = probe->GetPos();
        probe->SetPos(at.translated(testKeyOffset_, 0));
      }
      testKeyOffset_ += 10;
      break;
    case kDpiTimer:
      KillTimer(id);
      ApplyDpiPolicy();
      if (ui::CControlUI* root = m_pm.GetRoot()) root->Invalidate();
      if (music_) music_->ConnectCapture();
      break;
    case kIdleTimer:
      KillTimer(id);
      SetTimer(kIdleTimer, kIdleTimerMs);
      break;
    case kTrayMenuTimer:
      KillTimer(id);
      OpenTrayMenu();
      break;
    case kProfileSwitchTimer:
      KillTimer(id);
      SwitchProfile();
      break;
    case kGameLightTimer:
      KillTimer(id);
      RestoreGameLighting();
      break;
    default:
      break;
  }
}

// ---- the window's own actions ----------------------------------------------

void CMainWnd::HandToDevices(bool lightControl) {
  for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad})
    for (const auto& device : devices_[size_t(kind)])
      if (device) device->SetBeginHostLighting(lightControl);
}

void CMainWnd::SetLightControl(bool on) {
  lightControl_ = on;
  if (ui::CControlUI* status = FindControl(QStringLiteral("control_light_status")))
    status->SetText(on ? QStringLiteral("控制灯光") : QStringLiteral("不控制灯光"));
  HandToDevices(on);
}

void CMainWnd::ToggleLightControl() {
  const bool on = !lightControl_;
  if (const auto name = platform::RegisteredMessageName(messages_.toolBF16))
    platform::BusWindow::Broadcast(platform::BusMessage::Registered(*name, 1, on ? 1 : 0));
  SetLightControl(on);
}

void CMainWnd::CloseToTray() {
  CloseAuxWindows();
  // Without a tray icon the hidden window could not come back.
  if (tray_.IsVisible()) ShowWindow(false);
  else SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0);
  SetWindowHiddenFlags(true);
}

void CMainWnd::SetWindowHiddenFlags(bool hidden, bool batteryOnly) {
  for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard})
    for (const auto& device : devices_[size_t(kind)])
      if (device && (!batteryOnly || HasBatteryPanel(*device))) device->SetStatusPollOff(hidden);
}

void CMainWnd::SelectNeighbourEntry(bool next) {
  int selected = -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i] && entries_[i]->IsVisible() && entries_[i]->IsSelected()) selected = int(i);
  if (selected < 0) return;
  if (next) {
    for (int i = selected + 1; i < int(entries_.size()); ++i)
      if (entries_[size_t(i)] && entries_[size_t(i)]->IsVisible()) return ShowEntry(i, true, true);
  } else {
    for (int i = selected - 1; i >= 0; --i)
      if (entries_[size_t(i)] && entries_[size_t(i)]->IsVisible()) return ShowEntry(i, true, true);
  }
}

void CMainWnd::OpenDesktopDeviceSettings(int which) {
  if (which != 0 && which != 1) return;
  const bool mouse = which == 1;
  QString program;
  QStringList args;
  for (const DesktopSettings& row : kDesktopSettings) {
    program = QStandardPaths::findExecutable(QLatin1String(row.program));
    if (!program.isEmpty()) {
      args << QLatin1String(mouse ? row.mouseArg : row.keyboardArg);
      break;
    }
  }
  if (program.isEmpty())
    program = QStandardPaths::findExecutable(QLatin1String(mouse ? kXfceMouse : kXfceKeyboard));
  if (program.isEmpty()) {
    Trace(mouse ? "no desktop mouse settings program found" : "no desktop keyboard settings program found");
    return;
  }
  // Started on its own, so that the window never waits for it.
  if (!QProcess::startDetached(program, args))
    Trace("cannot start " + program.toStdString());
}

void CMainWnd::OnGameEvent(uint64_t how, int64_t effect) {
  devices::CGesterinUSBDevice* device = SelectedDevice();
  if (!device) return;
  // Only the three ways of writing the effect, and one of the model's
  // built-in light modes (its row of the light catalogue).
  const Json::Value catalogue = profiles::LoadJsonFile(profiles::DefaultDataFolder() / "default_light.json");
  const int64_t modes = int64_t(profiles::json::ArraySize(profiles::json::Element(
      profiles::json::Member(catalogue, "DefaultLightName"), size_t(std::max(0, device->GetOptionTag())))));
  if (how > 2 || effect < 0 || effect >= modes) {
    Trace("game event ignored: " + std::to_string(how) + ", " + std::to_string(effect));
    return;
  }
  device->CommandChannel().SetHoldFlag(false);
  // A second event while one shows keeps the lighting from before the first.
  if (gameLightDevice_ != device) {
    if (gameLightDevice_) RestoreGameLighting();
    gameLightDevice_ = device;
    gameLightBefore_ = device->LightState();
  }
  profiles::LightInfoRecord state = device->LightState();
  state.oldLedMode = gameLightBefore_.selectItem;
  state.selectItem = uint8_t(effect);
  if (how >= 1) state.light = kFullBrightness;
  if (how == 2) state.multiColor = 1;
  // Shown and sent, not saved: the profile file keeps the user's lighting.
  const auto words = state.ToWords();
  device->SetLightState(words[0], words[1], words[2], uint16_t(words[3]));
  device->ApplyLightingFromProfile();
  (void)device->WriteSettingsToDevice(0, 0, 0, 0, 0);
  Trace("game effect " + std::to_string(effect) + " way " + std::to_string(how));
  SetTimer(kGameLightTimer, kGameLightMs);
}

void CMainWnd::RestoreGameLighting() {
  const QPointer<devices::CGesterinUSBDevice> device = std::exchange(gameLightDevice_, nullptr);
  if (!device) return;
  device->CommandChannel().SetHoldFlag(false);
  const auto words = gameLightBefore_.ToWords();
  device->SetLightState(words[0], words[1], words[2], uint16_t(words[3]));
  device->SaveProfile();
  device->ApplyLightingFromProfile();
  (void)device->WriteSettingsToDevice(0, 0, 0, 0, 0);
  Trace("game effect ended");
}

void CMainWnd::SendKindTable() {
  std::array<uint32_t, kKindTableBytes / 4> values{};
  values[0] = 2, values[1] = 3, values[2] = 0, values[3] = 2;
  values[4] = uint32_t(hid::DeviceKindTable.size());
  size_t at = 5;
  for (const hid::DeviceKindRow& row : hid::DeviceKindTable) {
    values[at++] = uint32_t(row.VendorId);
    values[at++] = uint32_t(row.ProductId);
    values[at++] = uint32_t(row.kind);
  }
  std::array<uint8_t, kKindTableBytes> bytes{};
  for (size_t i = 0; i < values.size(); ++i)
    for (size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = uint8_t(values[i] >> (8 * b));
  const auto message = platform::BusMessage::CopyData(
      kKindTableData, bytes, uint64_t(QCoreApplication::applicationPid()));
  if (!platform::BusWindow::SendTo({}, "ZiriDude", message)) Trace("no ZiriDude window");
}

// ---- tray and menu -----------------------------------------------------------

void CMainWnd::OnTrayClick(int64_t mouseMessage) {
  if (mouseMessage == platform::msg::kRightButtonUp) {
    SetTimer(kTrayMenuTimer, 10);
    return;
  }
  if (mouseMessage != platform::msg::kLeftButtonUp) return;
  CloseAuxWindows();
  QWidget* host = GetHWND();
  if (host && host->isVisible() && !host->isMinimized()) {
    ShowWindow(false);
    SetWindowHiddenFlags(true);
    return;
  }
  ApplyDpiPolicy();
  UpdateOverlayAndRaise();
  SetWindowHiddenFlags(false);
}

void CMainWnd::OpenTrayMenu() {
  if (menu_) menu_->Close();
  menu_ = std::make_unique<ui::CMenuWnd>();
  if (!menu_->Init(this, QStringLiteral("menu.xml"), QCursor::pos())) menu_.reset();
}

void CMainWnd::OnMenuCommand(uint64_t token) {
  const std::optional<ui::MenuCmd> cmd = ui::CMenuWnd::TakeCommand(token);
  if (!cmd) return;
  if (cmd->szName == QLatin1String("exit")) Exit();
  else if (cmd->szName == QLatin1String("about_menu")) OpenAbout();
  else if (cmd->szName == QLatin1String("setwnd_menu")) OpenSettingsWindow(true);
  else if (!macros_->MenuCommand(cmd->szName))
    Trace("menu command " + cmd->szName.toStdString() + " has no action here");
}

void CMainWnd::RegisterInputMessages() {
  for (size_t i = 0; i < gameMessages_.size(); ++i)
    gameMessages_[i] = platform::RegisterWindowMessage(kGameNames[i]);
  for (const char* name : kHookNames) platform::RegisterWindowMessage(name);
}

}  // namespace app
