#pragma once
// CControlUI: the base of every control. Each control is a QWidget that draws
// itself (background colour and image, status image, text, border) with
// QPainter and turns Qt's input events into TEventUI events for DoEvent.
//
// Sizes, paddings and positions are set as 96-DPI values and scaled by the
// manager's DPI when the parent lays the control out. GetPos() is the
// control's rectangle in window coordinates; the painter handed to DoPaint
// and the Paint* steps uses the same coordinates.
//
// A control's text may be a language text id: GetText() returns the chosen
// language's text for it, or the text itself when no language has that id.

#include <cstdint>
#include <functional>
#include <memory>

#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>

#include "ui/UIDefs.h"

class QPainter;

namespace platform {
class TimerSet;
}

namespace ui {

class CPaintManagerUI;
class CContainerUI;

class CControlUI : public QWidget {
  Q_OBJECT
  friend class CContainerUI;  // keeps parent_ true when children come and go

 public:
  CControlUI();
  ~CControlUI() override;

  virtual QString GetClass() const { return QStringLiteral("Control"); }
  // The class names this control answers to (for casts by name).
  virtual bool IsClass(const QString& className) const;

  QString GetName() const { return name_; }
  void SetName(const QString& name);

  // Text: the shown text resolves text ids through the resource manager.
  virtual QString GetText() const;
  virtual void SetText(const QString& text);
  QString GetRawText() const { return text_; }
  // When false the text is shown as it stands, never as a text id.
  void SetResourceText(bool on);
  bool IsResourceText() const { return resourceText_; }
  QString GetToolTip() const;
  void SetToolTip(const QString& text);
  // Refreshes the shown text and tooltip after a language change.
  virtual void ReloadText();

  CPaintManagerUI* GetManager() const { return manager_; }
  // Sets the manager on this control (and, for containers, on the subtree);
  // `init` runs DoInit once.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  CControlUI* GetParent() const { return parent_; }
  virtual void DoInit() {}

  // Geometry in window coordinates.
  QRect GetPos() const;
  // Places the control; called by the parent's layout with a scaled rectangle.
  virtual void SetPos(const QRect& windowRect);
  QMargins GetPadding() const { return padding_; }
  void SetPadding(const QMargins& padding);
  int GetFixedWidth() const { return fixedWidth_; }   // 96-DPI value, 0 = not fixed
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return minWidth_; }
  int GetMinHeight() const { return minHeight_; }
  void SetMinWidth(int cx);
  void SetMinHeight(int cy);
  int GetMaxWidth() const { return maxWidth_; }
  int GetMaxHeight() const { return maxHeight_; }
  bool IsFloat() const { return float_; }
  void SetFloat(bool on);
  QRect GetFloatPos() const { return floatPos_; }  // 96-DPI, relative to the parent
  void SetFloatPos(const QRect& rc);
  int Scale(int value) const;

  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility imposed by the parent (a tab layout's hidden pages).
  void SetInternVisible(bool visible);
  bool IsInternVisible() const { return internVisible_; }
  // Enabled state is inherited: a control acts and draws as enabled only
  // when it and every ancestor are enabled. IsOwnEnabled is its own flag.
  bool IsEnabled() const;
  bool IsOwnEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool on);
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  void SetKeyboardEnabled(bool on) { keyboardEnabled_ = on; }
  bool IsContextMenuUsed() const { return contextMenu_; }
  void SetContextMenuUsed(bool on) { contextMenu_ = on; }
  bool IsFocused() const { return (state_ & UISTATE_FOCUSED) != 0; }
  // Focus that came from the keyboard (Tab), which shows a focus ring.
  bool HasKeyboardFocus() const { return IsFocused() && keyboardFocus_; }
  void SetFocus();

