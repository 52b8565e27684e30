// The mouse page in the main window over the emulated mouse: what its DPI,
// option and timing controls store, save and send, the stage rules, onboard
// profile events, and the unrecognised mouse made usable again.

#include <gtest/gtest.h>

#include "app/DeviceBar.h"
#include "devices/MouseDevice.h"
#include "profiles/JsonFile.h"
#include "tests/app/MainWndFixture.h"

namespace {

using apptest::TraceLines;
using app::PageKind;

class MousePageTest : public apptest::MainWndFixture {
 protected:
  // The window over an emulated mouse whose memory `edit` prepares, once the
  // mouse page has loaded the mouse.
  devices::CGesterinMouseDevice* OpenMouse(const std::function<void(emulator::firmware::DeviceMemory&)>& edit = {}) {
    auto emu = Emulate("mouse");
    if (edit) Unit("mouse").firmware->EditMemory(edit);
    main_ = Open(emu);
    if (!apptest::WaitFor([&] { return traces_.Count("mouse loaded: information block 1, key map 1, settings 1") +
                                          traces_.Count("mouse loaded: information block 3, key map 0, settings 0") > 0; },
                          5000))
      return nullptr;
    return qobject_cast<devices::CGesterinMouseDevice*>(main_->Devices(PageKind::Mouse).front().data());
  }
  template <typename T>
  T* Find(devices::CGesterinMouseDevice* mouse, const char* name) {
    return qobject_cast<T*>(mouse->FindSubControl(QString::fromLatin1(name)));
  }
  void Notify(ui::CControlUI* control, const char* type) { main_->PaintManager().SendNotify(control, QString::fromLatin1(type)); }
  emulator::firmware::DeviceMemory Memory() { return Unit("mouse").firmware->Memory(); }
  Json::Value Saved(devices::CGesterinMouseDevice* mouse) {
    return profiles::LoadJsonFile(mouse->Profile().GetProfilePath())["Device"][0];
  }

