// Device path fields and the supported-device tables.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <tuple>

#include "hid/EmulatedNode.h"
#include "hid/PathFields.h"
#include "hid/SupportedDevices.h"

namespace hid {
namespace {

// The texts a kernel node made from an emulated device carries, written by
// its maker and read back by the hidraw backend.
TEST(EmulatedNode, PhysMarksTheNodeAndUniqCarriesTheVersion) {
  EXPECT_EQ(EmulatedPhys(3, 1), "vx27-emu-3/input1");
  EXPECT_EQ(EmulatedUniq(3, 0x0102), "3/v0102");
  EXPECT_EQ(EmulatedUniq(12, 0xBEEF), "12/vbeef");
  EXPECT_TRUE(IsEmulatedPhys("vx27-emu-3/input1"));
  for (const char* phys : {"usb-0000:00:14.0-1/input1", "", "vx27-emu", "x-vx27-emu-3/input0"})
    EXPECT_FALSE(IsEmulatedPhys(phys)) << phys;

  const std::pair<const char*, std::optional<uint16_t>> uniqs[] = {
      {"3/v0102", 0x0102},
      {"3/v0126", 0x0126},
      {"3/vBEEF", 0xBEEF},
      {"a/b/v0001", 0x0001},
      {"3", std::nullopt},       // made before versions travelled
      {"", std::nullopt},
      {"3/v012", std::nullopt},  // four digits exactly
      {"3/v01026", std::nullopt},
      {"3/v01g2", std::nullopt},
      {"3/v-102", std::nullopt},
  };
  for (const auto& [uniq, version] : uniqs) EXPECT_EQ(EmulatedUniqVersion(uniq), version) << uniq;
}

struct PathCase {
  const char* path;
  uint16_t vid, pid, mi, col;
};

TEST(PathFields, ParsesEachFieldOrGivesZero) {
  const PathCase cases[] = {
      {"/dev/hidraw3#vid_320f&pid_226e&mi_01&col02", 0x320F, 0x226E, 1, 2},
      // Single-interface device: no "&mi_", no "&col".
      {"/dev/hidraw0#vid_0c76&pid_1630", 0x0C76, 0x1630, 0, 0},
      // Interface without collections.
      {"emu:7#vid_0c76&pid_1630&mi_03", 0x0C76, 0x1630, 3, 0},
      // Upper case, and the scan stops at the first non-hex character.
      {"\\\\?\\HID#VID_320F&PID_0000&MI_01&COL04#7&1b2c&0&0003#{4d1e55b2}", 0x320F, 0x0000, 1, 4},
      {"x#vid_320fzz&pid_1004&mi_00&col0a", 0x320F, 0x1004, 0, 0x0A},
      // "mi_" without the ampersand is not the interface token.
      {"x#vid_1&pid_2mi_05", 1, 2, 0, 0},
      // A token with no digits after it reads as 0.
      {"x#vid_&pid_g", 0, 0, 0, 0},
      // Only the first occurrence counts; more than four digits keep the low 16 bits.
      {"x#vid_1&vid_2&pid_12345", 1, 0x2345, 0, 0},
      {"", 0, 0, 0, 0},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathVendorId(c.path), c.vid);
    EXPECT_EQ(PathProductId(c.path), c.pid);
    EXPECT_EQ(PathInterfaceNumber(c.path), c.mi);
    EXPECT_EQ(PathCollectionNumber(c.path), c.col);
  }
}

TEST(PathFields, MadePathsParseBack) {
  const std::string full = MakeInterfacePath("/dev/hidraw9", 0x320F, 0x226F, 1, 2);
  EXPECT_EQ(full, "/dev/hidraw9#vid_320f&pid_226f&mi_01&col02");
  EXPECT_EQ(PathNode(full), "/dev/hidraw9");
  const std::string bare = MakeInterfacePath("emu:1", 0x0C76, 0x1630, 3, std::nullopt);
  EXPECT_EQ(bare, "emu:1#vid_0c76&pid_1630&mi_03");
  EXPECT_EQ(PathCollectionNumber(bare), 0);
  EXPECT_EQ(PathInterfaceNumber(bare), 3);
}

TEST(SupportedTables, IdentitiesAreUniqueAndTwinsPointBack) {
  std::set<std::tuple<int, int, int, int, int, int, int>> seen;
  for (size_t i = 0; i < SupportedInterfaceTable.size(); ++i) {
    const SupportedInterfaceRow& r = SupportedInterfaceTable[i];
    SCOPED_TRACE(i);
    EXPECT_TRUE(seen.insert({r.VendorId, r.ProductId, r.InterfaceNumber, r.CollectionNumber,
                             r.UsagePage, r.Usage, r.DeviceKind})
                    .second);
    EXPECT_EQ(r.Connected, 0);
    if (r.DualMode) {
      ASSERT_LT(r.TwinSlot, SupportedInterfaceTable.size());
      const SupportedInterfaceRow& twin = SupportedInterfaceTable[r.TwinSlot];
      EXPECT_EQ(twin.TwinSlot, i);
      EXPECT_EQ(twin.InterfaceUse, r.InterfaceUse);
      EXPECT_NE(twin.DeviceKind, r.DeviceKind);
    }
  }
}

TEST(SupportedTables, LookupsFindTheFirstMatchingRow) {
  struct Case {
    int32_t vid, pid, kind, role;
    int kindRow, supportedRow;
  };
  const Case cases[] = {
      {0x320F, 0x226E, kind::kMouseCable, kUseCommand, 0, 4},
      {0x320F, 0x226E, kind::kMouseCable, kUseSecond, -1, 5},
      {0x320F, 0x226F, kind::kMouseReceiver, kUseCommand, -1, 6},
      {0x320F, 0x0000, kind::kKeyboardCable, kUseCommand, 1, 0},
      {0x320F, 0x0000, kind::kKeyboardReceiver, kUseSecond, -1, 3},
      {0x320F, 0x1004, kind::kMousePad, kUseCommand, 2, 8},
      {0x0C76, 0x1630, kind::kHeadset, kUseCommand, 3, 10},
      {0x0C76, 0x1630, kind::kMouseCable, kUseCommand, -1, -1},
      {0x320F, 0x9999, kind::kMouseCable, kUseCommand, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.pid << " kind " << c.kind << " role " << c.role);
    EXPECT_EQ(FindKindRow(c.vid, c.pid, c.kind, c.role), c.kindRow);
    EXPECT_EQ(FindSupportedRow(c.vid, c.pid, c.kind, c.role), c.supportedRow);
  }
}

}  // namespace
}  // namespace hid

