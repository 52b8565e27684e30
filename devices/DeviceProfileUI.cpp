#include "devices/DeviceProfileUI.h"

#include "profiles/Text.h"

namespace devices {
namespace {

constexpr int kElementHeight = 30;
constexpr int kMenuRowHeight = 32;  // the fold-out row (26) and the spacing (6)

QString FromWide(const std::u16string& text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

}  // namespace

int OpTabNumber(const QString& name) {
  for (int i = 0; i < 9; ++i)
    if (name.compare(QLatin1String(kOpTabNames[i]), Qt::CaseInsensitive) == 0) return i + 1;
  return 0;
}

CDeviceProfileUI::CDeviceProfileUI() = default;
CDeviceProfileUI::~CDeviceProfileUI() = default;

bool CDeviceProfileUI::IsClass(const QString& className) const {
  return className == QLatin1String("DeviceProfile") || CHorizontalLayoutUI::IsClass(className);
}

profiles::ProfileList& CDeviceProfileUI::List() {
  if (ui::CComboUI* combo = Combo()) list_.SetComboSelection(combo->GetCurSel());
  return list_;
}

void CDeviceProfileUI::SetPaths(const std::filesystem::path& profileFolder,
                                const std::filesystem::path& defaultProfilePath) {
  list_.SetPaths(profileFolder, defaultProfilePath);
}

ui::CControlUI* CDeviceProfileUI::Find(const char* name) const {
  if (!GetManager()) return nullptr;
  return GetManager()->FindSubControlByName(const_cast<CDeviceProfileUI*>(this),
                                            QString::fromLatin1(name));
}

ui::CComboUI* CDeviceProfileUI::Combo() const {
  return qobject_cast<ui::CComboUI*>(Find("device_profile_combo"));
}
ui::CEditUI* CDeviceProfileUI::NameEdit() const {
  return qobject_cast<ui::CEditUI*>(Find("device_profile_name_edit"));
}
ui::COptionUI* CDeviceProfileUI::OpTab(int n) const {
  if (n < 1 || n > 9) return nullptr;
  return qobject_cast<ui::COptionUI*>(Find(kOpTabNames[n - 1]));
}

void CDeviceProfileUI::InitList() {
  list_.InitList();
  SyncCombo();
  SetNameText(FromWide(list_.NameText()));
  ApplyTabVisibility();
}

void CDeviceProfileUI::SyncCombo() { FillCombo(false); }

void CDeviceProfileUI::FillCombo(bool notify) {
  ui::CComboUI* combo = Combo();
  if (!combo) return;
  const int selected = list_.GetSelectedIndex();
  combo->SelectItem(-1, false, false);
  combo->RemoveAll();
  for (const std::u16string& wide : list_.Names()) {
    const QString name = FromWide(wide);
    auto* element = new ui::CListLabelElementUI;  // owned by the combo
    // A profile name is the user's text, never a text id to translate.
    element->SetResourceText(false);
    element->SetFixedHeight(kElementHeight);
    element->SetText(name);
    element->setToolTip(name);
    element->SetUserData(name);
    combo->Add(element);
  }
  combo->SelectItem(selected, false, notify);
}

void CDeviceProfileUI::SelectProfile(int index, bool notify) {
  if (ui::CComboUI* combo = Combo()) {
    if (combo->GetCurSel() != index) combo->SelectItem(index, true, notify);
  }
  if (list_.SelectProfile(index)) SetNameText(FromWide(list_.NameText()));
}

int CDeviceProfileUI::GetSelectedIndex() const {
  if (ui::CComboUI* combo = Combo()) return combo->GetCurSel();
  return list_.GetSelectedIndex();
}

QString CDeviceProfileUI::GetNameText() const {
  if (ui::CEditUI* edit = NameEdit()) return edit->GetText();
  return FromWide(list_.NameText());
}

void CDeviceProfileUI::SetNameText(const QString& text) {
  list_.SetNameText(text.toStdU16String());
  if (ui::CEditUI* edit = NameEdit()) edit->SetText(text);
}

void CDeviceProfileUI::SelectAfterDelete() { FillCombo(true); }

void CDeviceProfileUI::SelectOpTab(int n) {
  for (int i = 1; i <= 9; ++i)
    if (ui::COptionUI* tab = OpTab(i)) tab->Selected(i == n, false);
}

void CDeviceProfileUI::ShowMenu(bool show) {
  ui::CControlUI* menu = Find("profile_menu_layout");
  if (!menu) return;
  menu->SetVisible(show);
  // The frame around the rows grows by the fold-out row and its spacing.
  if (ui::CControlUI* frame = Find("device_profile_frame")) {
    if (frameHeight_ < 0) frameHeight_ = frame->GetFixedHeight();
    frame->SetFixedHeight(show ? frameHeight_ + kMenuRowHeight : frameHeight_);
  }
}

bool CDeviceProfileUI::IsMenuShown() const {
  ui::CControlUI* menu = Find("profile_menu_layout");
  return menu && menu->IsVisible();
}

void CDeviceProfileUI::ApplyTabVisibility() {
  auto show = [this](const char* name, bool visible) {
    if (ui::CControlUI* tab = Find(name)) tab->SetVisible(visible);
  };
  switch (list_.Kind()) {
    case hid::kind::kKeyboardCable:
      show("cursor_Op_tab", false);
      break;
    case hid::kind::kMousePad:
      for (const char* name : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
        show(name, false);
      break;
    case hid::kind::kHeadset:
      for (const char* name : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
        show(name, false);
      for (const char* name : {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"})
        show(name, true);
      break;
    default:
      break;
  }
}

}  // namespace devices
