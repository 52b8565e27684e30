// The main window's share of start-up: language application with its font
// rules, the skin receiver, the identity message, the custom control table,
// and screenshots of the program's windows for people to look at.

#include <filesystem>
#include <fstream>

#include <QImage>
#include <gtest/gtest.h>

#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "platform/Settings.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace {

namespace fs = std::filesystem;
using apptest::Click;
using apptest::Control;

// Four languages, where 1 and 3 both use Arial: 3 shows the Chinese texts.
constexpr const char* kFourLanguages = R"({"Language":[
  {"Language_ID":510,"Language_name":"cn","Language_file":"lan_cn.xml","Language_text":"language_name_cn"},
  {"Language_ID":520,"Language_name":"en","Language_file":"lan_en.xml","Language_text":"language_name_en"},
  {"Language_ID":530,"Language_name":"tw","Language_file":"lan_tw.xml","Language_text":"language_name_tw"},
  {"Language_ID":540,"Language_name":"xx","Language_file":"lan_cn.xml","Language_text":"language_name_cn"}]})";

class LanguageTest : public apptest::SkinTest {
 protected:
  void SetUp() override {
    apptest::SkinTest::SetUp();
    fs::create_directories(install_.path().toStdString() + "/DefaultData");
    std::ofstream(install_.path().toStdString() + "/DefaultData/Language.config") << kFourLanguages;
    store_.CreateKey(platform::kProductKey);
  }
  QString Text(const char* id) { return ui::CResourceManager::GetInstance().GetText(QString::fromLatin1(id)); }

  QTemporaryDir install_;
  apptest::ScopedEnv installEnv_{"VX27_INSTALL_DIR", install_.path().toStdString()};
  QTemporaryDir root_;
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
  ui::CPaintManagerUI pm_;
};

TEST_F(LanguageTest, ArialToArialChangesTextsButKeepsTheFontTable) {
  app::LanguageSwitcher lang;
  auto r = lang.Apply(1, pm_, store_);
  EXPECT_TRUE(r.applied);
  EXPECT_TRUE(r.fontsRebuilt) << "the first application always builds the table";
  EXPECT_EQ(pm_.GetFontInfo(50)->face, QStringLiteral("Arial"));
  EXPECT_TRUE(pm_.GetFontInfo(50)->bold);
  EXPECT_EQ(pm_.GetFontInfo(1)->size, 14);
  EXPECT_TRUE(pm_.GetFontInfo(1)->underline);
  EXPECT_EQ(Text("msg_confirm"), QStringLiteral("OK"));
  EXPECT_EQ(store_.ReadInt(platform::kProductKey, "LANGUAGE"), 520);

  // A font that only a rebuild would drop.
  pm_.AddFont(99, QStringLiteral("Marker"), 9, false, false, false, true);
  r = lang.Apply(3, pm_, store_);
  EXPECT_TRUE(r.applied);
  EXPECT_FALSE(r.fontsRebuilt);
  EXPECT_TRUE(pm_.HasFont(99));
  EXPECT_EQ(Text("msg_confirm"), QStringLiteral("确定"));
  EXPECT_EQ(ui::CResourceManager::GetInstance().GetLanguage(), QStringLiteral("xx"));
  EXPECT_EQ(store_.ReadInt(platform::kProductKey, "LANGUAGE"), 540);
  EXPECT_EQ(app::ReadLanguageIndex(store_), 3);

  EXPECT_FALSE(lang.Apply(3, pm_, store_).applied) << "the same index again does nothing";

  r = lang.Apply(2, pm_, store_);
  EXPECT_TRUE(r.fontsRebuilt);
  EXPECT_FALSE(pm_.HasFont(99));
  EXPECT_EQ(pm_.GetFontInfo(0)->face, QStringLiteral("Noto Sans CJK TC Regular"));
  EXPECT_EQ(Text("msg_confirm"), QStringLiteral("確定"));
}

TEST_F(LanguageTest, AnIndexTheListDoesNotHaveKeepsTextsAndStoresNothing) {
  app::LanguageSwitcher lang;
  (void)lang.Apply(1, pm_, store_);
  (void)lang.Apply(7, pm_, store_);
  EXPECT_EQ(Text("msg_confirm"), QStringLiteral("OK"));
  EXPECT_EQ(store_.ReadInt(platform::kProductKey, "LANGUAGE"), 520);
}

