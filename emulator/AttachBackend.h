#pragma once
// A HID backend on the emulated devices of other programs ("--emulate
// attach", VX27_EMULATE=attach): every emulator host found in the host
// folder (EmulatorHost.h) is asked for its devices. Paths read
// "emu@<host pid>:<id>#vid_..", so they stay apart from this process's own
// emulated devices and from each other host's. Every wait is bounded (the
// call's time-out plus a grace) and reads are asked for in slices, so a
// cancel or an interrupt ends them soon; a host that goes away is a removal
// of all its devices.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/EmulatorHost.h"
#include "hid/HidBackend.h"

namespace emulator {

inline constexpr std::string_view kAttachPrefix = "emu@";

class AttachBackend : public hid::HidBackend {
 public:
  // Looks for hosts in `folder` (default: wire::HostFolder()) on each listing.
  explicit AttachBackend(std::filesystem::path folder = {});
  ~AttachBackend() override;

  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<hid::HidConnection> Open(std::string_view path, const hid::OpenMode& mode) override;
  bool IsPresent(std::string_view path) override;
  bool Owns(std::string_view path) const override;
  // Every device of this backend is emulated.
  bool IsEmulated(std::string_view path) override { return Owns(path); }

  // The hosts' emulated devices, command paths in this backend's form.
  std::vector<HostedDevice> Devices();
  // The request lines of a device of the first host that knows it.
  bool RequestLog(std::string_view device, std::string* lines);
  // Hosts reachable at the last listing.
  size_t HostCount();

  class Link;

 private:
  // The host a path names, and the host's own path.
  std::shared_ptr<Link> HostOf(std::string_view path, std::string* hostPath);
  void Refresh();
  // The reachable hosts after a refresh, by pid text.
  std::map<std::string, std::shared_ptr<Link>> Hosts();

  std::filesystem::path folder_;
  std::mutex lock_;  // guards hosts_
  std::map<std::string, std::shared_ptr<Link>> hosts_;  // by pid text
};

}  // namespace emulator
