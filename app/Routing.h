#pragma once
// How the main window dispatches the UI library's notifications: tables of
// rows {type, control name or numbered family, case rule, handler}. A name
// that ends in decimal digits is split into a prefix and an index ("key_12"
// gives "key_" and 12); a family row matches the prefix only when digits
// follow it ("key_" alone matches no family). Names compare case-insensitively
// unless the row asks for exact case. Each subsystem keeps its rows in a table
// of its own file; `RouteTables()` lists the tables in the order they are
// searched, and the first matching row handles the notification.

#include <span>
#include <string_view>

#include <QString>

namespace ui {
struct TNotifyUI;
}

namespace app {

class CMainWnd;

enum class Match : unsigned char {
  Name,           // the whole name, any letter case
  NameExactCase,  // the whole name, letter case as written
  Family,         // prefix + decimal index, any letter case
  FamilyExactCase,
};

// `index` is the family index, or -1 for a whole-name row.
using RouteHandler = void (*)(CMainWnd& wnd, ui::TNotifyUI& msg, int index);

struct Route {
  std::string_view type;  // notification type, e.g. "click"
  std::string_view name;  // control name, or a family's prefix ("key_")
  Match match;
  RouteHandler handler;
};

// The notification types the tables route.
namespace route {
inline constexpr std::string_view kClick = "click";
inline constexpr std::string_view kSelect = "selectchanged";
inline constexpr std::string_view kValue = "valuechanged";
inline constexpr std::string_view kMove = "movevaluechanged";
inline constexpr std::string_view kItem = "itemselect";
inline constexpr std::string_view kKillFocus = "killfocus";
}  // namespace route

// The sender is an option (or check box) that is selected now: group options
// tell both the one that became selected and the one that was left.
bool SenderSelected(const ui::TNotifyUI& msg);

// A control name split into the prefix and the decimal index at its end
// (index -1 when the name does not end in digits or the index overflows).
struct SplitName {
  QString prefix;
  int index = -1;
};
SplitName SplitControlName(const QString& name);

// The first row of `table` that matches (type, name), or null.
const Route* FindRoute(std::span<const Route> table, const QString& type, const QString& name);

// The main window's own rows and the profile panel's (RoutesMain.cpp).
std::span<const Route> MainRoutes();
// The mouse page's and the key assignment editor's rows (RoutesMouse.cpp).
std::span<const Route> MouseRoutes();
std::span<const Route> LightRoutes();  // the lighting editor's rows (RoutesLight.cpp)
// The keyboard page's rows (RoutesKeyboard.cpp).
std::span<const Route> KeyboardRoutes();
// The macro editor's rows (RoutesMacro.cpp).
std::span<const Route> MacroRoutes();

// Every routing table of the program, in search order.
std::span<const std::span<const Route>> RouteTables();

// The music lighting rows (RoutesMusic.cpp).
std::span<const Route> MusicRoutes();
// The headset panels' rows (RoutesHeadset.cpp).
std::span<const Route> HeadsetRoutes();
// The recoil editor's rows (RoutesRecoil.cpp).
std::span<const Route> RecoilRoutes();
// The synchronised lighting row (RoutesSync.cpp).
std::span<const Route> SyncRoutes();

// Runs the first matching row of all tables; false when no row matched.
bool Dispatch(CMainWnd& wnd, ui::TNotifyUI& msg);

}  // namespace app
