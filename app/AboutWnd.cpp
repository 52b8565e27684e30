#include "app/AboutWnd.h"

#include "ui/UIAuxWindow.h"

namespace app {
namespace {
constexpr uint32_t kPopupVisible = 0x90000000;  // WS_POPUP | WS_VISIBLE
constexpr uint32_t kToolWindow = 0x00000080;    // WS_EX_TOOLWINDOW
}  // namespace

int64_t HandleAuxWindowMessage(ui::WindowImplBase& wnd, ui::CPaintManagerUI& pm,
                               const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == ui::wm::WM_TIMER && msg.wParam == 1) {
    wnd.KillTimer(1);
    handled = true;
  } else if (msg.id == ui::wm::WM_SYSCOMMAND) {
    const uint64_t command = msg.wParam & 0xFFF0;
    if (command == ui::wm::SC_CLOSE) {
      // Ends this window only; the program keeps running.
      wnd.Close(0);
      handled = true;
      return 0;
    }
    QWidget* host = wnd.GetHWND();
    const bool wasZoomed = host && host->isMaximized();
    handled = true;
    if (host) {
      switch (command) {
        case ui::wm::SC_MINIMIZE: host->showMinimized(); break;
        case ui::wm::SC_MAXIMIZE: host->showMaximized(); break;
        case ui::wm::SC_RESTORE: host->showNormal(); break;
        default: break;
      }
      if (host->isMaximized() != wasZoomed) ui::SyncZoomButtons(pm, host->isMaximized());
    }
  }
  return 0;
}

bool CAboutWnd::Open(QWidget* owner) {
  if (!Create(owner, QStringLiteral("  "), kPopupVisible, kToolWindow)) return false;
  ResizeClient(m_pm.Scale(800), m_pm.Scale(572));
  CenterWindow();
  return true;
}

void CAboutWnd::InitWindow() { ShowVersionText(); }

void CAboutWnd::ShowVersionText() {
  ui::CControlUI* probe = FindControl(QStringLiteral("text_test"));
  ui::CControlUI* label = FindControl(QStringLiteral("software_ver_label"));
  if (!probe || !label) return;
  probe->SetText(QStringLiteral("software_rev_text"));
  label->SetResourceText(false);
  label->SetText(probe->GetText());
}

void CAboutWnd::Notify(ui::TNotifyUI& msg) {
  if (msg.sType == ui::notify::kClick && msg.pSender) {
    if (msg.pSender->GetName() == QLatin1String("homepage_btn")) return;  // no home page yet
    if (ui::HandleTitleButtonClick(*this, msg)) return;
  }
  WindowImplBase::Notify(msg);
}

int64_t CAboutWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  if (msg.id == platform::msg::UM_LANGUAGE_CHANGED) {
    // The version label holds a copy of a translated text: take it again.
    ShowVersionText();
    if (ui::CControlUI* root = m_pm.GetRoot()) root->Invalidate();
    handled = true;
    return 0;
  }
  return HandleAuxWindowMessage(*this, m_pm, msg, handled);
}

}  // namespace app
