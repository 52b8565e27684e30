#pragma once
// The key function catalogue: the six tables of selectable functions in combo
// order, each row {virtual-key code or index, c0, c1, c2, text id}; the
// keyboard table's rows 0 to 112 also carry the set-1 scan code and
// extended-key flag by which a pressed key is recognised. One constant table
// per list serves both directions: naming a code and composing one.

#include <cstdint>
#include <optional>
#include <span>

namespace editors {

struct CatalogueRow {
  uint16_t vk = 0;
  uint8_t c0 = 0, c1 = 0, c2 = 0;
  const char* textId = "";
  uint8_t scan = 0;       // keyboard rows 0..112
  bool extended = false;  // keyboard rows 0..112
};

// Function types (byte c0).
namespace fn {
inline constexpr uint8_t kNone = 0x00;
inline constexpr uint8_t kMouseButton = 0x10;
inline constexpr uint8_t kSwing = 0x11;
inline constexpr uint8_t kScroll = 0x12;
inline constexpr uint8_t kDpi = 0x13;
inline constexpr uint8_t kFire = 0x14;
inline constexpr uint8_t kKey = 0x20;
inline constexpr uint8_t kMedia = 0x30;
inline constexpr uint8_t kSystem = 0x40;
inline constexpr uint8_t kMacro = 0x70;
inline constexpr uint8_t kMacroRepeat = 0x71;
inline constexpr uint8_t kGun = 0x72;
inline constexpr uint8_t kShortcutPage = 0xB0;
}  // namespace fn

// Editor categories: the user data of "keyset_function_combo" items and the
// page index of "function_switch_tablayout".
namespace category {
inline constexpr int kDefault = 0, kMouseButton = 1, kSwing = 2, kScroll = 3, kDpi = 4, kFire = 5,
                     kKey = 6, kMedia = 7, kSystem = 8, kMacro = 9, kGun = 10, kShortcut = 11;
inline constexpr int kCount = 12;
}  // namespace category

std::span<const CatalogueRow> MouseButtonRows();  // "keyset_mousekey_combo"
std::span<const CatalogueRow> DpiRows();          // "keyset_mousedpi_combo"
std::span<const CatalogueRow> SystemRows();       // "keyset_system_combo"
std::span<const CatalogueRow> MediaRows();        // "keyset_media_combo"
std::span<const CatalogueRow> ShortcutRows();     // "keyset_combokey_combo"
std::span<const CatalogueRow> KeyboardRows();     // 142 rows
inline constexpr int kCapturableRows = 113;       // keyboard rows 0..112
inline constexpr int kModifierRows = 8;
inline constexpr int kGunKeys = 4;
extern const char* const kGunNames[kGunKeys];     // "gun_1_txt" ...

// The index of the first row whose c1 and c2 match (and c0, when given).
std::optional<int> FindRow(std::span<const CatalogueRow> rows, uint8_t c1, uint8_t c2,
                           std::optional<uint8_t> c0 = std::nullopt);
// The capturable keyboard row of a set-1 scan code and extended flag.
std::optional<int> RowOfScanCode(uint8_t scan, bool extended);

// The text id that names a code on a key cap: the first catalogue row of its
// type that matches it; nothing when none does (macros are named by the
// caller from its macro list).
const char* NameOfCode(uint8_t c0, uint8_t c1, uint8_t c2);

}  // namespace editors
