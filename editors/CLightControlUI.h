#pragma once
// CLightControlUI: the lighting editor of every device page (the panel named
// "LightControlItem"). It shows a device's lighting state and its audio
// lighting record in the controls of the page layout, reads them back, and
// enables, disables, shows and hides the controls by device kind and light
// mode. The change handlers (app/RoutesLight.cpp) turn the user's edits into
// a new lighting state for the current device.
//
// Every control is looked up by name among the panel's sub-controls on first
// use and kept; a missing control makes an operation do nothing (getters give
// -1, 0, 0xFF000000 or an empty text).

#include <cstdint>

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

#include "profiles/ProfileRecords.h"
#include "ui/UILib.h"

namespace editors {

// Device kinds as the page gives them.
namespace lightkind {
inline constexpr int kKeyboard = 1, kMouse = 2, kPad = 3, kMouseReceiver = 6, kHeadset = 7, kKeyboardReceiver = 9;
}

inline constexpr uint32_t kOpaque = 0xFF000000u;
inline constexpr uint32_t Argb(uint8_t r, uint8_t g, uint8_t b) {
  return kOpaque | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}
// A colour edit's text as a byte: digits up to the first non-digit, above 255
// is 255, below 0 is 0, no digits is 0.
uint8_t EditByte(const QString& text);

class CLightControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  CLightControlUI() = default;
  ~CLightControlUI() override = default;
  QString GetClass() const override { return QStringLiteral("LightControl"); }
  bool IsClass(const QString& className) const override;

  void SetKind(int kind) { kind_ = kind; }
  int Kind() const { return kind_; }
  // Rebuilds the mode list: one item per name (text and user data the name,
  // height 30), hidden where not visible so indices never shift.
  void SetModeList(const QStringList& names, const std::vector<bool>& visible, int maxBrightness, int maxSpeed);
  void ShowLightInfo(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);
  void ShowLightInfo(const profiles::LightInfoRecord& record);
  void ShowAudioLight(uint32_t w0, uint32_t w1, uint8_t b8);
  profiles::AudioLightRecord ReadAudioLight(bool takeColour);
  const profiles::AudioLightRecord& AudioState() const { return audioState_; }

  void SelectMode(int index);
  int GetSelectedMode();
  void ShowCustomGroup(int index);
  int GetCustomGroup();
  void ShowSecondaryMode(int index);
  int GetSecondaryMode();
  void ShowBrightness(int level);
  int GetBrightness();
  void ShowSpeed(int level);
  int GetSpeed();
  void ShowRed(const QString& text) { SetEditText("deng_edit_R", text); }
  void ShowGreen(const QString& text) { SetEditText("deng_edit_G", text); }
  void ShowBlue(const QString& text) { SetEditText("deng_edit_B", text); }
  QString GetRedText() { return EditText("deng_edit_R"); }
  QString GetGreenText() { return EditText("deng_edit_G"); }
  QString GetBlueText() { return EditText("deng_edit_B"); }
  void ShowPaletteColour(uint32_t argb);
  uint32_t GetPaletteColour();
  void ShowColourButton(uint32_t argb);
  uint32_t GetPresetColour(int n);
  void ShowSevenColour(bool on);
  bool GetSevenColour();
  void ShowDirection(int flag);
  void ShowSameMode(bool on);
  void SetSameModeAllowed(bool allowed);
  bool SameModeAllowed() const { return sameModeAllowed_; }
  void UpdateLayout(int kind, int mode);
  uint32_t GetAudioPresetColour(int n);
  uint32_t GetAudioPaletteColour();
  QString GetAudioEditText(int i);

  // The control of that name among the panel's, kept after the first look-up.
  ui::CControlUI* Control(const char* name);
  template <typename T>
  T* ControlAs(const char* name) { return qobject_cast<T*>(Control(name)); }

 private:
  void SetEditText(const char* name, const QString& text);
  QString EditText(const char* name);
  void Enable(const char* name, bool on);
  void Show(const char* name, bool on);
  void SetText(const char* name, const char* textId);
  void KeyboardLayout(int mode);

  int kind_ = 0;
  bool sameModeAllowed_ = false;
  profiles::AudioLightRecord audioState_;
  QHash<QString, QPointer<ui::CControlUI>> controls_;
};

}  // namespace editors

using editors::CLightControlUI;
