#pragma once
// What the light tests share: a light's colour and brightness as one
// comparable value, and a lighting state built from its fields.

#include <ostream>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"
#include "tests/devices/LightRecords.h"

namespace lighttest {

struct Rgbb {
  int r, g, b, level;
  bool operator==(const Rgbb&) const = default;
};
inline Rgbb Of(const protocol::LightColour& c) { return {c.c0, c.c1, c.c2, c.brightness}; }
inline std::ostream& operator<<(std::ostream& os, const Rgbb& c) {
  return os << "(" << c.r << "," << c.g << "," << c.b << " @" << c.level << ")";
}


}  // namespace lighttest
