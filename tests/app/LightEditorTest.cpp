// The lighting editor on the program's own pages over emulated devices: the
// mode list from the catalogue, the layout rules of every kind, the change
// handlers reached through the main window's routing, and pictures of the
// panel for people to look at.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include <QTimer>

#include "app/Routing.h"
#include "editors/CColorSelectWnd.h"
#include "editors/CLightControlUI.h"
#include "tests/app/MainWndFixture.h"

namespace {

using apptest::MainWndFixture;
using app::PageKind;
using editors::CLightControlUI;

class LightEditorTest : public MainWndFixture {
 protected:
  // The window with the devices of `list`, the page of `kind` selected.
  devices::CGesterinUSBDevice* Page(const char* list, PageKind kind) {
    main_ = Open(Emulate(list));
    if (!apptest::WaitFor([&] { return EntryShown(*main_, kind); }, 5000)) return nullptr;
    apptest::Click(EntryFor(*main_, kind)->SelectOption());
    devices::CGesterinUSBDevice* page = main_->Devices(kind).front();
    if (!apptest::WaitFor([&] { return main_->SelectedDevice() == page; })) return nullptr;
    return page;
  }
  // What the user's edit sends: the notification through the main window's routing.
  bool Notify(const QString& type, ui::CControlUI* sender) {
    ui::TNotifyUI msg;
    msg.sType = type;
    msg.pSender = sender;
    return app::Dispatch(*main_, msg);
  }
  static bool Enabled(CLightControlUI& e, const char* name) { return e.Control(name)->IsEnabled(); }
  static bool Shown(CLightControlUI& e, const char* name) { return e.Control(name)->IsVisible(); }

