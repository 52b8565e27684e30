#pragma once
// One table joining the recordable macro keys (rows 0..112 of MacroKeyTable)
// to the codes the capture sources see: the Linux input event code (an X11 or
// Wayland keycode minus 8), the Windows virtual key a receiver expects in the
// keyboard record, and the Qt key used when a key event carries no native
// code. Lookups run both ways over the same rows.

#include <cstdint>
#include <optional>

namespace macros::capture {

struct CapturedKey {
  uint32_t scan = 0;
  bool ext = false;
  uint32_t vk = 0;
};

// The key of an input event code; nullopt for a code no row has.
std::optional<CapturedKey> KeyFromEvdev(int code);
// The key of a Qt key (keypad: the key came with the keypad modifier).
std::optional<CapturedKey> KeyFromQtKey(int qtKey, bool keypad);
// The input event code of a MacroKeyTable row (0..112); -1 otherwise.
int EvdevCodeOfRow(int row);

// The three lock keys, which capture passes on to the system.
inline constexpr uint32_t kVkCapital = 0x14, kVkNumLock = 0x90, kVkScroll = 0x91;
inline bool IsLockKey(uint32_t vk) { return vk == kVkCapital || vk == kVkNumLock || vk == kVkScroll; }

}  // namespace macros::capture
