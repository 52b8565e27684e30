#include "ui/UIButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include "ui/UIContainer.h"
#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

namespace {
int ParseAlign(const QString& v, int style, bool vertical) {
  if (vertical) {
    style &= ~(Qt::AlignTop | Qt::AlignVCenter | Qt::AlignBottom);
    if (v == QLatin1String("top")) return style | Qt::AlignTop;
    if (v == QLatin1String("bottom")) return style | Qt::AlignBottom;
    return style | Qt::AlignVCenter;
  }
  if (v.contains(QLatin1String("top")) || v.contains(QLatin1String("bottom")) ||
      v.contains(QLatin1String("vcenter"))) {
    style = ParseAlign(v.contains(QLatin1String("top")) ? QStringLiteral("top")
                       : v.contains(QLatin1String("bottom")) ? QStringLiteral("bottom")
                                                              : QStringLiteral("vcenter"),
                       style, true);
  }
  style &= ~(Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignRight);
  if (v.contains(QLatin1String("right"))) return style | Qt::AlignRight;
  if (v.contains(QLatin1String("center"))) return style | Qt::AlignHCenter;
  return style | Qt::AlignLeft;
}

bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }
}  // namespace

// ---------------------------------------------------------------- CLabelUI

CLabelUI::CLabelUI() = default;

bool CLabelUI::IsClass(const QString& c) const { return Is(c, "Label") || CControlUI::IsClass(c); }

void CLabelUI::SetText(const QString& text) {
  CControlUI::SetText(text);
  if (autoCalcWidth_) NeedParentUpdate();
}

void CLabelUI::ReloadText() {
  CControlUI::ReloadText();
  // The new language's text has another width.
  if (autoCalcWidth_) NeedParentUpdate();
}

void CLabelUI::SetTextStyle(int style) { textStyle_ = style; Invalidate(); }
void CLabelUI::SetTextColor(uint32_t argb) { textColor_ = argb; Invalidate(); }
void CLabelUI::SetDisabledTextColor(uint32_t argb) { disabledTextColor_ = argb; Invalidate(); }
void CLabelUI::SetFont(int id) { font_ = id; Invalidate(); }
void CLabelUI::SetTextPadding(const QMargins& padding) { textPadding_ = padding; Invalidate(); }

void CLabelUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("align")) SetTextStyle(ParseAlign(value.toLower(), textStyle_, false));
  else if (name == QLatin1String("valign")) SetTextStyle(ParseAlign(value.toLower(), textStyle_, true));
  else if (name == QLatin1String("endellipsis")) { endEllipsis_ = ParseBool(value); Invalidate(); }
  else if (name == QLatin1String("wordbreak") || name == QLatin1String("multiline"))
    SetTextStyle(ParseBool(value) ? (textStyle_ | Qt::TextWordWrap) : (textStyle_ & ~Qt::TextWordWrap));
  else if (name == QLatin1String("textcolor")) SetTextColor(ParseColor(value));
  else if (name == QLatin1String("disabledtextcolor")) SetDisabledTextColor(ParseColor(value));
  else if (name == QLatin1String("font")) SetFont(value.toInt());
  else if (name == QLatin1String("textpadding")) SetTextPadding(ParseMargins(value));
  else if (name == QLatin1String("autocalcwidth")) { autoCalcWidth_ = ParseBool(value); NeedParentUpdate(); }
  else CControlUI::SetAttribute(nameIn, value);
}

QFont CLabelUI::CurrentFont() const { return manager_ ? manager_->GetFont(font_) : font(); }

QRect CLabelUI::TextRect() const {
  return GetPos().adjusted(Scale(textPadding_.left()), Scale(textPadding_.top()),
                           -Scale(textPadding_.right()), -Scale(textPadding_.bottom()));
}

void CLabelUI::DrawText(QPainter& painter, const QString& text, uint32_t color) {
  if (text.isEmpty() || !HasColor(color)) return;
  const QRect rc = TextRect();
  painter.save();
  painter.setFont(CurrentFont());
  painter.setPen(QColor::fromRgba(color));
  QString shown = text;
  if (endEllipsis_ && !(textStyle_ & Qt::TextWordWrap))
    shown = QFontMetrics(painter.font()).elidedText(text, Qt::ElideRight, rc.width());
  painter.drawText(rc, textStyle_, shown);
  painter.restore();
}

