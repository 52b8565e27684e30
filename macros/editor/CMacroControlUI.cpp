#include "macros/editor/CMacroControlUI.h"

#include <QDateTime>
#include <QElapsedTimer>

#include "macros/HookRecords.h"
#include "profiles/JsonFile.h"
#include "profiles/Text.h"

namespace macros::editor {

namespace {

constexpr int kRowHeight = 30;
constexpr int kDelayEditHeight = 25;
constexpr uint32_t kDelayEditColour = 0xFF444444;

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string U(const QString& text) { return text.toStdU16String(); }

// A millisecond tick of the system, as the recorder's clock.
uint32_t SystemTick() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return uint32_t(clock.elapsed());
}

// A control and everything inside it take mouse input, or let it through.
void SetMouseTree(ui::CControlUI* control, bool on) {
  control->SetMouseEnabled(on);
  for (auto* child : control->findChildren<ui::CControlUI*>()) child->SetMouseEnabled(on);
}

}  // namespace

CMacroControlUI::CMacroControlUI() : recorder_(rows_, SystemTick) {
  rows_.SetListener([this](MacroRows::Change change, int row) { OnRowsChanged(change, row); });
  recorder_.onPlaced = [this] {
    if (GetManager()) GetManager()->SetTimer(this, kScrollTimer, 50);
  };
}

CMacroControlUI::~CMacroControlUI() { rows_.SetListener({}); }

bool CMacroControlUI::IsClass(const QString& className) const {
  // Both the class string and the layout's class name.
  return className == QLatin1String("MacroControlUI") || className == QLatin1String("MacroControl") ||
         CHorizontalLayoutUI::IsClass(className);
}

