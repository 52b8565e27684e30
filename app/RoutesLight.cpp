// The lighting editor's change handlers. Each starts from the current
// device's lighting state (the device of the selected bar entry), changes
// only the bytes its control edits, and hands the record back to the device,
// which stores it in its profile and applies it. Edits that belong to the
// user's light settings take the device out of synchronised lighting; the
// colour presets do not.

#include <array>

#include "app/MainWnd.h"
#include "app/Routing.h"
#include "devices/MouseDevice.h"
#include "editors/CColorSelectWnd.h"
#include "editors/CLightControlUI.h"

namespace app {
namespace {

using editors::CLightControlUI;
using Record = profiles::LightInfoRecord;

struct Target {
  devices::CGesterinUSBDevice* device = nullptr;
  CLightControlUI* editor = nullptr;
  explicit operator bool() const { return device && editor; }
};

Target Current(CMainWnd& wnd) {
  Target t;
  t.device = wnd.SelectedDevice();
  if (t.device) t.editor = t.device->LightEditor();
  return t;
}

void EndSync(devices::CGesterinUSBDevice& d) { d.CommandChannel().SetHoldFlag(false); }

void Store(devices::CGesterinUSBDevice& d, const Record& r) {
  const std::array<uint32_t, 4> w = r.ToWords();
  d.SetLightState(w[0], w[1], w[2], uint16_t(w[3]));
  d.SaveProfile();
  d.ApplyLightingFromProfile();
}

// Every model ignores the further values; the block and first byte are 0.
void Send(devices::CGesterinUSBDevice& d) { (void)d.WriteSettingsToDevice(0, 0, 0, 0, 0); }

void Apply(devices::CGesterinUSBDevice& d, const Record& r) {
  Store(d, r);
  Send(d);
}

// The colour edits, the seven-colour check and the palette show the record's colour.
void ShowColour(CLightControlUI& e, const Record& r) {
  e.ShowRed(QString::number(r.red));
  e.ShowGreen(QString::number(r.green));
  e.ShowBlue(QString::number(r.blue));
  e.ShowSevenColour(false);
  e.ShowPaletteColour(editors::Argb(r.red, r.green, r.blue));
}

void SetColour(Record& r, uint32_t argb) {
  r.red = uint8_t(argb >> 16);
  r.green = uint8_t(argb >> 8);
  r.blue = uint8_t(argb);
  r.multiColor = 0;
}

// A colour change: stored and applied, shown, then sent.
void ApplyColour(Target& t, const Record& r) {
  Store(*t.device, r);
  ShowColour(*t.editor, r);
  Send(*t.device);
}

void OnMode(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  const int mode = t.editor->GetSelectedMode();
  if (mode < 0) return;
  r.selectItem = uint8_t(mode);
  EndSync(*t.device);
  t.editor->SelectMode(mode);
  Apply(*t.device, r);
}

void OnBrightness(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  r.light = uint8_t(t.editor->GetBrightness());
  EndSync(*t.device);
  Apply(*t.device, r);
}

void OnSpeed(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  r.speed = uint8_t(t.editor->GetSpeed());
  EndSync(*t.device);
  Apply(*t.device, r);
}

void OnDirection(CMainWnd& wnd, ui::TNotifyUI& msg, bool first) {
  Target t = Current(wnd);
  // The option that lost its selection in the group says nothing.
  auto* option = qobject_cast<ui::COptionUI*>(msg.pSender);
  if (!t || (option && !option->IsSelected())) return;
  Record r = t.device->LightState();
  r.fx = first ? 1 : 0;
  EndSync(*t.device);
  t.editor->ShowDirection(r.fx);
  Apply(*t.device, r);
}
void OnDirectionFirst(CMainWnd& wnd, ui::TNotifyUI& msg, int) { OnDirection(wnd, msg, true); }
void OnDirectionSecond(CMainWnd& wnd, ui::TNotifyUI& msg, int) { OnDirection(wnd, msg, false); }

void OnSevenColour(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  r.multiColor = t.editor->GetSevenColour() ? 1 : 0;
  EndSync(*t.device);
  Apply(*t.device, r);
}

void OnPalette(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  SetColour(r, t.editor->GetPaletteColour());
  EndSync(*t.device);
  ApplyColour(t, r);
}

void OnColourEdit(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  Target t = Current(wnd);
  if (!t || !msg.pSender) return;
  const QString name = msg.pSender->GetName();
  const QString text = msg.pSender->GetText();
  const uint8_t value = editors::EditByte(text);
  // An edit that stored something other than it says shows the stored value.
  const bool negative = text.trimmed().startsWith(QLatin1Char('-'));
  if (text.trimmed().isEmpty() || negative || (value == 255 && text.trimmed() != QLatin1String("255")))
    msg.pSender->SetText(QString::number(value));
  Record r = t.device->LightState();
  if (name.endsWith(QLatin1Char('R'))) r.red = value;
  else if (name.endsWith(QLatin1Char('G'))) r.green = value;
  else r.blue = value;
  r.multiColor = 0;
  EndSync(*t.device);
  Store(*t.device, r);
  t.editor->ShowSevenColour(false);
  t.editor->ShowPaletteColour(editors::Argb(r.red, r.green, r.blue));
  Send(*t.device);
}

void OnPreset(CMainWnd& wnd, ui::TNotifyUI&, int n) {
  Target t = Current(wnd);
  if (!t) return;
  Record r = t.device->LightState();
  SetColour(r, t.editor->GetPresetColour(n));
  ApplyColour(t, r);
}

void OnSecondaryMode(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t || t.device->Kind() != editors::lightkind::kKeyboard) return;
  const int index = t.editor->GetSecondaryMode();
  if (index < 0) return;
  Record r = t.device->LightState();
  r.zzccLedMode = uint8_t(index);
  t.editor->ShowSecondaryMode(index);
  Apply(*t.device, r);
}

// ---- audio colours ---------------------------------------------------------

void StoreAudio(devices::CGesterinUSBDevice& d, const profiles::AudioLightRecord& a) {
  const auto b = a.Encode();
  const auto word = [&](size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  };
  d.SetColour(word(0), word(4), b[8]);
  d.SaveProfile();
  d.ApplyLightingFromProfile();
}

// The colour the audio controls edit: the foreground or the background.
void SetAudioColour(profiles::AudioLightRecord& a, uint32_t argb) {
  const uint8_t r = uint8_t(argb >> 16), g = uint8_t(argb >> 8), b = uint8_t(argb);
  if (a.colorType) a.fgRed = r, a.fgGreen = g, a.fgBlue = b;
  else a.bkRed = r, a.bkGreen = g, a.bkBlue = b;
}

void OnAudioRecord(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (Target t = Current(wnd)) StoreAudio(*t.device, t.device->GetColour(true));
}

void OnAudioColourSide(CMainWnd& wnd, ui::TNotifyUI&, int) {
  if (Target t = Current(wnd)) StoreAudio(*t.device, t.device->GetColour(false));
}

void OnAudioPalette(CMainWnd& wnd, ui::TNotifyUI&, int) {
  Target t = Current(wnd);
  if (!t) return;
  profiles::AudioLightRecord a = t.device->GetColour(true);
  SetAudioColour(a, t.editor->GetAudioPaletteColour());
  StoreAudio(*t.device, a);
}

void OnAudioEdit(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  Target t = Current(wnd);
  if (!t || !msg.pSender) return;
  const QString name = msg.pSender->GetName();
  const uint8_t value = editors::EditByte(msg.pSender->GetText());  // the edit keeps its text
  profiles::AudioLightRecord a = t.device->GetColour(false);
  const int channel = name.endsWith(QLatin1Char('R')) ? 0 : name.endsWith(QLatin1Char('G')) ? 1 : 2;
  uint8_t* colour = a.colorType ? &a.fgRed : &a.bkRed;
  colour[channel] = value;
  if (a.colorType) a.sevenColor = 0;
  StoreAudio(*t.device, a);
}

void OnAudioPreset(CMainWnd& wnd, ui::TNotifyUI&, int n) {
  Target t = Current(wnd);
  if (!t) return;
  profiles::AudioLightRecord a = t.device->GetColour(true);
  SetAudioColour(a, t.editor->GetAudioPresetColour(n));
  if (a.colorType) a.sevenColor = 0;
  StoreAudio(*t.device, a);
}

// ---- a DPI stage's colour, chosen in the palette window ---------------------

void OnStageColour(CMainWnd& wnd, ui::TNotifyUI&, int stage) {
  // One palette window at a time, and only for a mouse.
  auto* mouse = qobject_cast<devices::CGesterinMouseDevice*>(wnd.SelectedDevice());
  if (editors::CColorSelectWnd::Open() || !mouse || stage < 0) return;
  const std::optional<uint32_t> chosen =
      editors::PickColour(wnd.GetHWND(), mouse->GetStageColour(stage), wnd.PaintManager().GetDPI());
  if (!chosen) return;  // cancelled: nothing changes, nothing is written
  mouse->ShowStageColour(stage, *chosen);
  profiles::CMouseProfiledata& profile = mouse->MouseProfile();
  std::vector<profiles::DpiStage> stages = profile.GetDpiStages();
  if (stages.size() <= size_t(stage)) stages.resize(size_t(stage) + 1);
  stages[size_t(stage)].red = uint8_t(*chosen >> 16);
  stages[size_t(stage)].green = uint8_t(*chosen >> 8);
  stages[size_t(stage)].blue = uint8_t(*chosen);
  profile.SetDpiStages(stages);
  mouse->SaveProfile();
  Send(*mouse);
}

constexpr Route kLightRoutes[] = {
    {"click", "DPI_color_option_", Match::Family, OnStageColour},
    {"itemselect", "light_combo_modeSelect", Match::Name, OnMode},
    {"valuechanged", "deng_light_slider", Match::Name, OnBrightness},
    {"valuechanged", "deng_speed_slider", Match::Name, OnSpeed},
    {"selectchanged", "deng_FXL_check", Match::Name, OnDirectionFirst},
    {"selectchanged", "deng_FXR_check", Match::Name, OnDirectionSecond},
    {"selectchanged", "deng_7color_check", Match::Name, OnSevenColour},
    {"colorchanged", "deng_Color_Pallet", Match::Name, OnPalette},
    {"killfocus", "deng_edit_R", Match::Name, OnColourEdit},
    {"killfocus", "deng_edit_G", Match::Name, OnColourEdit},
    {"killfocus", "deng_edit_B", Match::Name, OnColourEdit},
    {"click", "color_option_", Match::Family, OnPreset},
    {"itemselect", "light_combo_ZZCCmodeSelect", Match::Name, OnSecondaryMode},
    {"itemselect", "light_combo_audiomodeSelect", Match::Name, OnAudioRecord},
    {"selectchanged", "deng_7audiocolor_check", Match::Name, OnAudioRecord},
    {"colorchanged", "deng_audioColor_Pallet", Match::Name, OnAudioPalette},
    {"killfocus", "deng_audioedit_R", Match::Name, OnAudioEdit},
    {"killfocus", "deng_audioedit_G", Match::Name, OnAudioEdit},
    {"killfocus", "deng_audioedit_B", Match::Name, OnAudioEdit},
    {"click", "audiocolor_option_", Match::Family, OnAudioPreset},
    {"selectchanged", "audio_BkColor_check", Match::Name, OnAudioColourSide},
    {"selectchanged", "audio_FgColor_check", Match::Name, OnAudioColourSide},
};

}  // namespace

std::span<const Route> LightRoutes() { return kLightRoutes; }

}  // namespace app
