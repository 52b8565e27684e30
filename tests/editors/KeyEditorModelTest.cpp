// The key function catalogue and the key editor's view logic: what the
// editor shows for a code and what it composes back, key capture from scan
// codes. Expected views and codes are written out from the code tables.

#include <gtest/gtest.h>

#include "editors/core/KeyCatalogue.h"
#include "editors/core/KeyEditorModel.h"

namespace {

using editors::KeyEditorView;
using profiles::KeyFunction;

KeyFunction F(uint32_t code) { return KeyFunction::FromCode(7, code); }

TEST(KeyCatalogue, TablesHoldTheirRows) {
  EXPECT_EQ(editors::KeyboardRows().size(), 142u);
  EXPECT_EQ(editors::MediaRows().size(), 18u);
  EXPECT_EQ(editors::ShortcutRows().size(), 11u);
  struct Case {
    int row;
    uint8_t c0, c1, c2;
    const char* id;
  } cases[] = {
      {0, 0x20, 0x01, 0x00, "keyboard_key_LCtrl"},   {7, 0x20, 0x80, 0x00, "keyboard_key_RWin"},
      {8, 0x20, 0x00, 0x04, "keyboard_key_A"},       {43, 0x20, 0x00, 0x27, "keyboard_key_0"},
      {53, 0x20, 0x00, 0x31, "keyboard_key_xiegang"}, {54, 0x20, 0x00, 0x33, "keyboard_key_;"},
      {60, 0x20, 0x00, 0x39, "keyboard_key_Caplk"},  {72, 0x20, 0x00, 0x45, "keyboard_key_F12"},
      {91, 0x20, 0x00, 0x58, "keyboard_key_Num Enter"}, {113, 0x20, 0x00, 0x32, "keyboard_key_K42"},
      {130, 0x30, 0x26, 0x02, "wed_stop"},           {134, 0x40, 0x04, 0x00, "keyboard_key_Wakeup"},
      {139, 0xD0, 0xA2, 0x05, "keyboard_key_M5"},    {141, 0xA0, 0x1B, 0x00, "keyboard_key_GM"},
  };
  for (const auto& k : cases) {
    const auto& r = editors::KeyboardRows()[size_t(k.row)];
    EXPECT_EQ(r.c0, k.c0) << k.row;
    EXPECT_EQ(r.c1, k.c1) << k.row;
    EXPECT_EQ(r.c2, k.c2) << k.row;
    EXPECT_STREQ(r.textId, k.id) << k.row;
  }
}

TEST(KeyCatalogue, ScanCodesFindTheirRows) {
  struct Case {
    uint8_t scan;
    bool ext;
    int row;  // -1: cannot be captured
  } cases[] = {
      {0x1D, false, 0}, {0x1D, true, 4}, {0x38, true, 6}, {0x1E, false, 8}, {0x4D, true, 82},
      {0x1C, true, 91}, {0x1C, false, 44}, {0x45, true, 86}, {0x45, false, 75}, {0x4D, false, 97},
      {0x72, false, 112}, {0x00, false, -1}, {0x1E, true, -1},
  };
  for (const auto& k : cases)
    EXPECT_EQ(editors::RowOfScanCode(k.scan, k.ext).value_or(-1), k.row) << std::hex << int(k.scan) << k.ext;
}

TEST(KeyCatalogue, CodesAreNamed) {
  struct Case {
    uint32_t code;
    const char* id;
  } cases[] = {
      {0x101000, "mouse_key_forward"}, {0x130300, "mouse_key_DPI_loop"}, {0x308301, "media_text"},
      {0x400100, "system_sleep"},      {0x201006, "custem_copy"},        {0x200004, "keyboard_key_A"},
      {0xA01B00, "keyboard_key_GM"},   {0xD0A203, "keyboard_key_M3"},    {0x720200, "gun_3_txt"},
  };
  for (const auto& k : cases) {
    const char* name = editors::NameOfCode(uint8_t(k.code >> 16), uint8_t(k.code >> 8), uint8_t(k.code));
    ASSERT_NE(name, nullptr) << std::hex << k.code;
    EXPECT_STREQ(name, k.id);
  }
  EXPECT_EQ(editors::NameOfCode(0x16, 0x90, 0x01), nullptr);
}

// What the editor shows. `def` is the key's default.
struct ShowCase {
  const char* name;
  uint32_t code;
  uint32_t def;
  int kind;
  std::function<void(KeyEditorView&)> expect;  // fills the expected view's fields
};

TEST(KeyEditorModel, ShowsAFunction) {
  const ShowCase cases[] = {
      {"default wins over its type", 0x130100, 0x130100, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 0; }},
      {"mouse forward", 0x101000, 0x100100, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 1; v.mouseKey = 3; }},
      {"unknown mouse button", 0x104000, 0x100100, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 1; v.mouseKey = -1; }},
      {"scroll down", 0x123583, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 3; v.wheelDelay = "3"; v.wheelSpeed = "5"; v.wheelCount = "125"; v.wheelDirection = 1; }},
      {"scroll up", 0x123505, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 3; v.wheelDelay = "3"; v.wheelSpeed = "5"; v.wheelCount = "5"; v.wheelDirection = 0; }},
      {"swing right", 0x11218A, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 2; v.swingDelay = "2"; v.swingSpeed = "1"; v.swingCount = "10"; v.swingDirection = 1; }},
      {"fire", 0x147802, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 5; v.fireInterval = "120"; v.fireCount = "2"; }},
      {"shift A", 0x200204, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 6; v.modifier = 2; v.keyText = "keyboard_key_A"; v.keyUsage = 4; }},
      {"two modifiers show no check", 0x200304, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 6; v.modifier = 0; v.keyText = "keyboard_key_A"; v.keyUsage = 4; }},
      {"plain key", 0x20002C, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 6; v.modifier = 0; v.keyText = "keyboard_key_Space"; v.keyUsage = 0x2C; }},
      {"right ctrl copy is a shortcut", 0x201006, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 11; v.shortcut = 4; }},
      {"media", 0x30E200, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 7; v.media = 7; }},
      {"macro mode", 0x700102, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 9; v.macro = 1; v.macroMode = 2; }},
      {"macro repeat", 0x710005, 0, editors::kMouseEditor, [](KeyEditorView& v) {
         v.category = 9; v.macro = 0; v.macroMode = 4; v.cycleShown = true; v.cycleCount = "5"; }},
      {"macro beyond the list", 0x700400, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 9; }},
      {"gun", 0x720200, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 10; v.gun = 2; }},
      {"shortcut page without preset", 0xB00000, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = 11; }},
      {"type without category hides", 0xA00100, 0, editors::kMouseEditor, [](KeyEditorView& v) { v.category = -1; }},
      {"keyboard has no DPI page", 0x130100, 0, editors::kKeyboardEditor, [](KeyEditorView& v) { v.category = -1; v.dpi = 0; }},
      {"keyboard has no gun page", 0x720000, 0, editors::kKeyboardEditor, [](KeyEditorView& v) { v.category = -1; v.gun = 0; }},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    KeyEditorView view;
    KeyFunction current = F(k.code);
    editors::ShowFunction(F(k.code), F(k.def), k.kind, 2, view, current);
    KeyEditorView want;
    k.expect(want);
    EXPECT_EQ(view, want);
    EXPECT_EQ(current, F(k.code));
  }
}

