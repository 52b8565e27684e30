// The mouse page's rows and the key assignment editor's: key caps, the key
// editor's buttons, categories and modifier checks, the DPI stages, the
// option families, the timing combos, the pointer controls, the view options
// and the reconnect button of an unrecognised mouse.

#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/Routing.h"
#include "devices/MouseDevice.h"

namespace app {
namespace {

using namespace route;

devices::CGesterinMouseDevice* Mouse(CMainWnd& wnd) {
  return qobject_cast<devices::CGesterinMouseDevice*>(wnd.SelectedDevice());
}

// The key editor's rows serve every page that has one (mouse and keyboard).
devices::CModelDevice* KeyDevice(CMainWnd& wnd) {
  return qobject_cast<devices::CModelDevice*>(wnd.SelectedDevice());
}

editors::CKeySetControlUI* Editor(CMainWnd& wnd) {
  auto* device = KeyDevice(wnd);
  return device ? device->KeyEditor() : nullptr;
}

void KeyCap(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* device = wnd.SelectedDevice(); device && index < device->KeyButtonCount()) device->SelectKey(index);
}

void KeySave(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* device = KeyDevice(wnd)) device->SaveEditedKey();
}

void KeyDefault(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* editor = Editor(wnd)) {
    editor->ShowDefault();
    editor->SetButtonsEnabled(true);
  }
}

void KeyCancel(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* editor = Editor(wnd)) {
    editor->ShowCurrent();
    editor->SetButtonsEnabled(false);
  }
}

// The keys' macros first, then the key map and the profile file. A macro
// library too large for the mouse names how many actions must go.
void ProfileSave(CMainWnd& wnd, ui::TNotifyUI&, int) {
  auto* device = KeyDevice(wnd);
  if (!device) return;
  const int r = device->SaveKeysToDevice();
  if (r == protocol::kNotWritten) {
    ShowMessage(wnd.GetHWND(), {}, QStringLiteral("message_text_7"), wnd.Dpi());
  } else if (r != 0) {
    const QString text = device->Translate(QStringLiteral("message_text_16")).replace(QStringLiteral("%d"), QString::number(r));
    ShowMessage(wnd.GetHWND(), {}, text, wnd.Dpi(), false);
    device->RestoreEditedKey();
  }
  if (auto* editor = device->KeyEditor()) editor->SetButtonsEnabled(false);
}

void ModifierCheck(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  auto* device = KeyDevice(wnd);
  if (!device || !device->KeyEditor() || !SenderSelected(msg)) return;
  device->KeyEditor()->SetModifierCheck(index);
  device->SaveEditedKey();
}

void Category(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* editor = Editor(wnd)) editor->OnCategorySelected();
}

void PlayMode(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* editor = Editor(wnd)) editor->OnPlayModeSelected();
}

void ReconnectMouse(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* mouse = Mouse(wnd)) mouse->InitialiseInfoBlock();
}

void DpiSlider(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* mouse = Mouse(wnd)) mouse->OnDpiSlider(index, true);
}
void DpiSliderMoving(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* mouse = Mouse(wnd)) mouse->OnDpiSlider(index, false);
}
void DpiEdit(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* mouse = Mouse(wnd)) mouse->OnDpiEdit(index);
}
void StageEnable(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* mouse = Mouse(wnd)) mouse->OnStageEnableCheck(index);
}
void StageSelect(CMainWnd& wnd, ui::TNotifyUI&, int index) {
  if (auto* mouse = Mouse(wnd)) mouse->OnStageSelectCheck(index);
}

// An option of a family chosen ("polling_rate_option_" 2 ...).
void SettingOption(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  auto* mouse = Mouse(wnd);
  if (!mouse || !SenderSelected(msg)) return;
  mouse->OnSettingOption(SplitControlName(msg.pSender->GetName()).prefix, index);
}

void TimingCombo(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (auto* mouse = Mouse(wnd)) mouse->OnTimingCombo(msg.pSender->GetName());
}

void PointerControl(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (auto* mouse = Mouse(wnd)) mouse->OnPointerControl(msg.pSender->GetName());
}

void ViewOption(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  if (auto* mouse = Mouse(wnd); mouse && SenderSelected(msg)) mouse->ShowOptionTab(index);
}

constexpr Route kRows[] = {
    {kClick, "key_", Match::Family, KeyCap},
    {kClick, "key_butt_keysave", Match::Name, KeySave},
    {kClick, "key_butt_keydefalut", Match::Name, KeyDefault},
    {kClick, "key_butt_keycancel", Match::Name, KeyCancel},
    {kClick, "key_butt_prosave", Match::Name, ProfileSave},
    {kClick, "errordevice_connect_btn", Match::Name, ReconnectMouse},
    {kSelect, "key_ComBox_check_", Match::Family, ModifierCheck},
    {kSelect, "DPI_enable_check_", Match::Family, StageEnable},
    {kSelect, "DPI_select_check_", Match::Family, StageSelect},
    {kSelect, "polling_rate_option_", Match::Family, SettingOption},
    {kSelect, "Silent_Altitude_option_", Match::Family, SettingOption},
    {kSelect, "Linear_Calibration_option_", Match::Family, SettingOption},
    {kSelect, "Ripple_option_", Match::Family, SettingOption},
    {kSelect, "pointer_precision_check", Match::Name, PointerControl},
    {kSelect, "scrolls_page_check", Match::Name, PointerControl},
    {kSelect, "mouse_device_seting_option_", Match::Family, ViewOption},
    {kValue, "DPI_slider_", Match::Family, DpiSlider},
    {kValue, "pointer_speed_slider", Match::Name, PointerControl},
    {kValue, "scroll_speed_slider", Match::Name, PointerControl},
    {kValue, "double_click_slider", Match::Name, PointerControl},
    {kMove, "DPI_slider_", Match::Family, DpiSliderMoving},
    {kItem, "keyset_function_combo", Match::Name, Category},
    {kItem, "keyset_macro_over_combo", Match::Name, PlayMode},
    {kItem, "Anti_Shake_combo_timeSelect", Match::Name, TimingCombo},
    {kItem, "ble_sleep1_combo", Match::Name, TimingCombo},
    {kItem, "ble_sleep2_combo", Match::Name, TimingCombo},
    {kItem, "device_sleep1_combo", Match::Name, TimingCombo},
    {kItem, "device_sleep2_combo", Match::Name, TimingCombo},
    {kKillFocus, "DPI_edit_", Match::Family, DpiEdit},
};

}  // namespace

std::span<const Route> MouseRoutes() { return kRows; }

}  // namespace app
