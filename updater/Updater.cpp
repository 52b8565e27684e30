#include "updater/Updater.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "emulator/AttachBackend.h"
#include "emulator/Emulator.h"
#include "emulator/firmware/Firmware.h"
#include "hid/HidBackend.h"
#include "hid/PathFields.h"
#include "hid/SupportedDevices.h"
#include "platform/Messages.h"
#include "platform/StopEvent.h"
#include "platform/Trace.h"
#include "platform/Worker.h"
#include "protocol/CommandChannel.h"
#include "protocol/FirmwareUpdate.h"
#include "updater/UpdaterName.h"

namespace updater {

namespace {

using namespace std::chrono_literals;

struct KindModel {
  uint16_t kind;
  const char* model;
  bool receiver;
};
constexpr KindModel kKinds[] = {
    {hid::kind::kMouseCable, "mouse", false},
    {hid::kind::kKeyboardCable, "keyboard", false},
    {hid::kind::kMousePad, "pad", false},
    {hid::kind::kMouseReceiver, "mouse", true},
};

bool Stopped(const platform::StopEvent* stop) { return stop && stop->IsSet(); }

// Waits until `done` holds, polling every 20 ms; false when the time ran out
// or the stop was set.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit, const platform::StopEvent* stop) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (Stopped(stop) || std::chrono::steady_clock::now() >= end) return false;
    platform::SleepFor(20ms, stop);
  }
}

// The release number the device at `path` reports, or nullopt when it
// cannot be opened.
std::optional<uint16_t> VersionAt(const std::shared_ptr<hid::HidBackend>& backend, const std::string& path) {
  protocol::CCommandChannel channel(backend);
  if (!channel.OpenHandle(protocol::ConnectionMode::Wired, path)) return std::nullopt;
  return channel.WiredDevice().VersionNumber();
}

class Session {
 public:
  explicit Session(const Options& o) : o_(o) {}

  void Print(const std::string& line) const {
    if (o_.print) o_.print(line);
  }
  void Notify(const platform::BusMessage& m) const {
    if (o_.notify) o_.notify(m);
  }
  void Bf15(uint64_t w, int64_t l) const { Notify(platform::BusMessage::Registered(kToolBf15Message, w, l)); }

  // The present paths of the candidate's model on the backend.
  std::vector<std::string> ModelPaths(const Candidate& c) const {
    std::vector<std::string> out;
    for (const Candidate& found : FindCandidates(*o_.backend, nullptr, nullptr))
      if (found.model == c.model && found.receiver == c.receiver) out.push_back(found.path);
    return out;
  }
  // Where the restarted device is: its old path, else the one new path of
  // its model; empty while it is not back (or cannot be told apart).
  std::string ComeBackPath(const Candidate& c, const std::vector<std::string>& others) const {
    std::vector<std::string> fresh = ModelPaths(c);
    if (std::find(fresh.begin(), fresh.end(), c.path) != fresh.end()) return c.path;
    std::erase_if(fresh, [&](const std::string& p) { return std::find(others.begin(), others.end(), p) != others.end(); });
    return fresh.size() == 1 ? fresh.front() : std::string();
  }

  bool Fail(const Candidate& c, const std::string& why) const {
    Print("failed " + c.model + " " + why);
    ::Trace("updater: failed " + c.model + " " + why);
    return false;
  }

  bool LoadImage(const Candidate& c, protocol::fw::Image& image) const {
    const std::string code(ModelCode(c.model));
    const auto file = o_.updateFolder / (code + ".fw");
    std::ifstream in(file, std::ios::binary);
    if (!in) return Fail(c, "no image " + file.filename().string());
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const protocol::fw::ImageError error = protocol::fw::DecodeImageFile(bytes, image);
    if (error != protocol::fw::ImageError::None)
      return Fail(c, std::string("image ") + protocol::fw::ImageErrorText(error));
    if (image.code != code) return Fail(c, "image for " + image.code);
    return true;
  }

