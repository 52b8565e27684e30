#include "app/MainWnd.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include "app/Routing.h"
#include "platform/Trace.h"

namespace app {
namespace {
constexpr uint32_t kMainStyle = 0x96CA0000;  // popup, visible, caption, system menu, minimise box
}  // namespace

CMainPage::CMainPage() {
  for (const QString& type : {ui::notify::kClick, ui::notify::kSelectChanged, ui::notify::kItemClick})
    AddNotifyHandler(type, [](ui::TNotifyUI&) {});
}

CMainWnd::CMainWnd(platform::SettingsStore& store, const ProgramMessages& messages,
                   std::shared_ptr<hid::HidBackend> backend)
    : store_(store), messages_(messages), backend_(std::move(backend)) {
  AddVirtualWnd(QStringLiteral("mainpage"), &mainPage_);
}

CMainWnd::~CMainWnd() {
  // Normally done on WM_DESTROY; a window never shown still has its workers.
  StopWorkers();
  RemoveVirtualWnd(QStringLiteral("mainpage"));
  if (registered_) GetSkinObserver().RemoveReceiver(this);
  if (menu_) menu_->Close();
  skinFrame_.reset();
  about_.reset();
}

bool CMainWnd::CreateMain() {
  if (!Create(static_cast<QWidget*>(nullptr), QString::fromLatin1(kProductIdentity), kMainStyle, 0, 0, 0,
              kMainWndWidth, kMainWndHeight))
    return false;
  CenterWindow();
  return true;
}

void CMainWnd::InitWindow() {
  Trace("InitWindow");
  ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml"));
  GetSkinObserver().AddReceiver(this);
  registered_ = true;
  tray_.CreateTrayIcon(&Target(), kTrayIconId, QString::fromLatin1(kProductIdentity),
                       QGuiApplication::windowIcon());
  // Other processes (a second start, helper programs) reach this window by
  // its title on the window bus.
  bus_ = std::make_unique<platform::BusWindow>(
      GetWindowClassName().toStdString(), kProductIdentity,
      [this](const platform::BusMessage& m) { OnBusMessage(m); });
  if (!bus_->Listen()) Trace("main window: not on the window bus");
}

void CMainWnd::OnBusMessage(const platform::BusMessage& message) {
  // Other processes may send registered messages, the program's own numbered
  // messages (WM_USER and up) and system commands. The window's life-cycle
  // messages (create, close, destroy, timers) only ever come from inside.
  constexpr platform::MessageId kFirstUserMessage = 0x0400;
  const bool accepted = !message.name.empty() || message.id >= kFirstUserMessage ||
                        message.id == ui::wm::WM_SYSCOMMAND;
  if (!accepted || !message.bytes.empty() || message.dwData != 0) return;
  Target().Post(message.id, message.wParam, message.lParam);
}

void CMainWnd::ApplyLanguage(int index) {
  if (!language_.Apply(index, m_pm, store_).applied) return;
  if (about_ && about_->IsWindow()) about_->SendMessage(platform::msg::UM_LANGUAGE_CHANGED, 0, 0);
  if (settings_ && settings_->IsWindow()) settings_->SendMessage(platform::msg::UM_LANGUAGE_CHANGED, 0, 0);
  if (ui::CControlUI* root = m_pm.GetRoot()) {
    root->NeedUpdate();
    root->Invalidate();
  }
}

void CMainWnd::Notify(ui::TNotifyUI& msg) {
  if (msg.sType == ui::notify::kWindowInit) {
    InitialiseWindow();
    return;
  }
  if (msg.sType == ui::notify::kClick && msg.pSender) {
    const QString name = msg.pSender->GetName();
    if (name == QLatin1String("closebtn")) {
      CloseAuxWindows();
      // Without a tray icon the hidden window could not come back.
      if (tray_.IsVisible()) ShowWindow(false);
      else SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0);
      return;
    }
    if (name == QLatin1String("minbtn")) {
      SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0);
      return;
    }
    if (name == QLatin1String("maxbtn")) {
      SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MAXIMIZE, 0);
      return;
    }
    if (name == QLatin1String("restorebtn")) {
      SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0);
      return;
    }
    if (name == QLatin1String("skinbtn")) {
      OpenSkinFrame();
      return;
    }
    if (name == QLatin1String("setbtn")) {
      OpenSettingsWindow(false);
      return;
    }
  }
  if (msg.sType == ui::notify::kSelectChanged && msg.pSender) {
    const QString name = msg.pSender->GetName();
    if (name == QLatin1String("device_select")) ShowSelectedPowerPanel();
    // A synchro check clicked: its entry shows the synchro icons or the plain ones.
    if (name == QLatin1String("synchro_device_select"))
      for (ui::CControlUI* c = msg.pSender->GetParent(); c; c = c->GetParent())
        if (auto* entry = qobject_cast<CDeviceOptionUI*>(c)) {
          entry->SynchroChanged();
          break;
        }
  }
  Dispatch(*this, msg);
  WindowImplBase::Notify(msg);
}

