// The firmware update as a user meets it, in the built program: the emulated
// mouse runs firmware 0x0102, older than the image delivered in Update/. With
// the mouse page picked, a user's tool sends the firmware check message from
// outside (`vx27ctl firmware-check mouse --emulate attach`), the program asks
// whether to update, and the UI script answers. Confirmed, the updater works
// on the program's own emulated mouse, its reports reach the main window, the
// mouse comes back with the new firmware and the settings window lists it;
// declined, nothing is sent to the mouse and the program ends with code 0.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/app/ScriptFixture.h"
#include "tests/support/CtlRun.h"
#include "ui/UIScreenshot.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// The 64-byte command report: id 4, checksum LE16, command, data length,
// address LE16, 0, then the data.
constexpr size_t kCommand = 3, kLength = 4, kAddress = 5, kData = 8;
// An update image: "VX27FW01", model code[16], version LE16, 0 LE16,
// payload length LE32, CRC-32 LE32, payload.
constexpr size_t kImageCode = 8, kImageVersion = 24, kImageLength = 28, kImageCrc = 32, kImagePayload = 36;

uint32_t Le32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string Install() {
  const char* dir = std::getenv("VX27_INSTALL_DIR");
  return dir ? dir : ".";
}

// What the emulated mouse received, in order: the 64-byte requests of the log.
std::vector<Bytes> MouseRequests(const std::string& log) {
  std::vector<Bytes> out;
  std::istringstream lines(log);
  std::string device, hex;
  while (lines >> device >> hex) {
    if (device != "mouse" || hex.size() != 128) continue;
    Bytes bytes;
    for (size_t i = 0; i < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    out.push_back(std::move(bytes));
  }
  return out;
}

struct Case {
  const char* name;
  const char* answer;       // to the update prompt
  const char* scriptTail;   // the steps after the prompt was armed ("@SHOT@", "@MAIN@": pictures' paths)
  int exitCode;
  bool updated;
};

class FirmwareUpdateScriptTest : public apptest::ScriptFixture, public ::testing::WithParamInterface<Case> {
 protected:
  static std::string Tail(std::string tail) {
    const std::string shots = ui::ScreensFolder().toStdString();
    if (const size_t at = tail.find("@SHOT@"); at != std::string::npos)
      tail.replace(at, 6, shots + "/app_settings_after_update.png");
    if (const size_t at = tail.find("@MAIN@"); at != std::string::npos)
      tail.replace(at, 6, shots + "/app_main_after_update.png");
    return tail;
  }
  std::string Env() const {
    return "XDG_RUNTIME_DIR='" + Path("run") + "' VX27_EMULATOR_STATE='" + Path("state") + "'";
  }
  // Runs the script; once it has armed the prompt's answer, a user's tool
  // sends the firmware check to the running program.
  int RunWithCheck(const std::string& script, testsupport::CtlRun* check) {
    std::atomic<bool> done{false};
    std::thread user([&] {
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (!done && std::chrono::steady_clock::now() < until) {
        if (Trace().find(std::string("script answer ") + GetParam().answer + " 30 -> armed") != std::string::npos) {
          *check = testsupport::Ctl("firmware-check mouse --emulate attach", Env());
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
    const int code = Run(script, "mouse", {}, 150000);
    done = true;
    user.join();
    return code;
  }
};

TEST_P(FirmwareUpdateScriptTest, TheFirmwareCheckFromOutsideOffersTheUpdate) {
  const Case& c = GetParam();
  ASSERT_EQ(testsupport::Ctl("firmware-version mouse --emulate mouse", Env()).out, "version 0102\nresult 1\n");
  std::ifstream imageFile(Install() + "/Update/RM50C17A.fw", std::ios::binary);
  const Bytes image((std::istreambuf_iterator<char>(imageFile)), {});
  ASSERT_GT(image.size(), kImagePayload);
  ASSERT_EQ(std::string(image.begin(), image.begin() + 8), "VX27FW01");
  ASSERT_EQ(image[kImageVersion] | image[kImageVersion + 1] << 8, 0x0126);

  testsupport::CtlRun check;
  const int code = RunWithCheck(std::string("wait-trace 添加一个鼠标设备 10\n"
                                            "page mouse\n"
                                            "wait-trace mouse loaded 10\n"
                                            "answer ") +
                                    c.answer + " 30\n" + Tail(c.scriptTail),
                                &check);
  const std::string trace = Trace();
  EXPECT_EQ(code, c.exitCode) << trace;
  EXPECT_EQ(check.exit, 0);
  EXPECT_TRUE(check.Has("check update offered")) << check.out;
  EXPECT_TRUE(check.Has("sent 3332")) << check.out;
  EXPECT_NE(trace.find("firmware check 258: update offered\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find(std::string("script answer ") + c.answer + " 30 -> ok (UpdateTiShiText)"), std::string::npos);

  const std::vector<Bytes> requests = MouseRequests(Read("requests.txt"));
  std::vector<size_t> enter, chunks, verify, restart;
  for (size_t i = 0; i < requests.size(); ++i) {
    switch (requests[i][kCommand]) {
      case 0x30: enter.push_back(i); break;
      case 0x31: chunks.push_back(i); break;
      case 0x32: verify.push_back(i); break;
      case 0x33: restart.push_back(i); break;
      default: break;
    }
  }
  const std::string version = testsupport::Ctl("firmware-version mouse --emulate mouse", Env()).out;
  if (!c.updated) {
    EXPECT_TRUE(enter.empty() && chunks.empty() && verify.empty() && restart.empty()) << "nothing sent in update mode";
    EXPECT_NE(trace.find("firmware check: update declined\n"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("updater started"), std::string::npos);
    EXPECT_EQ(trace.find("script wait-trace (never traced"), std::string::npos) << "the program ended at the prompt";
    EXPECT_EQ(version, "version 0102\nresult 1\n");
    return;
  }

  // Enter update mode: length 18, address 0, model code "RM50C17A" in 16
  // bytes, then the image's version 0x0126 little-endian.
  ASSERT_EQ(enter.size(), 1u);
  const Bytes& e = requests[enter[0]];
  const Bytes enterHead{0x12, 0x00, 0x00, 0x00, 'R', 'M', '5', '0', 'C', '1', '7', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0x26, 0x01};
  EXPECT_EQ(Bytes(e.begin() + kLength, e.begin() + kLength + enterHead.size()), enterHead);
  EXPECT_EQ(Bytes(image.begin() + kImageCode, image.begin() + kImageCode + 16), Bytes(e.begin() + kData, e.begin() + kData + 16));

  // The payload in chunks of 56 bytes at their byte addresses, in order,
  // all between entering and verifying.
  const uint32_t length = Le32(image, kImageLength);
  ASSERT_EQ(image.size(), kImagePayload + length);
  ASSERT_EQ(chunks.size(), (length + 55) / 56);
  Bytes received;
  for (size_t k = 0; k < chunks.size(); ++k) {
    const Bytes& r = requests[chunks[k]];
    EXPECT_EQ(r[kAddress] | r[kAddress + 1] << 8, int(k * 56)) << "chunk " << k;
    EXPECT_EQ(r[kLength], k + 1 < chunks.size() ? 56 : length - k * 56) << "chunk " << k;
    received.insert(received.end(), r.begin() + kData, r.begin() + kData + r[kLength]);
  }
  EXPECT_EQ(received, Bytes(image.begin() + kImagePayload, image.end()));

  // Verify: length 8, the payload's length and CRC-32, both little-endian;
  // then restart with no data.
  ASSERT_EQ(verify.size(), 1u);
  ASSERT_EQ(restart.size(), 1u);
  const Bytes& v = requests[verify[0]];
  EXPECT_EQ(v[kLength], 8);
  EXPECT_EQ(Le32(v, kData), length);
  EXPECT_EQ(Le32(v, kData + 4), Crc32(image.data() + kImagePayload, length));
  EXPECT_EQ(requests[restart[0]][kLength], 0);
  EXPECT_LT(enter[0], chunks.front());
  EXPECT_LT(chunks.back(), verify[0]);
  EXPECT_LT(verify[0], restart[0]);

  // The updater's reports at the main window: rising percentages up to 100,
  // then success.
  std::istringstream lines(trace);
  std::vector<int> percents;
  int finished = 0;
  for (std::string line; std::getline(lines, line);) {
    int what = 0, value = 0;
    if (std::sscanf(line.c_str(), "updater report %d %d", &what, &value) != 2) continue;
    if (what == 4) {
      EXPECT_EQ(finished, 0) << "progress after the result";
      percents.push_back(value);
    } else {
      EXPECT_EQ(what, 1) << line;
      ++finished;
    }
  }
  ASSERT_FALSE(percents.empty()) << trace;
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(finished, 1);

  // The mouse came back with the new firmware: the settings window lists it
  // with revision V0126, and the state it keeps says so too.
  EXPECT_NE(trace.find("update row MS V0126 status 7\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("-> ok (QWidget)"), std::string::npos) << "the settings window closed by its close button";
  EXPECT_EQ(version, "version 0126\nresult 1\n");
}

INSTANTIATE_TEST_SUITE_P(
    Prompt, FirmwareUpdateScriptTest,
    ::testing::Values(
        Case{"Confirmed", "yes",
             // The restart unplugs the mouse; it comes back with the new
             // firmware and its page loads again.
             "wait-trace firmware check: updater started 30\n"
             "wait-trace 删除一个鼠标设备 60\n"
             "wait-trace mouse loaded 30\n"
             "answer closebtn 30 shot @SHOT@ after update list complete\n"
             "click setbtn\n"
             "shot @MAIN@\n"
             "quit\n",
             0, true},
        // Declining ends the program through its ordinary teardown: the steps
        // after the prompt never run.
        Case{"Declined", "no",
             "wait-trace firmware check 30\n"
             "wait-trace (never traced: the script must not get here) 1\n"
             "quit\n",
             0, false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
