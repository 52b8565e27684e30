#include "controls/CComboEditContainerElementUI.h"

#include "ui/UIBuilder.h"
#include "ui/UIManager.h"

namespace controls {

CComboEditContainerElementUI::CComboEditContainerElementUI() = default;

bool CComboEditContainerElementUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("ComboEditContainerElement"), Qt::CaseInsensitive) == 0 ||
         ui::CListContainerElementUI::IsClass(className);
}

void CComboEditContainerElementUI::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("normalimage") || name == QLatin1String("hotimage") ||
      name == QLatin1String("selectedimage"))
    return;
  ui::CContainerUI::SetAttribute(name, value);
}

void CComboEditContainerElementUI::DoInit() {
  ui::CListContainerElementUI::DoInit();
  ui::CDialogBuilder builder;
  ui::CControlUI* root = builder.Create(QString::fromLatin1(kComboEditElementLayout), {}, nullptr, manager_);
  RemoveAll();
  if (root) Add(root);
  // Looked up in this row, not the window: every row has its own three.
  if (manager_) {
    text1_ = manager_->FindSubControlByName(this, QStringLiteral("text1"));
    text2_ = manager_->FindSubControlByName(this, QStringLiteral("text2"));
    delayEdit_ = manager_->FindSubControlByName(this, QStringLiteral("delay_edit"));
  }
}

void CComboEditContainerElementUI::ToOwner(ui::TEventUI& event, bool control) {
  if (ui::IListOwnerUI* owner = GetOwner()) owner->DoEvent(event);
  else if (control) ui::CControlUI::DoEvent(event);
  else ui::CContainerUI::DoEvent(event);
}

void CComboEditContainerElementUI::DoEvent(ui::TEventUI& event) {
  const bool mouseEvent = event.Type >= ui::UIEVENT_MOUSEMOVE && event.Type <= ui::UIEVENT_SCROLLWHEEL;
  if (!IsMouseEnabled() && mouseEvent) {
    ToOwner(event, false);
    return;
  }
  switch (event.Type) {
    case ui::UIEVENT_DBLCLICK:
      if (IsEnabled()) {
        Activate();
        Invalidate();
      }
      return;
    case ui::UIEVENT_KEYDOWN:
      if (IsEnabled() && (event.chKey == Qt::Key_Return || event.chKey == Qt::Key_Enter)) {
        Activate();
        Invalidate();
        NotifyAlive(ui::notify::kReturn);
        return;
      }
      break;
    case ui::UIEVENT_BUTTONDOWN:
      if (IsEnabled()) {
        if (event.wKeyState & ui::MK_CONTROL) SelectMulti(!IsSelected());
        else Select(true);
      }
      return;
    case ui::UIEVENT_BUTTONUP:
      if (IsEnabled()) NotifyAlive(ui::notify::kItemClick);
      return;
    case ui::UIEVENT_MOUSEMOVE:
      return;
    case ui::UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        state_ |= ui::UISTATE_HOT;
        Invalidate();
      }
      return;
    case ui::UIEVENT_MOUSELEAVE:
      if (state_ & ui::UISTATE_HOT) {
        state_ &= ~ui::UISTATE_HOT;
        Invalidate();
      }
      return;
    case ui::UIEVENT_TIMER:
      NotifyAlive(ui::notify::kTimer, event.wParam, event.lParam);
      return;
    case ui::UIEVENT_CONTEXTMENU:
      if (IsContextMenuUsed()) {
        NotifyAlive(ui::notify::kMenu, event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  ToOwner(event, true);
}

}  // namespace controls
