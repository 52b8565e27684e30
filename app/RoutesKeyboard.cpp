// The keyboard page's rows: the settings tab (polling rate, repeat delay and
// rate, the lock options, the repeat reset) and the lighting editor's custom
// colour groups and all-keys buttons. Searched before the mouse's: the
// polling-rate family is shared, and its row passes a mouse's choice on. The
// key caps and the key editor's rows are the mouse table's, shared by both.

#include "app/MainWnd.h"
#include "app/Routing.h"
#include "devices/KeyboardDevice.h"
#include "devices/MouseDevice.h"

namespace app {
namespace {

using namespace route;

devices::CGesterinKeyboardDevice* Keyboard(CMainWnd& wnd) {
  return qobject_cast<devices::CGesterinKeyboardDevice*>(wnd.SelectedDevice());
}

void PollingOption(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  if (!SenderSelected(msg)) return;
  if (auto* keyboard = Keyboard(wnd)) return keyboard->OnPollingOption(index);
  if (auto* mouse = qobject_cast<devices::CGesterinMouseDevice*>(wnd.SelectedDevice()))
    mouse->OnSettingOption(SplitControlName(msg.pSender->GetName()).prefix, index);
}

void RepeatDelay(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  if (auto* keyboard = Keyboard(wnd); keyboard && SenderSelected(msg)) keyboard->OnRepeatDelayOption(index);
}

void RepeatRate(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  auto* slider = qobject_cast<ui::CSliderUI*>(msg.pSender);
  if (auto* keyboard = Keyboard(wnd); keyboard && slider) keyboard->OnRepeatRate(slider->GetValue());
}

void LockOption(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  auto* option = qobject_cast<ui::COptionUI*>(msg.pSender);
  if (auto* keyboard = Keyboard(wnd); keyboard && option) keyboard->OnLockOption(option->GetName(), option->IsSelected());
}

void ResetRepeat(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* keyboard = Keyboard(wnd)) keyboard->OnResetRepeat();
}

void CustomGroup(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  auto* combo = qobject_cast<ui::CComboUI*>(msg.pSender);
  if (auto* keyboard = Keyboard(wnd); keyboard && combo) keyboard->OnCustomGroupChosen(combo->GetCurSel());
}

void AllKeysLit(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* keyboard = Keyboard(wnd)) keyboard->PaintAllKeys(true);
}

void AllKeysOff(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (auto* keyboard = Keyboard(wnd)) keyboard->PaintAllKeys(false);
}

constexpr Route kRows[] = {
    {kSelect, "polling_rate_option_", Match::Family, PollingOption},
    {kSelect, "repeat_delay_check_", Match::Family, RepeatDelay},
    {kValue, "repeat_rate_slider", Match::Name, RepeatRate},
    {kSelect, "winlockflag_option", Match::Name, LockOption},
    {kSelect, "wflag_option", Match::Name, LockOption},
    {kSelect, "6flag_option", Match::Name, LockOption},
    {kClick, "reset_repeat_btn", Match::Name, ResetRepeat},
    {kItem, "light_combo_custommodeSelect", Match::Name, CustomGroup},
    {kClick, "custom_bright_color_btn", Match::Name, AllKeysLit},
    {kClick, "custom_off_color_btn", Match::Name, AllKeysOff},
};

}  // namespace

std::span<const Route> KeyboardRoutes() { return kRows; }

}  // namespace app
