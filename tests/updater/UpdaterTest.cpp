// The updater against emulated devices: what it prints, what it reports to
// the main window, and what the devices run afterwards. The images are the
// ones delivered in Update/ (written by updater/make_images.py with its own
// CRC), copied to a scratch folder so a test may damage them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "emulator/AttachBackend.h"
#include "emulator/EmulatorHost.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "platform/Messages.h"
#include "updater/Updater.h"

namespace {

using namespace std::chrono_literals;
using emulator::DeviceModel;
namespace fs = std::filesystem;

// Polls `done` for up to two seconds.
bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return done();
}

struct Note {
  std::string name;
  uint32_t id;
  uint64_t w;
  int64_t l;
};

class UpdaterTest : public ::testing::Test {
 public:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vx27-updater-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* f : {"RM50C17A.fw", "RM50C16A.fw", "RM50C09A_1.fw"})
      fs::copy_file(fs::path(VX27_UPDATE_DIR) / f, folder / f);
    emu->SetRestartGap(20ms);
  }
  void TearDown() override { fs::remove_all(folder); }

  emulator::firmware::EmulatedUnit Add(DeviceModel model, bool receiver = false) {
    units.push_back(emulator::firmware::AddDevice(*emu, model, receiver));
    return units.back();
  }

  // attached: as the updater the program starts, on the devices another
  // process (here a host in this one) serves.
  int Run(bool emulated = true) {
    lines.clear();
    notes.clear();
    updater::Options o;
    o.updateFolder = folder;
    o.backend = backend ? backend : emu;
    o.emulator = emulated ? emu.get() : nullptr;
    std::unique_ptr<emulator::EmulatorHost> host;
    std::shared_ptr<emulator::AttachBackend> attach;
    if (attached) {
      fs::create_directories(folder / "host");
      host = std::make_unique<emulator::EmulatorHost>(emu, emulator::firmware::MakeHostSources(emu, units),
                                                      folder / "host");
      attach = std::make_shared<emulator::AttachBackend>(folder / "host");
      o.backend = attach;
      o.emulator = nullptr;
      o.attached = attach.get();
      EXPECT_TRUE(host->Serving());
    }
    o.print = [this](const std::string& line) { lines.push_back(line); };
    o.notify = [this](const platform::BusMessage& m) {
      notes.push_back({m.name, m.id, m.wParam, m.lParam});
      if (onNote) onNote(notes.back());
    };
    o.comeBack = 5000ms;
    o.sleeper = [](std::chrono::milliseconds) {};
    const int code = updater::Run(o);
    if (host) {
      EXPECT_EQ(attach->HostCount(), 1u);
      attach.reset();
      o.backend.reset();
      // What the updater opened was closed with it.
      EXPECT_TRUE(WaitFor([&] { return host->OpenHandles() == 0; }));
    }
    return code;
  }

  // The BF15 reports, each as "<wParam>:<lParam>", progress collapsed to
  // its first and last value.
  std::vector<std::string> Bf15() const {
    std::vector<std::string> out;
    for (const Note& n : notes) {
      if (n.name != updater::kToolBf15Message) continue;
      const std::string s = std::to_string(n.w) + ":" + std::to_string(n.l);
      if (n.w == 4 && out.size() >= 2 && out.back().rfind("4:", 0) == 0 && out[out.size() - 2].rfind("4:", 0) == 0)
        out.back() = s;
      else
        out.push_back(s);
    }
    return out;
  }

  std::shared_ptr<emulator::Emulator> emu = std::make_shared<emulator::Emulator>();
  std::shared_ptr<hid::HidBackend> backend;  // when set, the updater's backend instead of emu
  fs::path folder;
  std::vector<std::string> lines;
  std::vector<Note> notes;
  std::function<void(const Note&)> onNote;
  std::vector<emulator::firmware::EmulatedUnit> units;
  bool attached = false;
};

