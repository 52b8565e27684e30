#pragma once
// The messages between an emulator host (the program that emulates devices)
// and the processes attached to it, over local SOCK_SEQPACKET sockets in
// "<runtime folder>/vx27-emu/" (mode 0700), one socket per host named
// "<host pid>.sock". Every message is one packet.
//
// Request: op (1 byte), handle (LE32), time-out in ms (LE32), payload.
// Reply:   value (LE64), payload.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace emulator::wire {

enum class Op : uint8_t {
  Enumerate = 1,  // reply: value 1/0, paths joined by '\n'
  IsPresent,      // payload path; value 1/0
  ChangeCount,    // value: the count, -1 when unknown
  Open,           // payload: mode byte, path; value: handle (0: refused);
                  // reply payload: vendor, product, version (LE16 each), report descriptor
  Close,          // handle
  Read,           // handle, time-out (at most kReadSlice); value: status << 32 | length; payload: report
  Write,          // handle, time-out, payload report; value: status << 32 | transferred
  Flush,          // handle; value 1/0
  SetOutput,      // handle, payload report; value 1/0
  SetFeature,     // handle, payload report; value 1/0
  GetFeature,     // handle, payload: the buffer (byte 0 the id); value: length or -1; payload: report
  Devices,        // payload lines "<name>\t<receiver 0|1>\t<plugged 0|1>\t<command path>"
  RequestLog,     // payload device name; value 1/0; payload the request lines
};

inline constexpr size_t kMaxMessage = 256 * 1024;
// A read is asked for in slices, so a cancel or a vanished host ends it soon.
inline constexpr uint32_t kReadSlice = 50;
// How long a reply may take beyond the time-out the request carries.
inline constexpr int kReplyGraceMs = 2000;
inline constexpr std::string_view kSocketSuffix = ".sock";

struct Request {
  Op op = Op::Enumerate;
  uint32_t handle = 0;
  uint32_t timeout = 0;
  std::vector<uint8_t> payload;
};
struct Reply {
  int64_t value = 0;
  std::vector<uint8_t> payload;
};

std::vector<uint8_t> Encode(const Request& request);
std::optional<Request> DecodeRequest(std::span<const uint8_t> bytes);
std::vector<uint8_t> Encode(const Reply& reply);
std::optional<Reply> DecodeReply(std::span<const uint8_t> bytes);

std::vector<uint8_t> Bytes(std::string_view text);
std::string Text(std::span<const uint8_t> bytes);

// "<runtime folder>/vx27-emu", created 0700; empty when it cannot be made
// private.
std::filesystem::path HostFolder();

// One whole packet; false on a closed or broken socket.
bool SendPacket(int fd, std::span<const uint8_t> bytes);
enum class RecvResult { Packet, TimedOut, Woken, Closed };
// Waits up to `timeoutMs` (-1: no limit) for a packet, or for `wakeFd`
// (-1: none) to become readable.
RecvResult RecvPacket(int fd, std::vector<uint8_t>& out, int timeoutMs, int wakeFd = -1);

// An owned file descriptor.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(Fd&& other) noexcept : fd_(other.Release()) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1);

 private:
  int fd_ = -1;
};

}  // namespace emulator::wire
