#pragma once
// The recoil tables of a mouse: four weapons, one file each
// ("ShootData_<w>.Shoot"), 30 shots per weapon. A file is a JSON object whose
// "Events" array holds six macro events per shot, shot n at elements 6n to
// 6n + 5: left press (10 ms), left release, the horizontal move (5 ms), the
// vertical move followed by the shot delay, and a zero move on each axis.
// Members other than "Events" are kept as they are.
//
// RecoilFiles is the editor's model: the working copies live in the mouse's
// profile folder, the factory copies in the default data folder. Reset,
// import and export copy whole files byte for byte.

#include <filesystem>
#include <string>

#include <json/json.h>

namespace recoil {

inline constexpr int kWeapons = 4;
inline constexpr int kShots = 30;
inline constexpr int kEventsPerShot = 6;
// What one byte (distances) and one 16-bit word (delay) carry to the mouse.
inline constexpr int kMaxDistance = 255;
inline constexpr int kMaxDelay = 65535;

// One shot: distances x (horizontal) and y (vertical), the delay before the
// next shot, and the directions (left flag: move left, else right; up flag:
// move up, else down).
struct ShotRecord {
  int x = 0;
  int y = 0;
  int delay = 0;
  bool left = false;
  bool up = false;
  bool operator==(const ShotRecord&) const = default;
};

// "ShootData_2.Shoot" for weapon 2.
std::string ShootFileName(int weapon);
// A document the editor can use: a JSON object with an "Events" array.
bool IsRecoilDocument(const Json::Value& document);

// The shot as the file holds it; missing events or members read as 0.
ShotRecord ReadShot(const Json::Value& document, int shot);
// Replaces the shot's six events (the array grows to hold them); the values
// are limited to what the mouse carries.
void WriteShot(Json::Value& document, int shot, const ShotRecord& record);

class RecoilFiles {
 public:
  void SetFolders(std::filesystem::path working, std::filesystem::path factory);
  std::filesystem::path WorkingFile(int weapon) const;
  std::filesystem::path FactoryFile(int weapon) const;

  // Every weapon whose working copy is missing, does not parse or is not a
  // JSON object gets the factory copy.
  void Start();
  ShotRecord Show(int weapon, int shot) const;
  // False when the file could not be written.
  bool Save(int weapon, int shot, const ShotRecord& record);
  // The factory copy over the working copy; a missing factory copy leaves an
  // empty working copy. False when the working copy could not be written.
  bool Reset(int weapon);
  // The chosen file over the working copy, when it is a recoil document;
  // anything else keeps the working copy (traced) and gives false.
  bool Import(int weapon, const std::filesystem::path& from);
  // The working copy to `to`; false when it could not be read or written.
  bool Export(int weapon, const std::filesystem::path& to) const;

 private:
  std::filesystem::path working_;
  std::filesystem::path factory_;
};

}  // namespace recoil
