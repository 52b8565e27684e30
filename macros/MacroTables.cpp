#include "macros/MacroTables.h"

namespace macros {

const std::array<MacroKeyRow, kMacroKeyRows> kMacroKeyTable = {{
    {"LCtrl", 0x01, 0x1D, 0},   {"LShift", 0x02, 0x2A, 0},  {"LAlt", 0x04, 0x38, 0},
    {"LWin", 0x08, 0x5B, 1},    {"RCtrl", 0x10, 0x1D, 1},   {"RShift", 0x20, 0x36, 1},
    {"RAlt", 0x40, 0x38, 1},    {"RWin", 0x80, 0x5C, 1},
    {"A", 0x04, 0x1E, 0},       {"B", 0x05, 0x30, 0},       {"C", 0x06, 0x2E, 0},
    {"D", 0x07, 0x20, 0},       {"E", 0x08, 0x12, 0},       {"F", 0x09, 0x21, 0},
    {"G", 0x0A, 0x22, 0},       {"H", 0x0B, 0x23, 0},       {"I", 0x0C, 0x17, 0},
    {"J", 0x0D, 0x24, 0},       {"K", 0x0E, 0x25, 0},       {"L", 0x0F, 0x26, 0},
    {"M", 0x10, 0x32, 0},       {"N", 0x11, 0x31, 0},       {"O", 0x12, 0x18, 0},
    {"P", 0x13, 0x19, 0},       {"Q", 0x14, 0x10, 0},       {"R", 0x15, 0x13, 0},
    {"S", 0x16, 0x1F, 0},       {"T", 0x17, 0x14, 0},       {"U", 0x18, 0x16, 0},
    {"V", 0x19, 0x2F, 0},       {"W", 0x1A, 0x11, 0},       {"X", 0x1B, 0x2D, 0},
    {"Y", 0x1C, 0x15, 0},       {"Z", 0x1D, 0x2C, 0},
    {"1", 0x1E, 0x02, 0},       {"2", 0x1F, 0x03, 0},       {"3", 0x20, 0x04, 0},
    {"4", 0x21, 0x05, 0},       {"5", 0x22, 0x06, 0},       {"6", 0x23, 0x07, 0},
    {"7", 0x24, 0x08, 0},       {"8", 0x25, 0x09, 0},       {"9", 0x26, 0x0A, 0},
    {"0", 0x27, 0x0B, 0},
    {"Enter", 0x28, 0x1C, 0},   {"Esc", 0x29, 0x01, 0},     {"BackSpace", 0x2A, 0x0E, 0},
    {"Tab", 0x2B, 0x0F, 0},     {"Space", 0x2C, 0x39, 0},   {"-", 0x2D, 0x0C, 0},
    {"=", 0x2E, 0x0D, 0},       {"[", 0x2F, 0x1A, 0},       {"]", 0x30, 0x1B, 0},
    {"xiegang", 0x31, 0x2B, 0}, {";", 0x33, 0x27, 0},       {"'", 0x34, 0x28, 0},
    {"`", 0x35, 0x29, 0},       {"<", 0x36, 0x33, 0},       {".", 0x37, 0x34, 0},
    {"/", 0x38, 0x35, 0},       {"Caplk", 0x39, 0x3A, 0},
    {"F1", 0x3A, 0x3B, 0},      {"F2", 0x3B, 0x3C, 0},      {"F3", 0x3C, 0x3D, 0},
    {"F4", 0x3D, 0x3E, 0},      {"F5", 0x3E, 0x3F, 0},      {"F6", 0x3F, 0x40, 0},
    {"F7", 0x40, 0x41, 0},      {"F8", 0x41, 0x42, 0},      {"F9", 0x42, 0x43, 0},
    {"F10", 0x43, 0x44, 0},     {"F11", 0x44, 0x57, 0},     {"F12", 0x45, 0x58, 0},
    {"Print Scr", 0x46, 0x37, 1}, {"Scroll Lock", 0x47, 0x46, 0}, {"Pause", 0x48, 0x45, 0},
    {"Insert", 0x49, 0x52, 1},  {"Home", 0x4A, 0x47, 1},    {"Page Up", 0x4B, 0x49, 1},
    {"Delete", 0x4C, 0x53, 1},  {"End", 0x4D, 0x4F, 1},     {"Page Down", 0x4E, 0x51, 1},
    {"Right", 0x4F, 0x4D, 1},   {"Left", 0x50, 0x4B, 1},    {"Down", 0x51, 0x50, 1},
    {"Up", 0x52, 0x48, 1},      {"Num Lock", 0x53, 0x45, 1}, {"Num /", 0x54, 0x35, 1},
    {"Num *", 0x55, 0x37, 0},   {"Num -", 0x56, 0x4A, 0},   {"Num +", 0x57, 0x4E, 0},
    {"Num Enter", 0x58, 0x1C, 1}, {"Num 1", 0x59, 0x4F, 0}, {"Num 2", 0x5A, 0x50, 0},
    {"Num 3", 0x5B, 0x51, 0},   {"Num 4", 0x5C, 0x4B, 0},   {"Num 5", 0x5D, 0x4C, 0},
    {"Num 6", 0x5E, 0x4D, 0},   {"Num 7", 0x5F, 0x47, 0},   {"Num 8", 0x60, 0x48, 0},
    {"Num 9", 0x61, 0x49, 0},   {"Num 0", 0x62, 0x52, 0},   {"Decimal", 0x63, 0x53, 0},
    {"App", 0x65, 0x5D, 1},     {"K45", 0x64, 0x56, 0},     {"K56", 0x87, 0x73, 0},
    {"K14", 0x89, 0x7D, 0},     {"K107", 0x85, 0x7E, 0},    {"K131", 0x8B, 0x7B, 0},
    {"K132", 0x8A, 0x79, 0},    {"K133", 0x88, 0x70, 0},    {"K150", 0x91, 0x71, 0},
    {"K151", 0x90, 0x72, 0},    {"K42", 0x32, -1, -1},
}};

const std::array<MouseButtonRow, kMouseButtonRows> kMouseButtonTable = {{
    {wm::kLButtonDown, 0x01, 0x81, "mouse_key_left"},
    {wm::kLButtonUp, 0x01, 0x01, "mouse_key_left"},
    {wm::kRButtonDown, 0x02, 0x81, "mouse_key_right"},
    {wm::kRButtonUp, 0x02, 0x01, "mouse_key_right"},
    {wm::kMButtonDown, 0x04, 0x81, "mouse_key_middle"},
    {wm::kMButtonUp, 0x04, 0x01, "mouse_key_middle"},
    {wm::kXButtonDown, 0x10, 0x81, "mouse_key_forward"},
    {wm::kXButtonUp, 0x10, 0x01, "mouse_key_forward"},
    {wm::kXButtonDown, 0x08, 0x81, "mouse_key_back"},
    {wm::kXButtonUp, 0x08, 0x01, "mouse_key_back"},
    {0, 0, 0x84, "mouse_move_to_left_text"},
    {0, 0, 0x04, "mouse_move_to_right_text"},
    {0, 0, 0x85, "mouse_move_to_up_text"},
    {0, 0, 0x05, "mouse_move_to_down_text"},
}};

int KeyRowByScan(int scan, bool ext) {
  for (int row = 0; row < kRecordableKeyRows; ++row)
    if (kMacroKeyTable[row].scan == scan && kMacroKeyTable[row].ext == int(ext)) return row;
  return -1;
}

int KeyRowByUsage(int usage) {
  for (int row = kModifierRows; row < kMacroKeyRows; ++row)
    if (kMacroKeyTable[row].button == usage) return row;
  return -1;
}

int KeyRowByModifier(int bit) {
  for (int row = 0; row < kModifierRows; ++row)
    if (kMacroKeyTable[row].button == bit) return row;
  return -1;
}

std::string KeyTextId(int row) {
  if (row < 0 || row >= kMacroKeyRows) return {};
  return std::string("keyboard_key_") + kMacroKeyTable[row].key;
}

int MouseRowByButton(int bit) {
  for (int row = 0; row < 10; ++row)
    if (kMouseButtonTable[row].button == bit) return row;
  return -1;
}

int MouseRowByMove(int type, bool down) {
  const int code = (down ? 0x80 : 0) | type;
  for (int row = 10; row < kMouseButtonRows; ++row)
    if (kMouseButtonTable[row].code == code) return row;
  return -1;
}

int MouseRowByMessage(uint32_t message, uint32_t mouseData) {
  for (int row = 0; row < 6; ++row)
    if (kMouseButtonTable[row].message == message) return row;
  if (message != wm::kXButtonDown && message != wm::kXButtonUp) return -1;
  const uint32_t xButton = mouseData >> 16;
  const int first = xButton == 2 ? 6 : xButton == 1 ? 8 : -1;
  if (first < 0) return -1;
  return message == wm::kXButtonDown ? first : first + 1;
}

}  // namespace macros