  std::unique_ptr<app::CMainWnd> main_;
};

TEST_F(LightEditorTest, TheModeListKeepsHiddenModesInPlace) {
  auto* mouse = Page("mouse", PageKind::Mouse);
  ASSERT_TRUE(mouse);
  CLightControlUI* editor = mouse->LightEditor();
  ASSERT_TRUE(editor) << "the page's \"LightControlItem\" is the lighting editor";
  EXPECT_EQ(editor->Kind(), 2);
  auto* combo = editor->ControlAs<ui::CComboUI>("light_combo_modeSelect");
  ASSERT_TRUE(combo);
  // The mouse catalogue: 0 static ... 8 four-colour blink, 9 reserved (hidden), 10 off.
  ASSERT_GE(combo->GetCount(), 11);
  EXPECT_EQ(combo->GetItemAt(2)->GetUserData(), QStringLiteral("light_mode_wave"));
  EXPECT_FALSE(combo->GetItemAt(9)->IsVisible());
  EXPECT_TRUE(combo->GetItemAt(10)->IsVisible());
  EXPECT_EQ(combo->GetItemAt(10)->GetFixedHeight(), 30);
  EXPECT_EQ(editor->ControlAs<ui::CSliderUI>("deng_light_slider")->GetMaxValue(), 4);

  // A new mode starts afresh: the trail gets its marker back.
  mouse->Lights().Reactive().ring.fill(0);
  combo->SelectItem(4, false, false);
  EXPECT_TRUE(Notify(QStringLiteral("itemselect"), combo));
  EXPECT_EQ(mouse->Lights().State().selectItem, 4);
  EXPECT_EQ(mouse->Lights().Reactive().ring[0], 1);

  // Choosing the mode after the hidden one stores its own index.
  combo->SelectItem(10, false, false);
  EXPECT_TRUE(Notify(QStringLiteral("itemselect"), combo));
  EXPECT_EQ(mouse->LightState().selectItem, 10);
  EXPECT_EQ(mouse->Lights().State().selectItem, 10) << "the engine runs the new mode";
}

TEST_F(LightEditorTest, LayoutRulesByKindAndMode) {
  auto* kb = Page("keyboard", PageKind::Keyboard);
  ASSERT_TRUE(kb);
  CLightControlUI& e = *kb->LightEditor();
  struct Case {
    int kind, mode;
    bool seven, colour, dir, bright, speedEnabled, speedShown;
    const char* extra;  // a layout the mode shows, or null
  };
  const Case cases[] = {
      {1, 0, false, false, false, false, false, true, nullptr},
      {1, 1, true, true, true, true, true, true, nullptr},
      {1, 6, true, true, false, true, false, true, nullptr},
      {1, 17, false, false, false, true, true, false, "light_combo_ZZCCmodeSelectLayout"},
      {1, 18, false, false, true, true, false, true, nullptr},
      {1, 20, false, true, false, true, false, false, "lightcustom_layout"},
      {1, 29, true, true, true, true, false, false, "light_combo_AudiomodeSelectLayout"},
      {1, 31, false, false, false, false, false, true, nullptr},
      {2, 0, false, true, false, true, false, true, nullptr},
      {2, 2, true, true, true, true, true, true, nullptr},
      {2, 9, false, false, false, false, false, true, nullptr},
      {3, 3, false, true, false, true, false, true, nullptr},
      {7, 0, true, true, true, true, true, true, nullptr},
      {3, 6, false, false, false, false, false, true, nullptr},
  };
  for (const Case& c : cases) {
    e.UpdateLayout(c.kind, c.mode);
    const std::string at = std::to_string(c.kind) + "/" + std::to_string(c.mode);
    EXPECT_TRUE(Enabled(e, "lighteffect_layout")) << at;
    EXPECT_EQ(Enabled(e, "deng_7color_check"), c.seven) << at;
    EXPECT_EQ(Enabled(e, "deng_color_layout"), c.colour) << at;
    EXPECT_EQ(Enabled(e, "colorpallet_layout"), c.colour) << at;
    EXPECT_EQ(Enabled(e, "deng_fx_layout"), c.dir) << at;
    EXPECT_EQ(Enabled(e, "deng_light_layout"), c.bright) << at;
    EXPECT_EQ(Enabled(e, "deng_speed_layout"), c.speedEnabled) << at;
    EXPECT_EQ(Shown(e, "deng_speed_layout"), c.speedShown) << at;
    for (const char* layout : {"light_combo_ZZCCmodeSelectLayout", "lightcustom_layout",
                               "light_combo_AudiomodeSelectLayout"})
      if (c.kind == 1) {
        EXPECT_EQ(Shown(e, layout), c.extra && std::string(c.extra) == layout) << at << " " << layout;
      }
  }
  // Keyboard 29 turns the colour tab to the audio page; 1 back to the single colour.
  auto* tab = e.ControlAs<ui::CTabLayoutUI>("light_color_tablayout");
  e.UpdateLayout(1, 29);
  EXPECT_EQ(tab->GetCurSel(), 1);
  e.UpdateLayout(1, 1);
  EXPECT_EQ(tab->GetCurSel(), 0);
  // Direction texts follow the mode.
  e.UpdateLayout(1, 12);
  EXPECT_EQ(e.Control("deng_FXL_check")->GetRawText(), QStringLiteral("light_set_down_to_up_text"));
  e.UpdateLayout(1, 1);
  EXPECT_EQ(e.Control("deng_FXL_check")->GetRawText(), QStringLiteral("light_set_right_to_left_text"));
  // A receiver kind leaves every control as it is.
  e.UpdateLayout(1, 0);
  e.UpdateLayout(6, 2);
  e.UpdateLayout(9, 2);
  EXPECT_FALSE(Enabled(e, "deng_light_layout"));
  // The same-mode button needs permission and a mode that allows it.
  e.SetSameModeAllowed(true);
  e.UpdateLayout(1, 4);
  EXPECT_TRUE(Shown(e, "deng_same_mode"));
  e.UpdateLayout(1, 1);
  EXPECT_FALSE(Shown(e, "deng_same_mode"));
  e.SetSameModeAllowed(false);
  e.UpdateLayout(1, 4);
  EXPECT_FALSE(Shown(e, "deng_same_mode"));
}

TEST_F(LightEditorTest, HandlersChangeOnlyTheirBytesAndEndSyncWhereTheyMust) {
  auto* mouse = Page("mouse", PageKind::Mouse);
  ASSERT_TRUE(mouse);
  CLightControlUI& e = *mouse->LightEditor();
  profiles::LightInfoRecord start;
  start.selectItem = 2;
  start.light = 3;
  start.speed = 1;
  start.fx = 1;
  start.multiColor = 1;
  start.red = 10;
  start.green = 20;
  start.blue = 30;
  mouse->ApplyLightMode(start);
  auto& channel = mouse->CommandChannel();

  // A preset swatch: the colour, seven colours off; synchronised lighting stays.
  channel.SetHoldFlag(true);
  auto* swatch = e.Control("color_option_3");
  ASSERT_TRUE(swatch);
  EXPECT_TRUE(Notify(QStringLiteral("click"), swatch));
  profiles::LightInfoRecord r = mouse->LightState();
  EXPECT_EQ(r.red, 0);
  EXPECT_EQ(r.green, 255);
  EXPECT_EQ(r.blue, 0);
  EXPECT_EQ(r.multiColor, 0);
  EXPECT_EQ(r.selectItem, 2);
  EXPECT_EQ(r.light, 3);
  EXPECT_TRUE(channel.HoldFlag());
  EXPECT_EQ(e.GetGreenText(), QStringLiteral("255"));
  EXPECT_EQ(e.GetPaletteColour(), 0xFF00FF00u);

  // The brightness slider takes the device out of synchronised lighting.
  e.ControlAs<ui::CSliderUI>("deng_light_slider")->SetValue(1);
  EXPECT_TRUE(Notify(QStringLiteral("valuechanged"), e.Control("deng_light_slider")));
  EXPECT_EQ(mouse->LightState().light, 1);
  EXPECT_FALSE(channel.HoldFlag());
  EXPECT_EQ(mouse->Lights().State().light, 1);
  auto* model = qobject_cast<devices::CModelDevice*>(mouse);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->Profile().GetLightInfo().light, 1) << "stored in the profile";

