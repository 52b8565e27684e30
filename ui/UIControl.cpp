#include "ui/UIControl.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include "platform/MessageTarget.h"
#include "platform/Timers.h"
#include "ui/UIContainer.h"
#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UIResource.h"
#include "ui/UITheme.h"

namespace ui {

namespace {
uint64_t Now() { return uint64_t(QDateTime::currentMSecsSinceEpoch()); }

uint16_t KeyState(Qt::KeyboardModifiers mods) {
  uint16_t s = 0;
  if (mods & Qt::ControlModifier) s |= MK_CONTROL;
  if (mods & Qt::ShiftModifier) s |= MK_SHIFT;
  return s;
}
}  // namespace

CControlUI::CControlUI() {
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover, false);
  setFocusPolicy(Qt::NoFocus);
}

CControlUI::~CControlUI() {
  // Deleted directly rather than through Remove: leave the container.
  if (auto* box = qobject_cast<CContainerUI*>(parent_)) box->ForgetItem(this);
}

bool CControlUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("Control"), Qt::CaseInsensitive) == 0 ||
         className.compare(GetClass(), Qt::CaseInsensitive) == 0;
}

void CControlUI::SetName(const QString& name) {
  name_ = name;
  setObjectName(name);
}

QString CControlUI::GetText() const {
  if (!resourceText_) return text_;
  return CResourceManager::GetInstance().ResolveText(text_);
}

void CControlUI::SetText(const QString& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetResourceText(bool on) {
  resourceText_ = on;
  Invalidate();
}

QString CControlUI::GetToolTip() const { return CResourceManager::GetInstance().ResolveText(toolTip_); }

void CControlUI::SetToolTip(const QString& text) {
  toolTip_ = text;
  setToolTip(GetToolTip());
}

void CControlUI::ReloadText() {
  if (!toolTip_.isEmpty()) setToolTip(GetToolTip());
  Invalidate();
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && manager && !inited_) {
    inited_ = true;
    DoInit();
  }
}

QRect CControlUI::GetPos() const {
  const QWidget* top = window();
  if (top == this) return rect();
  return QRect(mapTo(top, QPoint(0, 0)), size());
}

void CControlUI::SetPos(const QRect& windowRect) {
  QRect local = windowRect;
  if (QWidget* p = parentWidget(); p && p != window()) {
    local.moveTopLeft(p->mapFrom(window(), windowRect.topLeft()));
  } else if (!p) {
    local.moveTopLeft(windowRect.topLeft());
  }
  if (geometry() != local) setGeometry(local);
}

void CControlUI::SetPadding(const QMargins& padding) {
  padding_ = padding;
  NeedParentUpdate();
}
void CControlUI::SetFixedWidth(int cx) {
  fixedWidth_ = std::max(cx, 0);
  NeedParentUpdate();
}
void CControlUI::SetFixedHeight(int cy) {
  fixedHeight_ = std::max(cy, 0);
  NeedParentUpdate();
}
void CControlUI::SetMinWidth(int cx) {
  minWidth_ = std::max(cx, 0);
  NeedParentUpdate();
}
void CControlUI::SetMinHeight(int cy) {
  minHeight_ = std::max(cy, 0);
  NeedParentUpdate();
}
void CControlUI::SetFloat(bool on) {
  float_ = on;
  NeedParentUpdate();
}
void CControlUI::SetFloatPos(const QRect& rc) {
  floatPos_ = rc;
  NeedParentUpdate();
}

int CControlUI::Scale(int value) const { return manager_ ? manager_->Scale(value) : value; }

void CControlUI::ApplyShown() {
  const bool shown = visible_ && internVisible_;
  if (isHidden() == shown) QWidget::setVisible(shown);
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  ApplyShown();
  NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  ApplyShown();
}

bool CControlUI::IsEnabled() const {
  for (const CControlUI* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void CControlUI::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) state_ &= ~UISTATE_DISABLED;
  else state_ = (state_ & ~(UISTATE_HOT | UISTATE_PUSHED | UISTATE_CAPTURED)) | UISTATE_DISABLED;
  // Qt's own enabled state follows, so input never reaches a control (or a
  // Qt widget inside it) under a disabled ancestor; changeEvent repaints
  // the subtree.
  QWidget::setEnabled(enabled);
  Invalidate();
}