// Directly, and through a host as the updater the program starts reaches
// the program's devices.
TEST_F(UpdaterTest, BringsEveryDeviceToItsImageThenFindsThemCurrent) {
  for (const bool through : {false, true}) {
    SCOPED_TRACE(through ? "attached" : "direct");
    attached = through;
    units.clear();
    emu = std::make_shared<emulator::Emulator>();
    SetUp();
    auto mouse = Add(DeviceModel::Mouse);
    auto keyboard = Add(DeviceModel::Keyboard);
    auto pad = Add(DeviceModel::Pad);
    ASSERT_EQ(mouse.device->Version(), 0x0102);

    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"done mouse V0126", "done keyboard V0126", "done pad V0126"}));
    for (const auto* unit : {&mouse, &keyboard, &pad}) {
      EXPECT_EQ(unit->device->Version(), 0x0126);
      EXPECT_TRUE(unit->device->Plugged());
    }
    // The image sizes of make_images.py: 3600, 5000 and 2000 bytes.
    EXPECT_EQ(mouse.firmware->CountRequests(0x31), 65u);
    EXPECT_EQ(keyboard.firmware->CountRequests(0x31), 90u);
    EXPECT_EQ(pad.firmware->CountRequests(0x31), 36u);
    for (const auto* unit : {&mouse, &keyboard, &pad}) {
      EXPECT_EQ(unit->firmware->CountRequests(0x30), 1u);
      EXPECT_EQ(unit->firmware->CountRequests(0x32), 1u);
      EXPECT_EQ(unit->firmware->CountRequests(0x33), 1u);
    }
    // Per device: progress from its first chunk to 100 %, finished, then the
    // new version to the firmware check.
    EXPECT_EQ(Bf15(), (std::vector<std::string>{"4:1", "4:100", "1:0", "4:1", "4:100", "1:0", "4:2", "4:100", "1:0"}));
    int checks = 0;
    for (const Note& n : notes)
      if (n.id == platform::msg::kFirmwareVersionCheck) {
        EXPECT_EQ(n.l, 0x0126);
        ++checks;
      }
    EXPECT_EQ(checks, 3);

    // The restarted mouse answers its ordinary commands.
    const size_t before = mouse.firmware->Log().size();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"current mouse V0126", "current keyboard V0126", "current pad V0126"}));
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(mouse.firmware->Log().size(), before) << "nothing sent to a current device";
  }
}

TEST_F(UpdaterTest, FailuresAreReportedAndKeepTheOldFirmware) {
  struct Case {
    const char* what;
    bool receiver;
    std::function<void(UpdaterTest&, emulator::firmware::EmulatedUnit&)> arrange;
    const char* line;
    bool sent;  // anything reached the device
  };
  const Case cases[] = {
      {"receiver", true, {}, "failed mouse cable required", false},
      {"damaged image", false,
       [](UpdaterTest& t, emulator::firmware::EmulatedUnit&) {
         std::fstream f(t.folder / "RM50C17A.fw", std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(100);
         f.put('\x55');
       },
       "failed mouse image CRC does not match", false},
      {"missing image", false,
       [](UpdaterTest& t, emulator::firmware::EmulatedUnit&) { fs::remove(t.folder / "RM50C17A.fw"); },
       "failed mouse no image RM50C17A.fw", false},
      {"device refuses the image", false,
       [](UpdaterTest&, emulator::firmware::EmulatedUnit& u) {
         u.firmware->InjectFault({emulator::firmware::FaultKind::Status, -1, 0x32, 0xFF});
       },
       "failed mouse verify refused (-102)", true},
      {"unplugged mid-write", false,
       [](UpdaterTest& t, emulator::firmware::EmulatedUnit& u) {
         t.onNote = [&t, id = u.device->Id()](const Note& n) {
           if (n.w == 4 && n.l >= 50) t.emu->Unplug(id);
         };
       },
       // 51 % after the chunk at 1792; the next one, at 1848, finds the device gone.
       "failed mouse chunk at 0x0738 not answered (-1)", true},
  };
  for (const bool through : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (through ? ", attached" : ", direct"));
      attached = through;
      units.clear();
      emu = std::make_shared<emulator::Emulator>();
      emu->SetRestartGap(20ms);
      onNote = {};
      SetUp();
      auto mouse = Add(DeviceModel::Mouse, c.receiver);
      const uint16_t before = mouse.device->Version();
      if (c.arrange) c.arrange(*this, mouse);
      EXPECT_EQ(Run(), 1);
      EXPECT_EQ(lines, std::vector<std::string>{c.line});
      EXPECT_EQ(mouse.firmware->CountRequests(0x30) > 0, c.sent);
      emu->Plug(mouse.device->Id());
      EXPECT_EQ(mouse.device->Version(), before);
      EXPECT_EQ(mouse.firmware->CountRequests(0x33), 0u);
      if (c.sent) {
        EXPECT_EQ(Bf15().back(), "2:0");
      } else {
        EXPECT_TRUE(notes.empty());
      }
    }
  }
}

