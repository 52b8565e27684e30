#pragma once
// Windows: CWindowWnd (a top-level window with its message target),
// WindowImplBase (a window built from a named layout whose control events
// reach Notify), and CNotifyPump (maps from notification type, and control
// name, to handlers; virtual windows).
//
// Messages reach a window through its platform::MessageTarget: workers Send
// or Post to it. Every message first goes to HandleCustomMessage (the
// custom message hook); what it leaves unhandled gets the window's default
// handling. Closing a window (Close) ends only that window and, when it runs
// modally, its own ShowModal; the program's loop ends only with
// CPaintManagerUI::PostQuitMessage.

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/MessageTarget.h"
#include "ui/UIDefs.h"
#include "ui/UIManager.h"

class QEventLoop;

namespace platform {
class TimerSet;
}

namespace ui {

class WindowHost;

class CNotifyPump {
 public:
  using Handler = std::function<void(TNotifyUI&)>;
  virtual ~CNotifyPump() = default;

  // A handler for one notification type from any control, or from the
  // control of that name only (which wins over the type-only handler).
  void AddNotifyHandler(const QString& type, Handler handler);
  void AddNotifyHandler(const QString& type, const QString& controlName, Handler handler);
  bool AddVirtualWnd(const QString& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const QString& name);
  // A notification whose sender has a virtual window name goes to that
  // virtual window's pump; otherwise to this pump's map.
  void NotifyPump(TNotifyUI& msg);
  // This pump's map only; true when a handler ran.
  bool LoopDispatch(TNotifyUI& msg);

 private:
  std::map<std::pair<QString, QString>, Handler> handlers_;  // (type, control name or "")
  std::map<QString, CNotifyPump*> virtualWnds_;
};

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // Creates the window (hidden). `owner` (another window's GetHWND()) may be
  // null. Returns false when the window could not be built (WM_CREATE
  // answered -1).
  bool Create(QWidget* owner, const QString& windowName, uint32_t style = 0, uint32_t exStyle = 0,
              int x = 0, int y = 0, int cx = 0, int cy = 0);
  QWidget* GetHWND() const;
  bool IsWindow() const { return created_ && !destroyed_; }
  void ShowWindow(bool show = true, bool takeFocus = true);
  bool IsVisible() const;
  // Shows the window modally and runs until it is closed; returns the value
  // given to Close. Other windows stay responsive to code but not to input.
  int ShowModal();
  bool IsModal() const { return modalLoop_ != nullptr; }
  // Closes the window: WM_CLOSE (wParam = result) through the message hook;
  // unless the hook handles it the window is destroyed (WM_DESTROY, then
  // OnFinalMessage) and a running ShowModal returns `result`.
  void Close(int result = 1);
  void CenterWindow();
  void SetIcon(int) {}
  void ResizeClient(int cx, int cy);

  platform::MessageTarget& Target() { return *target_; }
  int64_t SendMessage(uint32_t id, uint64_t wParam = 0, int64_t lParam = 0);
  void PostMessage(uint32_t id, uint64_t wParam = 0, int64_t lParam = 0);
  // Window timers: WM_TIMER with wParam = id; the same id re-arms.
  void SetTimer(uint32_t id, uint32_t elapseMs);
  void KillTimer(uint32_t id);

  virtual QString GetWindowClassName() const = 0;

 protected:
  virtual int64_t HandleMessage(const platform::Message& msg);
  // The window was destroyed (after WM_DESTROY). It runs on a later turn of
  // the event loop, outside the window's own event handling, so a window
  // may delete itself here; it does not run when the object is deleted
  // first.
  virtual void OnFinalMessage() {}
  // Host events the window base turns into messages.
  friend class WindowHost;
  void OnHostClose();
  void OnHostResize();
  void OnHostActivation(bool active);  // WM_ACTIVATE, then WM_KILLFOCUS when it lost activation
  void OnHostPointer(bool inside);     // WM_MOUSEHOVER / WM_MOUSELEAVE
  void Destroy();

  std::unique_ptr<WindowHost> host_;

 private:
  std::unique_ptr<platform::MessageTarget> target_;
  std::unique_ptr<platform::TimerSet> timers_;
  QEventLoop* modalLoop_ = nullptr;  // the running ShowModal's loop (on its stack)
  int modalResult_ = 0;
  bool created_ = false;
  bool destroyed_ = false;
  QPointer<QWidget> owner_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Teardown order: (1) the derived window's destructor runs while its whole
// control tree, its manager and its Notify still work, so that is where it
// stops its page threads and anything else that reaches its controls;
// (2) ~WindowImplBase stops notifications to the window and destroys the
// control tree, while the manager the controls point to still exists;
// (3) the manager; (4) ~CWindowWnd: timers and the message target.
class WindowImplBase : public CWindowWnd, public CNotifyPump, public INotifyUI, public IDialogBuilderCallback {
 public:
  WindowImplBase();
  ~WindowImplBase() override;

  // The layout of the window (resource index name or skin path).
  virtual QString GetSkinFile() = 0;
  virtual QString GetSkinFolder() { return {}; }
  // Called once the layout is built and attached.
  virtual void InitWindow() {}
  // Every notification of the window's controls; by default the notify pump.
  void Notify(TNotifyUI& msg) override;
  // Builder callback for class names the layer does not know.
  CControlUI* CreateControl(const QString& className) override;
  // The custom message hook: sees every message first. Set `handled` to
  // stop the default handling.
  virtual int64_t HandleCustomMessage(const platform::Message& msg, bool& handled);
  virtual int64_t OnCreate(const platform::Message& msg);
  virtual int64_t OnClose(const platform::Message& msg, bool& handled);
  virtual int64_t OnDestroy(const platform::Message& msg, bool& handled);

  CPaintManagerUI& PaintManager() { return m_pm; }
  CControlUI* FindControl(const QString& name) const { return m_pm.FindControl(name); }

 protected:
  int64_t HandleMessage(const platform::Message& msg) override;
  CPaintManagerUI m_pm;
  // The caption area (96-DPI, from the layout's "caption": left, top, right
  // inset from the right edge, bottom): a press there that no control takes
  // moves the window.
  QMargins caption_;
};

}  // namespace ui
