#include "musiclight/capture/BandWindow.h"

#include <QPainter>
#include <algorithm>

namespace musiclight::capture {
namespace {
constexpr QColor kBackground(0x16, 0x19, 0x1E);
constexpr int kBandsPerBar = int(kBandCount) / kBandBars;
constexpr int kGap = 2;  // pixels between bars
}  // namespace

QColor GroupColour(int red, int green, int blue) {
  const auto scale = [](int v) { return std::clamp(v, 0, kGroupColourMax) * 255 / kGroupColourMax; };
  return QColor(scale(red), scale(green), scale(blue));
}

void PaintBands(QPainter& painter, QSize size, std::span<const int32_t, kBandCount> levels, QColor colour) {
  painter.fillRect(QRect(QPoint(0, 0), size), kBackground);
  if (size.width() <= 0 || size.height() <= 0) return;
  for (int bar = 0; bar < kBandBars; ++bar) {
    const auto first = levels.begin() + bar * kBandsPerBar;
    const int32_t level = std::clamp(*std::max_element(first, first + kBandsPerBar), 0, kLevelMax);
    const int left = bar * size.width() / kBandBars;
    const int right = (bar + 1) * size.width() / kBandBars - kGap;
    const int height = int(int64_t(level) * size.height() / kLevelMax);
    if (right > left && height > 0) painter.fillRect(QRect(left, size.height() - height, right - left, height), colour);
  }
}

BandWindow::BandWindow() : colour_(GroupColour(kGroupColourMax, 0, 0)) {
  setTitle(QStringLiteral("VX27 MOUSE music"));
  resize(400, 120);
}

void BandWindow::SetLevels(const BandLevels& levels) {
  levels_ = levels;
  if (isExposed()) update();
}

void BandWindow::SetColour(QColor colour) {
  colour_ = colour;
  if (isExposed()) update();
}

void BandWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBands(painter, size(), levels_, colour_);
}

}  // namespace musiclight::capture
