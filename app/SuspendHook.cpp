#include "app/SuspendHook.h"

#include <QDBusConnection>

#include "app/MainWnd.h"
#include "platform/Trace.h"

namespace app {

SuspendHook::SuspendHook(platform::MessageTarget& window) : window_(window) {}

bool SuspendHook::Connect() {
  QDBusConnection bus = QDBusConnection::systemBus();
  connected_ = bus.isConnected() &&
               bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                           this, SLOT(PrepareForSleep(bool)));
  if (!connected_) Trace("suspend hook: no login manager on the system bus");
  return connected_;
}

void SuspendHook::PrepareForSleep(bool suspending) {
  window_.Send(kPowerBroadcast, suspending ? kPowerSuspend : kPowerResume, 0);
}

}  // namespace app
