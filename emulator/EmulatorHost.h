#pragma once
// Serves a program's emulated devices to other processes (vx27ctl, the
// updater) started with "--emulate attach" or VX27_EMULATE=attach: a socket
// "<pid>.sock" in the host folder (HostWire.h) answers every backend call
// (listing, presence, open, read, write, flush, output and feature reports)
// and the devices' request logs. One thread accepts, one thread serves each
// attached socket; every wait also watches the stop event, and stopping
// interrupts the connections opened for peers, so the destructor returns
// within one call's bound. A peer that goes away loses what it opened.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "emulator/Emulator.h"
#include "emulator/HostWire.h"

namespace emulator {

struct HostedDevice {
  std::string name;  // as the emulate list names it ("mouse", "keyboard:receiver")
  bool receiver = false;
  bool plugged = false;
  std::string commandPath;  // its command collection (empty: none)
};

struct HostSources {
  std::function<std::vector<HostedDevice>()> devices;
  // The request lines of a device ("request ..." each); false when unknown.
  std::function<bool(std::string_view device, std::string* lines)> requestLog;
};

class EmulatorHost {
 public:
  // Serves `emulator` in `folder` (default: wire::HostFolder()).
  EmulatorHost(std::shared_ptr<Emulator> emulator, HostSources sources, std::filesystem::path folder = {});
  ~EmulatorHost();
  EmulatorHost(const EmulatorHost&) = delete;
  EmulatorHost& operator=(const EmulatorHost&) = delete;

  // False when the socket could not be made (traced).
  bool Serving() const { return bool(listen_); }
  const std::filesystem::path& SocketPath() const { return socketPath_; }
  // Connections opened for peers and not yet closed.
  size_t OpenHandles() const;

 private:
  struct Session {
    wire::Fd fd;
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void AcceptLoop();
  void Serve(Session* session);
  wire::Reply Answer(const wire::Request& request, Session* session);
  std::shared_ptr<hid::HidConnection> Handle(uint32_t id) const;

  std::shared_ptr<Emulator> emulator_;
  HostSources sources_;
  std::filesystem::path socketPath_;
  wire::Fd listen_;
  wire::Fd wake_;  // an eventfd, readable once the host stops

  mutable std::mutex lock_;  // guards sessions_, handles_ and nextHandle_
  std::vector<std::unique_ptr<Session>> sessions_;
  struct Opened {
    std::shared_ptr<hid::HidConnection> connection;
    Session* owner = nullptr;
  };
  std::map<uint32_t, Opened> handles_;
  uint32_t nextHandle_ = 1;
  std::thread acceptor_;
};

}  // namespace emulator
