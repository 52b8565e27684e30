#include "hid/HidapiBackend.h"

#include <hidapi.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>

#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace hid {
namespace {

constexpr std::string_view kNodePrefix = "/dev/";
// hid_read_timeout cannot be woken, so waits are cut into slices between
// which cancel and close are checked.
constexpr int kReadSliceMs = 10;
constexpr size_t kMaxRawReport = 16384;  // the kernel's largest HID report

std::once_flag gInitOnce;
bool gInitOk = false;

bool EnsureInit() {
  std::call_once(gInitOnce, [] { gInitOk = hid_init() == 0; });
  return gInitOk;
}

std::string SysfsDir(std::string_view node) {
  const size_t slash = node.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? node : node.substr(slash + 1);
  return "/sys/class/hidraw/" + std::string(name) + "/device/";
}

bool ReadFileBytes(const std::string& file, std::vector<uint8_t>* bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// "HID_ID=0003:0000320F:0000226E" in the node's uevent: bus, vendor, product.
bool NodeIds(std::string_view node, uint16_t* vendor, uint16_t* product) {
  std::ifstream in(SysfsDir(node) + "uevent");
  std::string line;
  while (std::getline(in, line)) {
    unsigned bus = 0, vid = 0, pid = 0;
    if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &vid, &pid) == 3) {
      *vendor = static_cast<uint16_t>(vid);
      *product = static_cast<uint16_t>(pid);
      return true;
    }
  }
  return false;
}

// The USB interface number from "HID_PHYS=usb-0000:00:14.0-1/input1": hidapi
// finds no number for devices without a USB parent (uhid), the phys still
// ends in "/input<N>".
std::optional<uint16_t> PhysInterfaceNumber(std::string_view node) {
  std::ifstream in(SysfsDir(node) + "uevent");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("HID_PHYS=", 0) != 0) continue;
    const size_t at = line.rfind("/input");
    if (at == std::string::npos) return std::nullopt;
    unsigned n = 0;
    if (std::sscanf(line.c_str() + at, "/input%u", &n) == 1 && n <= 0xFF)
      return static_cast<uint16_t>(n);
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<ParsedDescriptor> NodeDescriptor(std::string_view node) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(SysfsDir(node) + "report_descriptor", &bytes)) return std::nullopt;
  std::string why;
  auto parsed = ParseReportDescriptor(bytes, &why);
  if (!parsed) Trace("HID descriptor of " + std::string(node) + " rejected: " + why);
  return parsed;
}

// The path still names the device it named: the node exists and carries the
// same vendor and product (hidraw numbers are reused by later devices).
bool NodeMatches(std::string_view path) {
  const std::string_view node = PathNode(path);
  if (node.size() <= kNodePrefix.size() || node.substr(0, kNodePrefix.size()) != kNodePrefix)
    return false;
  struct stat st {};
  if (::stat(std::string(node).c_str(), &st) != 0) return false;
  uint16_t vid = 0, pid = 0;
  if (!NodeIds(node, &vid, &pid)) return false;
  return vid == PathVendorId(path) && pid == PathProductId(path);
}

class HidapiConnection : public HidConnection {
 public:
  HidapiConnection(hid_device* device, HidAttributes attributes, TopLevelCollection collection,
                   bool usesReportIds)
      : device_(device),
        attributes_(attributes),
        collection_(std::move(collection)),
        usesReportIds_(usesReportIds) {}
  ~HidapiConnection() override { hid_close(device_); }

  HidAttributes Attributes() const override { return attributes_; }
  const TopLevelCollection& Collection() const override { return collection_; }

