#pragma once
// A device's command channel: the two HID handles through which its
// vendor-defined command interface is reached (its own interface by cable,
// the receiver's interface when wireless), the request/reply exchange over
// them, and the state the command operations read (connection mode, chunk
// size, key-map block size, busy, open, hold and I/O-suppression flags).
//
// Locks, always taken in this order: the operation's lock (commandLock for
// command operations, lightingLock for light frames and colour pages), then
// ioLock around each single HID write and read and around re-opening the
// handles. ioLock is never held while waiting for an outer lock.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

#include "hid/CHidInterface.h"
#include "protocol/CommandReport.h"
#include "protocol/DeviceRecords.h"
#include "protocol/Results.h"

namespace protocol {

enum class ConnectionMode : int { Wired = 1, Receiver = 2 };

inline constexpr uint8_t kWiredChunk = 56;
inline constexpr uint8_t kReceiverChunk = 24;
inline constexpr uint16_t kMaxBlockSize = 512;
inline constexpr uint16_t kColourPageSize = 512;
inline constexpr uint8_t kRecoilChunk = 56;

class CCommandChannel {
 public:
  explicit CCommandChannel(std::shared_ptr<hid::HidBackend> backend);
  ~CCommandChannel();
  CCommandChannel(const CCommandChannel&) = delete;
  CCommandChannel& operator=(const CCommandChannel&) = delete;

  // ---- exchanges -------------------------------------------------------
  // One request and its reply. `reply` holds 64 bytes; `bytesRead` gets the
  // count the HID read delivered. Results: see Results.h.
  int Exchange(std::span<const uint8_t> request, std::span<uint8_t, report::kSize> reply,
               uint32_t* bytesRead = nullptr);
  // The light path's exchange: shorter time-outs, no flush, no sleeps, no trace.
  int ExchangeQuick(std::span<const uint8_t> request, std::span<uint8_t, report::kSize> reply,
                    uint32_t* bytesRead = nullptr);

  // ---- state -----------------------------------------------------------
  void SetConnectionMode(int mode);
  [[nodiscard]] bool SetBlockSize(uint16_t size);
  bool IsOpen() const { return open_; }
  bool IsBusy() const { return busy_; }
  bool ReceiverMode() const { return receiverMode_; }
  ConnectionMode Mode() const { return receiverMode_ ? ConnectionMode::Receiver : ConnectionMode::Wired; }
  uint8_t ChunkSize() const { return chunkSize_; }
  uint16_t BlockSize() const { return blockSize_; }
  bool SuppressIo() const { return suppressIo_; }
  void SetSuppressIo(bool on) { suppressIo_ = on; }
  bool HoldFlag() const { return holdFlag_; }
  void SetHoldFlag(bool on) { holdFlag_ = on; }

  // Opening and closing, as the main window does it: under ioLock, the handle
  // of the target mode is closed, opened on `path` (read, write, overlapped,
  // shared), `open` set on success and the mode applied.
  bool OpenHandle(ConnectionMode mode, std::string_view path);
  // Clears open and suppressIo and closes both handles (device gone).
  void CloseHandles();
  void SetOpen(bool open) { open_ = open; }

  hid::CHidInterface& WiredDevice() { return wired_; }
  hid::CHidInterface& ReceiverDevice() { return receiver_; }
  std::recursive_mutex& IoLock() { return ioLock_; }
  std::recursive_mutex& CommandLock() { return commandLock_; }
  std::recursive_mutex& LightingLock() { return lightingLock_; }

  // The fixed sleeps of an exchange go through this (benchmarks replace it
  // to measure what an exchange costs beyond them).
  using Sleeper = std::function<void(std::chrono::milliseconds)>;
  void SetSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }

  // ---- transfer, information and status commands -------------------------
  int BeginTransfer();
  int EndTransfer(int ignored = 1);
  int ReadInfoBlock(std::span<uint8_t, kInfoBlockSize> destination);
  int WriteInfoBlock(std::span<const uint8_t, kInfoBlockSize> source);
  int ReadStatusBlock(std::span<uint8_t> destination, uint8_t length, uint16_t offset);
  int BeginHostLighting();
  bool QueryWirelessLink();

  // ---- block transfers ---------------------------------------------------
  int ReadSettings(std::span<uint8_t> destination, uint16_t baseAddress);
  int WriteSettings(std::span<const uint8_t> source, uint16_t baseAddress);
  int ReadKeyMap(std::span<uint8_t> destination);          // BlockSize() bytes
  int WriteKeyMap(std::span<const uint8_t> source, int page);  // BlockSize() bytes
  int ReadKeyColours(std::span<uint8_t> destination, int page, uint16_t pageSize = kColourPageSize);
  int WriteKeyColours(std::span<const uint8_t> source, int page,
                      uint16_t pageSize = kColourPageSize);
  int WriteMacroImage(std::span<const uint8_t> image);
  int WriteRecoilImage(std::span<const uint8_t> image);
  int ReadKeyLightIndex(std::span<uint8_t> destination);  // BlockSize() / 3 bytes

  // ---- light frames ------------------------------------------------------
  int SendLightFrame(std::span<const uint8_t> frame);

 private:
  hid::CHidInterface& Current() { return receiverMode_ ? receiver_ : wired_; }
  uint32_t WriteTimeout() const { return receiverMode_ ? 5000 : 1000; }
  uint32_t ReadTimeout() const { return receiverMode_ ? 5000 : 1000; }
  uint32_t QuickTimeout() const { return receiverMode_ ? 500 : 1000; }
  void Sleep(std::chrono::milliseconds d);

  // One single-report command under `lock`: exchange, then the status byte.
  int Command(Report& request, Report& reply, std::recursive_mutex* lock);

  struct Chunking {
    uint8_t command;
    uint32_t total;
    uint32_t baseAddress;
    uint8_t chunk;
    std::recursive_mutex* lock;  // null: no operation lock
  };
  int ChunkedRead(const Chunking& c, std::span<uint8_t> destination);
  int ChunkedWrite(const Chunking& c, std::span<const uint8_t> source);

  uint16_t blockSize_ = kMaxBlockSize;
  std::atomic<bool> busy_{false};
  std::atomic<bool> open_{false};
  std::atomic<bool> holdFlag_{false};
  hid::CHidInterface wired_;
  hid::CHidInterface receiver_;
  std::recursive_mutex ioLock_;
  std::recursive_mutex commandLock_;
  std::recursive_mutex lightingLock_;
  std::atomic<bool> receiverMode_{false};
  std::atomic<uint8_t> chunkSize_{kReceiverChunk};
  std::atomic<bool> suppressIo_{false};
  Sleeper sleep_;
};

}  // namespace protocol
