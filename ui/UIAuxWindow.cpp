#include "ui/UIAuxWindow.h"

#include "platform/Trace.h"
#include "ui/UIControl.h"

namespace ui {

int AcceptedDpi(int requested, const char* errorTrace) {
  switch (requested) {
    case 48: case 72: case 96: case 120: case 144: case 168: case 192:
      return requested;
    default:
      Trace(errorTrace);
      return 96;
  }
}

void ApplyWindowDpi(CPaintManagerUI& pm, int requested, const char* errorTrace) {
  const int dpi = AcceptedDpi(requested, errorTrace);
  if (dpi == pm.GetDPI()) return;
  pm.SetDPI(dpi);
}

bool HandleTitleButtonClick(CWindowWnd& wnd, const TNotifyUI& msg) {
  if (!msg.pSender || msg.sType != notify::kClick) return false;
  const QString name = msg.pSender->GetName();
  if (name == QLatin1String("closebtn")) {
    wnd.Close(0);
    return true;
  }
  uint64_t command = 0;
  if (name == QLatin1String("minbtn")) command = wm::SC_MINIMIZE;
  else if (name == QLatin1String("maxbtn")) command = wm::SC_MAXIMIZE;
  else if (name == QLatin1String("restorebtn")) command = wm::SC_RESTORE;
  else return false;
  wnd.SendMessage(wm::WM_SYSCOMMAND, command, 0);
  return true;
}

void SyncZoomButtons(CPaintManagerUI& pm, bool zoomed) {
  if (CControlUI* max = pm.FindControl(QStringLiteral("maxbtn"))) max->SetVisible(!zoomed);
  if (CControlUI* restore = pm.FindControl(QStringLiteral("restorebtn"))) restore->SetVisible(zoomed);
}

}  // namespace ui
