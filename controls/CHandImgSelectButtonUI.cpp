#include "controls/CHandImgSelectButtonUI.h"

#include <algorithm>

#include <QPainter>

#include "ui/UIManager.h"
#include "ui/UIRender.h"

namespace controls {

namespace {

// One axis of a pan: the pointer moved from `last` to `now`; the shown
// span [lo, hi) of an image `extent` long moves with it, never past 0
// nor past the image's far edge.
void PanAxis(int last, int now, int extent, int& lo, int& hi) {
  if (now < last) {
    const int d = std::min(last - now, extent - hi);
    if (d > 0) {
      lo += d;
      hi += d;
    }
  } else if (lo > 0) {
    const int d = std::min(now - last, lo);
    lo -= d;
    hi -= d;
  }
}

QString FileOf(const QString& description) {
  const QString file = ui::ParseImageString(description).file;
  return file.isEmpty() ? description : file;
}

}  // namespace

CHandImgSelectButtonUI::CHandImgSelectButtonUI() = default;

bool CHandImgSelectButtonUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("HandImgSelectButton"), Qt::CaseInsensitive) == 0 ||
         ui::CButtonUI::IsClass(className);
}

void CHandImgSelectButtonUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("handimage"), Qt::CaseInsensitive) == 0) SetHandImage(value);
  else ui::CButtonUI::SetAttribute(name, value);
}

void CHandImgSelectButtonUI::SetHandImage(const QString& image) {
  handImage_ = image;
  Recompute();
  Invalidate();
}

void CHandImgSelectButtonUI::SetPos(const QRect& windowRect) {
  const QSize before = GetPos().size();
  ui::CButtonUI::SetPos(windowRect);
  if (GetPos().size() != before) Recompute();
}

void CHandImgSelectButtonUI::Recompute() {
  const ui::TImageInfo* info = ui::CRenderEngine::GetImage(FileOf(handImage_));
  if (!info) return;
  imageSize_ = info->image.size();
  const int w = GetPos().width(), h = GetPos().height();
  srcLeft_ = 0;
  srcTop_ = 0;
  srcRight_ = w;
  srcBottom_ = h;
  if (w < imageSize_.width() || h < imageSize_.height())
    shownImage_ = QStringLiteral("file='%1' source='%2,%3,%4,%5'").arg(FileOf(handImage_)).arg(0).arg(0).arg(w).arg(h);
  else
    shownImage_ = handImage_;
}

void CHandImgSelectButtonUI::Pan(QPoint to) {
  PanAxis(last_.x(), to.x(), imageSize_.width(), srcLeft_, srcRight_);
  PanAxis(last_.y(), to.y(), imageSize_.height(), srcTop_, srcBottom_);
  last_ = to;
  shownImage_ = QStringLiteral("file='%1' source='%2,%3,%4,%5'")
                    .arg(FileOf(handImage_))
                    .arg(srcLeft_)
                    .arg(srcTop_)
                    .arg(srcRight_)
                    .arg(srcBottom_);
}

void CHandImgSelectButtonUI::DoEvent(ui::TEventUI& event) {
  switch (event.Type) {
    case ui::UIEVENT_BUTTONDOWN:
    case ui::UIEVENT_DBLCLICK:
      if (GetPos().contains(event.ptMouse) && IsEnabled()) last_ = event.ptMouse;
      Capture(event);
      pressed_ = true;  // also outside: the next moves pan
      return;
    case ui::UIEVENT_BUTTONUP:
      Release();
      pressed_ = false;
      return;
    case ui::UIEVENT_MOUSEMOVE:
      if (pressed_) Pan(event.ptMouse);
      FollowPointer(event);
      return;
    default:
      EnterLeaveOrButton(event);
  }
}

void CHandImgSelectButtonUI::PaintStatusImage(QPainter& painter) {
  ui::CButtonUI::PaintStatusImage(painter);
  if (shownImage_.isEmpty()) return;
  painter.save();
  painter.setClipRect(GetPos(), Qt::IntersectClip);
  ui::CRenderEngine::DrawImageString(painter, manager_, GetPos(), shownImage_);
  painter.restore();
}

}  // namespace controls
