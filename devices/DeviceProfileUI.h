#pragma once
// The profile panel of every device page ("DeviceProfileItem", layout
// "XML\CustomControlXML\DeviceProfile.xml"): the model's profiles in a combo
// box, the selected profile's name in an edit box, a fold-out row of the
// seven profile buttons and the function tabs of the device kind. The list
// logic is profiles::ProfileList; this control keeps the combo box and the
// name edit in step with it.

#include <filesystem>
#include <string>

#include <QPointer>

#include "profiles/ProfileList.h"
#include "ui/UILib.h"

namespace devices {

// Function tab numbers and their option names, 1..9.
inline constexpr const char* kOpTabNames[] = {
    "deng_Op_tab",       "key_Op_tab",   "macro_Op_tab",      "system_Op_tab",  "cursor_Op_tab",
    "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "otherset_Op_tab"};
// The tab number of an option name (any case), 0 when it is none.
int OpTabNumber(const QString& name);

class CDeviceProfileUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  CDeviceProfileUI();
  ~CDeviceProfileUI() override;
  QString GetClass() const override { return QStringLiteral("DeviceProfile"); }
  bool IsClass(const QString& className) const override;

  // The list, its selection taken from the combo (a user's pick moves the
  // combo ahead of the list until the switch records it).
  profiles::ProfileList& List();

  void SetKind(int deviceKind) { list_.SetKind(deviceKind); }
  void SetPaths(const std::filesystem::path& profileFolder,
                const std::filesystem::path& defaultProfilePath);
  // First start, the combo filled, the stored profile selected, the kind's
  // tabs shown.
  void InitList();
  // Selects entry `index` in the combo (an "itemselect" only with `notify`),
  // copies its name to the edit and records the selection.
  void SelectProfile(int index, bool notify);
  // The combo's selection, -1 none.
  int GetSelectedIndex() const;
  const std::string& GetSelectedProfileId() const { return list_.GetSelectedProfileId(); }
  QString GetNameText() const;
  void SetNameText(const QString& text);

  // Selects tab n (1..9) and deselects the others, without notifications.
  void SelectOpTab(int n);
  void ShowMenu(bool show);
  bool IsMenuShown() const;
  // The kind's tab visibility (the last step of InitList).
  void ApplyTabVisibility();

  // Rebuilds the combo from the list (after an operation changed it); the
  // combo's selection follows the list's without a notification.
  void SyncCombo();
  // Removes the combo element of a deleted profile and selects the list's
  // new selection with a notification, as a user's pick would arrive.
  void SelectAfterDelete();

  ui::CComboUI* Combo() const;
  ui::CEditUI* NameEdit() const;
  ui::COptionUI* OpTab(int n) const;

 private:
  ui::CControlUI* Find(const char* name) const;
  void FillCombo(bool notify);
  profiles::ProfileList list_;
  int frameHeight_ = -1;  // the layout's frame height with the row folded in
};

}  // namespace devices
