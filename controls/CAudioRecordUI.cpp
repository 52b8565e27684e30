#include "controls/CAudioRecordUI.h"

#include <algorithm>

#include <QPainter>

#include "ui/UIRender.h"

namespace controls {

CAudioRecordUI::CAudioRecordUI() {
  for (int i = 0; i < 256; ++i) samples_[size_t(i)] = i;
}

bool CAudioRecordUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("AudioRecord"), Qt::CaseInsensitive) == 0 ||
         ui::CLabelUI::IsClass(className);
}

int32_t CAudioRecordUI::Sample(int index) const {
  return index >= 0 && index < kSamples ? samples_[size_t(index)] : 0;
}

void CAudioRecordUI::SetSample(int index, int32_t level) {
  if (index < 0 || index >= kSamples) return;
  samples_[size_t(index)] = level;
  Invalidate();
}

void CAudioRecordUI::PaintBkColor(QPainter& painter) {
  const QRect rc = GetPos();
  ui::CRenderEngine::DrawColor(painter, rc, GetAdjustColor(0xFFFFFFFFu));
  const int64_t height = rc.height();
  const QColor bar = QColor::fromRgba(GetAdjustColor(0xFF000000u));
  for (int i = 0; i < kSamples && 2 * i < rc.width(); ++i) {
    // The product is taken in 64 bits, and the bar held inside the control.
    const int64_t a = std::clamp<int64_t>(height - samples_[size_t(i)] * height / kFullScale, 0, height);
    const int top = rc.top() + int(a);
    const int bottom = rc.top() + rc.height() - 1;  // exclusive
    if (bottom > top) painter.fillRect(QRect(rc.left() + 2 * i, top, 1, bottom - top), bar);
  }
}

}  // namespace controls