  IoResult Read(std::span<uint8_t> buffer, uint32_t timeoutMs, CancelEvent& cancel) override {
    const size_t length = collection_.ReportByteLength(ReportType::Input);
    if (length == 0 || buffer.size() < length) return {IoStatus::Failed, 0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t>& raw = readBuffer_;
    for (;;) {
      if (cancel.Consume()) return {IoStatus::Cancelled, 0};
      if (interrupted_.load()) return {IoStatus::Failed, 0};
      int slice = kReadSliceMs;
      if (timeoutMs != kInfinite) {
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();
        const int64_t left = int64_t(timeoutMs) - spent;
        slice = static_cast<int>(std::clamp<int64_t>(left, 0, kReadSliceMs));
      }
      // Without report ids the kernel gives the data alone; keep byte 0 for the id.
      uint8_t* into = usesReportIds_ ? raw.data() : raw.data() + 1;
      const size_t room = usesReportIds_ ? raw.size() : raw.size() - 1;
      const int n = hid_read_timeout(device_, into, room, slice);
      if (n < 0) return {IoStatus::Failed, 0};
      if (n > 0) {
        if (!usesReportIds_) raw[0] = 0;
        const size_t got = static_cast<size_t>(n) + (usesReportIds_ ? 0 : 1);
        if (collection_.HasReportId(raw[0])) {
          std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length), 0);
          std::copy_n(raw.begin(), std::min(got, length), buffer.begin());
          return {IoStatus::Completed, length};
        }
        continue;  // a report of another collection of this interface
      }
      if (timeoutMs != kInfinite && slice == 0) return {IoStatus::TimedOut, 0};
    }
  }

  // hidraw writes do not wait for the device beyond the kernel's own limit;
  // the time-out cannot be applied to them.
  IoResult Write(std::span<const uint8_t> report, uint32_t, CancelEvent& cancel) override {
    if (cancel.Consume()) return {IoStatus::Cancelled, 0};
    if (interrupted_.load() || report.empty()) return {IoStatus::Failed, 0};
    std::lock_guard guard(writeLock_);
    // Without report ids byte 0 is 0 and hidapi drops it; it is still counted.
    const int n = hid_write(device_, report.data(), report.size());
    if (n < 0) return {IoStatus::Failed, 0};
    return {IoStatus::Completed, report.size()};
  }

  // Never waits: safe beside a reader blocked in Read on another thread (the
  // drained reports are lost to it, as a flush means).
  bool FlushQueue() override {
    if (interrupted_.load()) return false;
    std::vector<uint8_t> raw(kMaxRawReport);
    for (int i = 0; i < 1024; ++i) {
      const int n = hid_read_timeout(device_, raw.data(), raw.size(), 0);
      if (n < 0) return false;
      if (n == 0) return true;
    }
    return true;
  }

  bool SetOutputReport(std::span<const uint8_t> report) override {
    if (interrupted_.load() || report.empty()) return false;
    std::lock_guard guard(writeLock_);
    return hid_write(device_, report.data(), report.size()) >= 0;
  }

  void Interrupt() override { interrupted_.store(true); }

 private:
  hid_device* device_;
  HidAttributes attributes_;
  TopLevelCollection collection_;
  bool usesReportIds_;
  std::atomic<bool> interrupted_{false};
  std::vector<uint8_t> readBuffer_ = std::vector<uint8_t>(kMaxRawReport);  // the one reader's
  std::mutex writeLock_;  // one output report at a time on the device
};

}  // namespace

HidapiBackend::HidapiBackend() = default;
HidapiBackend::~HidapiBackend() = default;

bool HidapiBackend::Owns(std::string_view path) const {
  return path.substr(0, kNodePrefix.size()) == kNodePrefix;
}

bool HidapiBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  if (!EnsureInit()) return false;
  // No device at all is also a null list, so null is an empty listing.
  hid_device_info* list = hid_enumerate(0, 0);
  std::set<std::string> seen;
  for (hid_device_info* d = list; d; d = d->next) {
    if (!d->path || !seen.insert(d->path).second) continue;
    const std::string node = d->path;
    const std::optional<uint16_t> mi =
        d->interface_number >= 0 ? std::optional<uint16_t>(uint16_t(d->interface_number))
                                 : PhysInterfaceNumber(node);
    const auto parsed = NodeDescriptor(node);
    if (!parsed || parsed->collections.size() <= 1) {
      paths.push_back(MakeInterfacePath(node, d->vendor_id, d->product_id, mi, std::nullopt));
      continue;
    }
    for (size_t c = 0; c < parsed->collections.size(); ++c)
      paths.push_back(MakeInterfacePath(node, d->vendor_id, d->product_id, mi,
                                        static_cast<uint16_t>(c + 1)));
  }
  hid_free_enumeration(list);
  return true;
}

std::shared_ptr<HidConnection> HidapiBackend::Open(std::string_view path, const OpenMode&) {
  if (!EnsureInit() || !NodeMatches(path)) return nullptr;
  const std::string node(PathNode(path));
  const auto parsed = NodeDescriptor(node);
  if (!parsed) return nullptr;
  const uint16_t col = PathCollectionNumber(path);
  size_t index = col == 0 ? 0 : size_t(col) - 1;
  if (col == 0 && parsed->collections.size() != 1) return nullptr;
  if (index >= parsed->collections.size()) return nullptr;

  hid_device* device = hid_open_path(node.c_str());
  if (!device) return nullptr;
  HidAttributes attributes{PathVendorId(path), PathProductId(path), 0};
  if (hid_device_info* info = hid_get_device_info(device)) {
    attributes.VendorID = info->vendor_id;
    attributes.ProductID = info->product_id;
    attributes.VersionNumber = info->release_number;
  }
  return std::make_shared<HidapiConnection>(device, attributes, parsed->collections[index],
                                            parsed->usesReportIds);
}

bool HidapiBackend::IsPresent(std::string_view path) { return NodeMatches(path); }

}  // namespace hid
