// The macro editor's rows of the main window's routing: every notification
// of a macro panel goes to the editor it came from, and the questions and
// messages of the flows are asked here, with the main window's message box.

#include <QFileDialog>

#include "app/MacroCapture.h"
#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/Routing.h"
#include "devices/CGesterinUSBDevice.h"
#include "macros/MacroLibrary.h"
#include "macros/editor/CMacroControlUI.h"

namespace app {

namespace {

using macros::editor::CMacroControlUI;

constexpr const char* kMacroFilter = "Macro Files(*.mac)";

bool Ask(CMainWnd& wnd, const char* textId) {
  return ShowMessage(wnd.GetHWND(), QString(), QString::fromLatin1(textId), wnd.Dpi(), true, 1) == 1;
}
void Tell(CMainWnd& wnd, const char* textId) {
  ShowMessage(wnd.GetHWND(), QString(), QString::fromLatin1(textId), wnd.Dpi());
}

CMacroControlUI* Editor(ui::TNotifyUI& msg) { return MacroEditorOf(msg.pSender); }

void SaveShown(CMainWnd& wnd, CMacroControlUI& editor) {
  bool truncated = false;
  editor.Save(&truncated);
  if (truncated) Tell(wnd, "message_text_26_1");
}

void Download(CMacroControlUI& editor) {
  if (devices::CGesterinUSBDevice* device = DeviceOf(&editor)) device->WriteKeysFromProfile(0);
}

void Catalogues(CMacroControlUI& editor) {
  if (devices::CGesterinUSBDevice* device = DeviceOf(&editor)) device->LoadCatalogues();
}

void OnSelectMacro(CMainWnd&, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) e->SelectMacro();
}

void OnAdd(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  CMacroControlUI* e = Editor(msg);
  if (!e || !Ask(wnd, "message_text_29")) return;
  if (e->AddMacro().empty()) Tell(wnd, "message_text_33");
  else Catalogues(*e);
}

void OnDelete(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  CMacroControlUI* e = Editor(msg);
  devices::CGesterinUSBDevice* device = DeviceOf(e);
  if (!e || !e->Library()) return;
  const std::filesystem::path current = device ? device->GetProfilePath() : std::string();
  std::vector<std::filesystem::path> others;
  for (const auto& file : macros::ProfileFiles(e->Library()->Folder()))
    if (file != current) others.push_back(file);
  bool currentChanged = false;
  const int removed =
      e->DeleteMacro([&wnd](const char* id) { return Ask(wnd, id); }, current, others, &currentChanged);
  if (removed < 0) return;
  Catalogues(*e);
  if (currentChanged && device) {
    // The current profile's file was renumbered: the device reads it again,
    // so the keys it sends (and any later save) carry the new numbers.
    device->LoadProfile();
    device->WriteKeysFromProfile(0);
  }
}

void OnRename(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  CMacroControlUI* e = Editor(msg);
  if (!e) return;
  const std::u16string result = e->RenameMacro();
  if (result == macros::kIsEmpty) return;
  if (result.empty()) {
    Tell(wnd, "message_text_5");
    return;
  }
  Catalogues(*e);
  Download(*e);
}

void OnImport(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  CMacroControlUI* e = Editor(msg);
  if (!e) return;
  const QString path = QFileDialog::getOpenFileName(wnd.GetHWND(), QString(), QString(),
                                                    QString::fromLatin1(kMacroFilter));
  if (path.isEmpty()) return;
  if (e->ImportMacro(path.toStdString()).empty()) Tell(wnd, "message_text_33");
  else Catalogues(*e);
}

void OnExport(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  CMacroControlUI* e = Editor(msg);
  if (!e || e->SelectedMacro() < 0) return;
  const QString path = QFileDialog::getSaveFileName(wnd.GetHWND(), QString(), QString(),
                                                    QString::fromLatin1(kMacroFilter));
  if (!path.isEmpty()) e->ExportMacro(path.toStdString());
}

void OnSave(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) SaveShown(wnd, *e);
}

void OnCancel(CMainWnd&, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) e->SelectMacro();
}

template <macros::MoveKind kind>
void OnMove(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) {
    e->MoveAction(kind);
    SaveShown(wnd, *e);
  }
}

void OnDeleteAction(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) {
    e->DeleteAction();
    SaveShown(wnd, *e);
    Download(*e);
  }
}

void OnDeleteAll(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) {
    e->DeleteAllActions();
    SaveShown(wnd, *e);
    Download(*e);
  }
}

template <macros::MouseInsert what>
void OnInsertMove(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) {
    e->InsertMouseAction(what, true);
    SaveShown(wnd, *e);
  }
}

void OnDelayLeft(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) {
    e->DelayEdited(msg.pSender);
    SaveShown(wnd, *e);
  }
}

void OnActionMenu(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg)) wnd.Macros().OpenActionMenu(*e);
}

void OnRecord(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  if (CMacroControlUI* e = Editor(msg))
    wnd.Macros().StartRecording(*e, e->IsConstantTime() ? macros::kConstantTime : macros::kRecordTime,
                                macros::Placement::Append);
}

void OnStop(CMainWnd& wnd, ui::TNotifyUI&, int) { wnd.Macros().StopRecording(true); }

// Another device page chosen while recording ends the recording.
void OnDeviceSelect(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (wnd.Macros().Recording()) wnd.Macros().StopRecording(false);
}

constexpr Route kMacroRoutes[] = {
    {"itemselect", "macro_name_list", Match::Name, OnSelectMacro},
    {"click", "macro_btn_name_add", Match::Name, OnAdd},
    {"click", "macro_btn_name_sub", Match::Name, OnDelete},
    {"click", "macro_btn_name_edit", Match::Name, OnRename},
    {"click", "macro_btn_import", Match::Name, OnImport},
    {"click", "macro_btn_export", Match::Name, OnExport},
    {"click", "macro_btn_save", Match::Name, OnSave},
    {"click", "macro_btn_cancel", Match::Name, OnCancel},
    {"click", "macro_btn_up", Match::Name, OnMove<macros::MoveKind::Up>},
    {"click", "macro_btn_down", Match::Name, OnMove<macros::MoveKind::Down>},
    {"click", "macro_btn_uptop", Match::Name, OnMove<macros::MoveKind::Top>},
    {"click", "macro_btn_downbottom", Match::Name, OnMove<macros::MoveKind::Bottom>},
    {"click", "macro_btn_delete", Match::Name, OnDeleteAction},
    {"click", "macro_btn_deleteall", Match::Name, OnDeleteAll},
    {"click", "macro_inset_moveleftkey_btn", Match::NameExactCase, OnInsertMove<macros::MouseInsert::MoveLeft>},
    {"click", "macro_inset_moverightkey_btn", Match::NameExactCase, OnInsertMove<macros::MouseInsert::MoveRight>},
    {"click", "macro_inset_moveupkey_btn", Match::NameExactCase, OnInsertMove<macros::MouseInsert::MoveUp>},
    {"click", "macro_inset_movedownkey_btn", Match::NameExactCase, OnInsertMove<macros::MouseInsert::MoveDown>},
    {"killfocus", "macro_delay", Match::Name, OnDelayLeft},
    {"itemactivate", "macro_action", Match::Name, OnActionMenu},
    {"click", "macro_btn_starredio", Match::Name, OnRecord},
    {"click", "macro_btn_stopredio", Match::Name, OnStop},
    {"selectchanged", "device_select", Match::Name, OnDeviceSelect},
};

}  // namespace

std::span<const Route> MacroRoutes() { return kMacroRoutes; }

}  // namespace app
