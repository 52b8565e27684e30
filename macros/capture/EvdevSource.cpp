#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <libevdev/libevdev.h>

#include "macros/capture/InputSource.h"
#include "platform/Trace.h"

namespace macros::capture {

namespace {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      Reset();
      fd_ = std::exchange(o.fd_, -1);
    }
    return *this;
  }
  int Get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

struct Device {
  Fd fd;
  libevdev* dev = nullptr;
  Device(Fd f, libevdev* d) : fd(std::move(f)), dev(d) {}
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  ~Device() {
    if (dev) libevdev_free(dev);
  }
};

class EvdevSource : public InputSource {
 public:
  explicit EvdevSource(std::string folder) : folder_(std::move(folder)) {}
  ~EvdevSource() override { Close(); }

  int Open() override {
    Close();
    int firstError = ENOENT;
    std::error_code ec;
    std::vector<std::filesystem::path> nodes;
    for (const auto& item : std::filesystem::directory_iterator(folder_, ec))
      if (item.path().filename().string().rfind("event", 0) == 0) nodes.push_back(item.path());
    for (const auto& node : nodes) {
      Fd fd(::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
      if (fd.Get() < 0) {
        if (firstError == ENOENT) firstError = errno;
        continue;
      }
      libevdev* dev = nullptr;
      if (libevdev_new_from_fd(fd.Get(), &dev) < 0) continue;
      const bool keyboard = libevdev_has_event_code(dev, EV_KEY, KEY_A);
      const bool mouse = libevdev_has_event_code(dev, EV_KEY, BTN_LEFT);
      if (!keyboard && !mouse) {
        libevdev_free(dev);
        continue;
      }
      keyboard_ = keyboard_ || keyboard;
      mouse_ = mouse_ || mouse;
      devices_.push_back(std::make_unique<Device>(std::move(fd), dev));
    }
    if (devices_.empty()) return firstError;
    wake_ = Fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    Trace("input capture: " + std::to_string(devices_.size()) + " event devices");
    return 0;
  }

  bool CoversKeyboard() const override { return keyboard_; }
  bool CoversMouse() const override { return mouse_; }

  std::optional<RawInput> Next(const platform::StopEvent& stop) override {
    if (devices_.empty()) return std::nullopt;
    const int wake = wake_.Get();
    auto subscription = stop.Subscribe([wake] {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t n = ::write(wake, &one, sizeof one);
    });
    for (;;) {
      if (stop.IsSet()) return std::nullopt;
      // Events already read into a device's buffer first.
      for (auto& d : devices_) {
        if (auto input = Take(*d)) return input;
      }
      std::vector<pollfd> fds;
      fds.push_back({wake, POLLIN, 0});
      for (auto& d : devices_) fds.push_back({d->fd.Get(), POLLIN, 0});
      if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return std::nullopt;
      if (fds[0].revents) return std::nullopt;
      for (size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
          // The device left; read the others.
          devices_.erase(devices_.begin() + long(i - 1));
          if (devices_.empty()) return std::nullopt;
          break;
        }
      }
    }
  }

  void Close() override {
    devices_.clear();
    wake_.Reset();
    keyboard_ = mouse_ = false;
  }

 private:
  static std::optional<RawInput> Take(Device& d) {
    input_event ev;
    for (;;) {
      int rc = libevdev_next_event(d.dev, LIBEVDEV_READ_FLAG_NORMAL, &ev);
      if (rc == LIBEVDEV_READ_STATUS_SYNC) {
        while (rc == LIBEVDEV_READ_STATUS_SYNC)
          rc = libevdev_next_event(d.dev, LIBEVDEV_READ_FLAG_SYNC, &ev);
        continue;
      }
      if (rc != LIBEVDEV_READ_STATUS_SUCCESS) return std::nullopt;
      if (ev.type == EV_KEY) return RawInput{ev.code, ev.value};
    }
  }

  std::string folder_;
  std::vector<std::unique_ptr<Device>> devices_;
  Fd wake_;
  bool keyboard_ = false;
  bool mouse_ = false;
};

}  // namespace

std::unique_ptr<InputSource> MakeEvdevSource(std::string folder) {
  return std::make_unique<EvdevSource>(std::move(folder));
}

}  // namespace macros::capture
