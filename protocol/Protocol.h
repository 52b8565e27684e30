#pragma once
// What protocol/ offers: the device command protocol over a HID interface.
#include "protocol/CommandChannel.h"  // CCommandChannel: exchanges and every command
#include "protocol/CommandReport.h"   // the 64-byte report codec, command ids
#include "protocol/DeviceRecords.h"   // information and status blocks
#include "protocol/EventImage.h"      // macro and recoil images
#include "protocol/FirmwareUpdate.h"  // update image file and update commands
#include "protocol/KeyMap.h"          // key-map building with macro renumbering
#include "protocol/LightFrame.h"      // light colours and frames
#include "protocol/Results.h"         // result codes
