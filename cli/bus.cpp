// vx27ctl bus-send <title> <msg> <w> <l>
//   Sends one message to the first window on the window bus with that title.
//   <msg> is a number (a fixed message) or a name (a registered message).
// vx27ctl bus-listen <title> [--count n] [--seconds s]
//   Puts a window with that title on the bus and prints what it receives:
//   "msg <number|name> <w> <l>" or "copydata <dwData> <size> <hex>", until n
//   messages came or s seconds passed (without either, until interrupted).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>

#include "cli/Command.h"
#include "platform/WindowBus.h"

namespace {

bool ParseNumber(const std::string& text, long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = std::strtoll(text.c_str(), &end, 0);
  return *end == '\0';
}

int Send(const std::vector<std::string>& args) {
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: vx27ctl bus-send <title> <msg> <w> <l>\n");
    return 2;
  }
  long long id = 0, w = 0, l = 0;
  if (!ParseNumber(args[2], &w) || !ParseNumber(args[3], &l)) {
    std::fprintf(stderr, "vx27ctl: <w> and <l> are numbers\n");
    return 2;
  }
  int argc = 1;
  char name[] = "vx27ctl";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  const platform::BusMessage message =
      ParseNumber(args[1], &id)
          ? platform::BusMessage::Numbered(platform::MessageId(id), uint64_t(w), int64_t(l))
          : platform::BusMessage::Registered(args[1], uint64_t(w), int64_t(l));
  if (!platform::BusWindow::SendTo({}, args[0], message)) {
    std::fprintf(stderr, "vx27ctl: no window titled '%s' took the message\n", args[0].c_str());
    return 1;
  }
  return 0;
}

void Print(const platform::BusMessage& m) {
  if (m.id == platform::kCopyDataMessage && m.name.empty()) {
    std::string hex;
    for (uint8_t b : m.bytes) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02x", b);
      hex += digits;
    }
    std::printf("copydata %llu %zu %s\n", static_cast<unsigned long long>(m.dwData), m.bytes.size(),
                hex.c_str());
  } else {
    const std::string what = m.name.empty() ? std::to_string(m.id) : m.name;
    std::printf("msg %s %llu %lld\n", what.c_str(), static_cast<unsigned long long>(m.wParam),
                static_cast<long long>(m.lParam));
  }
  std::fflush(stdout);
}

int Listen(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::fprintf(stderr, "usage: vx27ctl bus-listen <title> [--count n] [--seconds s]\n");
    return 2;
  }
  long long count = 0, seconds = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    long long* target = args[i] == "--count" ? &count : args[i] == "--seconds" ? &seconds : nullptr;
    if (!target || i + 1 >= args.size() || !ParseNumber(args[i + 1], target) || *target <= 0) {
      std::fprintf(stderr, "usage: vx27ctl bus-listen <title> [--count n] [--seconds s]\n");
      return 2;
    }
    ++i;
  }
  int argc = 1;
  char name[] = "vx27ctl";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  long long received = 0;
  platform::BusWindow window("vx27ctl", args[0], [&](const platform::BusMessage& m) {
    Print(m);
    if (count > 0 && ++received >= count) QCoreApplication::exit(0);
  });
  if (!window.Listen()) {
    std::fprintf(stderr, "vx27ctl: cannot join the window bus\n");
    return 1;
  }
  if (seconds > 0) QTimer::singleShot(int(seconds * 1000), [] { QCoreApplication::exit(0); });
  return QCoreApplication::exec();
}

VX27_CLI_COMMAND(cli::Command{"bus-send", "<title> <msg> <w> <l>",
                              "send a message (number or registered name) to a window on the bus",
                              Send});
VX27_CLI_COMMAND(cli::Command{"bus-listen", "<title> [--count n] [--seconds s]",
                              "join the window bus under a title and print what arrives", Listen});

}  // namespace
