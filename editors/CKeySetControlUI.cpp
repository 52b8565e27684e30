#include "editors/CKeySetControlUI.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "editors/core/KeyCatalogue.h"

namespace editors {
namespace {

constexpr int kRepeatItem = 4;
constexpr int kMacroItemHeight = 30;

const char* const kFunctionCombo = "keyset_function_combo";
const char* const kPages = "function_switch_tablayout";
const char* const kKeyText = "keyset_keyboard_text_edit";
const char* const kButtons[] = {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"};
const char* const kResetCombos[] = {"keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo",
                                    "keyset_mousedpi_combo", "keyset_media_combo",      "keyset_system_combo",
                                    "keyset_gunkey_combo",   "keyset_combokey_combo"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CKeySetControlUI::CKeySetControlUI() = default;

bool CKeySetControlUI::IsClass(const QString& className) const {
  return className == QLatin1String("KeySetControl") || ui::CHorizontalLayoutUI::IsClass(className);
}

template <typename T>
T* CKeySetControlUI::Find(const char* name) {
  const QString key = QString::fromLatin1(name);
  auto it = controls_.find(key);
  if (it == controls_.end() || !it->second) {
    ui::CControlUI* found = FindSubControl(key);
    it = controls_.insert_or_assign(key, QPointer<ui::CControlUI>(found)).first;
  }
  return qobject_cast<T*>(it->second.data());
}

void CKeySetControlUI::Init() {
  controls_.clear();
  // Keys pressed in the key text edit are captured there.
  if (auto* edit = Find<ui::CEditUI>(kKeyText)) {
    edit->SetReadOnly(true);
    if (QObject* native = edit->Native(); native && native != filtered_) {
      native->installEventFilter(this);
      filtered_ = native;
    }
  }
}

QString CKeySetControlUI::Translate(const QString& id) {
  auto* probe = qobject_cast<ui::CLabelUI*>(FindInScope(QStringLiteral("text_test")));
  if (!probe) return id;
  probe->SetText(id);
  return probe->GetText();
}

void CKeySetControlUI::SetDeviceKind(int kind) {
  deviceKind_ = kind;
  auto* combo = Find<ui::CComboUI>(kFunctionCombo);
  if (!combo) return;
  for (int i = 0; i < combo->GetCount(); ++i) {
    ui::CControlUI* item = combo->GetItemAt(i);
    item->SetVisible(CategoryOffered(item->GetUserData().toInt(), kind));
  }
}

int CKeySetControlUI::MacroCount() {
  auto* combo = Find<ui::CComboUI>("keyset_macro_combo");
  return combo ? combo->GetCount() : 0;
}

void CKeySetControlUI::SetMacroNames(const std::vector<QString>& names) {
  auto* combo = Find<ui::CComboUI>("keyset_macro_combo");
  if (!combo) return;
  for (const QString& name : names) {
    auto* item = new ui::CListLabelElementUI;
    item->SetFixedHeight(kMacroItemHeight);
    item->SetText(name);
    item->SetUserData(name);
    combo->Add(item);
  }
  combo->SelectItem(-1, false, false);
}

void CKeySetControlUI::RemoveMacroName(int index) {
  auto* combo = Find<ui::CComboUI>("keyset_macro_combo");
  if (combo && index >= 0 && index < combo->GetCount()) combo->RemoveAt(index);
}

void CKeySetControlUI::RenameMacroName(int index, const QString& name) {
  auto* combo = Find<ui::CComboUI>("keyset_macro_combo");
  if (!combo || index < 0 || index >= combo->GetCount()) return;
  combo->GetItemAt(index)->SetText(name);
  combo->GetItemAt(index)->SetUserData(name);
}

void CKeySetControlUI::SetKey(const profiles::KeyAssignment& key) {
  current_ = key.assignment;
  default_ = key.defaultAssignment;
  ShowCurrent();
}

void CKeySetControlUI::ShowCurrent() { Show(current_); }
void CKeySetControlUI::ShowDefault() { Show(default_); }

void CKeySetControlUI::Show(const profiles::KeyFunction& function) {
  KeyEditorView view = ReadView();
  ShowFunction(function, default_, deviceKind_, MacroCount(), view, current_);
  ApplyView(view);
}

profiles::KeyAssignment CKeySetControlUI::BuildFunction() {
  KeyEditorView view = ReadView();
  current_ = ComposeFunction(view, current_, default_, MacroCount());
  ApplyView(view);  // a raised fire interval is shown
  return {current_, default_};
}

void CKeySetControlUI::SetModifierCheck(int n) {
  for (int i = 0; i < kModifierChecks; ++i) {
    const std::string name = "key_ComBox_check_" + std::to_string(i);
    if (auto* check = Find<ui::COptionUI>(name.c_str())) check->Selected(i == n, false);
  }
}

int CKeySetControlUI::GetModifierCheck() {
  int selected = -1;
  for (int i = 0; i < kModifierChecks; ++i) {
    const std::string name = "key_ComBox_check_" + std::to_string(i);
    if (auto* check = Find<ui::COptionUI>(name.c_str()); check && check->IsSelected()) selected = i;
  }
  return selected;
}

void CKeySetControlUI::SetKeyText(const QString& textId) {
  if (auto* edit = Find<ui::CEditUI>(kKeyText)) {
    edit->SetText(textId.isEmpty() ? QString() : Translate(textId));
    edit->SetUserData(textId);
  }
}

void CKeySetControlUI::ShowEditor(bool shown) {
  if (auto* layout = Find<ui::CControlUI>("keyset_layout")) layout->SetVisible(shown);
}

void CKeySetControlUI::SetButtonsEnabled(bool enabled) {
  for (const char* name : kButtons)
    if (auto* b = Find<ui::CControlUI>(name)) b->SetEnabled(enabled);
}

void CKeySetControlUI::ResetLists() {
  for (const char* name : kResetCombos)
    if (auto* combo = Find<ui::CComboUI>(name)) combo->SelectItem(0, false, false);
}

void CKeySetControlUI::OnCategorySelected() {
  KeyEditorView view = ReadView();
  if (view.category == category::kKey) {
    view.keyText.clear();
    view.keyUsage = 0;
    view.modifier = -1;
  }
  ApplyView(view);
}

void CKeySetControlUI::OnPlayModeSelected() {
  auto* mode = Find<ui::CComboUI>("keyset_macro_over_combo");
  if (auto* layout = Find<ui::CControlUI>("keyset_macro_cycle_layout"))
    layout->SetVisible(mode && mode->GetCurSel() == kRepeatItem);
}

bool CKeySetControlUI::CaptureKey(uint8_t scan, bool extended) {
  KeyEditorView view = ReadView();
  const auto function = editors::CaptureKey(scan, extended, view, current_, default_, MacroCount());
  if (!function) return false;
  current_ = *function;
  ApplyView(view);
  return true;
}

// ---- view <-> controls ---------------------------------------------------------

KeyEditorView CKeySetControlUI::ReadView() {
  KeyEditorView v;
  v.category = -1;
  if (auto* c = Find<ui::CComboUI>(kFunctionCombo); c && c->GetCurSel() >= 0)
    v.category = c->GetItemAt(c->GetCurSel())->GetUserData().toInt();
  for (const ViewControl& c : ViewControls()) {
    switch (c.kind) {
      case ControlKind::Combo:
        if (auto* combo = Find<ui::CComboUI>(c.name)) v.*c.number = combo->GetCurSel();
        break;
      case ControlKind::Edit:
        if (auto* edit = Find<ui::CEditUI>(c.name)) v.*c.text = edit->GetText().toStdString();
        break;
      case ControlKind::KeyText:
        // The edit shows the translated name; the text id is its user data.
        if (auto* edit = Find<ui::CEditUI>(c.name); edit && !edit->GetText().isEmpty())
          v.*c.text = edit->GetUserData().toStdString();
        break;
      case ControlKind::Checks:
        v.*c.number = GetModifierCheck();
        break;
      case ControlKind::Layout:
        if (auto* layout = Find<ui::CControlUI>(c.name)) v.*c.flag = layout->IsVisible();
        break;
    }
  }
  v.keyUsage = keyUsage_;
  return v;
}

void CKeySetControlUI::ApplyView(const KeyEditorView& v) {
  for (const ViewControl& c : ViewControls()) {
    switch (c.kind) {
      case ControlKind::Combo:
        if (auto* combo = Find<ui::CComboUI>(c.name)) combo->SelectItem(v.*c.number, false, false);
        break;
      case ControlKind::Edit:
        if (auto* edit = Find<ui::CEditUI>(c.name)) edit->SetText(Q(v.*c.text));
        break;
      case ControlKind::KeyText:
        SetKeyText(Q(v.*c.text));
        break;
      case ControlKind::Checks:
        SetModifierCheck(v.*c.number);
        break;
      case ControlKind::Layout:
        if (auto* layout = Find<ui::CControlUI>(c.name)) layout->SetVisible(v.*c.flag);
        break;
    }
  }
  keyUsage_ = v.keyUsage;

  // The category: the item whose user data is it; none hides the editor.
  auto* categories = Find<ui::CComboUI>(kFunctionCombo);
  int item = -1;
  if (categories && v.category >= 0)
    for (int i = 0; i < categories->GetCount(); ++i) {
      ui::CControlUI* c = categories->GetItemAt(i);
      if (c->IsVisible() && c->GetUserData().toInt() == v.category) item = i;
    }
  if (item < 0) {
    ShowEditor(false);
    return;
  }
  ShowEditor(true);
  categories->SelectItem(item, false, false);
  if (auto* pages = Find<ui::CTabLayoutUI>(kPages)) pages->SelectItem(v.category);
}

// ---- capture from the key text edit ---------------------------------------------

bool CKeySetControlUI::eventFilter(QObject* watched, QEvent* event) {
  if (watched == filtered_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool right = key->nativeScanCode() == 0x69 || key->nativeScanCode() == 0x6C ||  // X11 RCtrl, RAlt
                       key->nativeScanCode() == 0x3E || key->nativeScanCode() == 0x86;    // RShift, RWin
    if (auto code = ScanCodeOfQtKey(key->key(), key->modifiers() & Qt::KeypadModifier, right)) {
      if (CaptureKey(code->scan, code->extended)) {
        ui::CControlUI* saver = Find<ui::CControlUI>(kButtons[0]);
        if (GetManager()) GetManager()->SendNotify(saver ? saver : this, QStringLiteral("click"));
      }
    }
    return true;  // the edit shows key names, never typed text
  }
  return ui::CHorizontalLayoutUI::eventFilter(watched, event);
}

std::optional<ScanCode> ScanCodeOfQtKey(int k, bool keypad, bool right) {
  if (keypad) {
    switch (k) {
      case Qt::Key_Enter: return ScanCode{0x1C, true};
      case Qt::Key_Slash: return ScanCode{0x35, true};
      case Qt::Key_Asterisk: return ScanCode{0x37, false};
      case Qt::Key_Minus: return ScanCode{0x4A, false};
      case Qt::Key_Plus: return ScanCode{0x4E, false};
      case Qt::Key_Period: return ScanCode{0x53, false};
      default: break;
    }
    static const uint8_t pad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return ScanCode{pad[k - Qt::Key_0], false};
  }
  // Letters and digits: the catalogue row's own scan code.
  const auto rows = KeyboardRows();
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return ScanCode{rows[size_t(8 + k - Qt::Key_A)].scan, false};
  if (k >= Qt::Key_1 && k <= Qt::Key_9) return ScanCode{rows[size_t(34 + k - Qt::Key_1)].scan, false};
  if (k == Qt::Key_0) return ScanCode{rows[43].scan, false};
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return ScanCode{rows[size_t(61 + k - Qt::Key_F1)].scan, false};
  switch (k) {
    case Qt::Key_Control: return ScanCode{0x1D, right};
    case Qt::Key_Shift: return ScanCode{uint8_t(right ? 0x36 : 0x2A), right};
    case Qt::Key_Alt: return ScanCode{0x38, right};
    case Qt::Key_AltGr: return ScanCode{0x38, true};
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return ScanCode{uint8_t(right ? 0x5C : 0x5B), true};
    case Qt::Key_Super_R: return ScanCode{0x5C, true};
    case Qt::Key_Return: return ScanCode{0x1C, false};
    case Qt::Key_Enter: return ScanCode{0x1C, true};
    case Qt::Key_Escape: return ScanCode{0x01, false};
    case Qt::Key_Backspace: return ScanCode{0x0E, false};
    case Qt::Key_Tab: return ScanCode{0x0F, false};
    case Qt::Key_Space: return ScanCode{0x39, false};
    case Qt::Key_Minus: return ScanCode{0x0C, false};
    case Qt::Key_Equal: return ScanCode{0x0D, false};
    case Qt::Key_BracketLeft: return ScanCode{0x1A, false};
    case Qt::Key_BracketRight: return ScanCode{0x1B, false};
    case Qt::Key_Backslash: return ScanCode{0x2B, false};
    case Qt::Key_Semicolon: return ScanCode{0x27, false};
    case Qt::Key_Apostrophe: return ScanCode{0x28, false};
    case Qt::Key_QuoteLeft: return ScanCode{0x29, false};
    case Qt::Key_Comma: return ScanCode{0x33, false};
    case Qt::Key_Period: return ScanCode{0x34, false};
    case Qt::Key_Slash: return ScanCode{0x35, false};
    case Qt::Key_CapsLock: return ScanCode{0x3A, false};
    case Qt::Key_Print: return ScanCode{0x37, true};
    case Qt::Key_ScrollLock: return ScanCode{0x46, false};
    case Qt::Key_Pause: return ScanCode{0x45, false};
    case Qt::Key_Insert: return ScanCode{0x52, true};
    case Qt::Key_Home: return ScanCode{0x47, true};
    case Qt::Key_PageUp: return ScanCode{0x49, true};
    case Qt::Key_Delete: return ScanCode{0x53, true};
    case Qt::Key_End: return ScanCode{0x4F, true};
    case Qt::Key_PageDown: return ScanCode{0x51, true};
    case Qt::Key_Right: return ScanCode{0x4D, true};
    case Qt::Key_Left: return ScanCode{0x4B, true};
    case Qt::Key_Down: return ScanCode{0x50, true};
    case Qt::Key_Up: return ScanCode{0x48, true};
    case Qt::Key_NumLock: return ScanCode{0x45, true};
    case Qt::Key_Menu: return ScanCode{0x5D, true};
    default: return std::nullopt;
  }
}

}  // namespace editors
