// The settings window's version list: collecting the versions, the rows it
// makes (on its worker, added in order on the UI thread), the check date
// file, the language combo, the close refusal during an update step and the
// updater's reports. Screenshots settings_<en|cn|th|ru|ja>.png.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <fstream>

#include "app/ControlRegistry.h"
#include "app/SetWnd.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace {

namespace fs = std::filesystem;

// Trace lines written on any thread while it lives.
struct Traces {
  Traces()
      : sink([this](std::string_view line) {
          std::lock_guard guard(lock);
          lines.emplace_back(line);
        }) {}
  std::vector<std::string> Starting(const std::string& head) {
    std::lock_guard guard(lock);
    std::vector<std::string> out;
    for (const auto& l : lines)
      if (l.rfind(head, 0) == 0) out.push_back(l);
    return out;
  }
  std::mutex lock;
  std::vector<std::string> lines;
  platform::ScopedTraceSink sink;
};

std::tm Date(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  return t;
}

TEST(UpdateVersions, CollectsWhatEachDeviceReports) {
  using app::DeviceVersionSource;
  struct Case {
    const char* what;
    std::vector<DeviceVersionSource> devices;
    int installed;
    std::vector<std::pair<std::string, std::string>> rows;  // name, old revision
    int mouseMark;
  };
  const Case cases[] = {
      {"a wired mouse and the program", {{0, true, false, true, 0x0126, 0}}, 0x0126, {{"MS", "V0126"}, {"AP", "V0100"}}, 1},
      {"a closed channel is not listed", {{0, false, false, true, 0x0126, 0}, {2, true, false, true, 0x0101, 0}}, 1,
       {{"X27", "V0101"}, {"AP", "V0100"}}, 1},
      {"no installed version: no program row", {{1, true, false, true, 0x0105, 0}}, 0, {{"KB", "V0105"}}, 1},
      {"a shown receiver gives its own version", {{0, true, true, true, 0x0102, 0x0203}}, 1,
       {{"MS", "V0203"}, {"AP", "V0100"}}, -1},
      {"a hidden receiver gives nothing", {{0, true, true, false, 0x0102, 0x0203}}, 1, {{"AP", "V0100"}}, 1},
      {"a device not attached yet", {{-1, true, false, true, 0x0126, 0}}, 1, {{"AP", "V0100"}}, 1},
  };
  for (const Case& c : cases) {
    const auto collected = app::CollectVersions(c.devices, c.installed);
    ASSERT_EQ(collected.size(), 4u) << c.what;
    EXPECT_EQ(collected[0].mark, c.mouseMark) << c.what;
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& d : app::ListedDescriptors(collected)) {
      const app::UpdateItemRecord r = app::MakeItemRecord(d, "/tmp/UpdateData");
      EXPECT_EQ(r.status, 7);
      EXPECT_EQ(r.packagePath, fs::path("/tmp/UpdateData") / (r.name + ".exe"));
      rows.emplace_back(r.name, r.versionText);
    }
    EXPECT_EQ(rows, c.rows) << c.what;
  }
}

TEST(UpdateVersions, CheckDateIsWrittenOnlyWhenTheFileHoldsNone) {
  QTemporaryDir dir;
  const fs::path file = fs::path(dir.path().toStdString()) / "updatetime.config";
  int asked = 0;
  const auto today = [&] {
    ++asked;
    return Date(2025, 1, 5);
  };
  struct Case {
    const char* what;
    const char* content;  // null: no file
    std::string date;
    bool written;
  };
  const Case cases[] = {
      {"missing", nullptr, "2025-1-5", true},
      {"kept", "{\"updatelasttime\": {\"value\": \"2024-11-20\"}}", "2024-11-20", false},
      {"not an object", "[1, 2]", "2025-1-5", true},
      {"not a text", "{\"updatelasttime\": {\"value\": 7}}", "2025-1-5", true},
      {"unparsable", "{nope", "2025-1-5", true},
  };
  for (const Case& c : cases) {
    fs::remove(file);
    if (c.content) std::ofstream(file) << c.content;
    asked = 0;
    EXPECT_EQ(app::EnsureCheckDate(file, today), c.date) << c.what;
    EXPECT_EQ(asked > 0, c.written) << c.what;
    if (c.written) {
      std::ifstream in(file);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_NE(text.find("\"updatelasttime\""), std::string::npos) << c.what;
      EXPECT_NE(text.find("\"2025-1-5\""), std::string::npos) << c.what;
    }
  }
  EXPECT_EQ(app::FormatCheckDate(Date(2024, 11, 20)), "2024-11-20");
}

class SetWndTest : public apptest::SkinTest {
 protected:
  void SetUp() override {
    apptest::SkinTest::SetUp();
    app::RegisterCustomControls();
    env.defaultData = apptest::InstallDir() + "/DefaultData";
    env.userData = fs::path(data_.path().toStdString());
    env.updateTemp = env.userData / "UpdateData";
    env.today = [] { return Date(2025, 1, 5); };
    env.toOwner = [this](uint32_t id, uint64_t w, int64_t l) { sent.push_back({id, w, l}); };
    env.bf15 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
  }

