// The main window's settings button and firmware check over an emulated
// mouse (release number 0x0102): the settings window lists it, the firmware
// check keeps or suspends its I/O, and a cancelled prompt ends the program.

#include <gtest/gtest.h>

#include <QProcess>

#include "app/DeviceBar.h"
#include "app/Environment.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "platform/Messages.h"
#include "tests/app/MainWndFixture.h"
#include "tests/support/EventLoop.h"
#include "updater/Updater.h"

namespace {

class MainWndSettingsTest : public apptest::MainWndFixture {};

TEST_F(MainWndSettingsTest, SetButtonListsTheMouseAndTheProgram) {
  store_.WriteString(platform::kUninstallKey, "DisplayVersion", "1.2.6");
  auto main = Open(Emulate("mouse"));
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, app::PageKind::Mouse); }));
  std::vector<std::pair<std::string, std::string>> rows;
  QRect placed, mainRect;
  apptest::WhenWindowShows("SetWnd", [&](QWidget* w) {
    app::CSetWnd* set = main->SettingsWindow();
    ASSERT_NE(set, nullptr);
    apptest::WaitFor([&] { return set->WorkerDone() && set->RowCount() >= 1; });
    for (int i = 0; i < set->RowCount(); ++i)
      rows.emplace_back(set->Records()[size_t(i)].name, set->Row(i)->OldRev().toStdString());
    placed = w->geometry();
    mainRect = main->GetHWND()->geometry();
    apptest::Click(apptest::Control<ui::CControlUI>(w, "closebtn"));
  });
  apptest::Click(apptest::Control<ui::CControlUI>(main->GetHWND(), "setbtn"));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), (std::pair<std::string, std::string>{"MS", "V0102"}));
  EXPECT_EQ(main->SettingsWindow(), nullptr) << "let go once closed";
  // 30 pixels inside the right edge, 60 below the top.
  EXPECT_EQ(placed.right(), mainRect.right() - 30);
  EXPECT_EQ(placed.top(), mainRect.top() + 60);
}

TEST_F(MainWndSettingsTest, FirmwareCheckKeepsOrSuspendsTheSelectedDevice) {
  auto main = Open(Emulate("mouse"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main->SelectedDevice() != nullptr; }));
  protocol::CCommandChannel& channel = main->SelectedDevice()->CommandChannel();
  channel.SetSuppressIo(true);
  main->SendMessage(platform::msg::kFirmwareVersionCheck, 0, 294);
  EXPECT_FALSE(channel.SuppressIo());
  EXPECT_EQ(app::g_bDeviceUsable.load(), 1);

  // 293 prompts; cancelling ends the program through its teardown.
  apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) { apptest::Click(apptest::Control<ui::CControlUI>(box, "cancel_btn")); });
  main->SendMessage(platform::msg::kFirmwareVersionCheck, 0, 293);
  EXPECT_EQ(app::g_bDeviceUsable.load(), 0);
  EXPECT_FALSE(channel.SuppressIo()) << "nothing suspended without a confirmation";
  EXPECT_TRUE(apptest::WaitFor([&] { return !main->IsWindow(); }));
  apptest::TakeQuitRequest();
}

// A confirmed update with the settings window open: the updater's reports
// go to the mouse's row (progress as status 6, finished: "V0126", status
// 7); an updater that ends without reporting a result fails the row (8),
// but a result read just after its end (the event loop saw the end first)
// still counts.
TEST_F(MainWndSettingsTest, ConfirmedUpdateReportsToTheDevicesRow) {
  struct Case {
    const char* what;
    std::vector<std::pair<uint64_t, int64_t>> reports;  // BF15 wParam, lParam
    bool exits;                                          // the stand-in ends after the reports
    std::vector<std::pair<uint64_t, int64_t>> late;      // read once its end was seen
    int status;
    const char* oldRev;
    const char* updateRev;
  };
  const Case cases[] = {
      {"progress", {{4, 40}}, false, {}, 6, "V0102", "V0126"},
      {"finished", {{4, 40}, {4, 100}, {1, 0}}, false, {}, 7, "V0126", ""},
      {"failed", {{4, 40}, {2, 0}}, false, {}, 8, "V0102", "V0126"},
      {"ended without a result", {{4, 40}}, true, {}, 8, "V0102", "V0126"},
      {"result read after the end", {{4, 40}, {4, 100}}, true, {{1, 0}}, 7, "V0126", ""},
  };
  const app::ProgramMessages messages = app::RegisterProgramMessages();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool exits = c.exits;
    apptest::TraceLines traces;
    auto main = Open(Emulate("mouse"));
    ASSERT_TRUE(apptest::WaitFor([&] { return main->SelectedDevice() != nullptr; }));
    QStringList started;
    // A stand-in for the updater: a process that lives until told to end,
    // or one that ends at once.
    QProcess stand;
    main->SetUpdaterStart([&](const QString& program, const QStringList&, const QString&,
                              const QProcessEnvironment&, qint64* pid) {
      started << program;
      stand.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), exits ? QStringLiteral("exit 0") : QStringLiteral("sleep 30")});
      if (!stand.waitForStarted(5000)) return false;
      *pid = stand.processId();
      return true;
    });
    int status = -1;
    std::string oldRev, updateRev, row;
    bool suppressed = false;
    apptest::WhenWindowShows("SetWnd", [&](QWidget* w) {
      app::CSetWnd* set = main->SettingsWindow();
      apptest::WaitFor([&] { return set->WorkerDone() && set->RowCount() >= 1; });
      apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) {
        apptest::Click(apptest::Control<ui::CControlUI>(box, "confirm_btn"));
      });
      main->SendMessage(platform::msg::kFirmwareVersionCheck, 0, 0x0102);
      suppressed = main->SelectedDevice()->CommandChannel().SuppressIo();
      row = main->FirmwareUpdateRow();
      for (const auto& [w15, l15] : c.reports) main->SendMessage(messages.toolBF15, w15, l15);
      if (exits) {
        stand.waitForFinished(5000);
        testsupport::PumpFor(100);  // the end is seen
        for (const auto& [w15, l15] : c.late) main->SendMessage(messages.toolBF15, w15, l15);
        apptest::WaitFor([&] { return main->FirmwareUpdateRow().empty(); });
      }
      // The reports reach the window as posted messages.
      apptest::WaitFor([&] {
        return set->Row(0)->GetStatus() == c.status && set->Row(0)->OldRev() == QLatin1String(c.oldRev) &&
               set->Row(0)->UpdateRev() == QLatin1String(c.updateRev);
      });
      status = set->Row(0)->GetStatus();
      EXPECT_EQ(traces.Count("firmware update: the updater ended without a result"), exits && c.late.empty() ? 1 : 0);
      oldRev = set->Row(0)->OldRev().toStdString();
      updateRev = set->Row(0)->UpdateRev().toStdString();
      if (status == 6) {
        EXPECT_EQ(set->Row(0)->Progress(), 40);
      }
      stand.kill();
      stand.waitForFinished(5000);
      // A row in an update step refuses the close; the test ends it.
      if (status == 6) set->Row(0)->SetStatus(7);
      apptest::Click(apptest::Control<ui::CControlUI>(w, "closebtn"));
    });
    apptest::Click(apptest::Control<ui::CControlUI>(main->GetHWND(), "setbtn"));
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(started[0].endsWith(QString::fromStdString(updater::UpdaterFileName())));
    EXPECT_TRUE(suppressed);
    EXPECT_EQ(row, "MS");
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(oldRev, c.oldRev);
    EXPECT_EQ(updateRev, c.updateRev);
  }
}

}  // namespace
