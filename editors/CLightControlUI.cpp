#include "editors/CLightControlUI.h"

#include <algorithm>
#include <span>

#include "platform/Trace.h"

namespace editors {
namespace {

constexpr int kModeItemHeight = 30;

// A layout row: what a mode range does to the seven-colour check, the colour
// area, the direction, brightness and speed layouts, and the same-mode button.
enum Set : int8_t { kKeep = -1, kOff = 0, kOn = 1 };
struct LayoutRow {
  int first, last;
  Set seven, colour, dir, bright, speed;
  bool same;
};

// Keyboard, mouse, pad (and headset) rows; a mode no row covers turns all off.
constexpr LayoutRow kKeyboardRows[] = {
    {1, 2, kOn, kOn, kKeep, kOn, kOn, false},     {3, 3, kOn, kOn, kKeep, kOn, kOn, false},
    {24, 24, kOn, kOn, kKeep, kOn, kOn, false},   {4, 4, kOff, kOff, kOff, kOn, kOn, true},
    {5, 5, kOn, kOn, kOff, kOn, kOn, true},       {23, 23, kOn, kOn, kOff, kOn, kOn, true},
    {6, 6, kOn, kOn, kOff, kOn, kOff, true},      {7, 10, kOn, kOn, kOff, kOn, kOn, false},
    {13, 15, kOn, kOn, kOff, kOn, kOn, false},    {22, 22, kOn, kOn, kOff, kOn, kOn, false},
    {25, 25, kOn, kOn, kOff, kOn, kOn, false},    {11, 11, kOff, kOff, kOff, kOn, kOn, false},
    {26, 26, kOff, kOff, kOff, kOn, kOn, false},  {12, 12, kOff, kOff, kKeep, kOn, kOn, false},
    {16, 16, kOn, kOn, kOff, kOn, kOff, false},   {17, 17, kOff, kOff, kOff, kOn, kOn, false},
    {18, 18, kOff, kOff, kOn, kOn, kOff, false},  {19, 19, kOff, kOff, kOff, kOff, kOff, false},
    {20, 20, kOff, kOn, kOff, kOn, kOff, false},  {21, 21, kOn, kOn, kKeep, kOn, kOn, false},
    {27, 27, kOff, kOff, kOff, kOn, kOn, false},  {28, 28, kOff, kOff, kOff, kOff, kOff, true},
    {29, 29, kOn, kOn, kKeep, kOn, kOff, false},  {30, 30, kOff, kOff, kOff, kOn, kOff, false},
};
constexpr LayoutRow kMouseRows[] = {
    {0, 0, kOff, kOn, kOff, kOn, kOff, true},     {1, 1, kOn, kOn, kOff, kOn, kOn, true},
    {6, 7, kOn, kOn, kOff, kOn, kOn, true},       {2, 2, kOn, kOn, kKeep, kOn, kOn, false},
    {4, 4, kOn, kOn, kKeep, kOn, kOn, false},     {3, 3, kOff, kOff, kOff, kOn, kOn, true},
    {5, 5, kOff, kOff, kOff, kOn, kOn, false},    {8, 8, kOff, kOff, kOff, kOn, kOn, false},
    {10, 10, kOff, kOff, kOff, kOff, kOff, true},
};
constexpr LayoutRow kPadRows[] = {
    {0, 0, kOn, kOn, kKeep, kOn, kOn, false},     {1, 1, kOff, kOff, kOff, kOn, kOn, true},
    {2, 2, kOn, kOn, kOff, kOn, kOn, true},       {4, 4, kOn, kOn, kOff, kOn, kOn, true},
    {3, 3, kOff, kOn, kOff, kOn, kOff, true},     {8, 8, kOff, kOff, kOff, kOff, kOff, true},
};
constexpr LayoutRow kAllOff{0, 0, kOff, kOff, kOff, kOff, kOff, false};

const LayoutRow& RowFor(std::span<const LayoutRow> rows, int mode) {
  for (const LayoutRow& r : rows)
    if (mode >= r.first && mode <= r.last) return r;
  return kAllOff;
}

// Direction texts of the keyboard modes that name their directions.
struct DirectionTexts {
  int mode;
  const char* first;   // "deng_FXL_check": byte 3 = 1
  const char* second;  // "deng_FXR_check": byte 3 = 0
};
constexpr DirectionTexts kDirectionTexts[] = {
    {3, "light_set_clockwise_text", "light_set_anticlockwise_text"},
    {24, "light_set_clockwise_text", "light_set_anticlockwise_text"},
    {12, "light_set_down_to_up_text", "light_set_up_to_down_text"},
    {18, "light_set_outside_to_inside_text", "light_set_inside_to_outside_text"},
    {21, "light_set_up_to_down_text", "light_set_down_to_up_text"},
};

void Bytes(uint32_t word, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = uint8_t(word >> (8 * i));
}

}  // namespace

uint8_t EditByte(const QString& text) {
  const QString t = text.trimmed();
  int i = 0;
  const bool negative = i < t.size() && t[i] == QLatin1Char('-');
  if (negative || (i < t.size() && t[i] == QLatin1Char('+'))) ++i;
  long value = 0;
  for (; i < t.size() && t[i].isDigit() && value <= 255; ++i) value = value * 10 + t[i].digitValue();
  // Below 0 stores 0: a byte never wraps round to a bright colour.
  if (negative) return 0;
  return uint8_t(std::min<long>(value, 255));
}

bool CLightControlUI::IsClass(const QString& className) const {
  return className == QLatin1String("LightControl") || ui::CHorizontalLayoutUI::IsClass(className);
}

ui::CControlUI* CLightControlUI::Control(const char* name) {
  const QString key = QString::fromLatin1(name);
  auto it = controls_.find(key);
  if (it != controls_.end() && it.value()) return it.value();
  ui::CControlUI* found = FindSubControl(key);
  if (found) controls_.insert(key, found);
  return found;
}

void CLightControlUI::SetEditText(const char* name, const QString& text) {
  if (auto* c = Control(name)) c->SetText(text);
}

QString CLightControlUI::EditText(const char* name) {
  auto* c = Control(name);
  return c ? c->GetText() : QString();
}

void CLightControlUI::Enable(const char* name, bool on) {
  if (auto* c = Control(name)) c->SetEnabled(on);
}

void CLightControlUI::Show(const char* name, bool on) {
  if (auto* c = Control(name)) c->SetVisible(on);
}

void CLightControlUI::SetText(const char* name, const char* textId) {
  if (auto* c = Control(name)) c->SetText(QString::fromLatin1(textId));
}

// ---- mode list and lighting state ------------------------------------------

void CLightControlUI::SetModeList(const QStringList& names, const std::vector<bool>& visible, int maxBrightness,
                                  int maxSpeed) {
  if (auto* combo = ControlAs<ui::CComboUI>("light_combo_modeSelect")) {
    combo->RemoveAll();
    for (int i = 0; i < names.size(); ++i) {
      auto* item = new ui::CListLabelElementUI;
      item->SetText(names[i]);
      item->SetUserData(names[i]);
      item->SetFixedHeight(kModeItemHeight);
      if (size_t(i) < visible.size() && !visible[size_t(i)]) item->SetVisible(false);
      combo->Add(item);
    }
  }
  if (auto* s = ControlAs<ui::CSliderUI>("deng_light_slider")) s->SetMaxValue(maxBrightness);
  if (auto* s = ControlAs<ui::CSliderUI>("deng_speed_slider")) s->SetMaxValue(maxSpeed);
}

void CLightControlUI::ShowLightInfo(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
  ShowLightInfo(profiles::LightInfoRecord::FromWords(w0, w1, w2, uint16_t(w3)));
}

void CLightControlUI::ShowLightInfo(const profiles::LightInfoRecord& r) {
  SelectMode(r.selectItem);
  ShowBrightness(r.light);
  ShowSpeed(r.speed);
  ShowRed(QString::number(r.red));
  ShowGreen(QString::number(r.green));
  ShowBlue(QString::number(r.blue));
  ShowPaletteColour(Argb(r.red, r.green, r.blue));
  ShowSevenColour(r.multiColor != 0);
  ShowSecondaryMode(r.zzccLedMode);
  ShowDirection(r.fx);
  UpdateLayout(kind_, r.selectItem);
}

void CLightControlUI::SelectMode(int index) {
  auto* combo = ControlAs<ui::CComboUI>("light_combo_modeSelect");
  if (!combo) return;
  combo->SelectItem(index, false, false);
  UpdateLayout(kind_, index);
}

int CLightControlUI::GetSelectedMode() {
  auto* combo = ControlAs<ui::CComboUI>("light_combo_modeSelect");
  return combo ? combo->GetCurSel() : -1;
}

void CLightControlUI::ShowCustomGroup(int index) {
  if (auto* c = ControlAs<ui::CComboUI>("light_combo_custommodeSelect")) c->SelectItem(index, false, false);
}

int CLightControlUI::GetCustomGroup() {
  auto* c = ControlAs<ui::CComboUI>("light_combo_custommodeSelect");
  return c ? c->GetCurSel() : -1;
}

void CLightControlUI::ShowSecondaryMode(int index) {
  if (auto* c = ControlAs<ui::CComboUI>("light_combo_ZZCCmodeSelect")) c->SelectItem(index, false, false);
}

int CLightControlUI::GetSecondaryMode() {
  auto* c = ControlAs<ui::CComboUI>("light_combo_ZZCCmodeSelect");
  return c ? c->GetCurSel() : -1;
}

void CLightControlUI::ShowBrightness(int level) {
  if (auto* s = ControlAs<ui::CSliderUI>("deng_light_slider")) s->SetValue(level);
}

int CLightControlUI::GetBrightness() {
  auto* s = ControlAs<ui::CSliderUI>("deng_light_slider");
  return s ? s->GetValue() : 0;
}

void CLightControlUI::ShowSpeed(int level) {
  if (auto* s = ControlAs<ui::CSliderUI>("deng_speed_slider")) s->SetValue(level);
}

int CLightControlUI::GetSpeed() {
  auto* s = ControlAs<ui::CSliderUI>("deng_speed_slider");
  return s ? s->GetValue() : 0;
}

void CLightControlUI::ShowPaletteColour(uint32_t argb) {
  if (auto* p = ControlAs<ui::CColorPaletteUI>("deng_Color_Pallet")) p->SetSelectColor(argb);
  ShowColourButton(argb);
}

uint32_t CLightControlUI::GetPaletteColour() {
  auto* p = ControlAs<ui::CColorPaletteUI>("deng_Color_Pallet");
  return p ? p->GetSelectColor() : kOpaque;
}

void CLightControlUI::ShowColourButton(uint32_t argb) {
  if (auto* b = Control("deng_colordp_btn")) b->SetBkColor(argb);
}

uint32_t CLightControlUI::GetPresetColour(int n) {
  auto* c = FindSubControl(QStringLiteral("color_option_%1").arg(n));
  return c ? c->GetBkColor() : 0;
}

void CLightControlUI::ShowSevenColour(bool on) {
  if (auto* c = ControlAs<ui::COptionUI>("deng_7color_check")) c->Selected(on, false);
}

bool CLightControlUI::GetSevenColour() {
  auto* c = ControlAs<ui::COptionUI>("deng_7color_check");
  return c && c->IsSelected();
}

void CLightControlUI::ShowDirection(int flag) {
  if (auto* c = ControlAs<ui::COptionUI>("deng_FXL_check")) c->Selected(flag != 0, false);
  if (auto* c = ControlAs<ui::COptionUI>("deng_FXR_check")) c->Selected(flag == 0, false);
}

void CLightControlUI::ShowSameMode(bool on) { Show("deng_same_mode", sameModeAllowed_ && on); }

void CLightControlUI::SetSameModeAllowed(bool allowed) {
  sameModeAllowed_ = allowed;
  UpdateLayout(kind_, GetSelectedMode());
}

// ---- layout rules ----------------------------------------------------------

void CLightControlUI::UpdateLayout(int kind, int mode) {
  const bool keyboard = kind == lightkind::kKeyboard;
  const bool mouse = kind == lightkind::kMouse;
  const bool pad = kind == lightkind::kPad || kind == lightkind::kHeadset;
  // The receiver kinds keep every control as the page layout defines it.
  if (!keyboard && !mouse && !pad) return;
  Enable("lighteffect_layout", true);
  ShowSameMode(false);
  Enable("deng_fx_layout", true);
  if (keyboard) KeyboardLayout(mode);
  const LayoutRow& row = RowFor(keyboard ? std::span<const LayoutRow>(kKeyboardRows)
                                : mouse  ? std::span<const LayoutRow>(kMouseRows)
                                         : std::span<const LayoutRow>(kPadRows),
                                mode);
  const auto apply = [this](const char* name, Set s) {
    if (s != kKeep) Enable(name, s == kOn);
  };
  apply("deng_7color_check", row.seven);
  apply("deng_color_layout", row.colour);
  apply("colorpallet_layout", row.colour);
  apply("deng_fx_layout", row.dir);
  apply("deng_light_layout", row.bright);
  apply("deng_speed_layout", row.speed);
  if (row.same) ShowSameMode(true);
  if (!keyboard) return;
  // What only some keyboard modes do after their row.
  switch (mode) {
    case 4: case 11: case 26: case 18: case 30:
      Enable("light_color_layout", false);
      break;
    case 17:
      Enable("light_color_layout", false);
      Show("deng_speed_layout", false);
      Show("light_combo_ZZCCmodeSelectLayout", true);
      break;
    case 20:
      Show("deng_speed_layout", false);
      Show("lightcustom_layout", true);
      break;
    case 29:
      Show("deng_speed_layout", false);
      Show("light_combo_AudiomodeSelectLayout", true);
      if (auto* tab = ControlAs<ui::CTabLayoutUI>("light_color_tablayout")) tab->SelectItem(1);
      break;
    default:
      break;
  }
}

void CLightControlUI::KeyboardLayout(int mode) {
  Show("lightcustom_layout", false);
  Show("deng_speed_layout", true);
  Show("light_combo_ZZCCmodeSelectLayout", false);
  Enable("light_color_layout", true);
  SetText("deng_FXL_check", "light_set_right_to_left_text");
  SetText("deng_FXR_check", "light_set_left_to_right_text");
  Show("light_combo_AudiomodeSelectLayout", false);
  if (auto* tab = ControlAs<ui::CTabLayoutUI>("light_color_tablayout")) tab->SelectItem(0);
  for (const DirectionTexts& t : kDirectionTexts) {
    if (t.mode != mode) continue;
    SetText("deng_FXL_check", t.first);
    SetText("deng_FXR_check", t.second);
  }
}

// ---- audio colours ---------------------------------------------------------

void CLightControlUI::ShowAudioLight(uint32_t w0, uint32_t w1, uint8_t b8) {
  auto* modes = ControlAs<ui::CComboUI>("light_combo_audiomodeSelect");
  auto* button = Control("deng_audiocolordp_btn");
  // A page without these controls shows nothing (the trace says which).
  if (!modes) return Trace(" SetAudioLightInfo control is NULL");
  if (!button) return Trace("GetAudioLightInfo control is NULL");
  uint8_t bytes[9];
  Bytes(w0, bytes);
  Bytes(w1, bytes + 4);
  bytes[8] = b8;
  audioState_ = profiles::AudioLightRecord::Decode(std::span<const uint8_t, 9>(bytes, 9));
  const profiles::AudioLightRecord& a = audioState_;
  modes->SelectItem(a.audioMode, false, false);
  auto* fg = ControlAs<ui::COptionUI>("audio_FgColor_check");
  auto* bk = ControlAs<ui::COptionUI>("audio_BkColor_check");
  auto* seven = ControlAs<ui::COptionUI>("deng_7audiocolor_check");
  uint8_t r, g, b;
  if (a.colorType) {
    if (fg) fg->Selected(true, false);
    if (bk) bk->Selected(false, false);
    if (seven) {
      seven->SetEnabled(true);
      seven->Selected(a.sevenColor != 0, false);
    }
    r = a.fgRed, g = a.fgGreen, b = a.fgBlue;
  } else {
    if (bk) bk->Selected(true, false);
    if (fg) fg->Selected(false, false);
    if (seven) seven->SetEnabled(false);
    r = a.bkRed, g = a.bkGreen, b = a.bkBlue;
  }
  SetEditText("deng_audioedit_R", QString::number(r));
  SetEditText("deng_audioedit_G", QString::number(g));
  SetEditText("deng_audioedit_B", QString::number(b));
  if (auto* p = ControlAs<ui::CColorPaletteUI>("deng_audioColor_Pallet")) p->SetSelectColor(Argb(r, g, b));
  button->SetBkColor(Argb(r, g, b));
  constexpr uint8_t kAudioModeWithoutColour = 3;
  Enable("light_audiocolor_layout", a.audioMode != kAudioModeWithoutColour);
  Enable("audiocolorpallet_layout", a.audioMode != kAudioModeWithoutColour);
}

profiles::AudioLightRecord CLightControlUI::ReadAudioLight(bool takeColour) {
  auto* modes = ControlAs<ui::CComboUI>("light_combo_audiomodeSelect");
  auto* button = Control("deng_audiocolordp_btn");
  auto* seven = ControlAs<ui::COptionUI>("deng_7audiocolor_check");
  auto* bk = ControlAs<ui::COptionUI>("audio_BkColor_check");
  auto* fg = ControlAs<ui::COptionUI>("audio_FgColor_check");
  if (!modes || !button || !seven || !bk || !fg) {
    Trace("GetAudioLightInfo control is NULL");
    return audioState_;
  }
  profiles::AudioLightRecord& a = audioState_;
  a.audioMode = uint8_t(std::max(0, modes->GetCurSel()));
  a.sevenColor = seven->IsSelected() ? 1 : 0;
  // With both options selected the flag flips to the other colour.
  a.colorType = bk->IsSelected() && (a.colorType || !fg->IsSelected()) ? 0 : 1;
  if (takeColour) {
    const uint32_t c = button->GetBkColor();
    const uint8_t r = uint8_t(c >> 16), g = uint8_t(c >> 8), b = uint8_t(c);
    if (a.colorType) a.fgRed = r, a.fgGreen = g, a.fgBlue = b;
    else a.bkRed = r, a.bkGreen = g, a.bkBlue = b;
  }
  return a;
}

uint32_t CLightControlUI::GetAudioPresetColour(int n) {
  const QString name = QStringLiteral("audiocolor_option_%1").arg(n);
  Trace(name.toStdString());
  Trace("GetLightAudioColor");
  auto* c = FindSubControl(name);
  return c ? c->GetBkColor() : 0;
}

uint32_t CLightControlUI::GetAudioPaletteColour() {
  auto* p = ControlAs<ui::CColorPaletteUI>("deng_audioColor_Pallet");
  return p ? p->GetSelectColor() : kOpaque;
}

QString CLightControlUI::GetAudioEditText(int i) {
  static const char* const kEdits[] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};
  for (const char* name : kEdits) {
    if (!Control(name)) {
      Trace("GetLightAudioColor control is NULL");
      return {};
    }
  }
  return i >= 0 && i < 3 ? EditText(kEdits[i]) : QString();
}

}  // namespace editors
