#include "controls/CSelectPanelUI.h"

#include <algorithm>

#include "controls/CDeviceKeyButtonUI.h"
#include "ui/UIManager.h"

namespace controls {

namespace {

// True when the two rectangles share at least one pixel. QRect::intersects
// is not enough: it treats a zero-width or zero-height rectangle as
// spanning one pixel, so a purely vertical drag would select the caps it
// passes.
bool SharePixel(const QRect& a, const QRect& b) {
  if (a.width() <= 0 || a.height() <= 0 || b.width() <= 0 || b.height() <= 0) return false;
  const int left = std::max(a.x(), b.x()), right = std::min(a.x() + a.width(), b.x() + b.width());
  const int top = std::max(a.y(), b.y()), bottom = std::min(a.y() + a.height(), b.y() + b.height());
  return left < right && top < bottom;
}

}  // namespace

bool CSelectPanelUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("SelectPanel"), Qt::CaseInsensitive) == 0 ||
         ui::CVerticalLayoutUI::IsClass(className);
}

QRect CSelectPanelUI::SpanRect(QPoint a, QPoint b) {
  const int left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
  const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
  return QRect(left, top, right - left, bottom - top);
}

void CSelectPanelUI::DoEvent(ui::TEventUI& event) {
  ui::CVerticalLayoutUI::DoEvent(event);
  switch (event.Type) {
    case ui::UIEVENT_BUTTONDOWN:
      if (IsEnabled()) {
        armed_ = true;
        anchor_ = event.ptMouse;
      }
      break;
    case ui::UIEVENT_MOUSEMOVE:
      if (armed_) dragging_ = true;
      if (dragging_) {
        current_ = event.ptMouse;
        selectRect_ = SpanRect(anchor_, current_);
        NeedUpdate();
      }
      break;
    case ui::UIEVENT_BUTTONUP:
      armed_ = false;
      if (dragging_) EndDrag();
      break;
    default:
      break;
  }
}

void CSelectPanelUI::EndDrag() {
  dragging_ = false;
  anchor_ = current_;
  for (int i = 0; i < GetCount(); ++i) {
    ui::CControlUI* child = GetItemAt(i);
    if (child->GetClass() != QLatin1String("DeviceKeyButton")) continue;
    auto* cap = qobject_cast<CDeviceKeyButtonUI*>(child);
    if (!cap) continue;
    const bool shown = cap->IsVisible() && cap->IsInternVisible();
    cap->SetSelected(shown && SharePixel(cap->GetPos(), selectRect_));
  }
  NeedUpdate();
  if (manager_) manager_->SendNotify(this, ui::notify::kClickSelectEnd);
}

}  // namespace controls
