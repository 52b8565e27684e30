// The mouse's widget-free device work against the emulated mouse: the sensor
// rules, the settings block layout, the information block check, the
// settings read and write, and the key map with its macros. Expected bytes
// are written out here, and the emulator checks what it receives with its own
// decoder.

#include <fstream>

#include <gtest/gtest.h>

#include "devices/core/MouseCore.h"
#include "emulator/firmware/Firmware.h"
#include "profiles/JsonFile.h"
#include "tests/devices/MacroLibrary.h"
#include "tests/profiles/TestFiles.h"

namespace {

using devices::InfoCheck;
using devices::SensorParams;
using devices::StepRange;
namespace cmd = protocol::cmd;

// ---- sensor rules ------------------------------------------------------------

struct SensorCase {
  SensorParams sensor;
  int step;
  int dpi;
};

TEST(SensorRules, StepToDpi) {
  const SensorParams a{devices::kSensorA, 50, 110, 100};
  const SensorParams b{devices::kSensorB, 50, 0, 100};
  const SensorParams c{devices::kSensorC, 0, 0, 0};
  const SensorParams other{0x1234, 100, 0, 100};
  const SensorCase cases[] = {
      {a, 0, 200},  {a, 1, 400},   {a, 2, 400},    {a, 52, 2900},   {a, 53, 2900},
      {a, 54, 3000}, {a, 60, 3600}, {a, 104, 8000}, {a, 120, 8000},
      {b, 10, 600}, {b, 48, 2500}, {b, 50, 2900},
      {c, 0, 50},   {c, 99, 5000}, {c, 100, 5100}, {c, 120, 7100},
      {other, 5, 600},
  };
  for (const auto& k : cases)
    EXPECT_EQ(devices::DpiFromStep(k.sensor, k.step), k.dpi) << std::hex << k.sensor.id << std::dec << " step " << k.step;
}

TEST(SensorRules, TypedDpiToStep) {
  const SensorParams a{devices::kSensorA, 50, 110, 100};
  const SensorParams b{devices::kSensorB, 50, 0, 100};
  const SensorParams b100{devices::kSensorB, 100, 0, 200};
  const SensorParams c{devices::kSensorC, 0, 0, 0};
  const SensorParams other{0x1234, 100, 0, 100};
  const SensorParams flat{0x1234, 0, 0, 100};
  const StepRange layout{0, 100};
  const SensorCase cases[] = {
      {a, 0, 30},  {a, 0, 350},   {a, 1, 400},    {a, 34, 2000}, {a, 48, 2700},
      {a, 53, 2999}, {a, 54, 3000}, {a, 60, 3600}, {a, 100, 10000},  // clamped to 0..100
      {b, 10, 600}, {b, 48, 2500}, {b, 50, 2900}, {b, 0, 0},
      {b100, 48, 5000}, {b100, 49, 5200},
      {c, 0, 0},   {c, 99, 5000}, {c, 120, 7100}, {c, 149, 10000},
      {other, 5, 600}, {flat, 0, 900},
  };
  for (const auto& k : cases) {
    const StepRange range = devices::StepRangeFor(k.sensor, layout);
    EXPECT_EQ(devices::StepFromDpi(k.sensor, k.dpi, range), k.step)
        << std::hex << k.sensor.id << std::dec << " dpi " << k.dpi;
  }
}

TEST(SensorRules, SliderRanges) {
  const StepRange layout{0, 77};
  struct Case {
    SensorParams sensor;
    int low, high;
  } cases[] = {
      {{devices::kSensorA, 50, 110, 100}, 0, 100},
      {{devices::kSensorB, 50, 110, 100}, 0, 77},
      {{devices::kSensorC, 50, 110, 100}, 0, 149},
      {{0x9999, 50, 110, 100}, 0, 77},
  };
  for (const auto& k : cases) {
    const StepRange r = devices::StepRangeFor(k.sensor, layout);
    EXPECT_EQ(r.low, k.low);
    EXPECT_EQ(r.high, k.high) << std::hex << k.sensor.id;
  }
}

// ---- settings block ----------------------------------------------------------

TEST(MouseSettingsBlock, EncodeLaysOutEveryField) {
  devices::MouseSettingsOut s;
  s.first = 3;
  s.light.selectItem = 5;
  s.light.light = 4;
  s.light.speed = 1;
  s.light.fx = 1;
  s.light.multiColor = 1;
  s.light.red = 0x11;
  s.light.green = 0x22;
  s.light.blue = 0x33;
  s.system.reportRate = 2;
  s.system.bleSleep1 = 5;
  s.system.bleSleep2 = 6;
  s.system.deviceSleep1 = 7;
  s.system.deviceSleep2 = 8;
  s.system.keyDebounceTime = 9;
  s.system.silentAltitude = 1;
  s.system.linearCalibration = 1;
  s.system.ripple = 1;
  s.activeStage = 1;
  s.stages = {{1, 0, 0x0190, 0x0190, 0xFF, 0, 0}, {1, 1, 0x1234, 0x0056, 0, 0xFF, 0}};
  const auto block = devices::EncodeMouseSettings(s);
  devices::MouseSettingsBytes want{};
  const std::pair<size_t, uint8_t> set[] = {
      {0, 3},     {1, 5},     {2, 4},     {3, 3},     {4, 1},     {5, 1},     {6, 0x11},  {7, 0x22},
      {8, 0x33},  {11, 2},    {12, 1},
      {14, 1},    {15, 0},    {16, 0x90}, {17, 0x01}, {18, 0x90}, {19, 0x01}, {20, 0xFF}, {21, 0},
      {22, 0},    {23, 1},    {24, 1},    {25, 0x34}, {26, 0x12}, {27, 0x56}, {28, 0},    {29, 0},
      {30, 0xFF}, {31, 0},    {77, 5},    {78, 6},    {79, 7},    {80, 8},    {81, 9},    {82, 1},
      {83, 1},    {84, 1},
  };
  for (auto [at, v] : set) want[at] = v;
  EXPECT_EQ(block, want);  // stages 2 to 6 absent: zero
}

TEST(MouseSettingsBlock, CustomLightModeIsSentAsModeZero) {
  for (uint8_t mode : {uint8_t(11), uint8_t(12), uint8_t(30)}) {
    devices::MouseSettingsOut s;
    s.light.selectItem = mode;
    EXPECT_EQ(devices::EncodeMouseSettings(s)[1], mode >= 12 ? 0 : mode) << int(mode);
  }
}

TEST(MouseSettingsBlock, DecodeTakesTheReadBackFields) {
  devices::MouseSettingsBytes block{};
  for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i);
  block[3] = 1;
  const devices::MouseSettingsIn in = devices::DecodeMouseSettings(block);
  devices::MouseSettingsIn want;
  want.onboardProfile = 0;
  want.modeValue = 1;
  want.brightness = 2;
  want.speed = 3;
  want.multiColour = 5;
  want.red = 6;
  want.green = 7;
  want.blue = 8;
  want.pollingRate = 11;
  want.activeStage = 12;
  want.bleSleep1 = 77;
  want.bleSleep2 = 78;
  want.sleep1 = 79;
  want.sleep2 = 80;
  want.debounce = 81;
  want.linearCalibration = 83;
  want.ripple = 84;
  EXPECT_EQ(in, want);
}

