#pragma once
// CCircleProgressUI ("CircleProgress"): a progress drawn as a ring.
//
// The background is a full disc over the control in the background colour
// (the theme's track colour when the layout gives none). The value is a
// sector starting straight down and turning clockwise, of
// value / (maximum - minimum) x 360 degrees (single precision, truncated;
// held to 0..360), in the foreground colour (the theme's accent when none);
// a white disc 10 pixels (96-DPI) inside the edge then leaves a ring. The
// foreground image is not drawn. With maximum <= minimum only the
// background is drawn.

#include <optional>

#include "ui/UISlider.h"

namespace controls {

// The sweep in whole degrees for a value, or nullopt when the range is
// empty or reversed (nothing is drawn over the background then).
std::optional<int> CircleSweepDegrees(int value, int minimum, int maximum);

class CCircleProgressUI : public ui::CProgressUI {
  Q_OBJECT
 public:
  CCircleProgressUI();
  QString GetClass() const override { return QStringLiteral("CircleProgress"); }
  bool IsClass(const QString& className) const override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
};

}  // namespace controls

using controls::CCircleProgressUI;
