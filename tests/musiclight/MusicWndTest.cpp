// The music light window with the program's skin: what it shows of the
// record, how its controls edit the copy, and how it ends.

#include <gtest/gtest.h>

#include <QTimer>
#include <cstdlib>
#include <string>

#include "musiclight/MusicWnd.h"
#include "platform/Trace.h"
#include "tests/support/EventLoop.h"
#include "ui/UIScreenshot.h"

namespace musiclight {
namespace {

AudioLightInfo Record() {
  AudioLightInfo info;
  info.style = 1;
  info.names = {"一", "two", "three", "four"};
  info.colours = {{{9, 0, 0}, {0, 9, 3}, {1, 2, 3}, {9, 9, 9}}};
  return info;
}

class MusicWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("VX27_INSTALL_DIR");
    ASSERT_NE(bin, nullptr);
    ui::CPaintManagerUI::SetInstancePath(QString::fromUtf8(bin) + "/");
    ui::CPaintManagerUI::SetResourcePath(QString::fromUtf8(bin) + "/skin/");
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")));
    wnd_ = std::make_unique<MusicWnd>(Record());
    ASSERT_TRUE(wnd_->Open(nullptr, 96));
    ASSERT_TRUE(testsupport::WaitFor([&] { return wnd_->Initialised(); }));
  }
  void Send(const QString& type, const char* name) {
    ui::TNotifyUI msg;
    msg.sType = type;
    msg.pSender = wnd_->FindControl(QString::fromLatin1(name));
    ASSERT_TRUE(msg.pSender) << name;
    wnd_->Notify(msg);
  }
  int Slider(const char* name) {
    auto* s = qobject_cast<ui::CSliderUI*>(wnd_->FindControl(QString::fromLatin1(name)));
    return s ? s->GetValue() : -1;
  }
  std::array<int, 3> Sliders() { return {Slider("audio_r_slider"), Slider("audio_g_slider"), Slider("audio_b_slider")}; }
  // Runs the window modally until `action` ends it; its result.
  int RunUntil(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    return wnd_->ShowModal();
  }
  std::unique_ptr<MusicWnd> wnd_;
};

TEST_F(MusicWndTest, ShowsTheSelectedGroupAndEditsIt) {
  EXPECT_EQ(Sliders(), (std::array<int, 3>{0, 9, 3}));
  EXPECT_EQ(wnd_->FindControl(QStringLiteral("audio_edit_name2"))->GetText(), QStringLiteral("two"));
  EXPECT_FALSE(ui::SaveScreenshot(wnd_->GetHWND(), QStringLiteral("musiclight_music_window")).isEmpty());

  // Another group: style and sliders follow.
  auto* tab = qobject_cast<ui::COptionUI*>(wnd_->FindControl(QStringLiteral("audio_select_tab3")));
  ASSERT_TRUE(tab);
  tab->Selected(true, false);
  Send(QStringLiteral("selectchanged"), "audio_select_tab3");
  EXPECT_EQ(Sliders(), (std::array<int, 3>{1, 2, 3}));
  // A slider edits the selected group only.
  qobject_cast<ui::CSliderUI*>(wnd_->FindControl(QStringLiteral("audio_g_slider")))->SetValue(7);
  Send(QStringLiteral("valuechanged"), "audio_g_slider");
  // An emptied name comes back as the group's default name.
  wnd_->FindControl(QStringLiteral("audio_edit_name2"))->SetText(QString());
  Send(QStringLiteral("killfocus"), "audio_edit_name2");
  EXPECT_EQ(wnd_->FindControl(QStringLiteral("audio_edit_name2"))->GetText(), QStringLiteral("第二组"));

  AudioLightInfo expected = Record();
  expected.style = 2;
  expected.colours[2][1] = 7;
  expected.names[1] = "第二组";
  EXPECT_EQ(wnd_->Info(), expected);
  EXPECT_EQ(RunUntil([&] { Send(QStringLiteral("click"), "okbtn"); }), 1);
}

TEST_F(MusicWndTest, CloseButtonAndSystemCloseEndWithZero) {
  EXPECT_EQ(RunUntil([&] { Send(QStringLiteral("click"), "closebtn"); }), 0);
  wnd_ = std::make_unique<MusicWnd>(Record());
  ASSERT_TRUE(wnd_->Open(nullptr, 96));
  ASSERT_TRUE(testsupport::WaitFor([&] { return wnd_->Initialised(); }));
  EXPECT_EQ(RunUntil([&] { wnd_->SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_CLOSE, 0); }), 0);
}

TEST_F(MusicWndTest, MissingSliderIsTracedAndEndsTheWindow) {
  std::string traced;
  platform::SetTraceSink([&](std::string_view line) { traced += std::string(line) + "\n"; });
  // A layout without the blue slider.
  wnd_->FindControl(QStringLiteral("audio_b_slider"))->SetName(QStringLiteral("renamed"));
  ASSERT_EQ(wnd_->FindControl(QStringLiteral("audio_b_slider")), nullptr);
  const int result = RunUntil([&] { Send(QStringLiteral("valuechanged"), "audio_r_slider"); });
  platform::SetTraceSink(nullptr);
  EXPECT_EQ(result, 0);
  EXPECT_NE(traced.find("GetAudioLightInfo control is NULL"), std::string::npos);
}

}  // namespace
}  // namespace musiclight
