#include "hid/HidrawBackend.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "hid/EmulatedNode.h"
#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace hid {
namespace {

constexpr std::string_view kNodePrefix = "/dev/";
constexpr size_t kMaxRawReport = 16384;  // the kernel's largest HID report

// An owned file descriptor.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&&) = delete;
  Fd(const Fd&) = delete;
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

template <typename T, T* (*Unref)(T*)>
struct UdevUnref {
  void operator()(T* p) const { Unref(p); }
};
using Udev = std::unique_ptr<udev, UdevUnref<udev, udev_unref>>;
using UdevDevice = std::unique_ptr<udev_device, UdevUnref<udev_device, udev_device_unref>>;
using UdevEnumerate =
    std::unique_ptr<udev_enumerate, UdevUnref<udev_enumerate, udev_enumerate_unref>>;
using UdevMonitor = std::unique_ptr<udev_monitor, UdevUnref<udev_monitor, udev_monitor_unref>>;

void Signal(int eventFd) {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
  uint64_t value = 0;
  while (::read(eventFd, &value, sizeof value) > 0) {
  }
}

// Milliseconds left until `deadline` for poll: -1 waits for ever.
int PollTimeout(uint32_t timeoutMs, std::chrono::steady_clock::time_point deadline) {
  if (timeoutMs == kInfinite) return -1;
  const auto left = deadline - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  // Rounded up, so that a wait never ends just before its deadline.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::min<int64_t>(ms, 0x7FFFFFFF));
}


// The turn to write on one node, taken with or without a deadline. A mutex and
// a condition variable rather than std::timed_mutex: its timed lock goes
// through pthread_mutex_clocklock, which the thread sanitizer cannot see.
class WriteTurn {
 public:
  class Hold {
   public:
    Hold(WriteTurn& turn, std::optional<std::chrono::steady_clock::time_point> deadline) : turn_(turn) {
      std::unique_lock guard(turn_.lock_);
      const auto free = [this] { return !turn_.busy_; };
      if (deadline) {
        held_ = turn_.changed_.wait_until(guard, *deadline, free);
      } else {
        turn_.changed_.wait(guard, free);
        held_ = true;
      }
      if (held_) turn_.busy_ = true;
    }
    ~Hold() {
      if (!held_) return;
      {
        std::lock_guard guard(turn_.lock_);
        turn_.busy_ = false;
      }
      turn_.changed_.notify_one();
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool Held() const { return held_; }

   private:
    WriteTurn& turn_;
    bool held_ = false;
  };

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool busy_ = false;
};

class HidrawConnection : public HidConnection {
 public:
  HidrawConnection(Fd fd, Fd readWake, Fd writeWake, HidAttributes attributes,
                   TopLevelCollection collection, bool usesReportIds, OpenMode mode)
      : fd_(std::move(fd)),
        readWake_(std::move(readWake)),
        writeWake_(std::move(writeWake)),
        attributes_(attributes),
        collection_(std::move(collection)),
        usesReportIds_(usesReportIds),
        mode_(mode) {}

  HidAttributes Attributes() const override { return attributes_; }
  const TopLevelCollection& Collection() const override { return collection_; }

  IoResult Read(std::span<uint8_t> buffer, uint32_t timeoutMs,
                const Cancellation& cancel) override {
    const size_t length = collection_.ReportByteLength(ReportType::Input);
    if (!mode_.read || length == 0 || buffer.size() < length) return {IoStatus::Failed, 0};
    Drain(readWake_.get());
    const Wakes wakes = WakeOn(cancel, readWake_.get());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t>& raw = readBuffer_;
    for (;;) {
      const IoStatus ready = WaitForNode(POLLIN, readWake_.get(), cancel, timeoutMs, deadline);
      if (ready != IoStatus::Completed) return {ready, 0};
      // Without report ids the kernel gives the data alone; keep byte 0 for the id.
      uint8_t* into = usesReportIds_ ? raw.data() : raw.data() + 1;
      const size_t room = usesReportIds_ ? raw.size() : raw.size() - 1;
      const ssize_t got = ::read(fd_.get(), into, room);
      if (got < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        return {IoStatus::Failed, 0};
      }
      if (got == 0) return {IoStatus::Failed, 0};
      if (!usesReportIds_) raw[0] = 0;
      const size_t total = static_cast<size_t>(got) + (usesReportIds_ ? 0 : 1);
      if (!collection_.HasReportId(raw[0])) continue;  // another collection's report
      std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length), 0);
      std::copy_n(raw.begin(), std::min(total, length), buffer.begin());
      return {IoStatus::Completed, length};
    }
  }