void CControlUI::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    // An ancestor's change: drop a press or hover that can no longer end.
    if (!isEnabled()) state_ &= ~(UISTATE_HOT | UISTATE_PUSHED | UISTATE_CAPTURED);
    Invalidate();
  }
  QWidget::changeEvent(event);
}

CControlUI* CControlUI::GetPageRoot() const {
  for (const CControlUI* c = this; c; c = c->parent_)
    if (c->pageRoot_) return const_cast<CControlUI*>(c);
  return nullptr;
}

CControlUI* CControlUI::FindInScope(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (CControlUI* page = GetPageRoot(); page; page = page->parent_ ? page->parent_->GetPageRoot() : nullptr) {
    if (page->GetName() == name) return page;
    if (auto* box = qobject_cast<CContainerUI*>(page))
      if (CControlUI* found = box->FindSubControl(name)) return found;
  }
  return manager_ ? manager_->FindControl(name) : nullptr;
}

void CControlUI::SetMouseEnabled(bool on) {
  mouseEnabled_ = on;
  setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void CControlUI::SetFocus() {
  if (focusPolicy() == Qt::NoFocus) setFocusPolicy(Qt::ClickFocus);
  QWidget::setFocus(Qt::OtherFocusReason);
}

void CControlUI::SetBkColor(uint32_t argb) { bkColor_ = argb; Invalidate(); }
void CControlUI::SetBkColor2(uint32_t argb) { bkColor2_ = argb; Invalidate(); }
void CControlUI::SetBorderColor(uint32_t argb) { borderColor_ = argb; Invalidate(); }
void CControlUI::SetFocusBorderColor(uint32_t argb) { focusBorderColor_ = argb; Invalidate(); }
void CControlUI::SetBorderSize(int size) {
  borderSize_ = std::max(size, 0);
  borderSides_ = {};
  Invalidate();
}

void CControlUI::SetBorderSides(const QMargins& sides) {
  borderSides_ = QMargins(std::max(sides.left(), 0), std::max(sides.top(), 0), std::max(sides.right(), 0),
                          std::max(sides.bottom(), 0));
  borderSize_ = 0;
  Invalidate();
}
void CControlUI::SetBorderRound(QSize round) { borderRound_ = round; Invalidate(); }
void CControlUI::SetBkImage(const QString& image) { bkImage_ = image; Invalidate(); }
void CControlUI::SetForeImage(const QString& image) { foreImage_ = image; Invalidate(); }

QString CControlUI::GetVirtualWnd() const {
  for (const CControlUI* c = this; c; c = c->parent_)
    if (!c->virtualWnd_.isEmpty()) return c->virtualWnd_;
  return {};
}

void CControlUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("name")) SetName(value);
  else if (name == QLatin1String("text")) SetText(value);
  else if (name == QLatin1String("tooltip")) SetToolTip(value);
  else if (name == QLatin1String("resourcetext")) SetResourceText(ParseBool(value));
  else if (name == QLatin1String("width")) SetFixedWidth(value.toInt());
  else if (name == QLatin1String("height")) SetFixedHeight(value.toInt());
  else if (name == QLatin1String("minwidth")) SetMinWidth(value.toInt());
  else if (name == QLatin1String("minheight")) SetMinHeight(value.toInt());
  else if (name == QLatin1String("maxwidth")) { maxWidth_ = value.toInt(); NeedParentUpdate(); }
  else if (name == QLatin1String("maxheight")) { maxHeight_ = value.toInt(); NeedParentUpdate(); }
  else if (name == QLatin1String("padding")) SetPadding(ParseMargins(value));
  else if (name == QLatin1String("float")) SetFloat(ParseBool(value));
  else if (name == QLatin1String("pos")) {
    const QRect rc = ParseRect(value);
    SetFloatPos(rc);
    if (fixedWidth_ == 0 && rc.width() > 0) fixedWidth_ = rc.width();
    if (fixedHeight_ == 0 && rc.height() > 0) fixedHeight_ = rc.height();
  } else if (name == QLatin1String("bkcolor") || name == QLatin1String("bkcolor1")) SetBkColor(ParseColor(value));
  else if (name == QLatin1String("bkcolor2")) SetBkColor2(ParseColor(value));
  else if (name == QLatin1String("bordercolor")) SetBorderColor(ParseColor(value));
  else if (name == QLatin1String("focusbordercolor")) SetFocusBorderColor(ParseColor(value));
  else if (name == QLatin1String("bordersize")) {
    if (value.contains(',')) SetBorderSides(ParseMargins(value));
    else SetBorderSize(value.toInt());
  }
  else if (name == QLatin1String("borderround")) SetBorderRound(ParseSize(value));
  else if (name == QLatin1String("bkimage")) SetBkImage(value);
  else if (name == QLatin1String("foreimage")) SetForeImage(value);
  else if (name == QLatin1String("visible")) SetVisible(ParseBool(value));
  else if (name == QLatin1String("enabled")) SetEnabled(ParseBool(value));
  else if (name == QLatin1String("pageroot")) SetPageRoot(ParseBool(value));
  else if (name == QLatin1String("mouse")) SetMouseEnabled(ParseBool(value));
  else if (name == QLatin1String("keyboard")) SetKeyboardEnabled(ParseBool(value));
  else if (name == QLatin1String("menu")) SetContextMenuUsed(ParseBool(value));
  else if (name == QLatin1String("userdata")) SetUserData(value);
  else if (name == QLatin1String("tag")) SetTag(uintptr_t(value.toULongLong()));
  else if (name == QLatin1String("virtualwnd")) SetVirtualWnd(value);
  else if (name == QLatin1String("cursor")) SetCursorName(value);
  else if (name == QLatin1String("style")) ApplyAttributeList(CPaintManagerUI::FindStyle(manager_, value));
  else unknownAttribute_ = true;
}

