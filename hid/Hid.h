#pragma once
// What hid/ offers: HID access and supported-device discovery.
#include "hid/CHidInterface.h"     // one opened HID collection with report I/O
#include "hid/CancelEvent.h"       // cancel event and what ends a waiting transfer
#include "hid/CompositeBackend.h"  // several backends as one
#include "hid/DiscoveryWorker.h"   // the 100 ms arrival and removal scan
#include "hid/HidBackend.h"        // the backend seam (hidraw, emulator)
#include "hid/HidrawBackend.h"     // real devices through hidraw and libudev
#include "hid/InterfaceSlots.h"    // the main window's interface slots
#include "hid/PathFields.h"        // vid_, pid_, &mi_, &col parsers
#include "hid/ReportDescriptor.h"  // report descriptor parser
#include "hid/SupportedDevices.h"  // interface, kind and page tables
