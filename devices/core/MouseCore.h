#pragma once
// The mouse's device work without widgets: the read-all with its information
// block check, the key-map position discovery, the settings read and write,
// the key map, macro and recoil writes, and the profile-apply order. The mouse
// page (devices/MouseDevice) and vx27ctl drive the same object.
//
// Through the receiver every transfer step is preceded by the link query and
// skipped when the mouse does not answer. Device data comes only from a mouse
// that answered: with the channel closed, I/O suppressed or a read failing the
// settings read changes and saves nothing, and no key map is written before
// one was read. While I/O is suppressed (an unrecognised mouse) the writes
// report that nothing was written instead of the suppressed channel's 1.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "devices/core/MacroFiles.h"
#include "devices/core/MouseSettingsBlock.h"
#include "devices/core/SensorRules.h"
#include "profiles/MouseProfiledata.h"
#include "protocol/CommandChannel.h"

namespace devices {

inline constexpr int kMouseButtons = 11;
inline constexpr uint8_t kNoPosition = 170;
// The default codes by which the buttons are found in the key map: left,
// right, middle, forward, back, DPI up, DPI down, DPI loop, game mode, M8, fire.
extern const std::array<std::array<uint8_t, 3>, kMouseButtons> kMouseDefaultCodes;

enum class InfoCheck { Failed, Accepted, New, Unknown };

struct ReadAllOutcome {
  InfoCheck info = InfoCheck::Failed;
  bool complete = false;  // the key map was read and the positions found
};

struct MouseApplyResult {
  int settings = 0;
  int macros = 0;
  int keys = 0;
};

class MouseCore {
 public:
  MouseCore(protocol::CCommandChannel& channel, profiles::CMouseProfiledata& profile);

  // ---- read all --------------------------------------------------------
  // Begin transfer, information block and its check, key map, positions.
  // Unknown: I/O is suppressed and the read stops (no end transfer). Failed:
  // the channel is closed, the receiver has no link or a step failed.
  ReadAllOutcome ReadAll();
  // The answer to an unrecognised mouse: I/O allowed again, the information
  // block marked initialised and written. Returns the write's result; 0 when
  // no information block was ever read (nothing to mark).
  int InitialiseInfoBlock();
  const std::array<uint8_t, kMouseButtons>& Positions() const { return positions_; }
  bool KeyMapRead() const { return !keyMapImage_.empty(); }
  const protocol::DeviceInfoBlock& InfoBlock() const { return info_; }
  SensorParams Sensor() const { return SensorParams::FromInfoBlock(info_); }

  // ---- profile -----------------------------------------------------------
  // Loads the profile file (which later saves write) into the profile object
  // and the key list. 1 when
  // the profile has a device entry.
  int LoadProfile(const std::filesystem::path& path);
  const std::vector<profiles::KeyAssignment>& Keys() const { return keys_; }
  // Puts one key's assignment into the key list and the profile document.
  void SetKey(int button, const profiles::KeyAssignment& key);
  // The firmware value of each light mode, by index (from the light catalogue);
  // empty: the value is the index.
  void SetLightModeValues(std::vector<uint8_t> values) { modeValues_ = std::move(values); }

  // ---- settings --------------------------------------------------------
  // Reads the active onboard profile and its block into the profile (light
  // state, system settings, active stage) and saves it. 1 on success, else 0
  // with nothing changed.
  int ReadSettings(profiles::LightInfoRecord& lightState);
  // Builds block p from the profile with byte 0 := v and writes it; the
  // write's result (0 without a link through the receiver).
  int WriteSettings(int p, int v);
  uint8_t OnboardProfile() const { return onboardProfile_; }
  const MouseSettingsBytes& SettingsImage() const { return settingsImage_; }
  // An onboard profile switch reported by an event (0x10n, 0x11mn).
  void OnProfileSwitch(uint16_t value);

  // ---- keys and macros ---------------------------------------------------
  // The macro library beside the profile.
  void SetMacroFolder(std::filesystem::path folder) { macroFolder_ = std::move(folder); }
  const std::filesystem::path& MacroFolder() const { return macroFolder_; }
  std::vector<MacroIndexEntry> Macros() const { return LoadMacroIndex(macroFolder_); }
  // Distinct macro numbers used by the keys (below the macro count), in order
  // of first use by key index; once the key map was read, only by the buttons
  // that have a position (the numbering the key map write gives them).
  std::vector<int> CollectUsedMacros() const;
  // 0 written or nothing to write; the number of events to remove when the
  // image does not fit; −1 when the image was not written.
  int WriteMacros(std::span<const int> macros);
  // The key map with the keys' assignments at their positions; the result of
  // the key-map write (0 when nothing was sent).
  int WriteKeyMap(int page, std::span<const profiles::KeyAssignment> keys);
  int WriteKeysFromProfile(int page) { return WriteKeyMap(page, keys_); }
  // Keys assigned to a macro that no longer exists get their default back.
  // True when a key changed.
  bool RepairMacroKeys();
  // The recoil image from "ShootData_0..3.Shoot" in `folder`.
  int WriteRecoil(const std::filesystem::path& folder);

  // The whole profile applied: settings (block 0, first byte 0), the used
  // macros, the keys.
  MouseApplyResult ApplyProfile();

 private:
  // Through the receiver: the link query; by cable always true.
  bool LinkUp();
  // A transfer step, skipped (0) without a link.
  template <typename F>
  int Step(F&& f) {
    return LinkUp() ? f() : protocol::kNoReply;
  }
  uint8_t ModeIndex(uint8_t value) const;
  // The first position no button took whose entry in the map read holds
  // `code` (kNoPosition: none).
  uint8_t FreePositionHolding(std::span<const uint8_t, 3> code) const;
  void FindReassignedPositions();

  protocol::CCommandChannel& channel_;
  profiles::CMouseProfiledata& profile_;
  protocol::DeviceInfoBlock info_;
  bool infoRead_ = false;
  std::vector<uint8_t> keyMapImage_;
  std::array<uint8_t, kMouseButtons> positions_;
  uint8_t onboardProfile_ = 0;
  MouseSettingsBytes settingsImage_{};
  std::vector<profiles::KeyAssignment> keys_;
  std::vector<uint8_t> modeValues_;
  std::filesystem::path macroFolder_;
};

}  // namespace devices
