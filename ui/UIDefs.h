#pragma once
// Shared vocabulary of the UI layer: notification types, the notification
// record, the event record controls receive, control state bits, the window
// message numbers the window base produces, and the small callback interfaces
// windows implement.

#include <cstdint>

#include <QPoint>
#include <QtGlobal>
#include <QString>

namespace platform {
bool OnUiThread();
}

// Debug builds stop where a call that only the UI thread may make comes
// from another thread (workers use Send/Post, or the timer calls, which
// queue themselves).
#ifndef NDEBUG
#define VX27_ASSERT_UI_THREAD() Q_ASSERT_X(::platform::OnUiThread(), Q_FUNC_INFO, "UI thread only")
#else
#define VX27_ASSERT_UI_THREAD() ((void)0)
#endif

namespace ui {

class CControlUI;

// Notification types, as pages compare them.
namespace notify {
inline const QString kWindowInit = QStringLiteral("windowinit");
inline const QString kWindowSize = QStringLiteral("windowsize");
inline const QString kClick = QStringLiteral("click");
inline const QString kDbClick = QStringLiteral("dbclick");
inline const QString kSelectChanged = QStringLiteral("selectchanged");
inline const QString kValueChanged = QStringLiteral("valuechanged");
inline const QString kMoveValueChanged = QStringLiteral("movevaluechanged");
inline const QString kItemSelect = QStringLiteral("itemselect");
inline const QString kItemClick = QStringLiteral("itemclick");
inline const QString kItemActivate = QStringLiteral("itemactivate");
inline const QString kSetFocus = QStringLiteral("setfocus");
inline const QString kKillFocus = QStringLiteral("killfocus");
inline const QString kTextChanged = QStringLiteral("textchanged");
inline const QString kReturn = QStringLiteral("return");
inline const QString kTimer = QStringLiteral("timer");
inline const QString kMenu = QStringLiteral("menu");
inline const QString kColorChanged = QStringLiteral("colorchanged");
inline const QString kMouseEnter = QStringLiteral("msenter");
inline const QString kMouseLeave = QStringLiteral("msleave");
// Sent by the custom controls and pages built on this layer.
inline const QString kCheckClick = QStringLiteral("checkclick");
inline const QString kClickSelectEnd = QStringLiteral("click_select_end");
inline const QString kClickHandDelete = QStringLiteral("click_handdelete");
inline const QString kClickWpRemove = QStringLiteral("click_wpremove");
inline const QString kClickWpEdit = QStringLiteral("click_wpedit");
}  // namespace notify

// One notification: its type, the control that sent it and two parameters.
// sVirtualWnd is the sender's "virtualwnd" (inherited from its ancestors) and
// routes the notification to a virtual window of the notify pump.
struct TNotifyUI {
  QString sType;
  QString sVirtualWnd;
  CControlUI* pSender = nullptr;
  uint64_t dwTimestamp = 0;
  QPoint ptMouse;
  uint64_t wParam = 0;
  int64_t lParam = 0;
};

// Events a control receives. Mouse points are in window coordinates (the
// coordinates of GetPos()).
enum EventType {
  UIEVENT_MOUSEMOVE = 1,
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_RBUTTONDOWN,
  UIEVENT_DBLCLICK,
  UIEVENT_CONTEXTMENU,
  UIEVENT_SCROLLWHEEL,
  UIEVENT_KEYDOWN,
  UIEVENT_KEYUP,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
  UIEVENT_TIMER,
};

// Modifier bits of TEventUI::wKeyState.
inline constexpr uint16_t MK_CONTROL = 0x0008;
inline constexpr uint16_t MK_SHIFT = 0x0004;

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  uint64_t dwTimestamp = 0;
  QPoint ptMouse;
  int chKey = 0;        // Qt key code for key events
  uint16_t wKeyState = 0;
  uint64_t wParam = 0;  // timer id for UIEVENT_TIMER; wheel delta sign for scrolling
  int64_t lParam = 0;
};

// Control state bits (CControlUI::GetButtonState).
inline constexpr uint32_t UISTATE_FOCUSED = 0x00000001;
inline constexpr uint32_t UISTATE_SELECTED = 0x00000002;
inline constexpr uint32_t UISTATE_DISABLED = 0x00000004;
inline constexpr uint32_t UISTATE_HOT = 0x00000008;
inline constexpr uint32_t UISTATE_PUSHED = 0x00000010;
inline constexpr uint32_t UISTATE_READONLY = 0x00000020;
inline constexpr uint32_t UISTATE_CAPTURED = 0x00000040;

// Window messages the window base itself produces or understands, with the
// numbers the pages' dispatchers compare against.
namespace wm {
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_ACTIVATE = 0x0006;  // wParam 1 active, 0 inactive
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
inline constexpr uint32_t WM_MOUSEHOVER = 0x02A1;
inline constexpr uint32_t WM_MOUSELEAVE = 0x02A3;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_DPICHANGED = 0x02E0;
inline constexpr uint64_t SC_MINIMIZE = 0xF020;
inline constexpr uint64_t SC_MAXIMIZE = 0xF030;
inline constexpr uint64_t SC_CLOSE = 0xF060;
inline constexpr uint64_t SC_RESTORE = 0xF120;
}  // namespace wm

// Receives notifications (CPaintManagerUI::AddNotifier).
class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Creates controls for class names the layer does not know itself.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual CControlUI* CreateControl(const QString& className) = 0;
};

// May supply the text of a text id before the language table is asked; a
// null string means "not mine".
class IQueryControlText {
 public:
  virtual ~IQueryControlText() = default;
  virtual QString QueryControlText(const QString& id, const QString& type) = 0;
};

}  // namespace ui
