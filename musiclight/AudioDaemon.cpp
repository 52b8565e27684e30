#include "musiclight/AudioDaemon.h"

#include <chrono>

#include "musiclight/capture/LinkNames.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"

namespace musiclight {

void AudioDaemonThread(const platform::StopEvent& stop) {
  using std::chrono::milliseconds;
  // Every sleep is a wait on the stop event, so stopping ends it at once.
  while (!stop.WaitFor(milliseconds(1))) {
    if (stop.WaitFor(milliseconds(1000))) break;
    if (platform::InstanceLock::IsHeld(link::kCaptureLock)) {
      Trace("关闭句柄");
    } else {
      Trace("尝试生成程序");
      if (stop.WaitFor(milliseconds(500))) break;
    }
  }
  Trace("AudioDaemonThreadPrc stop");
}

}  // namespace musiclight
