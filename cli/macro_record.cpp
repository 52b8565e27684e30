// vx27ctl macro <folder> record <n> <script> [--timing 1|2|3] [--fixed-delay <t>]
//     [--placement append|before|after|replace] [--select <row>]
// Records into macro n as the editor does: the script's events go through
// the capture hook (scripted source, its times as the clock, which starts at
// 0 with the recording) to the recorder, then the rows are saved and printed
// ("<Type> <Action> <Button> <Delay>").

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

#include "cli/MacroCli.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroRecorder.h"
#include "macros/MacroRows.h"
#include "macros/capture/DeviceHook.h"
#include "macros/capture/InputSource.h"

namespace cli {

int RecordMacro(macros::MacroLibrary& library, const std::vector<std::string>& args) {
  int number = -1;
  if (args.size() < 4 || !MacroNumber(args[2], library, &number)) {
    std::fprintf(stderr, "usage: vx27ctl macro <folder> record <n> <script> [options]\n");
    return 2;
  }
  int timing = macros::kRecordTime;
  std::string fixedDelay = "50";
  macros::Placement placement = macros::Placement::Append;
  int select = -1;
  for (size_t i = 4; i + 1 < args.size(); i += 2) {
    const std::string& key = args[i];
    const std::string& value = args[i + 1];
    if (key == "--timing") timing = std::atoi(value.c_str());
    else if (key == "--fixed-delay") fixedDelay = value;
    else if (key == "--select") select = std::atoi(value.c_str());
    else if (key == "--placement") {
      if (value == "append") placement = macros::Placement::Append;
      else if (value == "before") placement = macros::Placement::Before;
      else if (value == "after") placement = macros::Placement::After;
      else if (value == "replace") placement = macros::Placement::Replace;
      else return std::fprintf(stderr, "vx27ctl: unknown placement %s\n", value.c_str()), 2;
    } else {
      return std::fprintf(stderr, "vx27ctl: unknown option %s\n", key.c_str()), 2;
    }
  }
  if (args.size() % 2) return std::fprintf(stderr, "vx27ctl: option without value\n"), 2;

  static int argc = 1;
  static char name[] = "vx27ctl";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  auto clock = std::make_shared<std::atomic<uint32_t>>(0);
  std::unique_ptr<macros::capture::ScriptedSource> script = LoadScript(args[3], clock);
  if (!script) return 1;
  const macros::capture::ScriptedSource* played = script.get();

  macros::MacroRows rows;
  rows.Reset(library.LoadEvents(number));
  rows.Select(select);
  macros::MacroRecorder recorder(rows, [clock] { return clock->load(); });
  recorder.StartTiming(timing, fixedDelay);

  const int mode = macros::CaptureModeOf(placement);
  macros::capture::RegisterHookMessages();
  const platform::MessageId keyboard =
      platform::RegisterWindowMessage(macros::capture::KeyboardMessageName(mode));
  const platform::MessageId mouse =
      platform::RegisterWindowMessage(macros::capture::MouseMessageName(mode));
  platform::MessageTarget target([&](const platform::Message& m) -> int64_t {
    if (m.id == keyboard)
      recorder.OnKeyboardEvent(placement, uint32_t(m.wParam),
                               macros::DecodeKeyboard(macros::RecordAt(m.lParam)));
    else if (m.id == mouse)
      recorder.OnMouseEvent(placement, uint32_t(m.wParam),
                            macros::DecodeMouse(macros::RecordAt(m.lParam)));
    return 0;
  });
  macros::capture::CDeviceHook hook(
      [&script]() -> std::unique_ptr<macros::capture::InputSource> { return std::move(script); },
      false);
  hook.Install(0, mode, &target, true, true);
  RunCapture(played, 0);
  hook.Uninstall();
  const int result = SaveRows(library, number, rows);
  PrintEvents(library.LoadEvents(number));
  return result;
}

}  // namespace cli