// ---- the mouse on the emulator ---------------------------------------------------

// A profile file with the given key codes (current, default) and light mode.
Json::Value ProfileDocument(const std::vector<std::pair<uint32_t, uint32_t>>& keys, int mode, int stages) {
  Json::Value entry;
  for (const auto& [code, def] : keys) {
    Json::Value k;
    k["Assignment"] = code;
    k["DefaultAssignment"] = def;
    entry["KeyList"].append(k);
  }
  Json::Value light;
  light["SelectItem"] = mode;
  light["Light"] = 3;
  light["Speed"] = 1;
  light["Fx"] = 1;
  light["MultiColor"] = 0;
  light["Red"] = 10;
  light["Green"] = 20;
  light["Blue"] = 30;
  entry["LightInfo"] = light;
  entry["DPIStages"]["StageActive"] = 1;
  for (int i = 0; i < stages; ++i) {
    Json::Value s;
    s["StageActive"] = 1;
    s["StageXY"] = 0;
    s["StageDPIX"] = 10 * (i + 1);
    s["StageDPIY"] = 10 * (i + 1);
    s["StageColorR"] = 255;
    s["StageColorG"] = i;
    s["StageColorB"] = 0;
    entry["DPIStages"]["StageDPIs"].append(s);
  }
  entry["SystemStages"]["DoubleClickTime"] = 500;
  entry["SystemStages"]["MouseSpeed"] = 10;
  entry["ReportStages"]["StageActive"] = 3;
  entry["ReportStages"]["SilentAltitude"] = 1;
  entry["ReportStages"]["Linear_Calibration"] = 0;
  entry["ReportStages"]["Ripple"] = 1;
  entry["ReportStages"]["ble_sleep1"] = 2;
  entry["ReportStages"]["ble_sleep2"] = 20;
  entry["ReportStages"]["device_sleep1"] = 3;
  entry["ReportStages"]["device_sleep2"] = 30;
  entry["ReportStages"]["key_debounce_time"] = 6;
  Json::Value root;
  root["Device"].append(entry);
  root["profilename"] = "test";
  return root;
}