TEST(KeyEditorModel, AKeyThatNamesNoRowIsCleared) {
  KeyEditorView view;
  view.keyText = "keyboard_key_B";
  view.modifier = 3;
  KeyFunction current = F(0x200001);
  editors::ShowFunction(F(0x200001), F(0), editors::kMouseEditor, 0, view, current);
  EXPECT_EQ(view.category, 6);
  EXPECT_EQ(view.modifier, -1);
  EXPECT_EQ(view.keyText, "");
  EXPECT_EQ(current, F(0x200000));
}

struct ComposeCase {
  const char* name;
  std::function<void(KeyEditorView&)> set;
  uint32_t want;
};

TEST(KeyEditorModel, ComposesAFunction) {
  const ComposeCase cases[] = {
      {"default", [](KeyEditorView& v) { v.category = 0; }, 0x100400},
      {"mouse forward", [](KeyEditorView& v) { v.category = 1; v.mouseKey = 3; }, 0x101000},
      {"swing right", [](KeyEditorView& v) {
         v.category = 2; v.swingDelay = "2"; v.swingSpeed = "1"; v.swingCount = "10"; v.swingDirection = 1; }, 0x11218A},
      {"scroll down", [](KeyEditorView& v) {
         v.category = 3; v.wheelDelay = "3"; v.wheelSpeed = "5"; v.wheelCount = "125"; v.wheelDirection = 1; }, 0x123583},
      {"scroll up", [](KeyEditorView& v) {
         v.category = 3; v.wheelDelay = "3"; v.wheelSpeed = "5"; v.wheelCount = "5"; v.wheelDirection = 0; }, 0x123505},
      {"dpi down", [](KeyEditorView& v) { v.category = 4; v.dpi = 1; }, 0x130200},
      {"fire", [](KeyEditorView& v) { v.category = 5; v.fireInterval = "40"; v.fireCount = "3"; }, 0x142803},
      {"alt F4", [](KeyEditorView& v) { v.category = 6; v.modifier = 3; v.keyText = "keyboard_key_F4"; v.keyUsage = 0x3D; }, 0x20043D},
      {"key with check 0", [](KeyEditorView& v) { v.category = 6; v.modifier = 0; v.keyText = "keyboard_key_A"; v.keyUsage = 4; }, 0x200004},
      {"empty key text", [](KeyEditorView& v) { v.category = 6; v.modifier = 1; v.keyUsage = 4; }, 0x200100},
      {"media mail", [](KeyEditorView& v) { v.category = 7; v.media = 17; }, 0x308A01},
      {"system power", [](KeyEditorView& v) { v.category = 8; v.system = 2; }, 0x400400},
      {"macro mode 3", [](KeyEditorView& v) { v.category = 9; v.macro = 1; v.macroMode = 3; }, 0x700103},
      {"macro repeat", [](KeyEditorView& v) { v.category = 9; v.macro = 0; v.macroMode = 4; v.cycleCount = "9"; }, 0x710009},
      {"no macro chosen keeps current", [](KeyEditorView& v) { v.category = 9; v.macro = -1; }, 0x20002C},
      {"gun 2", [](KeyEditorView& v) { v.category = 10; v.gun = 1; }, 0x720100},
      {"shortcut paste", [](KeyEditorView& v) { v.category = 11; v.shortcut = 6; }, 0x201019},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    KeyEditorView view;
    k.set(view);
    const KeyFunction out = editors::ComposeFunction(view, F(0x20002C), F(0x100400), 2);
    EXPECT_EQ(out.Code(), k.want) << std::hex << out.Code();
    EXPECT_EQ(out.keyIndex, 7);
  }
}