  IoResult Write(std::span<const uint8_t> report, uint32_t timeoutMs,
                 const Cancellation& cancel) override {
    if (cancel.Requested()) return {IoStatus::Cancelled, 0};
    if (closed_.IsSet() || !mode_.write || report.empty()) return {IoStatus::Failed, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // One output report at a time on the node; a writer waiting for its turn
    // keeps to its own time-out.
    WriteTurn::Hold turn(writeTurn_, timeoutMs == kInfinite ? std::nullopt : std::optional(deadline));
    if (!turn.Held()) return {IoStatus::TimedOut, 0};
    Drain(writeWake_.get());
    const Wakes wakes = WakeOn(cancel, writeWake_.get());
    for (;;) {
      const IoStatus ready = WaitForNode(POLLOUT, writeWake_.get(), cancel, timeoutMs, deadline);
      if (ready != IoStatus::Completed) return {ready, 0};
      // Without report ids byte 0 is 0 and the kernel drops it; it still counts.
      const ssize_t put = ::write(fd_.get(), report.data(), report.size());
      if (put < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        return {IoStatus::Failed, 0};
      }
      if (static_cast<size_t>(put) != report.size()) return {IoStatus::Failed, 0};
      return {IoStatus::Completed, report.size()};
    }
  }

  // Never waits: safe beside a reader blocked in Read on another thread (the
  // drained reports are lost to it, as a flush means).
  bool FlushQueue() override {
    if (closed_.IsSet() || !mode_.read) return false;
    std::vector<uint8_t> raw(kMaxRawReport);
    for (int i = 0; i < 1024; ++i) {
      const ssize_t n = ::read(fd_.get(), raw.data(), raw.size());
      if (n < 0) return errno == EAGAIN;
      if (n == 0) return true;
    }
    return true;
  }

  bool SetOutputReport(std::span<const uint8_t> report) override {
    hid::CancelEvent none;
    return Write(report, kInfinite, Cancellation(none)).status == IoStatus::Completed;
  }

  bool SetFeature(std::span<const uint8_t> report) override {
    if (closed_.IsSet() || report.empty()) return false;
    return ::ioctl(fd_.get(), HIDIOCSFEATURE(report.size()), report.data()) >= 0;
  }

  int GetFeature(std::span<uint8_t> report) override {
    if (closed_.IsSet() || report.empty()) return -1;
    const int n = ::ioctl(fd_.get(), HIDIOCGFEATURE(report.size()), report.data());
    return n < 0 ? -1 : n;
  }

  void Interrupt() override { closed_.Set(); }

 private:
  // A waiting transfer wakes through its eventfd when its cancellation or the
  // close is set.
  struct Wakes {
    Cancellation::Watch cancel;
    platform::StopEvent::Subscription closed;
  };
  Wakes WakeOn(const Cancellation& cancel, int eventFd) {
    auto wake = [eventFd] { Signal(eventFd); };
    return Wakes{cancel.Subscribe(wake), closed_.Subscribe(wake)};
  }

  // Polls the node for `events` together with the transfer's eventfd until
  // the node is ready (Completed), the time runs out, the cancellation asks
  // or the connection closes.
  IoStatus WaitForNode(short events, int wakeFd, const Cancellation& cancel, uint32_t timeoutMs,
                       std::chrono::steady_clock::time_point deadline) {
    for (;;) {
      if (closed_.IsSet()) return IoStatus::Failed;
      if (cancel.Requested()) return IoStatus::Cancelled;
      pollfd fds[2] = {{fd_.get(), events, 0}, {wakeFd, POLLIN, 0}};
      const int n = ::poll(fds, 2, PollTimeout(timeoutMs, deadline));
      if (n < 0) {
        if (errno == EINTR) continue;
        return IoStatus::Failed;
      }
      if (n == 0) return IoStatus::TimedOut;
      if (fds[1].revents & POLLIN) {
        Drain(wakeFd);
        continue;  // the checks above say why
      }
      if (fds[0].revents & events) return IoStatus::Completed;
      if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return IoStatus::Failed;
    }
  }

  Fd fd_;
  Fd readWake_;   // eventfd of the one reader
  Fd writeWake_;  // eventfd of the writer holding its turn
  HidAttributes attributes_;
  TopLevelCollection collection_;
  bool usesReportIds_;
  OpenMode mode_;
  platform::StopEvent closed_;  // set by Interrupt, for good
  std::vector<uint8_t> readBuffer_ = std::vector<uint8_t>(kMaxRawReport);  // the one reader's
  WriteTurn writeTurn_;
};

// What the listing learnt about one hidraw node.
struct NodeInfo {
  dev_t rdev = 0;
  uint16_t vendor = 0;
  uint16_t product = 0;
  uint16_t version = 0;
  std::string phys;
  bool emulated = false;  // made from an emulated device (hid/EmulatedNode.h)
  std::optional<uint16_t> interfaceNumber;
  std::string hidSyspath;  // the HID parent; a new one for every plug
};

std::optional<uint16_t> HexNumber(const char* text) {
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const unsigned long v = std::strtoul(text, &end, 16);
  if (end == text || v > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(v);
}

// The interface number from "HID_PHYS=usb-0000:00:14.0-1/input1"; devices
// without a USB parent (uhid) still end their phys in "/input<N>".
std::optional<uint16_t> PhysInterfaceNumber(const std::string& phys) {
  const size_t at = phys.rfind("/input");
  if (at == std::string::npos) return std::nullopt;
  unsigned n = 0;
  if (std::sscanf(phys.c_str() + at, "/input%u", &n) == 1 && n <= 0xFF)
    return static_cast<uint16_t>(n);
  return std::nullopt;
}

std::optional<NodeInfo> ReadNode(udev_device* node) {
  udev_device* hidParent = udev_device_get_parent_with_subsystem_devtype(node, "hid", nullptr);
  if (!hidParent) return std::nullopt;
  NodeInfo info;
  info.rdev = udev_device_get_devnum(node);
  const char* id = udev_device_get_property_value(hidParent, "HID_ID");
  unsigned bus = 0, vid = 0, pid = 0;
  if (!id || std::sscanf(id, "%x:%x:%x", &bus, &vid, &pid) != 3) return std::nullopt;
  info.vendor = static_cast<uint16_t>(vid);
  info.product = static_cast<uint16_t>(pid);
  const char* phys = udev_device_get_property_value(hidParent, "HID_PHYS");
  info.phys = phys ? phys : "";
  info.hidSyspath = udev_device_get_syspath(hidParent);
  if (udev_device* usbInterface =
          udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_interface")) {
    info.interfaceNumber = HexNumber(udev_device_get_sysattr_value(usbInterface, "bInterfaceNumber"));
  }
  if (!info.interfaceNumber) info.interfaceNumber = PhysInterfaceNumber(info.phys);
  if (udev_device* usbDevice =
          udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_device")) {
    info.version = HexNumber(udev_device_get_sysattr_value(usbDevice, "bcdDevice")).value_or(0);
  } else if (IsEmulatedPhys(info.phys)) {
    // No USB parent: an emulated device carries its version in HID_UNIQ.
    const char* uniq = udev_device_get_property_value(hidParent, "HID_UNIQ");
    info.emulated = true;
    info.version = EmulatedUniqVersion(uniq ? uniq : "").value_or(0);
  }
  return info;
}

// A sysfs file, opened O_CLOEXEC as every descriptor of this backend: a
// program started meanwhile on another thread inherits none of them.
bool ReadFileBytes(const std::string& file, std::vector<uint8_t>* bytes) {
  const Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  bytes->clear();
  uint8_t chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes->insert(bytes->end(), chunk, chunk + n);
    if (bytes->size() > kMaxDescriptorBytes) return true;  // too long: the parser refuses it
  }
}

// The descriptor of an open node, by ioctl.
bool NodeDescriptor(int fd, std::vector<uint8_t>* bytes) {
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE)
    return false;
  hidraw_report_descriptor rd{};
  rd.size = static_cast<uint32_t>(size);
  if (::ioctl(fd, HIDIOCGRDESC, &rd) < 0) return false;
  bytes->assign(rd.value, rd.value + size);
  return true;
}

