#include "hid/CHidInterface.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <set>

#include "hid/PathFields.h"
#include "platform/Trace.h"
#include "platform/Worker.h"

namespace hid {
namespace {

constexpr auto kCloseWaitStep = std::chrono::seconds(5);

int TypeIndex(ReportType type) { return static_cast<int>(type); }

int32_t SignedValue(uint32_t raw, uint16_t bits, int32_t logicalMin) {
  if (logicalMin >= 0 || bits == 0 || bits >= 32) return static_cast<int32_t>(raw);
  const uint32_t sign = 1u << (bits - 1);
  return static_cast<int32_t>((raw ^ sign) - sign);
}

}  // namespace

CHidInterface::CHidInterface(std::shared_ptr<HidBackend> backend) : backend_(std::move(backend)) {}

CHidInterface::~CHidInterface() { Close(); }

bool CHidInterface::Enumerate() {
  FreePathList();
  std::vector<std::string> found;
  if (!backend_ || !backend_->Enumerate(found)) return false;
  paths_ = std::move(found);
  cursor_ = 0;
  return true;
}

const std::string* CHidInterface::NextPath() {
  if (cursor_ >= paths_.size()) return nullptr;
  return &paths_[cursor_++];
}

void CHidInterface::FreePathList() {
  paths_.clear();
  paths_.shrink_to_fit();
  cursor_ = 0;
}

std::shared_ptr<HidConnection> CHidInterface::Connection() const {
  std::lock_guard guard(lock_);
  return connection_;
}

bool CHidInterface::IsOpen() const { return Connection() != nullptr; }

bool CHidInterface::Open(std::string_view path, bool forRead, bool forWrite, bool overlapped,
                         bool exclusive) {
  Close();
  const std::string stored(path.substr(0, std::min(path.size(), kMaxPathChars)));
  OpenMode mode{forRead, forWrite, overlapped, exclusive};
  std::shared_ptr<HidConnection> connection = backend_ ? backend_->Open(stored, mode) : nullptr;

  std::lock_guard guard(lock_);
  mode_ = mode;
  devicePath_ = stored;
  if (!connection) return false;
  connection_ = std::move(connection);
  attributes_ = connection_->Attributes();
  Describe(connection_->Collection());
  interfaceNumber_ = PathInterfaceNumber(devicePath_);
  collectionNumber_ = PathCollectionNumber(devicePath_);
  return true;
}

void CHidInterface::Describe(const TopLevelCollection& top) {
  usagePage_ = top.usagePage;
  usage_ = top.usage;
  for (int ti = 0; ti < kReportTypeCount; ++ti) {
    const auto type = static_cast<ReportType>(ti);
    PerType& t = types_[ti];
    reportLength_[ti] = top.ReportByteLength(type);
    t.reportBuffer.assign(reportLength_[ti], 0);
    for (const ReportField& f : top.fields) {
      if (f.type != type) continue;
      (f.isButton ? t.buttonCaps : t.valueCaps).push_back(f);
    }
  }
  // Data entries after all caps exist, since list lengths span every cap.
  for (int ti = 0; ti < kReportTypeCount; ++ti) {
    const auto type = static_cast<ReportType>(ti);
    PerType& t = types_[ti];
    for (size_t i = 0; i < t.buttonCaps.size(); ++i) {
      const ReportField& f = t.buttonCaps[i];
      HidData d;
      d.IsButtonData = true;
      d.UsagePage = f.usagePage;
      d.ReportID = f.reportId;
      d.UsageMin = f.usageMin;
      d.UsageMax = f.usageMax;
      d.MaxUsageListLength = MaxUsageListLengthLocked(type, f.usagePage);
      d.Usages.assign(d.MaxUsageListLength, 0);
      d.FieldIndex = i;
      t.data.push_back(std::move(d));
    }
    for (size_t i = 0; i < t.valueCaps.size(); ++i) {
      const ReportField& f = t.valueCaps[i];
      const uint32_t count = f.isRange ? uint32_t(f.usageMax) - f.usageMin + 1 : 1;
      for (uint32_t k = 0; k < count; ++k) {
        HidData d;
        d.UsagePage = f.usagePage;
        d.ReportID = f.reportId;
        d.Usage = static_cast<uint16_t>(f.usageMin + k);
        d.FieldIndex = i;
        t.data.push_back(std::move(d));
      }
    }
  }
}

void CHidInterface::Close() {
  std::shared_ptr<HidConnection> connection;
  {
    std::lock_guard guard(lock_);
    connection.swap(connection_);
  }
  if (connection) {
    connection->Interrupt();
    const bool pending = readPending_.load() != 0 || writePending_.load() != 0;
    if (pending) cancel_.Set();
    // Nothing is freed under a running transfer: wait until it has left. The
    // interrupted connection makes that prompt.
    std::unique_lock wait(transferLock_);
    while (!transferDone_.wait_for(wait, kCloseWaitStep, [this] {
      return readPending_.load() == 0 && writePending_.load() == 0;
    })) {
      Trace("HID close: waiting for a transfer to leave");
    }
    // A signal the transfer did not consume was meant for it alone; left set,
    // it would fail the first transfer after the next Open.
    if (pending) cancel_.Reset();
  }
  std::lock_guard guard(lock_);
  for (PerType& t : types_) t = PerType{};
  for (uint16_t& l : reportLength_) l = 0;
  attributes_ = HidAttributes{};
  usagePage_ = usage_ = 0;
  interfaceNumber_ = collectionNumber_ = 0;
}

// Notified under the lock: once Close sees the transfer gone it may destroy
// this object, so nothing of it may be touched after the unlock.
void CHidInterface::LeaveTransfer(std::atomic<int>& pending) {
  std::lock_guard guard(transferLock_);
  pending.store(0);
  transferDone_.notify_all();
}

bool CHidInterface::Read(std::span<uint8_t> buffer, uint32_t* bytesRead, uint32_t timeoutMs,
                         const platform::StopEvent* stop) {
  readPending_.store(1);
  if (bytesRead) *bytesRead = 0;
  bool ok = false;
  if (std::shared_ptr<HidConnection> connection = Connection()) {
    const IoResult r = connection->Read(
        buffer, timeoutMs, Cancellation(cancel_, stop ? stop : platform::ThisThreadStop()));
    ok = r.status == IoStatus::Completed;
    if (ok && bytesRead) *bytesRead = static_cast<uint32_t>(r.transferred);
  }
  LeaveTransfer(readPending_);
  return ok;
}

bool CHidInterface::Write(std::span<const uint8_t> buffer, uint32_t* bytesWritten,
                          uint32_t timeoutMs, const platform::StopEvent* stop) {
  writePending_.store(1);
  if (bytesWritten) *bytesWritten = 0;
  bool ok = false;
  if (std::shared_ptr<HidConnection> connection = Connection()) {
    const IoResult r = connection->Write(
        buffer, timeoutMs, Cancellation(cancel_, stop ? stop : platform::ThisThreadStop()));
    ok = r.status == IoStatus::Completed;
    if (ok && bytesWritten) *bytesWritten = static_cast<uint32_t>(r.transferred);
  }
  LeaveTransfer(writePending_);
  return ok;
}

bool CHidInterface::SetFeature(std::span<const uint8_t> report) {
  std::shared_ptr<HidConnection> connection = Connection();
  return connection && connection->SetFeature(report);
}

int CHidInterface::GetFeature(std::span<uint8_t> report) {
  std::shared_ptr<HidConnection> connection = Connection();
  return connection ? connection->GetFeature(report) : -1;
}

bool CHidInterface::FlushQueue() {
  std::shared_ptr<HidConnection> connection = Connection();
  return connection && connection->FlushQueue();
}

bool CHidInterface::SetOutputReport(std::span<const uint8_t> report) {
  std::shared_ptr<HidConnection> connection = Connection();
  return connection && connection->SetOutputReport(report);
}

uint32_t CHidInterface::MaxUsageListLengthLocked(ReportType type, uint16_t usagePage) const {
  // One decode sees one report: count per report id, and the usages of a
  // page are at most the report's elements of that page. An array yields at
  // most one usage per slot, however many usages it declares (each declared
  // usage is a capability of its own over the same slots); a bit field one
  // per bit. No report is longer than kMaxReportBits.
  std::map<uint8_t, uint32_t> perReport;
  std::set<std::pair<uint8_t, uint32_t>> arraysCounted;  // (report id, bit offset)
  for (const ReportField& f : types_[TypeIndex(type)].buttonCaps) {
    if (usagePage != 0 && f.usagePage != usagePage) continue;
    if (f.isArray && !arraysCounted.insert({f.reportId, f.bitOffset}).second) continue;
    perReport[f.reportId] += f.reportCount;
  }
  uint32_t longest = 0;
  for (const auto& [id, count] : perReport) longest = std::max(longest, count);
  return std::min(longest, kMaxReportBits);
}

uint32_t CHidInterface::MaxUsageListLength(ReportType type, uint16_t usagePage) const {
  std::lock_guard guard(lock_);
  return MaxUsageListLengthLocked(type, usagePage);
}

std::optional<std::vector<uint16_t>> CHidInterface::UsagesOn(std::span<const uint8_t> report,
                                                             const PerType& t,
                                                             uint16_t usagePage) const {
  const uint8_t id = report[0];
  std::vector<uint16_t> found;  // caps order
  std::set<uint32_t> arraysRead;  // bit offsets of the array items already read
  for (const ReportField& f : t.buttonCaps) {
    if (f.reportId != id) continue;
    if (!f.isArray) {
      if (f.usagePage != usagePage) continue;
      for (uint32_t k = 0; k < f.reportCount; ++k) {
        uint32_t v = 0;
        if (!ExtractBits(report, f.bitOffset + k * f.bitSize, f.bitSize, &v)) return std::nullopt;
        // Elements past the last usage of a range repeat that usage.
        const uint32_t usage = f.isRange ? std::min<uint32_t>(f.usageMin + k, f.usageMax) : f.usageMin;
        if (v) found.push_back(static_cast<uint16_t>(usage));
      }
      continue;
    }
    // An array item is one capability per declared usage over the same slots:
    // each slot is read once and its index looked up among the item's caps.
    if (!arraysRead.insert(f.bitOffset).second) continue;
    std::vector<const ReportField*> item;  // ascending arrayIndexBase
    for (const ReportField& g : t.buttonCaps)
      if (g.isArray && g.reportId == id && g.bitOffset == f.bitOffset) item.push_back(&g);
    for (uint32_t k = 0; k < f.reportCount; ++k) {
      uint32_t v = 0;
      if (!ExtractBits(report, f.bitOffset + k * f.bitSize, f.bitSize, &v)) return std::nullopt;
      const int64_t value = SignedValue(v, f.bitSize, f.logicalMin);
      if (value < f.logicalMin || value > f.logicalMax) continue;  // the null value
      const int64_t index = value - f.logicalMin;
      auto after = std::upper_bound(item.begin(), item.end(), index,
                                    [](int64_t i, const ReportField* g) { return i < int64_t(g->arrayIndexBase); });
      if (after == item.begin()) continue;
      const ReportField& g = **(after - 1);
      const int64_t offset = index - int64_t(g.arrayIndexBase);
      if (offset > int64_t(g.usageMax) - g.usageMin || g.usagePage != usagePage) continue;
      const auto usage = static_cast<uint16_t>(g.usageMin + offset);
      if (usage != 0) found.push_back(usage);
    }
  }
  return found;
}

void CHidInterface::DecodeButtons(const std::optional<std::vector<uint16_t>>& found,
                                  HidData& entry) const {
  std::fill(entry.Usages.begin(), entry.Usages.end(), 0);
  if (!found) {
    entry.Status = HidStatus::InvalidReportLength;
    return;
  }
  if (found->size() > entry.Usages.size()) {
    entry.Status = HidStatus::BufferTooSmall;
    return;
  }
  size_t kept = 0;
  for (uint16_t u : *found)
    if (u >= entry.UsageMin && u <= entry.UsageMax) entry.Usages[kept++] = u;
  if (kept < entry.Usages.size()) entry.Usages[kept] = 0;
  entry.Status = HidStatus::Success;
}

bool CHidInterface::DecodeValue(std::span<const uint8_t> report, const PerType& t,
                                HidData& entry) const {
  const ReportField& f = t.valueCaps[entry.FieldIndex];
  const uint32_t element = f.isRange ? uint32_t(entry.Usage) - f.usageMin : 0;
  uint32_t raw = 0;
  if (!ExtractBits(report, f.bitOffset + element * f.bitSize, f.bitSize, &raw)) {
    entry.Status = HidStatus::InvalidReportLength;
    return false;
  }
  entry.RawValue = raw;
  const int64_t value = SignedValue(raw, f.bitSize, f.logicalMin);
  int64_t physMin = f.physicalMin;
  int64_t physMax = f.physicalMax;
  if (physMin == 0 && physMax == 0) {  // no physical extent: it equals the logical one
    physMin = f.logicalMin;
    physMax = f.logicalMax;
  }
  if (f.logicalMax <= f.logicalMin || physMax < physMin) {
    entry.Status = HidStatus::BadLogPhyValues;
  } else if (value < f.logicalMin || value > f.logicalMax) {
    entry.Status = HidStatus::ValueOutOfRange;
  } else {
    // 128-bit: a 32-bit logical span times a 32-bit physical span overflows 64 bits.
    const __int128 scaled = __int128(value - f.logicalMin) * (physMax - physMin) /
                            (int64_t(f.logicalMax) - f.logicalMin);
    entry.ScaledValue = static_cast<int32_t>(physMin + static_cast<int64_t>(scaled));
    entry.Status = HidStatus::Success;
  }
  return true;
}

bool CHidInterface::UnpackReport(std::span<const uint8_t> report, ReportType type) {
  if (report.empty()) return false;
  std::lock_guard guard(lock_);
  PerType& t = types_[TypeIndex(type)];
  const uint8_t id = report[0];
  const bool shortReport = report.size() < reportLength_[TypeIndex(type)];
  // The usages that are on, per page, read once for all entries of the page.
  std::map<uint16_t, std::optional<std::vector<uint16_t>>> onPerPage;
  for (HidData& entry : t.data) {
    if (entry.ReportID != id) continue;
    if (entry.IsButtonData) {
      if (shortReport) {
        entry.Status = HidStatus::InvalidReportLength;
      } else {
        auto page = onPerPage.find(entry.UsagePage);
        if (page == onPerPage.end())
          page = onPerPage.emplace(entry.UsagePage, UsagesOn(report, t, entry.UsagePage)).first;
        DecodeButtons(page->second, entry);
      }
    } else {
      if (shortReport) {
        entry.Status = HidStatus::InvalidReportLength;
        return false;
      }
      if (!DecodeValue(report, t, entry)) return false;
    }
    entry.IsDataSet = true;
  }
  return true;
}

std::string CHidInterface::DevicePath() const {
  std::lock_guard guard(lock_);
  return devicePath_;
}

HidAttributes CHidInterface::Attributes() const {
  std::lock_guard guard(lock_);
  return attributes_;
}

uint16_t CHidInterface::UsagePage() const {
  std::lock_guard guard(lock_);
  return usagePage_;
}

uint16_t CHidInterface::Usage() const {
  std::lock_guard guard(lock_);
  return usage_;
}

uint16_t CHidInterface::ReportByteLength(ReportType type) const {
  std::lock_guard guard(lock_);
  return reportLength_[TypeIndex(type)];
}

uint32_t CHidInterface::InterfaceNumber() const {
  std::lock_guard guard(lock_);
  return interfaceNumber_;
}

uint32_t CHidInterface::CollectionNumber() const {
  std::lock_guard guard(lock_);
  return collectionNumber_;
}

std::span<uint8_t> CHidInterface::InputReportBuffer() {
  std::lock_guard guard(lock_);
  return types_[TypeIndex(ReportType::Input)].reportBuffer;
}

std::vector<ReportField> CHidInterface::ButtonCaps(ReportType type) const {
  std::lock_guard guard(lock_);
  return types_[TypeIndex(type)].buttonCaps;
}

std::vector<ReportField> CHidInterface::ValueCaps(ReportType type) const {
  std::lock_guard guard(lock_);
  return types_[TypeIndex(type)].valueCaps;
}

std::vector<HidData> CHidInterface::Data(ReportType type) const {
  std::lock_guard guard(lock_);
  return types_[TypeIndex(type)].data;
}

}  // namespace hid
