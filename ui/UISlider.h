#pragma once
// CProgressUI (a value between a minimum and a maximum, drawn as a filled
// bar) and CSliderUI (a progress the user drags: "movevaluechanged" while the
// thumb moves, "valuechanged" when it is released, and for a click, a wheel
// step or an arrow key).

#include "ui/UIButton.h"

namespace ui {

class CProgressUI : public CLabelUI {
  Q_OBJECT
 public:
  CProgressUI();
  QString GetClass() const override { return QStringLiteral("Progress"); }
  bool IsClass(const QString& className) const override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  int GetValue() const { return value_; }
  virtual void SetValue(int value);
  uint32_t GetForeColor() const { return foreColor_; }
  void SetForeColor(uint32_t argb);

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;

 protected:
  // The part of the control that shows the value (window coordinates).
  QRect ValueRect() const;
  QRect TrackRect() const;
  bool horizontal_ = true;
  int min_ = 0, max_ = 100, value_ = 0;
  uint32_t foreColor_ = 0;
  bool stretchForeImage_ = true;
};

class CSliderUI : public CProgressUI {
  Q_OBJECT
 public:
  CSliderUI();
  QString GetClass() const override { return QStringLiteral("Slider"); }
  bool IsClass(const QString& className) const override;

  int GetChangeStep() const { return step_; }
  void SetChangeStep(int step) { step_ = std::max(1, step); }
  QSize GetThumbSize() const { return thumbSize_; }
  void SetThumbSize(QSize size);
  QRect GetThumbRect() const;
  void SetThumbImage(const QString& image) { thumbImage_ = image; Invalidate(); }
  void SetThumbHotImage(const QString& image) { thumbHotImage_ = image; Invalidate(); }
  void SetThumbPushedImage(const QString& image) { thumbPushedImage_ = image; Invalidate(); }
  bool IsImmMode() const { return sendMove_; }

  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;

 protected:
  int ValueAt(QPoint windowPoint) const;
  int step_ = 1;
  QSize thumbSize_{14, 14};
  QString thumbImage_, thumbHotImage_, thumbPushedImage_;
  bool sendMove_ = true;
  int pressValue_ = 0;
};

}  // namespace ui
