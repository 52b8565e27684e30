#pragma once
// What the key assignment editor shows for a key function, and the function
// it composes from what its controls hold, without widgets: CKeySetControlUI
// puts a KeyEditorView on its controls and reads one back, and vx27ctl's
// key-function command prints it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "profiles/ProfileRecords.h"

namespace editors {

// The controls of the editor's pages. Combos hold an item index (-1: nothing
// selected), edits their text, the modifier checks the selected box (-1:
// none), and the text edit a text id (not yet translated).
struct KeyEditorView {
  int category = 0;  // -1: the editor area is hidden
  int mouseKey = -1;
  int swingDirection = -1;
  std::string swingCount, swingDelay, swingSpeed;
  int wheelDirection = -1;
  std::string wheelCount, wheelDelay, wheelSpeed;
  int dpi = -1;
  std::string fireInterval, fireCount;
  std::string keyText;  // text id of the key shown in "keyset_keyboard_text_edit"
  uint8_t keyUsage = 0; // the usage of the key shown or last captured
  int modifier = -1;    // "key_ComBox_check_" 0..4
  int media = -1;
  int system = -1;
  int macro = -1;
  int macroMode = -1;   // 0..3 play modes, 4 repeat count
  bool cycleShown = false;
  std::string cycleCount;
  int gun = -1;
  int shortcut = -1;

  bool operator==(const KeyEditorView&) const = default;
};

// The editor's controls, page by page: the one table by which the panel moves
// a view to and from its widgets and vx27ctl prints one.
enum class ControlKind {
  Combo,    // item index, -1 none
  Edit,     // text
  KeyText,  // text id of the key ("keyset_keyboard_text_edit")
  Checks,   // the selected box of the family, -1 none ("key_ComBox_check_")
  Layout,   // shown or hidden
};
struct ViewControl {
  const char* name;
  int category;  // the page the control sits on
  ControlKind kind;
  int KeyEditorView::*number = nullptr;
  std::string KeyEditorView::*text = nullptr;
  bool KeyEditorView::*flag = nullptr;
};
std::span<const ViewControl> ViewControls();
inline constexpr int kModifierChecks = 5;

// Device kinds of the editor.
inline constexpr int kKeyboardEditor = 1;
inline constexpr int kMouseEditor = 2;

// Whether the editor offers a category on this kind of device (the keyboard
// has neither DPI functions nor gun keys).
bool CategoryOffered(int category, int deviceKind);

// Shows `function` over `view` (the controls of other pages keep what they
// held). `current` is the function being edited: a keyboard key that names no
// row is cleared in it.
void ShowFunction(const profiles::KeyFunction& function, const profiles::KeyFunction& defaultFunction,
                  int deviceKind, int macroCount, KeyEditorView& view, profiles::KeyFunction& current);

// Composes the function of the selected category from the controls. The fire
// interval is raised to 10 in the view too. Returns the new current function
// (the key index kept); a macro category without a macro leaves `current`.
profiles::KeyFunction ComposeFunction(KeyEditorView& view, const profiles::KeyFunction& current,
                                      const profiles::KeyFunction& defaultFunction, int macroCount);

// A key pressed while capturing: set-1 scan code and extended flag. Nothing
// when the key cannot be captured; else the view is updated and the function
// to apply returned (a modifier alone changes only the check and clears the
// key, then the function is composed as the save button does).
std::optional<profiles::KeyFunction> CaptureKey(uint8_t scan, bool extended, KeyEditorView& view,
                                                const profiles::KeyFunction& current,
                                                const profiles::KeyFunction& defaultFunction, int macroCount);

// The modifier bit of check n (1 Ctrl, 2 Shift, 3 Alt, 4 Win), 0 for none.
uint8_t ModifierBit(int check);

}  // namespace editors
