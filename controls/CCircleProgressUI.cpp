#include "controls/CCircleProgressUI.h"

#include <algorithm>

#include <QPainter>

#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace controls {

std::optional<int> CircleSweepDegrees(int value, int minimum, int maximum) {
  if (int64_t(maximum) <= int64_t(minimum)) return std::nullopt;
  const float range = float(int64_t(maximum) - int64_t(minimum));
  const float sweep = float(value) * 1.0f / range * 360.0f;
  return int(std::clamp(sweep, 0.0f, 360.0f));
}

CCircleProgressUI::CCircleProgressUI() = default;

bool CCircleProgressUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("CircleProgress"), Qt::CaseInsensitive) == 0 ||
         ui::CProgressUI::IsClass(className);
}

void CCircleProgressUI::PaintBkColor(QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgba(ui::HasColor(bkColor_) ? bkColor_ : ui::theme::kTrack));
  painter.drawEllipse(GetPos());
  painter.restore();
}

void CCircleProgressUI::PaintStatusImage(QPainter& painter) {
  const std::optional<int> sweep = CircleSweepDegrees(value_, min_, max_);
  if (!sweep) return;
  const QRect rc = GetPos();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgba(ui::HasColor(foreColor_) ? foreColor_ : ui::theme::kAccent));
  // Qt counts angles counter-clockwise in sixteenths: straight down is
  // -90 degrees, and a clockwise sweep is negative.
  painter.drawPie(rc, -90 * 16, -*sweep * 16);
  const int inset = Scale(10);
  painter.setBrush(QColor::fromRgba(0xFFFFFFFFu));
  painter.drawEllipse(rc.adjusted(inset, inset, -inset, -inset));
  painter.restore();
}

}  // namespace controls
