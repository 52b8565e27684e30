#pragma once
// The custom effect player: the step of every mode a model has no built-in
// step for. It plays the steps of a ".light" effect one after another, each
// for its "Time", and wraps to the first after the last. It is called once per
// loop pass (one pass per tick) and counts those calls for its thresholds.

#include <cstdint>
#include <span>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"

namespace devices {

class CustomEffectPlayer {
 public:
  // `steps` is the effect list (read under the caller's effectListLock);
  // `device` the device's light state, whose speed paces the blink.
  void Run(std::span<const profiles::LightEffectStep> steps, const profiles::LightInfoRecord& device,
           std::span<protocol::LightColour> lights, uint32_t nowMs);

  size_t StepIndex() const { return index_; }
  uint8_t Phase() const { return phase_; }

 private:
  void Draw(const profiles::LightEffectStep& step, const profiles::LightInfoRecord& device,
            std::span<protocol::LightColour> lights, uint32_t nowMs);

  size_t index_ = 0;
  uint8_t phase_ = 0;
  uint32_t counter_ = 0;
  bool started_ = false;
  uint32_t stepStart_ = 0;
  bool blinkOn_ = false;
  uint8_t blinkColour_ = 0;
  uint32_t blinkTime_ = 0;
};

}  // namespace devices
