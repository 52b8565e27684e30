#include "app/AuxWindow.h"

#include "platform/Trace.h"

namespace app {

int AcceptedDpi(int requested, const char* errorTrace) {
  switch (requested) {
    case 48: case 72: case 96: case 120: case 144: case 168: case 192:
      return requested;
    default:
      Trace(errorTrace);
      return 96;
  }
}

void ApplyWindowDpi(ui::CPaintManagerUI& pm, int requested, const char* errorTrace) {
  const int dpi = AcceptedDpi(requested, errorTrace);
  if (dpi == pm.GetDPI()) return;
  pm.SetDPI(dpi);
}

bool HandleTitleButtonClick(ui::CWindowWnd& wnd, const ui::TNotifyUI& msg) {
  if (!msg.pSender || msg.sType != ui::notify::kClick) return false;
  const QString name = msg.pSender->GetName();
  if (name == QLatin1String("closebtn")) {
    wnd.Close(0);
    return true;
  }
  uint64_t command = 0;
  if (name == QLatin1String("minbtn")) command = ui::wm::SC_MINIMIZE;
  else if (name == QLatin1String("maxbtn")) command = ui::wm::SC_MAXIMIZE;
  else if (name == QLatin1String("restorebtn")) command = ui::wm::SC_RESTORE;
  else return false;
  wnd.SendMessage(ui::wm::WM_SYSCOMMAND, command, 0);
  return true;
}

void SyncZoomButtons(ui::CPaintManagerUI& pm, bool zoomed) {
  if (ui::CControlUI* max = pm.FindControl(QStringLiteral("maxbtn"))) max->SetVisible(!zoomed);
  if (ui::CControlUI* restore = pm.FindControl(QStringLiteral("restorebtn"))) restore->SetVisible(zoomed);
}

}  // namespace app
