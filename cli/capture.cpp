// vx27ctl capture [--mode <m>] [--seconds <s>] [--script <f>]
// Switches input capture on in mode m (default 4) with the system-wide
// source (the machine's input devices, or a "<ms> <code> <value>" script)
// and prints what the hook reports, one line per event:
//   keyboard: "<message|none> 0x<wParam> scan 0x<scan> ext <0|1> vk 0x<vk> <pass|swallow>"
//   mouse:    "<message|none> 0x<wParam> x <x> y <y> data 0x<mouse data>"
// Without a readable input device it prints "message macro_capture_no_input"
// and exits 1. Runs for s seconds (default 5), or until the script ends.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/Command.h"
#include "cli/MacroCli.h"
#include "macros/capture/DeviceHook.h"
#include "macros/capture/InputSource.h"
#include "platform/Messages.h"

namespace cli {

std::unique_ptr<macros::capture::ScriptedSource> LoadScript(
    const std::string& path, std::shared_ptr<std::atomic<uint32_t>> clock) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "vx27ctl: cannot read %s\n", path.c_str());
    return nullptr;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<macros::capture::ScriptedSource::Step> steps;
  std::string error;
  if (!macros::capture::ScriptedSource::Parse(text.str(), &steps, &error)) {
    std::fprintf(stderr, "vx27ctl: %s: %s\n", path.c_str(), error.c_str());
    return nullptr;
  }
  return std::make_unique<macros::capture::ScriptedSource>(std::move(steps), std::move(clock));
}

void RunCapture(const macros::capture::ScriptedSource* scripted, double seconds) {
  QElapsedTimer timer;
  timer.start();
  const qint64 limit = qint64(seconds * 1000);
  while (scripted ? !scripted->Finished() : timer.elapsed() < limit) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (scripted && timer.elapsed() > 30000) break;  // a script never takes this long
    QThread::msleep(1);
  }
  QCoreApplication::processEvents();
}

namespace {

std::string NameOf(platform::MessageId id) {
  if (id == 0) return "none";
  return platform::RegisteredMessageName(id).value_or("none");
}

int Run(const std::vector<std::string>& args) {
  int mode = 4;
  double seconds = 5;
  std::string script;
  for (size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--mode") mode = std::atoi(args[i + 1].c_str());
    else if (args[i] == "--seconds") seconds = std::atof(args[i + 1].c_str());
    else if (args[i] == "--script") script = args[i + 1];
    else {
      std::fprintf(stderr, "usage: vx27ctl capture [--mode <m>] [--seconds <s>] [--script <f>]\n");
      return 2;
    }
  }
  if (args.size() % 2) {
    std::fprintf(stderr, "usage: vx27ctl capture [--mode <m>] [--seconds <s>] [--script <f>]\n");
    return 2;
  }
  static int argc = 1;
  static char name[] = "vx27ctl";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  std::unique_ptr<macros::capture::ScriptedSource> scripted;
  if (!script.empty() && !(scripted = LoadScript(script, nullptr))) return 1;
  const macros::capture::ScriptedSource* played = scripted.get();
  auto factory = [&scripted]() -> std::unique_ptr<macros::capture::InputSource> {
    if (scripted) return std::move(scripted);
    return macros::capture::MakeEvdevSource();
  };
  macros::capture::RegisterHookMessages();
  macros::capture::CDeviceHook hook(factory, false);
  hook.SetObserver([](const macros::capture::HookReport& r) {
    if (r.keyboard)
      std::printf("%s 0x%04x scan 0x%02x ext %d vk 0x%02x %s\n", NameOf(r.message).c_str(),
                  r.wParam, r.key.scanCode, r.key.Extended() ? 1 : 0, r.key.vkCode,
                  r.passed ? "pass" : "swallow");
    else
      std::printf("%s 0x%04x x %d y %d data 0x%08x\n", NameOf(r.message).c_str(), r.wParam,
                  r.mouse.x, r.mouse.y, r.mouse.mouseData);
    std::fflush(stdout);
  });
  hook.Install(0, mode, nullptr, true, true);
  if (hook.SourceError() != 0) {
    std::printf("message macro_capture_no_input\n");
    hook.Uninstall();
    return 1;
  }
  RunCapture(played, seconds);
  hook.Uninstall();
  return 0;
}

}  // namespace
}  // namespace cli

VX27_CLI_COMMAND(cli::Command{
    "capture", "[--mode <m>] [--seconds <s>] [--script <f>]",
    "input capture: print what the hook reports for each key and button", cli::Run});
