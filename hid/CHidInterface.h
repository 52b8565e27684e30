#pragma once
// One opened HID collection: its description (attributes, top-level usage,
// report lengths, button and value capabilities per report type, interface
// and collection number from its path), report I/O with time-outs and a
// cancel event, and decoding of a report into button and value data. It also
// keeps the path list of the last enumeration for the discovery worker.
//
// Threads: at most one thread reads and one writes at a time; Close may run
// on any thread. A Close during a waiting Read or Write makes it return false
// promptly, and Close frees nothing until the transfer has left.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hid/CancelEvent.h"
#include "hid/HidBackend.h"
#include "hid/ReportDescriptor.h"

namespace hid {

// Status of the last decode of one data entry.
enum class HidStatus : int32_t {
  Success = 0,
  InvalidReportLength,
  IncompatibleReportId,
  UsageNotFound,
  ValueOutOfRange,
  BadLogPhyValues,
  BufferTooSmall,
};

// One entry per button capability and one per value usage of a report type.
struct HidData {
  bool IsButtonData = false;
  uint16_t UsagePage = 0;
  HidStatus Status = HidStatus::Success;
  uint32_t ReportID = 0;
  bool IsDataSet = false;
  // Buttons: the usages found by the last decode, 0-terminated when shorter
  // than the list.
  uint16_t UsageMin = 0;
  uint16_t UsageMax = 0;
  uint32_t MaxUsageListLength = 0;
  std::vector<uint16_t> Usages;
  // Values.
  uint16_t Usage = 0;
  uint32_t RawValue = 0;
  int32_t ScaledValue = 0;
  // Capability this entry decodes (index into the report type's fields).
  size_t FieldIndex = 0;
};

inline constexpr size_t kMaxPathChars = 259;

class CHidInterface {
 public:
  explicit CHidInterface(std::shared_ptr<HidBackend> backend);
  ~CHidInterface();
  CHidInterface(const CHidInterface&) = delete;
  CHidInterface& operator=(const CHidInterface&) = delete;

  // Path list: filled by Enumerate, walked with NextPath (null at the end).
  bool Enumerate();
  const std::string* NextPath();
  void FreePathList();
  uint32_t PathCount() const { return static_cast<uint32_t>(paths_.size()); }

  bool Open(std::string_view path, bool forRead, bool forWrite, bool overlapped, bool exclusive);
  void Close();
  bool IsOpen() const;

  // One transfer each; `*bytesRead` / `*bytesWritten` (when given) get the
  // count moved, 0 unless the transfer completed. kInfinite waits until data,
  // Close, the cancel event or `stop`. `stop` defaults to the stop event of
  // the worker the caller runs on (platform::ThisThreadStop), so stopping a
  // worker ends its transfers without anyone closing the interface.
  bool Read(std::span<uint8_t> buffer, uint32_t* bytesRead, uint32_t timeoutMs,
            const platform::StopEvent* stop = nullptr);
  bool Write(std::span<const uint8_t> buffer, uint32_t* bytesWritten, uint32_t timeoutMs,
             const platform::StopEvent* stop = nullptr);
  // Feature reports, report id first; GetFeature gives the length or -1.
  bool SetFeature(std::span<const uint8_t> report);
  int GetFeature(std::span<uint8_t> report);

  // Decodes `report` into the data entries of `type` whose report id matches.
  bool UnpackReport(std::span<const uint8_t> report, ReportType type);

  // Drops queued input reports; sends an output report outside the queue.
  bool FlushQueue();
  bool SetOutputReport(std::span<const uint8_t> report);

  std::string DevicePath() const;
  HidAttributes Attributes() const;
  uint16_t VendorID() const { return Attributes().VendorID; }
  uint16_t ProductID() const { return Attributes().ProductID; }
  uint16_t VersionNumber() const { return Attributes().VersionNumber; }
  uint16_t UsagePage() const;
  uint16_t Usage() const;
  uint16_t InputReportByteLength() const { return ReportByteLength(ReportType::Input); }
  uint16_t OutputReportByteLength() const { return ReportByteLength(ReportType::Output); }
  uint16_t FeatureReportByteLength() const { return ReportByteLength(ReportType::Feature); }
  uint16_t ReportByteLength(ReportType type) const;
  uint32_t InterfaceNumber() const;
  uint32_t CollectionNumber() const;

  // The zeroed input report buffer of the open interface (input report length).
  std::span<uint8_t> InputReportBuffer();
  // Copies of the capabilities and of the data entries of a report type.
  std::vector<ReportField> ButtonCaps(ReportType type) const;
  std::vector<ReportField> ValueCaps(ReportType type) const;
  std::vector<HidData> Data(ReportType type) const;
  // Largest usage list a button decode of `usagePage` (0: any page) can give.
  uint32_t MaxUsageListLength(ReportType type, uint16_t usagePage) const;

  bool ReadPending() const { return readPending_.load() != 0; }
  bool WritePending() const { return writePending_.load() != 0; }

 private:
  struct PerType {
    std::vector<uint8_t> reportBuffer;
    std::vector<ReportField> buttonCaps;
    std::vector<ReportField> valueCaps;
    std::vector<HidData> data;
  };

  std::shared_ptr<HidConnection> Connection() const;
  void Describe(const TopLevelCollection& top);
  uint32_t MaxUsageListLengthLocked(ReportType type, uint16_t usagePage) const;
  // Every usage of `usagePage` that is on in `report` (nullopt when the
  // report is too short), and one button entry's share of them.
  std::optional<std::vector<uint16_t>> UsagesOn(std::span<const uint8_t> report, const PerType& t,
                                                uint16_t usagePage) const;
  void DecodeButtons(const std::optional<std::vector<uint16_t>>& found, HidData& entry) const;
  bool DecodeValue(std::span<const uint8_t> report, const PerType& t, HidData& entry) const;
  void LeaveTransfer(std::atomic<int>& pending);

  std::shared_ptr<HidBackend> backend_;

  // Path list (discovery worker only).
  std::vector<std::string> paths_;
  size_t cursor_ = 0;

  // Open state and description, guarded by lock_.
  mutable std::mutex lock_;
  std::shared_ptr<HidConnection> connection_;
  OpenMode mode_;
  std::string devicePath_;
  HidAttributes attributes_;
  uint16_t usagePage_ = 0;
  uint16_t usage_ = 0;
  uint16_t reportLength_[kReportTypeCount] = {0, 0, 0};
  PerType types_[kReportTypeCount];
  uint32_t interfaceNumber_ = 0;
  uint32_t collectionNumber_ = 0;

  CancelEvent cancel_;
  std::atomic<int> readPending_{0};
  std::atomic<int> writePending_{0};
  std::mutex transferLock_;  // with transferDone_, lets Close wait for transfers to leave
  std::condition_variable transferDone_;
};

}  // namespace hid
