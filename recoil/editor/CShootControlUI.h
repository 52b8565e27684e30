#pragma once
// The recoil editor of the mouse page (layout "ShootControl.xml", found on
// its page as "ShootControlItem"): four weapon options with the weapon's
// picture, 30 shot options, and the edits of the current shot. It reacts to
// no notification itself: the main window calls the operation that belongs
// to the sender's name and asks for file names. Every edit goes to the
// weapon's working copy at once; the mouse page sends the four files.

#include <array>
#include <filesystem>

#include <QPointer>

#include "recoil/RecoilFiles.h"
#include "ui/UILib.h"

namespace recoil::editor {

class CShootControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("ShootControlUI"); }
  bool IsClass(const QString& className) const override;

  // Page start: the mouse's profile folder and the default data folder,
  // then Start, SelectWeapon(0), SelectShot(0).
  void SetFolders(const std::filesystem::path& working, const std::filesystem::path& factory);
  // Looks the controls up and gives every unusable working copy the factory one.
  void Start();
  // False when a control of the layout is missing.
  bool ControlsFound() const { return controlsFound_; }

  // Limited to 0..3; shows the weapon's option and picture.
  void SelectWeapon(int weapon);
  // Limited to 0..29; shows the option, the shot number and the shot.
  void SelectShot(int shot);
  // An edit that still holds the focus is saved. The panel's buttons and
  // options take no focus, so clicking them ends no edit: the selection
  // changes, the send and the export save it first, or it would be lost.
  void CommitEdit();
  // The current shot of the current weapon into the edits and options.
  void ShowShot();
  // The edits and options into the current shot's six events.
  bool SaveShot();
  // A direction option toggled: its text follows its state (the file
  // changes with the next SaveShot).
  void ShowDirectionTexts();
  void ResetWeapon(int weapon);
  bool ImportWeapon(const std::filesystem::path& from);
  bool ExportWeapon(const std::filesystem::path& to);

  int CurrentWeapon() const { return weapon_; }
  int CurrentShot() const { return shot_; }
  const RecoilFiles& Files() const { return files_; }

 private:
  ui::CControlUI* Find(const QString& name) const;
  ShotRecord FromControls() const;
  // SelectShot without saving an edit first: after a reset or an import the
  // edits still show the old values.
  void ChooseShot(int shot);

  RecoilFiles files_;
  bool controlsFound_ = false;
  int weapon_ = 0;
  int shot_ = -1;
  // The layout's controls, children of this panel.
  std::array<QPointer<ui::COptionUI>, kWeapons> weapons_;
  std::array<QPointer<ui::COptionUI>, kShots> shots_;
  QPointer<ui::CTabLayoutUI> pictures_;
  QPointer<ui::CControlUI> shotIndex_;
  QPointer<ui::CControlUI> editX_, editY_, editDelay_;
  QPointer<ui::COptionUI> checkX_, checkY_;
};

}  // namespace recoil::editor
