#include "macros/capture/KeyCodes.h"

#include <array>

#include <Qt>

#include "macros/MacroTables.h"

namespace macros::capture {

namespace {

struct Codes {
  int evdev;
  uint8_t vk;
  int qtKey;
  bool keypad;
};

// Row by row with MacroKeyTable rows 0..112.
const std::array<Codes, kRecordableKeyRows> kCodes = {{
    {29, 0xA2, Qt::Key_Control, false},  {42, 0xA0, Qt::Key_Shift, false},
    {56, 0xA4, Qt::Key_Alt, false},      {125, 0x5B, Qt::Key_Meta, false},
    {97, 0xA3, 0, false},                {54, 0xA1, 0, false},
    {100, 0xA5, Qt::Key_AltGr, false},   {126, 0x5C, 0, false},
    {30, 'A', Qt::Key_A, false},  {48, 'B', Qt::Key_B, false},  {46, 'C', Qt::Key_C, false},
    {32, 'D', Qt::Key_D, false},  {18, 'E', Qt::Key_E, false},  {33, 'F', Qt::Key_F, false},
    {34, 'G', Qt::Key_G, false},  {35, 'H', Qt::Key_H, false},  {23, 'I', Qt::Key_I, false},
    {36, 'J', Qt::Key_J, false},  {37, 'K', Qt::Key_K, false},  {38, 'L', Qt::Key_L, false},
    {50, 'M', Qt::Key_M, false},  {49, 'N', Qt::Key_N, false},  {24, 'O', Qt::Key_O, false},
    {25, 'P', Qt::Key_P, false},  {16, 'Q', Qt::Key_Q, false},  {19, 'R', Qt::Key_R, false},
    {31, 'S', Qt::Key_S, false},  {20, 'T', Qt::Key_T, false},  {22, 'U', Qt::Key_U, false},
    {47, 'V', Qt::Key_V, false},  {17, 'W', Qt::Key_W, false},  {45, 'X', Qt::Key_X, false},
    {21, 'Y', Qt::Key_Y, false},  {44, 'Z', Qt::Key_Z, false},
    {2, '1', Qt::Key_1, false},   {3, '2', Qt::Key_2, false},   {4, '3', Qt::Key_3, false},
    {5, '4', Qt::Key_4, false},   {6, '5', Qt::Key_5, false},   {7, '6', Qt::Key_6, false},
    {8, '7', Qt::Key_7, false},   {9, '8', Qt::Key_8, false},   {10, '9', Qt::Key_9, false},
    {11, '0', Qt::Key_0, false},
    {28, 0x0D, Qt::Key_Return, false},   {1, 0x1B, Qt::Key_Escape, false},
    {14, 0x08, Qt::Key_Backspace, false}, {15, 0x09, Qt::Key_Tab, false},
    {57, 0x20, Qt::Key_Space, false},     {12, 0xBD, Qt::Key_Minus, false},
    {13, 0xBB, Qt::Key_Equal, false},     {26, 0xDB, Qt::Key_BracketLeft, false},
    {27, 0xDD, Qt::Key_BracketRight, false}, {43, 0xDC, Qt::Key_Backslash, false},
    {39, 0xBA, Qt::Key_Semicolon, false}, {40, 0xDE, Qt::Key_Apostrophe, false},
    {41, 0xC0, Qt::Key_QuoteLeft, false}, {51, 0xBC, Qt::Key_Comma, false},
    {52, 0xBE, Qt::Key_Period, false},    {53, 0xBF, Qt::Key_Slash, false},
    {58, 0x14, Qt::Key_CapsLock, false},
    {59, 0x70, Qt::Key_F1, false},  {60, 0x71, Qt::Key_F2, false},  {61, 0x72, Qt::Key_F3, false},
    {62, 0x73, Qt::Key_F4, false},  {63, 0x74, Qt::Key_F5, false},  {64, 0x75, Qt::Key_F6, false},
    {65, 0x76, Qt::Key_F7, false},  {66, 0x77, Qt::Key_F8, false},  {67, 0x78, Qt::Key_F9, false},
    {68, 0x79, Qt::Key_F10, false}, {87, 0x7A, Qt::Key_F11, false}, {88, 0x7B, Qt::Key_F12, false},
    {99, 0x2C, Qt::Key_Print, false},     {70, 0x91, Qt::Key_ScrollLock, false},
    {119, 0x13, Qt::Key_Pause, false},    {110, 0x2D, Qt::Key_Insert, false},
    {102, 0x24, Qt::Key_Home, false},     {104, 0x21, Qt::Key_PageUp, false},
    {111, 0x2E, Qt::Key_Delete, false},   {107, 0x23, Qt::Key_End, false},
    {109, 0x22, Qt::Key_PageDown, false}, {106, 0x27, Qt::Key_Right, false},
    {105, 0x25, Qt::Key_Left, false},     {108, 0x28, Qt::Key_Down, false},
    {103, 0x26, Qt::Key_Up, false},       {69, 0x90, Qt::Key_NumLock, false},
    {98, 0x6F, Qt::Key_Slash, true},      {55, 0x6A, Qt::Key_Asterisk, true},
    {74, 0x6D, Qt::Key_Minus, true},      {78, 0x6B, Qt::Key_Plus, true},
    {96, 0x0D, Qt::Key_Enter, true},
    {79, 0x61, Qt::Key_1, true},  {80, 0x62, Qt::Key_2, true},  {81, 0x63, Qt::Key_3, true},
    {75, 0x64, Qt::Key_4, true},  {76, 0x65, Qt::Key_5, true},  {77, 0x66, Qt::Key_6, true},
    {71, 0x67, Qt::Key_7, true},  {72, 0x68, Qt::Key_8, true},  {73, 0x69, Qt::Key_9, true},
    {82, 0x60, Qt::Key_0, true},  {83, 0x6E, Qt::Key_Period, true},
    {127, 0x5D, Qt::Key_Menu, false},     {86, 0xE2, 0, false},
    {89, 0xC1, 0, false},                 {124, 0xDC, Qt::Key_yen, false},
    {95, 0xC2, 0, false},                 {94, 0x1D, Qt::Key_Muhenkan, false},
    {92, 0x1C, Qt::Key_Henkan, false},    {93, 0x15, Qt::Key_Hiragana_Katakana, false},
    {122, 0x15, Qt::Key_Hangul, false},   {123, 0x19, Qt::Key_Hangul_Hanja, false},
}};

CapturedKey KeyOfRow(int row) {
  const MacroKeyRow& key = kMacroKeyTable[size_t(row)];
  return {uint32_t(key.scan), key.ext != 0, kCodes[size_t(row)].vk};
}

}  // namespace

std::optional<CapturedKey> KeyFromEvdev(int code) {
  for (int row = 0; row < kRecordableKeyRows; ++row)
    if (kCodes[size_t(row)].evdev == code) return KeyOfRow(row);
  return std::nullopt;
}

std::optional<CapturedKey> KeyFromQtKey(int qtKey, bool keypad) {
  if (qtKey == 0) return std::nullopt;
  for (int row = 0; row < kRecordableKeyRows; ++row)
    if (kCodes[size_t(row)].qtKey == qtKey && kCodes[size_t(row)].keypad == keypad)
      return KeyOfRow(row);
  // Keys that also sit on the keypad, reported without the modifier.
  if (keypad) return KeyFromQtKey(qtKey, false);
  return std::nullopt;
}

int EvdevCodeOfRow(int row) {
  return row >= 0 && row < kRecordableKeyRows ? kCodes[size_t(row)].evdev : -1;
}

}  // namespace macros::capture
