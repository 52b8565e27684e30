#pragma once
// A lighting state written out field by field, for the light engine's tests.

#include "profiles/ProfileRecords.h"

namespace lighttest {

inline profiles::LightInfoRecord LightMode(uint8_t mode, uint8_t level, uint8_t speed, uint8_t dir, uint8_t multi,
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
