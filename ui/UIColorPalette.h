#pragma once
// CColorPaletteUI: a colour picker drawn as a saturation/brightness field
// for the current hue above a hue bar. Dragging in either part changes the
// colour; releasing the button sends "colorchanged" (once per drag, so a
// handler that saves and writes to the device runs once, not per pixel).

#include "ui/UIControl.h"

namespace ui {

class CColorPaletteUI : public CControlUI {
  Q_OBJECT
 public:
  CColorPaletteUI();
  QString GetClass() const override { return QStringLiteral("ColorPalette"); }
  bool IsClass(const QString& className) const override;

  // 0xFFRRGGBB.
  uint32_t GetSelectColor() const;
  void SetSelectColor(uint32_t argb);
  int GetPalletHeight() const { return palletHeight_; }
  void SetPalletHeight(int height);
  int GetBarHeight() const { return barHeight_; }
  void SetBarHeight(int height);

  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;

 private:
  QRect FieldRect() const;
  QRect BarRect() const;
  void PickAt(QPoint windowPoint);
  int hue_ = 0;        // 0..359
  int saturation_ = 255;
  int value_ = 255;
  int palletHeight_ = 0;  // 0: the control's height less the bar
  int barHeight_ = 14;
  enum class Drag { None, Field, Bar } drag_ = Drag::None;
  uint32_t pressColor_ = 0;
};

}  // namespace ui
