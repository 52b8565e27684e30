#pragma once
// The system's suspend and resume reach the main window as the power
// broadcast message: the login manager's PrepareForSleep(true) on the system
// bus becomes WM_POWERBROADCAST with PBT_APMSUSPEND (4), PrepareForSleep(false)
// the same with PBT_APMRESUMEAUTOMATIC (0x12). Without a system bus (a
// container, a test) the hook stays unconnected and says so in the trace;
// tests call PrepareForSleep themselves.

#include <QObject>

#include "platform/MessageTarget.h"

namespace app {

class SuspendHook : public QObject {
  Q_OBJECT
 public:
  explicit SuspendHook(platform::MessageTarget& window);
  // Subscribes to the login manager's signal; false when there is no bus.
  bool Connect();
  bool Connected() const { return connected_; }

 public slots:
  void PrepareForSleep(bool suspending);

 private:
  platform::MessageTarget& window_;
  bool connected_ = false;
};

}  // namespace app
