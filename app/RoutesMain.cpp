// The main window's own rows: its title and tray-side buttons, the device
// bar's selection, and the profile panel of every page.

#include <array>

#include "app/MainWnd.h"
#include "app/Routing.h"
#include "devices/DeviceProfileUI.h"

namespace app {
namespace {

void CloseButton(CMainWnd& w, ui::TNotifyUI&, int) { w.CloseToTray(); }
void HideButton(CMainWnd& w, ui::TNotifyUI&, int) { w.ShowWindow(false); }
void LightStatus(CMainWnd& w, ui::TNotifyUI&, int) { w.ToggleLightControl(); }
void Minimise(CMainWnd& w, ui::TNotifyUI&, int) { w.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0); }
void Maximise(CMainWnd& w, ui::TNotifyUI&, int) { w.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MAXIMIZE, 0); }
void Restore(CMainWnd& w, ui::TNotifyUI&, int) { w.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0); }
void SkinButton(CMainWnd& w, ui::TNotifyUI&, int) { w.OpenSkinFrame(); }
// Beside the right edge of the main window.
void SettingsButton(CMainWnd& w, ui::TNotifyUI&, int) { w.OpenSettingsWindow(false); }
void DeviceSettings(CMainWnd& w, ui::TNotifyUI&, int n) { w.OpenDesktopDeviceSettings(n); }
void PreviousEntry(CMainWnd& w, ui::TNotifyUI&, int) { w.SelectNeighbourEntry(false); }
void NextEntry(CMainWnd& w, ui::TNotifyUI&, int) { w.SelectNeighbourEntry(true); }

template <ProfileButton B>
void Profile(CMainWnd& w, ui::TNotifyUI&, int) {
  w.OnProfileButton(B);
}
void ProfilePicked(CMainWnd& w, ui::TNotifyUI&, int) { w.OnProfilePicked(); }
void FunctionTab(CMainWnd& w, ui::TNotifyUI& msg, int) {
  // Only the tab becoming selected switches; the others are told too.
  if (SenderSelected(msg)) w.OnFunctionTab(devices::OpTabNumber(msg.pSender->GetName()));
}

void DeviceSelect(CMainWnd& w, ui::TNotifyUI&, int) { w.ShowSelectedPowerPanel(); }
void SynchroSelect(CMainWnd&, ui::TNotifyUI& msg, int) {
  // Its entry shows the synchro icons or the plain ones.
  for (ui::CControlUI* c = msg.pSender->GetParent(); c; c = c->GetParent())
    if (auto* entry = qobject_cast<CDeviceOptionUI*>(c)) {
      entry->SynchroChanged();
      break;
    }
}

using namespace route;

constexpr std::array kRows{
    Route{kClick, "closebtn", Match::Name, CloseButton},
    Route{kClick, "nodevice_ok_btn", Match::Name, HideButton},
    Route{kClick, "errordevice_ok_btn", Match::Name, HideButton},
    Route{kClick, "control_light_status", Match::Name, LightStatus},
    Route{kClick, "minbtn", Match::Name, Minimise},
    Route{kClick, "maxbtn", Match::Name, Maximise},
    Route{kClick, "restorebtn", Match::Name, Restore},
    Route{kClick, "skinbtn", Match::Name, SkinButton},
    Route{kClick, "setbtn", Match::Name, SettingsButton},
    Route{kClick, "windowdeviceset_", Match::Family, DeviceSettings},
    Route{kClick, "device_select_prev", Match::Name, PreviousEntry},
    Route{kClick, "device_select_next", Match::Name, NextEntry},
    Route{kClick, "device_add_btn", Match::Name, Profile<ProfileButton::Add>},
    Route{kClick, "device_sub_btn", Match::Name, Profile<ProfileButton::Delete>},
    Route{kClick, "device_copy_btn", Match::Name, Profile<ProfileButton::Copy>},
    Route{kClick, "device_reset_btn", Match::Name, Profile<ProfileButton::Reset>},
    Route{kClick, "device_profile_edit_save_btn", Match::Name, Profile<ProfileButton::Rename>},
    Route{kClick, "device_export_btn", Match::Name, Profile<ProfileButton::Export>},
    Route{kClick, "device_import_btn", Match::Name, Profile<ProfileButton::Import>},
    Route{kClick, "profile_fun_spread_btn", Match::NameExactCase, Profile<ProfileButton::Spread>},
    Route{kSelect, "device_select", Match::Name, DeviceSelect},
    Route{kSelect, "synchro_device_select", Match::Name, SynchroSelect},
    Route{kSelect, "deng_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "otherset_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "key_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "macro_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "system_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "cursor_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "6533_voice_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "magic_Op_tab", Match::Name, FunctionTab},
    Route{kSelect, "Virtual7.1_Op_tab", Match::Name, FunctionTab},
    Route{kItem, "device_profile_combo", Match::Name, ProfilePicked},
};

}  // namespace

std::span<const Route> MainRoutes() { return kRows; }

}  // namespace app
