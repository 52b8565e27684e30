// The keyboard page in its music mode (29) over an emulated wired keyboard:
// the mode list offers the two host-computed modes, choosing music and an
// audio drawing reaches the engine and the profile, levels handed to the
// keyboard light its keys on the page and in the frames the keyboard
// receives; a picture of the page for people to look at
// (build/screens/app_keyboard_mode_music.png).

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include "app/Routing.h"
#include "devices/KeyboardDevice.h"
#include "editors/CLightControlUI.h"
#include "tests/app/MainWndFixture.h"
#include "ui/UIScreenshot.h"

namespace {

using apptest::MainWndFixture;
using app::PageKind;

class KeyboardMusicPageTest : public MainWndFixture {
 protected:
  devices::CGesterinKeyboardDevice* Keyboard() {
    main_ = Open(Emulate("keyboard"));
    if (!apptest::WaitFor([&] { return EntryShown(*main_, PageKind::Keyboard); }, 5000)) return nullptr;
    apptest::Click(EntryFor(*main_, PageKind::Keyboard)->SelectOption());
    auto* page = qobject_cast<devices::CGesterinKeyboardDevice*>(main_->Devices(PageKind::Keyboard).front());
    if (!page || !apptest::WaitFor([&] { return main_->SelectedDevice() == page; })) return nullptr;
    // The page's own load sets the lighting from the keyboard: wait for it.
    const auto loaded = [&] {
      for (const std::string& l : trace_.Lines())
        if (l.rfind("keyboard loaded", 0) == 0) return true;
      return false;
    };
    return apptest::WaitFor(loaded, 5000) ? page : nullptr;
  }
  bool Select(const char* comboName, int index) {
    auto* combo = main_->Devices(PageKind::Keyboard).front()->LightEditor()->ControlAs<ui::CComboUI>(comboName);
    if (!combo) return false;
    combo->SelectItem(index, false, false);
    ui::TNotifyUI msg;
    msg.sType = QStringLiteral("itemselect");
    msg.pSender = combo;
    return app::Dispatch(*main_, msg);
  }

  apptest::TraceLines trace_;
  std::unique_ptr<app::CMainWnd> main_;
};

TEST_F(KeyboardMusicPageTest, MusicModeDrawsTheLevelsOnThePageAndTheKeyboard) {
  devices::CGesterinKeyboardDevice* kb = Keyboard();
  ASSERT_TRUE(kb);
  auto* modes = kb->LightEditor()->ControlAs<ui::CComboUI>("light_combo_modeSelect");
  ASSERT_TRUE(modes);
  ASSERT_GE(modes->GetCount(), 31);
  EXPECT_EQ(modes->GetItemAt(29)->GetUserData(), QStringLiteral("light_mode_music"));
  EXPECT_TRUE(modes->GetItemAt(29)->IsVisible());
  EXPECT_EQ(modes->GetItemAt(30)->GetUserData(), QStringLiteral("light_mode_host_colour"));

  ASSERT_TRUE(Select("light_combo_modeSelect", 29));
  ASSERT_EQ(kb->Lights().State().selectItem, 29);
  // The first drawing (bars by column) from the audio list.
  ASSERT_TRUE(Select("light_combo_audiomodeSelect", 0));
  EXPECT_EQ(kb->Lights().Audio().Record().audioMode, 0);
  ASSERT_TRUE(Select("light_combo_audiomodeSelect", 5));
  EXPECT_EQ(kb->Lights().Audio().Record().audioMode, 5) << "the engine draws the chosen sub-mode";
  const std::string path = kb->GetProfilePath();
  std::ifstream file(path);
  Json::Value profile;
  ASSERT_TRUE(Json::Reader().parse(file, profile)) << "profile " << path;
  EXPECT_EQ(profile["Device"][0]["AudioLightInfo"]["AudioMode"].asInt(), 5) << profile.toStyledString();
  ASSERT_TRUE(Select("light_combo_audiomodeSelect", 0));

  // Column 1 (lights 21 .. 105) loud, column 2 (lights 0, 22 ..) silent. The
  // emulated keyboard's LED p sits under key p, so the frame it holds shows
  // light 63 at bytes 189..191 and light 64 at 192..194.
  std::vector<int32_t> levels(25, 0);
  levels[1] = 2000;
  const auto& unit = Unit("keyboard");
  const auto frameShows = [&] {
    kb->SetAudioLevels(levels);
    const auto frame = unit.firmware->Memory().lightFrame;
    return (frame[189] | frame[190] | frame[191]) != 0 && (frame[192] | frame[193] | frame[194]) == 0;
  };
  EXPECT_TRUE(apptest::WaitFor(frameShows, 5000)) << "the keyboard received the drawn levels";
  EXPECT_GT(kb->Lights().Colours().Load(63).brightness, 0);

  // A spectrum-like shape for the picture.
  for (size_t i = 0; i < levels.size(); ++i) levels[i] = int32_t(2000 - (int(i) - 6) * (int(i) - 6) * 12);
  apptest::WaitFor([&] {
    kb->SetAudioLevels(levels);
    return false;
  }, 400);
  main_->PaintManager().UpdateLayout();
  EXPECT_FALSE(ui::SaveScreenshot(main_->GetHWND(), QStringLiteral("app_keyboard_mode_music")).isEmpty());
}

}  // namespace
