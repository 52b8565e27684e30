#include "emulator/HostWire.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Paths.h"

namespace emulator::wire {
namespace {

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}
uint64_t Get(std::span<const uint8_t> in, size_t offset, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint64_t(in[offset + i]) << (8 * i);
  return v;
}

// Offsets of the fixed heads.
constexpr size_t kOpOffset = 0, kHandleOffset = 1, kTimeoutOffset = 5, kRequestHead = 9;
constexpr size_t kReplyHead = 8;

}  // namespace

std::vector<uint8_t> Encode(const Request& request) {
  std::vector<uint8_t> out;
  out.reserve(kRequestHead + request.payload.size());
  Put(out, uint8_t(request.op), 1);
  Put(out, request.handle, 4);
  Put(out, request.timeout, 4);
  out.insert(out.end(), request.payload.begin(), request.payload.end());
  return out;
}

std::optional<Request> DecodeRequest(std::span<const uint8_t> bytes) {
  if (bytes.size() < kRequestHead) return std::nullopt;
  Request r;
  const uint8_t op = bytes[kOpOffset];
  if (op < uint8_t(Op::Enumerate) || op > uint8_t(Op::RequestLog)) return std::nullopt;
  r.op = Op(op);
  r.handle = uint32_t(Get(bytes, kHandleOffset, 4));
  r.timeout = uint32_t(Get(bytes, kTimeoutOffset, 4));
  r.payload.assign(bytes.begin() + kRequestHead, bytes.end());
  return r;
}

std::vector<uint8_t> Encode(const Reply& reply) {
  std::vector<uint8_t> out;
  out.reserve(kReplyHead + reply.payload.size());
  Put(out, uint64_t(reply.value), 8);
  out.insert(out.end(), reply.payload.begin(), reply.payload.end());
  return out;
}

std::optional<Reply> DecodeReply(std::span<const uint8_t> bytes) {
  if (bytes.size() < kReplyHead) return std::nullopt;
  Reply r;
  r.value = int64_t(Get(bytes, 0, 8));
  r.payload.assign(bytes.begin() + kReplyHead, bytes.end());
  return r;
}

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
std::string Text(std::span<const uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

std::filesystem::path HostFolder() {
  const std::filesystem::path runtime = platform::RuntimeFolder();
  if (runtime.empty()) return {};
  const std::filesystem::path folder = runtime / "vx27-emu";
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
  if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
  return folder;
}

bool SendPacket(int fd, std::span<const uint8_t> bytes) {
  for (;;) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n == ssize_t(bytes.size())) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

RecvResult RecvPacket(int fd, std::vector<uint8_t>& out, int timeoutMs, int wakeFd) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  for (;;) {
    const int n = ::poll(fds, wakeFd >= 0 ? 2 : 1, timeoutMs);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return RecvResult::Closed;
    if (n == 0) return RecvResult::TimedOut;
    if (wakeFd >= 0 && (fds[1].revents & POLLIN)) return RecvResult::Woken;
    break;
  }
  out.resize(kMaxMessage);
  for (;;) {
    const ssize_t got = ::recv(fd, out.data(), out.size(), 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return RecvResult::Closed;
    out.resize(size_t(got));
    return RecvResult::Packet;
  }
}

void Fd::Reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

}  // namespace emulator::wire