  // Colour edits: 300 stores 255 and shows it; empty and negative store 0.
  struct Edit {
    const char* name;
    const char* typed;
    int stored;
    const char* shown;
  };
  const Edit edits[] = {{"deng_edit_G", "300", 255, "255"}, {"deng_edit_R", "", 0, "0"},
                        {"deng_edit_B", "-5", 0, "0"}, {"deng_edit_R", "77", 77, "77"}};
  for (const Edit& x : edits) {
    channel.SetHoldFlag(true);
    e.Control(x.name)->SetText(QString::fromLatin1(x.typed));
    EXPECT_TRUE(Notify(QStringLiteral("killfocus"), e.Control(x.name)));
    r = mouse->LightState();
    const int stored = x.name[10] == 'R' ? r.red : x.name[10] == 'G' ? r.green : r.blue;
    EXPECT_EQ(stored, x.stored) << x.name << " " << x.typed;
    EXPECT_EQ(e.Control(x.name)->GetText(), QString::fromLatin1(x.shown)) << x.name << " " << x.typed;
    EXPECT_FALSE(channel.HoldFlag());
    EXPECT_FALSE(e.GetSevenColour());
  }
  EXPECT_EQ(e.Control("deng_colordp_btn")->GetBkColor(), editors::Argb(77, 255, 0));

  // The direction options: only the one that became selected speaks.
  auto* second = e.ControlAs<ui::COptionUI>("deng_FXR_check");
  second->Selected(true, false);
  e.ControlAs<ui::COptionUI>("deng_FXL_check")->Selected(false, false);
  EXPECT_TRUE(Notify(QStringLiteral("selectchanged"), e.Control("deng_FXL_check")));
  EXPECT_EQ(mouse->LightState().fx, 1) << "a deselected option changes nothing";
  EXPECT_TRUE(Notify(QStringLiteral("selectchanged"), second));
  EXPECT_EQ(mouse->LightState().fx, 0);

  // With no device selected the handlers do nothing.
  apptest::Click(EntryFor(*main_, PageKind::Mouse)->SelectOption());
}

TEST_F(LightEditorTest, AudioColoursOnTheKeyboardPage) {
  auto* kb = Page("keyboard", PageKind::Keyboard);
  ASSERT_TRUE(kb);
  CLightControlUI& e = *kb->LightEditor();
  // Foreground (ColorTypeFlags 1) shown: edits, seven colours enabled.
  profiles::AudioLightRecord a;
  a.audioMode = 2;
  a.bkRed = 1;
  a.fgRed = 200;
  a.fgGreen = 100;
  a.fgBlue = 50;
  a.sevenColor = 1;
  a.colorType = 1;
  const auto b = a.Encode();
  const auto word = [&](size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  };
  kb->SetColour(word(0), word(4), b[8]);
  EXPECT_EQ(e.GetAudioEditText(0), QStringLiteral("200"));
  EXPECT_TRUE(Enabled(e, "deng_7audiocolor_check"));
  EXPECT_TRUE(Enabled(e, "light_audiocolor_layout"));
  // An edit of 300 stores 255 but keeps its text; editing the foreground clears seven colours.
  e.Control("deng_audioedit_G")->SetText(QStringLiteral("300"));
  EXPECT_TRUE(Notify(QStringLiteral("killfocus"), e.Control("deng_audioedit_G")));
  EXPECT_EQ(e.AudioState().fgGreen, 255);
  EXPECT_EQ(e.AudioState().sevenColor, 0);
  EXPECT_EQ(e.AudioState().fgRed, 200) << "the other bytes stay";
  // Audio mode 3 disables the colour area whatever the colour type.
  a.audioMode = 3;
  const auto b3 = a.Encode();
  kb->SetColour(uint32_t(b3[0]) | uint32_t(b3[1]) << 8 | uint32_t(b3[2]) << 16 | uint32_t(b3[3]) << 24, word(4), b3[8]);
  EXPECT_FALSE(Enabled(e, "light_audiocolor_layout"));
  EXPECT_FALSE(Enabled(e, "audiocolorpallet_layout"));
  // Choosing the background side recomputes the flag and shows the background.
  e.ControlAs<ui::COptionUI>("audio_BkColor_check")->Selected(true, false);
  e.ControlAs<ui::COptionUI>("audio_FgColor_check")->Selected(false, false);
  EXPECT_TRUE(Notify(QStringLiteral("selectchanged"), e.Control("audio_BkColor_check")));
  EXPECT_EQ(e.AudioState().colorType, 0);
  EXPECT_EQ(e.GetAudioEditText(0), QStringLiteral("1"));
  EXPECT_FALSE(Enabled(e, "deng_7audiocolor_check"));
}

