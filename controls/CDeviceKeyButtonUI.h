#pragma once
// CDeviceKeyButtonUI: one key or light cap on the picture of a device.
//
// Painting, on top of the button's own look (normal, hot, pushed, disabled
// image or theme fallback):
//   1. when the light overlay is shown, the light image over the whole cap,
//      tinted with the light colour at the light level (the UI layer blends
//      the image's opaque pixels toward the colour by level/255);
//   2. when the key-set mark is not hidden, the key-set image over the whole
//      cap, untinted;
//   3. when the cap is selected, a ring in the accent colour, so the user
//      sees which caps a dragged rectangle took.
//
// Layout attributes of its own (names without regard to case): "lightimage"
// and "keysetimage" (image descriptions), "gmnametextcolor" (hexadecimal,
// an optional leading '#'; kept, not drawn). Everything else is the
// button's.
//
// A double click inside an enabled cap sends "dbclick" (after the "click"
// of the first press; the release that follows sends "click" again, as for
// any button).

#include <cstdint>

#include <QString>

#include "ui/UIButton.h"

namespace controls {

class CDeviceKeyButtonUI : public ui::CButtonUI {
  Q_OBJECT
 public:
  static constexpr uint32_t kInitialLightColor = 255;
  static constexpr int kInitialLightLevel = 200;

  CDeviceKeyButtonUI();
  QString GetClass() const override { return QStringLiteral("DeviceKeyButton"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;

  QString GetLightImage() const { return lightImage_; }
  void SetLightImage(const QString& image);
  QString GetKeysetImage() const { return keysetImage_; }
  void SetKeysetImage(const QString& image);
  uint32_t GetGmNameTextColor() const { return gmNameTextColor_; }

  // Stores the light's colour (0xRRGGBB; any alpha byte is ignored when
  // drawing), its level (0..255, clamped) and whether the overlay shows.
  // Requests no repaint: the light step sets every cap, then repaints the
  // picture once.
  void SetLightOverlay(uint32_t color, int level, bool shown);
  uint32_t GetLightColor() const { return lightColor_; }
  int GetLightLevel() const { return lightLevel_; }
  bool IsLightOverlayShown() const { return lightShown_; }

  // Repaints when the value changes.
  void SetKeysetMarkHidden(bool hidden);
  bool IsKeysetMarkHidden() const { return keysetHidden_; }

  // Set by the select panel, read by the page's selection handler;
  // repaints when the value changes.
  void SetSelected(bool selected);
  bool IsSelected() const { return selected_; }

  void DoEvent(ui::TEventUI& event) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 private:
  QString lightImage_;
  QString keysetImage_;
  uint32_t gmNameTextColor_ = 0;
  bool lightShown_ = false;
  uint32_t lightColor_ = kInitialLightColor;
  int lightLevel_ = kInitialLightLevel;
  bool keysetHidden_ = true;
  bool selected_ = false;
};

}  // namespace controls

// The page and factory code names the class without its namespace.
using controls::CDeviceKeyButtonUI;
