#pragma once
// The base of the two picture buttons (CHandImgButtonUI,
// CHandImgSelectButtonUI): what they handle alike. A press inside the
// enabled control captures it; while captured the pushed look follows
// whether the pointer is inside; entering and leaving the enabled control
// set the hot look and send "msenter" and "msleave". Everything else is
// the button's.

#include "ui/UIButton.h"

namespace controls {

class CPictureButtonUI : public ui::CButtonUI {
  // No Q_OBJECT: the two buttons are known by their own classes.
 protected:
  // Press or double click inside the enabled control: captured and pushed.
  void Capture(const ui::TEventUI& event) {
    if (!GetPos().contains(event.ptMouse) || !IsEnabled()) return;
    state_ |= ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED;
    Invalidate();
  }
  // Ends a capture; true when there was one.
  bool Release() {
    if (!(state_ & ui::UISTATE_CAPTURED)) return false;
    state_ &= ~(ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED);
    Invalidate();
    return true;
  }
  // While captured the pushed look follows the pointer.
  void FollowPointer(const ui::TEventUI& event) {
    if (state_ & ui::UISTATE_CAPTURED) {
      if (GetPos().contains(event.ptMouse)) state_ |= ui::UISTATE_PUSHED;
      else state_ &= ~ui::UISTATE_PUSHED;
    }
    Invalidate();
  }
  // Enter and leave: the hot look and the notification, then the button's
  // own handling. Other events go to the button.
  void EnterLeaveOrButton(ui::TEventUI& event) {
    const bool enter = event.Type == ui::UIEVENT_MOUSEENTER;
    if ((enter || event.Type == ui::UIEVENT_MOUSELEAVE) && IsEnabled()) {
      if (enter) state_ |= ui::UISTATE_HOT;
      else state_ &= ~ui::UISTATE_HOT;
      Invalidate();
      if (!NotifyAlive(enter ? ui::notify::kMouseEnter : ui::notify::kMouseLeave)) return;
    }
    ui::CButtonUI::DoEvent(event);
  }
};

}  // namespace controls
