#pragma once
// The about window (layout "AboutWnd.xml"): the program's version and a home
// page button. Opened modally over the main window from the tray menu.

#include "ui/UILib.h"

namespace app {

class CAboutWnd : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("AboutWnd"); }
  QString GetSkinFile() override { return QStringLiteral("AboutWnd.xml"); }
  void InitWindow() override;
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;

  // Creates the window over `owner` (800 x 572, centred); false when the
  // layout cannot be built.
  bool Open(QWidget* owner);

 private:
  void ShowVersionText();
};

// The system-command handling the about, music light and settings windows
// share: the title buttons follow the zoomed state, a system close ends only
// this window (result 0), and timer 1 is one-shot.
int64_t HandleAuxWindowMessage(ui::WindowImplBase& wnd, ui::CPaintManagerUI& pm,
                               const platform::Message& msg, bool& handled);

}  // namespace app
