// Test peer process.
//   lock <name> <hold-ms>            take the instance lock, print "locked" or
//                                    "busy", hold it for hold-ms, exit 0
//   lock-crash <name>                take the lock, print "locked", then die by SIGKILL
//   listen <class> <title> <count> [names...]
//                                    register the names, join the window bus,
//                                    print "ready", then one line per message
//                                    received; exit after count messages or 10 s

#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/SingleInstance.h"
#include "platform/WindowBus.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode == "lock" || mode == "lock-crash") {
    platform::InstanceLock lock;
    const bool got = lock.TryAcquire(argv[2]);
    std::printf("%s\n", got ? "locked" : "busy");
    std::fflush(stdout);
    if (mode == "lock-crash" && got) ::kill(::getpid(), SIGKILL);
    if (argc > 3) std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
    return 0;
  }
  if (mode == "listen" && argc >= 5) {
    QCoreApplication app(argc, argv);
    int remaining = std::atoi(argv[4]);
    for (int i = 5; i < argc; ++i) platform::RegisterWindowMessage(argv[i]);
    platform::BusWindow window(argv[2], argv[3], [&](const platform::BusMessage& m) {
      std::printf("msg id=%u name=%s w=%llu l=%lld dw=%llu bytes=%zu\n", m.id, m.name.c_str(),
                  static_cast<unsigned long long>(m.wParam), static_cast<long long>(m.lParam),
                  static_cast<unsigned long long>(m.dwData), m.bytes.size());
      std::fflush(stdout);
      if (--remaining <= 0) app.quit();
    });
    if (!window.Listen()) return 3;
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(10000, &app, [&] { app.exit(4); });
    return app.exec();
  }
  return 2;
}