std::vector<std::pair<uint32_t, uint32_t>> FactoryKeys() {
  std::vector<std::pair<uint32_t, uint32_t>> keys;
  for (const auto& c : devices::kMouseDefaultCodes) {
    const uint32_t code = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
    keys.emplace_back(code, code);
  }
  return keys;
}

struct MouseRig {
  explicit MouseRig(bool receiver = false, bool wirelessOn = true)
      : emu(std::make_shared<emulator::Emulator>()),
        unit(emulator::firmware::AddDevice(*emu, emulator::DeviceModel::Mouse, receiver, wirelessOn)),
        channel(emu),
        core(channel, profile) {
    channel.SetSleeper([](std::chrono::milliseconds) {});
    opened = channel.OpenHandle(receiver ? protocol::ConnectionMode::Receiver : protocol::ConnectionMode::Wired,
                                emulator::firmware::CommandPath(*unit.device, emulator::DeviceModel::Mouse));
    core.SetMacroFolder(folder.path());
  }
  void WriteProfile(const Json::Value& doc) { profiles::SaveJsonFile(ProfilePath(), doc); }
  std::filesystem::path ProfilePath() const { return folder / "p.Json"; }
  emulator::firmware::DeviceMemory Memory() const { return unit.firmware->Memory(); }
  std::vector<uint8_t> Commands() const {
    std::vector<uint8_t> out;
    for (const auto& r : unit.firmware->Log()) out.push_back(r.Command());
    return out;
  }

  profiles_test::TempFolder folder;
  std::shared_ptr<emulator::Emulator> emu;
  emulator::firmware::EmulatedUnit unit;
  protocol::CCommandChannel channel;
  profiles::CMouseProfiledata profile;
  devices::MouseCore core;
  bool opened = false;
};

