#include "macros/MacroRows.h"

#include <utility>

#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroTables.h"
#include "profiles/JsonAccess.h"

namespace macros {

namespace json = profiles::json;

RowLook DescribeAction(const Json::Value& action) {
  RowLook look;
  if (action.isNull()) return look;
  const int type = json::ToInt(json::Member(action, "Type"));
  const int button = json::ToInt(json::Member(action, "Button"));
  const bool down = json::ToText(json::Member(action, "Action")) == "down";
  look.actionStyle = down ? kDownStyle : kUpStyle;
  switch (type) {
    case kKeyboardKey:
      look.keyStyle = kKeyboardStyle;
      look.keyText = KeyTextId(KeyRowByUsage(button));
      break;
    case kModifierKey:
      look.keyStyle = kKeyboardStyle;
      look.keyText = KeyTextId(KeyRowByModifier(button));
      break;
    case kMouseButton: {
      look.keyStyle = kMouseStyle;
      const int row = MouseRowByButton(button);
      if (row >= 0) look.keyText = kMouseButtonTable[size_t(row)].textId;
      break;
    }
    case 2:
    case 3:
      look.keyStyle = kMouseStyle;
      break;
    case kMouseMoveX:
    case kMouseMoveY: {
      look.keyStyle = kMouseStyle;
      const int row = MouseRowByMove(type, down);
      if (row >= 0) look.keyText = kMouseButtonTable[size_t(row)].textId;
      look.actionStyle = kTextStyle;
      look.actionText = std::to_string(button);
      break;
    }
    default:
      break;
  }
  return look;
}

void MacroRows::Select(int row) {
  selected_ = row >= 0 && row < Count() ? row : -1;
  Notify(Change::Selected, selected_);
}

void MacroRows::Reset(const std::vector<Json::Value>& actions) {
  rows_.clear();
  rows_.reserve(actions.size());
  for (const Json::Value& action : actions)
    rows_.push_back({action, std::to_string(DelayOf(json::Member(action, "Delay")))});
  selected_ = -1;
  Notify(Change::Reset, -1);
}

void MacroRows::Insert(int at, Json::Value action, const Json::Value& delay) {
  if (at < 0 || at > Count()) at = Count();
  action["Delay"] = delay;
  std::string text = std::to_string(DelayOf(delay));
  rows_.insert(rows_.begin() + at, Row{std::move(action), std::move(text)});
  if (selected_ >= at) ++selected_;
  Notify(Change::Inserted, at);
}

void MacroRows::AppendEmpty() {
  rows_.push_back(Row{});
  Notify(Change::Inserted, Count() - 1);
}

void MacroRows::SetDelay(int row, int delay) {
  if (row < 0 || row >= Count()) return;
  Row& r = rows_[size_t(row)];
  r.delayText = std::to_string(delay);
  if (!r.action.isNull()) r.action["Delay"] = r.delayText;
  Notify(Change::Changed, row);
}

void MacroRows::SetAction(int row, Json::Value action) {
  if (row < 0 || row >= Count()) return;
  rows_[size_t(row)].action = std::move(action);
  Notify(Change::Changed, row);
}

void MacroRows::SetDelayText(int row, std::string text) {
  if (row < 0 || row >= Count()) return;
  rows_[size_t(row)].delayText = std::move(text);
}

void MacroRows::Remove(int row) {
  if (row < 0 || row >= Count()) return;
  rows_.erase(rows_.begin() + row);
  if (selected_ == row) selected_ = -1;
  else if (selected_ > row) --selected_;
  Notify(Change::Removed, row);
}

bool MacroRows::Move(MoveKind kind) {
  const int s = selected_;
  const int n = Count();
  if (s < 0) return false;
  int to = s;
  switch (kind) {
    case MoveKind::Up: to = s - 1; break;
    case MoveKind::Down: to = s + 1; break;
    case MoveKind::Top: to = 0; break;
    case MoveKind::Bottom: to = n - 1; break;
  }
  if (to == s || to < 0 || to >= n) return false;
  Row row = std::move(rows_[size_t(s)]);
  rows_.erase(rows_.begin() + s);
  Notify(Change::Removed, s);
  selected_ = -1;
  rows_.insert(rows_.begin() + to, std::move(row));
  Notify(Change::Inserted, to);
  Select(to);
  return true;
}

void MacroRows::InsertMouseAction(MouseInsert what, bool down, int distance, int fixedDelay) {
  if (Count() >= kMaxActions) {
    AppendEmpty();
    return;
  }
  int type = kMouseButton;
  int button = 0;
  switch (what) {
    case MouseInsert::Left: button = 0x01; break;
    case MouseInsert::Right: button = 0x02; break;
    case MouseInsert::Middle: button = 0x04; break;
    case MouseInsert::Forward: button = 0x10; break;
    case MouseInsert::Back: button = 0x08; break;
    case MouseInsert::MoveLeft: type = kMouseMoveX, down = true; break;
    case MouseInsert::MoveRight: type = kMouseMoveX, down = false; break;
    case MouseInsert::MoveUp: type = kMouseMoveY, down = true; break;
    case MouseInsert::MoveDown: type = kMouseMoveY, down = false; break;
  }
  if (type != kMouseButton) button = distance & 0xFF;
  Json::Value action(Json::objectValue);
  action["Action"] = down ? "down" : "up";
  action["Button"] = button;
  action["Type"] = type;
  const int at = selected_ >= 0 ? selected_ + 1 : Count() == 0 ? 0 : 1;
  Insert(at, std::move(action), std::to_string(fixedDelay));
  Select(at);
}

std::vector<Json::Value> MacroRows::CollectForSave(bool* truncated) {
  const bool over = Count() > kMaxActions;
  while (Count() > kMaxActions) Remove(Count() - 1);
  if (truncated) *truncated = over;
  std::vector<Json::Value> events;
  for (int i = 0; i < Count(); ++i) {
    Row& row = rows_[size_t(i)];
    if (row.action.isNull()) break;
    row.delayText = std::to_string(DelayValue(row.delayText));
    row.action["Delay"] = row.delayText;
    events.push_back(row.action);
    Notify(Change::Changed, i);
  }
  return events;
}

}  // namespace macros
