#include "macros/MacroRecorder.h"

#include <cstdlib>

#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroTables.h"

namespace macros {

int CaptureModeOf(Placement placement) { return 4 << int(placement); }

std::optional<Placement> PlacementOfMode(int mode) {
  switch (mode) {
    case 4: return Placement::Append;
    case 8: return Placement::Before;
    case 16: return Placement::After;
    case 32: return Placement::Replace;
    default: return std::nullopt;
  }
}

std::optional<std::string> MacroRecorder::StartTiming(int timing, std::string_view fixedDelayText) {
  timing_ = timing;
  lastTick_ = clock_();
  if (timing == kConstantTime) return ApplyFixedDelay(fixedDelayText);
  return std::nullopt;
}

std::optional<std::string> MacroRecorder::ApplyFixedDelay(std::string_view text) {
  unsigned long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + unsigned(c - '0');
    if (value > kMaxDelay) value = kMaxDelay + 1ULL;
  }
  if (value > kMaxDelay) value = kMaxDelay;
  if (int(value) == fixedDelay_ && std::to_string(value) == text) return std::nullopt;
  fixedDelay_ = int(value);
  return std::to_string(value);
}

int MacroRecorder::DelayOfMoment() {
  switch (timing_) {
    case kRecordTime: {
      const uint32_t now = clock_();
      const uint32_t d = now - lastTick_;
      lastTick_ = now;
      return d >= uint32_t(kMaxDelay) ? kMaxDelay : int(d);
    }
    case kConstantTime: return fixedDelay_;
    default: return 0;
  }
}

std::string MacroRecorder::NewRowDelay() const {
  return timing_ == kConstantTime ? std::to_string(fixedDelay_) : "0";
}

bool MacroRecorder::OnKeyboardEvent(Placement placement, uint32_t wParam,
                                    const KeyboardHookData& key) {
  const bool down = wParam == wm::kKeyDown || wParam == wm::kSysKeyDown;
  KeyMemory& memory = keyMemory_[size_t(placement)];
  const bool same = memory.scan == key.scanCode && memory.ext == key.Extended();
  if (down) {
    if (same) return false;
    memory = {key.scanCode, key.Extended()};
  } else if (same) {
    memory = {};
  }
  const int row = KeyRowByScan(int(key.scanCode), key.Extended());
  if (row < 0) return false;
  const bool modifier = row < kModifierRows;
  return Place(placement, {modifier ? kModifierKey : kKeyboardKey,
                           kMacroKeyTable[size_t(row)].button, down});
}

bool MacroRecorder::OnMouseEvent(Placement placement, uint32_t wParam, const MouseHookData& mouse) {
  const int row = MouseRowByMessage(wParam, mouse.mouseData);
  if (row < 0) return false;
  int& memory = mouseMemory_[size_t(placement)];
  if (memory == row + 1) return false;
  memory = row + 1;
  const MouseButtonRow& button = kMouseButtonTable[size_t(row)];
  const bool left = wParam == wm::kLButtonDown || wParam == wm::kLButtonUp;
  if (left && stopButton_ && stopButton_->Contains(mouse.x, mouse.y)) return false;
  return Place(placement, {button.code & 0x7F, button.button, (button.code & 0x80) != 0});
}

bool MacroRecorder::Place(Placement placement, const Captured& captured) {
  Json::Value action(Json::objectValue);
  action["Type"] = captured.type;
  action["Button"] = captured.button;
  action["Action"] = captured.down ? "down" : "up";

  const int s = rows_.Selected();
  if (placement != Placement::Append && s < 0) return false;

  if (placement == Placement::Replace) {
    Json::Value row = rows_.At(s).action;
    if (!row.isObject()) row = Json::Value(Json::objectValue);
    row["Button"] = captured.button;
    row["Type"] = captured.type;
    rows_.SetAction(s, std::move(row));
    return true;
  }

  if (rows_.Count() >= kMaxActions) {
    rows_.AppendEmpty();
    return true;
  }
  const int d = DelayOfMoment();
  switch (placement) {
    case Placement::Append: {
      if (rows_.Count() == 0) {
        rows_.Insert(0, std::move(action), Json::Value(0));
      } else {
        rows_.Insert(rows_.Count(), std::move(action), NewRowDelay());
        if (previous_) rows_.SetDelay(rows_.Count() - 2, d);
      }
      rows_.Select(rows_.Count() - 1);
      break;
    }
    case Placement::Before: {
      if (s == 0) {
        rows_.Insert(0, std::move(action), Json::Value(0));
      } else {
        rows_.Insert(s, std::move(action), NewRowDelay());
        if (previous_) rows_.SetDelay(s - 1, d);
      }
      rows_.Select(s + 1);
      break;
    }
    case Placement::After: {
      rows_.Insert(s + 1, std::move(action), NewRowDelay());
      if (previous_) rows_.SetDelay(s, d);
      rows_.Select(s + 1);
      break;
    }
    case Placement::Replace:
      break;
  }
  previous_ = true;
  if (onPlaced) onPlaced();
  return true;
}

}  // namespace macros
