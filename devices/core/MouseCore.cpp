#include "devices/core/MouseCore.h"

#include <algorithm>

#include "devices/core/KeyMacros.h"
#include "platform/Trace.h"
#include "protocol/KeyMap.h"

namespace devices {

const std::array<std::array<uint8_t, 3>, kMouseButtons> kMouseDefaultCodes{{
    {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00}, {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02},
}};

namespace {

constexpr int kRecoilEntries = 4;
constexpr int kMaxSettingsProfile = (0x10000 - kMouseSettingsSize) / kMouseProfileStride;

std::array<uint8_t, 3> Bytes(const profiles::KeyFunction& f) { return {f.c0, f.c1, f.c2}; }

}  // namespace

MouseCore::MouseCore(protocol::CCommandChannel& channel, profiles::CMouseProfiledata& profile)
    : channel_(channel), profile_(profile) {
  positions_.fill(kNoPosition);
}

bool MouseCore::LinkUp() { return !channel_.ReceiverMode() || channel_.QueryWirelessLink(); }

// ---- read all ----------------------------------------------------------------

ReadAllOutcome MouseCore::ReadAll() {
  namespace ib = protocol::infoblock;
  ReadAllOutcome out;
  if (!channel_.IsOpen() || !LinkUp()) return out;
  channel_.BeginTransfer();
  protocol::DeviceInfoBlock info;
  if (channel_.ReadInfoBlock(info.raw) != protocol::kOk) return out;
  info_ = info;
  infoRead_ = true;
  if (info_.Format() == ib::kFormatInitialised) {
    out.info = InfoCheck::Accepted;
  } else if (info_.Format() == 0 && info_.Magic() == ib::kMagicValue) {
    info_.SetFormat(ib::kFormatInitialised);
    if (channel_.WriteInfoBlock(info_.raw) != protocol::kOk) return out;
    out.info = InfoCheck::New;
  } else {
    // Not a block this program knows: no more traffic until the user agrees
    // to initialise it.
    channel_.SetSuppressIo(true);
    out.info = InfoCheck::Unknown;
    return out;
  }
  if (!channel_.SetBlockSize(info_.KeyMapBlockSize())) return out;
  std::vector<uint8_t> map(channel_.BlockSize());
  if (channel_.ReadKeyMap(map) != protocol::kOk) return out;
  channel_.EndTransfer();
  keyMapImage_ = std::move(map);

  // Each button takes the first position holding its default code that no
  // earlier button took.
  positions_.fill(kNoPosition);
  for (int b = 0; b < kMouseButtons; ++b) positions_[size_t(b)] = FreePositionHolding(kMouseDefaultCodes[size_t(b)]);
  FindReassignedPositions();
  out.complete = true;
  return out;
}

uint8_t MouseCore::FreePositionHolding(std::span<const uint8_t, 3> code) const {
  const size_t keyCount = std::min(keyMapImage_.size() / 3, size_t(kNoPosition));
  for (size_t k = 0; k < keyCount; ++k) {
    const bool taken = std::find(positions_.begin(), positions_.end(), uint8_t(k)) != positions_.end();
    if (!taken && std::equal(code.begin(), code.end(), keyMapImage_.begin() + 3 * k)) return uint8_t(k);
  }
  return kNoPosition;
}

// A button the user gave another function no longer shows its default code in
// the mouse's map, and without a position it could never be changed again. It
// takes the first free position holding the function its profile assigns it,
// in the form the program sent it: a macro goes by its number in order of
// first use (a button with the second macro of the library holds macro 0 on
// a mouse where no other button has a macro).
void MouseCore::FindReassignedPositions() {
  if (keyMapImage_.empty()) return;
  const size_t count = std::min(positions_.size(), keys_.size());
  std::vector<protocol::KeyMapAssignment> list;
  for (size_t b = 0; b < count; ++b)
    list.push_back({uint16_t(b), Bytes(keys_[b].assignment), Bytes(keys_[b].defaultAssignment)});
  const std::vector<uint8_t> blank(count * 3);
  const std::vector<uint8_t> sent = protocol::BuildKeyMap(blank, list, int(Macros().size())).keyMap;
  for (size_t b = 0; b < count; ++b) {
    if (positions_[b] != kNoPosition) continue;
    std::array<uint8_t, 3> code;
    std::copy_n(sent.begin() + std::ptrdiff_t(b * 3), 3, code.begin());
    positions_[b] = FreePositionHolding(code);
  }
}

int MouseCore::InitialiseInfoBlock() {
  channel_.SetSuppressIo(false);
  if (!infoRead_) return protocol::kNoReply;
  info_.SetFormat(protocol::infoblock::kFormatInitialised);
  return channel_.WriteInfoBlock(info_.raw);
}

// ---- profile -------------------------------------------------------------------

int MouseCore::LoadProfile(const std::filesystem::path& path) {
  profile_.SetProfilePath(path);
  const Json::Value document = profile_.LoadProfile(path);
  keys_ = profile_.GetKeyList();
  (void)profile_.GetDpiStages();
  FindReassignedPositions();
  return document.isNull() ? 0 : 1;
}

void MouseCore::SetKey(int button, const profiles::KeyAssignment& key) {
  if (button < 0 || button >= kMouseButtons) return;
  if (keys_.size() <= size_t(button)) keys_.resize(size_t(button) + 1);
  keys_[size_t(button)] = key;
  profile_.SetKeyList(keys_);
}

// ---- settings --------------------------------------------------------------------

uint8_t MouseCore::ModeIndex(uint8_t value) const {
  if (modeValues_.empty()) return value;
  const auto it = std::find(modeValues_.begin(), modeValues_.end(), value);
  return it == modeValues_.end() ? value : uint8_t(it - modeValues_.begin());
}

int MouseCore::ReadSettings(profiles::LightInfoRecord& lightState) {
  channel_.SetHoldFlag(false);
  if (!channel_.IsOpen() || channel_.SuppressIo() || !LinkUp()) return protocol::kNoReply;
  uint8_t onboard = 0;
  if (channel_.ReadSettings(std::span(&onboard, 1), 0) != protocol::kOk) return protocol::kNoReply;
  MouseSettingsBytes block{};
  if (channel_.ReadSettings(block, uint16_t(onboard * kMouseProfileStride)) != protocol::kOk)
    return protocol::kNoReply;
  block[mouseblock::kFirst] = onboard;
  block[mouseblock::kMode] = ModeIndex(block[mouseblock::kMode]);
  block[mouseblock::kZero] = 0;
  onboardProfile_ = onboard;
  settingsImage_ = block;

  const MouseSettingsIn in = DecodeMouseSettings(block);
  lightState.selectItem = in.modeValue;
  lightState.light = in.brightness;
  lightState.speed = in.speed;
  lightState.multiColor = in.multiColour;
  lightState.red = in.red;
  lightState.green = in.green;
  lightState.blue = in.blue;

  profiles::MouseSystemSettings system = profile_.GetSystemSettings();
  system.reportRate = in.pollingRate;
  system.linearCalibration = in.linearCalibration;
  system.ripple = in.ripple;
  system.keyDebounceTime = in.debounce;
  system.bleSleep1 = in.bleSleep1;
  system.bleSleep2 = in.bleSleep2;
  system.deviceSleep1 = in.sleep1;
  system.deviceSleep2 = in.sleep2;
  profile_.SetSystemSettings(system);
  (void)profile_.GetDpiStages();
  profile_.SetActiveStage(in.activeStage);
  profile_.SetLightInfo(lightState);
  profile_.Save();
  return protocol::kOk;
}

int MouseCore::WriteSettings(int p, int v) {
  if (p < 0 || p > kMaxSettingsProfile) return protocol::kNotWritten;
  if (channel_.SuppressIo()) return protocol::kNoReply;
  MouseSettingsOut out;
  out.first = uint8_t(v);
  out.light = profile_.GetLightInfo();
  out.system = profile_.GetSystemSettings();
  out.stages = profile_.GetDpiStages();
  out.activeStage = uint8_t(profile_.GetActiveStage());
  const MouseSettingsBytes block = EncodeMouseSettings(out);
  const bool open = channel_.IsOpen();
  if (open) {
    if (!LinkUp()) return protocol::kNoReply;
    channel_.BeginTransfer();
  }
  const int result = Step([&] { return channel_.WriteSettings(block, uint16_t(p * kMouseProfileStride)); });
  if (open) Step([&] { return channel_.EndTransfer(); });
  return result;
}

void MouseCore::OnProfileSwitch(uint16_t value) {
  if (!channel_.IsOpen()) return;
  const int high = value >> 8;
  if (high != 0x10 && high != 0x11) return;
  onboardProfile_ = uint8_t(value & 0x0F);
  settingsImage_[mouseblock::kFirst] = onboardProfile_;
  if (high == 0x11) settingsImage_[mouseblock::kActiveStage] = uint8_t((value >> 4) & 0x0F);
}

// ---- keys and macros -----------------------------------------------------------------

std::vector<int> MouseCore::CollectUsedMacros() const {
  // Once the positions are known only the buttons the key map carries count:
  // the image's entries must follow the key map's renumbering.
  return CollectKeyMacros(keys_, int(Macros().size()), [this](size_t b) {
    return !KeyMapRead() || (b < positions_.size() && positions_[b] != kNoPosition);
  });
}

bool MouseCore::RepairMacroKeys() {
  const bool changed = RepairKeyMacros(keys_, int(Macros().size()));
  if (changed) profile_.SetKeyList(keys_);
  return changed;
}

int MouseCore::WriteMacros(std::span<const int> macros) {
  if (!channel_.IsOpen() || channel_.SuppressIo() || !LinkUp()) return protocol::kNotWritten;
  protocol::DeviceInfoBlock info;
  if (channel_.ReadInfoBlock(info.raw) != protocol::kOk) return protocol::kNotWritten;
  info_ = info;
  infoRead_ = true;
  const MacroImage built = BuildMacroImage(macroFolder_, Macros(), macros, info_.MacroMemoryBytes());
  if (built.result != 0 || built.image.empty()) return built.result;
  if (Step([&] { return channel_.BeginTransfer(); }) != protocol::kOk) return protocol::kNotWritten;
  const int written = Step([&] { return channel_.WriteMacroImage(built.image); });
  Step([&] { return channel_.EndTransfer(); });
  return written == protocol::kOk ? 0 : protocol::kNotWritten;
}

int MouseCore::WriteKeyMap(int page, std::span<const profiles::KeyAssignment> keys) {
  if (channel_.SuppressIo() || (channel_.ReceiverMode() && !LinkUp())) return protocol::kNoReply;
  // The map is built on the one last read: without it the positions are
  // unknown and a map of zeros would clear the mouse's buttons.
  if (keyMapImage_.empty()) return protocol::kNoReply;
  const bool open = channel_.IsOpen();
  if (open) {
    protocol::DeviceInfoBlock info;
    if (Step([&] { return channel_.ReadInfoBlock(info.raw); }) == protocol::kOk) info_ = info;
  }
  std::vector<protocol::KeyMapAssignment> list;
  for (size_t b = 0; b < keys.size() && b < size_t(kMouseButtons); ++b) {
    if (positions_[b] == kNoPosition) continue;
    list.push_back({positions_[b], Bytes(keys[b].assignment), Bytes(keys[b].defaultAssignment)});
  }
  const protocol::BuiltKeyMap built = protocol::BuildKeyMap(keyMapImage_, list, int(Macros().size()));
  if (open) Step([&] { return channel_.BeginTransfer(); });
  const int result = Step([&] { return channel_.WriteKeyMap(built.keyMap, page); });
  if (open) Step([&] { return channel_.EndTransfer(); });
  if (result == protocol::kOk) keyMapImage_ = built.keyMap;
  return result;
}

int MouseCore::WriteRecoil(const std::filesystem::path& folder) {
  if (channel_.SuppressIo() || (channel_.ReceiverMode() && !LinkUp())) return protocol::kNoReply;
  protocol::DeviceInfoBlock info;
  if (channel_.ReadInfoBlock(info.raw) == protocol::kOk) info_ = info;
  std::vector<std::vector<protocol::PackedMacroEvent>> entries;
  for (int i = 0; i < kRecoilEntries; ++i) {
    const auto file = folder / ("ShootData_" + std::to_string(i) + ".Shoot");
    entries.push_back(LoadEventFile(file).value_or(std::vector<protocol::PackedMacroEvent>{}));
  }
  const std::vector<uint8_t> image = protocol::BuildEventImage(entries);
  if (image.empty()) return protocol::kNotWritten;
  Step([&] { return channel_.BeginTransfer(); });
  const int result = Step([&] { return channel_.WriteRecoilImage(image); });
  Step([&] { return channel_.EndTransfer(); });
  return result;
}

MouseApplyResult MouseCore::ApplyProfile() {
  MouseApplyResult r;
  RepairMacroKeys();
  r.settings = WriteSettings(0, 0);
  const std::vector<int> used = CollectUsedMacros();
  r.macros = WriteMacros(used);
  r.keys = WriteKeysFromProfile(0);
  return r;
}

}  // namespace devices
