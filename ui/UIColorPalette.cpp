#include "ui/UIColorPalette.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

CColorPaletteUI::CColorPaletteUI() = default;

bool CColorPaletteUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("ColorPalette"), Qt::CaseInsensitive) == 0 || CControlUI::IsClass(c);
}

uint32_t CColorPaletteUI::GetSelectColor() const {
  return QColor::fromHsv(hue_, saturation_, value_).rgb() | 0xFF000000u;
}

void CColorPaletteUI::SetSelectColor(uint32_t argb) {
  const QColor c = QColor::fromRgb(argb | 0xFF000000u);
  int h = 0, s = 0, v = 0;
  c.getHsv(&h, &s, &v);
  if (h >= 0) hue_ = h;  // grey keeps the hue it had
  saturation_ = s;
  value_ = v;
  Invalidate();
}

void CColorPaletteUI::SetPalletHeight(int height) { palletHeight_ = std::max(0, height); Invalidate(); }
void CColorPaletteUI::SetBarHeight(int height) { barHeight_ = std::max(4, height); Invalidate(); }

void CColorPaletteUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("palletheight")) SetPalletHeight(value.toInt());
  else if (name == QLatin1String("barheight")) SetBarHeight(value.toInt());
  else if (name == QLatin1String("selectcolor") || name == QLatin1String("color")) SetSelectColor(ParseColor(value));
  else CControlUI::SetAttribute(nameIn, value);
}

QRect CColorPaletteUI::FieldRect() const {
  const QRect pos = GetPos();
  const int bar = Scale(barHeight_), gap = Scale(8);
  const int h = palletHeight_ > 0 ? Scale(palletHeight_) : pos.height() - bar - gap;
  return QRect(pos.left(), pos.top(), pos.width(), std::max(h, 1));
}

QRect CColorPaletteUI::BarRect() const {
  const QRect field = FieldRect();
  return QRect(field.left(), field.bottom() + 1 + Scale(8), field.width(), Scale(barHeight_));
}

void CColorPaletteUI::PickAt(QPoint p) {
  if (drag_ == Drag::Field) {
    const QRect f = FieldRect();
    saturation_ = std::clamp((p.x() - f.left()) * 255 / std::max(1, f.width() - 1), 0, 255);
    value_ = std::clamp(255 - (p.y() - f.top()) * 255 / std::max(1, f.height() - 1), 0, 255);
  } else if (drag_ == Drag::Bar) {
    const QRect b = BarRect();
    hue_ = std::clamp((p.x() - b.left()) * 359 / std::max(1, b.width() - 1), 0, 359);
  }
  Invalidate();
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) {
    CControlUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
      pressColor_ = GetSelectColor();
      if (FieldRect().contains(event.ptMouse)) drag_ = Drag::Field;
      else if (BarRect().adjusted(0, -Scale(4), 0, Scale(4)).contains(event.ptMouse)) drag_ = Drag::Bar;
      PickAt(event.ptMouse);
      return;
    case UIEVENT_MOUSEMOVE:
      if (drag_ != Drag::None) PickAt(event.ptMouse);
      return;
    case UIEVENT_BUTTONUP:
      if (drag_ != Drag::None) {
        PickAt(event.ptMouse);
        drag_ = Drag::None;
        if (manager_) manager_->SendNotify(this, notify::kColorChanged, GetSelectColor(), pressColor_);
      }
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

void CColorPaletteUI::PaintBkColor(QPainter& painter) { CControlUI::PaintBkColor(painter); }

void CColorPaletteUI::PaintStatusImage(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QRect field = FieldRect();
  const QRect bar = BarRect();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath clip;
  clip.addRoundedRect(QRectF(field), 6 * f, 6 * f);
  painter.setClipPath(clip, Qt::IntersectClip);
  QLinearGradient sat(field.topLeft(), field.topRight());
  sat.setColorAt(0, Qt::white);
  sat.setColorAt(1, QColor::fromHsv(hue_, 255, 255));
  painter.fillRect(field, sat);
  QLinearGradient val(field.topLeft(), field.bottomLeft());
  val.setColorAt(0, QColor(0, 0, 0, 0));
  val.setColorAt(1, QColor(0, 0, 0, 255));
  painter.fillRect(field, val);
  painter.setClipping(false);

  QLinearGradient hue(bar.topLeft(), bar.topRight());
  for (int i = 0; i <= 6; ++i) hue.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
  painter.setPen(Qt::NoPen);
  painter.setBrush(hue);
  painter.drawRoundedRect(QRectF(bar), bar.height() / 2.0, bar.height() / 2.0);

  // Markers: a ring at the chosen point, a knob on the hue bar.
  const QPointF mark(field.left() + saturation_ * (field.width() - 1) / 255.0,
                     field.top() + (255 - value_) * (field.height() - 1) / 255.0);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 2 * f));
  painter.drawEllipse(mark, 6 * f, 6 * f);
  painter.setPen(QPen(QColor(0, 0, 0, 120), 1 * f));
  painter.drawEllipse(mark, 8 * f, 8 * f);
  const double hx = bar.left() + hue_ * (bar.width() - 1) / 359.0;
  painter.setPen(QPen(Qt::white, 2 * f));
  painter.setBrush(QColor::fromHsv(hue_, 255, 255));
  painter.drawEllipse(QPointF(hx, bar.center().y() + 0.5), bar.height() / 2.0 + 2 * f, bar.height() / 2.0 + 2 * f);
  painter.restore();
}

}  // namespace ui
