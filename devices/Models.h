#pragma once
// The device models of the mouse, keyboard and mouse pad (the headset's
// lives in headset/, above this folder). Each builds its page and owns its profile object;
// their own reads and writes of the device come with each model's work, and
// until then a model does what the base does (it never shows made-up device
// data).

#include <memory>

#include <QPointer>

#include "devices/CGesterinUSBDevice.h"
#include "devices/core/MacroFiles.h"
#include "editors/CKeySetControlUI.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ru6533Profiledata.h"

namespace devices {

class CDeviceProfileUI;

// What every model adds to the base in the same way: the page registration
// and build, the profile object and its paths, the light state read-back.
class CModelDevice : public CGesterinUSBDevice {
  Q_OBJECT
 public:
  CModelDevice(std::shared_ptr<hid::HidBackend> backend, int kind, const char* folderName,
               std::unique_ptr<profiles::CBasicProfiledata> profile);
  // Each model stops the threads in its own destructor, before its state
  // and its overrides go.
  ~CModelDevice() override { StopThreads(); }

  void InitPage() override;
  void PreparePaths() override;
  std::string GetProfilePath() const override;
  void SaveProfile() override;
  void SetOptionTag(int value) override;
  // Stores the lighting state and writes it to the profile.
  void SetLightState(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3) override;
  // Reads the device (in each model's own work), takes the lighting of the
  // profile and (re)starts the light thread.
  void LoadFromDevice() override;
  // The profile's "LightInfo" and custom effect go to the light engine; a
  // changed effect id (or 20) starts the mode afresh. Models add their
  // settings image.
  int ApplyLightingFromProfile() override;
  // The built-in light modes of the model's catalogue go to the lighting editor.
  void LoadCatalogues() override;
  // Shows the lighting state in the lighting editor; models add their own settings.
  void ShowSettings() override;

  // Looks up the page's controls; the caps were found by InitPage. Sets up
  // the profile panel: kind, paths, list, initial tab, then the device takes
  // the selected profile's identity.
  virtual void BuildPage();
  // The page's profile panel ("DeviceProfileItem"), null without one.
  CDeviceProfileUI* ProfilePanel() const;
  profiles::LightInfoRecord GetLightState() const { return lightState_; }
  profiles::CBasicProfiledata& Profile() { return *profile_; }

  // The key assignment editor of the page ("KeySetControlItem"), null
  // without one. The edited key's function stored (keysave); the keys'
  // macros and key map sent and the profile saved (prosave) — the result r
  // of the macro transfer (0 sent, -1 macros not written, n events too
  // many); the edited key back to its default, stored.
  editors::CKeySetControlUI* KeyEditor() const { return keyEditor_; }
  virtual void SaveEditedKey() {}
  int SaveKeysToDevice();
  void RestoreEditedKey();

  // The text of a text id in the current language ("text_test").
  QString Translate(const QString& id);

 protected:
  // Looks up the page's key editor and sets it up for `editorKind`.
  void FindKeyEditor(int editorKind);
  // The macro library's names, kept for the key names and given to the key
  // editor's macro list.
  void TakeMacroNames(const std::vector<MacroIndexEntry>& index);
  // The name a key's function shows: the macro's name, the catalogue row's
  // text, or for a function no row names its parts (modifiers and key) or
  // its kind.
  QString AssignmentName(const profiles::KeyFunction& f);

  // The keyboard's and pad's light areas: the profile's light list, one entry
  // per light (lights beyond the list have none), handed to the engine.
  void FeedAreasFromProfile();
  // The status poll of the keyboard and mouse: nothing when polling is off,
  // the channel closed or the receiver's link down; else `length` bytes of
  // the status block, the mode byte filled in, handed to the power panel and
  // sent with message 3329.
  void PollStatusBlock(uint8_t length);
  // Channel open, in receiver mode, and the receiver's link query answered.
  int LinkedThroughReceiver();

  void SetUpProfilePanel();

  std::unique_ptr<profiles::CBasicProfiledata> profile_;
  QPointer<editors::CKeySetControlUI> keyEditor_;
  std::vector<QString> macroNames_;

 private:
  QString UnlistedName(const profiles::KeyFunction& f);
  QPointer<ui::CLabelUI> textProbe_;
};

}  // namespace devices

// The mouse, the keyboard and the pad have their own files.
#include "devices/KeyboardDevice.h"  // IWYU pragma: export
#include "devices/MouseDevice.h"     // IWYU pragma: export
#include "devices/MousePadDevice.h"  // IWYU pragma: export