void CMacroControlUI::DoEvent(ui::TEventUI& event) {
  if (event.Type == ui::UIEVENT_TIMER && event.wParam == kScrollTimer) {
    GetManager()->KillTimer(this, kScrollTimer);
    if (auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list")))
      if (rows_.Selected() >= 0) list->EnsureVisible(rows_.Selected());
    return;
  }
  CHorizontalLayoutUI::DoEvent(event);
}

ui::CControlUI* CMacroControlUI::Find(const char* name) const {
  return FindSubControl(QString::fromLatin1(name));
}

void CMacroControlUI::ApplyStyle(ui::CControlUI* control, const char* style) {
  control->ApplyAttributeList(ui::CPaintManagerUI::FindStyle(GetManager(), QString::fromLatin1(style)));
}

void CMacroControlUI::SetFolder(const std::filesystem::path& folder) { folder_ = folder; }

void CMacroControlUI::AddNameRow(const MacroEntry& entry, int at) {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list"));
  if (!list) return;
  auto* row = new ui::CListLabelElementUI;  // owned by the list
  row->SetFixedHeight(kRowHeight);
  row->SetResourceText(false);
  row->SetText(Q(entry.name));
  row->SetToolTip(Q(entry.name));
  row->SetUserData(Q(entry.guid));
  if (at < 0) list->Add(row);
  else list->AddAt(row, at);
}

void CMacroControlUI::LoadList() {
  library_ = std::make_unique<MacroLibrary>(folder_);
  initialNames_.clear();
  if (auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list"))) list->RemoveAll();
  for (const MacroEntry& e : library_->Entries()) {
    AddNameRow(e, -1);
    initialNames_.push_back(e.name);
  }
  rows_.Clear();
  SetMacroControlsEnabled(false);
}

int CMacroControlUI::SelectedMacro() const {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list"));
  return list ? list->GetCurSel() : -1;
}

void CMacroControlUI::SetMacroControlsEnabled(bool enabled) {
  for (const char* name : {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                           "macro_btn_name_sub", "macro_btn_name_edit"})
    if (ui::CControlUI* c = Find(name)) c->SetEnabled(enabled);
}

void CMacroControlUI::SelectMacro() {
  const int selected = SelectedMacro();
  ui::CControlUI* nameEdit = Find("macro_edit_macroname");
  if (selected < 0 || !library_ || selected >= library_->Count()) {
    if (nameEdit) nameEdit->SetText(QString());
    rows_.Clear();
    return;
  }
  const MacroEntry& entry = library_->Entries()[size_t(selected)];
  if (entry.guid.empty()) return;
  SetMacroControlsEnabled(true);
  rows_.Reset(library_->LoadEvents(selected));
  if (nameEdit) nameEdit->SetText(Q(entry.name));
}

std::u16string CMacroControlUI::ShowAdded(std::u16string name) {
  if (name.empty()) return name;
  AddNameRow(library_->Entries().back(), -1);
  if (auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list")))
    list->SelectItem(library_->Count() - 1, false, false);
  SelectMacro();
  return name;
}

std::u16string CMacroControlUI::AddMacro() {
  return library_ ? ShowAdded(library_->AddMacro()) : std::u16string();
}

std::u16string CMacroControlUI::ImportMacro(const std::filesystem::path& file) {
  return library_ ? ShowAdded(library_->AddMacroFromFile(file)) : std::u16string();
}

bool CMacroControlUI::ExportMacro(const std::filesystem::path& target) {
  return library_ && library_->ExportMacro(SelectedMacro(), target);
}

std::u16string CMacroControlUI::RenameMacro() {
  const int selected = SelectedMacro();
  ui::CControlUI* nameEdit = Find("macro_edit_macroname");
  if (!library_ || selected < 0 || !nameEdit) return kIsEmpty;
  const std::u16string result = library_->RenameMacro(selected, U(nameEdit->GetText()));
  if (result.empty() || result == kIsEmpty) return result;
  nameEdit->SetText(Q(result));
  if (auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list")))
    if (ui::CControlUI* row = list->GetItemAt(selected)) {
      row->SetText(Q(result));
      row->SetToolTip(Q(result));
    }
  return result;
}

int CMacroControlUI::DeleteMacro(const AskUser& ask, const std::filesystem::path& currentProfile,
                                 const std::vector<std::filesystem::path>& otherProfiles,
                                 bool* currentChanged) {
  if (!library_) return -1;
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_name_list"));
  // The first question comes before the selection is looked at.
  bool first = true;
  const auto flowAsk = [&](const char* id) {
    if (first && !ask(id)) return false;
    if (first) {
      first = false;
      return SelectedMacro() >= 0 && list && list->GetCount() > 0;
    }
    return ask(id);
  };
  const int removed =
      DeleteMacroFlow(*library_, SelectedMacro(), currentProfile, otherProfiles, flowAsk, currentChanged);
  if (removed < 0) return -1;
  list->RemoveAt(removed);
  rows_.Clear();
  if (list->GetCount() > 0) {
    list->SelectItem(0, false, false);
    SelectMacro();
  } else {
    if (ui::CControlUI* nameEdit = Find("macro_edit_macroname")) nameEdit->SetText(QString());
    SetMacroControlsEnabled(false);
  }
  return removed;
}

void CMacroControlUI::SyncSelection() {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list"));
  if (list && list->GetCurSel() != rows_.Selected()) rows_.Select(list->GetCurSel());
}

void CMacroControlUI::SyncDelayTexts() {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list"));
  if (!list) return;
  for (int i = 0; i < list->GetCount() && i < rows_.Count(); ++i) {
    auto* row = qobject_cast<ui::CContainerUI*>(list->GetItemAt(i));
    ui::CControlUI* edit = row ? row->FindSubControl(QStringLiteral("macro_delay")) : nullptr;
    if (edit) rows_.SetDelayText(i, edit->GetText().toStdString());
  }
}

bool CMacroControlUI::Save(bool* truncated) {
  if (truncated) *truncated = false;
  const int selected = SelectedMacro();
  if (!library_ || selected < 0 || selected >= library_->Count() ||
      library_->Entries()[size_t(selected)].guid.empty())
    return false;
  SyncDelayTexts();
  return library_->SaveEvents(selected, rows_.CollectForSave(truncated)) == 0;
}

void CMacroControlUI::MoveAction(MoveKind kind) {
  SyncSelection();
  SyncDelayTexts();
  if (!rows_.Move(kind)) return;
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list"));
  if (!list) return;
  const int at = rows_.Selected();
  switch (kind) {
    case MoveKind::Up:
    case MoveKind::Down:
      list->EnsureVisible(at + 5 < rows_.Count() ? at + 5 : rows_.Count() - 1);
      break;
    case MoveKind::Top: list->EnsureVisible(0); break;
    case MoveKind::Bottom: list->EnsureVisible(rows_.Count() - 1); break;
  }
}

void CMacroControlUI::DeleteAction() {
  SyncSelection();
  SyncDelayTexts();
  rows_.RemoveSelected();
}

void CMacroControlUI::DeleteAllActions() { rows_.Clear(); }

void CMacroControlUI::InsertMouseAction(MouseInsert what, bool down) {
  SyncSelection();
  SyncDelayTexts();
  const char* edit = nullptr;
  switch (what) {
    case MouseInsert::MoveLeft: edit = "mouse_x_left_edit"; break;
    case MouseInsert::MoveRight: edit = "mouse_x_right_edit"; break;
    case MouseInsert::MoveUp: edit = "mouse_y_up_edit"; break;
    case MouseInsert::MoveDown: edit = "mouse_y_down_edit"; break;
    default: break;
  }
  int distance = 0;
  if (edit)
    if (ui::CControlUI* e = Find(edit)) distance = e->GetText().toInt();
  rows_.InsertMouseAction(what, down, distance, recorder_.FixedDelay());
  if (auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list")))
    list->EnsureVisible(rows_.Selected());
}

void CMacroControlUI::DelayEdited(ui::CControlUI* edit) {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list"));
  if (!list || !edit) return;
  for (ui::CControlUI* c = edit->GetParent(); c; c = c->GetParent()) {
    const int row = list->GetItemIndex(c);
    if (row >= 0) {
      rows_.SetDelayText(row, edit->GetText().toStdString());
      return;
    }
  }
}

bool CMacroControlUI::IsConstantTime() const {
  auto* check = qobject_cast<ui::COptionUI*>(Find("macro_check_time"));
  return check && check->IsSelected();
}

void CMacroControlUI::StartTiming(int timing) {
  SyncSelection();
  SyncDelayTexts();
  ui::CControlUI* edit = Find("macro_fixed_time_edit");
  const std::string text = edit ? edit->GetText().toStdString() : std::string();
  if (const auto rewritten = recorder_.StartTiming(timing, text); rewritten && edit) {
    edit->SetText(QString::fromStdString(*rewritten));
    if (auto* e = qobject_cast<ui::CEditUI*>(edit)) e->SetSel(int(rewritten->size()), int(rewritten->size()));
  }
  SetEditing(false);
}

void CMacroControlUI::SetEditing(bool editing) {
  recording_ = !editing;
  for (const char* name : {"macro_name_tab", "macro_action_list"})
    if (ui::CControlUI* c = Find(name)) {
      SetMouseTree(c, editing);
    }
  for (const char* name : {"macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"})
    if (ui::CControlUI* c = Find(name)) c->SetEnabled(editing);
  if (ui::CControlUI* c = Find("macro_btn_starredio")) c->SetVisible(editing);
  if (ui::CControlUI* c = Find("macro_btn_stopredio")) c->SetVisible(!editing);
}

void CMacroControlUI::OnKeyboardEvent(Placement placement, uint64_t wParam, int64_t lParam) {
  SyncSelection();
  recorder_.OnKeyboardEvent(placement, uint32_t(wParam), DecodeKeyboard(RecordAt(lParam)));
}

void CMacroControlUI::OnMouseEvent(Placement placement, uint64_t wParam, int64_t lParam) {
  SyncSelection();
  std::optional<ScreenRect> stop;
  if (ui::CControlUI* button = Find("macro_btn_stopredio"); button && button->IsVisible()) {
    const QPoint at = button->mapToGlobal(QPoint(0, 0));
    stop = ScreenRect{at.x(), at.y(), button->width(), button->height()};
  }
  recorder_.SetStopButton(stop);
  recorder_.OnMouseEvent(placement, uint32_t(wParam), DecodeMouse(RecordAt(lParam)));
}

// ---- the rows' widgets -------------------------------------------------------

ui::CControlUI* CMacroControlUI::MakeRow(int row) {
  auto* element = new ui::CListContainerElementUI;  // owned by the list
  element->SetName(QStringLiteral("macro_action"));
  element->SetFixedHeight(kRowHeight);
  element->SetAttribute(QStringLiteral("childvalign"), QStringLiteral("vcenter"));
  auto* key = new ui::CLabelUI;
  key->SetAttribute(QStringLiteral("textpadding"), QStringLiteral("3,0,0,0"));
  auto* action = new ui::CLabelUI;
  auto* delay = new ui::CEditUI;
  delay->SetName(QStringLiteral("macro_delay"));
  element->Add(key);
  element->Add(action);
  element->Add(delay);
  ApplyStyle(delay, kTextStyle);
  delay->SetBkColor(kDelayEditColour);
  delay->SetNativeEditBkColor(kDelayEditColour);
  delay->SetFixedHeight(kDelayEditHeight);
  delay->SetMaxChar(6);
  delay->SetNumberOnly(true);
  ShowRow(element, row);
  if (recording_) SetMouseTree(element, false);
  return element;
}

void CMacroControlUI::ShowRow(ui::CControlUI* element, int row) {
  auto* box = qobject_cast<ui::CContainerUI*>(element);
  if (!box || box->GetCount() < 3) return;
  const MacroRows::Row& r = rows_.At(row);
  element->SetUserData(r.action.isNull() ? QString()
                                         : QString::fromStdString(profiles::StyledJsonText(r.action)));
  const RowLook look = DescribeAction(r.action);
  ui::CControlUI* key = box->GetItemAt(0);
  ui::CControlUI* action = box->GetItemAt(1);
  ui::CControlUI* delay = box->GetItemAt(2);
  if (!look.keyStyle.empty()) ApplyStyle(key, look.keyStyle.c_str());
  key->SetText(QString::fromStdString(look.keyText));
  // The press and release styles carry their own text; a move shows its distance.
  action->SetText(QString());
  if (!look.actionStyle.empty()) ApplyStyle(action, look.actionStyle.c_str());
  if (look.actionStyle == kTextStyle) action->SetText(QString::fromStdString(look.actionText));
  delay->SetText(QString::fromStdString(r.delayText));
  delay->SetVisible(!r.action.isNull());
}

void CMacroControlUI::OnRowsChanged(MacroRows::Change change, int row) {
  auto* list = qobject_cast<ui::CListUI*>(Find("macro_action_list"));
  if (!list) return;
  switch (change) {
    case MacroRows::Change::Reset:
      list->RemoveAll();
      for (int i = 0; i < rows_.Count(); ++i) list->Add(MakeRow(i));
      break;
    case MacroRows::Change::Inserted:
      list->AddAt(MakeRow(row), row);
      break;
    case MacroRows::Change::Removed:
      list->RemoveAt(row);
      break;
    case MacroRows::Change::Changed:
      if (ui::CControlUI* element = list->GetItemAt(row)) ShowRow(element, row);
      break;
    case MacroRows::Change::Selected:
      if (list->GetCurSel() != row) {
        if (row >= 0) list->SelectItem(row, false, false);
        else list->UnSelectAllItems();
      }
      break;
  }
}

// ---- record button -----------------------------------------------------------

bool CRedioMacroButtonUI::IsClass(const QString& className) const {
  return className == QLatin1String("RedioMacroButtonUI") || className == QLatin1String("RedioMacroButton") ||
         CButtonUI::IsClass(className);
}

void CRedioMacroButtonUI::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("redioimage")) pulseImage_ = value;
  else CButtonUI::SetAttribute(name, value);
}

void CRedioMacroButtonUI::DoEvent(ui::TEventUI& event) {
  if (event.Type == ui::UIEVENT_TIMER && event.wParam == kPulseTimer && GetManager()) {
    GetManager()->KillTimer(this, kPulseTimer);
    if (!pulseImage_.isEmpty()) {
      if (rising_) {
        level_ += 20;
        if (level_ > 254) level_ = 255, rising_ = false;
      } else {
        level_ -= 20;
        if (level_ <= 80) level_ = 80, rising_ = true;
      }
      SetNormalImage(QStringLiteral("res='%1' fade='%2'").arg(pulseImage_).arg(level_));
    }
    if (repeat_) GetManager()->SetTimer(this, kPulseTimer, 50);
  }
  CButtonUI::DoEvent(event);
}

}  // namespace macros::editor