void CControlUI::ApplyAttributeList(const QString& list) {
  int i = 0;
  const int n = int(list.size());
  while (i < n) {
    while (i < n && list[i].isSpace()) ++i;
    const int eq = int(list.indexOf('=', i));
    if (eq < 0) break;
    const QString key = list.mid(i, eq - i).trimmed();
    int q = eq + 1;
    while (q < n && list[q].isSpace()) ++q;
    if (q >= n || (list[q] != '"' && list[q] != '\'')) break;
    const QChar quote = list[q];
    const int end = int(list.indexOf(quote, q + 1));
    if (end < 0) break;
    SetAttribute(key, list.mid(q + 1, end - q - 1));
    i = end + 1;
  }
}

bool CControlUI::SetCursorName(const QString& name) {
  static const std::pair<const char*, Qt::CursorShape> kCursors[] = {
      {"arrow", Qt::ArrowCursor},       {"ibeam", Qt::IBeamCursor},        {"wait", Qt::WaitCursor},
      {"cross", Qt::CrossCursor},       {"uparrow", Qt::UpArrowCursor},    {"size", Qt::SizeAllCursor},
      {"icon", Qt::ArrowCursor},        {"sizenwse", Qt::SizeFDiagCursor}, {"sizenesw", Qt::SizeBDiagCursor},
      {"sizewe", Qt::SizeHorCursor},    {"sizens", Qt::SizeVerCursor},     {"sizeall", Qt::SizeAllCursor},
      {"no", Qt::ForbiddenCursor},      {"hand", Qt::PointingHandCursor},
  };
  for (const auto& [n, shape] : kCursors) {
    if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
      setCursor(shape);
      return true;
    }
  }
  return false;
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
      state_ |= UISTATE_FOCUSED;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      state_ &= ~UISTATE_FOCUSED;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      if (manager_) manager_->SendNotify(this, notify::kTimer, event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (contextMenu_ && manager_) {
        manager_->SendNotify(this, notify::kMenu, event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (parent_) parent_->DoEvent(event);
  else if (manager_ && event.Type == UIEVENT_BUTTONDOWN) manager_->StartCaptionDrag(event.ptMouse);
}

bool CControlUI::Activate() { return IsEnabled() && visible_; }

void CControlUI::DoPaint(QPainter& painter, const QRect&) {
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  PaintBorder(painter);
}

void CControlUI::PaintBkColor(QPainter& painter) {
  const QRect rc = GetPos();
  if (HasColor(bkColor_) && HasColor(bkColor2_)) {
    QLinearGradient g(rc.topLeft(), rc.bottomLeft());
    g.setColorAt(0, QColor::fromRgba(bkColor_));
    g.setColorAt(1, QColor::fromRgba(bkColor2_));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(g);
    const QSize r = borderRound_ * (manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0);
    painter.drawRoundedRect(QRectF(rc), r.width() / 2.0, r.height() / 2.0);
    painter.restore();
    return;
  }
  CRenderEngine::DrawColor(painter, rc, bkColor_, borderRound_ * (manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0));
}

void CControlUI::PaintBkImage(QPainter& painter) {
  if (!bkImage_.isEmpty()) DrawImage(painter, bkImage_);
}

void CControlUI::PaintStatusImage(QPainter&) {}
void CControlUI::PaintText(QPainter&) {}

void CControlUI::PaintBorder(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const uint32_t color = (IsFocused() && HasColor(focusBorderColor_)) ? focusBorderColor_ : borderColor_;
  if (borderSize_ > 0)
    CRenderEngine::DrawBorder(painter, GetPos(), color, std::max(1, int(borderSize_ * f)), borderRound_ * f);
  else if (!borderSides_.isNull() && HasColor(color)) {
    const QRect rc = GetPos();
    auto side = [&](int width) { return width > 0 ? std::max(1, int(width * f)) : 0; };
    const int l = side(borderSides_.left()), t = side(borderSides_.top());
    const int r = side(borderSides_.right()), b = side(borderSides_.bottom());
    const QColor c = QColor::fromRgba(color);
    if (l) painter.fillRect(QRect(rc.left(), rc.top(), l, rc.height()), c);
    if (t) painter.fillRect(QRect(rc.left(), rc.top(), rc.width(), t), c);
    if (r) painter.fillRect(QRect(rc.right() - r + 1, rc.top(), r, rc.height()), c);
    if (b) painter.fillRect(QRect(rc.left(), rc.bottom() - b + 1, rc.width(), b), c);
  }
}

bool CControlUI::DrawImage(QPainter& painter, const QString& image) {
  return CRenderEngine::DrawImageString(painter, manager_, GetPos(), image);
}

uint32_t CControlUI::TextColorFor(uint32_t color) const {
  if (!IsEnabled()) return theme::kTextDisabled;
  return HasColor(color) ? color : theme::kText;
}

void CControlUI::Invalidate() { update(); }

void CControlUI::NeedUpdate() {
  if (auto* self = qobject_cast<CContainerUI*>(this)) self->RequestLayout();
  NeedParentUpdate();
  update();
}

void CControlUI::NeedParentUpdate() {
  if (auto* p = qobject_cast<CContainerUI*>(parent_)) p->RequestLayout();
}

bool CControlUI::NotifyAlive(const QString& type, uint64_t wParam, int64_t lParam) {
  if (!manager_) return true;
  QPointer<CControlUI> self(this);
  manager_->SendNotify(this, type, wParam, lParam);
  return !self.isNull();
}

// Timer calls from other threads are queued to the UI thread in the order
// they were made, so a worker's set then kill ends with no timer; the timer
// set itself is made and used on the UI thread only.
bool CControlUI::QueueToUi(std::function<void()> call) {
  if (platform::OnUiThread()) return false;
  QPointer<CControlUI> self(this);
  QMetaObject::invokeMethod(this, [self, call = std::move(call)] { if (self) call(); }, Qt::QueuedConnection);
  return true;
}

void CControlUI::ArmTimer(uint32_t id, uint32_t elapseMs) {
  if (QueueToUi([this, id, elapseMs] { ArmTimer(id, elapseMs); })) return;
  if (!timers_) {
    timers_ = std::make_unique<platform::TimerSet>(this, [this](uint32_t timerId) {
      TEventUI event;
      event.Type = UIEVENT_TIMER;
      event.pSender = this;
      event.dwTimestamp = Now();
      event.wParam = timerId;
      DoEvent(event);
    });
  }
  timers_->SetTimer(id, elapseMs);
}

void CControlUI::DisarmTimer(uint32_t id) {
  if (QueueToUi([this, id] { DisarmTimer(id); })) return;
  if (timers_) timers_->KillTimer(id);
}

void CControlUI::DisarmAllTimers() {
  if (QueueToUi([this] { DisarmAllTimers(); })) return;
  if (timers_) timers_->KillAll();
}

bool CControlUI::IsTimerArmed(uint32_t id) const {
  VX27_ASSERT_UI_THREAD();
  return timers_ && timers_->IsArmed(id);
}

uint32_t CControlUI::TimerInterval(uint32_t id) const { return timers_ ? timers_->Interval(id) : 0; }

QSize CControlUI::EstimateSize(QSize) const { return QSize(Scale(fixedWidth_), Scale(fixedHeight_)); }

void CControlUI::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QRect pos = GetPos();
  painter.translate(-pos.topLeft());
  DoPaint(painter, pos);
}

QPoint CControlUI::ToWindow(QPoint local) const {
  const QWidget* top = window();
  return top == this ? local : mapTo(top, local);
}

void CControlUI::SendEvent(TEventUI& event) {
  event.pSender = this;
  event.dwTimestamp = Now();
  DoEvent(event);
}

void CControlUI::mousePressEvent(QMouseEvent* e) {
  TEventUI event;
  event.Type = e->button() == Qt::RightButton ? UIEVENT_RBUTTONDOWN : UIEVENT_BUTTONDOWN;
  event.ptMouse = ToWindow(e->position().toPoint());
  event.wKeyState = KeyState(e->modifiers());
  if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) SendEvent(event);
  e->accept();
}

