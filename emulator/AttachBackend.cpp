#include "emulator/AttachBackend.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sstream>

#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace emulator {

using wire::Op;

// One socket to a host; calls on it take turns.
class AttachBackend::Link {
 public:
  static std::shared_ptr<Link> Connect(const std::filesystem::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string p = socket.string();
    if (p.size() >= sizeof(address.sun_path)) return nullptr;
    std::memcpy(address.sun_path, p.c_str(), p.size() + 1);
    // Non-blocking while connecting: a host with a full backlog is refused
    // at once instead of holding the caller.
    wire::Fd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd || ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return nullptr;
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    auto link = std::make_shared<Link>();
    link->fd_ = std::move(fd);
    link->socket_ = socket;
    return link;
  }

  // The reply, or nullopt when the host did not answer within the time-out
  // and the grace (the link is then broken for good).
  std::optional<wire::Reply> Call(const wire::Request& request) {
    std::lock_guard<std::mutex> guard(lock_);
    if (broken_) return std::nullopt;
    const int wait = request.timeout == hid::kInfinite || request.timeout > 30000
                         ? 30000 + wire::kReplyGraceMs
                         : int(request.timeout) + wire::kReplyGraceMs;
    std::vector<uint8_t> packet;
    std::optional<wire::Reply> reply;
    if (wire::SendPacket(fd_.Get(), wire::Encode(request)) &&
        wire::RecvPacket(fd_.Get(), packet, wait) == wire::RecvResult::Packet)
      reply = wire::DecodeReply(packet);
    if (!reply) Break();
    return reply;
  }
  std::optional<wire::Reply> Call(Op op, std::string_view text = {}, uint32_t handle = 0, uint32_t timeout = 0) {
    return Call(wire::Request{op, handle, timeout, wire::Bytes(text)});
  }

  // From any thread: a call waiting on the link ends now, later ones fail.
  void Break() {
    broken_ = true;
    ::shutdown(fd_.Get(), SHUT_RDWR);
  }
  bool Broken() const { return broken_.load(); }
  const std::filesystem::path& Socket() const { return socket_; }

 private:
  std::mutex lock_;  // one call at a time
  wire::Fd fd_;
  std::filesystem::path socket_;
  std::atomic<bool> broken_{false};
};

namespace {

// A collection opened on a host. Reads go over a link of their own, so a
// write does not wait behind a read.
class AttachConnection : public hid::HidConnection {
 public:
  AttachConnection(std::shared_ptr<AttachBackend::Link> calls, std::shared_ptr<AttachBackend::Link> reads,
                   uint32_t handle, hid::HidAttributes attributes, hid::TopLevelCollection collection)
      : calls_(std::move(calls)), reads_(std::move(reads)), handle_(handle), attributes_(attributes),
        collection_(std::move(collection)) {}
  ~AttachConnection() override {
    if (!interrupted_) calls_->Call(Op::Close, {}, handle_);
  }

  hid::HidAttributes Attributes() const override { return attributes_; }
  const hid::TopLevelCollection& Collection() const override { return collection_; }

  hid::IoResult Read(std::span<uint8_t> buffer, uint32_t timeoutMs, const hid::Cancellation& cancel) override {
    using Clock = std::chrono::steady_clock;
    const bool forever = timeoutMs == hid::kInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
    for (;;) {
      if (interrupted_) return {hid::IoStatus::Failed, 0};
      if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
      uint32_t slice = wire::kReadSlice;
      if (!forever) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        slice = uint32_t(std::clamp<int64_t>(left, 0, wire::kReadSlice));
      }
      const auto reply = reads_->Call(Op::Read, {}, handle_, slice);
      if (!reply) return {hid::IoStatus::Failed, 0};
      const auto status = hid::IoStatus(reply->value >> 32);
      if (status == hid::IoStatus::Completed) {
        const size_t n = std::min(buffer.size(), reply->payload.size());
        std::copy_n(reply->payload.begin(), n, buffer.begin());
        return {status, n};
      }
      if (status != hid::IoStatus::TimedOut) return {hid::IoStatus::Failed, 0};
      if (!forever && Clock::now() >= deadline) return {hid::IoStatus::TimedOut, 0};
    }
  }