TEST_F(LightEditorTest, ADpiStageColourChosenInThePaletteReachesTheMouse) {
  auto* mouse = Page("mouse", PageKind::Mouse);
  ASSERT_TRUE(mouse);
  const auto& unit = Unit("mouse");
  constexpr int kStage = 1;
  constexpr size_t kColourAt = 14 + 9 * kStage + 6;  // the stage's red, green, blue in the settings block
  auto* swatch = mouse->FindSubControl(QStringLiteral("DPI_color_option_1"));
  ASSERT_TRUE(swatch);
  struct Case {
    const char* name;
    const char* button;
    bool written;
  };
  const Case cases[] = {{"cancel", "closebtn", false}, {"ok", "okbtn", true}};
  for (const Case& c : cases) {
    const auto before = unit.firmware->Memory().settings;
    const uint32_t shownBefore = swatch->GetBkColor();
    bool second = true;
    QTimer::singleShot(0, [&] {
      CColorSelectWnd* w = CColorSelectWnd::Open();
      ASSERT_TRUE(w);
      ASSERT_TRUE(apptest::WaitFor([&] { return w->Initialised(); }));
      // A second swatch click while the window is open does nothing.
      second = Notify(QStringLiteral("click"), mouse->FindSubControl(QStringLiteral("DPI_color_option_2")));
      const std::pair<const char*, const char*> edits[] = {{"color_edit_r", "18"}, {"color_edit_g", "52"},
                                                           {"color_edit_b", "86"}};
      for (const auto& [edit, text] : edits) {
        w->FindControl(QString::fromLatin1(edit))->SetText(QString::fromLatin1(text));
        ui::TNotifyUI msg;
        msg.sType = QStringLiteral("killfocus");
        msg.pSender = w->FindControl(QString::fromLatin1(edit));
        w->Notify(msg);
      }
      ui::TNotifyUI click;
      click.sType = QStringLiteral("click");
      click.pSender = w->FindControl(QString::fromLatin1(c.button));
      w->Notify(click);
    });
    EXPECT_TRUE(Notify(QStringLiteral("click"), swatch));
    EXPECT_EQ(CColorSelectWnd::Open(), nullptr) << c.name;
    EXPECT_TRUE(second);  // routed, and ignored
    const auto after = unit.firmware->Memory().settings;
    if (c.written) {
      EXPECT_EQ(after[kColourAt], 18);
      EXPECT_EQ(after[kColourAt + 1], 52);
      EXPECT_EQ(after[kColourAt + 2], 86);
      EXPECT_EQ(swatch->GetBkColor(), 0xFF123456u);
      auto* model = qobject_cast<devices::CGesterinMouseDevice*>(mouse);
      const auto stages = model->MouseProfile().GetDpiStages();
      ASSERT_GT(stages.size(), size_t(kStage));
      EXPECT_EQ(stages[kStage].green, 52);
    } else {
      EXPECT_EQ(after, before) << "cancel writes nothing";
      EXPECT_EQ(swatch->GetBkColor(), shownBefore);
    }
  }
}