  // True when the device was updated or already current.
  bool Update(const Candidate& c) const {
    if (c.receiver) return Fail(c, "cable required");
    if (!c.emulated) return Fail(c, "no update protocol");
    protocol::fw::Image image;
    if (!LoadImage(c, image)) return false;
    const std::optional<uint16_t> old = VersionAt(o_.backend, c.path);
    if (!old) return Fail(c, "cannot open " + c.path);
    if (*old >= image.version) {
      Print("current " + c.model + " " + protocol::fw::VersionText(*old));
      return true;
    }
    // The other devices of the model, to tell the device apart when it
    // comes back.
    std::vector<std::string> others = ModelPaths(c);
    std::erase(others, c.path);
    protocol::fw::UpdateResult result;
    {
      protocol::CCommandChannel channel(o_.backend);
      if (!channel.OpenHandle(protocol::ConnectionMode::Wired, c.path)) return Fail(c, "cannot open " + c.path);
      if (o_.sleeper) channel.SetSleeper(o_.sleeper);
      int last = -1;
      result = protocol::fw::SendImage(
          channel, image,
          [&](int percent) {
            if (percent == last) return;
            last = percent;
            Bf15(kBf15Progress, percent);
          },
          [&] { return Stopped(o_.stop); });
    }
    if (!result.ok()) {
      Bf15(kBf15Failed, 0);
      return Fail(c, protocol::fw::DescribeFailure(result));
    }
    // The device restarts: it leaves, then comes back with the new firmware.
    const bool left = WaitUntil([&] { return !o_.backend->IsPresent(c.path); }, o_.comeBack, o_.stop);
    // A kernel device comes back as a new device, possibly on another node
    // number: it is the path of its model that is not another device's.
    std::string backPath;
    const bool back = left && WaitUntil(
                                  [&] {
                                    backPath = ComeBackPath(c, others);
                                    return !backPath.empty() && VersionAt(o_.backend, backPath).has_value();
                                  },
                                  o_.comeBack, o_.stop);
    if (!back) {
      Bf15(kBf15Failed, 0);
      return Fail(c, left ? "did not come back" : "did not restart");
    }
    const uint16_t now = VersionAt(o_.backend, backPath).value_or(0);
    if (now != image.version) {
      Bf15(kBf15Failed, 0);
      return Fail(c, "came back with " + protocol::fw::VersionText(now));
    }
    Bf15(kBf15Finished, 0);
    Notify(platform::BusMessage::Numbered(platform::msg::kFirmwareVersionCheck, 0, now));
    Print("done " + c.model + " " + protocol::fw::VersionText(now));
    return true;
  }

 private:
  const Options& o_;
};

}  // namespace

std::string UpdaterFileName() { return kUpdaterFileName; }

std::string_view ModelCode(std::string_view model) {
  if (model == "mouse") return "RM50C17A";
  if (model == "keyboard") return "RM50C16A";
  if (model == "pad") return "RM50C09A_1";
  return {};
}

std::vector<Candidate> FindCandidates(hid::HidBackend& backend, emulator::Emulator* emu,
                                      emulator::AttachBackend* attached) {
  std::vector<Candidate> out;
  if (attached) {
    for (const emulator::HostedDevice& device : attached->Devices()) {
      const std::string model = device.name.substr(0, device.name.find(':'));
      if (!device.plugged || device.commandPath.empty() || ModelCode(model).empty()) continue;
      out.push_back({model, device.commandPath, device.receiver, true});
    }
  }
  if (emu) {
    for (const auto& device : emu->Devices()) {
      if (!device->Plugged()) continue;
      const std::string_view name = device->Name();
      const std::string model(name.substr(0, name.find(':')));
      const auto kind = emulator::firmware::ModelFromName(model);
      if (!kind || ModelCode(model).empty()) continue;
      const std::string path = emulator::firmware::CommandPath(*device, *kind);
      if (!path.empty()) out.push_back({model, path, device->IsReceiver(), true});
    }
  }
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return out;
  for (const std::string& p : paths) {
    if ((emu && emu->Owns(p)) || (attached && attached->Owns(p))) continue;
    for (const KindModel& k : kKinds) {
      const bool fits = std::any_of(
          std::begin(hid::SupportedInterfaceTable), std::end(hid::SupportedInterfaceTable), [&](const auto& row) {
            return row.DeviceKind == k.kind && row.InterfaceUse == hid::kUseCommand && hid::PathFitsRow(backend, p, row);
          });
      if (!fits) continue;
      out.push_back({k.model, p, k.receiver, backend.IsEmulated(p)});
      break;
    }
  }
  return out;
}

int Run(const Options& options) {
  Session session(options);
  const std::vector<Candidate> candidates = FindCandidates(*options.backend, options.emulator, options.attached);
  if (candidates.empty()) {
    if (options.print) options.print("failed none no device");
    return 1;
  }
  bool allOk = true;
  for (const Candidate& c : candidates) {
    if (Stopped(options.stop)) return 1;
    if (!session.Update(c)) allOk = false;
  }
  return allOk ? 0 : 1;
}

}  // namespace updater
