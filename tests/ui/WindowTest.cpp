// Windows: modal runs that end only their own loop, the custom message
// hook, window timers, "windowinit", menu commands, the tray icon, and
// gallery screenshots for people to look at.

#include <thread>

#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::OpenWindow;
using uitest::TestWindow;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::UseTestSkin(); }
};

TEST_F(WindowTest, InitWindowThenOneWindowInit) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  uitest::Pump();
  EXPECT_EQ(w->initWindowCalls, 1);
  int inits = 0;
  for (const auto& n : w->notes)
    if (n.type == "windowinit") {
      ++inits;
      EXPECT_EQ(n.sender, "root");
    }
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(w->messages.front().id, ui::wm::WM_CREATE);  // the hook sees creation first
}

// A modal window returns what it was closed with, and closing it ends only
// its own loop: the program's loop and an outer modal window go on.
TEST_F(WindowTest, ShowModalReturnsItsResultAndEndsOnlyItsOwnLoop) {
  TestWindow outer(QStringLiteral("XML_GALLERY"));
  TestWindow inner(QStringLiteral("XML_GALLERY"));
  ASSERT_TRUE(outer.Create(nullptr, QStringLiteral("outer")));
  ASSERT_TRUE(inner.Create(outer.GetHWND(), QStringLiteral("inner")));

  QEventLoop program;
  int innerResult = -2, outerResult = -2;
  bool programRunningAfterInner = false, outerModalAfterInner = false;
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(0, [&] {
      QTimer::singleShot(0, [&] { inner.Close(3); });
      innerResult = inner.ShowModal();
      programRunningAfterInner = program.isRunning();
      outerModalAfterInner = outer.IsModal() && outer.IsVisible();
      outer.Close(5);
    });
    outerResult = outer.ShowModal();
    program.exit(0);
  });
  QTimer::singleShot(5000, &program, [&] { program.exit(1); });  // bound, should the test fail
  EXPECT_EQ(program.exec(), 0);
  uitest::Pump();
  EXPECT_EQ(innerResult, 3);
  EXPECT_EQ(outerResult, 5);
  EXPECT_TRUE(programRunningAfterInner);
  EXPECT_TRUE(outerModalAfterInner);
  EXPECT_FALSE(outer.IsWindow());
  EXPECT_EQ(outer.finalMessages, 1);
  EXPECT_EQ(inner.finalMessages, 1);
}

// A window closed from a click on one of its own buttons may delete itself
// in OnFinalMessage: that runs after the click's handling has unwound.
TEST_F(WindowTest, WindowMayDeleteItselfInOnFinalMessage) {
  struct SelfOwned : TestWindow {
    using TestWindow::TestWindow;
    std::unique_ptr<SelfOwned>* holder = nullptr;
    void OnFinalMessage() override { holder->reset(); }  // destroys this window
  };
  auto holder = std::make_unique<SelfOwned>(QStringLiteral("XML_GALLERY"));
  holder->holder = &holder;
  ASSERT_TRUE(holder->Create(nullptr, QStringLiteral("self")));
  holder->ShowWindow();
  holder->AddNotifyHandler(ui::notify::kClick, QStringLiteral("closebtn"), [&](ui::TNotifyUI&) { holder->Close(0); });
  uitest::Click(holder->Find("closebtn"));
  ASSERT_NE(holder, nullptr);  // still there while the click unwinds
  EXPECT_FALSE(holder->IsWindow());
  EXPECT_TRUE(uitest::WaitFor([&] { return holder == nullptr; }));
}

TEST_F(WindowTest, DesktopCloseOfAModalWindowReturnsZero) {
  TestWindow w(QStringLiteral("XML_GALLERY"));
  ASSERT_TRUE(w.Create(nullptr, QStringLiteral("w")));
  QWidget* host = w.GetHWND();
  QTimer::singleShot(0, [&] { host->close(); });
  EXPECT_EQ(w.ShowModal(), 0);
  EXPECT_FALSE(w.IsWindow());
  // The hook saw the system close command before the close itself.
  std::vector<uint32_t> ids;
  for (const auto& m : w.messages)
    if (m.id == ui::wm::WM_SYSCOMMAND || m.id == ui::wm::WM_CLOSE || m.id == ui::wm::WM_DESTROY) ids.push_back(m.id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{ui::wm::WM_SYSCOMMAND, ui::wm::WM_CLOSE, ui::wm::WM_DESTROY}));
}