  hid::IoResult Write(std::span<const uint8_t> report, uint32_t timeoutMs, const hid::Cancellation& cancel) override {
    if (interrupted_) return {hid::IoStatus::Failed, 0};
    if (cancel.Requested()) return {hid::IoStatus::Cancelled, 0};
    const auto reply = calls_->Call({Op::Write, handle_, timeoutMs, {report.begin(), report.end()}});
    if (!reply) return {hid::IoStatus::Failed, 0};
    return {hid::IoStatus(reply->value >> 32), size_t(reply->value & 0xFFFFFFFF)};
  }

  bool FlushQueue() override { return Simple(Op::Flush, {}); }
  bool SetOutputReport(std::span<const uint8_t> report) override { return Simple(Op::SetOutput, report); }
  bool SetFeature(std::span<const uint8_t> report) override { return Simple(Op::SetFeature, report); }
  int GetFeature(std::span<uint8_t> report) override {
    if (interrupted_) return -1;
    const auto reply = calls_->Call({Op::GetFeature, handle_, 0, {report.begin(), report.end()}});
    if (!reply || reply->value < 0) return -1;
    std::copy_n(reply->payload.begin(), std::min(report.size(), reply->payload.size()), report.begin());
    return int(reply->value);
  }

  void Interrupt() override {
    interrupted_ = true;
    reads_->Break();
    calls_->Break();
  }

 private:
  bool Simple(Op op, std::span<const uint8_t> report) {
    if (interrupted_) return false;
    const auto reply = calls_->Call({op, handle_, 0, {report.begin(), report.end()}});
    return reply && reply->value == 1;
  }

  std::shared_ptr<AttachBackend::Link> calls_, reads_;
  uint32_t handle_;
  hid::HidAttributes attributes_;
  hid::TopLevelCollection collection_;
  std::atomic<bool> interrupted_{false};
};

// "emu:<rest>" of a host as "emu@<pid>:<rest>", and back.
std::string ToOurs(const std::string& pid, std::string_view hostPath) {
  if (hostPath.substr(0, kPathPrefix.size()) != kPathPrefix) return {};
  return std::string(kAttachPrefix) + pid + ":" + std::string(hostPath.substr(kPathPrefix.size()));
}

}  // namespace

AttachBackend::AttachBackend(std::filesystem::path folder)
    : folder_(folder.empty() ? wire::HostFolder() : std::move(folder)) {}

AttachBackend::~AttachBackend() = default;

void AttachBackend::Refresh() {
  std::lock_guard<std::mutex> guard(lock_);
  for (auto it = hosts_.begin(); it != hosts_.end();) it = it->second->Broken() ? hosts_.erase(it) : std::next(it);
  std::error_code ec;
  if (folder_.empty()) return;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= wire::kSocketSuffix.size() || !name.ends_with(wire::kSocketSuffix)) continue;
    const std::string pid = name.substr(0, name.size() - wire::kSocketSuffix.size());
    if (hosts_.count(pid)) continue;
    if (auto link = Link::Connect(entry.path())) hosts_[pid] = std::move(link);
    else if (errno == ECONNREFUSED) std::filesystem::remove(entry.path(), ec);  // its host is gone
  }
}

std::map<std::string, std::shared_ptr<AttachBackend::Link>> AttachBackend::Hosts() {
  Refresh();
  std::lock_guard<std::mutex> guard(lock_);
  return hosts_;
}

bool AttachBackend::Enumerate(std::vector<std::string>& paths) {
  const auto hosts = Hosts();
  for (const auto& [pid, link] : hosts) {
    const auto reply = link->Call(Op::Enumerate);
    if (!reply) continue;  // gone: its devices are removed
    if (reply->value != 1) return false;
    std::istringstream lines(wire::Text(reply->payload));
    for (std::string line; std::getline(lines, line);)
      if (std::string ours = ToOurs(pid, line); !ours.empty()) paths.push_back(std::move(ours));
  }
  return true;
}

