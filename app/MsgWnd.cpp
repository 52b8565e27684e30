#include "app/MsgWnd.h"

#include <memory>

#include "ui/UIAuxWindow.h"

namespace app {
namespace {
constexpr const char* kDpiError = "MSG_WND DPI SET ERROR";
constexpr uint32_t kPopupClipChildren = 0x82000000;  // WS_POPUP | WS_CLIPCHILDREN
constexpr uint32_t kToolWindow = 0x00000080;         // WS_EX_TOOLWINDOW
}  // namespace

void CMsgWnd::Notify(ui::TNotifyUI& msg) {
  if (msg.sType == ui::notify::kClick && msg.pSender) {
    const QString name = msg.pSender->GetName();
    if (name == QLatin1String("confirm_btn")) return Close(1);
    if (name == QLatin1String("cancel_btn")) return Close(0);
    if (ui::HandleTitleButtonClick(*this, msg)) return;
  }
  WindowImplBase::Notify(msg);
}

int64_t CMsgWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == ui::wm::WM_DPICHANGED) {
    SetDpi(int(msg.wParam & 0xFFFF));
    m_pm.ResetDPIAssets();
    if (ui::CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
    handled = true;
  }
  return 0;
}

void CMsgWnd::SetTitle(const QString& title) {
  if (title.isEmpty()) return;
  if (ui::CControlUI* c = FindControl(QStringLiteral("MessageTitle"))) c->SetText(title);
}

void CMsgWnd::SetText(const QString& text, bool textIsKey) {
  if (text.isEmpty()) return;
  if (ui::CControlUI* c = FindControl(QStringLiteral("MessageText"))) {
    c->SetResourceText(textIsKey);
    c->SetText(text);
  }
}

void CMsgWnd::SetButtons(int buttons) {
  if (ui::CControlUI* c = FindControl(QStringLiteral("confirm_btn"))) c->SetVisible(true);
  if (ui::CControlUI* c = FindControl(QStringLiteral("cancel_btn"))) c->SetVisible(buttons == 1);
}

void CMsgWnd::SetDpi(int dpi) {
  const int accepted = ui::AcceptedDpi(dpi, kDpiError);
  if (accepted == dpi_) return;
  dpi_ = accepted;
  m_pm.SetDPI(dpi_);  // also scales the window to the layout's size
}

int ShowMessage(QWidget* owner, const QString& title, const QString& text, int dpi, bool textIsKey,
                int buttons) {
  // The box ends with its modal run; the owner of this object is this call.
  auto box = std::make_unique<CMsgWnd>();
  if (!box->Create(owner, QStringLiteral("msgwnd"), kPopupClipChildren, kToolWindow)) return 0;
  box->SetTitle(title);
  box->SetText(text, textIsKey);
  box->SetDpi(dpi);
  box->SetButtons(buttons);
  box->CenterWindow();
  return box->ShowModal() == 1 ? 1 : 0;
}

}  // namespace app