bool HasNodePrefix(std::string_view path) {
  return path.size() > kNodePrefix.size() && path.substr(0, kNodePrefix.size()) == kNodePrefix;
}

}  // namespace

std::shared_ptr<HidConnection> MakeHidrawConnection(int fd, HidAttributes attributes,
                                                    TopLevelCollection collection,
                                                    bool usesReportIds, const OpenMode& mode) {
  Fd owned(fd);
  Fd readWake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  Fd writeWake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (owned.get() < 0 || readWake.get() < 0 || writeWake.get() < 0) return nullptr;
  return std::make_shared<HidrawConnection>(std::move(owned), std::move(readWake),
                                            std::move(writeWake), attributes,
                                            std::move(collection), usesReportIds, mode);
}

std::optional<std::vector<std::string>> NodeCollectionPaths(std::string_view node, uint16_t vendor,
                                                            uint16_t product,
                                                            std::optional<uint16_t> interfaceNumber,
                                                            std::span<const uint8_t> descriptor) {
  std::string why;
  const auto parsed = ParseReportDescriptor(descriptor, &why);
  if (!parsed) {
    Trace("HID descriptor of " + std::string(node) + " refused (" + why +
          "); the interface is left out");
    return std::nullopt;
  }
  std::vector<std::string> paths;
  const size_t count = parsed->collections.size();
  for (size_t c = 0; c < count; ++c)
    paths.push_back(MakeInterfacePath(
        node, vendor, product, interfaceNumber,
        count > 1 ? std::optional<uint16_t>(static_cast<uint16_t>(c + 1)) : std::nullopt));
  return paths;
}

