#include "macros/MacroEvent.h"

#include "profiles/JsonAccess.h"
#include "protocol/EventImage.h"

namespace macros {

namespace json = profiles::json;

int DelayValue(std::string_view text) { return protocol::ParseDelay(text); }

int DelayOf(const Json::Value& delay) {
  if (delay.isString()) return DelayValue(std::string_view(delay.asString()));
  if (delay.isUInt64() && delay.asUInt64() > uint64_t(kMaxDelay)) return kMaxDelay;
  if (delay.isDouble() && delay.asDouble() > double(kMaxDelay)) return kMaxDelay;
  const int value = json::ToInt(delay);
  return value < 0 ? 0 : value > kMaxDelay ? kMaxDelay : value;
}

MacroEvent EventFromJson(const Json::Value& object) {
  MacroEvent event;
  event.type = json::ToInt(json::Member(object, "Type"));
  event.action = json::ToText(json::Member(object, "Action"));
  event.button = json::ToInt(json::Member(object, "Button"));
  const Json::Value& delay = json::Member(object, "Delay");
  event.delay = delay.isString() ? delay.asString() : std::to_string(DelayOf(delay));
  return event;
}

Json::Value EventToJson(const MacroEvent& event) {
  Json::Value object(Json::objectValue);
  object["Type"] = event.type;
  object["Action"] = event.action;
  object["Button"] = event.button;
  object["Delay"] = std::to_string(DelayValue(event.delay));
  return object;
}

PackedMacroEvent PackEvent(const MacroEvent& event) {
  PackedMacroEvent bytes{};
  protocol::PutEvent(bytes, protocol::PackEvent(event.delay, event.type, event.action, event.button));
  return bytes;
}

}  // namespace macros