TEST(MouseCore, InformationBlockCheck) {
  struct Case {
    const char* name;
    uint16_t magic;
    uint8_t format;
    InfoCheck want;
    uint8_t formatAfter;
    bool suppressed;
  } cases[] = {
      {"initialised", 0x55AA, 4, InfoCheck::Accepted, 4, false},
      {"new", 0x55AA, 0, InfoCheck::New, 4, false},
      {"new without magic", 0x1234, 0, InfoCheck::Unknown, 0, true},
      {"unknown format", 0x55AA, 7, InfoCheck::Unknown, 7, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    MouseRig rig;
    ASSERT_TRUE(rig.opened);
    rig.unit.firmware->EditMemory([&](auto& m) {
      m.info.SetMagic(k.magic);
      m.info.SetFormat(k.format);
    });
    const auto out = rig.core.ReadAll();
    EXPECT_EQ(out.info, k.want);
    EXPECT_EQ(out.complete, !k.suppressed);
    EXPECT_EQ(rig.Memory().info.Format(), k.formatAfter);
    EXPECT_EQ(rig.channel.SuppressIo(), k.suppressed);
    const auto commands = rig.Commands();
    const auto keyMapRead = std::find(commands.begin(), commands.end(), cmd::kReadKeyMap);
    EXPECT_EQ(keyMapRead != commands.end(), !k.suppressed);
    if (k.want == InfoCheck::New) {
      // The block is written back before the key map is read.
      const auto infoWrite = std::find(commands.begin(), commands.end(), cmd::kWriteInfoBlock);
      EXPECT_LT(infoWrite, keyMapRead);
    }
    if (k.suppressed) {
      EXPECT_EQ(std::count(commands.begin(), commands.end(), cmd::kEndTransfer), 0);
      // Nothing reaches the mouse while suppressed, and no write claims success.
      profiles::LightInfoRecord light;
      EXPECT_EQ(rig.core.ReadSettings(light), 0);
      EXPECT_EQ(rig.core.WriteSettings(0, 0), 0);
      EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{0}), -1);
      EXPECT_EQ(rig.core.WriteRecoil(rig.folder.path()), 0);
      EXPECT_EQ(rig.Commands().size(), commands.size());
    }
  }
}

TEST(MouseCore, UnknownMouseInitialisedThenReloads) {
  MouseRig rig;
  rig.unit.firmware->EditMemory([](auto& m) { m.info.SetFormat(9); });
  ASSERT_EQ(rig.core.ReadAll().info, InfoCheck::Unknown);
  EXPECT_EQ(rig.core.InitialiseInfoBlock(), protocol::kOk);
  EXPECT_FALSE(rig.channel.SuppressIo());
  EXPECT_EQ(rig.Memory().info.Format(), 4);
  const auto again = rig.core.ReadAll();
  EXPECT_EQ(again.info, InfoCheck::Accepted);
  EXPECT_TRUE(again.complete);
}

TEST(MouseCore, PositionsFoundFromDefaultCodes) {
  MouseRig rig;
  // Position 0 and 3 swap, button 7's code (13 03 00) is gone.
  rig.unit.firmware->EditMemory([](auto& m) {
    const uint8_t map[] = {0x10, 0x10, 0x00, 0x10, 0x02, 0x00, 0x10, 0x04, 0x00, 0x10, 0x01, 0x00,
                           0x10, 0x08, 0x00, 0x13, 0x01, 0x00, 0x13, 0x02, 0x00, 0x70, 0x00, 0x00,
                           0xA0, 0x1B, 0x00, 0x16, 0x90, 0x01, 0x14, 0x78, 0x02};
    std::copy(std::begin(map), std::end(map), m.keyMap.begin());
  });
  ASSERT_TRUE(rig.core.ReadAll().complete);
  const std::array<uint8_t, 11> want{3, 1, 2, 0, 4, 5, 6, 170, 8, 9, 10};
  EXPECT_EQ(rig.core.Positions(), want);
}

// The back button was given another function and sent: its default code is
// gone from the map. It is found again by what its profile assigns, in the
// form that was sent (macro 1 of three, the only macro in use, went out as
// macro 0), whether the profile is loaded before or after the map is read;
// forward keeps its own.
TEST(MouseCore, AReassignedButtonIsFoundByItsProfileFunction) {
  struct Case {
    const char* name;
    uint32_t assigned;
    std::array<uint8_t, 3> sent;
  } cases[] = {
      {"forward", 0x101000, {0x10, 0x10, 0x00}},
      {"macro 1", 0x700100, {0x70, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    for (const bool profileFirst : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (profileFirst ? ", profile first" : ", map first"));
      MouseRig rig;
      std::ofstream(rig.folder.path() / "macro.config")
          << R"({"MacroInfo": [{"MacroName": "a", "Guid": "g1"}, {"MacroName": "b", "Guid": "g2"},
                               {"MacroName": "c", "Guid": "g3"}]})";
      auto keys = FactoryKeys();
      keys[4].first = c.assigned;
      rig.WriteProfile(ProfileDocument(keys, 1, 7));
      rig.unit.firmware->EditMemory([&](auto& m) { std::copy(c.sent.begin(), c.sent.end(), m.keyMap.begin() + 12); });
      if (profileFirst) {
        ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
      }
      ASSERT_TRUE(rig.core.ReadAll().complete);
      if (!profileFirst) {
        ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
      }
      const std::array<uint8_t, 11> want{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
      EXPECT_EQ(rig.core.Positions(), want);
    }
  }
}

