#pragma once
// What platform/ offers: our stand-ins for the operating-system services the
// program is written against.
#include "platform/AtomicFile.h"      // whole-file writes that never half-write
#include "platform/Messages.h"        // fixed and registered message numbers
#include "platform/MessageTarget.h"   // Send/Post to the UI thread
#include "platform/Paths.h"           // install, user data, temp, runtime folders
#include "platform/Settings.h"        // the registry's replacement
#include "platform/SingleInstance.h"  // named lock (flock)
#include "platform/StopEvent.h"       // manual-reset stop event
#include "platform/Timers.h"          // timers keyed by id
#include "platform/Trace.h"           // diagnostic trace and hex lines
#include "platform/WindowBus.h"       // cross-process windows and copy-data
#include "platform/Worker.h"          // stoppable worker threads
