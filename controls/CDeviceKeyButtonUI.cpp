#include "controls/CDeviceKeyButtonUI.h"

#include <algorithm>

#include <QPainter>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace controls {

namespace {

// Leading hexadecimal digits after an optional '#' (and "0x"), as the
// layouts write colours; text that is not a number gives 0.
uint32_t ParseHexColor(QString text) {
  text = text.trimmed();
  if (text.startsWith('#')) text.remove(0, 1);
  if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) text.remove(0, 2);
  uint32_t value = 0;
  for (const QChar c : text) {
    const int digit = c.isDigit() ? c.digitValue()
                      : (c.toLower() >= 'a' && c.toLower() <= 'f') ? c.toLower().unicode() - 'a' + 10
                                                                   : -1;
    if (digit < 0) break;
    value = (value << 4) | uint32_t(digit);
  }
  return value;
}

}  // namespace

CDeviceKeyButtonUI::CDeviceKeyButtonUI() = default;

bool CDeviceKeyButtonUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("DeviceKeyButton"), Qt::CaseInsensitive) == 0 ||
         ui::CButtonUI::IsClass(className);
}

void CDeviceKeyButtonUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("lightimage")) SetLightImage(value);
  else if (name == QLatin1String("keysetimage")) SetKeysetImage(value);
  else if (name == QLatin1String("gmnametextcolor")) gmNameTextColor_ = ParseHexColor(value);
  else ui::CButtonUI::SetAttribute(nameIn, value);
}

void CDeviceKeyButtonUI::SetLightImage(const QString& image) {
  lightImage_ = image;
  Invalidate();
}

void CDeviceKeyButtonUI::SetKeysetImage(const QString& image) {
  keysetImage_ = image;
  Invalidate();
}

void CDeviceKeyButtonUI::SetLightOverlay(uint32_t color, int level, bool shown) {
  lightColor_ = color;
  lightLevel_ = std::clamp(level, 0, 255);
  lightShown_ = shown;
}

void CDeviceKeyButtonUI::SetKeysetMarkHidden(bool hidden) {
  if (keysetHidden_ == hidden) return;
  keysetHidden_ = hidden;
  Invalidate();
}

void CDeviceKeyButtonUI::SetSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected) state_ |= ui::UISTATE_SELECTED;
  else state_ &= ~ui::UISTATE_SELECTED;
  Invalidate();
}

void CDeviceKeyButtonUI::DoEvent(ui::TEventUI& event) {
  if (event.Type == ui::UIEVENT_DBLCLICK && IsEnabled() && GetPos().contains(event.ptMouse)) {
    state_ |= ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED;
    if (manager_) manager_->SendNotify(this, ui::notify::kDbClick);
    Invalidate();
    return;
  }
  ui::CButtonUI::DoEvent(event);
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& painter) {
  ui::CButtonUI::PaintStatusImage(painter);
  const QRect rc = GetPos();
  if (lightShown_)
    ui::CRenderEngine::DrawImageString(painter, manager_, rc, lightImage_, lightColor_, lightLevel_, true);
  if (!keysetHidden_) ui::CRenderEngine::DrawImageString(painter, manager_, rc, keysetImage_, 0, 0, false);
}

void CDeviceKeyButtonUI::PaintBorder(QPainter& painter) {
  ui::CButtonUI::PaintBorder(painter);
  if (!selected_) return;
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QSize round = (borderRound_.isEmpty() ? QSize(ui::theme::kRound, ui::theme::kRound) : borderRound_) * f;
  const int ring = std::max(2, int(2 * f));
  // A dark hairline inside the ring keeps it apart from a light rim of the
  // same hue.
  const int inset = ring;
  ui::CRenderEngine::DrawBorder(painter, GetPos().adjusted(inset, inset, -inset, -inset), ui::theme::kWindowBk,
                                std::max(1, int(f)), round - QSize(inset, inset));
  ui::CRenderEngine::DrawBorder(painter, GetPos(), ui::theme::kAccentHot, ring, round);
}

}  // namespace controls
