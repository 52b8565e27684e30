#include "headset/HeadsetPanels.h"

namespace headset {
namespace {

using audio::Group;

template <typename T>
T* Find(const ui::CContainerUI& panel, const QString& name) {
  return qobject_cast<T*>(panel.FindSubControl(name));
}

template <typename T>
T* Find(const ui::CContainerUI& panel, const char* name) {
  return Find<T>(panel, QString::fromLatin1(name));
}

void Select(ui::COptionUI* option, bool selected, bool enabled) {
  if (!option) return;
  if (option->IsSelected() != selected) option->Selected(selected, false);
  option->SetEnabled(enabled);
}

void SetSlider(ui::CSliderUI* slider, int value, bool enabled) {
  if (!slider) return;
  if (slider->GetValue() != value) slider->SetValue(value);
  slider->SetEnabled(enabled);
}

// The note that stands in for a group the chip cannot serve.
void ShowNote(ui::CLabelUI* note, const audio::PanelView& view, Group group) {
  if (!note) return;
  const bool shown = !view.available[size_t(group)];
  note->SetText(QString::fromStdString(view.notes[size_t(group)]));
  note->SetVisible(shown);
}

}  // namespace

bool CVoice6533ControlUI::IsClass(const QString& className) const {
  return className == QLatin1String("Voice6533Control") || CHorizontalLayoutUI::IsClass(className);
}

void CVoice6533ControlUI::Show(const audio::PanelView& view) {
  const bool eq = view.available[size_t(Group::Equaliser)];
  for (int i = 1; i <= audio::kUserPresetType; ++i)
    Select(Find<ui::COptionUI>(*this, QStringLiteral("6533_eq_option_%1").arg(i)), view.eqOption == i, eq);
  for (int b = 0; b < audio::kBandCount; ++b)
    SetSlider(Find<ui::CSliderUI>(*this, QStringLiteral("6533_eq_hz_slider_%1").arg(b)), view.bandSliders[size_t(b)],
              eq);
  if (auto* combo = Find<ui::CComboUI>(*this, "custom_eq_name_combo")) {
    bool same = combo->GetCount() == int(view.presetNames.size());
    for (int i = 0; same && i < combo->GetCount(); ++i)
      same = combo->GetItemAt(i)->GetUserData() == QString::fromStdU16String(view.presetNames[size_t(i)]);
    if (!same) {
      combo->RemoveAll();
      for (const std::u16string& name : view.presetNames) {
        auto* item = new ui::CListLabelElementUI;  // owned by the combo
        item->SetResourceText(false);
        item->SetText(QString::fromStdU16String(name));
        item->SetUserData(QString::fromStdU16String(name));
        item->SetFixedHeight(30);
        combo->Add(item);
      }
    }
    if (combo->GetCurSel() != view.presetSelection) combo->SelectItem(view.presetSelection, false, false);
  }
  if (auto* edit = Find<ui::CEditUI>(*this, "custom_eq_name_edit")) {
    const QString text = QString::fromStdU16String(view.nameEdit);
    if (edit->GetText() != text) edit->SetText(text);
  }
  if (auto* area = Find<ui::CControlUI>(*this, "custom_eq_option_layout")) area->SetEnabled(eq && view.userPresetArea);
  ShowNote(Find<ui::CLabelUI>(*this, "hs_eq_note"), view, Group::Equaliser);

  const bool mic = view.available[size_t(Group::Microphone)];
  Select(Find<ui::COptionUI>(*this, "6533_MicIn_option"), view.micOption, mic);
  SetSlider(Find<ui::CSliderUI>(*this, "6533_MicIn_slider"), view.micSlider, mic);
  ShowNote(Find<ui::CLabelUI>(*this, "hs_mic_note"), view, Group::Microphone);
  const bool monitor = view.available[size_t(Group::Monitoring)];
  Select(Find<ui::COptionUI>(*this, "6533_MicMoniter_option"), view.monitorOption, monitor);
  SetSlider(Find<ui::CSliderUI>(*this, "6533_MicMoniter_slider"), view.monitorSlider, monitor);
  ShowNote(Find<ui::CLabelUI>(*this, "hs_monitor_note"), view, Group::Monitoring);
}

std::u16string CVoice6533ControlUI::NameEditText() const {
  const auto* edit = Find<ui::CEditUI>(*this, "custom_eq_name_edit");
  return edit ? edit->GetText().toStdU16String() : std::u16string();
}

int CVoice6533ControlUI::BandSliderValue(int band) const {
  const auto* slider = Find<ui::CSliderUI>(*this, QStringLiteral("6533_eq_hz_slider_%1").arg(band));
  return slider ? slider->GetValue() : 0;
}

int CVoice6533ControlUI::MicSliderValue() const {
  const auto* slider = Find<ui::CSliderUI>(*this, "6533_MicIn_slider");
  return slider ? slider->GetValue() : 0;
}

int CVoice6533ControlUI::MonitorSliderValue() const {
  const auto* slider = Find<ui::CSliderUI>(*this, "6533_MicMoniter_slider");
  return slider ? slider->GetValue() : 0;
}

int CVoice6533ControlUI::SelectedUserPreset() const {
  const auto* combo = Find<ui::CComboUI>(*this, "custom_eq_name_combo");
  return combo ? combo->GetCurSel() : -1;
}

bool CMagicControlUI::IsClass(const QString& className) const {
  return className == QLatin1String("MagicControl") || CHorizontalLayoutUI::IsClass(className);
}

void CMagicControlUI::Show(const audio::PanelView& view) {
  const bool usable = view.available[size_t(Group::VoiceEffect)];
  Select(Find<ui::COptionUI>(*this, "magic_enable_option"), view.effectOption, usable);
  if (auto* layout = Find<ui::CControlUI>(*this, "magic_option_layout")) layout->SetEnabled(usable && view.effectTypes);
  for (int i = 1; i <= audio::kVoiceEffects; ++i)
    Select(Find<ui::COptionUI>(*this, QStringLiteral("magic_option_%1").arg(i)), view.effectType == i, true);
  ShowNote(Find<ui::CLabelUI>(*this, "magic_note"), view, Group::VoiceEffect);
}

bool CMagicControlUI::EffectOptionSelected() const {
  const auto* option = Find<ui::COptionUI>(*this, "magic_enable_option");
  return option && option->IsSelected();
}

}  // namespace headset