  TraceLines traces_;
  std::unique_ptr<app::CMainWnd> main_;
};

TEST_F(MousePageTest, TheLoadShowsTheMousesSettings) {
  auto* mouse = OpenMouse();
  ASSERT_NE(mouse, nullptr);
  // The emulated mouse: SensorA with a bound of 110, stage 1 at step 10 and active.
  EXPECT_EQ(Find<ui::CSliderUI>(mouse, "DPI_slider_1")->GetMaxValue(), 100);
  EXPECT_EQ(Find<ui::CSliderUI>(mouse, "DPI_slider_1")->GetValue(), 10);
  EXPECT_EQ(Find<ui::CEditUI>(mouse, "DPI_edit_1")->GetText(), "800");
  EXPECT_TRUE(Find<ui::COptionUI>(mouse, "DPI_select_check_1")->IsSelected());
  EXPECT_FALSE(Find<ui::CControlUI>(mouse, "DPI_enable_check_1")->IsOwnEnabled());
  EXPECT_EQ(mouse->GetSleep(QStringLiteral("device_sleep2_combo")), 10);
  EXPECT_EQ(mouse->GetSleep(QStringLiteral("ble_sleep1_combo")), 1);
  EXPECT_EQ(Find<ui::CComboUI>(mouse, "Anti_Shake_combo_timeSelect")->GetCurSel(), 4);
}

TEST_F(MousePageTest, DpiControlsStoreSaveAndSend) {
  auto* mouse = OpenMouse();
  ASSERT_NE(mouse, nullptr);
  auto* slider = Find<ui::CSliderUI>(mouse, "DPI_slider_2");
  auto* edit = Find<ui::CEditUI>(mouse, "DPI_edit_2");
  constexpr size_t kStage2 = 14 + 9 * 2;
  // Moving shows the DPI only.
  slider->SetValue(40);
  Notify(slider, "movevaluechanged");
  EXPECT_EQ(edit->GetText(), "2300");
  EXPECT_EQ(Memory().settings[kStage2 + 2], 26);
  // Letting go stores the step in both axes, saves and sends block 0.
  slider->SetValue(30);
  Notify(slider, "valuechanged");
  EXPECT_EQ(edit->GetText(), "1800");
  EXPECT_EQ(Memory().settings[kStage2 + 2], 30);
  EXPECT_EQ(Memory().settings[kStage2 + 4], 30);
  EXPECT_EQ(Saved(mouse)["DPIStages"]["StageDPIs"][2]["StageDPIX"].asInt(), 30);
  // A typed 2700 is step 48 (2700 DPI), not 51.
  edit->SetText(QStringLiteral("2700"));
  Notify(edit, "killfocus");
  EXPECT_EQ(slider->GetValue(), 48);
  EXPECT_EQ(edit->GetText(), "2700");
  EXPECT_EQ(Memory().settings[kStage2 + 2], 48);
}

TEST_F(MousePageTest, OptionsAndCombosStoreSaveAndSend) {
  auto* mouse = OpenMouse();
  ASSERT_NE(mouse, nullptr);
  Find<ui::COptionUI>(mouse, "polling_rate_option_2")->Selected(true);
  EXPECT_EQ(Memory().settings[11], 2);
  Find<ui::COptionUI>(mouse, "Ripple_option_1")->Selected(true);
  EXPECT_EQ(Memory().settings[84], 1);
  auto* sleep = Find<ui::CComboUI>(mouse, "ble_sleep1_combo");
  sleep->SelectItem(3);  // user data 5
  EXPECT_EQ(Memory().settings[77], 5);
  EXPECT_EQ(Saved(mouse)["ReportStages"]["ble_sleep1"].asInt(), 5);
  // Pointer controls reach the profile only.
  const auto before = Memory().settings;
  auto* speed = Find<ui::CSliderUI>(mouse, "pointer_speed_slider");
  speed->SetValue(15);
  Notify(speed, "valuechanged");
  EXPECT_EQ(Saved(mouse)["SystemStages"]["MouseSpeed"].asInt(), 15);
  EXPECT_EQ(Memory().settings, before);
}

TEST_F(MousePageTest, StageAndOptionRules) {
  auto* mouse = OpenMouse();
  ASSERT_NE(mouse, nullptr);
  mouse->ShowPollingRate(4);
  EXPECT_TRUE(Find<ui::COptionUI>(mouse, "polling_rate_option_0")->IsSelected());
  EXPECT_FALSE(Find<ui::COptionUI>(mouse, "polling_rate_option_4")->IsSelected());
  mouse->ShowRipple(7);
  EXPECT_TRUE(Find<ui::COptionUI>(mouse, "Ripple_option_0")->IsSelected());
  // Switching stages off until one is left: that one cannot be switched off.
  for (int i = 0; i < 6; ++i) mouse->ShowStageEnabled(i, false);
  EXPECT_FALSE(Find<ui::CControlUI>(mouse, "DPI_enable_check_6")->IsOwnEnabled());
  EXPECT_FALSE(Find<ui::CControlUI>(mouse, "DPI_layout_0")->IsOwnEnabled());
  mouse->ShowStageEnabled(0, true);
  for (int i = 0; i < 7; ++i)
    EXPECT_TRUE(Find<ui::CControlUI>(mouse, ("DPI_enable_check_" + std::to_string(i)).c_str())->IsOwnEnabled()) << i;
}

TEST_F(MousePageTest, AnOnboardProfileSwitchReachesThePage) {
  auto* mouse = OpenMouse();
  ASSERT_NE(mouse, nullptr);
  mouse->OnEventValue(0x1132, true);  // as the event thread hands it over
  ASSERT_TRUE(apptest::WaitFor([&] { return mouse->Core().OnboardProfile() == 2; }));
  EXPECT_EQ(mouse->Core().SettingsImage()[12], 3);
}

TEST_F(MousePageTest, AnUnrecognisedMouseIsRefusedUntilInitialised) {
  auto* mouse = OpenMouse([](emulator::firmware::DeviceMemory& m) { m.info.SetFormat(9); });
  ASSERT_NE(mouse, nullptr);
  EXPECT_EQ(app::g_bDeviceUsable.load(), 0);
  EXPECT_TRUE(main_->FindControl(QStringLiteral("Error_device_Link"))->IsVisible());
  EXPECT_TRUE(mouse->CommandChannel().SuppressIo());
  const size_t before = Unit("mouse").firmware->Log().size();
  EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 0, 0, 0), 0) << "nothing was written";
  EXPECT_EQ(mouse->WriteKeysFromProfile(0), 0);
  EXPECT_EQ(Unit("mouse").firmware->Log().size(), before);

  mouse->InitialiseInfoBlock();
  EXPECT_EQ(Memory().info.Format(), 4);
  ASSERT_TRUE(apptest::WaitFor([&] { return app::g_bDeviceUsable.load() == 1; }, 5000));
  EXPECT_FALSE(main_->FindControl(QStringLiteral("Error_device_Link"))->IsVisible());
}

}  // namespace