TEST(MouseCore, SettingsReadFillsAndSavesTheProfile) {
  MouseRig rig;
  rig.WriteProfile(ProfileDocument(FactoryKeys(), 0, 7));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  rig.core.SetLightModeValues({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x21});
  rig.unit.firmware->EditMemory([](auto& m) {
    m.settings[0] = 1;
    auto* b = m.settings.data() + 128;
    const std::pair<size_t, uint8_t> set[] = {{1, 0x21}, {2, 2}, {3, 3}, {4, 0}, {5, 1}, {6, 9}, {7, 8}, {8, 7},
                                              {9, 5}, {11, 1}, {12, 4}, {77, 11}, {78, 12}, {79, 13},
                                              {80, 14}, {81, 15}, {82, 0}, {83, 1}, {84, 0}};
    for (auto [at, v] : set) b[at] = v;
  });
  profiles::LightInfoRecord light;
  light.fx = 1;
  ASSERT_EQ(rig.core.ReadSettings(light), 1);
  EXPECT_EQ(rig.core.OnboardProfile(), 1);
  EXPECT_EQ(rig.core.SettingsImage()[1], 11);  // mode value 0x21 is mode 11
  EXPECT_EQ(rig.core.SettingsImage()[9], 0);
  EXPECT_EQ(light.selectItem, 11);
  EXPECT_EQ(light.light, 2);
  EXPECT_EQ(light.speed, 1);
  EXPECT_EQ(light.fx, 1);  // direction is not read back
  EXPECT_EQ(light.red, 9);

  const Json::Value saved = profiles::LoadJsonFile(rig.ProfilePath())["Device"][0];
  EXPECT_EQ(saved["LightInfo"]["SelectItem"].asInt(), 11);
  EXPECT_EQ(saved["DPIStages"]["StageActive"].asInt(), 4);
  const Json::Value& report = saved["ReportStages"];
  EXPECT_EQ(report["StageActive"].asInt(), 1);
  EXPECT_EQ(report["ble_sleep1"].asInt(), 11);
  EXPECT_EQ(report["device_sleep2"].asInt(), 14);
  EXPECT_EQ(report["key_debounce_time"].asInt(), 15);
  EXPECT_EQ(report["Linear_Calibration"].asInt(), 1);
  EXPECT_EQ(report["SilentAltitude"].asInt(), 1);  // lift-off is not read back
  EXPECT_EQ(saved["SystemStages"]["DoubleClickTime"].asInt(), 500);
}

