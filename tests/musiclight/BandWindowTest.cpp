// The companion's band window: bars of the loudest band of each ten, in the
// selected group's colour, rising from the bottom.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>

#include "musiclight/capture/BandWindow.h"
#include "ui/UIScreenshot.h"

namespace musiclight::capture {
namespace {

TEST(BandWindow, GroupColoursScaleTheirNineStepsToFullRange) {
  struct Case {
    int r, g, b;
    QColor expected;
  };
  const Case cases[] = {
      {9, 0, 0, QColor(255, 0, 0)},
      {9, 1, 0, QColor(255, 28, 0)},
      {3, 6, 9, QColor(85, 170, 255)},
      {12, -1, 9, QColor(255, 0, 255)},  // out of range: clamped
  };
  for (const Case& c : cases) EXPECT_EQ(GroupColour(c.r, c.g, c.b), c.expected) << c.r << " " << c.g << " " << c.b;
}

TEST(BandWindow, EachBarShowsTheLoudestOfItsTenBands) {
  std::array<int32_t, kBandCount> levels{};
  levels[268] = kLevelMax;      // bar 26 (around 1 kHz): full height
  levels[3] = kLevelMax / 2;    // bar 0: half height, from one band of ten
  levels[9] = kLevelMax / 4;
  levels[120] = kLevelMax * 3;  // bar 12: above the top, drawn full
  levels[140] = -500;           // bar 14: below zero, nothing drawn
  const QColor colour = GroupColour(9, 1, 0);
  QImage image(500, 100, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    PaintBands(painter, image.size(), levels, colour);
  }
  const QColor background = image.pixelColor(104, 50);  // bar 10 is silent
  EXPECT_NE(background, colour);
  struct Pixel {
    int x, y;
    bool lit;
  };
  // Bars are 10 pixels wide (8 drawn, 2 gap); y grows downwards.
  const Pixel pixels[] = {
      {264, 0, true},  {264, 99, true},                     // bar 26, full
      {4, 99, true},   {4, 51, true},   {4, 48, false},     // bar 0, half
      {124, 0, true},                                       // bar 12, clamped to full
      {144, 99, false},                                     // bar 14, negative
      {269, 99, false},                                     // the gap after bar 26
  };
  for (const Pixel& p : pixels)
    EXPECT_EQ(image.pixelColor(p.x, p.y), p.lit ? colour : background) << p.x << "," << p.y;
  // For people to look at.
  image.save(ui::ScreensFolder() + QStringLiteral("/musiclight_band_window.png"));
}

}  // namespace
}  // namespace musiclight::capture
