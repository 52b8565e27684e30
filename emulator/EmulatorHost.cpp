#include "emulator/EmulatorHost.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace emulator {
namespace {

using wire::Op;
using wire::Reply;

int64_t IoValue(const hid::IoResult& r) { return (int64_t(r.status) << 32) | int64_t(r.transferred); }

// The report descriptor of the interface a path of ours names.
std::vector<uint8_t> DescriptorOf(Emulator& emulator, std::string_view path) {
  const std::string_view digits = hid::PathNode(path).substr(kPathPrefix.size());
  uint32_t id = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), id);
  const auto device = emulator.Find(id);
  const auto iface = device ? device->Interface(uint8_t(hid::PathInterfaceNumber(path))) : nullptr;
  if (!iface) return {};
  const auto bytes = iface->Descriptor();
  return {bytes.begin(), bytes.end()};
}

}  // namespace

EmulatorHost::EmulatorHost(std::shared_ptr<Emulator> emulator, HostSources sources, std::filesystem::path folder)
    : emulator_(std::move(emulator)), sources_(std::move(sources)) {
  if (folder.empty()) folder = wire::HostFolder();
  if (folder.empty() || !emulator_) {
    Trace("emulator host: no private runtime folder, not serving");
    return;
  }
  socketPath_ = folder / (std::to_string(::getpid()) + std::string(wire::kSocketSuffix));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string p = socketPath_.string();
  if (p.size() >= sizeof(address.sun_path)) {
    Trace("emulator host: socket path too long: " + p);
    return;
  }
  std::memcpy(address.sun_path, p.c_str(), p.size() + 1);
  ::unlink(p.c_str());  // a socket left by an earlier process with our pid
  wire::Fd s(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
  wire::Fd wake(::eventfd(0, EFD_CLOEXEC));
  if (!s || !wake || ::bind(s.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(s.Get(), 16) != 0) {
    Trace("emulator host: cannot serve on " + p + ": " + std::strerror(errno));
    return;
  }
  listen_ = std::move(s);
  wake_ = std::move(wake);
  Trace("emulator host: serving on " + p);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

EmulatorHost::~EmulatorHost() {
  if (!listen_) return;
  const uint64_t one = 1;
  (void)!::write(wake_.Get(), &one, sizeof one);
  {
    // A call under way on a peer's connection ends at once.
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& [id, opened] : handles_) opened.connection->Interrupt();
  }
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::unique_ptr<Session>> sessions;
  {
    std::lock_guard<std::mutex> guard(lock_);
    sessions.swap(sessions_);
  }
  for (auto& s : sessions)
    if (s->thread.joinable()) s->thread.join();
  ::unlink(socketPath_.c_str());
}

size_t EmulatorHost::OpenHandles() const {
  std::lock_guard<std::mutex> guard(lock_);
  return handles_.size();
}

void EmulatorHost::AcceptLoop() {
  pollfd fds[2] = {{listen_.Get(), POLLIN, 0}, {wake_.Get(), POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents & POLLIN) return;
    if (!(fds[0].revents & POLLIN)) continue;
    wire::Fd peer(::accept4(listen_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!peer) continue;
    std::lock_guard<std::mutex> guard(lock_);
    // Sessions whose peer left are joined here.
    for (auto it = sessions_.begin(); it != sessions_.end();) {
      if ((*it)->done.load()) {
        (*it)->thread.join();
        it = sessions_.erase(it);
      } else {
        ++it;
      }
    }
    auto session = std::make_unique<Session>();
    session->fd = std::move(peer);
    Session* raw = session.get();
    session->thread = std::thread([this, raw] { Serve(raw); });
    sessions_.push_back(std::move(session));
  }
}

void EmulatorHost::Serve(Session* session) {
  std::vector<uint8_t> packet;
  while (wire::RecvPacket(session->fd.Get(), packet, -1, wake_.Get()) == wire::RecvResult::Packet) {
    const auto request = wire::DecodeRequest(packet);
    if (!request) break;
    if (!wire::SendPacket(session->fd.Get(), wire::Encode(Answer(*request, session)))) break;
  }
  // What the peer opened goes with it.
  std::vector<std::shared_ptr<hid::HidConnection>> orphans;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = handles_.begin(); it != handles_.end();) {
      if (it->second.owner == session) {
        orphans.push_back(std::move(it->second.connection));
        it = handles_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& c : orphans) c->Interrupt();
  session->done = true;
}

std::shared_ptr<hid::HidConnection> EmulatorHost::Handle(uint32_t id) const {
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = handles_.find(id);
  return it == handles_.end() ? nullptr : it->second.connection;
}

Reply EmulatorHost::Answer(const wire::Request& request, Session* session) {
  const std::string text = wire::Text(request.payload);
  switch (request.op) {
    case Op::Enumerate: {
      std::vector<std::string> paths;
      const bool ok = emulator_->Enumerate(paths);
      std::string joined;
      for (const auto& p : paths) joined += (joined.empty() ? "" : "\n") + p;
      return {ok ? 1 : 0, wire::Bytes(joined)};
    }
    case Op::IsPresent:
      return {emulator_->IsPresent(text) ? 1 : 0, {}};
    case Op::ChangeCount:
      return {int64_t(emulator_->ChangeCount().value_or(uint64_t(-1))), {}};
    case Op::Open: {
      if (request.payload.empty()) return {};
      const uint8_t m = request.payload[0];
      const std::string path = text.substr(1);
      auto connection = emulator_->Open(path, {bool(m & 1), bool(m & 2), bool(m & 4), bool(m & 8)});
      if (!connection) return {};
      const hid::HidAttributes a = connection->Attributes();
      std::vector<uint8_t> out = {uint8_t(a.VendorID), uint8_t(a.VendorID >> 8), uint8_t(a.ProductID),
                                  uint8_t(a.ProductID >> 8), uint8_t(a.VersionNumber), uint8_t(a.VersionNumber >> 8)};
      const std::vector<uint8_t> descriptor = DescriptorOf(*emulator_, path);
      out.insert(out.end(), descriptor.begin(), descriptor.end());
      std::lock_guard<std::mutex> guard(lock_);
      const uint32_t id = nextHandle_++;
      handles_[id] = {std::move(connection), session};
      return {int64_t(id), std::move(out)};
    }
    case Op::Close: {
      std::shared_ptr<hid::HidConnection> gone;
      {
        std::lock_guard<std::mutex> guard(lock_);
        const auto it = handles_.find(request.handle);
        if (it == handles_.end()) return {};
        gone = std::move(it->second.connection);
        handles_.erase(it);
      }
      gone->Interrupt();
      return {1, {}};
    }
    case Op::Devices: {
      std::string lines;
      if (sources_.devices)
        for (const HostedDevice& d : sources_.devices())
          lines += d.name + "\t" + (d.receiver ? "1" : "0") + "\t" + (d.plugged ? "1" : "0") + "\t" + d.commandPath + "\n";
      return {1, wire::Bytes(lines)};
    }
    case Op::RequestLog: {
      std::string lines;
      const bool ok = sources_.requestLog && sources_.requestLog(text, &lines);
      return {ok ? 1 : 0, wire::Bytes(lines)};
    }
    default:
      break;
  }
  const auto connection = Handle(request.handle);
  if (!connection) return {request.op == Op::GetFeature ? -1 : 0, {}};
  hid::CancelEvent never;
  switch (request.op) {
    case Op::Read: {
      std::vector<uint8_t> buffer(std::max<size_t>(
          connection->Collection().ReportByteLength(hid::ReportType::Input) + 1, 65));
      const hid::IoResult r =
          connection->Read(buffer, std::min(request.timeout, wire::kReadSlice), hid::Cancellation(never));
      buffer.resize(r.status == hid::IoStatus::Completed ? std::min(r.transferred, buffer.size()) : 0);
      return {IoValue(r), std::move(buffer)};
    }
    case Op::Write:
      return {IoValue(connection->Write(request.payload, request.timeout, hid::Cancellation(never))), {}};
    case Op::Flush:
      return {connection->FlushQueue() ? 1 : 0, {}};
    case Op::SetOutput:
      return {connection->SetOutputReport(request.payload) ? 1 : 0, {}};
    case Op::SetFeature:
      return {connection->SetFeature(request.payload) ? 1 : 0, {}};
    case Op::GetFeature: {
      std::vector<uint8_t> buffer = request.payload;
      const int n = connection->GetFeature(buffer);
      buffer.resize(n > 0 ? std::min(size_t(n), buffer.size()) : 0);
      return {n, std::move(buffer)};
    }
    default:
      return {};
  }
}

}  // namespace emulator
