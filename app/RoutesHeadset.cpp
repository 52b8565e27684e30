// The headset panels' rows: they reach the device of the current page when
// it is a headset (kind 7); every other kind ignores them. Options of a
// group notify when they lose their selection too: those rows act only for
// the option that is now selected.

#include <array>

#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/Routing.h"
#include "headset/CGesterinRU6533Device.h"
#include "ui/UILib.h"

namespace app {
namespace {

CGesterinRU6533Device* Headset(CMainWnd& wnd) {
  devices::CGesterinUSBDevice* device = wnd.SelectedDevice();
  if (!device || device->Kind() != hid::kind::kHeadset) return nullptr;
  return qobject_cast<CGesterinRU6533Device*>(device);
}

void VoiceEffectEnabled(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnVoiceEffectEnabled();
}
void VoiceEffect(CMainWnd& wnd, ui::TNotifyUI& msg, int n) {
  if (auto* h = Headset(wnd); h && SenderSelected(msg)) h->OnVoiceEffect(n);
}
void MicrophoneToggled(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnMicrophoneToggled();
}
void MicrophoneLevel(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnMicrophoneLevel();
}
void MonitoringToggled(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnMonitoringToggled();
}
void MonitoringLevel(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnMonitoringLevel();
}
void Band(CMainWnd& wnd, ui::TNotifyUI&, int n) {
  if (auto* h = Headset(wnd)) h->OnBand(n);
}
void EqPreset(CMainWnd& wnd, ui::TNotifyUI& msg, int n) {
  if (auto* h = Headset(wnd); h && SenderSelected(msg)) h->OnEqPreset(n);
}
void UserPreset(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnUserPresetSelected();
}
void SaveUserPreset(CMainWnd& wnd, ui::TNotifyUI&, int) {
  auto* h = Headset(wnd);
  if (h && h->OnSaveUserPreset() == headset::audio::kPresetNameTaken)
    ShowMessage(wnd.GetHWND(), QString(), QStringLiteral("message_text_5"));
}
void DeleteUserPreset(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* h = Headset(wnd)) h->OnDeleteUserPreset();
}


constexpr std::array<Route, 11> kRows{{
    {"selectchanged", "magic_enable_option", Match::Name, VoiceEffectEnabled},
    {"selectchanged", "magic_option_", Match::Family, VoiceEffect},
    {"selectchanged", "6533_MicIn_option", Match::Name, MicrophoneToggled},
    {"valuechanged", "6533_MicIn_slider", Match::Name, MicrophoneLevel},
    {"selectchanged", "6533_MicMoniter_option", Match::Name, MonitoringToggled},
    {"valuechanged", "6533_MicMoniter_slider", Match::Name, MonitoringLevel},
    {"valuechanged", "6533_eq_hz_slider_", Match::Family, Band},
    {"selectchanged", "6533_eq_option_", Match::Family, EqPreset},
    {"itemselect", "custom_eq_name_combo", Match::Name, UserPreset},
    {"click", "hs_EQ_btn_save", Match::Name, SaveUserPreset},
    {"click", "hs_EQ_btn_delete", Match::Name, DeleteUserPreset},
}};

}  // namespace

std::span<const Route> HeadsetRoutes() { return kRows; }

}  // namespace app
