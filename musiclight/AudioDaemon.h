#pragma once
// The audio daemon worker: once a second it looks whether the capture
// companion runs (its lock is held) and traces what it saw. It only observes;
// it never starts the companion.

#include "platform/StopEvent.h"

namespace musiclight {

void AudioDaemonThread(const platform::StopEvent& stop);

}  // namespace musiclight
