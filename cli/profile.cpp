// vx27ctl profile <mouse|keyboard|pad|headset> <operation> [argument] [--code-page n]
// Runs the profile panel's flow on the user data folder's profile list of the
// model, with no device attached and every confirmation answered yes:
//   list | select <i> | add | copy | delete | rename <name> | import <file> |
//   export <file> | reset
// Prints "message <text id>" for every message the flow shows, then
// "profile <i> <*|-> <uuid> <name>" for every entry ("*" marks the selection).

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "profiles/ProfileActions.h"
#include "profiles/Profiles.h"

namespace {

struct Model {
  const char* name;
  int kind;
  const char* folder;
};
constexpr Model kModels[] = {
    {"keyboard", hid::kind::kKeyboardCable, "keyboard"},
    {"mouse", hid::kind::kMouseCable, "mouse"},
    {"pad", hid::kind::kMousePad, "MousePad"},
    {"headset", hid::kind::kHeadset, "HD"},
};

class PrintedPrompts : public profiles::ProfilePrompts {
 public:
  bool Confirm(std::string_view) override { return true; }
  void Message(std::string_view textId, int number) override {
    if (number == -1)
      std::printf("message %.*s\n", int(textId.size()), textId.data());
    else
      std::printf("message %.*s %d\n", int(textId.size()), textId.data(), number);
  }
};

int Usage() {
  std::fprintf(stderr,
               "usage: vx27ctl profile <mouse|keyboard|pad|headset> list|select <i>|add|copy|"
               "delete|rename <name>|import <file>|export <file>|reset [--code-page n]\n");
  return 2;
}

int Run(const std::vector<std::string>& given) {
  std::vector<std::string> args;
  int codePage = 1252;
  for (size_t i = 0; i < given.size(); ++i) {
    if (given[i] == "--code-page" && i + 1 < given.size())
      codePage = std::atoi(given[++i].c_str());
    else
      args.push_back(given[i]);
  }
  if (args.size() < 2) return Usage();
  const Model* model = nullptr;
  for (const Model& m : kModels)
    if (args[0] == m.name) model = &m;
  if (!model) {
    std::fprintf(stderr, "vx27ctl: unknown device kind '%s'\n", args[0].c_str());
    return 2;
  }
  const std::string& op = args[1];
  const bool needsArgument = op == "select" || op == "rename" || op == "import" || op == "export";
  if (args.size() != (needsArgument ? 3u : 2u)) return Usage();

  profiles::ProfileList list;
  list.SetKind(model->kind);
  list.SetPaths(profiles::ProfileFolder(model->folder), profiles::DefaultProfilePath(model->folder));
  list.InitList();
  PrintedPrompts prompts;

  if (op == "list") {
  } else if (op == "select") {
    char* end = nullptr;
    const long index = std::strtol(args[2].c_str(), &end, 10);
    if (*end || !list.SelectProfile(int(index))) {
      std::fprintf(stderr, "vx27ctl: no profile %s\n", args[2].c_str());
      return 1;
    }
  } else if (op == "add") {
    profiles::RunAddProfile(list, prompts);
  } else if (op == "copy") {
    profiles::RunCopyProfile(list, prompts);
  } else if (op == "delete") {
    // The combo's new selection reaches the profile switch, which records it.
    if (profiles::RunDeleteProfile(list, prompts)) list.SelectProfile(list.GetSelectedIndex());
  } else if (op == "rename") {
    profiles::RunRenameProfile(list, prompts, profiles::Utf8ToWide(args[2]), codePage);
  } else if (op == "import") {
    profiles::RunImportProfile(list, prompts, args[2]);
  } else if (op == "export") {
    if (!profiles::RunExportProfile(list, args[2])) {
      std::fprintf(stderr, "vx27ctl: nothing exported to %s\n", args[2].c_str());
      return 1;
    }
  } else if (op == "reset") {
    profiles::RunResetProfile(list, prompts);
  } else {
    return Usage();
  }

  const int count = list.ReloadList();
  for (int i = 0; i < count && i < list.Count(); ++i) {
    const std::string uuid = list.ScanProfileId(i);
    std::printf("profile %d %c %s %s\n", i, i == list.GetSelectedIndex() ? '*' : '-',
                uuid.c_str(), profiles::WideToUtf8(list.Names()[size_t(i)]).c_str());
  }
  return 0;
}

VX27_CLI_COMMAND(cli::Command{"profile",
                              "<mouse|keyboard|pad|headset> list|select <i>|add|copy|delete|"
                              "rename <name>|import <file>|export <file>|reset",
                              "work the model's profile list as the profile panel does", Run});

}  // namespace
