#pragma once
// What the light tests share: a light's colour and brightness as one
// comparable value, and a lighting state built from its fields.

#include <ostream>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"

namespace lighttest {

struct Rgbb {
  int r, g, b, level;
  bool operator==(const Rgbb&) const = default;
};
inline Rgbb Of(const protocol::LightColour& c) { return {c.c0, c.c1, c.c2, c.brightness}; }
inline std::ostream& operator<<(std::ostream& os, const Rgbb& c) {
  return os << "(" << c.r << "," << c.g << "," << c.b << " @" << c.level << ")";
}

inline profiles::LightInfoRecord Mode(uint8_t mode, uint8_t level, uint8_t speed, uint8_t dir, uint8_t multi,
                                      uint8_t r = 0, uint8_t g = 0, uint8_t b = 0) {
  profiles::LightInfoRecord s;
  s.selectItem = mode;
  s.light = level;
  s.speed = speed;
  s.fx = dir;
  s.multiColor = multi;
  s.red = r;
  s.green = g;
  s.blue = b;
  return s;
}

}  // namespace lighttest
