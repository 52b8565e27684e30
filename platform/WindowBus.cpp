#include "platform/WindowBus.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Trace.h"

namespace platform {

// ---------------------------------------------------------------- messages

BusMessage BusMessage::Numbered(MessageId id, uint64_t w, int64_t l) {
  BusMessage m;
  m.id = id;
  m.wParam = w;
  m.lParam = l;
  if (auto name = RegisteredMessageName(id)) m.name = *name;
  return m;
}

BusMessage BusMessage::Registered(std::string_view name, uint64_t w, int64_t l) {
  BusMessage m;
  m.name = std::string(name);
  m.id = RegisterWindowMessage(name);
  m.wParam = w;
  m.lParam = l;
  return m;
}

BusMessage BusMessage::CopyData(uint64_t dwData, std::span<const uint8_t> bytes, uint64_t wParam) {
  BusMessage m;
  m.id = kCopyDataMessage;
  m.wParam = wParam;
  m.dwData = dwData;
  m.bytes.assign(bytes.begin(), bytes.end());
  return m;
}

// ---------------------------------------------------------------- framing

namespace busframe {
namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint64_t v, size_t width) {
  for (size_t i = 0; i < width; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

uint64_t Get(std::span<const uint8_t> b, size_t at, size_t width) {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) v |= uint64_t(b[at + i]) << (8 * i);
  return v;
}

}  // namespace

std::vector<uint8_t> Encode(const BusMessage& m) {
  if (m.name.size() > kMaxName || m.bytes.size() > kMaxPayload) return {};
  if (m.name.empty() && m.id >= kFirstRegisteredMessage) return {};  // travels by name only
  const bool copyData = m.id == kCopyDataMessage && m.name.empty();
  const size_t total = kHeaderSize + m.name.size() + m.bytes.size();
  std::vector<uint8_t> frame(total, 0);
  Put(frame, kOffMagic, kMagic, 4);
  Put(frame, kOffLength, total, 4);
  Put(frame, kOffId, m.name.empty() ? m.id : 0, 4);
  Put(frame, kOffNameLen, m.name.size(), 2);
  frame[kOffFlags] = copyData ? kFlagCopyData : 0;
  Put(frame, kOffWParam, m.wParam, 8);
  Put(frame, kOffLParam, uint64_t(m.lParam), 8);
  Put(frame, kOffDwData, m.dwData, 8);
  Put(frame, kOffDataLen, m.bytes.size(), 4);
  std::copy(m.name.begin(), m.name.end(), frame.begin() + kHeaderSize);
  std::copy(m.bytes.begin(), m.bytes.end(), frame.begin() + kHeaderSize + m.name.size());
  return frame;
}

std::optional<size_t> AnnouncedLength(std::span<const uint8_t> head) {
  if (head.size() < 8 || Get(head, kOffMagic, 4) != kMagic) return std::nullopt;
  const size_t length = Get(head, kOffLength, 4);
  if (length < kHeaderSize || length > kMaxFrame) return std::nullopt;
  return length;
}

std::optional<BusMessage> Decode(std::span<const uint8_t> frame) {
  const auto length = AnnouncedLength(frame);
  if (!length || *length != frame.size()) return std::nullopt;
  const size_t nameLen = Get(frame, kOffNameLen, 2);
  const size_t dataLen = Get(frame, kOffDataLen, 4);
  if (nameLen > kMaxName || dataLen > kMaxPayload) return std::nullopt;
  if (kHeaderSize + nameLen + dataLen != frame.size()) return std::nullopt;
  const uint8_t flags = frame[kOffFlags];
  if (flags & ~kFlagCopyData) return std::nullopt;
  BusMessage m;
  m.id = MessageId(Get(frame, kOffId, 4));
  m.wParam = Get(frame, kOffWParam, 8);
  m.lParam = int64_t(Get(frame, kOffLParam, 8));
  m.dwData = Get(frame, kOffDwData, 8);
  const auto name = frame.subspan(kHeaderSize, nameLen);
  m.name.assign(name.begin(), name.end());
  const auto data = frame.subspan(kHeaderSize + nameLen, dataLen);
  m.bytes.assign(data.begin(), data.end());
  if (flags & kFlagCopyData) {
    if (m.id != kCopyDataMessage || !m.name.empty()) return std::nullopt;
  } else if (!m.bytes.empty() || m.dwData != 0) {
    return std::nullopt;  // only copy-data frames carry a payload
  }
  if (!m.name.empty()) {
    if (m.id != 0) return std::nullopt;
    // Looked up, never registered: a peer must not fill our table.
    m.id = FindWindowMessage(m.name);
  } else if (m.id == 0 || m.id >= kFirstRegisteredMessage) {
    return std::nullopt;  // a registered number only means something with its name
  }
  return m;
}

}  // namespace busframe