TEST(MouseCore, FailedSettingsReadChangesNothing) {
  struct Case {
    const char* name;
    std::function<void(MouseRig&)> spoil;
  } cases[] = {
      {"closed", [](MouseRig& r) { r.channel.CloseHandles(); }},
      {"suppressed", [](MouseRig& r) { r.channel.SetSuppressIo(true); }},
      {"read fails", [](MouseRig& r) {
         r.unit.firmware->InjectFault({emulator::firmware::FaultKind::Status, -1, cmd::kReadSettings, 0xFF});
       }},
      {"second read fails", [](MouseRig& r) {
         emulator::firmware::Fault f{emulator::firmware::FaultKind::Status, -1, cmd::kReadSettings, 0xFE};
         f.skip = 1;
         r.unit.firmware->InjectFault(f);
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    MouseRig rig;
    rig.WriteProfile(ProfileDocument(FactoryKeys(), 2, 7));
    ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
    const auto before = std::filesystem::last_write_time(rig.ProfilePath());
    const std::string text = profiles::StyledJsonText(profiles::LoadJsonFile(rig.ProfilePath()));
    k.spoil(rig);
    profiles::LightInfoRecord light;
    light.selectItem = 2;
    const profiles::LightInfoRecord kept = light;
    EXPECT_EQ(rig.core.ReadSettings(light), 0);
    EXPECT_EQ(light, kept);
    EXPECT_EQ(std::filesystem::last_write_time(rig.ProfilePath()), before);
    EXPECT_EQ(profiles::StyledJsonText(profiles::LoadJsonFile(rig.ProfilePath())), text);
  }
}

TEST(MouseCore, SettingsWriteSendsTheBlock) {
  MouseRig rig;
  rig.WriteProfile(ProfileDocument(FactoryKeys(), 13, 2));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  EXPECT_EQ(rig.core.WriteSettings(1, 6), 1);
  const auto m = rig.Memory();
  const uint8_t* b = m.settings.data() + 128;
  const uint8_t head[] = {6, 0, 3, 3, 1, 0, 10, 20, 30, 0, 0, 3, 1, 0};
  EXPECT_TRUE(std::equal(std::begin(head), std::end(head), b));
  const uint8_t stages[] = {1, 0, 10, 0, 10, 0, 255, 0, 0, 1, 0, 20, 0, 20, 0, 255, 1, 0};
  EXPECT_TRUE(std::equal(std::begin(stages), std::end(stages), b + 14));
  for (size_t i = 14 + 18; i < 77; ++i) EXPECT_EQ(b[i], 0) << i;  // stages 2 to 6 absent
  const uint8_t tail[] = {2, 20, 3, 30, 6, 1, 0, 1, 0};
  EXPECT_TRUE(std::equal(std::begin(tail), std::end(tail), b + 77));
  const std::vector<uint8_t> want{cmd::kBeginTransfer, cmd::kWriteSettings, cmd::kWriteSettings,
                                  cmd::kEndTransfer};
  EXPECT_EQ(rig.Commands(), want);  // 86 bytes in two chunks of 56
}

TEST(MouseCore, ReceiverWithoutLinkSendsNothing) {
  MouseRig rig(true, false);
  ASSERT_TRUE(rig.opened);
  rig.WriteProfile(ProfileDocument(FactoryKeys(), 1, 7));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  EXPECT_EQ(rig.core.ReadAll().info, InfoCheck::Failed);
  EXPECT_EQ(rig.core.WriteSettings(0, 0), 0);
  EXPECT_EQ(rig.core.WriteKeysFromProfile(0), 0);
  EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{0}), -1);
  EXPECT_EQ(rig.core.WriteRecoil(rig.folder.path()), 0);
  profiles::LightInfoRecord light;
  EXPECT_EQ(rig.core.ReadSettings(light), 0);
  for (uint8_t c : rig.Commands()) EXPECT_EQ(c, cmd::kQueryWirelessLink);
}

TEST(MouseCore, ReceiverWithLinkWrites) {
  MouseRig rig(true, true);
  rig.WriteProfile(ProfileDocument(FactoryKeys(), 1, 7));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  ASSERT_TRUE(rig.core.ReadAll().complete);
  EXPECT_EQ(rig.core.WriteSettings(0, 0), 1);
  EXPECT_EQ(rig.Memory().settings[2], 3);
}

