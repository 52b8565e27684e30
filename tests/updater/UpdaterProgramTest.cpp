// The updater program and vx27ctl run as a user runs them, against emulated
// devices that keep their memory, version and request log between runs
// (VX27_EMULATOR_STATE): the updater brings the mouse from V0102 to V0126,
// and the following runs see the new version and what the device received.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/EmulatorHost.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "updater/Updater.h"

namespace {

namespace fs = std::filesystem;

struct RunResult {
  int exit = -1;
  std::string out;
};

class UpdaterProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("VX27_INSTALL_DIR");
    ASSERT_NE(bin, nullptr);
    bin_ = bin;
    work_ = fs::temp_directory_path() / ("vx27-updater-program-" + std::to_string(::getpid()));
    fs::remove_all(work_);
    fs::create_directories(work_ / "state");
    fs::create_directories(work_ / "runtime");
    ::chmod((work_ / "runtime").c_str(), 0700);  // our own window bus, with no program on it
  }
  void TearDown() override { fs::remove_all(work_); }

  RunResult Shell(const std::string& command, const std::string& folder) {
    const std::string line = "cd '" + folder + "' && XDG_RUNTIME_DIR='" + (work_ / "runtime").string() +
                             "' VX27_EMULATOR_STATE='" + (work_ / "state").string() + "' " + command + " 2>/dev/null";
    RunResult r;
    FILE* p = ::popen(line.c_str(), "r");
    if (!p) return r;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, n);
    const int status = ::pclose(p);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
  }
  RunResult Ctl(const std::string& args) { return Shell("'" + (bin_ / "vx27ctl").string() + "' " + args, bin_); }
  RunResult Updater(const std::string& emulate) {
    return Shell("VX27_EMULATE=" + emulate + " './" + updater::UpdaterFileName() + "' 'On the upgrade'",
                 (bin_ / "Update").string());
  }

  fs::path bin_, work_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST_F(UpdaterProgram, UpdatesTheMouseAndLaterRunsSeeIt) {
  ASSERT_TRUE(fs::exists(bin_ / "Update" / updater::UpdaterFileName())) << "the updater sits in the update folder";
  RunResult r = Ctl("firmware-check mouse --emulate mouse");
  EXPECT_EQ(r.out, "version 0102\ncheck update offered\nno main window\nresult 1\n");

  r = Updater("mouse,pad");
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.out, "done mouse V0126\ndone pad V0126\n");

  EXPECT_EQ(Ctl("firmware-version mouse --emulate mouse").out, "version 0126\nresult 1\n");
  EXPECT_EQ(Ctl("firmware-version pad --emulate pad").out, "version 0126\nresult 1\n");
  EXPECT_EQ(Ctl("firmware-check mouse --emulate mouse").out, "version 0126\ncheck usable\nno main window\nresult 1\n");

  // What the mouse received: enter with its code and V0126, the 3600-byte
  // image in 65 chunks, verify with the image's length and CRC, restart.
  const std::vector<std::string> log = Lines(Ctl("emu-log mouse").out);
  ASSERT_EQ(log.size(), 1u + 65 + 1 + 1 + 1);
  EXPECT_EQ(log.front(), "request 30 18 0000 00 524d35304331374100000000000000002601");
  for (size_t i = 1; i <= 65; ++i) {
    char head[32];
    std::snprintf(head, sizeof head, "request 31 %d %04zx 00 ", i < 65 ? 56 : 3600 - 64 * 56, (i - 1) * 56);
    EXPECT_EQ(log[i].rfind(head, 0), 0u) << log[i];
  }
  EXPECT_EQ(log[66], "request 32 8 0000 00 100e000052f1b870");
  EXPECT_EQ(log[67], "request 33 0 0000 00 -");
  EXPECT_EQ(log[68], "result 1");

  r = Updater("mouse,pad");
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.out, "current mouse V0126\ncurrent pad V0126\n");
}

TEST_F(UpdaterProgram, RefusesTheReceiverAndExitsOne) {
  const RunResult r = Updater("mouse:receiver");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "failed mouse cable required\n");
  // Attached, with no program serving emulated devices.
  const RunResult attached = Updater("attach");
  EXPECT_EQ(attached.exit, 1);
  EXPECT_EQ(attached.out, "failed none no device\n");
}

