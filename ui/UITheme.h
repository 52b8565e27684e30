#pragma once
// The dark look every control falls back to when its layout gives no colour
// or image of its own, so an unstyled layout still looks like the rest.

#include <cstdint>

namespace ui::theme {
inline constexpr uint32_t kWindowBk = 0xFF16191E;
inline constexpr uint32_t kPanelBk = 0xFF1E2228;
inline constexpr uint32_t kText = 0xFFE4E7EC;
inline constexpr uint32_t kTextDim = 0xFF98A1AF;
inline constexpr uint32_t kTextDisabled = 0xFF5C6370;
inline constexpr uint32_t kButtonBk = 0xFF2B3038;
inline constexpr uint32_t kButtonHot = 0xFF363D47;
inline constexpr uint32_t kButtonPushed = 0xFF22262C;
inline constexpr uint32_t kButtonDisabled = 0xFF23272D;
inline constexpr uint32_t kBorder = 0xFF3E4551;
inline constexpr uint32_t kAccent = 0xFF3D8BFD;
inline constexpr uint32_t kAccentHot = 0xFF62A2FF;
inline constexpr uint32_t kTrack = 0xFF2E343D;
inline constexpr uint32_t kEditBk = 0xFF1A1D22;
inline constexpr uint32_t kListHot = 0xFF2A3039;
inline constexpr uint32_t kListSelected = 0xFF24405F;
inline constexpr uint32_t kPopupBk = 0xFF23272E;
inline constexpr int kRound = 8;  // default corner diameter of drawn fallbacks
}  // namespace ui::theme