  std::unique_ptr<app::CSetWnd> Open(int language = 1) {
    auto wnd = std::make_unique<app::CSetWnd>(env);
    wnd->SetOwner(true, language);
    auto collected = app::CollectVersions(
        std::vector<app::DeviceVersionSource>{{0, true, false, true, 0x0102, 0}, {2, true, false, true, 0x0126, 0}},
        0x0126);
    wnd->SetDescriptors(app::ListedDescriptors(collected));
    if (!wnd->Create(nullptr, QStringLiteral("SetWnd"))) return nullptr;
    wnd->ShowWindow(true);
    apptest::WaitFor([&] { return wnd->RowCount() == 3 && wnd->WorkerDone(); });
    return wnd;
  }

  app::CSetWnd::Environment env;
  std::vector<platform::Message> sent;
};

TEST_F(SetWndTest, RowsComeInOrderWithTheirStatusAndTheDateIsKept) {
  Traces traces;
  auto wnd = Open();
  ASSERT_NE(wnd, nullptr);
  ASSERT_EQ(wnd->RowCount(), 3);
  EXPECT_EQ(wnd->GetHWND()->size(), QSize(630, 500));
  const char* expected[][2] = {{"MS", "V0102"}, {"X27", "V0126"}, {"AP", "V0100"}};
  EXPECT_EQ(traces.Starting("update row "), (std::vector<std::string>{"update row MS V0102 status 7", "update row X27 V0126 status 7",
                                                 "update row AP V0100 status 7"}));
  for (int i = 0; i < 3; ++i) {
    auto* row = wnd->Row(i);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->OldRev().toStdString(), expected[i][1]);
    EXPECT_EQ(row->GetStatus(), 7);
    EXPECT_FALSE(row->IsChecked());
  }
  EXPECT_EQ(wnd->CheckDate(), "2025-1-5");
  EXPECT_TRUE(fs::exists(env.userData / "updatetime.config"));
  EXPECT_TRUE(fs::is_directory(env.updateTemp));
  EXPECT_EQ(wnd->UpdateState(), 2) << "the list is complete and no row offers an update";
  // The language combo: every language, the current one selected quietly.
  auto* combo = qobject_cast<ui::CComboUI*>(wnd->FindControl(QStringLiteral("Language_combox_info")));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetCount(), 16);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_TRUE(sent.empty()) << "no 3089 for the selection made on opening";
  combo->SelectItem(2, false, true);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].id, platform::msg::UM_LANGUAGE_CHANGED);
  EXPECT_EQ(sent[0].wParam, 2u);
  EXPECT_EQ(wnd->LanguageIndex(), 2);

  // A second opening keeps the first date.
  env.today = [] { return Date(2026, 3, 3); };
  wnd.reset();
  auto again = Open();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->CheckDate(), "2025-1-5");
}

TEST_F(SetWndTest, CloseIsRefusedDuringAnUpdateStep) {
  auto wnd = Open();
  ASSERT_NE(wnd, nullptr);
  for (int status : {3, 4, 5, 6}) {
    wnd->Row(0)->SetStatus(status);
    wnd->Close(0);
    EXPECT_TRUE(wnd->IsWindow()) << status;
  }
  wnd->Row(0)->SetStatus(8);
  wnd->Close(0);
  EXPECT_FALSE(wnd->IsWindow());
}

TEST_F(SetWndTest, UpdaterReportsGoToTheDesignatedRow) {
  auto wnd = Open();
  ASSERT_NE(wnd, nullptr);
  auto* row = wnd->Row(0);
  // Nothing designated: the reports change nothing.
  wnd->SendMessage(env.bf15, 2, 0);
  EXPECT_EQ(row->GetStatus(), 7);

  wnd->DesignateRow(0);
  row->SetUpdateRev(QStringLiteral("V0126"));
  row->SetStatus(6);
  wnd->SendMessage(env.bf15, 4, 42);
  EXPECT_EQ(row->Progress(), 42);
  EXPECT_EQ(wnd->UpdateState(), 3) << "updating";
  wnd->SendMessage(env.bf15, 3, 0);
  EXPECT_EQ(row->GetStatus(), 8);
  EXPECT_EQ(wnd->UpdateState(), 1) << "the update is still available";

  row->SetStatus(6);
  sent.clear();
  wnd->SendMessage(env.bf15, 1, 0);
  EXPECT_EQ(row->GetStatus(), 7);
  EXPECT_EQ(row->OldRev().toStdString(), "V0126");
  EXPECT_TRUE(row->UpdateRev().isEmpty());
  EXPECT_EQ(wnd->UpdateState(), 4) << "every row done";
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].id, platform::msg::kUpdateSeen);
  auto* text = wnd->FindControl(QStringLiteral("Update_Status_text"));
  EXPECT_EQ(text->GetText().toStdString(), "Everything is up to date. Checked on 2025-1-5");
}

TEST_F(SetWndTest, Screenshots) {
  for (const char* lang : {"en", "cn", "th", "ru", "ja"}) {
    UseLanguage(lang);
    auto wnd = Open(LanguageIndex(lang));
    ASSERT_NE(wnd, nullptr);
    wnd->DesignateRow(0);
    wnd->Row(0)->SetUpdateRev(QStringLiteral("V0126"));
    wnd->Row(0)->SetStatus(6);
    wnd->SendMessage(env.bf15, 4, 57);
    wnd->PaintManager().UpdateLayout();
    apptest::WaitFor([] { return false; }, 100);
    const QString path = ui::SaveScreenshot(wnd->GetHWND(), QStringLiteral("settings_%1").arg(lang));
    ASSERT_FALSE(path.isEmpty());
    std::printf("screenshot: %s\n", qPrintable(path));
    wnd->Row(0)->SetStatus(7);
  }
}

}  // namespace
