#include "recoil/RecoilFiles.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "macros/MacroEvent.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace recoil {
namespace {

namespace json = profiles::json;

// Event types of a shot (the macro event types of a left button and the two
// move axes).
constexpr int kButtonType = 1;
constexpr int kMoveXType = 4;
constexpr int kMoveYType = 5;
constexpr int kLeftButton = 1;
constexpr int kPressDelay = 10;
constexpr int kMoveXDelay = 5;

// Offsets of the events inside a shot.
constexpr int kPress = 0;
constexpr int kRelease = 1;
constexpr int kMoveX = 2;
constexpr int kMoveY = 3;
constexpr int kZeroX = 4;
constexpr int kZeroY = 5;

const char* Direction(bool set) { return set ? "down" : "up"; }

bool IsDown(const Json::Value& event) {
  std::string action = json::ToText(json::Member(event, "Action"));
  std::transform(action.begin(), action.end(), action.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return action == "down";
}

Json::Value Event(int type, const char* action, int button, int delay) {
  Json::Value e(Json::objectValue);
  e["Type"] = type;
  e["Action"] = action;
  e["Button"] = button;
  e["Delay"] = delay;
  return e;
}

int Limit(int value, int high) { return std::clamp(value, 0, high); }

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

bool IsObjectFile(const std::filesystem::path& path) { return profiles::LoadJsonFile(path).isObject(); }

}  // namespace

std::string ShootFileName(int weapon) { return "ShootData_" + std::to_string(weapon) + ".Shoot"; }

bool IsRecoilDocument(const Json::Value& document) {
  return document.isObject() && document.isMember("Events") && document["Events"].isArray();
}

ShotRecord ReadShot(const Json::Value& document, int shot) {
  const Json::Value& events = json::Member(document, "Events");
  const Json::Value& x = json::Element(events, size_t(shot * kEventsPerShot + kMoveX));
  const Json::Value& y = json::Element(events, size_t(shot * kEventsPerShot + kMoveY));
  ShotRecord r;
  r.x = json::ToInt(json::Member(x, "Button"));
  r.left = IsDown(x);
  r.y = json::ToInt(json::Member(y, "Button"));
  r.up = IsDown(y);
  r.delay = macros::DelayOf(json::Member(y, "Delay"));
  return r;
}

void WriteShot(Json::Value& document, int shot, const ShotRecord& record) {
  Json::Value& events = json::ObjectMember(document, "Events");
  const int x = Limit(record.x, kMaxDistance);
  const int y = Limit(record.y, kMaxDistance);
  const int delay = Limit(record.delay, kMaxDelay);
  const char* horizontal = Direction(record.left);
  const char* vertical = Direction(record.up);
  const size_t first = size_t(shot * kEventsPerShot);
  json::ArrayElement(events, first + kPress) = Event(kButtonType, "down", kLeftButton, kPressDelay);
  json::ArrayElement(events, first + kRelease) = Event(kButtonType, "up", kLeftButton, 0);
  json::ArrayElement(events, first + kMoveX) = Event(kMoveXType, horizontal, x, kMoveXDelay);
  json::ArrayElement(events, first + kMoveY) = Event(kMoveYType, vertical, y, delay);
  json::ArrayElement(events, first + kZeroX) = Event(kMoveXType, horizontal, 0, 0);
  json::ArrayElement(events, first + kZeroY) = Event(kMoveYType, vertical, 0, 0);
}

void RecoilFiles::SetFolders(std::filesystem::path working, std::filesystem::path factory) {
  working_ = std::move(working);
  factory_ = std::move(factory);
}

std::filesystem::path RecoilFiles::WorkingFile(int weapon) const { return working_ / ShootFileName(weapon); }
std::filesystem::path RecoilFiles::FactoryFile(int weapon) const { return factory_ / ShootFileName(weapon); }

void RecoilFiles::Start() {
  std::error_code ec;
  std::filesystem::create_directories(working_, ec);
  // A parsed file that is no object cannot hold "Events": its shots could be
  // neither shown nor saved, so it is replaced as an unreadable one is.
  for (int w = 0; w < kWeapons; ++w)
    if (!IsObjectFile(WorkingFile(w))) Reset(w);
}

ShotRecord RecoilFiles::Show(int weapon, int shot) const {
  return ReadShot(profiles::LoadJsonFile(WorkingFile(weapon)), shot);
}

bool RecoilFiles::Save(int weapon, int shot, const ShotRecord& record) {
  Json::Value document = profiles::LoadJsonFile(WorkingFile(weapon));
  WriteShot(document, shot, record);
  return profiles::SaveJsonFile(WorkingFile(weapon), document) == 0;
}

bool RecoilFiles::Reset(int weapon) {
  const std::optional<std::string> factory = ReadBytes(FactoryFile(weapon));
  return platform::WriteFileAtomic(WorkingFile(weapon), factory.value_or(std::string()));
}

bool RecoilFiles::Import(int weapon, const std::filesystem::path& from) {
  const std::optional<std::string> bytes = ReadBytes(from);
  if (!bytes || !IsRecoilDocument(profiles::LoadJsonFile(from))) {
    Trace("recoil import refused, not a recoil file: " + from.string());
    return false;
  }
  return platform::WriteFileAtomic(WorkingFile(weapon), *bytes);
}

bool RecoilFiles::Export(int weapon, const std::filesystem::path& to) const {
  const std::optional<std::string> bytes = ReadBytes(WorkingFile(weapon));
  return bytes && platform::WriteFileAtomic(to, *bytes);
}

}  // namespace recoil
