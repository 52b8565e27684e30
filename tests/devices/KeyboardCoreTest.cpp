// The keyboard's and the pad's widget-free device work against the emulated
// devices: the 45- and 21-byte block layouts, the key and light positions,
// the settings read and write, the custom colour groups. Expected bytes are
// written out here from the block layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "devices/core/KeyboardCore.h"
#include "emulator/firmware/Firmware.h"
#include "profiles/JsonFile.h"
#include "tests/devices/MacroLibrary.h"
#include "tests/profiles/TestFiles.h"

namespace {

namespace cmd = protocol::cmd;
using devices::KeyPositions;
using devices::kNoKeyPosition;

// ---- blocks --------------------------------------------------------------------

TEST(KeyboardBlock, EncodeLaysOutEveryField) {
  struct Case {
    uint8_t mode;
    std::vector<uint8_t> values;
    uint8_t byte1;
  };
  const Case cases[] = {
      {3, {0, 10, 20, 30}, 30},
      {9, {0, 10, 20, 30}, 0},        // outside the list: its first value
      {29, {}, 0xFE},                 // the host's modes
      {30, {7, 7, 7}, 0xFE},
      {12, {}, 12},                   // no list: the index itself
  };
  for (const Case& c : cases) {
    devices::KeyboardSettingsOut s;
    s.first = 2;
    s.light.selectItem = c.mode;
    s.light.light = 3;
    s.light.speed = 1;
    s.light.fx = 1;
    s.light.multiColor = 1;
    s.light.red = 0x11;
    s.light.green = 0x22;
    s.light.blue = 0x33;
    s.light.zzccLedMode = 2;
    s.light.customGroup = 4;
    s.system.wFlag = 1;
    s.system.key6Flag = 1;
    s.system.winFlag = 1;
    s.system.pollingRate = 3;
    s.system.repeat = 9;       // not carried
    s.system.repeatDelay = 2;  // not carried
    devices::KeyboardSettingsBytes want{};
    const uint8_t head[] = {2, c.byte1, 3, 3, 1, 1, 0x11, 0x22, 0x33};
    std::copy(std::begin(head), std::end(head), want.begin());
    want[18] = 2;
    want[19] = want[20] = want[21] = 1;
    want[22] = 3;
    want[25] = 4;
    EXPECT_EQ(devices::EncodeKeyboardSettings(s, c.values), want) << "mode " << int(c.mode);
  }
}

TEST(KeyboardBlock, DecodeTakesSpeedModeAndFlags) {
  devices::KeyboardSettingsBytes b{};
  const uint8_t head[] = {1, 20, 2, 3, 1, 0, 9, 8, 7};
  std::copy(std::begin(head), std::end(head), b.begin());
  b[18] = 3;
  b[19] = 1;
  b[21] = 1;
  b[25] = 2;
  const std::vector<uint8_t> values{0, 10, 20, 20};
  devices::KeyboardSettingsIn in = devices::DecodeKeyboardSettings(b, values);
  EXPECT_FALSE(in.hostDriven);
  EXPECT_EQ(in.mode, 2);  // the first index holding 20
  EXPECT_EQ(in.speed, 1);  // stored 3
  EXPECT_EQ(in.secondaryMode, 3);
  EXPECT_EQ(in.customGroup, 2);
  EXPECT_EQ(in.wFlag, 1);
  EXPECT_EQ(in.sixKey, 0);
  EXPECT_EQ(in.winLock, 1);
  EXPECT_EQ(devices::DecodeKeyboardSettings(b, {}).mode, 20) << "no list: the value";

  // 0xFE is the host's mode even when the list holds 254 at 29 and 30.
  std::vector<uint8_t> catalogue(31);
  for (size_t i = 0; i < catalogue.size(); ++i) catalogue[i] = uint8_t(i);
  catalogue[29] = catalogue[30] = 0xFE;
  b[1] = 0xFE;
  EXPECT_TRUE(devices::DecodeKeyboardSettings(b, catalogue).hostDriven);
  b[3] = 9;  // a stored speed above 4 reads as 0, never wraps
  EXPECT_EQ(devices::DecodeKeyboardSettings(b, catalogue).speed, 0);
}

TEST(PadBlock, IndexAndSpeedHeldOnTheHost) {
  const std::vector<uint8_t> values{0, 5, 9};
  devices::PadSettingsBytes held{};
  held[1] = 2;
  held[3] = 1;
  held[9] = 0x5A;  // kept as read
  const devices::PadSettingsBytes sent = devices::PadBlockToDevice(held, values);
  EXPECT_EQ(sent[1], 9);
  EXPECT_EQ(sent[3], 3);
  EXPECT_EQ(sent[9], 0x5A);
  EXPECT_EQ(held[1], 2) << "the held block keeps the index";
  EXPECT_EQ(devices::PadBlockFromDevice(sent, values), held);
  held[1] = 7;
  EXPECT_EQ(devices::PadBlockToDevice(held, values)[1], 0) << "outside the list: the first value";
}

// ---- positions -------------------------------------------------------------------

std::vector<uint8_t> MapOf(const std::vector<std::array<uint8_t, 3>>& codes) {
  std::vector<uint8_t> map;
  for (const auto& c : codes) map.insert(map.end(), c.begin(), c.end());
  return map;
}

TEST(KeyPositions, EachPositionGoesToOneKey) {
  std::vector<std::array<uint8_t, 3>> codes(10, {0x20, 0x00, 0x00});
  codes[7] = {0x20, 0x00, 0x29};  // key 0
  codes[2] = {0x20, 0x00, 0x3A};  // key 1
  codes[5] = {0x20, 0x00, 0x3A};  // key 1 again: the first one counts
  const std::vector<uint8_t> leds{40, 41, 42, 43, 44, 45, 46, 200, 48, 49};
  const KeyPositions p = devices::FindKeyPositions(MapOf(codes), leds, codes.size());
  EXPECT_EQ(p.key[0], 7);
  EXPECT_EQ(p.light[0], 200);
  EXPECT_EQ(p.key[1], 2);
  EXPECT_EQ(p.light[1], 42);
  EXPECT_EQ(p.key[2], kNoKeyPosition);
  EXPECT_EQ(p.light[2], kNoKeyPosition);
  // Keys 18, 19, 20, 104, 126... share 20 00 00: each takes its own place.
  EXPECT_EQ(p.key[18], 0);
  EXPECT_EQ(p.key[19], 1);
  EXPECT_EQ(p.key[20], 3);
  EXPECT_EQ(p.key[104], 4);
  EXPECT_EQ(p.key[126], 6);
  EXPECT_EQ(p.key[127], 8);
  EXPECT_EQ(p.key[128], 9);
  EXPECT_EQ(p.key[129], kNoKeyPosition);
  // Positions past the key count are not looked at.
  EXPECT_EQ(devices::FindKeyPositions(MapOf(codes), leds, 7).key[0], kNoKeyPosition);
}

TEST(KeyPositions, ColourPagesSkipLightsPastThePage) {
  KeyPositions p;
  p.light[0] = 0;
  p.light[1] = 169;
  p.light[2] = 170;  // its bytes would pass 3 × 170
  p.light[3] = 200;
  std::vector<profiles::CustomColor> colours(170, {1, 2, 3, 0});
  const auto page = devices::BuildColourPage(colours, p);
  EXPECT_EQ(page[0], 1);
  EXPECT_EQ(page[3 * 169 + 2], 3);
  EXPECT_EQ(std::count(page.begin(), page.end(), 0), 512 - 6);

  const auto back = devices::ColoursFromPage(page, p, 2);
  EXPECT_EQ(back[1], (profiles::CustomColor{1, 2, 3, 99}));  // 100 × 255 >> 8
  EXPECT_EQ(back[2], (profiles::CustomColor{}));
  EXPECT_EQ(back[3], (profiles::CustomColor{}));
}

// ---- the keyboard on the emulator ----------------------------------------------------------

struct KeyboardRig {
  explicit KeyboardRig(emulator::DeviceModel model = emulator::DeviceModel::Keyboard)
      : emu(std::make_shared<emulator::Emulator>()),
        unit(emulator::firmware::AddDevice(*emu, model)),
        channel(emu),
        core(channel, profile),
        pad(channel) {
    channel.SetSleeper([](std::chrono::milliseconds) {});
    opened = channel.OpenHandle(protocol::ConnectionMode::Wired, emulator::firmware::CommandPath(*unit.device, model));
    if (const char* install = std::getenv("VX27_INSTALL_DIR"))
      profile.SetDefaultPath(std::filesystem::path(install) / "DefaultData" / "keyboard.Json");
  }
  std::filesystem::path ProfilePath() const { return folder / "k.Json"; }
  emulator::firmware::DeviceMemory Memory() const { return unit.firmware->Memory(); }

