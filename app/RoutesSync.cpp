// The synchronised lighting row: the lighting editor's same-mode button.

#include "app/MainWnd.h"
#include "app/Routing.h"

namespace app {
namespace {

void SameMode(CMainWnd& wnd, ui::TNotifyUI&, int) { wnd.StartSyncLighting(); }

constexpr Route kRows[] = {
    Route{route::kClick, "deng_same_mode", Match::Name, SameMode},
};

}  // namespace

std::span<const Route> SyncRoutes() { return kRows; }

}  // namespace app
