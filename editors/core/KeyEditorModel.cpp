#include "editors/core/KeyEditorModel.h"

#include <algorithm>
#include <charconv>

#include "editors/core/KeyCatalogue.h"

namespace editors {
namespace {

constexpr int kPlayModes = 4;   // macro play modes 0..3; item 4 is the repeat count
constexpr uint8_t kMinFireInterval = 10;
constexpr uint8_t kDirectionBit = 0x80;

int RowOr(std::optional<int> row) { return row.value_or(-1); }

// A number typed into an edit: decimal digits from the start, kept to a byte.
uint8_t EditByte(const std::string& text) {
  unsigned v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return uint8_t(v);
}

std::string Num(int v) { return std::to_string(v); }

using V = KeyEditorView;
constexpr ViewControl kControls[] = {
    {"keyset_mousekey_combo", category::kMouseButton, ControlKind::Combo, &V::mouseKey},
    {"keyset_mouseswing_combo", category::kSwing, ControlKind::Combo, &V::swingDirection},
    {"keyset_mouseswing_num_edit", category::kSwing, ControlKind::Edit, nullptr, &V::swingCount},
    {"keyset_mouseswing_delay_edit", category::kSwing, ControlKind::Edit, nullptr, &V::swingDelay},
    {"keyset_mouseswing_speed_edit", category::kSwing, ControlKind::Edit, nullptr, &V::swingSpeed},
    {"keyset_mousewheel_combo", category::kScroll, ControlKind::Combo, &V::wheelDirection},
    {"keyset_mousewheel_num_edit", category::kScroll, ControlKind::Edit, nullptr, &V::wheelCount},
    {"keyset_mousewheel_delay_edit", category::kScroll, ControlKind::Edit, nullptr, &V::wheelDelay},
    {"keyset_mousewheel_speed_edit", category::kScroll, ControlKind::Edit, nullptr, &V::wheelSpeed},
    {"keyset_mousedpi_combo", category::kDpi, ControlKind::Combo, &V::dpi},
    {"keyset_mousefire_interval_edit", category::kFire, ControlKind::Edit, nullptr, &V::fireInterval},
    {"keyset_mousefire_num_edit", category::kFire, ControlKind::Edit, nullptr, &V::fireCount},
    {"keyset_keyboard_text_edit", category::kKey, ControlKind::KeyText, nullptr, &V::keyText},
    {"key_ComBox_check_", category::kKey, ControlKind::Checks, &V::modifier},
    {"keyset_media_combo", category::kMedia, ControlKind::Combo, &V::media},
    {"keyset_system_combo", category::kSystem, ControlKind::Combo, &V::system},
    {"keyset_macro_combo", category::kMacro, ControlKind::Combo, &V::macro},
    {"keyset_macro_over_combo", category::kMacro, ControlKind::Combo, &V::macroMode},
    {"keyset_macro_cycle_layout", category::kMacro, ControlKind::Layout, nullptr, nullptr, &V::cycleShown},
    {"keyset_macro_cycle_edit", category::kMacro, ControlKind::Edit, nullptr, &V::cycleCount},
    {"keyset_gunkey_combo", category::kGun, ControlKind::Combo, &V::gun},
    {"keyset_combokey_combo", category::kShortcut, ControlKind::Combo, &V::shortcut},
};

}  // namespace

std::span<const ViewControl> ViewControls() { return kControls; }

bool CategoryOffered(int category, int deviceKind) {
  if (category < 0 || category >= category::kCount) return false;
  return deviceKind != kKeyboardEditor || (category != category::kDpi && category != category::kGun);
}

uint8_t ModifierBit(int check) { return check >= 1 && check <= 4 ? uint8_t(1u << (check - 1)) : 0; }

void ShowFunction(const profiles::KeyFunction& f, const profiles::KeyFunction& def, int deviceKind,
                  int macroCount, KeyEditorView& v, profiles::KeyFunction& current) {
  int cat = -1;
  const bool isDefault = f.c0 == def.c0 && f.c1 == def.c1 && f.c2 == def.c2;
  if (isDefault) {
    cat = category::kDefault;
  } else {
    switch (f.c0) {
      case fn::kMouseButton:
        cat = category::kMouseButton;
        v.mouseKey = RowOr(FindRow(MouseButtonRows(), f.c1, f.c2));
        break;
      case fn::kDpi:
        cat = category::kDpi;
        v.dpi = RowOr(FindRow(DpiRows(), f.c1, f.c2));
        break;
      case fn::kMedia:
        cat = category::kMedia;
        v.media = RowOr(FindRow(MediaRows(), f.c1, f.c2));
        break;
      case fn::kSystem:
        cat = category::kSystem;
        v.system = RowOr(FindRow(SystemRows(), f.c1, f.c2));
        break;
      case fn::kSwing:
        cat = category::kSwing;
        v.swingDelay = Num(f.c1 >> 4);
        v.swingSpeed = Num(f.c1 & 0x0F);
        v.swingCount = Num(f.c2 & 0x7F);
        v.swingDirection = (f.c2 & kDirectionBit) ? 1 : 0;
        break;
      case fn::kScroll:
        cat = category::kScroll;
        v.wheelDelay = Num(f.c1 >> 4);
        v.wheelSpeed = Num(f.c1 & 0x0F);
        if (f.c2 & kDirectionBit) {
          v.wheelCount = Num(128 - (f.c2 & 0x7F));
          v.wheelDirection = 1;
        } else {
          v.wheelCount = Num(f.c2);
          v.wheelDirection = 0;
        }
        break;
      case fn::kFire:
        cat = category::kFire;
        v.fireInterval = Num(f.c1);
        v.fireCount = Num(f.c2);
        break;
      case fn::kKey: {
        const auto rows = KeyboardRows();
        if (f.c1 == 0) {
          cat = category::kKey;
          if (auto row = FindRow(rows, 0, f.c2, fn::kKey)) {
            v.keyText = rows[size_t(*row)].textId;
            v.keyUsage = f.c2;
            v.modifier = 0;
          } else {
            v.keyText.clear();
            v.keyUsage = 0;
            v.modifier = -1;
            current.c1 = 0;
            current.c2 = 0;
          }
        } else if (f.c1 <= 8) {
          cat = category::kKey;
          v.modifier = 0;
          for (int i = 0; i < 4; ++i)
            if (rows[size_t(i)].c1 == f.c1) v.modifier = i + 1;
          v.keyText.clear();
          v.keyUsage = 0;
          for (size_t i = kModifierRows; i < rows.size(); ++i) {
            if (rows[i].c0 == fn::kKey && rows[i].c1 == 0 && rows[i].c2 == f.c2) {
              v.keyText = rows[i].textId;
              v.keyUsage = f.c2;
              break;
            }
          }
        } else {
          cat = category::kShortcut;
          v.shortcut = RowOr(FindRow(ShortcutRows(), f.c1, f.c2));
        }
        break;
      }
      case fn::kMacro:
      case fn::kMacroRepeat: {
        cat = category::kMacro;
        const bool repeat = f.c0 == fn::kMacroRepeat;
        if (f.c1 > macroCount) {
          v.macro = -1;
          v.macroMode = -1;
        } else {
          v.macro = f.c1;
          v.macroMode = repeat ? kPlayModes : f.c2;
        }
        v.cycleShown = repeat;
        if (repeat) v.cycleCount = Num(f.c2);
        break;
      }
      case fn::kGun:
        cat = category::kGun;
        v.gun = f.c1 < kGunKeys ? f.c1 : -1;
        break;
      case fn::kShortcutPage:
        cat = category::kShortcut;
        v.shortcut = -1;
        break;
      default:
        cat = -1;
        break;
    }
  }
  v.category = CategoryOffered(cat, deviceKind) ? cat : -1;
}

profiles::KeyFunction ComposeFunction(KeyEditorView& v, const profiles::KeyFunction& current,
                                      const profiles::KeyFunction& def, int macroCount) {
  profiles::KeyFunction out = current;
  auto fromRow = [&](std::span<const CatalogueRow> rows, int index) {
    if (index < 0 || size_t(index) >= rows.size()) return;
    out.c0 = rows[size_t(index)].c0;
    out.c1 = rows[size_t(index)].c1;
    out.c2 = rows[size_t(index)].c2;
  };
  switch (v.category) {
    case category::kDefault:
      out.c0 = def.c0;
      out.c1 = def.c1;
      out.c2 = def.c2;
      break;
    case category::kMouseButton: fromRow(MouseButtonRows(), v.mouseKey); break;
    case category::kDpi: fromRow(DpiRows(), v.dpi); break;
    case category::kMedia: fromRow(MediaRows(), v.media); break;
    case category::kSystem: fromRow(SystemRows(), v.system); break;
    case category::kShortcut: fromRow(ShortcutRows(), v.shortcut); break;
    case category::kSwing:
      out.c0 = fn::kSwing;
      out.c1 = uint8_t(EditByte(v.swingDelay) << 4 | (EditByte(v.swingSpeed) & 0x0F));
      out.c2 = uint8_t((EditByte(v.swingCount) & 0x7F) | (v.swingDirection == 1 ? kDirectionBit : 0));
      break;
    case category::kScroll: {
      out.c0 = fn::kScroll;
      out.c1 = uint8_t(EditByte(v.wheelDelay) << 4 | (EditByte(v.wheelSpeed) & 0x0F));
      const uint8_t count = EditByte(v.wheelCount);
      out.c2 = v.wheelDirection == 1 ? uint8_t((128 - count) | kDirectionBit) : count;
      break;
    }
    case category::kFire: {
      uint8_t interval = EditByte(v.fireInterval);
      if (interval < kMinFireInterval) {
        interval = kMinFireInterval;
        v.fireInterval = Num(kMinFireInterval);
      }
      out.c0 = fn::kFire;
      out.c1 = interval;
      out.c2 = EditByte(v.fireCount);
      break;
    }
    case category::kKey:
      out.c0 = fn::kKey;
      out.c1 = v.modifier <= 0 ? 0 : ModifierBit(v.modifier);
      out.c2 = v.keyText.empty() ? 0 : v.keyUsage;
      break;
    case category::kMacro:
      if (v.macro < 0 || macroCount == 0) break;
      if (v.macroMode == kPlayModes) {
        out.c0 = fn::kMacroRepeat;
        out.c2 = EditByte(v.cycleCount);
      } else {
        out.c0 = fn::kMacro;
        out.c2 = uint8_t(std::max(v.macroMode, 0));
      }
      out.c1 = uint8_t(v.macro);
      break;
    case category::kGun:
      out.c0 = fn::kGun;
      out.c1 = uint8_t(std::max(v.gun, 0));
      out.c2 = 0;
      break;
    default:
      break;
  }
  return out;
}

std::optional<profiles::KeyFunction> CaptureKey(uint8_t scan, bool extended, KeyEditorView& v,
                                                const profiles::KeyFunction& current,
                                                const profiles::KeyFunction& def, int macroCount) {
  const auto row = RowOfScanCode(scan, extended);
  if (!row) return std::nullopt;
  const CatalogueRow& r = KeyboardRows()[size_t(*row)];
  if (r.c0 != fn::kKey) return std::nullopt;
  v.category = category::kKey;
  if (*row < kModifierRows) {
    // Left and right modifiers share the four checks.
    v.modifier = (*row + 1) % 5 + (*row + 1) / 5;
    v.keyText.clear();
    v.keyUsage = 0;
    return ComposeFunction(v, current, def, macroCount);
  }
  if (v.modifier < 0) v.modifier = 0;
  v.keyText = r.textId;
  v.keyUsage = r.c2;
  profiles::KeyFunction out = current;
  out.c0 = fn::kKey;
  out.c1 = ModifierBit(v.modifier);
  out.c2 = r.c2;
  return out;
}

}  // namespace editors
