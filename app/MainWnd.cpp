#include "app/MainWnd.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include "app/MacroCapture.h"
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
    : store_(store), messages_(messages), backend_(std::move(backend)),
      macros_(std::make_unique<MacroCapture>(*this)) {
  AddVirtualWnd(QStringLiteral("mainpage"), &mainPage_);
  RegisterInputMessages();
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
  suspendHook_ = std::make_unique<SuspendHook>(Target());
  suspendHook_->Connect();
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
  if (msg.sType != ui::notify::kTimer && platform::TraceEnabled()) {
    Trace(msg.sType.toStdString());
    Trace(msg.pSender ? msg.pSender->GetName().toStdString() : std::string());
  }
  if (msg.sType == ui::notify::kWindowInit) {
    InitialiseWindow();
  } else if (msg.sType == ui::notify::kWindowSize) {
    if (msg.pSender && msg.pSender->GetName() == QLatin1String("root") && displayChanged_) {
      displayChanged_ = false;
      ApplyDpiPolicy();
    }
  } else {
    Dispatch(*this, msg);
  }
  // The list items' own remove and edit clicks end here.
  if (msg.sType == ui::notify::kClickWpRemove || msg.sType == ui::notify::kClickWpEdit) return;
  WindowImplBase::Notify(msg);
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
  SetWindowHiddenFlags(false, true);
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

void CMainWnd::CloseAuxWindows() {
  if (about_ && about_->IsWindow()) about_->Close(0);
  if (settings_ && settings_->IsWindow()) settings_->Close(0);
  if (musicWnd_ && musicWnd_->IsWindow()) musicWnd_->Close(0);
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
