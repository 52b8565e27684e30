#include "emulator/VirtualInterface.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>

namespace emulator {
namespace {

constexpr size_t kInputQueueDepth = 64;  // as hidraw: the oldest report goes first
constexpr size_t kWrittenLogDepth = 4096;

}  // namespace

// One opened collection of a virtual interface.
class EmulatedConnection : public hid::HidConnection {
 public:
  EmulatedConnection(std::shared_ptr<VirtualInterface> owner, hid::HidAttributes ids,
                     hid::TopLevelCollection collection, hid::OpenMode mode)
      : owner_(std::move(owner)), ids_(ids), collection_(std::move(collection)), mode_(mode) {}

  hid::HidAttributes Attributes() const override { return ids_; }
  const hid::TopLevelCollection& Collection() const override { return collection_; }

  // Called by the interface for every input report of the interface.
  void Offer(std::span<const uint8_t> report) {
    if (report.empty() || !collection_.HasReportId(report[0])) return;
    const size_t length = collection_.ReportByteLength(hid::ReportType::Input);
    if (length == 0) return;
    std::vector<uint8_t> padded(length, 0);
    std::copy_n(report.begin(), std::min(report.size(), length), padded.begin());
    {
      std::lock_guard guard(lock_);
      if (queue_.size() >= kInputQueueDepth) queue_.pop_front();
      queue_.push_back(std::move(padded));
    }
    changed_.notify_all();
  }

  hid::IoResult Read(std::span<uint8_t> buffer, uint32_t timeoutMs,
                     const hid::Cancellation& cancel) override {
    const size_t length = collection_.ReportByteLength(hid::ReportType::Input);
    if (!mode_.read || length == 0 || buffer.size() < length) return {hid::IoStatus::Failed, 0};
    const Wakes wakes = WakeOn(cancel);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock guard(lock_);
    for (;;) {
      if (closed_.IsSet()) return {hid::IoStatus::Failed, 0};
      // A pending cancel wins over a queued report, as it would over a
      // transfer that completed at once.
      if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
      if (!queue_.empty()) {
        std::copy(queue_.front().begin(), queue_.front().end(), buffer.begin());
        queue_.pop_front();
        return {hid::IoStatus::Completed, length};
      }
      if (timeoutMs == hid::kInfinite) {
        changed_.wait(guard);
      } else if (changed_.wait_until(guard, deadline) == std::cv_status::timeout) {
        if (!queue_.empty() || closed_.IsSet()) continue;
        if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
        return {hid::IoStatus::TimedOut, 0};
      }
    }
  }

  hid::IoResult Write(std::span<const uint8_t> report, uint32_t timeoutMs,
                      const hid::Cancellation& cancel) override {
    if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
    if (!Writable(report)) return {hid::IoStatus::Failed, 0};
    const WriteOutcome outcome = owner_->DeliverOutput(report, false);
    if (outcome.delay.count() > 0) {
      const Wakes wakes = WakeOn(cancel);
      const auto wait = std::min<std::chrono::milliseconds>(
          outcome.delay, timeoutMs == hid::kInfinite ? outcome.delay
                                                     : std::chrono::milliseconds(timeoutMs));
      const auto deadline = std::chrono::steady_clock::now() + wait;
      std::unique_lock guard(lock_);
      for (;;) {
        if (closed_.IsSet()) return {hid::IoStatus::Failed, 0};
        if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
        if (changed_.wait_until(guard, deadline) == std::cv_status::timeout) break;
      }
      if (timeoutMs != hid::kInfinite && outcome.delay > std::chrono::milliseconds(timeoutMs))
        return {hid::IoStatus::TimedOut, 0};
    }
    if (!outcome.accepted) return {hid::IoStatus::Failed, 0};
    return {hid::IoStatus::Completed, report.size()};
  }

  bool FlushQueue() override {
    if (closed_.IsSet()) return false;
    std::lock_guard guard(lock_);
    queue_.clear();
    return true;
  }

  bool SetOutputReport(std::span<const uint8_t> report) override {
    if (!Writable(report, /*ownLengthAllowed=*/true)) return false;
    return owner_->DeliverOutput(report, true).accepted;
  }

  // The emulated collections declare no feature reports.
  bool SetFeature(std::span<const uint8_t>) override { return false; }
  int GetFeature(std::span<uint8_t>) override { return -1; }

  void Interrupt() override { closed_.Set(); }

  size_t Queued() {
    std::lock_guard guard(lock_);
    return queue_.size();
  }

