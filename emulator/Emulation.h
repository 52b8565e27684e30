#pragma once
// What emulator/ offers: emulated devices behind the HID backend seam.
#include "emulator/DescriptorBuilder.h"  // report descriptors item by item
#include "emulator/DeviceCatalog.h"      // the emulated models and their decoys
#include "emulator/EmulateList.h"        // "mouse,keyboard:receiver,pad,headset"
#include "emulator/EmulatedDevice.h"     // one device: interfaces, plug state
#include "emulator/Emulator.h"           // the backend: plug, unplug, list, open
#include "emulator/IFirmware.h"          // where firmware models attach
#include "emulator/ProgramBackend.h"     // hidraw plus the emulator
#include "emulator/VirtualInterface.h"   // one USB interface and its collections
