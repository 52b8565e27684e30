#include "ui/UIWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "platform/Timers.h"
#include "platform/Trace.h"
#include "ui/UIBuilder.h"
#include "ui/UIControl.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

// The top-level widget of a window. It turns the desktop's close request
// and resizes into the window's messages and paints the window background
// under the control tree.
class WindowHost : public QWidget {
 public:
  explicit WindowHost(CWindowWnd* wnd) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), wnd_(wnd) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, false);
  }
  void Detach() { wnd_ = nullptr; }

 protected:
  void closeEvent(QCloseEvent* e) override {
    // The window decides: the default handling hides it through Close.
    e->ignore();
    if (wnd_) wnd_->OnHostClose();
  }
  void resizeEvent(QResizeEvent*) override {
    if (wnd_) wnd_->OnHostResize();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgba(theme::kWindowBk));
  }
  // Activation, and the pointer entering and leaving the window, reach the
  // window as messages.
  void changeEvent(QEvent* e) override {
    if (wnd_ && e->type() == QEvent::ActivationChange) wnd_->OnHostActivation(isActiveWindow());
    QWidget::changeEvent(e);
  }
  bool event(QEvent* e) override {
    if (wnd_ && (e->type() == QEvent::Enter || e->type() == QEvent::Leave))
      wnd_->OnHostPointer(e->type() == QEvent::Enter);
    return QWidget::event(e);
  }

 private:
  CWindowWnd* wnd_;
};

// ------------------------------------------------------------ CNotifyPump

void CNotifyPump::AddNotifyHandler(const QString& type, Handler handler) {
  handlers_[{type, QString()}] = std::move(handler);
}

void CNotifyPump::AddNotifyHandler(const QString& type, const QString& controlName, Handler handler) {
  handlers_[{type, controlName}] = std::move(handler);
}

bool CNotifyPump::AddVirtualWnd(const QString& name, CNotifyPump* pump) {
  if (name.isEmpty() || !pump || virtualWnds_.count(name)) return false;
  virtualWnds_[name] = pump;
  return true;
}

bool CNotifyPump::RemoveVirtualWnd(const QString& name) { return virtualWnds_.erase(name) > 0; }

void CNotifyPump::NotifyPump(TNotifyUI& msg) {
  if (!msg.sVirtualWnd.isEmpty()) {
    auto it = virtualWnds_.find(msg.sVirtualWnd);
    if (it != virtualWnds_.end()) {
      it->second->LoopDispatch(msg);
      return;
    }
  }
  LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
  const QString name = msg.pSender ? msg.pSender->GetName() : QString();
  auto it = handlers_.find({msg.sType, name});
  if (name.isEmpty() || it == handlers_.end()) it = handlers_.find({msg.sType, QString()});
  if (it == handlers_.end()) return false;
  Handler handler = it->second;  // a handler may replace itself
  handler(msg);
  return true;
}

// ------------------------------------------------------------- CWindowWnd

CWindowWnd::CWindowWnd() {
  target_ = std::make_unique<platform::MessageTarget>(
      [this](const platform::Message& msg) { return HandleMessage(msg); });
}

CWindowWnd::~CWindowWnd() {
  alive_.reset();
  timers_.reset();
  if (host_) host_->Detach();
  host_.reset();
}

bool CWindowWnd::Create(QWidget* owner, const QString& windowName, uint32_t, uint32_t, int x, int y, int cx, int cy) {
  if (created_) return false;
  owner_ = owner;
  host_ = std::make_unique<WindowHost>(this);
  host_->setWindowTitle(windowName);
  host_->setObjectName(GetWindowClassName());
  if (cx > 0 && cy > 0) host_->setGeometry(x, y, cx, cy);
  created_ = true;
  destroyed_ = false;
  if (target_->Dispatch({wm::WM_CREATE, 0, 0}) == -1) {
    Trace(QStringLiteral("ui: window %1 was not created").arg(GetWindowClassName()).toStdString());
    created_ = false;
    host_->Detach();
    host_.reset();
    return false;
  }
  return true;
}

QWidget* CWindowWnd::GetHWND() const { return IsWindow() ? host_.get() : nullptr; }

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!IsWindow()) return;
  if (!show) {
    host_->hide();
    return;
  }
  if (owner_ && owner_->windowHandle()) {
    host_->winId();
    if (host_->windowHandle()) host_->windowHandle()->setTransientParent(owner_->windowHandle());
  }
  host_->show();
  if (takeFocus) {
    host_->raise();
    host_->activateWindow();
  }
}

bool CWindowWnd::IsVisible() const { return IsWindow() && host_->isVisible(); }

int CWindowWnd::ShowModal() {
  if (!IsWindow()) return -1;
  host_->setWindowModality(Qt::ApplicationModal);
  ShowWindow(true);
  QEventLoop loop;
  modalLoop_ = &loop;
  modalResult_ = 0;
  if (IsWindow()) loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
  return modalResult_;
}

void CWindowWnd::Close(int result) {
  if (!IsWindow()) return;
  SendMessage(wm::WM_CLOSE, uint64_t(int64_t(result)), 0);
}

void CWindowWnd::Destroy() {
  if (!IsWindow()) return;
  destroyed_ = true;
  if (timers_) timers_->KillAll();
  host_->hide();
  host_->setWindowModality(Qt::NonModal);
  target_->Dispatch({wm::WM_DESTROY, 0, 0});
  if (modalLoop_) modalLoop_->exit(0);
  std::weak_ptr<bool> alive = alive_;
  QMetaObject::invokeMethod(qApp, [this, alive] {
    if (alive.lock()) OnFinalMessage();
  }, Qt::QueuedConnection);
}