TEST_F(LightEditorTest, AHandlersBytesReachTheMousesSettingsBlock) {
  auto* mouse = Page("mouse", PageKind::Mouse);
  ASSERT_TRUE(mouse);
  const auto& unit = Unit("mouse");
  CLightControlUI& e = *mouse->LightEditor();
  e.ControlAs<ui::CSliderUI>("deng_speed_slider")->SetValue(3);
  EXPECT_TRUE(Notify(QStringLiteral("valuechanged"), e.Control("deng_speed_slider")));
  e.Control("deng_edit_R")->SetText(QStringLiteral("201"));
  EXPECT_TRUE(Notify(QStringLiteral("killfocus"), e.Control("deng_edit_R")));
  const auto settings = unit.firmware->Memory().settings;
  // Light bytes of the block: speed is stored as 4 - level at byte 3, red at byte 6.
  EXPECT_EQ(settings[3], 4 - 3);
  EXPECT_EQ(settings[6], 201);
}

// The keyboard's and pad's light areas come from the profile's light list:
// a listed light runs its own mode whatever the main effect does.
TEST_F(LightEditorTest, LightAreasFromTheProfileFile) {
  const std::pair<const char*, PageKind> pages[] = {{"pad", PageKind::MousePad}, {"keyboard", PageKind::Keyboard}};
  for (const auto& [list, kind] : pages) {
    auto* page = Page(list, kind);
    ASSERT_TRUE(page) << list;
    auto* model = qobject_cast<devices::CModelDevice*>(page);
    ASSERT_TRUE(model) << list;
    model->LoadProfile();  // a page with no profile chosen takes its fallback profile
    const std::filesystem::path path = model->Profile().GetProfilePath();
    ASSERT_FALSE(path.empty()) << list;
    Json::Value root;
    if (std::ifstream in(path); in) {
      ASSERT_TRUE(Json::Reader().parse(in, root)) << path;
    }
    std::filesystem::create_directories(path.parent_path());
    // Light 0: static, brightness 4, colour 1, 2, 3.
    Json::Value entry;
    entry["LEDREGMode"] = 1;
    entry["LEDBrightness"] = 4;
    entry["LEDSpeed"] = 0;
    entry["LEDDirection"] = false;
    entry["LEDMultiColor"] = false;
    entry["red"] = 1;
    entry["green"] = 2;
    entry["blue"] = 3;
    root["Device"][0]["LightList"][0] = entry;
    std::ofstream(path) << Json::StyledWriter().write(root);
    model->LoadProfile();
    const auto light0 = [&] {
      const protocol::LightColour c = model->Lights().Colours().Load(0);
      return std::array<int, 4>{c.c0, c.c1, c.c2, c.brightness};
    };
    EXPECT_TRUE(apptest::WaitFor([&] { return light0() == std::array<int, 4>{1, 2, 3, 255}; }))
        << list << " light 0: " << light0()[0] << " " << light0()[1] << " " << light0()[2] << " " << light0()[3];
    main_.reset();
  }
}

// Pictures for people to look at: the panel on each page in some modes.
TEST_F(LightEditorTest, Screenshots) {
  main_ = Open(Emulate("mouse,keyboard,pad"));
  const PageKind kinds[] = {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad};
  ASSERT_TRUE(apptest::WaitFor([&] {
    return std::all_of(std::begin(kinds), std::end(kinds), [&](PageKind k) { return EntryShown(*main_, k); });
  }, 5000));
  struct Shot {
    PageKind kind;
    const char* name;
    int mode;
  };
  const Shot shots[] = {{PageKind::Keyboard, "keyboard", 0},  {PageKind::Keyboard, "keyboard", 17},
                        {PageKind::Keyboard, "keyboard", 20}, {PageKind::Keyboard, "keyboard", 29},
                        {PageKind::Mouse, "mouse", 2},        {PageKind::MousePad, "pad", 3}};
  for (const Shot& s : shots) {
    apptest::Click(EntryFor(*main_, s.kind)->SelectOption());
    devices::CGesterinUSBDevice* page = main_->Devices(s.kind).front();
    ASSERT_TRUE(apptest::WaitFor([&] { return main_->SelectedDevice() == page; }));
    profiles::LightInfoRecord r = page->LightState();
    r.selectItem = uint8_t(s.mode);
    r.light = 4;
    r.speed = 3;
    r.multiColor = 1;
    r.red = 255;
    page->ApplyLightMode(r);
    page->LightEditor()->ShowLightInfo(r);
    apptest::WaitFor([] { return false; }, 300);  // a few light steps
    main_->PaintManager().UpdateLayout();
    const QString name = QStringLiteral("light_editor_%1_%2").arg(QLatin1String(s.name)).arg(s.mode);
    EXPECT_FALSE(ui::SaveScreenshot(main_->GetHWND(), name).isEmpty()) << name.toStdString();
  }
}

}  // namespace