// The updater and vx27ctl attached to the devices this test serves, as
// they reach those of the program that started them.
TEST_F(UpdaterProgram, UpdatesAnotherProgramsDevicesThroughItsHost) {
  ::setenv("XDG_RUNTIME_DIR", (work_ / "runtime").c_str(), 1);
  auto emu = std::make_shared<emulator::Emulator>();
  emu->SetRestartGap(std::chrono::milliseconds(20));
  const auto mouse = emulator::firmware::AddDevice(*emu, emulator::DeviceModel::Mouse);
  const auto receiver = emulator::firmware::AddDevice(*emu, emulator::DeviceModel::Keyboard, /*receiver=*/true);
  emulator::EmulatorHost host(emu, emulator::firmware::MakeHostSources(emu, {mouse, receiver}));
  ASSERT_TRUE(host.Serving());
  EXPECT_EQ(host.SocketPath().parent_path(), work_ / "runtime" / "vx27-emu");
  struct stat st {};
  ASSERT_EQ(::stat(host.SocketPath().parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  EXPECT_EQ(Ctl("firmware-version mouse --emulate attach").out, "version 0102\nresult 1\n");
  RunResult r = Updater("attach");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "done mouse V0126\nfailed keyboard cable required\n");
  EXPECT_EQ(mouse.device->Version(), 0x0126);
  EXPECT_TRUE(mouse.device->Plugged());
  EXPECT_EQ(receiver.firmware->CountRequests(0x30), 0u);
  // Re-added with the new version, and usable: ordinary commands answered.
  EXPECT_EQ(Ctl("firmware-version mouse --emulate attach").out, "version 0126\nresult 1\n");
  const std::vector<std::string> log = Lines(Ctl("emu-log mouse --emulate attach").out);
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], "request 30 18 0000 00 524d35304331374100000000000000002601");
  EXPECT_NE(std::find(log.begin(), log.end(), "request 33 0 0000 00 -"), log.end());
  EXPECT_EQ(log.back(), "result 1");
  EXPECT_EQ(host.OpenHandles(), 0u) << "what the peers opened went with them";
}

// The program itself emulating a mouse: the updater it would start
// ("VX27_EMULATE=attach") updates that mouse through the program's host, and
// vx27ctl, attached the same way, sees the new version and the requests.
TEST_F(UpdaterProgram, UpdatesTheRunningProgramsMouse) {
  const fs::path socketFolder = work_ / "runtime" / "vx27-emu";
  const pid_t program = ::fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    ::setenv("XDG_RUNTIME_DIR", (work_ / "runtime").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (work_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (work_ / "data").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("VX27_EMULATE", "mouse", 1);
    ::unsetenv("VX27_EMULATOR_STATE");
    const std::string exe = (bin_ / "vx27mouse").string();
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool serving = false;
  for (int i = 0; i < 300 && !serving; ++i) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(socketFolder, ec)) serving = serving || e.path().extension() == ".sock";
    if (!serving) ::usleep(50 * 1000);
  }
  EXPECT_TRUE(serving) << "the program serves its emulated devices";
  if (serving) {
    EXPECT_EQ(Ctl("firmware-version mouse --emulate attach").out, "version 0102\nresult 1\n");
    const RunResult r = Updater("attach");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "done mouse V0126\n");
    EXPECT_EQ(Ctl("firmware-version mouse --emulate attach").out, "version 0126\nresult 1\n");
    const std::vector<std::string> log = Lines(Ctl("emu-log mouse --emulate attach").out);
    EXPECT_NE(std::find(log.begin(), log.end(), "request 33 0 0000 00 -"), log.end());
  }
  // The program ends through its teardown on SIGTERM.
  ::kill(program, SIGTERM);
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) {
    ended = ::waitpid(program, &status, WNOHANG) == program;
    if (!ended) ::usleep(50 * 1000);
  }
  if (!ended) {
    ::kill(program, SIGKILL);
    ::waitpid(program, &status, 0);
  }
  EXPECT_TRUE(ended) << "the program ended on SIGTERM";
  EXPECT_FALSE(fs::exists(socketFolder / (std::to_string(program) + ".sock"))) << "its socket went with it";
}

}  // namespace