  // Looks, 32-bit ARGB colours (alpha 0 = none).
  uint32_t GetBkColor() const { return bkColor_; }
  void SetBkColor(uint32_t argb);
  uint32_t GetBkColor2() const { return bkColor2_; }
  void SetBkColor2(uint32_t argb);
  uint32_t GetBorderColor() const { return borderColor_; }
  void SetBorderColor(uint32_t argb);
  uint32_t GetFocusBorderColor() const { return focusBorderColor_; }
  void SetFocusBorderColor(uint32_t argb);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);
  // Per-side border widths ("bordersize" given as "left,top,right,bottom");
  // empty when one width goes all round.
  QMargins GetBorderSides() const { return borderSides_; }
  void SetBorderSides(const QMargins& sides);
  QSize GetBorderRound() const { return borderRound_; }
  void SetBorderRound(QSize round);
  QString GetBkImage() const { return bkImage_; }
  void SetBkImage(const QString& image);
  QString GetForeImage() const { return foreImage_; }
  void SetForeImage(const QString& image);

  // Page scope. A page root (set by code or the "pageroot" attribute) is
  // the top of a device page: option groups inside it reach only options of
  // the same page, and look-ups by name from inside it (tab bindings,
  // FindInScope) find the page's own controls first, so a layout built once
  // per page into one window works on every page.
  void SetPageRoot(bool on) { pageRoot_ = on; }
  bool IsPageRoot() const { return pageRoot_; }
  // The nearest page root at or above this control; null = the window.
  CControlUI* GetPageRoot() const;
  // The control named `name` in this control's page, else in the enclosing
  // pages outwards, else anywhere in the window; null when there is none.
  CControlUI* FindInScope(const QString& name) const;

  QString GetUserData() const { return userData_; }
  void SetUserData(const QString& data) { userData_ = data; }
  uintptr_t GetTag() const { return tag_; }
  void SetTag(uintptr_t tag) { tag_ = tag; }
  QString GetVirtualWnd() const;
  void SetVirtualWnd(const QString& name) { virtualWnd_ = name; }
  uint32_t GetButtonState() const { return state_; }
  // Colours pass through unchanged (the skin has no hue adjustment); kept
  // so controls can write their drawing as the skin system expects.
  uint32_t GetAdjustColor(uint32_t argb) const { return argb; }
  // The pointer shape over the control ("cursor" attribute: arrow, hand,
  // ibeam, wait, cross, uparrow, size, sizenwse, sizenesw, sizewe, sizens,
  // sizeall, no); false for other names.
  bool SetCursorName(const QString& name);

  // Layout attributes. Names are compared without regard to case. Unknown
  // names are ignored.
  virtual void SetAttribute(const QString& name, const QString& value);
  // True once after SetAttribute met a name no class of the control knows
  // (the base class's fall-through marks it); the builder traces it.
  bool TakeUnknownAttribute() {
    const bool was = unknownAttribute_;
    unknownAttribute_ = false;
    return was;
  }
  // "name=\"value\" name2=\"value\"" as in class defaults and styles.
  void ApplyAttributeList(const QString& list);
  void SetAttributeList(const QString& list) { ApplyAttributeList(list); }

  // Event entry: the default handles focus, timers ("timer" notification)
  // and the context menu ("menu" when used) and hands everything else to the
  // parent, so a click on a label inside a list row reaches the row.
  virtual void DoEvent(TEventUI& event);
  // The control's action (buttons send "click"); false when it is hidden
  // or disabled.
  virtual bool Activate();

  // Painting, in window coordinates.
  virtual void DoPaint(QPainter& painter, const QRect& paintRect);
  virtual void PaintBkColor(QPainter& painter);
  virtual void PaintBkImage(QPainter& painter);
  virtual void PaintStatusImage(QPainter& painter);
  virtual void PaintText(QPainter& painter);
  virtual void PaintBorder(QPainter& painter);
  bool DrawImage(QPainter& painter, const QString& image);

  void Invalidate();
  // The control's size or visibility changed: its parent lays out again.
  void NeedUpdate();
  void NeedParentUpdate();

  // Per-control timers (used through CPaintManagerUI::SetTimer). Any thread
  // may arm and disarm: calls from other threads are queued to the UI
  // thread in order. IsTimerArmed is for the UI thread.
  void ArmTimer(uint32_t id, uint32_t elapseMs);
  void DisarmTimer(uint32_t id);
  void DisarmAllTimers();
  bool IsTimerArmed(uint32_t id) const;
  // The armed timer's period in ms; 0 when it is not armed.
  uint32_t TimerInterval(uint32_t id) const;

  // Wanted size for `available` (scaled); fixed sizes win, 0 = take a share.
  virtual QSize EstimateSize(QSize available) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

  QPoint ToWindow(QPoint local) const;
  // Sends a notification from this control. False when the control was
  // destroyed while it was delivered (a handler's nested loop, such as a
  // message box, may remove it): the caller must not touch `this` then.
  bool NotifyAlive(const QString& type, uint64_t wParam = 0, int64_t lParam = 0);
  // Off the UI thread: queues `call` to it (dropped if this control is gone
  // by then) and returns true; on the UI thread returns false.
  bool QueueToUi(std::function<void()> call);
  void SendEvent(TEventUI& event);
  void ApplyShown();
  // The text colour of the current state (falls back to the theme).
  uint32_t TextColorFor(uint32_t color) const;

  QString name_;
  QString text_;
  QString toolTip_;
  bool resourceText_ = true;
  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  bool inited_ = false;
  QMargins padding_;
  int fixedWidth_ = 0, fixedHeight_ = 0;
  int minWidth_ = 0, minHeight_ = 0;
  int maxWidth_ = 99999, maxHeight_ = 99999;
  bool float_ = false;
  QRect floatPos_;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool pageRoot_ = false;
  bool unknownAttribute_ = false;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool contextMenu_ = false;
  uint32_t bkColor_ = 0, bkColor2_ = 0;
  uint32_t borderColor_ = 0, focusBorderColor_ = 0;
  int borderSize_ = 0;
  QMargins borderSides_;
  QSize borderRound_;
  QString bkImage_, foreImage_;
  QString userData_;
  uintptr_t tag_ = 0;
  QString virtualWnd_;
  uint32_t state_ = 0;
  bool keyboardFocus_ = false;
  std::unique_ptr<platform::TimerSet> timers_;
};

}  // namespace ui
