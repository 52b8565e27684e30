#include "protocol/CommandChannel.h"

#include <algorithm>
#include <thread>

#include "platform/Trace.h"
#include "platform/Worker.h"

namespace protocol {
namespace {

using namespace std::chrono_literals;

// Copies a request into a full report: zero padded, or cut, to 64 bytes.
Report PadRequest(std::span<const uint8_t> request) {
  Report out{};
  std::copy_n(request.begin(), std::min(request.size(), out.size()), out.begin());
  return out;
}

// The two hex lines of a 64-byte report, after its heading.
void TraceReport(const char* heading, std::span<const uint8_t, report::kSize> bytes) {
  if (!platform::TraceEnabled()) return;
  Trace(heading);
  Trace(platform::FormatHexLine(bytes.first<32>()));
  Trace(platform::FormatHexLine(bytes.last<32>()));
}

}  // namespace

CCommandChannel::CCommandChannel(std::shared_ptr<hid::HidBackend> backend)
    : wired_(backend), receiver_(backend) {}

CCommandChannel::~CCommandChannel() {
  open_ = false;
  // Closing signals each interface's cancel event, ending any waiting transfer.
  wired_.Close();
  receiver_.Close();
}

void CCommandChannel::Sleep(std::chrono::milliseconds d) {
  if (sleep_) sleep_(d);
  else platform::SleepFor(d);  // on a worker, its stop event ends the sleep
}

void CCommandChannel::SetConnectionMode(int mode) {
  const bool receiver = mode == int(ConnectionMode::Receiver);
  receiverMode_ = receiver;
  chunkSize_ = receiver ? kReceiverChunk : kWiredChunk;
}

bool CCommandChannel::SetBlockSize(uint16_t size) {
  if (size > kMaxBlockSize) return false;
  blockSize_ = size;
  return true;
}

bool CCommandChannel::OpenHandle(ConnectionMode mode, std::string_view path) {
  std::lock_guard io(ioLock_);
  open_ = false;
  hid::CHidInterface& target = mode == ConnectionMode::Receiver ? receiver_ : wired_;
  target.Close();
  const bool opened = target.Open(path, true, true, true, false);
  if (opened) open_ = true;
  SetConnectionMode(int(mode));
  return opened;
}

void CCommandChannel::CloseHandles() {
  std::lock_guard io(ioLock_);
  open_ = false;
  suppressIo_ = false;
  wired_.Close();
  receiver_.Close();
}

int CCommandChannel::Exchange(std::span<const uint8_t> request,
                              std::span<uint8_t, report::kSize> reply, uint32_t* bytesRead) {
  if (suppressIo_) {
    // Nothing is sent; the caller must not find a stale reply from an
    // earlier exchange in its buffer.
    std::fill(reply.begin(), reply.end(), 0);
    if (bytesRead) *bytesRead = 0;
    return kOk;
  }
  busy_ = true;
  int result = kNoReply;
  if (bytesRead) *bytesRead = 0;
  if (!open_) {
    busy_ = false;
    return result;
  }

  const Report send = PadRequest(request);
  TraceReport("命令", send);

  for (int attempt = 0;;) {
    Sleep(10ms);
    uint32_t written = 0;
    bool wrote = false;
    {
      std::lock_guard io(ioLock_);
      hid::CHidInterface& dev = Current();
      dev.FlushQueue();
      wrote = dev.Write(send, &written, WriteTimeout());
    }
    if (!wrote || written == 0) {
      busy_ = false;
      return kNotWritten;  // no read, no reply trace
    }

    std::unique_lock io(ioLock_);
    Sleep(10ms);
    uint32_t got = 0;
    const bool read = Current().Read(reply, &got, ReadTimeout());
    if (bytesRead) *bytesRead = got;
    result = read ? kOk : kNoReply;
    if (!read) std::fill(reply.begin(), reply.end(), 0);

    if (read && reply[report::kCommand] == send[report::kCommand]) break;
    if (read && receiverMode_ && reply[report::kCommand] == report::kReceiverNoDevice) {
      result = kUnreachable;
      break;
    }
    if (++attempt >= 2) {
      // Two replies to something else: there is no reply to this request.
      result = kNoReply;
      break;
    }
    io.unlock();
  }

  TraceReport("返回", reply);
  busy_ = false;
  return result;
}

int CCommandChannel::ExchangeQuick(std::span<const uint8_t> request,
                                   std::span<uint8_t, report::kSize> reply, uint32_t* bytesRead) {
  busy_ = true;
  int result = kNoReply;
  if (bytesRead) *bytesRead = 0;
  if (!open_) {
    busy_ = false;
    return result;
  }
  const Report send = PadRequest(request);
  {
    std::lock_guard io(ioLock_);
    uint32_t written = 0;
    if (!Current().Write(send, &written, QuickTimeout()) || written == 0) {
      busy_ = false;
      return kNotWritten;
    }
  }
  {
    std::lock_guard io(ioLock_);
    for (int attempt = 0; attempt < 2; ++attempt) {
      uint32_t got = 0;
      const bool read = Current().Read(reply, &got, QuickTimeout());
      if (bytesRead) *bytesRead = got;
      if (!read) {
        std::fill(reply.begin(), reply.end(), 0);
        result = kNoReply;
        continue;
      }
      result = kOk;
      if (reply[report::kCommand] == send[report::kCommand]) break;
      if (receiverMode_ && reply[report::kCommand] == report::kReceiverNoDevice) {
        result = kUnreachable;
        break;
      }
      result = kNoReply;  // a reply to another command is not this one's
    }
  }
  busy_ = false;
  return result;
}

int CCommandChannel::Command(Report& request, Report& reply, std::recursive_mutex* lock) {
  SealReport(request);
  int result;
  if (lock) {
    std::lock_guard guard(*lock);
    result = Exchange(request, reply);
  } else {
    result = Exchange(request, reply);
  }
  if (result != kOk) return result;
  return StatusResult(reply);
}

}  // namespace protocol
