#pragma once
// The headset's two panels. They only show what the audio model decides
// (`Show`) and hand the user's actions to the main window as notifications;
// nothing in them changes a setting.
//   CVoice6533ControlUI  "XML\\CustomControlXML\\Voice6533Control.xml":
//     "6533_eq_option_"1..13, "6533_eq_hz_slider_"0..9, the user preset
//     area "custom_eq_option_layout" ("custom_eq_name_combo",
//     "custom_eq_name_edit", "hs_EQ_btn_save", "hs_EQ_btn_delete"),
//     "6533_MicIn_option"/"_slider", "6533_MicMoniter_option"/"_slider".
//   CMagicControlUI      "XML\\CustomControlXML\\MagicControl.xml":
//     "magic_enable_option", "magic_option_layout", "magic_option_"1..4.

#include "headset/audio/HeadsetAudio.h"
#include "ui/UILib.h"

namespace headset {

class CVoice6533ControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("Voice6533Control"); }
  bool IsClass(const QString& className) const override;
  void Show(const audio::PanelView& view);
  // The text of "custom_eq_name_edit".
  std::u16string NameEditText() const;
  // The value of "6533_eq_hz_slider_"N, of "6533_MicIn_slider" and of
  // "6533_MicMoniter_slider".
  int BandSliderValue(int band) const;
  int MicSliderValue() const;
  int MonitorSliderValue() const;
  // The selected position of "custom_eq_name_combo", -1 for none.
  int SelectedUserPreset() const;
};

class CMagicControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("MagicControl"); }
  bool IsClass(const QString& className) const override;
  void Show(const audio::PanelView& view);
  bool EffectOptionSelected() const;
};

}  // namespace headset

using headset::CMagicControlUI;
using headset::CVoice6533ControlUI;
