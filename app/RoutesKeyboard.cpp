// The keyboard page's rows: the settings tab (polling rate, repeat delay and
// rate, the lock options, the repeat reset). Searched before the mouse's: the
// polling-rate family is shared, and its row passes a mouse's choice on.

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

constexpr Route kRows[] = {
    {kSelect, "polling_rate_option_", Match::Family, PollingOption},
    {kSelect, "repeat_delay_check_", Match::Family, RepeatDelay},
    {kValue, "repeat_rate_slider", Match::Name, RepeatRate},
    {kSelect, "winlockflag_option", Match::Name, LockOption},
    {kSelect, "wflag_option", Match::Name, LockOption},
    {kSelect, "6flag_option", Match::Name, LockOption},
    {kClick, "reset_repeat_btn", Match::Name, ResetRepeat},
};

}  // namespace

std::span<const Route> KeyboardRoutes() { return kRows; }

}  // namespace app
