#pragma once
// The two tables that name macro actions and turn captured input into them.
//  - MacroKeyTable, rows 0..113: the keys a macro can hold. Rows 0..7 are the
//    modifiers (Button = modifier bit), rows 8..113 ordinary keys (Button = HID
//    keyboard usage). scan/ext are the set-1 scan code and extended flag a
//    captured key is recognised by; row 113 has none and is never recorded.
//  - MouseButtonTable, rows 0..13: buttons by window message and X button,
//    and the four relative moves by their packed type code.

#include <array>
#include <cstdint>
#include <string>

namespace macros {

// MacroEvent "Type" values.
enum MacroEventType : int {
  kMouseButton = 1,
  kMouseMoveX = 4,
  kMouseMoveY = 5,
  kModifierKey = 9,
  kKeyboardKey = 10,
};

struct MacroKeyRow {
  const char* key;  // suffix of the text id "keyboard_key_" + key
  uint8_t button;   // modifier bit (rows 0..7) or HID usage
  int scan;         // -1: the key cannot be recorded
  int ext;
};

inline constexpr int kMacroKeyRows = 114;
inline constexpr int kModifierRows = 8;
inline constexpr int kRecordableKeyRows = 113;  // rows 0..112
extern const std::array<MacroKeyRow, kMacroKeyRows> kMacroKeyTable;

struct MouseButtonRow {
  uint16_t message;  // window message; 0 for the moves
  uint8_t button;    // button bit; 0 for the moves
  uint8_t code;      // packed type byte, bit 7 = press
  const char* textId;
};

inline constexpr int kMouseButtonRows = 14;
extern const std::array<MouseButtonRow, kMouseButtonRows> kMouseButtonTable;

// Window messages of the mouse rows.
namespace wm {
inline constexpr uint32_t kKeyDown = 0x0100, kKeyUp = 0x0101;
inline constexpr uint32_t kSysKeyDown = 0x0104, kSysKeyUp = 0x0105;
inline constexpr uint32_t kLButtonDown = 0x0201, kLButtonUp = 0x0202;
inline constexpr uint32_t kRButtonDown = 0x0204, kRButtonUp = 0x0205;
inline constexpr uint32_t kMButtonDown = 0x0207, kMButtonUp = 0x0208;
inline constexpr uint32_t kXButtonDown = 0x020B, kXButtonUp = 0x020C;
inline constexpr uint32_t kMouseMove = 0x0200, kMouseWheel = 0x020A;
}  // namespace wm

// The first recordable row (0..112) with this scan code and extended flag; -1
// when none.
int KeyRowByScan(int scan, bool ext);
// Display row of a keyboard action: the first row from 8 on with this usage;
// -1 when none.
int KeyRowByUsage(int usage);
// Display row of a modifier action: the row among 0..7 with this bit; -1.
int KeyRowByModifier(int bit);
// The key's text id, "keyboard_key_" + suffix.
std::string KeyTextId(int row);

// Display row of a MouseButton action: the first of rows 0..9 with this bit.
int MouseRowByButton(int bit);
// Display row of a move: the row among 10..13 whose code is
// (down ? 0x80 : 0) | type; -1 when none.
int MouseRowByMove(int type, bool down);
// The row of a captured mouse message: rows 0..5 by message; for the X
// messages the X button (high word of the mouse data) picks rows 6/7
// (2, forward) or 8/9 (1, back). -1 for anything else.
int MouseRowByMessage(uint32_t message, uint32_t mouseData);

}  // namespace macros
