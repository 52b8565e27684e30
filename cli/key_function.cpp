// vx27ctl key-function <mouse|keyboard> <key> <hex6> [--profile <file>]
//                      [build <control>=<value>|category=<n>|capture=<scan>:<ext> ...]
// What the key assignment editor shows for key <key> holding the code <hex6>
// (its default, and the macro list, from the profile file and the macro
// library beside it; else the factory profile and no macros):
//   category <n>            or  hidden
//   <control> <value>       per control of the category's page: combo item or
//                           -1, edit text, the key's text id, the selected
//                           "key_ComBox_check_" box or -1, shown/hidden
// With "build", the controls are then changed as listed (a capture is a key
// pressed: set-1 scan code and extended flag, hex) and the function composed:
//   <control> <value>       each control the composing corrected
//   code <hex6>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/MacroFiles.h"
#include "editors/core/KeyCatalogue.h"
#include "editors/core/KeyEditorModel.h"
#include "platform/Paths.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace cli {
namespace {

namespace json = profiles::json;
using editors::ControlKind;
using editors::KeyEditorView;
using editors::ViewControl;

constexpr const char* kUsage =
    "<mouse|keyboard> <key> <hex6> [--profile <file>] [build <control>=<v>|category=<n>|capture=<scan>:<ext> ...]";

int Usage() {
  std::fprintf(stderr, "usage: vx27ctl key-function %s\n", kUsage);
  return 2;
}

// The default code of key `key` in the profile file, or nothing.
std::optional<uint32_t> DefaultCode(const std::filesystem::path& file, uint32_t key) {
  const Json::Value root = profiles::LoadJsonFile(file);
  const Json::Value& keys = json::Member(json::Element(json::Member(root, "Device"), 0), "KeyList");
  if (key >= json::ArraySize(keys)) return std::nullopt;
  const Json::Value& d = json::Member(json::Element(keys, key), "DefaultAssignment");
  if (d.isNull()) return std::nullopt;
  return uint32_t(json::ToInt(d)) & 0xFFFFFF;
}

std::string Value(const KeyEditorView& v, const ViewControl& c) {
  switch (c.kind) {
    case ControlKind::Combo:
    case ControlKind::Checks: return std::to_string(v.*c.number);
    case ControlKind::Edit:
    case ControlKind::KeyText: return v.*c.text;
    case ControlKind::Layout: return v.*c.flag ? "shown" : "hidden";
  }
  return {};
}

// Sets one control from text; false when the name or the value is not one.
bool SetControl(KeyEditorView& v, const std::string& name, const std::string& value) {
  for (const ViewControl& c : editors::ViewControls()) {
    if (name != c.name) continue;
    switch (c.kind) {
      case ControlKind::Combo:
      case ControlKind::Checks: {
        const auto n = ParseNumber(value.substr(value.starts_with('-') ? 1 : 0), 0xFFFF);
        if (!n) return false;
        v.*c.number = value.starts_with('-') ? -int(*n) : int(*n);
        return true;
      }
      case ControlKind::Edit:
        v.*c.text = value;
        return true;
      case ControlKind::KeyText:
        // A key named by its text id, as if it had been captured.
        v.*c.text = value;
        v.keyUsage = 0;
        for (const auto& row : editors::KeyboardRows())
          if (value == row.textId && row.c0 == editors::fn::kKey) v.keyUsage = row.c2;
        return true;
      case ControlKind::Layout:
        if (value != "shown" && value != "hidden") return false;
        v.*c.flag = value == "shown";
        return true;
    }
  }
  return false;
}

void PrintPage(const KeyEditorView& v) {
  if (v.category < 0) {
    std::printf("hidden\n");
    return;
  }
  std::printf("category %d\n", v.category);
  for (const ViewControl& c : editors::ViewControls())
    if (c.category == v.category) std::printf("%s %s\n", c.name, Value(v, c).c_str());
}

int Run(const std::vector<std::string>& args) {
  std::filesystem::path profile;
  std::vector<std::string> pos;
  std::vector<std::string> build;
  bool building = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size()) profile = args[++i];
    else if (args[i] == "build") building = true;
    else (building ? build : pos).push_back(args[i]);
  }
  if (pos.size() != 3 || (pos[0] != "mouse" && pos[0] != "keyboard")) return Usage();
  const int kind = pos[0] == "mouse" ? editors::kMouseEditor : editors::kKeyboardEditor;
  const auto key = ParseNumber(pos[1], 169);
  const auto code = ParseNumber("0x" + pos[2], 0xFFFFFF);
  if (!key || !code || pos[2].size() != 6) return Usage();

  const std::filesystem::path factory =
      platform::InstallFolder() / "DefaultData" / (kind == editors::kMouseEditor ? "mouse.Json" : "keyboard.Json");
  std::optional<uint32_t> def;
  int macroCount = 0;
  if (!profile.empty()) {
    def = DefaultCode(profile, *key);
    macroCount = int(devices::LoadMacroIndex(profile.parent_path().empty() ? "." : profile.parent_path()).size());
  }
  if (!def) def = DefaultCode(factory, *key);
  if (!def) {
    std::fprintf(stderr, "vx27ctl: no default function for key %u\n", *key);
    return 1;
  }

  const profiles::KeyFunction defaultFunction = profiles::KeyFunction::FromCode(uint16_t(*key), *def);
  profiles::KeyFunction current = profiles::KeyFunction::FromCode(uint16_t(*key), *code);
  KeyEditorView view;
  editors::ShowFunction(current, defaultFunction, kind, macroCount, view, current);
  PrintPage(view);
  if (!building) return 0;

  for (const std::string& item : build) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) return Usage();
    const std::string name = item.substr(0, eq), value = item.substr(eq + 1);
    if (name == "category") {
      const auto n = ParseNumber(value, editors::category::kCount - 1);
      if (!n) return Usage();
      view.category = int(*n);
    } else if (name == "capture") {
      const size_t colon = value.find(':');
      const auto scan = ParseNumber("0x" + value.substr(0, colon), 0xFF);
      const auto ext = colon == std::string::npos ? std::nullopt : ParseNumber(value.substr(colon + 1), 1);
      if (!scan || !ext) return Usage();
      if (auto f = editors::CaptureKey(uint8_t(*scan), *ext != 0, view, current, defaultFunction, macroCount))
        current = *f;
    } else if (!SetControl(view, name, value)) {
      return Usage();
    }
  }
  const KeyEditorView before = view;
  current = editors::ComposeFunction(view, current, defaultFunction, macroCount);
  for (const ViewControl& c : editors::ViewControls())
    if (Value(before, c) != Value(view, c)) std::printf("%s %s\n", c.name, Value(view, c).c_str());
  std::printf("code %06x\n", current.Code());
  return 0;
}

VX27_CLI_COMMAND(Command{"key-function", kUsage, "what the key editor shows for a code, and what it composes", Run});

}  // namespace
}  // namespace cli