  profiles_test::TempFolder folder;
  std::shared_ptr<emulator::Emulator> emu;
  emulator::firmware::EmulatedUnit unit;
  protocol::CCommandChannel channel;
  profiles::CKeyboardProfiledata profile;
  devices::KeyboardCore core;
  devices::PadCore pad;
  bool opened = false;
};

TEST(KeyboardCore, ReadAllFindsTheFactoryPositions) {
  KeyboardRig rig;
  ASSERT_TRUE(rig.opened);
  ASSERT_TRUE(rig.core.ReadAll());
  const KeyPositions& p = rig.core.Positions();
  EXPECT_EQ(p.key[0], 0);
  EXPECT_EQ(p.key[125], 125);
  EXPECT_EQ(p.light[64], 64);
  EXPECT_EQ(p.key[104], 104);
  EXPECT_EQ(p.key[126], kNoKeyPosition) << "the duplicates' places are taken";
}

TEST(KeyboardCore, SettingsReadTakesTheActiveBlock) {
  KeyboardRig rig;
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  rig.unit.firmware->EditMemory([](auto& m) {
    m.settings[0] = 1;
    const uint8_t block[] = {0, 0xFE, 2, 1, 0, 1, 7, 8, 9};
    std::copy(std::begin(block), std::end(block), m.settings.begin() + 25);
    m.settings[25 + 20] = 1;  // six-key
  });
  profiles::LightInfoRecord light;
  light.selectItem = 29;
  const devices::KeyboardSettingsRead r = rig.core.ReadSettings(light);
  EXPECT_EQ(r.result, protocol::kOk);
  EXPECT_EQ(rig.core.OnboardProfile(), 1);
  EXPECT_EQ(light.selectItem, 29) << "0xFE keeps the host's mode";
  EXPECT_FALSE(r.modeStarts);
  EXPECT_EQ(light.speed, 3);
  EXPECT_EQ(light.red, 7);
  EXPECT_EQ(rig.profile.GetSystemSettings().key6Flag, 1);
  const Json::Value saved = profiles::LoadJsonFile(rig.ProfilePath());
  EXPECT_FALSE(saved.isNull()) << "the profile was saved";

  rig.unit.firmware->EditMemory([](auto& m) { m.settings[25 + 1] = 20; });
  EXPECT_TRUE(rig.core.ReadSettings(light).modeStarts);
  EXPECT_EQ(light.selectItem, 20);
  EXPECT_TRUE(rig.core.ReadSettings(light).modeStarts) << "20 starts again every time";
}

TEST(KeyboardCore, FailedReadsChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(KeyboardRig&)> spoil;
  } cases[] = {
      {"closed", [](KeyboardRig& r) { r.channel.CloseHandles(); }},
      {"suppressed", [](KeyboardRig& r) { r.channel.SetSuppressIo(true); }},
      {"read fails", [](KeyboardRig& r) {
         r.unit.firmware->InjectFault({emulator::firmware::FaultKind::Status, -1, cmd::kReadSettings, 0xFF});
       }},
      {"second read fails", [](KeyboardRig& r) {
         emulator::firmware::Fault f{emulator::firmware::FaultKind::Status, -1, cmd::kReadSettings, 0xFE};
         f.skip = 1;
         r.unit.firmware->InjectFault(f);
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KeyboardRig rig;
    ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
    ASSERT_TRUE(rig.core.ReadAll());
    rig.unit.firmware->EditMemory([](auto& m) { m.keyMap[0] = 0x99; });  // a second read would move key 0
    const std::string text = profiles::StyledJsonText(profiles::LoadJsonFile(rig.ProfilePath()));
    k.spoil(rig);
    profiles::LightInfoRecord light;
    light.selectItem = 5;
    const profiles::LightInfoRecord kept = light;
    EXPECT_EQ(rig.core.ReadSettings(light).result, protocol::kNoReply);
    EXPECT_EQ(light, kept);
    EXPECT_EQ(profiles::StyledJsonText(profiles::LoadJsonFile(rig.ProfilePath())), text);
    if (std::string(k.name) != "read fails" && std::string(k.name) != "second read fails") {
      EXPECT_FALSE(rig.core.ReadAll());
      EXPECT_EQ(rig.core.Positions().key[0], 0);
      EXPECT_EQ(rig.core.ReadCustomGroups(4), 0);
    }
  }
}

TEST(KeyboardCore, SettingsWriteSendsTheBlock) {
  KeyboardRig rig;
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  profiles::LightInfoRecord light;
  light.selectItem = 30;
  light.light = 2;
  light.speed = 1;
  light.red = 0xAB;
  light.customGroup = 3;
  rig.profile.SetLightInfo(light);
  EXPECT_EQ(rig.core.WriteSettings(1, 6), protocol::kOk);
  const auto m = rig.Memory();
  const uint8_t want[] = {6, 0xFE, 2, 3, 0, 0, 0xAB, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(want), std::end(want), m.settings.begin() + 25));
  EXPECT_EQ(m.settings[25 + 25], 3);
}

TEST(KeyboardCore, CustomGroupsReadAndWrittenAsPages) {
  KeyboardRig rig;
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  ASSERT_TRUE(rig.core.ReadAll());
  rig.unit.firmware->EditMemory([](auto& m) {
    for (size_t g = 0; g < 5; ++g) {
      m.colours[g * 512 + 3 * 4] = uint8_t(10 + g);  // light 4 (LED 4), red
      m.colours[g * 512 + 3 * 4 + 2] = 0x77;
    }
  });
  const std::vector<profiles::CustomColor> before = rig.profile.GetCustomColors(1, 170);
  // The second page's read fails: group 1 keeps its colours. A page travels
  // in chunks; the fault lets the first page's through.
  emulator::firmware::Fault f{emulator::firmware::FaultKind::Status, 1, cmd::kReadKeyColours, 0xFF};
  f.skip = int((3 * rig.core.KeyCount() + protocol::kWiredChunk - 1) / protocol::kWiredChunk);
  rig.unit.firmware->InjectFault(f);
  EXPECT_EQ(rig.core.ReadCustomGroups(3), 4);
  EXPECT_EQ(rig.profile.GetCustomColors(0, 170)[4], (profiles::CustomColor{10, 0, 0x77, 174}));  // 175 × 255 >> 8
  EXPECT_EQ(rig.profile.GetCustomColors(4, 170)[4].red, 14);
  EXPECT_EQ(rig.profile.GetCustomColors(1, 170), before);

  auto colours = rig.profile.GetCustomColors(2, 170);
  colours[9] = {1, 2, 3, 255};
  rig.profile.SetCustomColors(colours, 2);
  EXPECT_EQ(rig.core.WriteCustomGroup(2), protocol::kOk);
  const auto m = rig.Memory();
  EXPECT_EQ(m.colours[2 * 512 + 27], 1);
  EXPECT_EQ(m.colours[2 * 512 + 29], 3);
  EXPECT_EQ(rig.core.WriteCustomGroup(5), protocol::kNotWritten);
}

TEST(KeyboardCore, OnboardProfileSwitchReports) {
  KeyboardRig rig;
  EXPECT_TRUE(rig.core.OnProfileSwitch(0x1102));
  EXPECT_EQ(rig.core.OnboardProfile(), 2);
  EXPECT_TRUE(rig.core.OnProfileSwitch(0x1003));
  EXPECT_EQ(rig.core.OnboardProfile(), 3);
  EXPECT_FALSE(rig.core.OnProfileSwitch(0x0401));
  rig.channel.CloseHandles();
  EXPECT_FALSE(rig.core.OnProfileSwitch(0x1101));
  EXPECT_EQ(rig.core.OnboardProfile(), 3);
}

// Keys 43 to 46 (Q, W, E, R) sit at positions 43 to 46 of the factory map.
TEST(KeyboardCore, ProfileAppliedWithItsMacrosAndKeyMap) {
  KeyboardRig rig;
  devtest::WriteMacroLibrary(rig.folder.path(), 2);
  rig.core.SetMacroFolder(rig.folder.path());
  ASSERT_EQ(rig.core.LoadProfile(rig.ProfilePath()), 1);
  ASSERT_TRUE(rig.core.ReadAll());
  std::vector<profiles::KeyAssignment> keys = rig.profile.GetKeyList();
  ASSERT_GE(keys.size(), 170u);
  auto assign = [&](size_t key, uint8_t c0, uint8_t c1, uint8_t c2) {
    keys[key].assignment.c0 = c0;
    keys[key].assignment.c1 = c1;
    keys[key].assignment.c2 = c2;
  };
  assign(43, 0x70, 2, 1);     // macro 2, mode 1
  assign(44, 0x20, 0, 0x04);  // A
  assign(45, 0x70, 5, 1);     // macro 5 no longer exists: default
  assign(46, 0x71, 0, 5);     // macro 0, five times
  assign(130, 0x70, 1, 1);    // past the keys with a code of their own: not sent
  rig.profile.SetKeyList(keys);

  EXPECT_EQ(rig.core.CollectUsedMacros(), (std::vector<int>{2, 0}));
  const devices::KeyboardApplyResult r = rig.core.ApplyProfile();
  EXPECT_EQ(r.settings, protocol::kOk);
  EXPECT_EQ(r.macros, 0);
  EXPECT_EQ(r.keys, protocol::kOk);
  const auto m = rig.Memory();
  const uint8_t map[] = {0x70, 0x00, 0x01, 0x20, 0x00, 0x04, 0x20, 0x00, 0x08, 0x71, 0x01, 0x05};
  EXPECT_TRUE(std::equal(std::begin(map), std::end(map), m.keyMap.begin() + 3 * 43));
  ASSERT_TRUE(m.macros.has_value());
  ASSERT_EQ(m.macros->size(), 2u);
  EXPECT_EQ((*m.macros)[0][0].button, 5);  // macro 2 first
  EXPECT_EQ((*m.macros)[1][1].delay, 21);
  // The deleted macro's key was repaired in the profile.
  EXPECT_EQ(rig.profile.GetKeyList()[45].assignment.Code(), 0x200008u);
}

TEST(KeyboardCore, MacroWriteResults) {
  struct Case {
    const char* name;
    std::function<void(KeyboardRig&)> setUp;
    std::vector<int> macros;
    int result;
  } cases[] = {
      {"no library", [](KeyboardRig&) {}, {0}, 0},
      {"nothing used", [](KeyboardRig& r) { devtest::WriteMacroLibrary(r.folder.path(), 2); }, {}, 0},
      {"closed", [](KeyboardRig& r) {
         devtest::WriteMacroLibrary(r.folder.path(), 2);
         r.channel.CloseHandles();
       }, {0}, protocol::kNotWritten},
      {"write refused", [](KeyboardRig& r) {
         devtest::WriteMacroLibrary(r.folder.path(), 2);
         r.unit.firmware->InjectFault({emulator::firmware::FaultKind::Status, -1, cmd::kWriteMacroImage, 0xFF});
       }, {0}, protocol::kNotWritten},
      // 16 + 6 + 4 × 40 = 182 bytes against 128: (54 / 4) + 1 events to remove.
      {"overflow", [](KeyboardRig& r) {
         devtest::WriteMacroLibrary(r.folder.path(), 40);
         r.unit.firmware->EditMemory([](auto& m) { m.info.SetMacroMemoryUnits(1); });
       }, {2}, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardRig rig;
    rig.core.SetMacroFolder(rig.folder.path());
    c.setUp(rig);
    EXPECT_EQ(rig.core.WriteMacros(c.macros), c.result);
    // A refused write may have reached the keyboard; the others send nothing.
    if (std::string(c.name) != "write refused") EXPECT_FALSE(rig.Memory().macros.has_value());
  }
}

// ---- the pad -----------------------------------------------------------------------------------

TEST(PadCore, ReadsHeldAndWritesTwiceAlike) {
  KeyboardRig rig(emulator::DeviceModel::Pad);
  ASSERT_TRUE(rig.opened);
  rig.pad.SetLightModeValues({0, 5, 9});
  rig.unit.firmware->EditMemory([](auto& m) {
    m.settings[0] = 0;
    m.settings[1] = 9;
    m.settings[3] = 4;
    m.settings[12] = 0x42;
  });
  ASSERT_EQ(rig.pad.ReadSettings(), protocol::kOk);
  EXPECT_EQ(rig.pad.Image()[1], 2);
  EXPECT_EQ(rig.pad.Image()[3], 0);
  EXPECT_EQ(rig.pad.WriteSettings(0), protocol::kOk);
  const auto first = rig.Memory().settings;
  EXPECT_EQ(rig.pad.WriteSettings(0), protocol::kOk);
  EXPECT_EQ(rig.Memory().settings, first);
  EXPECT_EQ(first[1], 9);
  EXPECT_EQ(first[3], 4);
  EXPECT_EQ(first[12], 0x42);

  profiles::LightInfoRecord light;
  light.selectItem = 1;
  light.speed = 3;
  rig.pad.ApplyLighting(light);
  EXPECT_EQ(rig.pad.WriteSettings(0), protocol::kOk);
  EXPECT_EQ(rig.Memory().settings[1], 5);
  EXPECT_EQ(rig.Memory().settings[3], 1);

  rig.channel.CloseHandles();
  EXPECT_EQ(rig.pad.ReadSettings(), protocol::kNoReply);
  EXPECT_EQ(rig.pad.Image()[1], 1) << "a closed channel keeps the block";
}

}  // namespace
