// The main window's side of the profile panel: the buttons' confirmations,
// dialogs and messages, the delayed profile switch (timer 1055) and the
// apply after a reset.

#include "app/MainWnd.h"
#include "devices/DeviceProfileUI.h"
#include "platform/Trace.h"
#include "profiles/ProfileActions.h"
#include "profiles/ProfileList.h"

namespace app {
namespace {

// Confirmations and messages of the panel's flows, shown with the window's
// message box.
class PanelPrompts : public profiles::ProfilePrompts {
 public:
  PanelPrompts(CMainWnd& wnd, devices::CGesterinUSBDevice& device) : wnd_(wnd), device_(device) {}
  bool Confirm(std::string_view textId) override {
    return wnd_.ShowMessageId(QString::fromUtf8(textId.data(), qsizetype(textId.size())), 1) == 1;
  }
  void Message(std::string_view textId, int number) override {
    const QString id = QString::fromUtf8(textId.data(), qsizetype(textId.size()));
    if (number == -1) wnd_.ShowMessageId(id);
    else wnd_.ShowMessageNumber(device_, id, number);
  }

 private:
  CMainWnd& wnd_;
  devices::CGesterinUSBDevice& device_;
};

bool IsMouse(int kind) { return kind == hid::kind::kMouseCable || kind == hid::kind::kMouseReceiver; }

}  // namespace

devices::CDeviceProfileUI* CMainWnd::ProfilePanelOf(devices::CGesterinUSBDevice* device) const {
  auto* model = qobject_cast<devices::CModelDevice*>(device);
  return model ? model->ProfilePanel() : nullptr;
}

int CMainWnd::ShowMessageId(const QString& textId, int buttons) {
  return dialogs_->ShowMessage(GetHWND(), textId, true, buttons, Dpi());
}

int CMainWnd::ShowMessageNumber(devices::CGesterinUSBDevice& device, const QString& textId, int number) {
  // The text comes from the hidden label "str_test" of the page, which shows
  // the text of the id; the number replaces its "%d".
  QString text = textId;
  if (ui::CControlUI* label = device.FindInScope(QStringLiteral("str_test"))) {
    label->SetText(textId);
    text = label->GetText();
  }
  const std::string filled = profiles::InsertNumber(text.toStdString(), number);
  return dialogs_->ShowMessage(GetHWND(), QString::fromStdString(filled), false, 0, Dpi());
}

int CMainWnd::LanguageCodePage() const {
  const std::vector<LanguageEntry> languages = ReadLanguageList();
  const int index = CurrentLanguage();
  const int id = index >= 0 && size_t(index) < languages.size() ? languages[size_t(index)].id : kDefaultLanguageId;
  return profiles::CodePageOfLanguage(id);
}

void CMainWnd::OnProfileButton(ProfileButton button) {
  devices::CGesterinUSBDevice* device = SelectedDevice();
  devices::CDeviceProfileUI* panel = ProfilePanelOf(device);
  if (!device || !panel) return;
  PanelPrompts prompts(*this, *device);
  profiles::ProfileList& list = panel->List();
  switch (button) {
    case ProfileButton::Spread:
      panel->ShowMenu(!panel->IsMenuShown());
      break;
    case ProfileButton::Add:
      if (profiles::RunAddProfile(list, prompts)) panel->SyncCombo();
      break;
    case ProfileButton::Copy:
      if (profiles::RunCopyProfile(list, prompts)) panel->SyncCombo();
      break;
    case ProfileButton::Delete:
      // The combo then selects the predecessor, which arrives as a pick.
      if (profiles::RunDeleteProfile(list, prompts)) panel->SelectAfterDelete();
      break;
    case ProfileButton::Import: {
      if (panel->GetSelectedIndex() < 0) return;
      QString path;
      if (!dialogs_->AskOpenPath(GetHWND(), FileKind::Profile, &path)) return;
      path = CheckedOpenPath(path);
      if (path.isEmpty()) return;
      if (profiles::RunImportProfile(list, prompts, path.toStdString())) panel->SyncCombo();
      break;
    }
    case ProfileButton::Export: {
      if (panel->GetSelectedIndex() < 0) return;
      QString path;
      if (!dialogs_->AskSavePath(GetHWND(), FileKind::Profile, &path)) return;
      path = CheckedSavePath(path, FileKind::Profile);
      if (!path.isEmpty()) profiles::RunExportProfile(list, path.toStdString());
      break;
    }
    case ProfileButton::Rename:
      if (profiles::RunRenameProfile(list, prompts, panel->GetNameText().toStdU16String(),
                                     LanguageCodePage()))
        panel->SyncCombo();
      break;
    case ProfileButton::Reset:
      if (profiles::RunResetProfile(list, prompts)) ApplyReset(*device);
      break;
  }
}

void CMainWnd::OnFunctionTab(int n) {
  devices::CGesterinUSBDevice* device = SelectedDevice();
  if (!device || n < 1 || n > 9) return;
  device->SetFunctionSwitch(n);
  if (devices::CDeviceProfileUI* panel = ProfilePanelOf(device)) panel->SelectOpTab(n);
}

void CMainWnd::OnProfilePicked() {
  if (!SelectedDevice()) return;
  SetTimer(kProfileSwitchTimer, kProfileSwitchDelayMs);
}

namespace {

// The messages after the macros were written: -1 failed; above the
// device's macro memory, how many 4-byte units too many; else the steps over.
// A reset reports as a switch does, so a keyboard shows the same number.
void ReportMacroWrite(CMainWnd& wnd, devices::CGesterinUSBDevice& device, int r) {
  if (r == 0) return;
  if (r == -1) {
    wnd.ShowMessageId(QStringLiteral("message_text_7"));
    return;
  }
  const int capacity = int(device.InfoBlock().MacroMemoryBytes());
  if (4 * r > capacity)
    wnd.ShowMessageNumber(device, QStringLiteral("message_text_16"), (r - capacity) / 4 + 1);
  else
    wnd.ShowMessageNumber(device, QStringLiteral("message_text_26"), r - 250);
}

void HideKeyEditor(devices::CGesterinUSBDevice& device) {
  if (ui::CControlUI* editor = device.FindInScope(QStringLiteral("keyset_layout"))) editor->SetVisible(false);
}

}  // namespace

void CMainWnd::SwitchProfile() {
  devices::CGesterinUSBDevice* device = SelectedDevice();
  devices::CDeviceProfileUI* panel = ProfilePanelOf(device);
  if (!device || !panel) return;
  const int index = panel->GetSelectedIndex();
  if (index < 0) return;
  panel->SelectProfile(index, false);
  device->SetProfileId(panel->GetSelectedProfileId());
  device->PreparePaths();
  device->LoadProfile();
  device->RepairMacroKeys();
  device->ShowSettings();
  device->WriteSettingsToDevice(0, 0, 0, 0, 0);
  const std::vector<int> macros = device->CollectUsedMacros();
  ReportMacroWrite(*this, *device, device->WriteMacrosToDevice(macros));
  // The new profile's custom colours reach the keyboard (in the custom mode).
  if (auto* keyboard = qobject_cast<devices::CGesterinKeyboardDevice*>(device);
      keyboard && device->Kind() == hid::kind::kKeyboardCable)
    keyboard->SelectCustomGroup();
  if (IsMouse(device->Kind())) HideKeyEditor(*device);
  device->WriteKeysFromProfile(0);
  Trace("profile switched to " + panel->GetSelectedProfileId());
}

void CMainWnd::ApplyReset(devices::CGesterinUSBDevice& device) {
  device.LoadProfile();
  device.ShowSettings();
  device.WriteSettingsToDevice(0, 0, 0, 0, 0);
  const int kind = device.Kind();
  if (kind == hid::kind::kKeyboardCable || IsMouse(kind)) {
    if (kind == hid::kind::kKeyboardCable) HideKeyEditor(device);
    const std::vector<int> macros = device.CollectUsedMacros();
    ReportMacroWrite(*this, device, device.WriteMacrosToDevice(macros));
    device.WriteKeysFromProfile(0);
    if (IsMouse(kind)) HideKeyEditor(device);
  }
}

}  // namespace app
