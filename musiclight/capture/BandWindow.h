#pragma once
// The companion's own window: the sound's bands as bars, in the colour of the
// program's selected colour group. The program shows it when music lighting
// starts and hides it when it ends (BE19 3 and 4).

#include <QColor>
#include <QRasterWindow>
#include <array>
#include <cstdint>
#include <span>

#include "musiclight/capture/BandAnalysis.h"

class QPainter;

namespace musiclight::capture {

inline constexpr int kBandBars = 50;  // each bar stands for 10 adjacent bands
inline constexpr int kGroupColourMax = 9;  // the program's colour components run 0..9

// The colour of a group whose components run 0..kGroupColourMax; out-of-range
// components are clamped.
QColor GroupColour(int red, int green, int blue);

// Paints the bars of `levels` (0..kLevelMax each) filling `size`: the
// background, then per bar the loudest of its bands as a bar of `colour`
// rising from the bottom.
void PaintBands(QPainter& painter, QSize size, std::span<const int32_t, kBandCount> levels, QColor colour);

class BandWindow : public QRasterWindow {
 public:
  BandWindow();

  void SetLevels(const BandLevels& levels);
  void SetColour(QColor colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  BandLevels levels_{};
  QColor colour_;
};

}  // namespace musiclight::capture
