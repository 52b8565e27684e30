#pragma once
// The program's side of the audio capture link: the start and exit command
// sequences sent to the companion, the group colour it shows, and the two
// kinds of copy data it sends back (sample frames turned into band levels for
// the keyboard, and the host colour). Runs on the UI thread; the keyboard is
// reached through two callbacks the main window sets (empty: no keyboard).

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "musiclight/AudioFile.h"
#include "musiclight/capture/LinkNames.h"

namespace musiclight {

inline constexpr size_t kBandGroups = 25;
inline constexpr size_t kGroupSize = 20;
// Sets of levels go to the keyboard every this many frames.
inline constexpr int kFramesPerLevels = 3;

class MusicLink {
 public:
  // Gets 500 values: the 25 means followed by zeros.
  using LevelsSink = std::function<void(std::span<const int32_t>)>;
  // Gets the six host colour values.
  using HostColourSink = std::function<void(std::span<const int32_t>)>;

  // `mainWindow`: the handle the companion is given (our process id).
  explicit MusicLink(uint64_t mainWindow);

  void SetKeyboard(LevelsSink levels, HostColourSink hostColour);

  // Start: BE19 0 (main window), 3, 1. Exit: BE19 2, 4, 5. Each looks the
  // companion's window up again and sends nothing when it does not exist;
  // false then.
  bool ConnectCapture();
  bool DisconnectCapture();
  // BE19 6, 7, 8 with a host colour component (0 red, 1 green, 2 blue).
  bool SendHostComponent(int component, int value);
  // Copy data 10: R, G, B of the selected group, a G of 0 sent as 1.
  bool SendGroupColour(const AudioLightInfo& info);

  // Copy data from the companion; false for a kind that is not the link's.
  bool OnCopyData(uint64_t dwData, std::span<const uint8_t> bytes);
  void OnSampleFrame(std::span<const uint8_t> data);
  void OnMusicBytes(std::span<const uint8_t> data);

  const std::array<int32_t, kBandGroups>& Means() const { return means_; }
  const std::array<int32_t, kBandGroups>& Deviations() const { return deviations_; }
  const std::array<int32_t, link::kHostColourValues>& HostColour() const { return hostColour_; }

 private:
  bool SendCommand(uint64_t command, int64_t value);

  uint64_t mainWindow_;
  LevelsSink levels_;
  HostColourSink hostColourSink_;
  int frameCounter_ = 0;
  std::array<int32_t, link::kSampleFrameValues> previous_{};
  std::array<int32_t, kBandGroups> means_{};
  std::array<int32_t, kBandGroups> deviations_{};
  std::array<int32_t, link::kHostColourValues> hostColour_{};
};

// The whole 32-bit values in `bytes` (little-endian), at most `out.size()`;
// the rest of `out` becomes 0 and a trailing partial value is dropped.
void ReadWholeValues(std::span<const uint8_t> bytes, std::span<int32_t> out);

}  // namespace musiclight
