// Random mutations of real descriptors through the parser and, when they
// parse, through opening every collection and decoding random reports. The
// binary is built with AddressSanitizer and UBSan where available, so a read
// past a buffer fails the run. Fixed seed, bounded iterations.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "emulator/DeviceCatalog.h"
#include "emulator/Emulator.h"
#include "hid/CHidInterface.h"
#include "hid/PathFields.h"
#include "hid/ReportDescriptor.h"
#include "tests/hid/Fixtures.h"

namespace hid {
namespace {

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> seeds = {fixtures::kBootKeyboard, fixtures::kBootMouse,
                                             fixtures::kThreeCollections};
  using emulator::DeviceModel;
  for (DeviceModel m : {DeviceModel::Mouse, DeviceModel::Keyboard, DeviceModel::Headset})
    for (const auto& i : emulator::MakeDeviceDesc(m, {}, "seed").interfaces)
      seeds.push_back(i.descriptor);
  return seeds;
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> d, std::mt19937& rng) {
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n)(rng); };
  const int steps = 1 + static_cast<int>(pick(3));
  for (int s = 0; s < steps; ++s) {
    const uint8_t byte = static_cast<uint8_t>(rng());
    switch (pick(6)) {
      case 0: if (!d.empty()) d[pick(d.size() - 1)] ^= uint8_t(1u << pick(7)); break;
      case 1: if (!d.empty()) d[pick(d.size() - 1)] = byte; break;
      case 2: d.insert(d.begin() + static_cast<std::ptrdiff_t>(pick(d.size())), byte); break;
      case 3: if (!d.empty()) d.erase(d.begin() + static_cast<std::ptrdiff_t>(pick(d.size() - 1))); break;
      case 4: d.resize(pick(d.size())); break;
      case 5: {  // repeat a slice: deeper nesting, more items
        if (d.size() < 2) break;
        const size_t from = pick(d.size() - 1);
        const size_t len = std::min<size_t>(pick(16), d.size() - from);
        std::vector<uint8_t> slice(d.begin() + static_cast<std::ptrdiff_t>(from),
                                   d.begin() + static_cast<std::ptrdiff_t>(from + len));
        d.insert(d.begin() + static_cast<std::ptrdiff_t>(pick(d.size())), slice.begin(), slice.end());
        break;
      }
      default: {  // interesting values in a data byte
        static const uint8_t kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, 0x20, 0x10};
        if (!d.empty()) d[pick(d.size() - 1)] = kEdges[pick(7)];
      }
    }
  }
  return d;
}

// Every field lies inside the report length of its collection.
void CheckLayout(const ParsedDescriptor& p) {
  for (const TopLevelCollection& c : p.collections) {
    for (const ReportField& f : c.fields) {
      const uint32_t length = c.ReportByteLength(f.type);
      ASSERT_GT(length, 0u);
      ASSERT_LE(uint64_t(f.bitOffset) + uint64_t(f.bitSize) * f.reportCount, uint64_t(length - 1) * 8);
      ASSERT_LE(f.usageMin, f.usageMax);
    }
  }
}

TEST(DescriptorFuzz, MutatedDescriptorsParseOrFailCleanly) {
  std::mt19937 rng(20261210);
  const auto seeds = Seeds();
  auto emu = std::make_shared<emulator::Emulator>();
  CHidInterface hid(emu);
  int parsed = 0, opened = 0;
  for (int i = 0; i < 40000; ++i) {
    const bool random = i % 10 == 0;
    std::vector<uint8_t> bytes;
    if (random) {
      bytes.resize(rng() % 64);
      for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    } else {
      bytes = Mutate(seeds[rng() % seeds.size()], rng);
    }
    // An exact-size heap copy, so any read past the end is caught.
    const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    std::string why;
    auto result = ParseReportDescriptor(exact, &why);
    if (!result) {
      ASSERT_FALSE(why.empty());
      continue;
    }
    ++parsed;
    CheckLayout(*result);
    if (i % 4 != 0) continue;

    // Open every collection of it as an emulated interface and decode reports
    // of every length up to one past the report, with random contents.
    emulator::DeviceDesc desc;
    desc.name = "fuzz";
    desc.vendorId = 0x1234;
    desc.productId = 0x5678;
    desc.interfaces = {{0, exact}};
    auto device = emu->Add(desc);
    std::vector<std::string> paths;
    ASSERT_TRUE(emu->Enumerate(paths));
    for (const std::string& path : paths) {
      if (path.rfind("emu:" + std::to_string(device->Id()) + "#", 0) != 0) continue;
      ASSERT_TRUE(hid.Open(path, true, true, true, false)) << path;
      ++opened;
      for (ReportType type : {ReportType::Input, ReportType::Output, ReportType::Feature}) {
        const size_t length = hid.ReportByteLength(type);
        for (size_t n : {size_t(1), length / 2 + 1, length, length + 1}) {
          std::vector<uint8_t> report(n);
          for (auto& b : report) b = static_cast<uint8_t>(rng());
          const auto& ids = result->collections.front().reportIds;
          if (!report.empty() && !ids.empty() && rng() % 2) report[0] = ids[rng() % ids.size()];
          (void)hid.UnpackReport(report, type);
        }
      }
      hid.Close();
    }
    emu->Unplug(device->Id());
  }
  // The mutations must keep a fair share parseable, or the decode path goes untested.
  EXPECT_GT(parsed, 4000);
  EXPECT_GT(opened, 1000);
  std::printf("%d of 40000 parsed, %d collections opened and decoded\n", parsed, opened);
}

}  // namespace
}  // namespace hid