std::shared_ptr<AttachBackend::Link> AttachBackend::HostOf(std::string_view path, std::string* hostPath) {
  if (!Owns(path)) return nullptr;
  const std::string_view rest = path.substr(kAttachPrefix.size());
  const size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return nullptr;
  const std::string pid(rest.substr(0, colon));
  *hostPath = std::string(kPathPrefix) + std::string(rest.substr(colon + 1));
  {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = hosts_.find(pid);
    if (it != hosts_.end() && !it->second->Broken()) return it->second;
  }
  Refresh();
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = hosts_.find(pid);
  return it == hosts_.end() ? nullptr : it->second;
}

std::shared_ptr<hid::HidConnection> AttachBackend::Open(std::string_view path, const hid::OpenMode& mode) {
  std::string hostPath;
  const auto host = HostOf(path, &hostPath);
  if (!host) return nullptr;
  auto calls = Link::Connect(host->Socket());
  auto reads = calls ? Link::Connect(host->Socket()) : nullptr;
  if (!reads) return nullptr;
  const uint8_t m = uint8_t((mode.read ? 1 : 0) | (mode.write ? 2 : 0) | (mode.overlapped ? 4 : 0) |
                            (mode.exclusive ? 8 : 0));
  const auto reply = calls->Call(Op::Open, std::string(1, char(m)) + hostPath);
  constexpr size_t kIdsBytes = 6;
  if (!reply || reply->value <= 0 || reply->payload.size() < kIdsBytes) return nullptr;
  const auto& p = reply->payload;
  const hid::HidAttributes ids{uint16_t(p[0] | p[1] << 8), uint16_t(p[2] | p[3] << 8), uint16_t(p[4] | p[5] << 8)};
  const auto parsed = hid::ParseReportDescriptor(std::span<const uint8_t>(p).subspan(kIdsBytes));
  const uint16_t col = hid::PathCollectionNumber(path);
  const size_t index = col == 0 ? 0 : size_t(col) - 1;
  if (!parsed || index >= parsed->collections.size()) return nullptr;
  return std::make_shared<AttachConnection>(std::move(calls), std::move(reads), uint32_t(reply->value), ids,
                                            parsed->collections[index]);
}

bool AttachBackend::IsPresent(std::string_view path) {
  std::string hostPath;
  const auto host = HostOf(path, &hostPath);
  const auto reply = host ? host->Call(Op::IsPresent, hostPath) : std::nullopt;
  return reply && reply->value == 1;
}

bool AttachBackend::Owns(std::string_view path) const { return path.substr(0, kAttachPrefix.size()) == kAttachPrefix; }

std::vector<HostedDevice> AttachBackend::Devices() {
  const auto hosts = Hosts();
  std::vector<HostedDevice> out;
  for (const auto& [pid, link] : hosts) {
    const auto reply = link->Call(Op::Devices);
    if (!reply) continue;
    std::istringstream lines(wire::Text(reply->payload));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      HostedDevice d;
      std::string receiver, plugged, path;
      if (!std::getline(fields, d.name, '\t') || !std::getline(fields, receiver, '\t') ||
          !std::getline(fields, plugged, '\t'))
        continue;
      std::getline(fields, path);
      d.receiver = receiver == "1";
      d.plugged = plugged == "1";
      d.commandPath = ToOurs(pid, path);
      out.push_back(std::move(d));
    }
  }
  return out;
}

bool AttachBackend::RequestLog(std::string_view device, std::string* lines) {
  const auto hosts = Hosts();
  for (const auto& [pid, link] : hosts) {
    const auto reply = link->Call(Op::RequestLog, device);
    if (reply && reply->value == 1) {
      *lines = wire::Text(reply->payload);
      return true;
    }
  }
  return false;
}

size_t AttachBackend::HostCount() {
  Refresh();
  std::lock_guard<std::mutex> guard(lock_);
  return hosts_.size();
}

}  // namespace emulator