TEST_F(WindowTest, CustomMessageHookSeesEveryMessageFirst) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  w->hook = [](const platform::Message& m, bool& handled) -> int64_t {
    handled = m.id == platform::msg::kOpenSettings;
    return handled ? 42 : 0;
  };
  EXPECT_EQ(w->Target().Send(platform::msg::kOpenSettings, 1, 2), 42);

  // From a worker: the hook runs on the UI thread while the worker waits.
  std::optional<int64_t> fromWorker;
  std::thread worker([&] { fromWorker = w->Target().Send(platform::msg::kOpenSettings, 3, 4); });
  EXPECT_TRUE(uitest::WaitFor([&] {
    return std::any_of(w->messages.begin(), w->messages.end(), [](const platform::Message& m) {
      return m.id == platform::msg::kOpenSettings && m.wParam == 3;
    });
  }));
  worker.join();
  EXPECT_EQ(fromWorker, 42);

  // A close the hook leaves alone closes the window; one it handles does not.
  w->hook = [](const platform::Message& m, bool& handled) -> int64_t {
    handled = m.id == ui::wm::WM_CLOSE && m.wParam == 9;
    return 0;
  };
  w->Close(9);
  EXPECT_TRUE(w->IsWindow());
  w->Close(1);
  EXPECT_FALSE(w->IsWindow());
}

TEST_F(WindowTest, WindowTimersArriveAsWmTimerUntilKilled) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  auto ticks = [&] {
    int n = 0;
    for (const auto& m : w->messages) n += m.id == ui::wm::WM_TIMER && m.wParam == 1011;
    return n;
  };
  w->SetTimer(1011, 5);
  ASSERT_TRUE(uitest::WaitFor([&] { return ticks() >= 2; }));
  w->KillTimer(1011);
  const int seen = ticks();
  uitest::WaitFor([] { return false; }, 30);
  EXPECT_EQ(ticks(), seen);
}

TEST_F(WindowTest, MenuCommandReachesTheOwnerAsTheMenuMessage) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  ui::CMenuWnd menu;
  ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("XML_MENU"), QPoint(100, 100)));
  ASSERT_TRUE(menu.IsOpen());
  ui::CControlUI* about = menu.GetManager()->FindControl(QStringLiteral("about_menu"));
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->GetText(), QStringLiteral("About"));
  uitest::Click(about);
  EXPECT_FALSE(menu.IsOpen());
  // Menu messages only: activation and pointer messages come and go too.
  auto menuMessages = [&] {
    std::vector<uint64_t> tokens;
    for (const auto& m : w->messages)
      if (m.id == platform::msg::kMenuCommand) tokens.push_back(m.wParam);
    return tokens;
  };
  ASSERT_TRUE(uitest::WaitFor([&] { return menuMessages().size() == 1; }));
  const uint64_t token = menuMessages()[0];
  auto cmd = ui::CMenuWnd::TakeCommand(token);
  ASSERT_TRUE(cmd.has_value());
  EXPECT_EQ(cmd->szName, QStringLiteral("about_menu"));
  EXPECT_EQ(cmd->szUserData, QStringLiteral("about"));
  EXPECT_FALSE(ui::CMenuWnd::TakeCommand(token).has_value());  // taken once

  // Reopening replaces the menu; the separator is not a command.
  ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("menu.xml"), QPoint(10, 10)));
  auto* line = qobject_cast<ui::CMenuElementUI*>(menu.GetManager()->GetRoot()->findChildren<ui::CMenuElementUI*>()[2]);
  ASSERT_TRUE(line && line->IsLine());
  uitest::Click(line);
  EXPECT_TRUE(menu.Choose(QStringLiteral("exit")));
  EXPECT_FALSE(menu.Choose(QStringLiteral("no_such_item")));
  ASSERT_TRUE(uitest::WaitFor([&] { return menuMessages().size() >= 2; }));
  uitest::Pump();
  ASSERT_EQ(menuMessages().size(), 2u);
  EXPECT_EQ(ui::CMenuWnd::TakeCommand(menuMessages()[1])->szName, QStringLiteral("exit"));

  uitest::TraceLines trace;
  EXPECT_FALSE(menu.Init(w.get(), QStringLiteral("no_menu.xml"), QPoint(0, 0)));
  EXPECT_FALSE(menu.IsOpen());
}

TEST_F(WindowTest, TrayClicksReachTheOwnerAndNoTrayBreaksNothing) {
  std::vector<platform::Message> got;
  platform::MessageTarget owner([&](const platform::Message& m) {
    got.push_back(m);
    return int64_t{0};
  });
  ui::CTrayIcon tray;
  const bool shown = tray.CreateTrayIcon(&owner, 107, QStringLiteral("VX27 MOUSE"));
  EXPECT_EQ(shown, ui::CTrayIcon::IsTrayAvailable());  // headless: no tray, and no failure
  EXPECT_EQ(tray.IsVisible(), shown);
  tray.OnClick(ui::CTrayIcon::Click::Left);
  tray.OnClick(ui::CTrayIcon::Click::Right);
  ASSERT_TRUE(uitest::WaitFor([&] { return got.size() == 2; }));
  EXPECT_EQ(got[0].id, platform::msg::kTrayCallback);
  EXPECT_EQ(got[0].wParam, 107u);
  EXPECT_EQ(got[0].lParam, 514);
  EXPECT_EQ(got[1].lParam, 517);
  tray.DeleteTrayIcon();
  EXPECT_FALSE(tray.IsVisible());
}

