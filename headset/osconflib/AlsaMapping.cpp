#include "headset/osconflib/AlsaMapping.h"

#include <cmath>

namespace osconflib::alsa {

double LevelFromDb(long db, long minDb, long maxDb) {
  if (maxDb <= minDb) return 0.0;
  if (db <= minDb) return 0.0;
  if (db >= maxDb) return 1.0;
  if (maxDb - minDb <= kLinearDbSpan) return double(db - minDb) / double(maxDb - minDb);
  const double level = std::pow(10.0, double(db - maxDb) / 6000.0);
  if (minDb == kDbMute) return level;
  const double bottom = std::pow(10.0, double(minDb - maxDb) / 6000.0);
  return (level - bottom) / (1.0 - bottom);
}

double LevelFromRaw(long raw, long minRaw, long maxRaw) {
  if (maxRaw <= minRaw || raw <= minRaw) return 0.0;
  if (raw >= maxRaw) return 1.0;
  return double(raw - minRaw) / double(maxRaw - minRaw);
}

long NearestRaw(double level, long minRaw, long maxRaw, const std::function<double(long)>& levelOf) {
  long best = minRaw;
  double bestDistance = std::fabs(levelOf(minRaw) - level);
  for (long raw = minRaw + 1; raw <= maxRaw; ++raw) {
    const double distance = std::fabs(levelOf(raw) - level);
    if (distance < bestDistance) {
      best = raw;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace osconflib::alsa
