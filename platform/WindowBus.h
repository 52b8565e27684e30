#pragma once
// The window bus: how windows of different processes find and message each
// other (broadcasts, find-window-by-class-or-title, copy-data payloads).
// Every bus window listens on a local socket in $XDG_RUNTIME_DIR/vx27-bus/
// (mode 0700, so only this user's processes can reach it), with a small
// ".meta" file beside it naming its class and title. A frame carries one
// message; registered messages (0xC000 and up) travel by name and arrive under
// the receiver's own number for that name (0 when this process never
// registered it: names from peers are looked up, never added to our table).
// A registered number without its name, and malformed, truncated or oversized
// frames are dropped and traced. A handler may run an event loop of its own or
// destroy its window.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Messages.h"

class QLocalServer;

namespace platform {

inline constexpr MessageId kCopyDataMessage = 0x004A;  // WM_COPYDATA

struct BusMessage {
  MessageId id = 0;  // numbered message, or the local number of `name` (0: not registered here)
  std::string name;  // set for registered messages
  uint64_t wParam = 0;
  int64_t lParam = 0;
  uint64_t dwData = 0;         // copy-data only
  std::vector<uint8_t> bytes;  // copy-data only

  static BusMessage Numbered(MessageId id, uint64_t w, int64_t l);
  static BusMessage Registered(std::string_view name, uint64_t w, int64_t l);
  static BusMessage CopyData(uint64_t dwData, std::span<const uint8_t> bytes, uint64_t wParam = 0);
};

namespace busframe {
inline constexpr uint32_t kMagic = 0x31425856;  // "VXB1"
inline constexpr size_t kHeaderSize = 44;
inline constexpr size_t kMaxName = 256;
inline constexpr size_t kMaxPayload = 1 << 20;
inline constexpr size_t kMaxFrame = kHeaderSize + kMaxName + kMaxPayload;

// Offsets within the header (all little-endian).
inline constexpr size_t kOffMagic = 0, kOffLength = 4, kOffId = 8, kOffNameLen = 12,
                        kOffFlags = 14, kOffWParam = 16, kOffLParam = 24, kOffDwData = 32,
                        kOffDataLen = 40;
inline constexpr uint8_t kFlagCopyData = 0x01;

// Empty when the message cannot be framed (name or payload too long).
std::vector<uint8_t> Encode(const BusMessage& message);
// The total length a frame announces once its first 8 bytes are in, or
// nothing when those bytes cannot start a valid frame.
std::optional<size_t> AnnouncedLength(std::span<const uint8_t> head);
// Decodes exactly one whole frame; nothing when it is malformed.
std::optional<BusMessage> Decode(std::span<const uint8_t> frame);
}  // namespace busframe

class BusWindow {
 public:
  using Handler = std::function<void(const BusMessage&)>;

  // Create and use on the UI thread. The window is on the bus once Listen()
  // succeeded and leaves it when destroyed.
  BusWindow(std::string className, std::string title, Handler handler);
  ~BusWindow();
  BusWindow(const BusWindow&) = delete;
  BusWindow& operator=(const BusWindow&) = delete;

  [[nodiscard]] bool Listen();
  void SetTitle(std::string title);
  const std::string& ClassName() const { return className_; }
  const std::string& Title() const { return title_; }

  // Delivers to every window on the bus (ours included); returns how many
  // windows took the message.
  static int Broadcast(const BusMessage& message);
  // Delivers to the first window whose class and title match (an empty
  // class or title matches any); false when none took it.
  static bool SendTo(std::string_view className, std::string_view title,
                     const BusMessage& message);
  static bool Exists(std::string_view className, std::string_view title);

  static std::string BusFolder();

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
  std::string className_;
  std::string title_;
};

}  // namespace platform
