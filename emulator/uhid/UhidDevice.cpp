#include "emulator/uhid/UhidDevice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include "platform/Trace.h"

namespace emulator::uhid {
namespace {

bool WriteEvent(int fd, const uhid_event& ev) {
  for (;;) {
    const ssize_t n = ::write(fd, &ev, sizeof(ev));
    if (n == ssize_t(sizeof(ev))) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

void CopyText(char* dst, size_t size, const std::string& text) {
  std::memset(dst, 0, size);
  std::memcpy(dst, text.data(), std::min(text.size(), size - 1));
}

}  // namespace

std::unique_ptr<UhidDevice> UhidDevice::Create(const UhidDesc& desc, OutputHandler onOutput) {
  if (desc.descriptor.empty() || desc.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) return nullptr;
  const int fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    Trace(std::string("uhid: cannot open /dev/uhid: ") + std::strerror(errno));
    return nullptr;
  }
  auto ev = std::make_unique<uhid_event>();
  std::memset(ev.get(), 0, sizeof(*ev));
  ev->type = UHID_CREATE2;
  uhid_create2_req& req = ev->u.create2;
  CopyText(reinterpret_cast<char*>(req.name), sizeof(req.name), desc.name);
  CopyText(reinterpret_cast<char*>(req.phys), sizeof(req.phys), desc.phys);
  CopyText(reinterpret_cast<char*>(req.uniq), sizeof(req.uniq), desc.uniq);
  req.rd_size = uint16_t(desc.descriptor.size());
  req.bus = desc.bus;
  req.vendor = desc.vendor;
  req.product = desc.product;
  req.version = desc.version;
  std::memcpy(req.rd_data, desc.descriptor.data(), desc.descriptor.size());
  if (!WriteEvent(fd, *ev)) {
    Trace(std::string("uhid: the kernel refused ") + desc.name + ": " + std::strerror(errno));
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<UhidDevice>(new UhidDevice(fd, std::move(onOutput)));
}

UhidDevice::~UhidDevice() {
  if (fd_ < 0) return;
  uhid_event ev{};
  ev.type = UHID_DESTROY;
  WriteEvent(fd_, ev);
  ::close(fd_);
}

bool UhidDevice::SendInput(std::span<const uint8_t> report) {
  if (report.size() > UHID_DATA_MAX) return false;
  auto ev = std::make_unique<uhid_event>();
  std::memset(ev.get(), 0, sizeof(*ev));
  ev->type = UHID_INPUT2;
  ev->u.input2.size = uint16_t(report.size());
  std::memcpy(ev->u.input2.data, report.data(), report.size());
  return WriteEvent(fd_, *ev);
}

void UhidDevice::Pump() {
  auto ev = std::make_unique<uhid_event>();
  for (;;) {
    const ssize_t n = ::read(fd_, ev.get(), sizeof(*ev));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // EAGAIN: nothing more pending
    switch (ev->type) {
      case UHID_START: started_ = true; break;
      case UHID_STOP: started_ = false; break;
      case UHID_OPEN: ++openCount_; break;
      case UHID_CLOSE: if (openCount_ > 0) --openCount_; break;
      case UHID_OUTPUT:
        if (onOutput_) onOutput_({ev->u.output.data, ev->u.output.size});
        break;
      case UHID_GET_REPORT: {
        // No feature reports: answer with an I/O error so the caller does not hang.
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = ev->u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        WriteEvent(fd_, reply);
        break;
      }
      case UHID_SET_REPORT: {
        // Output reports sent with SET_REPORT reach the handler like writes.
        if (onOutput_) onOutput_({ev->u.set_report.data, ev->u.set_report.size});
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = ev->u.set_report.id;
        reply.u.set_report_reply.err = 0;
        WriteEvent(fd_, reply);
        break;
      }
      default: break;
    }
  }
}

}  // namespace emulator::uhid
