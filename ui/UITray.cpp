#include "ui/UITray.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/Messages.h"
#include "platform/Trace.h"
#include "ui/UITheme.h"

namespace ui {

namespace {
// A plain round mark for when no icon is given.
QIcon DefaultIcon() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor::fromRgba(theme::kAccent));
  p.drawEllipse(2, 2, 28, 28);
  return QIcon(pm);
}
}  // namespace

CTrayIcon::CTrayIcon() = default;
CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

bool CTrayIcon::IsTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool CTrayIcon::CreateTrayIcon(platform::MessageTarget* owner, int iconId, const QString& tooltip, const QIcon& icon) {
  DeleteTrayIcon();
  owner_ = owner;
  iconId_ = iconId;
  if (!IsTrayAvailable()) {
    Trace("ui: no system tray; the tray icon is not shown");
    return false;
  }
  icon_ = std::make_unique<QSystemTrayIcon>(icon.isNull() ? DefaultIcon() : icon);
  icon_->setToolTip(tooltip);
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger) OnClick(Click::Left);
                     else if (reason == QSystemTrayIcon::Context) OnClick(Click::Right);
                   });
  icon_->show();
  return true;
}

void CTrayIcon::DeleteTrayIcon() {
  if (icon_) icon_->hide();
  icon_.reset();
}

bool CTrayIcon::IsVisible() const { return icon_ && icon_->isVisible(); }

void CTrayIcon::SetTooltipText(const QString& text) {
  if (icon_) icon_->setToolTip(text);
}

void CTrayIcon::OnClick(Click click) {
  if (!owner_) return;
  owner_->Post(platform::msg::kTrayCallback, uint64_t(iconId_),
               click == Click::Left ? platform::msg::kLeftButtonUp : platform::msg::kRightButtonUp);
}

}  // namespace ui