 private:
  // A whole output report of this collection, on a handle opened for writing.
  // A transfer write is always the collection's longest output report; an
  // output report sent outside the queue may also be just as long as its own
  // report id needs (a collection can carry output reports of several sizes).
  bool Writable(std::span<const uint8_t> report, bool ownLengthAllowed = false) {
    if (closed_.IsSet()) return false;
    const size_t length = collection_.ReportByteLength(hid::ReportType::Output);
    if (!mode_.write || length == 0 || report.empty()) return false;
    uint32_t bits = 0;
    bool declared = false;
    for (const hid::ReportField& f : collection_.fields) {
      if (f.type != hid::ReportType::Output || f.reportId != report[0]) continue;
      declared = true;
      bits = std::max(bits, f.bitOffset + uint32_t(f.bitSize) * f.reportCount);
    }
    if (!declared) return false;
    const size_t own = (report[0] != 0 ? 1 : 0) + (bits + 7) / 8;
    return report.size() == length || (ownLengthAllowed && report.size() == own);
  }

  std::shared_ptr<VirtualInterface> owner_;
  hid::HidAttributes ids_;
  hid::TopLevelCollection collection_;
  hid::OpenMode mode_;

  // A waiting transfer wakes when its cancellation or the close is set.
  struct Wakes {
    hid::Cancellation::Watch cancel;
    platform::StopEvent::Subscription closed;
  };
  Wakes WakeOn(const hid::Cancellation& cancel) {
    auto wake = [this] {
      std::lock_guard guard(lock_);
      changed_.notify_all();
    };
    return Wakes{cancel.Subscribe(wake), closed_.Subscribe(wake)};
  }

  std::mutex lock_;  // guards queue_
  std::condition_variable changed_;
  std::deque<std::vector<uint8_t>> queue_;
  platform::StopEvent closed_;  // set by Interrupt, for good
};

VirtualInterface::VirtualInterface(uint8_t number, std::vector<uint8_t> descriptor)
    : number_(number), descriptor_(std::move(descriptor)) {
  std::string why;
  auto parsed = hid::ParseReportDescriptor(descriptor_, &why);
  if (!parsed) {
    std::fprintf(stderr, "emulated interface %u: bad report descriptor: %s\n", number, why.c_str());
    std::abort();
  }
  parsed_ = std::move(*parsed);
}

VirtualInterface::~VirtualInterface() = default;

void VirtualInterface::AttachFirmware(std::shared_ptr<IFirmware> firmware) {
  std::lock_guard guard(firmwareLock_);
  firmware_ = std::move(firmware);
}

std::shared_ptr<IFirmware> VirtualInterface::Firmware() const {
  std::lock_guard guard(firmwareLock_);
  return firmware_;
}

void VirtualInterface::QueueInput(std::span<const uint8_t> report) {
  std::vector<std::shared_ptr<EmulatedConnection>> live;
  {
    std::lock_guard guard(lock_);
    for (auto& weak : connections_)
      if (auto c = weak.lock()) live.push_back(std::move(c));
  }
  for (auto& c : live) c->Offer(report);
  std::lock_guard guard(tapLock_);
  if (tap_) tap_(report);
}

void VirtualInterface::SetInputTap(InputTap tap) {
  std::lock_guard guard(tapLock_);
  tap_ = std::move(tap);
}

std::vector<WrittenReport> VirtualInterface::TakeWritten() {
  std::lock_guard guard(lock_);
  std::vector<WrittenReport> out(std::make_move_iterator(written_.begin()),
                                 std::make_move_iterator(written_.end()));
  written_.clear();
  return out;
}

size_t VirtualInterface::OpenConnections() const {
  std::lock_guard guard(lock_);
  return static_cast<size_t>(std::count_if(connections_.begin(), connections_.end(),
                                           [](const auto& w) { return !w.expired(); }));
}

std::shared_ptr<hid::HidConnection> VirtualInterface::OpenCollection(size_t index,
                                                                     const hid::HidAttributes& ids,
                                                                     const hid::OpenMode& mode) {
  if (index >= parsed_.collections.size()) return nullptr;
  auto connection = std::make_shared<EmulatedConnection>(shared_from_this(), ids,
                                                         parsed_.collections[index], mode);
  std::lock_guard guard(lock_);
  std::erase_if(connections_, [](const auto& w) { return w.expired(); });
  connections_.push_back(connection);
  return connection;
}

void VirtualInterface::Disconnect() {
  std::vector<std::shared_ptr<EmulatedConnection>> live;
  {
    std::lock_guard guard(lock_);
    for (auto& weak : connections_)
      if (auto c = weak.lock()) live.push_back(std::move(c));
    connections_.clear();
  }
  for (auto& c : live) c->Interrupt();
}

WriteOutcome VirtualInterface::DeliverOutput(std::span<const uint8_t> report, bool viaControl) {
  {
    std::lock_guard guard(lock_);
    if (written_.size() >= kWrittenLogDepth) written_.pop_front();
    written_.push_back({{report.begin(), report.end()}, viaControl});
  }
  std::lock_guard guard(firmwareLock_);
  if (!firmware_) return {};
  return firmware_->OnOutputReport(report, viaControl, *this);
}

void VirtualInterface::NotifyPlugged(bool plugged) {
  std::lock_guard guard(firmwareLock_);
  if (firmware_) firmware_->OnPlugged(plugged);
}

}  // namespace emulator
