#include "controls/CHandImgButtonUI.h"

#include <QPainter>

#include "ui/UIManager.h"
#include "ui/UIRender.h"

namespace controls {

CHandImgButtonUI::CHandImgButtonUI() = default;

bool CHandImgButtonUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("HandImgButton"), Qt::CaseInsensitive) == 0 ||
         ui::CButtonUI::IsClass(className);
}

void CHandImgButtonUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("handimage")) SetHandImage(value);
  else if (name == QLatin1String("deletenormalimage")) SetDeleteImages(value, deleteHot_);
  else if (name == QLatin1String("deletehotimage")) SetDeleteImages(deleteNormal_, value);
  else ui::CButtonUI::SetAttribute(nameIn, value);
}

void CHandImgButtonUI::SetHandImage(const QString& image) {
  handImage_ = image;
  Invalidate();
}

void CHandImgButtonUI::SetDeleteImages(const QString& normal, const QString& hot) {
  const bool wasHot = !currentDelete_.isEmpty() && currentDelete_ == deleteHot_;
  deleteNormal_ = normal;
  deleteHot_ = hot;
  currentDelete_ = wasHot ? deleteHot_ : deleteNormal_;
  Invalidate();
}

void CHandImgButtonUI::SetDeletable(bool deletable) {
  notDeletable_ = !deletable;
  Invalidate();
}

QRect CHandImgButtonUI::DeleteHandleRect() const {
  const QRect pos = GetPos();
  const int right = pos.x() + pos.width();
  const int bottom = pos.y() + pos.height();
  return QRect(right - Scale(30), bottom - Scale(29), Scale(20), Scale(20));
}

void CHandImgButtonUI::DoEvent(ui::TEventUI& event) {
  switch (event.Type) {
    case ui::UIEVENT_BUTTONDOWN:
    case ui::UIEVENT_DBLCLICK:
      Capture(event);
      return;
    case ui::UIEVENT_BUTTONUP:
      if (!Release()) return;
      if (DeleteHandleRect().contains(event.ptMouse) && !notDeletable_) NotifyAlive(ui::notify::kClickHandDelete);
      else if (GetPos().contains(event.ptMouse)) Activate();
      return;
    case ui::UIEVENT_MOUSEMOVE:
      currentDelete_ = DeleteHandleRect().contains(event.ptMouse) ? deleteHot_ : deleteNormal_;
      FollowPointer(event);
      return;
    default:
      EnterLeaveOrButton(event);
  }
}

void CHandImgButtonUI::PaintStatusImage(QPainter& painter) {
  ui::CButtonUI::PaintStatusImage(painter);
  const QRect rc = GetPos();
  if (!handImage_.isEmpty()) {
    // A "dest" part of the description is relative to the control and
    // never draws outside it.
    painter.save();
    painter.setClipRect(rc, Qt::IntersectClip);
    ui::CRenderEngine::DrawImageString(painter, manager_, rc, handImage_);
    painter.restore();
  }
  if ((state_ & ui::UISTATE_HOT) && !notDeletable_ && !currentDelete_.isEmpty())
    ui::CRenderEngine::DrawImageString(painter, manager_, DeleteHandleRect(), currentDelete_);
}

}  // namespace controls
