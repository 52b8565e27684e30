#include "cli/EventFiles.h"

#include "profiles/JsonFile.h"

namespace cli {

std::optional<std::vector<protocol::PackedMacroEvent>> LoadEventFile(const std::string& path) {
  const Json::Value root = profiles::LoadJsonFile(path);
  if (!root.isObject() || !root["Events"].isArray()) return std::nullopt;
  std::vector<protocol::PackedMacroEvent> events;
  for (const Json::Value& e : root["Events"]) {
    if (!e.isObject()) return std::nullopt;
    const Json::Value& delay = e["Delay"];
    const std::string delayText =
        delay.isString() ? delay.asString()
                         : (delay.isUInt() ? std::to_string(delay.asUInt()) : std::string());
    const Json::Value& action = e["Action"];
    events.push_back(protocol::PackEvent(delayText, e["Type"].isInt() ? e["Type"].asInt() : 0,
                                         action.isString() ? action.asString() : std::string(),
                                         e["Button"].isInt() ? e["Button"].asInt() : 0));
  }
  return events;
}

}  // namespace cli
