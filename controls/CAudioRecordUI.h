#pragma once
// CAudioRecordUI ("AudioRecord"): a level meter of 500 vertical bars.
//
// Samples are signed 32-bit levels on a scale where 8192 is the control's
// full height. Sample i starts at i for i below 256 and at 0 above. Bar i
// is one pixel wide at 2i pixels from the left edge (only the bars that fit
// the width are drawn), black, rising from one pixel above the bottom edge
// to height - sample x height / 8192 below the top, over a white ground.
// Levels above 8192 are drawn at full height and negative ones not at all.
// Whoever feeds the meter sets the samples.

#include <array>
#include <cstdint>

#include "ui/UIButton.h"

namespace controls {

class CAudioRecordUI : public ui::CLabelUI {
  Q_OBJECT
 public:
  static constexpr int kSamples = 500;
  static constexpr int kFullScale = 8192;

  CAudioRecordUI();
  QString GetClass() const override { return QStringLiteral("AudioRecord"); }
  bool IsClass(const QString& className) const override;

  int32_t Sample(int index) const;
  // Out-of-range indexes are ignored; repaints.
  void SetSample(int index, int32_t level);
  const std::array<int32_t, kSamples>& Samples() const { return samples_; }

  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter&) override {}

 private:
  std::array<int32_t, kSamples> samples_{};
};

}  // namespace controls

using controls::CAudioRecordUI;