// Writes the gallery in three languages at 96 and 144 DPI to the screens
// folder for a person to look at; checks only that each shot has the
// window's size.
TEST_F(WindowTest, GalleryScreenshots) {
  struct Shot { const char* lang; int dpi; const char* select; QSize size; };
  const Shot kShots[] = {
      {"en", 96, nullptr, {1000, 640}}, {"cn", 96, nullptr, {1000, 640}}, {"th", 96, nullptr, {1000, 640}},
      {"en", 144, nullptr, {1500, 960}}, {"th", 144, nullptr, {1500, 960}}, {"cn", 96, "tab_about", {1000, 640}},
  };
  for (const Shot& s : kShots) {
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_%1.xml").arg(s.lang)));
    auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
    ASSERT_NE(w, nullptr);
    w->PaintManager().SetDPI(s.dpi);
    if (s.select) w->Find<ui::COptionUI>(s.select)->Selected(true);
    uitest::Pump();
    const QString name = QStringLiteral("ui_gallery_%1_%2%3").arg(s.lang).arg(s.dpi).arg(s.select ? "_about" : "");
    const QString path = ui::SaveScreenshot(w->GetHWND(), name);
    ASSERT_FALSE(path.isEmpty()) << name.toStdString();
    EXPECT_EQ(QImage(path).size(), s.size) << name.toStdString();
  }
  ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
}

// The page of the newer controls (a disabled panel, a tile layout, a
// multi-line edit) and the menus it opens (a sub-menu, a menu longer than
// the screen), in English and Chinese at 96 and 144 DPI.
TEST_F(WindowTest, GalleryMoreScreenshots) {
  for (const char* lang : {"en", "cn"}) {
    for (int dpi : {96, 144}) {
      ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_%1.xml").arg(lang)));
      auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
      ASSERT_NE(w, nullptr);
      w->PaintManager().SetDPI(dpi);
      w->Find<ui::COptionUI>("tab_more")->Selected(true);
      uitest::Pump();
      const QString suffix = QStringLiteral("%1_%2").arg(lang).arg(dpi);
      EXPECT_FALSE(ui::SaveScreenshot(w->GetHWND(), QStringLiteral("ui_gallery_more_") + suffix).isEmpty());

      ui::CMenuWnd menu;
      ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("action_menu.xml"), QPoint(40, 40)));
      uitest::Key(menu.GetHWND(), Qt::Key_Down);
      uitest::Key(menu.GetHWND(), Qt::Key_Down);
      uitest::Key(menu.GetHWND(), Qt::Key_Right);
      ASSERT_NE(menu.GetSubMenu(), nullptr);
      uitest::Pump();
      EXPECT_FALSE(ui::SaveScreenshot(menu.GetHWND(), QStringLiteral("ui_menu_action_") + suffix).isEmpty());
      EXPECT_FALSE(
          ui::SaveScreenshot(menu.GetSubMenu()->GetHWND(), QStringLiteral("ui_menu_action_sub_") + suffix).isEmpty());
      ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("long_menu.xml"), QPoint(40, 40)));
      for (int i = 0; i < 30; ++i) uitest::Key(menu.GetHWND(), Qt::Key_Down);
      uitest::Pump();
      EXPECT_FALSE(ui::SaveScreenshot(menu.GetHWND(), QStringLiteral("ui_menu_long_") + suffix).isEmpty());
      menu.Close();
    }
  }
  ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
}

}  // namespace

namespace {

// The combo's drop-down and a menu, for a person to look at.
TEST(PopupShots, ComboDropDownAndMenu) {
  uitest::UseTestSkin();
  auto w = uitest::OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  auto* combo = w->Find<ui::CComboUI>("light_combo");
  uitest::Click(combo);
  ASSERT_NE(combo->GetPopup(), nullptr);
  EXPECT_FALSE(ui::SaveScreenshot(combo->GetPopup(), QStringLiteral("ui_combo_popup")).isEmpty());
  combo->ClosePopup();
  ui::CMenuWnd menu;
  ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("XML_MENU"), QPoint(40, 40)));
  EXPECT_FALSE(ui::SaveScreenshot(menu.GetHWND(), QStringLiteral("ui_menu")).isEmpty());
  EXPECT_EQ(menu.GetHWND()->height(), 4 + 32 * 3 + 9 + 4);  // three items and a separator
}

}  // namespace