namespace hid {
namespace {

// The udev rules grant access to exactly the vendor and product ids the
// program supports.
TEST(UdevRules, CoverExactlyTheSupportedIds) {
  const char* root = std::getenv("VX27_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  std::ifstream in(std::string(root) + "/packaging/60-vx27.rules");
  ASSERT_TRUE(in);
  std::set<std::pair<unsigned, unsigned>> rules, table;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    unsigned vid = 0, pid = 0;
    const size_t v = line.find("ATTRS{idVendor}==\"");
    const size_t p = line.find("ATTRS{idProduct}==\"");
    ASSERT_NE(v, std::string::npos) << line;
    ASSERT_NE(p, std::string::npos) << line;
    ASSERT_EQ(std::sscanf(line.c_str() + v, "ATTRS{idVendor}==\"%4x\"", &vid), 1);
    ASSERT_EQ(std::sscanf(line.c_str() + p, "ATTRS{idProduct}==\"%4x\"", &pid), 1);
    EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
    EXPECT_NE(line.find("SUBSYSTEM==\"hidraw\""), std::string::npos) << line;
    rules.insert({vid, pid});
  }
  for (const SupportedInterfaceRow& r : SupportedInterfaceTable) table.insert({r.VendorId, r.ProductId});
  EXPECT_EQ(rules, table);
}

}  // namespace
}  // namespace hid
