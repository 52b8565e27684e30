// vx27ctl macro <folder> <operation> ...
// A device model's macro library in a profile folder, without the program:
//   list                     "<n> <name> <guid>" per macro
//   add | import <file>      "name <name>", or "full"
//   rename <n> <name>        "name <name>", "taken" or "IsEmpty"
//   delete <n> [--answer no] "message <id>" per question asked; the profile
//                            files of the folder are renumbered. Every profile
//                            of the folder counts as the current one for the
//                            "in use" question.
//   events <n>               "<Type> <Action> <Button> <Delay>" per action
//   save <n>                 the macro file rewritten as the editor saves it
//                            ("message message_text_26_1" when cut to 60)
//   pack <n>                 "xx xx xx xx" per action
//   record <n> <script> ...  see macro_record.cpp

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/MacroCli.h"
#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroRows.h"
#include "profiles/JsonAccess.h"
#include "profiles/Text.h"

namespace cli {

std::string Utf8(std::u16string_view text) { return profiles::WideToUtf8(text); }

bool MacroNumber(const std::string& text, const macros::MacroLibrary& library, int* number) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || n < 0 || n >= library.Count()) {
    std::fprintf(stderr, "vx27ctl: no macro number %s\n", text.c_str());
    return false;
  }
  *number = int(n);
  return true;
}

void PrintEvents(const std::vector<Json::Value>& events) {
  namespace json = profiles::json;
  for (const Json::Value& e : events)
    std::printf("%d %s %d %s\n", json::ToInt(json::Member(e, "Type")),
                json::ToText(json::Member(e, "Action")).c_str(),
                json::ToInt(json::Member(e, "Button")),
                json::ToText(json::Member(e, "Delay")).c_str());
}

int SaveRows(macros::MacroLibrary& library, int number, macros::MacroRows& rows) {
  bool truncated = false;
  const std::vector<Json::Value> events = rows.CollectForSave(&truncated);
  if (truncated) std::printf("message message_text_26_1\n");
  return library.SaveEvents(number, events) == 0 ? 0 : 1;
}

namespace {

void PrintName(const std::u16string& name) {
  if (name.empty()) std::printf("full\n");
  else std::printf("name %s\n", Utf8(name).c_str());
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: vx27ctl macro <folder> <operation> ...\n");
    return 2;
  }
  macros::MacroLibrary library(args[0]);
  const std::string& op = args[1];
  const auto need = [&](size_t n) {
    if (args.size() >= n) return true;
    std::fprintf(stderr, "vx27ctl: macro %s needs %zu arguments\n", op.c_str(), n - 2);
    return false;
  };
  int number = -1;
  if (op == "list") {
    for (int i = 0; i < library.Count(); ++i)
      std::printf("%d %s %s\n", i, Utf8(library.Entries()[size_t(i)].name).c_str(),
                  Utf8(library.Entries()[size_t(i)].guid).c_str());
    return 0;
  }
  if (op == "add") {
    PrintName(library.AddMacro());
    return 0;
  }
  if (op == "import") {
    if (!need(3)) return 2;
    PrintName(library.AddMacroFromFile(args[2]));
    return 0;
  }
  if (op == "rename") {
    if (!need(4) || !MacroNumber(args[2], library, &number)) return 2;
    const std::u16string result = library.RenameMacro(number, profiles::Utf8ToWide(args[3]));
    if (result.empty()) std::printf("taken\n");
    else if (result == macros::kIsEmpty) std::printf("IsEmpty\n");
    else std::printf("name %s\n", Utf8(result).c_str());
    return 0;
  }
  if (op == "delete") {
    if (!need(3) || !MacroNumber(args[2], library, &number)) return 2;
    const bool yes = !(args.size() >= 5 && args[3] == "--answer" && args[4] == "no");
    const auto ask = [yes](const char* id) {
      std::printf("message %s\n", id);
      return yes;
    };
    // Every profile counts as the current one: the "in use" question comes
    // when any of them uses the macro.
    std::vector<std::filesystem::path> others = macros::ProfileFiles(args[0]);
    std::filesystem::path current;
    for (auto it = others.begin(); it != others.end(); ++it) {
      if (!macros::ProfileUsesMacro(*it, number)) continue;
      current = *it;
      others.erase(it);
      break;
    }
    macros::DeleteMacroFlow(library, number, current, others, ask);
    return 0;
  }
  if (op == "events" || op == "pack" || op == "save") {
    if (!need(3) || !MacroNumber(args[2], library, &number)) return 2;
    if (op == "events") {
      PrintEvents(library.LoadEvents(number));
      return 0;
    }
    if (op == "pack") {
      for (const Json::Value& e : library.LoadEvents(number)) {
        const macros::PackedMacroEvent p = macros::PackEvent(macros::EventFromJson(e));
        std::printf("%02x %02x %02x %02x\n", p[0], p[1], p[2], p[3]);
      }
      return 0;
    }
    macros::MacroRows rows;
    rows.Reset(library.LoadEvents(number));
    return SaveRows(library, number, rows);
  }
  if (op == "record") return RecordMacro(library, args);
  std::fprintf(stderr, "vx27ctl: unknown macro operation %s\n", op.c_str());
  return 2;
}

}  // namespace
}  // namespace cli

VX27_CLI_COMMAND(cli::Command{
    "macro",
    "<folder> list|add|import <f>|rename <n> <name>|delete <n> [--answer no]|events <n>|save <n>|"
    "pack <n>|record <n> <script> [--timing 1|2|3] [--fixed-delay <t>] "
    "[--placement append|before|after|replace] [--select <row>]",
    "a device model's macro library: list, add, import, rename, delete, events, save, pack, record",
    cli::Run});
