#pragma once
// The action list of the macro editor without its widgets: one row per action,
// each the action's JSON object (null for an empty row, which ends the list on
// save) and the text of its delay edit. The editor's list mirrors it through
// the change listener; recording (MacroRecorder) and the editor's own
// operations both work here, so they can be tested and timed without a window.

#include <functional>
#include <string>
#include <vector>

#include <json/json.h>

namespace macros {

// What a row shows: key label style and text id, action label style and text.
struct RowLook {
  std::string keyStyle;
  std::string keyText;
  std::string actionStyle;
  std::string actionText;
};
inline constexpr const char* kKeyboardStyle = "macro_label_keyboard_style";
inline constexpr const char* kMouseStyle = "macro_label_mouse_style";
inline constexpr const char* kDownStyle = "macro_label_down_style";
inline constexpr const char* kUpStyle = "macro_label_up_style";
inline constexpr const char* kTextStyle = "macro_label_text_style";

RowLook DescribeAction(const Json::Value& action);

// Mouse actions the editor inserts by hand (InsertMouseAction).
enum class MouseInsert { Left, Right, Middle, Forward, Back, MoveLeft, MoveRight, MoveUp, MoveDown };

enum class MoveKind { Up, Down, Top, Bottom };

class MacroRows {
 public:
  struct Row {
    Json::Value action;  // null: an empty row
    std::string delayText;
  };
  enum class Change { Reset, Inserted, Removed, Changed, Selected };
  using Listener = std::function<void(Change, int row)>;

  void SetListener(Listener listener) { listener_ = std::move(listener); }

  int Count() const { return int(rows_.size()); }
  const Row& At(int row) const { return rows_[size_t(row)]; }
  int Selected() const { return selected_; }
  void Select(int row);

  // The rows of a loaded macro; no row selected.
  void Reset(const std::vector<Json::Value>& actions);
  void Clear() { Reset({}); }

  // Inserts an action with its delay shown as text; the row's "Delay" holds
  // `delay` (text, or the integer 0 of a fresh recording's first action).
  void Insert(int at, Json::Value action, const Json::Value& delay);
  void AppendEmpty();
  // Sets the row's "Delay" and its edit's text to the decimal value.
  void SetDelay(int row, int delay);
  void SetAction(int row, Json::Value action);
  // What the user typed into a delay edit.
  void SetDelayText(int row, std::string text);

  void Remove(int row);
  void RemoveSelected() {
    if (selected_ >= 0) Remove(selected_);
  }

  // Up/Down/Top/Bottom of the selected row; false when it cannot move.
  bool Move(MoveKind kind);

  // One press or release (down) of a button, or a move by `distance`
  // (low 8 bits) after the selected row, with the fixed delay.
  void InsertMouseAction(MouseInsert what, bool down, int distance, int fixedDelay);

  // The actions to save, in order: each delay edit's text normalised
  // ("" -> "0", decimal, at most 65535) and written back to the row; an
  // empty row ends the list. Rows from 60 on are removed first; `truncated`
  // tells whether any were.
  std::vector<Json::Value> CollectForSave(bool* truncated);

 private:
  void Notify(Change change, int row) {
    if (listener_) listener_(change, row);
  }

  std::vector<Row> rows_;
  int selected_ = -1;
  Listener listener_;
};

}  // namespace macros