class MainWndTest : public apptest::SkinTest {
 protected:
  QTemporaryDir runtime_;
  apptest::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.path().toStdString()};
  QTemporaryDir root_;
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
};

TEST_F(MainWndTest, StartsCentredAppliesTheStoredLanguageAndTakesSkins) {
  platform::EnsureInstallKeys(store_, "2.0.10");
  app::WriteLanguageId(store_, 510);  // Simplified Chinese
  app::CMainWnd main(store_, app::RegisterProgramMessages(), apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  main.ShowWindow(true);
  EXPECT_EQ(main.GetHWND()->windowTitle(), QStringLiteral("VX27 MOUSE"));
  EXPECT_EQ(main.GetHWND()->size(), QSize(1000, 640));
  ASSERT_TRUE(apptest::WaitFor([&] { return main.CurrentLanguage() == 0; }));
  EXPECT_EQ(Control(main.GetHWND(), "no_device_text")->GetText(), QStringLiteral("未检测到设备"));

  ui::CControlUI* root = main.FindControl(QStringLiteral("root"));
  app::GetSkinObserver().Broadcast({true, 0xFF244A80, {}});
  EXPECT_EQ(root->GetBkColor(), 0xFF244A80u);
  EXPECT_TRUE(root->GetBkImage().isEmpty());
  app::GetSkinObserver().Broadcast({false, 0, "skins/skin_03.png"});
  EXPECT_EQ(root->GetBkColor(), 0u);
  EXPECT_EQ(root->GetBkImage(), QStringLiteral("skins/skin_03.png"));

  // The skin button opens the frame; a second click replaces it.
  Click(Control(main.GetHWND(), "skinbtn"));
  ASSERT_NE(main.SkinFrame(), nullptr);
  EXPECT_TRUE(main.SkinFrame()->IsWindow());
}

TEST_F(MainWndTest, IdentityMessageRestoresAndRaisesTheWindow) {
  int raised = 0;
  platform::ScopedTraceSink sink([&](std::string_view l) { raised += l.rfind("main window raised", 0) == 0; });
  const app::ProgramMessages messages = app::RegisterProgramMessages();
  app::CMainWnd main(store_, messages, apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  ASSERT_TRUE(apptest::WaitFor([&] { return raised == 1; })) << "shown once set up";
  EXPECT_TRUE(main.GetHWND()->isVisible());
  main.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0);
  main.ShowWindow(false);
  ASSERT_FALSE(main.GetHWND()->isVisible());
  // As a second start sends it: a broadcast on the window bus, by name.
  ASSERT_GE(platform::BusWindow::Broadcast(platform::BusMessage::Registered("VX27 MOUSE", 0, 1)), 1);
  ASSERT_TRUE(apptest::WaitFor([&] { return raised == 2; }));
  EXPECT_TRUE(main.GetHWND()->isVisible());
  EXPECT_FALSE(main.GetHWND()->isMinimized());

  // The window's life-cycle messages are not taken from other processes;
  // an identity message sent after them shows when they would have arrived.
  for (uint32_t id : {ui::wm::WM_CLOSE, ui::wm::WM_DESTROY})
    platform::BusWindow::Broadcast(platform::BusMessage::Numbered(id, 0, 0));
  platform::BusWindow::Broadcast(platform::BusMessage::Registered("VX27 MOUSE", 0, 1));
  ASSERT_TRUE(apptest::WaitFor([&] { return raised == 3; }));
  apptest::WaitFor([] { return false; }, 50);
  EXPECT_TRUE(main.IsWindow());
}

TEST_F(MainWndTest, ALanguageChangeReachesTheOpenAboutWindow) {
  app::CMainWnd main(store_, app::RegisterProgramMessages(), apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  ASSERT_TRUE(apptest::WaitFor([&] { return main.CurrentLanguage() == 0; }));  // nothing stored
  QString before, after;
  apptest::WhenWindowShows("AboutWnd", [&](QWidget* about) {
    before = Control(about, "software_ver_label")->GetText();
    main.ApplyLanguage(1);
    after = Control(about, "software_ver_label")->GetText();
    Click(Control(about, "closebtn"));
  });
  main.OpenAbout();
  EXPECT_EQ(before, QStringLiteral("软件版本 2.0.10"));
  EXPECT_EQ(after, QStringLiteral("Software version 2.0.10"));
  EXPECT_EQ(main.AboutWindow(), nullptr) << "let go once closed";
}

TEST_F(MainWndTest, TrayRightClickMenuExitClosesTheMainWindow) {
  int raised = 0;
  platform::ScopedTraceSink sink([&](std::string_view l) { raised += l.rfind("main window raised", 0) == 0; });
  app::CMainWnd main(store_, app::RegisterProgramMessages(), apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  // Set up first: discovery's first pass raises the window and the DPI
  // policy lays it out, either of which would take the focus from a menu.
  ASSERT_TRUE(apptest::WaitFor([&] { return raised >= 1 && main.GetHWND()->size() == QSize(1000, 640); }));
  main.SendMessage(platform::msg::kTrayCallback, app::kTrayIconId, platform::msg::kRightButtonUp);
  ui::CControlUI* exit = nullptr;
  ASSERT_TRUE(apptest::WaitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible())
        if (auto* e = w->findChild<ui::CMenuElementUI*>(QStringLiteral("exit"))) exit = e;
    return exit != nullptr;
  }));
  Click(exit);
  ASSERT_TRUE(apptest::WaitFor([&] { return !main.IsWindow(); }));
  apptest::TakeQuitRequest();
}