void CControlUI::mouseReleaseEvent(QMouseEvent* e) {
  TEventUI event;
  event.ptMouse = ToWindow(e->position().toPoint());
  event.wKeyState = KeyState(e->modifiers());
  if (e->button() == Qt::LeftButton) {
    event.Type = UIEVENT_BUTTONUP;
    SendEvent(event);
  } else if (e->button() == Qt::RightButton) {
    // The context menu follows the right button's release.
    event.Type = UIEVENT_CONTEXTMENU;
    event.lParam = int64_t(uint16_t(event.ptMouse.x())) | (int64_t(uint16_t(event.ptMouse.y())) << 16);
    SendEvent(event);
  }
  e->accept();
}

void CControlUI::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  TEventUI event;
  event.Type = UIEVENT_DBLCLICK;
  event.ptMouse = ToWindow(e->position().toPoint());
  event.wKeyState = KeyState(e->modifiers());
  SendEvent(event);
  e->accept();
}

void CControlUI::mouseMoveEvent(QMouseEvent* e) {
  TEventUI event;
  event.Type = UIEVENT_MOUSEMOVE;
  event.ptMouse = ToWindow(e->position().toPoint());
  event.wKeyState = KeyState(e->modifiers());
  SendEvent(event);
  e->accept();
}

void CControlUI::enterEvent(QEnterEvent* e) {
  TEventUI event;
  event.Type = UIEVENT_MOUSEENTER;
  event.ptMouse = ToWindow(e->position().toPoint());
  SendEvent(event);
}

