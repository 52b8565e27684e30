// The recoil editor's rows: weapon and shot options, the shot's edits and
// direction options, and the four buttons. They act only while a mouse is
// the selected device; on any other page they do nothing.

#include <array>

#include "app/Dialogs.h"
#include "app/MainWnd.h"
#include "app/Routing.h"
#include "devices/MouseDevice.h"

namespace app {
namespace {

using namespace route;
using recoil::editor::CShootControlUI;

devices::CGesterinMouseDevice* Mouse(CMainWnd& wnd) {
  return qobject_cast<devices::CGesterinMouseDevice*>(wnd.SelectedDevice());
}

CShootControlUI* Editor(CMainWnd& wnd) {
  auto* mouse = Mouse(wnd);
  return mouse ? mouse->RecoilEditor() : nullptr;
}

void Weapon(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  CShootControlUI* e = Editor(wnd);
  if (!e || !SenderSelected(msg)) return;
  e->SelectWeapon(index);
  e->ShowShot();
}

void Shot(CMainWnd& wnd, ui::TNotifyUI& msg, int index) {
  if (CShootControlUI* e = Editor(wnd); e && SenderSelected(msg)) e->SelectShot(index);
}

void PreviousShot(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (CShootControlUI* e = Editor(wnd)) e->SelectShot(e->CurrentShot() - 1);
}

void NextShot(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (CShootControlUI* e = Editor(wnd)) e->SelectShot(e->CurrentShot() + 1);
}

void EditLeft(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (CShootControlUI* e = Editor(wnd)) e->SaveShot();
}

void Direction(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (CShootControlUI* e = Editor(wnd)) e->ShowDirectionTexts();
}

void Reset(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (CShootControlUI* e = Editor(wnd)) e->ResetWeapon(e->CurrentWeapon());
}

void Import(CMainWnd& wnd, ui::TNotifyUI&, int) {
  CShootControlUI* e = Editor(wnd);
  QString path;
  if (!e || !wnd.Dialogs().AskOpenPath(wnd.GetHWND(), FileKind::Shoot, &path)) return;
  path = CheckedOpenPath(path);
  if (!path.isEmpty()) e->ImportWeapon(path.toStdString());
}

void Export(CMainWnd& wnd, ui::TNotifyUI&, int) {
  CShootControlUI* e = Editor(wnd);
  QString path;
  if (!e || !wnd.Dialogs().AskSavePath(wnd.GetHWND(), FileKind::Shoot, &path)) return;
  path = CheckedSavePath(path, FileKind::Shoot);
  if (!path.isEmpty()) e->ExportWeapon(path.toStdString());
}

// The four working copies as the mouse's recoil image, with the edit still
// being typed in.
void SendToMouse(CMainWnd& wnd, ui::TNotifyUI&, int) {
  auto* mouse = Mouse(wnd);
  if (!mouse) return;
  if (CShootControlUI* e = mouse->RecoilEditor()) e->CommitEdit();
  mouse->WriteRecoilToDevice();
}

constexpr std::array kRows{
    Route{kSelect, "shoot_gun_op_", Match::Family, Weapon},
    Route{kSelect, "bullet_op_", Match::Family, Shot},
    Route{kClick, "bullet_selected_prev", Match::Name, PreviousShot},
    Route{kClick, "bullet_selected_next", Match::Name, NextShot},
    Route{kKillFocus, "bullet_x_eidt", Match::Name, EditLeft},
    Route{kKillFocus, "bullet_y_eidt", Match::Name, EditLeft},
    Route{kKillFocus, "bullet_delay_eidt", Match::Name, EditLeft},
    Route{kSelect, "bullet_x_check", Match::Name, Direction},
    Route{kSelect, "bullet_y_check", Match::Name, Direction},
    Route{kClick, "shootdate_reset_btn", Match::Name, Reset},
    Route{kClick, "shootdate_import_btn", Match::Name, Import},
    Route{kClick, "shootdate_export_btn", Match::Name, Export},
    Route{kClick, "shootdate_save_btn", Match::Name, SendToMouse},
};

}  // namespace

std::span<const Route> RecoilRoutes() { return kRows; }

}  // namespace app
