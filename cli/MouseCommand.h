#pragma once
// What `load mouse` and `apply mouse` share: the --profile option, the opened
// mouse, its profile object (factory data from the install folder, the macro
// library beside the profile file) and the mouse core on its channel, with
// the read-all already done and reported.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/DeviceSession.h"
#include "devices/core/MouseCore.h"
#include "platform/Paths.h"

namespace cli {

struct MouseCommand {
  DeviceSession session;
  profiles::CMouseProfiledata profile;
  std::unique_ptr<devices::MouseCore> core;
  std::filesystem::path profilePath;

  // Options and device; false with the usage printed (exit 2) or the device
  // missing (`exitCode` 1).
  bool Start(const std::vector<std::string>& args, const char* command, const char* usage, int& exitCode) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--profile" && i + 1 < args.size()) {
        profilePath = args[++i];
      } else {
        rest.push_back(args[i]);
      }
    }
    if (profilePath.empty() || !session.ParseOptions(rest) || session.Positional().size() != 1 ||
        session.Positional()[0] != "mouse") {
      exitCode = UsageError(command, usage);
      return false;
    }
    if (!session.Open("mouse")) {
      exitCode = DeviceSession::Finish(protocol::kNoReply);
      return false;
    }
    profile.SetDefaultPath(platform::InstallFolder() / "DefaultData" / "mouse.Json");
    core = std::make_unique<devices::MouseCore>(session.Channel(), profile);
    core->SetMacroFolder(profilePath.parent_path().empty() ? std::filesystem::path(".")
                                                            : profilePath.parent_path());
    return true;
  }

  // The read-all with its `info` and `positions` lines.
  devices::ReadAllOutcome ReadAll() {
    const devices::ReadAllOutcome out = core->ReadAll();
    const char* info = "failed";
    switch (out.info) {
      case devices::InfoCheck::Accepted: info = "ok"; break;
      case devices::InfoCheck::New: info = "new"; break;
      case devices::InfoCheck::Unknown: info = "unknown"; break;
      case devices::InfoCheck::Failed: break;
    }
    std::printf("info %s\npositions", info);
    for (uint8_t p : core->Positions()) std::printf(" %u", unsigned(p));
    std::printf("\n");
    return out;
  }
};

}  // namespace cli