void CControlUI::leaveEvent(QEvent*) {
  TEventUI event;
  event.Type = UIEVENT_MOUSELEAVE;
  SendEvent(event);
}

void CControlUI::wheelEvent(QWheelEvent* e) {
  TEventUI event;
  event.Type = UIEVENT_SCROLLWHEEL;
  event.ptMouse = ToWindow(e->position().toPoint());
  event.wParam = e->angleDelta().y() > 0 ? 0 : 1;  // 0 up, 1 down
  event.lParam = e->angleDelta().y();
  SendEvent(event);
  e->accept();
}

void CControlUI::keyPressEvent(QKeyEvent* e) {
  TEventUI event;
  event.Type = UIEVENT_KEYDOWN;
  event.chKey = e->key();
  event.wKeyState = KeyState(e->modifiers());
  SendEvent(event);
  e->accept();
}

void CControlUI::focusInEvent(QFocusEvent* e) {
  keyboardFocus_ = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason;
  TEventUI event;
  event.Type = UIEVENT_SETFOCUS;
  if (manager_) manager_->SetFocus(this);
  SendEvent(event);
}

void CControlUI::focusOutEvent(QFocusEvent*) {
  TEventUI event;
  event.Type = UIEVENT_KILLFOCUS;
  SendEvent(event);
}

void CControlUI::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

}  // namespace ui