TEST(KeyEditorModel, FireIntervalIsRaisedToTenAndShown) {
  KeyEditorView view;
  view.category = 5;
  view.fireInterval = "3";
  view.fireCount = "4";
  EXPECT_EQ(editors::ComposeFunction(view, F(0), F(0), 0).Code(), 0x140A04u);
  EXPECT_EQ(view.fireInterval, "10");
}

TEST(KeyEditorModel, ShownFunctionsComposeBackToThemselves) {
  for (uint32_t code : {0x101000u, 0x11218Au, 0x123583u, 0x123505u, 0x130300u, 0x147802u, 0x200204u, 0x20002Cu,
                        0x201006u, 0x30E200u, 0x400200u, 0x700102u, 0x710005u, 0x720300u}) {
    KeyEditorView view;
    KeyFunction current = F(code);
    editors::ShowFunction(F(code), F(0x100100), editors::kMouseEditor, 2, view, current);
    EXPECT_EQ(editors::ComposeFunction(view, current, F(0x100100), 2).Code(), code) << std::hex << code;
  }
}

TEST(KeyEditorModel, CaptureMapsModifiersToTheirChecks) {
  struct Case {
    const char* name;
    uint8_t scan;
    bool ext;
    int startCheck;
    int wantCheck;
    std::string wantText;
    uint32_t want;
  } cases[] = {
      {"right alt is alt", 0x38, true, -1, 3, "", 0x200400},
      {"left alt", 0x38, false, 1, 3, "", 0x200400},
      {"right ctrl is ctrl", 0x1D, true, -1, 1, "", 0x200100},
      {"right win", 0x5C, true, -1, 4, "", 0x200800},
      {"a key without a check", 0x1E, false, -1, 0, "keyboard_key_A", 0x200004},
      {"a key with shift", 0x3B, false, 2, 2, "keyboard_key_F1", 0x20023A},
      {"keypad enter", 0x1C, true, 0, 0, "keyboard_key_Num Enter", 0x200058},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    KeyEditorView view;
    view.category = 6;
    view.modifier = k.startCheck;
    view.keyText = "keyboard_key_B";
    view.keyUsage = 5;
    const auto out = editors::CaptureKey(k.scan, k.ext, view, F(0x100100), F(0x100100), 0);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(view.modifier, k.wantCheck);
    EXPECT_EQ(view.keyText, k.wantText);
    EXPECT_EQ(out->Code(), k.want) << std::hex << out->Code();
  }
  KeyEditorView view;
  EXPECT_FALSE(editors::CaptureKey(0x00, false, view, F(0), F(0), 0).has_value());
}

}  // namespace