void CLabelUI::PaintText(QPainter& painter) {
  uint32_t color = IsEnabled() ? TextColorFor(textColor_)
                            : (HasColor(disabledTextColor_) ? disabledTextColor_ : theme::kTextDisabled);
  DrawText(painter, GetText(), color);
}

QSize CLabelUI::EstimateSize(QSize available) const {
  QSize s = CControlUI::EstimateSize(available);
  if (autoCalcWidth_ && fixedWidth_ == 0) {
    const QFontMetrics fm(CurrentFont());
    s.setWidth(fm.horizontalAdvance(GetText()) + Scale(textPadding_.left() + textPadding_.right()) + 2);
  }
  return s;
}

// --------------------------------------------------------------- CButtonUI

CButtonUI::CButtonUI() {
  textStyle_ = Qt::AlignHCenter | Qt::AlignVCenter;
  setFocusPolicy(Qt::TabFocus);
}

bool CButtonUI::IsClass(const QString& c) const { return Is(c, "Button") || CLabelUI::IsClass(c); }

void CButtonUI::SetNormalImage(const QString& image) { normalImage_ = image; Invalidate(); }
void CButtonUI::SetHotImage(const QString& image) { hotImage_ = image; Invalidate(); }
void CButtonUI::SetPushedImage(const QString& image) { pushedImage_ = image; Invalidate(); }
void CButtonUI::SetFocusedImage(const QString& image) { focusedImage_ = image; Invalidate(); }
void CButtonUI::SetDisabledImage(const QString& image) { disabledImage_ = image; Invalidate(); }
void CButtonUI::SetHotBkColor(uint32_t argb) { hotBkColor_ = argb; Invalidate(); }
void CButtonUI::SetPushedBkColor(uint32_t argb) { pushedBkColor_ = argb; Invalidate(); }
void CButtonUI::SetDisabledBkColor(uint32_t argb) { disabledBkColor_ = argb; Invalidate(); }
void CButtonUI::SetHotTextColor(uint32_t argb) { hotTextColor_ = argb; Invalidate(); }
void CButtonUI::SetPushedTextColor(uint32_t argb) { pushedTextColor_ = argb; Invalidate(); }
void CButtonUI::SetFocusedTextColor(uint32_t argb) { focusedTextColor_ = argb; Invalidate(); }
void CButtonUI::BindTabIndex(int index) { bindTabIndex_ = index; }
void CButtonUI::BindTabLayoutName(const QString& name) { bindTabLayout_ = name; }

void CButtonUI::BindTriggerTabSel(int index) {
  const int target = index >= 0 ? index : bindTabIndex_;
  if (bindTabLayout_.isEmpty() || target < 0 || !manager_) return;
  if (auto* tab = qobject_cast<CTabLayoutUI*>(FindInScope(bindTabLayout_))) tab->SelectItem(target);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (!NotifyAlive(notify::kClick)) return true;
  BindTriggerTabSel();
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  setFocusPolicy(enabled ? Qt::TabFocus : Qt::NoFocus);
}

void CButtonUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("normalimage")) SetNormalImage(value);
  else if (name == QLatin1String("hotimage")) SetHotImage(value);
  else if (name == QLatin1String("pushedimage")) SetPushedImage(value);
  else if (name == QLatin1String("focusedimage")) SetFocusedImage(value);
  else if (name == QLatin1String("disabledimage")) SetDisabledImage(value);
  else if (name == QLatin1String("hotforeimage")) { hotForeImage_ = value; Invalidate(); }
  else if (name == QLatin1String("pushedforeimage")) { pushedForeImage_ = value; Invalidate(); }
  else if (name == QLatin1String("hotbkcolor")) SetHotBkColor(ParseColor(value));
  else if (name == QLatin1String("pushedbkcolor")) SetPushedBkColor(ParseColor(value));
  else if (name == QLatin1String("disabledbkcolor")) SetDisabledBkColor(ParseColor(value));
  else if (name == QLatin1String("hottextcolor")) SetHotTextColor(ParseColor(value));
  else if (name == QLatin1String("pushedtextcolor")) SetPushedTextColor(ParseColor(value));
  else if (name == QLatin1String("focusedtextcolor")) SetFocusedTextColor(ParseColor(value));
  else if (name == QLatin1String("bindtabindex")) BindTabIndex(value.toInt());
  else if (name == QLatin1String("bindtablayoutname")) BindTabLayoutName(value);
  else if (name == QLatin1String("themelook")) { themeLook_ = ParseBool(value); Invalidate(); }
  else CLabelUI::SetAttribute(nameIn, value);
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (!mouseEnabled_ && event.Type > UIEVENT_MOUSEENTER && event.Type < UIEVENT_CONTEXTMENU) {
    CLabelUI::DoEvent(event);
    return;
  }
  const QRect pos = GetPos();
  switch (event.Type) {
    case UIEVENT_KEYDOWN:
      if (keyboardEnabled_ && (event.chKey == Qt::Key_Space || event.chKey == Qt::Key_Return ||
                               event.chKey == Qt::Key_Enter)) {
        Activate();
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (pos.contains(event.ptMouse) && IsEnabled()) {
        state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (state_ & UISTATE_CAPTURED) {
        if (pos.contains(event.ptMouse)) state_ |= UISTATE_PUSHED;
        else state_ &= ~UISTATE_PUSHED;
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (state_ & UISTATE_CAPTURED) {
        state_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (pos.contains(event.ptMouse)) Activate();
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        state_ |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        state_ &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

bool CButtonUI::UsesThemeLook() const {
  return themeLook_ && normalImage_.isEmpty() && hotImage_.isEmpty() && pushedImage_.isEmpty() &&
         bkImage_.isEmpty() && !HasColor(bkColor_) && !HasColor(hotBkColor_) && !HasColor(pushedBkColor_);
}

void CButtonUI::PaintBkColor(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  if (UsesThemeLook()) {
    uint32_t c = theme::kButtonBk;
    if (!IsEnabled()) c = theme::kButtonDisabled;
    else if (state_ & UISTATE_PUSHED) c = theme::kButtonPushed;
    else if (state_ & UISTATE_HOT) c = theme::kButtonHot;
    const QSize round = borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_;
    CRenderEngine::DrawColor(painter, GetPos(), c, round * f);
    return;
  }
  uint32_t c = 0;
  if (!IsEnabled()) c = disabledBkColor_;
  else if ((state_ & UISTATE_PUSHED) && HasColor(pushedBkColor_)) c = pushedBkColor_;
  else if ((state_ & (UISTATE_HOT | UISTATE_PUSHED)) && HasColor(hotBkColor_)) c = hotBkColor_;
  if (HasColor(c)) CRenderEngine::DrawColor(painter, GetPos(), c, borderRound_ * f);
  else CLabelUI::PaintBkColor(painter);
}

void CButtonUI::PaintStatusImage(QPainter& painter) {
  QString image = normalImage_;
  if (!IsEnabled() && !disabledImage_.isEmpty()) image = disabledImage_;
  else if (IsEnabled() && (state_ & UISTATE_PUSHED) && !pushedImage_.isEmpty()) image = pushedImage_;
  else if (IsEnabled() && (state_ & (UISTATE_HOT | UISTATE_PUSHED)) && !hotImage_.isEmpty()) image = hotImage_;
  else if (IsEnabled() && (state_ & UISTATE_FOCUSED) && !focusedImage_.isEmpty()) image = focusedImage_;
  if (!image.isEmpty()) DrawImage(painter, image);
  if (IsEnabled() && (state_ & UISTATE_PUSHED) && !pushedForeImage_.isEmpty()) DrawImage(painter, pushedForeImage_);
  else if (IsEnabled() && (state_ & UISTATE_HOT) && !hotForeImage_.isEmpty()) DrawImage(painter, hotForeImage_);
  else if (!foreImage_.isEmpty()) DrawImage(painter, foreImage_);
}

uint32_t CButtonUI::StateTextColor() const {
  if (!IsEnabled()) return HasColor(disabledTextColor_) ? disabledTextColor_ : theme::kTextDisabled;
  if ((state_ & UISTATE_PUSHED) && HasColor(pushedTextColor_)) return pushedTextColor_;
  if ((state_ & (UISTATE_HOT | UISTATE_PUSHED)) && HasColor(hotTextColor_)) return hotTextColor_;
  if ((state_ & UISTATE_FOCUSED) && HasColor(focusedTextColor_)) return focusedTextColor_;
  return TextColorFor(textColor_);
}

void CButtonUI::PaintText(QPainter& painter) { DrawText(painter, GetText(), StateTextColor()); }

void CButtonUI::PaintBorder(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  if (UsesThemeLook() && borderSize_ == 0) {
    const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
    CRenderEngine::DrawBorder(painter, GetPos(), (state_ & UISTATE_HOT) ? theme::kAccent : theme::kBorder, 1, round);
  } else {
    CLabelUI::PaintBorder(painter);
  }
  // Keyboard focus ring.
  if ((state_ & UISTATE_FOCUSED) && HasKeyboardFocus() && focusedImage_.isEmpty())
    CRenderEngine::DrawFocusRing(painter, GetPos(), theme::kAccentHot, borderRound_ * f);
}

// --------------------------------------------------------------- COptionUI

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() = default;

bool COptionUI::IsClass(const QString& c) const { return Is(c, "Option") || CButtonUI::IsClass(c); }

void COptionUI::SetGroup(const QString& group) {
  if (manager_ && !group_.isEmpty()) manager_->RemoveOptionGroup(group_, this);
  group_ = group;
  if (manager_ && !group_.isEmpty()) {
    manager_->AddOptionGroup(group_, this);
    if (selected_) Selected(true, false);
  }
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (manager_ && manager_ != manager && !group_.isEmpty()) manager_->RemoveOptionGroup(group_, this);
  CButtonUI::SetManager(manager, parent, init);
  if (manager && !group_.isEmpty()) manager->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected) state_ |= UISTATE_SELECTED;
  else state_ &= ~UISTATE_SELECTED;
  Invalidate();
  // Every notification may end in a handler that removes this option or
  // the others of its group.
  QPointer<COptionUI> self(this);
  if (manager_ && !group_.isEmpty() && selected) {
    std::vector<QPointer<COptionUI>> others;
    for (COptionUI* other : manager_->GetOptionGroup(group_, GetPageRoot()))
      if (other != this) others.emplace_back(other);
    for (const QPointer<COptionUI>& other : others) {
      if (other) other->Selected(false, notify);
      if (!self) return;
    }
  }
  if (notify && !NotifyAlive(notify::kSelectChanged)) return;
  if (selected) BindTriggerTabSel();
}

bool COptionUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (!NotifyAlive(notify::kClick)) return true;
  if (!group_.isEmpty()) Selected(true);
  else Selected(!selected_);
  return true;
}

void COptionUI::SetSelectedImage(const QString& image) { selectedImage_ = image; Invalidate(); }
void COptionUI::SetSelectedHotImage(const QString& image) { selectedHotImage_ = image; Invalidate(); }
void COptionUI::SetSelectedBkColor(uint32_t argb) { selectedBkColor_ = argb; Invalidate(); }
void COptionUI::SetSelectedTextColor(uint32_t argb) { selectedTextColor_ = argb; Invalidate(); }

void COptionUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("group")) SetGroup(value);
  else if (name == QLatin1String("selected")) Selected(ParseBool(value), false);
  else if (name == QLatin1String("selectedimage")) SetSelectedImage(value);
  else if (name == QLatin1String("selectedhotimage")) SetSelectedHotImage(value);
  else if (name == QLatin1String("selectedforeimage")) { selectedForeImage_ = value; Invalidate(); }
  else if (name == QLatin1String("selectedbkcolor")) SetSelectedBkColor(ParseColor(value));
  else if (name == QLatin1String("selectedtextcolor")) SetSelectedTextColor(ParseColor(value));
  else if (name == QLatin1String("indicator")) {
    indicator_ = value == QLatin1String("check") ? 1 : value == QLatin1String("radio") ? 2 : 0;
    if (indicator_) textStyle_ = (textStyle_ & ~(Qt::AlignHCenter | Qt::AlignRight)) | Qt::AlignLeft;
    Invalidate();
  } else CButtonUI::SetAttribute(nameIn, value);
}

bool COptionUI::DrawsIndicator() const { return indicator_ != 0; }

void COptionUI::PaintBkColor(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  if (DrawsIndicator() && UsesThemeLook()) return;  // the mark is the look
  if (selected_ && HasColor(selectedBkColor_)) {
    CRenderEngine::DrawColor(painter, GetPos(), selectedBkColor_, borderRound_ * f);
    return;
  }
  if (selected_ && UsesThemeLook()) {
    const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
    CRenderEngine::DrawColor(painter, GetPos(), (state_ & UISTATE_HOT) ? theme::kAccentHot : theme::kAccent, round);
    return;
  }
  CButtonUI::PaintBkColor(painter);
}

void COptionUI::PaintStatusImage(QPainter& painter) {
  if (selected_ && !selectedImage_.isEmpty()) {
    if ((state_ & UISTATE_HOT) && !selectedHotImage_.isEmpty()) DrawImage(painter, selectedHotImage_);
    else DrawImage(painter, selectedImage_);
    if (!selectedForeImage_.isEmpty()) DrawImage(painter, selectedForeImage_);
    else if (!foreImage_.isEmpty()) DrawImage(painter, foreImage_);
  } else {
    CButtonUI::PaintStatusImage(painter);
  }
  if (!DrawsIndicator() || !selectedImage_.isEmpty() || !normalImage_.isEmpty()) return;
  // The theme's check box or radio mark, left of the text.
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QRect pos = GetPos();
  const int side = int(16 * f);
  const QRectF box(pos.left() + 1, pos.center().y() - side / 2.0 + 0.5, side, side);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QColor accent = QColor::fromRgba(!IsEnabled() ? theme::kTextDisabled
                                         : (state_ & UISTATE_HOT) ? theme::kAccentHot : theme::kAccent);
  if (indicator_ == 2) {
    painter.setPen(QPen(selected_ ? accent : QColor::fromRgba(theme::kBorder), 1.5 * f));
    painter.setBrush(QColor::fromRgba(theme::kEditBk));
    painter.drawEllipse(box.adjusted(1, 1, -1, -1));
    if (selected_) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(accent);
      painter.drawEllipse(box.adjusted(side * 0.28, side * 0.28, -side * 0.28, -side * 0.28));
    }
  } else {
    painter.setPen(selected_ ? Qt::NoPen : QPen(QColor::fromRgba(theme::kBorder), 1.5 * f));
    painter.setBrush(selected_ ? accent : QColor::fromRgba(theme::kEditBk));
    painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 3 * f, 3 * f);
    if (selected_) {
      QPainterPath tick;
      tick.moveTo(box.left() + side * 0.25, box.top() + side * 0.52);
      tick.lineTo(box.left() + side * 0.43, box.top() + side * 0.70);
      tick.lineTo(box.left() + side * 0.76, box.top() + side * 0.32);
      painter.setPen(QPen(Qt::white, 2 * f, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(tick);
    }
  }
  painter.restore();
}

void COptionUI::PaintText(QPainter& painter) {
  uint32_t color = StateTextColor();
  if (selected_ && IsEnabled() && HasColor(selectedTextColor_)) color = selectedTextColor_;
  if (DrawsIndicator() && normalImage_.isEmpty() && textPadding_.left() == 0) {
    // Leave room for the drawn mark.
    const QMargins keep = textPadding_;
    textPadding_.setLeft(24);
    DrawText(painter, GetText(), color);
    textPadding_ = keep;
    return;
  }
  DrawText(painter, GetText(), color);
}

void COptionUI::PaintBorder(QPainter& painter) {
  if (DrawsIndicator() && UsesThemeLook() && borderSize_ == 0) {
    // The mark is the look: no frame, only the keyboard focus ring.
    if ((state_ & UISTATE_FOCUSED) && HasKeyboardFocus())
      CRenderEngine::DrawFocusRing(painter, GetPos(), theme::kAccentHot, QSize(6, 6));
    return;
  }
  CButtonUI::PaintBorder(painter);
}

CCheckBoxUI::CCheckBoxUI() {
  indicator_ = 1;
  textStyle_ = Qt::AlignLeft | Qt::AlignVCenter;
}

bool CCheckBoxUI::IsClass(const QString& c) const { return Is(c, "CheckBox") || COptionUI::IsClass(c); }

}  // namespace ui
