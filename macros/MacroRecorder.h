#pragma once
// Recording captured input into the action rows. Eight handlers, one per
// source (keyboard, mouse) and placement (append, before the selected row,
// after it, replace its key); each keeps its own repeat memory for the life
// of the recorder. Delays come from an injected millisecond clock, so tests
// step time.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "macros/HookRecords.h"
#include "macros/MacroRows.h"

namespace macros {

enum MacroTiming : int { kRecordTime = 1, kConstantTime = 2, kIgnoreTime = 3 };

enum class Placement { Append = 0, Before = 1, After = 2, Replace = 3 };
// The capture mode of a placement: 4, 8, 16, 32.
int CaptureModeOf(Placement placement);
// The placement of a macro capture mode; nullopt for the other modes.
std::optional<Placement> PlacementOfMode(int mode);

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
};

class MacroRecorder {
 public:
  using Clock = std::function<uint32_t()>;  // milliseconds, wrapping

  MacroRecorder(MacroRows& rows, Clock clock) : rows_(rows), clock_(std::move(clock)) {}

  // Timing mode and start tick; for constant time also ApplyFixedDelay.
  // Returns the text the fixed-delay edit must show when it changed.
  std::optional<std::string> StartTiming(int timing, std::string_view fixedDelayText);
  // Reads the edit as an unsigned decimal (no number: 0); above 65535 it
  // becomes 65535. Returns the edit's new text when the fixed delay changed.
  std::optional<std::string> ApplyFixedDelay(std::string_view text);

  void SetClock(Clock clock) { clock_ = std::move(clock); }
  int Timing() const { return timing_; }
  int FixedDelay() const { return fixedDelay_; }
  void SetFixedDelay(int delay) { fixedDelay_ = delay; }

  // The stop button's screen rectangle: left-button events inside it are
  // not recorded (the click that ends recording).
  void SetStopButton(std::optional<ScreenRect> rect) { stopButton_ = rect; }

  // wParam: the keyboard message (0x0100/0x0104 press, else release). True
  // when a row was added or changed.
  bool OnKeyboardEvent(Placement placement, uint32_t wParam, const KeyboardHookData& key);
  // wParam: the mouse message. True when a row was added or changed.
  bool OnMouseEvent(Placement placement, uint32_t wParam, const MouseHookData& mouse);

  // Called after a row was placed (the editor scrolls it into view).
  std::function<void()> onPlaced;

 private:
  struct Captured {
    int type;
    int button;
    bool down;
  };
  bool Place(Placement placement, const Captured& action);
  int DelayOfMoment();
  std::string NewRowDelay() const;

  MacroRows& rows_;
  Clock clock_;
  int timing_ = kRecordTime;
  bool previous_ = false;
  int fixedDelay_ = 50;
  uint32_t lastTick_ = 0;
  std::optional<ScreenRect> stopButton_;
  struct KeyMemory {
    uint32_t scan = 0;
    bool ext = false;
  };
  std::array<KeyMemory, 4> keyMemory_{};
  // Per mouse handler: the last row of the button table + 1 (0: none), so
  // that the X buttons are told apart.
  std::array<int, 4> mouseMemory_{};
};

}  // namespace macros