void CWindowWnd::CenterWindow() {
  if (!IsWindow()) return;
  QRect area;
  if (owner_ && owner_->isVisible()) area = owner_->window()->frameGeometry();
  else if (QScreen* screen = host_->screen() ? host_->screen() : QGuiApplication::primaryScreen())
    area = screen->availableGeometry();
  if (area.isEmpty()) return;
  const QSize size = host_->size();
  host_->move(area.center().x() - size.width() / 2 + 1, area.center().y() - size.height() / 2 + 1);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (IsWindow()) host_->resize(cx, cy);
}

int64_t CWindowWnd::SendMessage(uint32_t id, uint64_t wParam, int64_t lParam) {
  return target_->Send(id, wParam, lParam).value_or(0);
}

void CWindowWnd::PostMessage(uint32_t id, uint64_t wParam, int64_t lParam) { target_->Post(id, wParam, lParam); }

void CWindowWnd::SetTimer(uint32_t id, uint32_t elapseMs) {
  if (!timers_) {
    timers_ = std::make_unique<platform::TimerSet>(target_->Context(), [this](uint32_t timerId) {
      if (IsWindow()) target_->Dispatch({wm::WM_TIMER, timerId, 0});
    });
  }
  timers_->SetTimer(id, elapseMs);
}

void CWindowWnd::KillTimer(uint32_t id) {
  if (timers_) timers_->KillTimer(id);
}

int64_t CWindowWnd::HandleMessage(const platform::Message& msg) {
  switch (msg.id) {
    case wm::WM_CLOSE:
      modalResult_ = int(int64_t(msg.wParam));
      Destroy();
      return 0;
    case wm::WM_SYSCOMMAND:
      if (!IsWindow()) return 0;
      switch (msg.wParam & 0xFFF0) {
        case wm::SC_CLOSE: Close(0); break;
        case wm::SC_MINIMIZE: host_->showMinimized(); break;
        case wm::SC_MAXIMIZE: host_->showMaximized(); break;
        case wm::SC_RESTORE: host_->showNormal(); break;
        default: break;
      }
      return 0;
    default:
      return 0;
  }
}

void CWindowWnd::OnHostClose() {
  if (IsWindow()) SendMessage(wm::WM_SYSCOMMAND, wm::SC_CLOSE, 0);
}

void CWindowWnd::OnHostActivation(bool active) {
  if (!IsWindow()) return;
  SendMessage(wm::WM_ACTIVATE, active ? 1 : 0, 0);
  if (!active) SendMessage(wm::WM_KILLFOCUS, 0, 0);
}

void CWindowWnd::OnHostPointer(bool inside) {
  if (IsWindow()) SendMessage(inside ? wm::WM_MOUSEHOVER : wm::WM_MOUSELEAVE, 0, 0);
}

void CWindowWnd::OnHostResize() {
  if (!IsWindow()) return;
  const QSize s = host_->size();
  SendMessage(wm::WM_SIZE, 0, int64_t(s.width() & 0xFFFF) | (int64_t(s.height() & 0xFFFF) << 16));
}

// --------------------------------------------------------- WindowImplBase

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
  // The controls go first, while the manager they point to still exists,
  // and without reaching this (half-destroyed) window's Notify.
  m_pm.RemoveNotifier(this);
  if (host_) host_->Detach();
  host_.reset();
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

CControlUI* WindowImplBase::CreateControl(const QString&) { return nullptr; }

int64_t WindowImplBase::HandleCustomMessage(const platform::Message&, bool& handled) {
  handled = false;
  return 0;
}

int64_t WindowImplBase::OnCreate(const platform::Message&) {
  m_pm.Init(host_.get(), GetWindowClassName());
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), {}, this, &m_pm);
  if (!root) {
    Trace(QStringLiteral("ui: window %1 cannot build its layout %2").arg(GetWindowClassName(), GetSkinFile()).toStdString());
    return -1;
  }
  caption_ = ParseMargins(builder.GetWindowAttribute(QStringLiteral("caption")));
  m_pm.SetCaptionRect(caption_);
  if (m_pm.GetInitSize().isEmpty()) host_->resize(m_pm.Scale(400), m_pm.Scale(300));
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  InitWindow();
  // "windowinit" comes once the window is set up, on the next turn of the loop.
  m_pm.SendNotify(root, notify::kWindowInit, 0, 0, true);
  return 0;
}

int64_t WindowImplBase::OnClose(const platform::Message&, bool& handled) {
  handled = false;
  return 0;
}

int64_t WindowImplBase::OnDestroy(const platform::Message&, bool& handled) {
  handled = false;
  return 0;
}

int64_t WindowImplBase::HandleMessage(const platform::Message& msg) {
  bool handled = false;
  const int64_t hooked = HandleCustomMessage(msg, handled);
  if (handled) return hooked;
  switch (msg.id) {
    case wm::WM_CREATE:
      return OnCreate(msg);
    case wm::WM_CLOSE: {
      const int64_t r = OnClose(msg, handled);
      if (handled) return r;
      break;
    }
    case wm::WM_DESTROY: {
      const int64_t r = OnDestroy(msg, handled);
      if (handled) return r;
      break;
    }
    case wm::WM_SIZE:
      if (CControlUI* root = m_pm.GetRoot()) {
        m_pm.UpdateLayout();
        m_pm.SendNotify(root, notify::kWindowSize, msg.wParam, msg.lParam);
      }
      return 0;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(msg);
}

}  // namespace ui
