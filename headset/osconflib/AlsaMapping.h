#pragma once
// The level mapping of the ALSA backend: a control's raw value as the 0..1
// level a volume slider shows, the way the usual ALSA mixer does it. With a
// dB range up to 24 dB the level is linear in dB; over a wider range it is
// 10^(dB/60) scaled so that the bottom of the range is 0 and the top 1.
// Without dB information the level is linear in the raw value. Values in dB
// are hundredths of a decibel, as ALSA gives them.

#include <functional>

namespace osconflib::alsa {

inline constexpr long kLinearDbSpan = 2400;
// ALSA's "muted" bottom of a dB range.
inline constexpr long kDbMute = -9999999;

double LevelFromDb(long db, long minDb, long maxDb);
double LevelFromRaw(long raw, long minRaw, long maxRaw);

// The raw value in [minRaw, maxRaw] whose level is nearest to `level`
// (the lower one on a tie); `levelOf` gives the level of a raw value.
long NearestRaw(double level, long minRaw, long maxRaw, const std::function<double(long)>& levelOf);

}  // namespace osconflib::alsa
