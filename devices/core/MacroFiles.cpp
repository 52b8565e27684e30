#include "devices/core/MacroFiles.h"

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace devices {

namespace json = profiles::json;

std::vector<MacroIndexEntry> LoadMacroIndex(const std::filesystem::path& folder) {
  const Json::Value root = profiles::LoadJsonFile(folder / kMacroIndexFile);
  const Json::Value& list = json::Member(root, "MacroInfo");
  std::vector<MacroIndexEntry> entries;
  for (size_t i = 0; i < json::ArraySize(list); ++i) {
    const Json::Value& e = json::Element(list, i);
    entries.push_back({json::ToText(json::Member(e, "MacroName")), json::ToText(json::Member(e, "Guid"))});
  }
  return entries;
}

std::optional<std::vector<protocol::PackedMacroEvent>> LoadEventFile(const std::filesystem::path& path) {
  const Json::Value root = profiles::LoadJsonFile(path);
  const Json::Value& list = json::Member(root, "Events");
  if (!list.isArray()) return std::nullopt;
  std::vector<protocol::PackedMacroEvent> events;
  for (size_t i = 0; i < json::ArraySize(list); ++i) {
    const Json::Value& e = json::Element(list, i);
    if (!e.isObject()) return std::nullopt;
    const Json::Value& delay = json::Member(e, "Delay");
    const std::string delayText = delay.isString() || delay.isUInt() ? json::ToText(delay) : std::string();
    events.push_back(protocol::PackEvent(delayText, json::ToInt(json::Member(e, "Type")),
                                         json::ToText(json::Member(e, "Action")),
                                         json::ToInt(json::Member(e, "Button"))));
  }
  return events;
}

}  // namespace devices