// ---------------------------------------------------------------- windows

namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 2000;

struct Entry {
  std::string socketPath;
  std::string className;
  std::string title;
};

// Windows of this process, so that messages to them are delivered directly
// instead of through their own socket. UI thread only.
std::map<std::string, BusWindow::Handler*>& LocalWindows() {
  static std::map<std::string, BusWindow::Handler*> windows;
  return windows;
}

std::string MetaPath(const std::string& socketPath) { return socketPath + ".meta"; }

bool ProcessAlive(const std::string& socketPath) {
  // Socket files are named "<pid>-<n>".
  const std::string base = std::filesystem::path(socketPath).filename().string();
  const pid_t pid = pid_t(std::atol(base.c_str()));
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::vector<Entry> ListWindows() {
  std::vector<Entry> entries;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(BusWindow::BusFolder(), ec)) {
    const std::string path = item.path().string();
    if (item.path().extension() != ".meta") continue;
    std::ifstream in(path);
    Entry e;
    e.socketPath = path.substr(0, path.size() - 5);
    if (!std::getline(in, e.className) || !std::getline(in, e.title)) continue;
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.socketPath < b.socketPath; });
  return entries;
}

void RemoveStale(const Entry& e) {
  if (ProcessAlive(e.socketPath)) return;
  std::error_code ec;
  std::filesystem::remove(e.socketPath, ec);
  std::filesystem::remove(MetaPath(e.socketPath), ec);
}

bool Deliver(const Entry& e, const BusMessage& message) {
  auto& local = LocalWindows();
  if (auto it = local.find(e.socketPath); it != local.end()) {
    // A copy: the handler may destroy its window, and with it the original.
    const BusWindow::Handler handler = *it->second;
    if (handler) handler(message);
    return true;
  }
  const std::vector<uint8_t> frame = busframe::Encode(message);
  if (frame.empty()) {
    Trace("window bus: message too large to send");
    return false;
  }
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(e.socketPath));
  if (!socket.waitForConnected(kConnectTimeoutMs)) {
    RemoveStale(e);
    return false;
  }
  qint64 written = 0;
  while (written < qint64(frame.size())) {
    const qint64 n = socket.write(reinterpret_cast<const char*>(frame.data()) + written,
                                  qint64(frame.size()) - written);
    if (n < 0) return false;
    written += n;
  }
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(kWriteTimeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

bool Matches(const Entry& e, std::string_view cls, std::string_view title) {
  return (cls.empty() || e.className == cls) && (title.empty() || e.title == title);
}

}  // namespace

// The listening side of a window. Shared so that a delivery in progress keeps
// it alive when the handler destroys its window; the server and its sockets
// are then deleted once that delivery has returned.
struct BusWindow::Impl : std::enable_shared_from_this<BusWindow::Impl> {
  Handler handler;
  std::unique_ptr<QLocalServer> server = std::make_unique<QLocalServer>();
  std::string socketPath;
  std::map<QLocalSocket*, QByteArray> buffers;
  int delivering = 0;   // nested deliveries in progress
  bool closed = false;  // the window is gone