TEST(MouseCore, KeyMapRenumbersMacrosAndFallsBack) {
  MouseRig rig;
  devtest::WriteMacroLibrary(rig.folder.path(), 2);
  auto keys = FactoryKeys();
  keys[0].first = 0x700201;  // macro 2, mode 1
  keys[1].first = 0x700501;  // macro 5 no longer exists: default
  keys[2].first = 0x700203;  // macro 2 again
  keys[3].first = 0x710005;  // macro 0, five times
  keys[4].first = 0x700101;  // macro 1, but button 4 has no position: not sent
  rig.WriteProfile(ProfileDocument(keys, 1, 7));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  rig.unit.firmware->EditMemory([](auto& m) { m.keyMap[12] = 0x55; });  // button 4's code gone
  ASSERT_TRUE(rig.core.ReadAll().complete);
  EXPECT_EQ(rig.core.Positions()[4], 170);

  EXPECT_EQ(rig.core.CollectUsedMacros(), (std::vector<int>{2, 0}));
  const auto r = rig.core.ApplyProfile();
  EXPECT_EQ(r.settings, 1);
  EXPECT_EQ(r.macros, 0);
  EXPECT_EQ(r.keys, 1);
  const auto m = rig.Memory();
  const uint8_t map[] = {0x70, 0x00, 0x01, 0x10, 0x02, 0x00, 0x70, 0x00, 0x03, 0x71, 0x01, 0x05,
                         0x55, 0x08, 0x00, 0x13, 0x01, 0x00};
  EXPECT_TRUE(std::equal(std::begin(map), std::end(map), m.keyMap.begin()));
  ASSERT_TRUE(m.macros.has_value());
  ASSERT_EQ(m.macros->size(), 2u);
  EXPECT_EQ((*m.macros)[0][0].button, 5);  // macro 2 first
  EXPECT_EQ((*m.macros)[0][0].type, 0x8A);
  EXPECT_EQ((*m.macros)[1][1].delay, 21);
  // The deleted macro's key was repaired in the profile too.
  const Json::Value saved = rig.profile.Document();
  EXPECT_EQ(saved["KeyList"][1]["Assignment"].asUInt(), 0x100200u);
}

TEST(MouseCore, MacroWriteResults) {
  {
    SCOPED_TRACE("overflow");
    MouseRig rig;
    devtest::WriteMacroLibrary(rig.folder.path(), 40);
    rig.unit.firmware->EditMemory([](auto& m) { m.info.SetMacroMemoryUnits(1); });
    // 16 + 6 + 4 × 40 = 182 bytes against 128: (54 / 4) + 1 events to remove.
    EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{2}), 14);
    EXPECT_EQ(rig.unit.firmware->CountRequests(cmd::kWriteMacroImage), 0u);
  }
  {
    SCOPED_TRACE("nothing to send");
    MouseRig rig;
    EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{0}), 0);  // no library
    devtest::WriteMacroLibrary(rig.folder.path(), 2);
    EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{}), 0);
    EXPECT_EQ(rig.unit.firmware->CountRequests(cmd::kWriteMacroImage), 0u);
  }
  {
    SCOPED_TRACE("write refused");
    MouseRig rig;
    devtest::WriteMacroLibrary(rig.folder.path(), 2);
    rig.unit.firmware->InjectFault({emulator::firmware::FaultKind::Status, -1, cmd::kWriteMacroImage, 0xFF});
    EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{0}), -1);
  }
  {
    SCOPED_TRACE("closed");
    MouseRig rig;
    devtest::WriteMacroLibrary(rig.folder.path(), 2);
    rig.channel.CloseHandles();
    EXPECT_EQ(rig.core.WriteMacros(std::vector<int>{0}), -1);
  }
}

TEST(MouseCore, NoKeyMapWrittenBeforeOneWasRead) {
  MouseRig rig;
  rig.WriteProfile(ProfileDocument(FactoryKeys(), 1, 7));
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  EXPECT_EQ(rig.core.WriteKeysFromProfile(0), 0);
  EXPECT_EQ(rig.unit.firmware->CountRequests(cmd::kWriteKeyMap), 0u);
}

TEST(MouseCore, ProfileSwitchEvents) {
  MouseRig rig;
  rig.core.OnProfileSwitch(0x1132);
  EXPECT_EQ(rig.core.OnboardProfile(), 2);
  EXPECT_EQ(rig.core.SettingsImage()[12], 3);
  rig.core.OnProfileSwitch(0x1001);
  EXPECT_EQ(rig.core.OnboardProfile(), 1);
  EXPECT_EQ(rig.core.SettingsImage()[12], 3);
  rig.core.OnProfileSwitch(0x1205);  // not a switch
  EXPECT_EQ(rig.core.OnboardProfile(), 1);
}

}  // namespace