TEST_F(MainWndTest, TrayMenuExitEndsTheLoopAndAboutOpensModally) {
  app::CMainWnd main(store_, app::RegisterProgramMessages(), apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  main.ShowWindow(true);
  // "about_menu" runs the about window modally; exit closes it and the
  // main window, and asks the loop to end.
  apptest::WhenWindowShows("AboutWnd", [&](QWidget*) { main.Exit(); });
  main.OpenAbout();
  EXPECT_FALSE(main.IsWindow());
  EXPECT_EQ(main.AboutWindow(), nullptr);
  apptest::TakeQuitRequest();
}

// Screenshots of the program's windows in English and Chinese, written to
// the screens folder for a person to look at.
class ScreenshotTest : public MainWndTest {};

TEST_F(ScreenshotTest, MessageBoxAboutSkinFrameAndMainWindow) {
  for (const char* lang : {"en", "cn"}) {
    UseLanguage(lang);
    const QString suffix = QString::fromLatin1(lang);

    QString boxShot;
    apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) {
      boxShot = ui::SaveScreenshot(box, QStringLiteral("app_msgbox_") + suffix);
      Click(Control(box, "cancel_btn"));
    });
    EXPECT_EQ(app::ShowMessage(nullptr, QStringLiteral("message_title"), QStringLiteral("error_device_link_text"),
                               96, true, 1),
              0);
    EXPECT_EQ(QImage(boxShot).size(), QSize(440, 228));

    app::CAboutWnd about;
    ASSERT_TRUE(about.Open(nullptr));
    about.ShowWindow(true);
    about.PaintManager().UpdateLayout();
    EXPECT_EQ(QImage(ui::SaveScreenshot(about.GetHWND(), QStringLiteral("app_about_") + suffix)).size(),
              QSize(800, 572));

    app::CMainWnd main(store_, app::RegisterProgramMessages(), apptest::NoDevices());
    ASSERT_TRUE(main.CreateMain());
    main.ShowWindow(true);
    apptest::WaitFor([&] { return main.CurrentLanguage() >= 0; });
    UseLanguage(lang);
    ui::CResourceManager::GetInstance().ReloadText();
    main.PaintManager().UpdateLayout();
    EXPECT_FALSE(ui::SaveScreenshot(main.GetHWND(), QStringLiteral("app_main_") + suffix).isEmpty());
    main.OpenSkinFrame();
    ASSERT_NE(main.SkinFrame(), nullptr);
    main.SkinFrame()->PaintManager().UpdateLayout();
    EXPECT_FALSE(ui::SaveScreenshot(main.SkinFrame()->GetHWND(), QStringLiteral("app_skin_images_") + suffix).isEmpty());
    Click(Control(main.SkinFrame()->GetHWND(), "skin_color"));
    main.SkinFrame()->PaintManager().UpdateLayout();
    EXPECT_FALSE(ui::SaveScreenshot(main.SkinFrame()->GetHWND(), QStringLiteral("app_skin_colours_") + suffix).isEmpty());
  }
}

}  // namespace