// The emulator's devices seen as another backend's (the hidraw backend's
// kernel nodes), which says whether a path identifies as emulated.
class MarkedBackend : public hid::HidBackend {
 public:
  MarkedBackend(std::shared_ptr<hid::HidBackend> inner, bool emulated) : inner_(std::move(inner)), emulated_(emulated) {}
  bool Enumerate(std::vector<std::string>& paths) override { return inner_->Enumerate(paths); }
  std::shared_ptr<hid::HidConnection> Open(std::string_view path, const hid::OpenMode& mode) override {
    return inner_->Open(path, mode);
  }
  bool IsPresent(std::string_view path) override { return inner_->IsPresent(path); }
  bool Owns(std::string_view path) const override { return inner_->Owns(path); }
  bool IsEmulated(std::string_view path) override { return emulated_ && inner_->Owns(path); }

 private:
  std::shared_ptr<hid::HidBackend> inner_;
  bool emulated_;
};

TEST_F(UpdaterTest, OnlyEmulatedDevicesSpeakTheUpdateProtocol) {
  struct Case {
    bool emulated;
    int code;
    const char* line;
    uint16_t version;
  };
  for (const Case c : {Case{false, 1, "failed mouse no update protocol", 0x0102},
                       Case{true, 0, "done mouse V0126", 0x0126}}) {
    SCOPED_TRACE(c.line);
    emu = std::make_shared<emulator::Emulator>();
    emu->SetRestartGap(20ms);
    units.clear();
    auto mouse = Add(DeviceModel::Mouse);
    ASSERT_EQ(mouse.device->Version(), 0x0102);
    // A decoy: the mouse's ids and interfaces, other usages. Never a candidate.
    std::string error;
    const auto decoy = emulator::firmware::AddEmulatedUnits(*emu, "mouse:decoy", &error);
    ASSERT_TRUE(decoy && decoy->size() == 1) << error;
    backend = std::make_shared<MarkedBackend>(emu, c.emulated);
    EXPECT_EQ(Run(/*emulated=*/false), c.code);
    EXPECT_EQ(lines, std::vector<std::string>{c.line});
    EXPECT_EQ(mouse.device->Version(), c.version);
    // Not one request reached a device that does not identify as emulated.
    EXPECT_EQ(mouse.firmware->Log().empty(), !c.emulated);
    EXPECT_TRUE(decoy->front().firmware->Log().empty());
  }
}

// The emulator's devices under paths that change on every plug change, as
// kernel nodes whose numbers a device that comes back does not keep:
// "n<change count>/<emulator path>".
class RenumberingBackend : public hid::HidBackend {
 public:
  explicit RenumberingBackend(std::shared_ptr<emulator::Emulator> inner) : inner_(std::move(inner)) {}
  bool Enumerate(std::vector<std::string>& paths) override {
    if (!inner_->Enumerate(paths)) return false;
    for (std::string& p : paths) p = Prefix() + p;
    return true;
  }
  std::shared_ptr<hid::HidConnection> Open(std::string_view path, const hid::OpenMode& mode) override {
    return Current(path) ? inner_->Open(path.substr(Prefix().size()), mode) : nullptr;
  }
  bool IsPresent(std::string_view path) override {
    return Current(path) && inner_->IsPresent(path.substr(Prefix().size()));
  }
  bool Owns(std::string_view path) const override { return path.starts_with("n"); }
  bool IsEmulated(std::string_view path) override { return Owns(path); }

 private:
  std::string Prefix() const { return "n" + std::to_string(*inner_->ChangeCount()) + "/"; }
  bool Current(std::string_view path) const { return path.starts_with(Prefix()); }
  std::shared_ptr<emulator::Emulator> inner_;
};

// A restarted device is found again on its new path.
TEST_F(UpdaterTest, ARestartedDeviceIsFoundOnItsNewPath) {
  auto mouse = Add(DeviceModel::Mouse);
  backend = std::make_shared<RenumberingBackend>(emu);
  EXPECT_EQ(Run(/*emulated=*/false), 0);
  EXPECT_EQ(lines, std::vector<std::string>{"done mouse V0126"});
  EXPECT_EQ(mouse.device->Version(), 0x0126);
}

TEST_F(UpdaterTest, NothingToUpdate) {
  Add(DeviceModel::Headset);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(lines, std::vector<std::string>{"failed none no device"});
}

TEST(UpdaterName, NamesTheModelsTheVersionAndABuildDate) {
  const std::string name = updater::UpdaterFileName();
  const std::string head = "升级包-RM50C17A-RM50C16A-RM50C09A_1-V0126-";
  ASSERT_EQ(name.rfind(head, 0), 0u) << name;
  const std::string date = name.substr(head.size());
  EXPECT_EQ(date.size(), 8u);
  EXPECT_EQ(date.find_first_not_of("0123456789"), std::string::npos) << date;
}

}  // namespace
