#include "ui/UISlider.h"

#include <QPainter>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

namespace {
bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }
}  // namespace

CProgressUI::CProgressUI() { textStyle_ = Qt::AlignHCenter | Qt::AlignVCenter; }

bool CProgressUI::IsClass(const QString& c) const { return Is(c, "Progress") || CLabelUI::IsClass(c); }

void CProgressUI::SetHorizontal(bool horizontal) { horizontal_ = horizontal; Invalidate(); }

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  if (max_ < min_) max_ = min_;
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  if (min_ > max_) min_ = max_;
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  const int v = std::clamp(value, min_, max_);
  if (v == value_) return;
  value_ = v;
  Invalidate();
}

void CProgressUI::SetForeColor(uint32_t argb) { foreColor_ = argb; Invalidate(); }

void CProgressUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("hor")) SetHorizontal(ParseBool(value));
  else if (name == QLatin1String("min")) SetMinValue(value.toInt());
  else if (name == QLatin1String("max")) SetMaxValue(value.toInt());
  else if (name == QLatin1String("value")) SetValue(value.toInt());
  else if (name == QLatin1String("forecolor")) SetForeColor(ParseColor(value));
  else if (name == QLatin1String("isstretchfore")) stretchForeImage_ = ParseBool(value);
  else CLabelUI::SetAttribute(nameIn, value);
}

QRect CProgressUI::TrackRect() const { return GetPos(); }

QRect CProgressUI::ValueRect() const {
  const QRect track = TrackRect();
  if (max_ <= min_) return QRect(track.topLeft(), QSize(0, 0));
  const double part = double(value_ - min_) / double(max_ - min_);
  if (horizontal_) return QRect(track.left(), track.top(), int(track.width() * part + 0.5), track.height());
  const int h = int(track.height() * part + 0.5);
  return QRect(track.left(), track.bottom() + 1 - h, track.width(), h);
}

void CProgressUI::PaintBkColor(QPainter& painter) {
  if (HasColor(bkColor_) || !bkImage_.isEmpty()) {
    CLabelUI::PaintBkColor(painter);
    return;
  }
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QRect track = TrackRect();
  const int r = horizontal_ ? track.height() : track.width();
  CRenderEngine::DrawColor(painter, track, theme::kTrack, QSize(r, r) * (borderRound_.isEmpty() ? 1.0 : 0.0) + borderRound_ * f);
}

void CProgressUI::PaintStatusImage(QPainter& painter) {
  const QRect valueRc = ValueRect();
  if (valueRc.isEmpty()) return;
  if (!foreImage_.isEmpty()) {
    painter.save();
    painter.setClipRect(valueRc, Qt::IntersectClip);
    CRenderEngine::DrawImageString(painter, manager_, stretchForeImage_ ? valueRc : TrackRect(), foreImage_);
    painter.restore();
    return;
  }
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const uint32_t color = HasColor(foreColor_) ? foreColor_ : theme::kAccent;
  const QRect track = TrackRect();
  const int r = horizontal_ ? track.height() : track.width();
  CRenderEngine::DrawColor(painter, valueRc, IsEnabled() ? color : theme::kTextDisabled,
                           borderRound_.isEmpty() ? QSize(r, r) : borderRound_ * f);
}

// --------------------------------------------------------------- CSliderUI

CSliderUI::CSliderUI() {
  setFocusPolicy(Qt::StrongFocus);  // a click picks it for the keys and the wheel
  textStyle_ = Qt::AlignHCenter | Qt::AlignVCenter;
}

bool CSliderUI::IsClass(const QString& c) const { return Is(c, "Slider") || CProgressUI::IsClass(c); }

void CSliderUI::SetThumbSize(QSize size) { thumbSize_ = size; Invalidate(); }

QRect CSliderUI::GetThumbRect() const {
  const QRect pos = GetPos();
  const int tw = Scale(thumbSize_.width()), th = Scale(thumbSize_.height());
  const double part = max_ > min_ ? double(value_ - min_) / double(max_ - min_) : 0.0;
  if (horizontal_) {
    const int x = pos.left() + int((pos.width() - tw) * part + 0.5);
    return QRect(x, pos.top() + (pos.height() - th) / 2, tw, th);
  }
  const int y = pos.bottom() + 1 - th - int((pos.height() - th) * part + 0.5);
  return QRect(pos.left() + (pos.width() - tw) / 2, y, tw, th);
}

int CSliderUI::ValueAt(QPoint p) const {
  const QRect pos = GetPos();
  const int tw = Scale(thumbSize_.width()), th = Scale(thumbSize_.height());
  double part = 0;
  if (horizontal_) {
    const int span = pos.width() - tw;
    part = span > 0 ? double(p.x() - pos.left() - tw / 2) / span : 0;
  } else {
    const int span = pos.height() - th;
    part = span > 0 ? double(pos.bottom() - th / 2 - p.y()) / span : 0;
  }
  part = std::clamp(part, 0.0, 1.0);
  int v = min_ + int(part * (max_ - min_) + 0.5);
  if (step_ > 1) v = min_ + ((v - min_ + step_ / 2) / step_) * step_;
  return std::clamp(v, min_, max_);
}

void CSliderUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("thumbimage")) SetThumbImage(value);
  else if (name == QLatin1String("thumbhotimage")) SetThumbHotImage(value);
  else if (name == QLatin1String("thumbpushedimage")) SetThumbPushedImage(value);
  else if (name == QLatin1String("thumbsize")) SetThumbSize(ParseSize(value));
  else if (name == QLatin1String("step")) SetChangeStep(value.toInt());
  else if (name == QLatin1String("sendmove")) sendMove_ = ParseBool(value);
  else CProgressUI::SetAttribute(nameIn, value);
}

void CSliderUI::DoEvent(TEventUI& event) {
  if (!IsEnabled() && event.Type != UIEVENT_TIMER) {
    CProgressUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      state_ |= UISTATE_CAPTURED | UISTATE_PUSHED;
      pressValue_ = value_;
      SetValue(ValueAt(event.ptMouse));
      if (sendMove_ && value_ != pressValue_ && !NotifyAlive(notify::kMoveValueChanged)) return;
      Invalidate();
      return;
    case UIEVENT_MOUSEMOVE:
      if (state_ & UISTATE_CAPTURED) {
        const int v = ValueAt(event.ptMouse);
        if (v != value_) {
          SetValue(v);
          if (sendMove_ && manager_) manager_->SendNotify(this, notify::kMoveValueChanged);
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      if (state_ & UISTATE_CAPTURED) {
        state_ &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
        SetValue(ValueAt(event.ptMouse));
        if (!NotifyAlive(notify::kValueChanged)) return;
        Invalidate();
      }
      return;
    case UIEVENT_SCROLLWHEEL: {
      // Only a slider the user has picked takes the wheel; otherwise the
      // wheel scrolls the page past it (ten equaliser sliders in a
      // scrolling panel would each write to the device).
      if (!hasFocus()) break;
      const int before = value_;
      SetValue(value_ + (event.wParam == 0 ? step_ : -step_));
      if (value_ != before && manager_) manager_->SendNotify(this, notify::kValueChanged);
      return;
    }
    case UIEVENT_KEYDOWN: {
      int delta = 0;
      if (event.chKey == Qt::Key_Right || event.chKey == Qt::Key_Up) delta = step_;
      else if (event.chKey == Qt::Key_Left || event.chKey == Qt::Key_Down) delta = -step_;
      if (delta) {
        const int before = value_;
        SetValue(value_ + delta);
        if (value_ != before && manager_) manager_->SendNotify(this, notify::kValueChanged);
        return;
      }
      break;
    }
    case UIEVENT_MOUSEENTER:
      state_ |= UISTATE_HOT;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      state_ &= ~UISTATE_HOT;
      Invalidate();
      return;
    default:
      break;
  }
  CProgressUI::DoEvent(event);
}

// Without a background of the layout's own, the track is a thin rounded bar
// through the middle.
void CSliderUI::PaintBkColor(QPainter& painter) {
  if (HasColor(bkColor_) || !bkImage_.isEmpty()) {
    CLabelUI::PaintBkColor(painter);
    return;
  }
  const QRect pos = GetPos();
  const int thick = std::max(4, Scale(4));
  const QRect track = horizontal_ ? QRect(pos.left(), pos.center().y() - thick / 2, pos.width(), thick)
                                  : QRect(pos.center().x() - thick / 2, pos.top(), thick, pos.height());
  CRenderEngine::DrawColor(painter, track, theme::kTrack, QSize(thick, thick));
}

void CSliderUI::PaintStatusImage(QPainter& painter) {
  const QRect pos = GetPos();
  const QRect thumb = GetThumbRect();
  const QRect valueRc = ValueRect();
  if (!foreImage_.isEmpty()) {
    painter.save();
    painter.setClipRect(valueRc, Qt::IntersectClip);
    CRenderEngine::DrawImageString(painter, manager_, valueRc, foreImage_);
    painter.restore();
  } else {
    const int thick = std::max(4, Scale(4));
    QRect fill = horizontal_ ? QRect(pos.left(), pos.center().y() - thick / 2, thumb.center().x() - pos.left(), thick)
                             : QRect(pos.center().x() - thick / 2, thumb.center().y(), thick, pos.bottom() - thumb.center().y());
    CRenderEngine::DrawColor(painter, fill, IsEnabled() ? (HasColor(foreColor_) ? foreColor_ : theme::kAccent) : theme::kTextDisabled,
                             QSize(thick, thick));
  }
  QString image = thumbImage_;
  if ((state_ & UISTATE_PUSHED) && !thumbPushedImage_.isEmpty()) image = thumbPushedImage_;
  else if ((state_ & UISTATE_HOT) && !thumbHotImage_.isEmpty()) image = thumbHotImage_;
  if (!image.isEmpty()) {
    CRenderEngine::DrawImageString(painter, manager_, thumb, image);
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor::fromRgba(IsEnabled() ? theme::kAccent : theme::kTextDisabled), std::max(2.0, Scale(2) * 1.0)));
  painter.setBrush(QColor::fromRgba((state_ & (UISTATE_HOT | UISTATE_PUSHED)) ? 0xFFFFFFFF : theme::kText));
  painter.drawEllipse(QRectF(thumb).adjusted(1, 1, -1, -1));
  painter.restore();
}

}  // namespace ui
