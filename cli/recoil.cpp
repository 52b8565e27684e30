// vx27ctl recoil-show <folder> <w> <n>
// vx27ctl recoil-set <folder> <w> <n> <x> <y> <delay> <left 0|1> <up 0|1>
// vx27ctl recoil-reset <folder> <w>
// vx27ctl recoil-import <folder> <w> <file>
// vx27ctl recoil-export <folder> <w> <file>
// The recoil editor's files without the program: each command starts the
// editor's model on <folder> (a mouse profile folder; unusable working copies
// get the factory copies of the install folder's DefaultData), then selects
// weapon <w> and shot <n> as the editor does (limited to 0..3 and 0..29).
// show and set print "weapon <w> shot <n> x <x> y <y> delay <d> left <0|1>
// up <0|1>" as the file holds the shot afterwards (set limits distances to
// 0..255 and the delay to 0..65535); the others print "result <0|1>".

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "profiles/ProfileFolders.h"
#include "recoil/RecoilFiles.h"

namespace cli {
namespace {

std::optional<int> Integer(const std::string& text) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end) return std::nullopt;
  return int(std::clamp<long>(n, -1000000, 1000000));
}

// The editor's model on the folder, started; the weapon limited as the
// editor limits it.
struct Editor {
  recoil::RecoilFiles files;
  int weapon = 0;
};

int Usage(const char* usage) {
  std::fprintf(stderr, "usage: vx27ctl %s\n", usage);
  return 2;
}

std::optional<Editor> Start(const std::vector<std::string>& args, size_t count, const char* usage) {
  std::optional<int> weapon;
  if (args.size() == count) weapon = Integer(args[1]);
  if (!weapon) {
    Usage(usage);
    return std::nullopt;
  }
  Editor e;
  e.files.SetFolders(args[0], profiles::DefaultDataFolder());
  e.files.Start();
  e.weapon = std::clamp(*weapon, 0, recoil::kWeapons - 1);
  return e;
}

int PrintShot(const Editor& e, int shot) {
  const recoil::ShotRecord r = e.files.Show(e.weapon, shot);
  std::printf("weapon %d shot %d x %d y %d delay %d left %d up %d\n", e.weapon, shot, r.x, r.y, r.delay,
              int(r.left), int(r.up));
  return 0;
}

int Result(bool ok) {
  std::printf("result %d\n", int(ok));
  return ok ? 0 : 1;
}

int Shot(const std::string& text) { return std::clamp(*Integer(text), 0, recoil::kShots - 1); }

constexpr const char* kShow = "recoil-show <folder> <w> <n>";
constexpr const char* kSet = "recoil-set <folder> <w> <n> <x> <y> <delay> <left 0|1> <up 0|1>";
constexpr const char* kReset = "recoil-reset <folder> <w>";
constexpr const char* kImport = "recoil-import <folder> <w> <file>";
constexpr const char* kExport = "recoil-export <folder> <w> <file>";

int Show(const std::vector<std::string>& args) {
  if (args.size() != 3 || !Integer(args[2])) return Usage(kShow);
  const std::optional<Editor> e = Start(args, 3, kShow);
  return e ? PrintShot(*e, Shot(args[2])) : 2;
}

int Set(const std::vector<std::string>& args) {
  std::vector<int> v;
  for (size_t i = 2; i < args.size(); ++i)
    if (const auto n = Integer(args[i])) v.push_back(*n);
  const bool flags = v.size() == 6 && (v[4] == 0 || v[4] == 1) && (v[5] == 0 || v[5] == 1);
  if (args.size() != 8 || !flags) return Usage(kSet);
  std::optional<Editor> e = Start(args, 8, kSet);
  if (!e) return 2;
  const int shot = std::clamp(v[0], 0, recoil::kShots - 1);
  if (!e->files.Save(e->weapon, shot, {v[1], v[2], v[3], v[4] == 1, v[5] == 1})) return Result(false);
  return PrintShot(*e, shot);
}

int Reset(const std::vector<std::string>& args) {
  std::optional<Editor> e = Start(args, 2, kReset);
  return e ? Result(e->files.Reset(e->weapon)) : 2;
}

int Import(const std::vector<std::string>& args) {
  std::optional<Editor> e = Start(args, 3, kImport);
  return e ? Result(e->files.Import(e->weapon, args[2])) : 2;
}

int Export(const std::vector<std::string>& args) {
  const std::optional<Editor> e = Start(args, 3, kExport);
  return e ? Result(e->files.Export(e->weapon, args[2])) : 2;
}

VX27_CLI_COMMAND(Command{"recoil-show", "<folder> <w> <n>", "show a shot of a weapon's recoil table", Show});
VX27_CLI_COMMAND(Command{"recoil-set", "<folder> <w> <n> <x> <y> <delay> <left> <up>",
                         "set a shot of a weapon's recoil table", Set});
VX27_CLI_COMMAND(Command{"recoil-reset", "<folder> <w>", "a weapon's recoil table back to the factory one", Reset});
VX27_CLI_COMMAND(Command{"recoil-import", "<folder> <w> <file>", "a recoil file as a weapon's table", Import});
VX27_CLI_COMMAND(Command{"recoil-export", "<folder> <w> <file>", "a weapon's recoil table to a file", Export});

}  // namespace
}  // namespace cli
