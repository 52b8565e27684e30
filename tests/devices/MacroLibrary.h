#pragma once
// A macro library for the device tests: "macro.config" naming three macros
// g0, g1 and g2, with g0.mac (2 events of button 4, delays 20, 21) and
// g2.mac (`eventsOfMacro2` events of button 5); g1's file is missing.

#include <filesystem>
#include <string>

#include <json/json.h>

#include "profiles/JsonFile.h"

namespace devtest {

inline void WriteMacroLibrary(const std::filesystem::path& folder, int eventsOfMacro2) {
  Json::Value index;
  const char* guids[] = {"g0", "g1", "g2"};
  for (const char* g : guids) {
    Json::Value e;
    e["MacroName"] = std::string("name_") + g;
    e["Guid"] = g;
    index["MacroInfo"].append(e);
  }
  profiles::SaveJsonFile(folder / "macro.config", index);
  auto events = [](int n, int button) {
    Json::Value root;
    for (int i = 0; i < n; ++i) {
      Json::Value e;
      e["Type"] = 10;
      e["Action"] = i % 2 == 0 ? "down" : "up";
      e["Button"] = button;
      e["Delay"] = std::to_string(20 + i);
      root["Events"].append(e);
    }
    return root;
  };
  profiles::SaveJsonFile(folder / "g0.mac", events(2, 4));
  profiles::SaveJsonFile(folder / "g2.mac", events(eventsOfMacro2, 5));
}

}  // namespace devtest
