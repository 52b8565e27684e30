#include "emulator/DeviceCatalog.h"

#include "emulator/DescriptorBuilder.h"

namespace emulator {
namespace {

using field::kArray;
using field::kConstant;
using field::kRelative;
using field::kVariable;

constexpr uint16_t kGenericDesktop = 0x01, kButtons = 0x09, kKeys = 0x07, kLeds = 0x08,
                   kConsumer = 0x0C, kTelephony = 0x0B;
constexpr uint16_t kCommandPage = 0xFF1C, kCommandUsage = 0x92;
constexpr uint16_t kDecoyPage = 0xFF00;

void Mouse(DescriptorBuilder& b, uint8_t id) {
  b.UsagePage(kGenericDesktop).Usage(0x02).Collection(collection::kApplication).ReportId(id);
  b.Usage(0x01).Collection(collection::kPhysical);
  b.UsagePage(kButtons).UsageMin(1).UsageMax(5).LogicalMin(0).LogicalMax(1);
  b.ReportSize(1).ReportCount(5).Input(kVariable);
  b.ReportSize(3).ReportCount(1).Input(kConstant);
  b.UsagePage(kGenericDesktop).Usage(0x30).Usage(0x31).LogicalMin(-32767).LogicalMax(32767);
  b.ReportSize(16).ReportCount(2).Input(kVariable | kRelative);
  b.Usage(0x38).LogicalMin(-127).LogicalMax(127).ReportSize(8).ReportCount(1);
  b.Input(kVariable | kRelative);
  b.UsagePage(kConsumer).Usage(0x238).ReportCount(1).Input(kVariable | kRelative);
  b.EndCollection().EndCollection();
}

void Keyboard(DescriptorBuilder& b, uint8_t id) {
  b.UsagePage(kGenericDesktop).Usage(0x06).Collection(collection::kApplication).ReportId(id);
  b.UsagePage(kKeys).UsageMin(0xE0).UsageMax(0xE7).LogicalMin(0).LogicalMax(1);
  b.ReportSize(1).ReportCount(8).Input(kVariable);
  b.ReportSize(8).ReportCount(1).Input(kConstant);
  b.UsagePage(kLeds).UsageMin(1).UsageMax(5).ReportSize(1).ReportCount(5).Output(kVariable);
  b.ReportSize(3).ReportCount(1).Output(kConstant);
  b.UsagePage(kKeys).UsageMin(0).UsageMax(0xFF).LogicalMin(0).LogicalMax(0xFF);
  b.ReportSize(8).ReportCount(6).Input(kArray);
  b.EndCollection();
}

void SystemControl(DescriptorBuilder& b, uint8_t id) {
  b.UsagePage(kGenericDesktop).Usage(0x80).Collection(collection::kApplication).ReportId(id);
  b.UsageMin(0x81).UsageMax(0x83).LogicalMin(0).LogicalMax(1);
  b.ReportSize(1).ReportCount(3).Input(kVariable);
  b.ReportSize(5).ReportCount(1).Input(kConstant);
  b.EndCollection();
}

// The event collection: one 16-bit value (vendor page 0xFF00, usage 1) that
// carries the device's event codes: 0x401, 0x402, 0x403, 0x10n, 0x11mn.
void Consumer(DescriptorBuilder& b, uint8_t id, uint16_t page, uint16_t usage) {
  b.UsagePage(page).Usage(usage).Collection(collection::kApplication).ReportId(id);
  b.UsagePage(kDecoyPage).Usage(0x01).LogicalMin(0).LogicalMax(0x7FFF);
  b.ReportSize(16).ReportCount(1).Input(kVariable);
  b.EndCollection();
}

void Vendor(DescriptorBuilder& b, uint8_t id, uint16_t page, uint16_t usage) {
  b.UsagePage(page).Usage(usage).Collection(collection::kApplication).ReportId(id);
  b.Usage(0x01).LogicalMin(0).LogicalMax(0xFF).ReportSize(8).ReportCount(63).Input(kVariable);
  b.Usage(0x02).ReportCount(63).Output(kVariable);
  b.EndCollection();
}

struct Pages {
  uint16_t commandPage, commandUsage, eventPage, eventUsage;
};

Pages PagesFor(bool decoy) {
  if (decoy) return {kDecoyPage, 0x01, kDecoyPage, 0x01};
  return {kCommandPage, kCommandUsage, kConsumer, 0x01};
}

// Mouse: interface 0 = mouse, system control, event (col 3); interface 1 =
// keyboard, command (col 2).
std::vector<InterfaceDesc> MouseInterfaces(bool decoy) {
  const Pages p = PagesFor(decoy);
  DescriptorBuilder i0, i1;
  Mouse(i0, 1);
  SystemControl(i0, 2);
  Consumer(i0, kEventReportId, p.eventPage, p.eventUsage);
  Keyboard(i1, 1);
  Vendor(i1, kCommandReportId, p.commandPage, p.commandUsage);
  return {{0, i0.Bytes()}, {1, i1.Bytes()}};
}

// Keyboard and pad: interface 0 = keyboard, system control, event (col 3);
// interface 1 = mouse, system control, consumer keys, command (col 4).
std::vector<InterfaceDesc> KeyboardInterfaces(bool decoy) {
  const Pages p = PagesFor(decoy);
  DescriptorBuilder i0, i1;
  Keyboard(i0, 1);
  SystemControl(i0, 2);
  Consumer(i0, kEventReportId, p.eventPage, p.eventUsage);
  Mouse(i1, 1);
  SystemControl(i1, 2);
  Consumer(i1, 3, kConsumer, 0x01);
  Vendor(i1, kCommandReportId, p.commandPage, p.commandUsage);
  return {{0, i0.Bytes()}, {1, i1.Bytes()}};
}

// Headset: HID interface 3 with one collection; volume keys in, light reports
// out, and the 64-byte command reports (id 4) the settings commands use.
std::vector<InterfaceDesc> HeadsetInterfaces(bool decoy) {
  DescriptorBuilder b;
  b.UsagePage(decoy ? kTelephony : kConsumer).Usage(decoy ? 0x05 : 0x01);
  b.Collection(collection::kApplication).ReportId(1);
  b.UsagePage(kConsumer).Usage(0xE9).Usage(0xEA).Usage(0xE2).LogicalMin(0).LogicalMax(1);
  b.ReportSize(1).ReportCount(3).Input(kVariable);
  b.ReportSize(5).ReportCount(1).Input(kConstant);
  b.ReportId(kHeadsetLightReportId).UsagePage(kDecoyPage).Usage(0x01).LogicalMax(0xFF);
  b.ReportSize(8).ReportCount(16).Output(kVariable);
  b.ReportId(kCommandReportId).UsagePage(kCommandPage).Usage(0x01).LogicalMin(0).LogicalMax(0xFF);
  b.ReportSize(8).ReportCount(63).Input(kVariable);
  b.Usage(0x02).ReportCount(63).Output(kVariable);
  b.EndCollection();
  return {{3, b.Bytes()}};
}

}  // namespace

std::vector<uint8_t> VendorCollectionDescriptor(uint8_t reportId, uint16_t usagePage, uint16_t usage) {
  DescriptorBuilder b;
  Vendor(b, reportId, usagePage, usage);
  return b.Bytes();
}

DeviceDesc MakeDeviceDesc(DeviceModel model, const DeviceOptions& options, std::string name) {
  DeviceDesc desc;
  desc.name = std::move(name);
  desc.vendorId = ids::kVendor;
  desc.wirelessOn = options.wirelessOn;
  switch (model) {
    case DeviceModel::Mouse:
      desc.receiver = options.receiver;
      desc.productId = options.receiver ? ids::kMouseReceiver : ids::kMouseCable;
      desc.version = options.receiver ? 0x0203 : 0x0102;
      desc.interfaces = MouseInterfaces(options.decoy);
      break;
    case DeviceModel::Keyboard:
      desc.receiver = options.receiver;
      desc.productId = ids::kKeyboard;
      desc.version = options.receiver ? 0x0204 : 0x0105;
      desc.interfaces = KeyboardInterfaces(options.decoy);
      break;
    case DeviceModel::Pad:
      desc.productId = ids::kPad;
      desc.version = 0x0101;
      desc.interfaces = KeyboardInterfaces(options.decoy);
      break;
    case DeviceModel::Headset:
      desc.vendorId = ids::kHeadsetVendor;
      desc.productId = ids::kHeadset;
      desc.version = 0x0100;
      desc.interfaces = HeadsetInterfaces(options.decoy);
      break;
  }
  return desc;
}

}  // namespace emulator