  void Accept() {
    std::weak_ptr<Impl> weak = weak_from_this();
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      buffers[socket];
      QObject::connect(socket, &QLocalSocket::readyRead, server.get(), [weak, socket] {
        if (auto self = weak.lock()) self->Read(socket);
      });
      QObject::connect(socket, &QLocalSocket::disconnected, server.get(), [weak, socket] {
        auto self = weak.lock();
        if (!self) return;
        self->Read(socket);
        if (self->closed) return;
        auto it = self->buffers.find(socket);
        if (it != self->buffers.end()) {
          if (!it->second.isEmpty()) Trace("window bus: dropped a truncated frame");
          self->buffers.erase(it);
        }
        socket->deleteLater();
      });
    }
  }

  // Takes every whole frame out of the socket's buffer before its handler
  // runs: the handler may run an event loop (a modal box) in which this is
  // called again for the same socket, or destroy the window.
  void Read(QLocalSocket* socket) {
    if (closed) return;
    auto it = buffers.find(socket);
    if (it == buffers.end()) return;
    it->second += socket->readAll();
    const std::shared_ptr<Impl> keep = shared_from_this();
    for (;;) {
      it = buffers.find(socket);
      if (closed || it == buffers.end()) return;
      QByteArray& buf = it->second;
      if (buf.size() < 8) return;
      const auto* data = reinterpret_cast<const uint8_t*>(buf.constData());
      const auto length = busframe::AnnouncedLength({data, size_t(buf.size())});
      if (!length) {
        Trace("window bus: dropped a malformed frame");
        buffers.erase(it);
        socket->abort();
        return;
      }
      if (size_t(buf.size()) < *length) return;
      const QByteArray frame = buf.left(qsizetype(*length));
      buf.remove(0, qsizetype(*length));
      const auto message = busframe::Decode(
          {reinterpret_cast<const uint8_t*>(frame.constData()), size_t(frame.size())});
      if (!message) {
        Trace("window bus: dropped a malformed frame");
        continue;
      }
      const Handler run = handler;  // the window may be destroyed while it runs
      ++delivering;
      if (run) run(*message);
      --delivering;
    }
  }

  // The window is destroyed: stop listening at once; free the server and its
  // sockets now, or, inside a delivery, once the event loop is back.
  void Close() {
    closed = true;
    handler = nullptr;
    server->close();
    for (auto& [socket, buf] : buffers) QObject::disconnect(socket, nullptr, server.get(), nullptr);
    buffers.clear();
    if (delivering > 0) server.release()->deleteLater();
    else server.reset();
  }
};

std::string BusWindow::BusFolder() {
  const std::filesystem::path runtime = RuntimeFolder();
  return runtime.empty() ? std::string() : (runtime / "vx27-bus").string();
}

BusWindow::BusWindow(std::string className, std::string title, Handler handler)
    : impl_(std::make_shared<Impl>()), className_(std::move(className)), title_(std::move(title)) {
  impl_->handler = std::move(handler);
}

BusWindow::~BusWindow() {
  if (!impl_->socketPath.empty()) {
    LocalWindows().erase(impl_->socketPath);
    std::error_code ec;
    std::filesystem::remove(MetaPath(impl_->socketPath), ec);
    std::filesystem::remove(impl_->socketPath, ec);
  }
  impl_->Close();
}

bool BusWindow::Listen() {
  if (!impl_->socketPath.empty()) return true;
  const std::string folder = BusFolder();
  if (folder.empty()) {
    Trace("window bus: no safe runtime folder");
    return false;
  }
  ::mkdir(folder.c_str(), 0700);
  ::chmod(folder.c_str(), 0700);
  static std::atomic<int> counter{0};
  const std::string path = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
  std::error_code ec;
  std::filesystem::remove(path, ec);
  impl_->server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!impl_->server->listen(QString::fromStdString(path))) {
    Trace("window bus: cannot listen on " + path);
    return false;
  }
  std::weak_ptr<Impl> weak = impl_;
  QObject::connect(impl_->server.get(), &QLocalServer::newConnection, impl_->server.get(),
                   [weak] {
                     if (auto impl = weak.lock()) impl->Accept();
                   });
  impl_->socketPath = path;
  LocalWindows()[path] = &impl_->handler;
  SetTitle(title_);
  return true;
}

void BusWindow::SetTitle(std::string title) {
  title_ = std::move(title);
  if (impl_->socketPath.empty()) return;
  if (!WriteFileAtomic(MetaPath(impl_->socketPath), className_ + "\n" + title_ + "\n"))
    Trace("window bus: cannot publish window " + className_);
}

int BusWindow::Broadcast(const BusMessage& message) {
  int reached = 0;
  for (const Entry& e : ListWindows())
    if (Deliver(e, message)) ++reached;
  return reached;
}

bool BusWindow::SendTo(std::string_view className, std::string_view title,
                       const BusMessage& message) {
  for (const Entry& e : ListWindows())
    if (Matches(e, className, title) && Deliver(e, message)) return true;
  return false;
}

bool BusWindow::Exists(std::string_view className, std::string_view title) {
  for (const Entry& e : ListWindows()) {
    if (!Matches(e, className, title)) continue;
    if (LocalWindows().count(e.socketPath) || ProcessAlive(e.socketPath)) return true;
    RemoveStale(e);
  }
  return false;
}

}  // namespace platform
