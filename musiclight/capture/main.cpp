// vx27audiorecord: the music lighting companion.
//   --signal sine:<Hz>:<dBFS>|silence|sweep   analyse a test signal instead of
//                                             the default output's sound
//   --play <signal>                           play a test signal to the default output
//   --log                                     print what the program sends

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <cstdio>
#include <cstring>

#include "musiclight/capture/Companion.h"

namespace {
// A display to show the band window on: an X or Wayland session, or a Qt
// platform named outright (offscreen in tests).
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* v = std::getenv(name); v && *v) return true;
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  const std::unique_ptr<QCoreApplication> app =
      HasDisplay() ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
  musiclight::capture::CompanionOptions options;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--log") == 0) {
      options.log = true;
    } else if ((std::strcmp(argv[i], "--signal") == 0 || std::strcmp(argv[i], "--play") == 0) &&
               hasValue) {
      auto signal = musiclight::capture::TestSignal::Parse(argv[i + 1]);
      if (!signal) {
        std::fprintf(stderr, "vx27audiorecord: bad signal %s\n", argv[i + 1]);
        return 2;
      }
      (argv[i][2] == 's' ? options.signal : options.play) = signal;
      ++i;
    } else {
      std::fprintf(stderr,
                   "usage: vx27audiorecord [--signal sine:<Hz>:<dBFS>|silence|sweep] "
                   "[--play <signal>] [--log]\n");
      return 2;
    }
  }
  musiclight::capture::Companion companion(options);
  if (!companion.Start()) return 1;
  return app->exec();
}