struct HidrawBackend::State {
  std::mutex lock;  // guards everything below
  Udev udev;
  UdevMonitor monitor;  // null when hot-plug events cannot be had
  uint64_t changes = 0;
  // As of the last listing: node -> what it carried, and HID parent -> the
  // paths of its collections (null when its descriptor was refused, so that
  // it is traced once).
  std::map<std::string, NodeInfo, std::less<>> nodes;
  std::map<std::string, std::shared_ptr<const std::vector<std::string>>> collectionPaths;
  // Nodes whose identity was read again since the count last moved.
  std::map<std::string, uint64_t, std::less<>> verifiedAt;

  void PollMonitor() {
    if (!monitor) return;
    pollfd p{udev_monitor_get_fd(monitor.get()), POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
      UdevDevice event(udev_monitor_receive_device(monitor.get()));
      if (!event) break;
      ++changes;
    }
  }

  // The node's identity now, read through udev from its device number.
  std::optional<NodeInfo> CurrentNode(const std::string& node) {
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode) || !udev) return std::nullopt;
    UdevDevice device(udev_device_new_from_devnum(udev.get(), 'c', st.st_rdev));
    if (!device) return std::nullopt;
    const char* subsystem = udev_device_get_subsystem(device.get());
    if (!subsystem || std::string_view(subsystem) != "hidraw") return std::nullopt;
    return ReadNode(device.get());
  }
};

HidrawBackend::HidrawBackend() : state_(std::make_unique<State>()) {
  state_->udev.reset(udev_new());
  if (!state_->udev) {
    Trace("HID: libudev is not available; no real devices are listed");
    return;
  }
  // udev events where udevd runs (the node's permissions are set by then),
  // the kernel's own events elsewhere (containers, the test VM).
  const bool udevd = ::access("/run/udev/control", F_OK) == 0;
  state_->monitor.reset(udev_monitor_new_from_netlink(state_->udev.get(), udevd ? "udev" : "kernel"));
  if (state_->monitor &&
      (udev_monitor_filter_add_match_subsystem_devtype(state_->monitor.get(), "hidraw", nullptr) < 0 ||
       udev_monitor_enable_receiving(state_->monitor.get()) < 0)) {
    state_->monitor.reset();
  }
  if (!state_->monitor) Trace("HID: no hot-plug monitor; discovery lists on every pass");
}

HidrawBackend::~HidrawBackend() = default;

bool HidrawBackend::Owns(std::string_view path) const { return HasNodePrefix(path); }

std::optional<uint64_t> HidrawBackend::ChangeCount() {
  std::lock_guard guard(state_->lock);
  if (!state_->monitor) return std::nullopt;
  state_->PollMonitor();
  return state_->changes;
}

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  State& s = *state_;
  std::lock_guard guard(s.lock);
  if (!s.udev) return false;
  UdevEnumerate listing(udev_enumerate_new(s.udev.get()));
  if (!listing || udev_enumerate_add_match_subsystem(listing.get(), "hidraw") < 0 ||
      udev_enumerate_scan_devices(listing.get()) < 0) {
    return false;
  }
  std::map<std::string, NodeInfo, std::less<>> nodes;
  std::map<std::string, std::shared_ptr<const std::vector<std::string>>> collectionPaths;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(listing.get())) {
    UdevDevice device(udev_device_new_from_syspath(s.udev.get(), udev_list_entry_get_name(entry)));
    if (!device) continue;
    const char* devnode = udev_device_get_devnode(device.get());
    if (!devnode || !HasNodePrefix(devnode)) continue;
    std::optional<NodeInfo> info = ReadNode(device.get());
    if (!info) continue;
    // A descriptor is read and parsed once per plugged device.
    std::shared_ptr<const std::vector<std::string>> found;
    if (auto known = s.collectionPaths.find(info->hidSyspath); known != s.collectionPaths.end()) {
      found = known->second;
    } else {
      std::vector<uint8_t> bytes;
      if (!ReadFileBytes(info->hidSyspath + "/report_descriptor", &bytes)) bytes.clear();
      if (auto made = NodeCollectionPaths(devnode, info->vendor, info->product,
                                          info->interfaceNumber, bytes))
        found = std::make_shared<const std::vector<std::string>>(std::move(*made));
    }
    collectionPaths[info->hidSyspath] = found;
    if (!found) continue;
    paths.insert(paths.end(), found->begin(), found->end());
    nodes[devnode] = std::move(*info);
  }
  s.nodes = std::move(nodes);
  s.collectionPaths = std::move(collectionPaths);
  s.verifiedAt.clear();
  return true;
}

