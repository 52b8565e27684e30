// vx27ctl music-bands <file>: runs the program's band analysis on sample
// frames, one frame per line (up to 500 integers separated by commas or
// blanks), and prints each set of levels it hands to the keyboard:
// "levels <25 comma-separated means>".

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "musiclight/MusicLink.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<file>";

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("music-bands", kUsage);
  std::ifstream in(args[0]);
  if (!in) {
    std::fprintf(stderr, "vx27ctl: cannot read %s\n", args[0].c_str());
    return 1;
  }
  musiclight::MusicLink link(0);
  link.SetKeyboard(
      [](std::span<const int32_t> values) {
        std::string line = "levels ";
        for (size_t i = 0; i < musiclight::kBandGroups; ++i)
          line += (i ? "," : "") + std::to_string(values[i]);
        std::printf("%s\n", line.c_str());
      },
      {});
  for (std::string line; std::getline(in, line);) {
    for (char& c : line)
      if (c == ',') c = ' ';
    std::istringstream values(line);
    std::vector<uint8_t> frame;
    for (long long v; frame.size() < musiclight::link::kSampleFrameValues * 4 && values >> v;) {
      // Little-endian, as the companion sends them.
      const uint32_t value = uint32_t(int32_t(v));
      for (int b = 0; b < 4; ++b) frame.push_back(uint8_t(value >> (8 * b)));
    }
    link.OnCopyData(musiclight::link::kSampleFrameData, frame);  // a blank line is no frame
  }
  return 0;
}

VX27_CLI_COMMAND(Command{"music-bands", kUsage, "band levels the keyboard gets from sample frames", Run});

}  // namespace
}  // namespace cli