int64_t CMainWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == messages_.identity) {
    Trace(QStringLiteral("软件标示 %1，%2d%3d")
              .arg(msg.id)
              .arg(msg.wParam, 0, 16)
              .arg(uint64_t(msg.lParam), 0, 16)
              .toStdString());
    UpdateOverlayAndRaise();
    handled = true;
    if (!shownOnce_) {
      shownOnce_ = true;
      if (firstShown_) firstShown_();
    }
    return 0;
  }
  if (msg.id == messages_.toolBF15 && messages_.toolBF15 != 0) {
    ForwardToolReport(msg.wParam, msg.lParam);
    handled = true;
    return 0;
  }
  switch (msg.id) {
    case platform::msg::kOpenSettings:
      OpenSettingsWindow(true);
      handled = true;
      return 0;
    case platform::msg::kFirmwareVersionCheck:
      OnFirmwareVersionCheck(msg.lParam);
      handled = true;
      return 0;
    case platform::msg::UM_INTERFACE_ARRIVED:
      OnSlotArrived(size_t(msg.wParam));
      handled = true;
      return 0;
    case platform::msg::UM_INTERFACE_REMOVED:
      OnSlotRemoved(size_t(msg.wParam));
      handled = true;
      return 0;
    case platform::msg::kLinkState:
      OnLinkState(msg.wParam, msg.lParam);
      handled = true;
      return 0;
    case platform::msg::kInfoBlockUsable:
      OnInfoBlockUsable(msg.wParam);
      handled = true;
      return 0;
    case platform::msg::kTrayCallback:
      OnTrayClick(msg.lParam);
      handled = true;
      return 0;
    case platform::msg::kMenuCommand:
      OnMenuCommand(msg.wParam);
      handled = true;
      return 0;
    case ui::wm::WM_TIMER:
      if (msg.wParam == kTrayMenuTimer) {
        KillTimer(kTrayMenuTimer);
        OpenTrayMenu();
        handled = true;
      } else if (msg.wParam == kDpiTimer) {
        KillTimer(kDpiTimer);
        ApplyDpiPolicy();
        handled = true;
      }
      return 0;
    default:
      return 0;
  }
}

int64_t CMainWnd::OnDestroy(const platform::Message&, bool& handled) {
  StopWorkers();
  tray_.DeleteTrayIcon();
  ui::CPaintManagerUI::PostQuitMessage(0);
  handled = true;
  return 0;
}

int CMainWnd::Receive(const SkinChangedParam& param) {
  ui::CControlUI* root = FindControl(QStringLiteral("root"));
  if (!root) return 1;
  if (param.isColour) {
    root->SetBkColor(param.colour);
    root->SetBkImage(QString());
  } else {
    root->SetBkColor(0);
    root->SetBkImage(QString::fromStdString(param.image));
  }
  return 1;
}

void CMainWnd::UpdateOverlayAndRaise() {
  if (!IsWindow()) return;
  UpdateNoDeviceOverlay();
  SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0);
  QWidget* host = GetHWND();
  host->show();
  host->raise();
  host->activateWindow();
  if (ui::CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
  Trace(QStringLiteral("main window raised: visible %1, minimised %2")
            .arg(host->isVisible() ? 1 : 0)
            .arg(host->isMinimized() ? 1 : 0)
            .toStdString());
}

void CMainWnd::OnTrayClick(int64_t mouseMessage) {
  if (mouseMessage == platform::msg::kRightButtonUp) {
    SetTimer(kTrayMenuTimer, 10);
    return;
  }
  if (mouseMessage != platform::msg::kLeftButtonUp) return;
  CloseAuxWindows();
  QWidget* host = GetHWND();
  if (host && host->isVisible() && !host->isMinimized()) ShowWindow(false);
  else UpdateOverlayAndRaise();
}

void CMainWnd::OpenTrayMenu() {
  if (menu_) menu_->Close();
  menu_ = std::make_unique<ui::CMenuWnd>();
  if (!menu_->Init(this, QStringLiteral("menu.xml"), QCursor::pos())) menu_.reset();
}

void CMainWnd::OnMenuCommand(uint64_t token) {
  const std::optional<ui::MenuCmd> cmd = ui::CMenuWnd::TakeCommand(token);
  if (!cmd) return;
  if (cmd->szName == QLatin1String("exit")) Exit();
  else if (cmd->szName == QLatin1String("about_menu")) OpenAbout();
  else if (cmd->szName == QLatin1String("setwnd_menu")) OpenSettingsWindow(true);
}

void CMainWnd::CloseAuxWindows() {
  if (about_ && about_->IsWindow()) about_->Close(0);
  if (settings_ && settings_->IsWindow()) settings_->Close(0);
  if (skinFrame_ && skinFrame_->IsWindow()) skinFrame_->Close(0);
  if (menu_) menu_->Close();
}

void CMainWnd::Exit() {
  CloseAuxWindows();
  Close(0);
}

void CMainWnd::OpenAbout() {
  if (about_ && about_->IsWindow()) return;  // one at a time; it is modal
  about_ = std::make_unique<CAboutWnd>();
  if (!about_->Open(GetHWND())) {
    about_.reset();
    return;
  }
  about_->ShowModal();
  // The window may already be gone with this one (program exit).
  if (about_ && !about_->IsWindow()) about_.reset();
}

void CMainWnd::OpenSkinFrame() {
  if (skinFrame_ && skinFrame_->IsWindow()) skinFrame_->Close(0);
  skinFrame_ = std::make_unique<CSkinFrame>();
  CSkinFrame* frame = skinFrame_.get();
  frame->SetOnFinal([this, frame] {
    if (skinFrame_.get() == frame) skinFrame_.reset();
  });
  if (!frame->Open(*this, FindControl(QStringLiteral("skinbtn")))) skinFrame_.reset();
}

}  // namespace app
