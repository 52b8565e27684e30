// vx27-uinput [--seconds <s>]: a kernel input device made through /dev/uinput
// with the keys input capture looks for (KEY_A, BTN_LEFT, BTN_SIDE), for the
// VM test. Prints "ready <event node>" once the device exists, then reads
// stdin lines "<input event code> <value>" (1 press, 0 release) and emits
// each as a key event with its report, answering "ok <line>". Ends on
// "quit", at the end of stdin, or after s seconds (default 60).

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace {

struct FreeDevice {
  void operator()(libevdev* d) const { libevdev_free(d); }
};
struct DestroyUinput {
  void operator()(libevdev_uinput* u) const { libevdev_uinput_destroy(u); }
};

// One line of stdin, waiting at most until `deadline`; false at the end of
// input or of the time.
bool ReadLine(std::string* line, std::chrono::steady_clock::time_point deadline) {
  line->clear();
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (::poll(&p, 1, int(left.count())) <= 0) continue;
    char c = 0;
    if (::read(STDIN_FILENO, &c, 1) != 1) return false;
    if (c == '\n') return true;
    *line += c;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 60;
  for (int i = 1; i + 1 < argc; i += 2)
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atoi(argv[i + 1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);

  std::unique_ptr<libevdev, FreeDevice> device(libevdev_new());
  libevdev_set_name(device.get(), "vx27 test keys");
  for (const unsigned code : {KEY_A, BTN_LEFT, BTN_SIDE}) libevdev_enable_event_code(device.get(), EV_KEY, code, nullptr);
  libevdev_uinput* raw = nullptr;
  if (const int error = libevdev_uinput_create_from_device(device.get(), LIBEVDEV_UINPUT_OPEN_MANAGED, &raw);
      error != 0) {
    std::fprintf(stderr, "vx27-uinput: cannot create the device: %s\n", std::strerror(-error));
    return 1;
  }
  std::unique_ptr<libevdev_uinput, DestroyUinput> uinput(raw);
  const char* node = libevdev_uinput_get_devnode(uinput.get());
  std::printf("ready %s\n", node ? node : "?");
  std::fflush(stdout);

  for (std::string line; ReadLine(&line, deadline) && line != "quit";) {
    std::istringstream fields(line);
    unsigned code = 0;
    int value = 0;
    if (!(fields >> code >> value)) {
      std::printf("bad %s\n", line.c_str());
    } else {
      libevdev_uinput_write_event(uinput.get(), EV_KEY, code, value);
      libevdev_uinput_write_event(uinput.get(), EV_SYN, SYN_REPORT, 0);
      std::printf("ok %s\n", line.c_str());
    }
    std::fflush(stdout);
  }
  return 0;
}
