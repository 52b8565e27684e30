#pragma once
// The version list of the settings window: the fixed table of update
// descriptors (one row per device kind; the last also stands for the
// program), the versions collected into a copy of it, the rows the window
// shows, and "updatetime.config", the date of the first check.

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace app {

struct UpdateDescriptor {
  int hexVersion = 0;  // non-zero: shown as "V%04x" of version; zero: versionText
  int mark = 1;        // -1 when the version came through the 2.4 GHz receiver
  int version = 0;     // 0: not listed
  std::string vendor;
  std::string model;   // firmware model code; "ALL" is the program's row
  std::string type;
  std::string displayName;
  std::string versionText;
};

// Rows 0 mouse, 1 keyboard, 2 mouse pad, 3 headset and the program (the
// device-kind table's rows).
const std::array<UpdateDescriptor, 4>& UpdateDescriptorTable();

// What the main window knows of one device-bar entry that drives a device.
struct DeviceVersionSource {
  int row = -1;             // the device-kind table row; -1: not attached yet
  bool channelOpen = false;
  bool receiverMode = false;
  bool shown = false;       // the entry is shown on the bar
  uint16_t wiredVersion = 0;
  uint16_t receiverVersion = 0;
};

// A copy of the table with the versions filled in: per device its wired
// version, or the receiver's (mark -1) while its shown entry works through
// the receiver, 0 while its channel is closed; the last row gets the
// installed program version.
std::vector<UpdateDescriptor> CollectVersions(std::span<const DeviceVersionSource> devices, int installedVersion);
// The rows with a version, in table order (what the window lists).
std::vector<UpdateDescriptor> ListedDescriptors(const std::vector<UpdateDescriptor>& collected);

struct UpdateItemRecord {
  int status = 7;
  std::string name;
  std::string versionText;     // the old revision
  std::string newVersionText;  // the update revision (empty)
  std::filesystem::path packagePath;
};
// The list row of a descriptor: name "AP" for the program's row, the
// version as "V%04x" (0x0126: "V0126") or the fixed text, the package path
// <temporary update folder>/<name>.exe.
UpdateItemRecord MakeItemRecord(const UpdateDescriptor& descriptor, const std::filesystem::path& updateTemp);

// "%d-%d-%d" of a local date, without leading zeros ("2025-1-5").
std::string FormatCheckDate(const std::tm& date);
// The date stored in "updatetime.config" ("updatelasttime"."value"). A file
// that is missing, unreadable, not an object or without a text there is
// (re)written with today's date (`today`), which is then the date; a failed
// write is traced and the date still returned.
std::string EnsureCheckDate(const std::filesystem::path& file, const std::function<std::tm()>& today);

}  // namespace app
