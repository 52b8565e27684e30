#pragma once
// One macro action, as a macro file holds it: {"Type", "Action", "Button",
// "Delay"}. "Action" other than "down" counts as a release; "Delay" is decimal
// text (a JSON integer is read as well). The packed form is the 4-byte record
// the device plays: delay low, delay high, type | 0x80 for a press, button.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <json/json.h>

namespace macros {

inline constexpr int kMaxDelay = 65535;

struct MacroEvent {
  int type = 0;
  std::string action;  // "down" or "up"
  int button = 0;
  std::string delay;   // decimal text; "" reads as 0

  bool IsDown() const { return action == "down"; }
  bool operator==(const MacroEvent&) const = default;
};

// A delay as the files and the device see it: the leading decimal digits of
// the text (none: 0), clamped to 0..65535. Larger values are shown, saved and
// packed as 65535, never wrapped.
int DelayValue(std::string_view text);
// DelayValue of a JSON "Delay" member, string or integer.
int DelayOf(const Json::Value& delay);

// Reads one element of "Events"; wrong types read as 0 / "".
MacroEvent EventFromJson(const Json::Value& object);
// The JSON object of an action; "Delay" as its normalised decimal text.
Json::Value EventToJson(const MacroEvent& event);

// The 4 bytes the device plays (protocol/EventImage.h has the layout).
using PackedMacroEvent = std::array<uint8_t, 4>;
PackedMacroEvent PackEvent(const MacroEvent& event);

}  // namespace macros
