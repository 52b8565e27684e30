#pragma once
// CTrayIcon: the program's icon in the desktop's tray. A left or right
// button release on it reaches the owner as the tray callback message
// (1025) with wParam = the icon id and lParam = 514 (left) or 517 (right).
// Where the desktop has no tray nothing is shown and nothing fails; callers
// check IsVisible() before hiding a window "to the tray", so the window
// stays reachable.

#include <memory>

#include <QIcon>
#include <QString>

#include "platform/MessageTarget.h"

class QSystemTrayIcon;

namespace ui {

class CTrayIcon {
 public:
  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // True when the icon is shown; false (traced) without a tray.
  bool CreateTrayIcon(platform::MessageTarget* owner, int iconId, const QString& tooltip,
                      const QIcon& icon = {});
  void DeleteTrayIcon();
  bool IsVisible() const;
  void SetTooltipText(const QString& text);
  static bool IsTrayAvailable();

  // A click on the icon: 1 = left release, 2 = right release; what the
  // desktop's tray reports arrives here (tests call it directly).
  enum class Click { Left, Right };
  void OnClick(Click click);

 private:
  platform::MessageTarget* owner_ = nullptr;
  int iconId_ = 0;
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace ui