bool HidrawBackend::IsPresent(std::string_view path) {
  if (!HasNodePrefix(path)) return false;
  const std::string node(PathNode(path));
  State& s = *state_;
  std::lock_guard guard(s.lock);
  const auto listed = s.nodes.find(node);
  // While no hot-plug event came since the node was last looked at, it only
  // has to be there still: a new device on a reused number comes with events.
  if (s.monitor && listed != s.nodes.end()) {
    s.PollMonitor();
    const auto verified = s.verifiedAt.find(node);
    if (verified != s.verifiedAt.end() && verified->second == s.changes) {
      struct stat st {};
      return ::stat(node.c_str(), &st) == 0 && st.st_rdev == listed->second.rdev;
    }
  }
  const std::optional<NodeInfo> now = s.CurrentNode(node);
  if (!now || now->vendor != PathVendorId(path) || now->product != PathProductId(path))
    return false;
  // The same ids on a reused node number may be another device of the same
  // model: the phys (its port) tells them apart, and a device plugged again
  // comes back as a new HID device (a new sysfs path), whose handles must be
  // opened afresh.
  if (listed != s.nodes.end()) {
    if (now->phys != listed->second.phys || now->rdev != listed->second.rdev ||
        now->hidSyspath != listed->second.hidSyspath)
      return false;
    s.verifiedAt[node] = s.changes;
  }
  return true;
}

bool HidrawBackend::IsEmulated(std::string_view path) {
  if (!HasNodePrefix(path)) return false;
  const std::string node(PathNode(path));
  std::lock_guard guard(state_->lock);
  const auto listed = state_->nodes.find(node);
  return listed != state_->nodes.end() && listed->second.emulated;
}

std::shared_ptr<HidConnection> HidrawBackend::Open(std::string_view path, const OpenMode& mode) {
  if (!IsPresent(path)) return nullptr;
  const std::string node(PathNode(path));
  int flags = O_CLOEXEC | O_NONBLOCK;
  if (mode.read && mode.write) {
    flags |= O_RDWR;
  } else if (mode.write) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  Fd fd(::open(node.c_str(), flags));
  if (fd.get() < 0) return nullptr;

  std::vector<uint8_t> bytes;
  if (!NodeDescriptor(fd.get(), &bytes)) return nullptr;
  std::string why;
  auto parsed = ParseReportDescriptor(bytes, &why);
  if (!parsed) {
    Trace("HID descriptor of " + node + " refused (" + why + ")");
    return nullptr;
  }
  const uint16_t col = PathCollectionNumber(path);
  const size_t count = parsed->collections.size();
  if ((col == 0 && count != 1) || (col != 0 && (count == 1 || col > count))) return nullptr;
  const size_t index = col == 0 ? 0 : size_t(col) - 1;

  hidraw_devinfo raw{};
  if (::ioctl(fd.get(), HIDIOCGRAWINFO, &raw) < 0) return nullptr;
  HidAttributes attributes{static_cast<uint16_t>(raw.vendor), static_cast<uint16_t>(raw.product), 0};
  if (attributes.VendorID != PathVendorId(path) || attributes.ProductID != PathProductId(path))
    return nullptr;
  {
    std::lock_guard guard(state_->lock);
    if (auto listed = state_->nodes.find(node); listed != state_->nodes.end())
      attributes.VersionNumber = listed->second.version;
  }
  return MakeHidrawConnection(fd.Release(), attributes,
                              std::move(parsed->collections[index]), parsed->usesReportIds, mode);
}

}  // namespace hid
