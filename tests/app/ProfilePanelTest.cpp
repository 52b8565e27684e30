// The profile panel on the real main window over emulated devices: tabs per
// device kind, the delayed profile switch, delete, rename, import and export
// through the dialog seam, and pictures of the panel.

#include <deque>
#include <optional>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/MainWnd.h"
#include "devices/DeviceProfileUI.h"
#include "profiles/JsonFile.h"
#include "protocol/CommandReport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWndFixture.h"
#include "ui/UIScreenshot.h"

namespace {

using app::PageKind;

// Answers the window's dialogs: paths from a queue (none: cancelled), every
// confirmation with `confirm`; records what the message box was given.
class ScriptedDialogs : public app::DialogSeam {
 public:
  std::deque<std::optional<QString>> openPaths, savePaths;
  int confirm = 1;
  std::vector<QString> shown;  // text ids (or texts) in order
  int opened = 0, saved = 0;

  bool AskOpenPath(QWidget*, app::FileKind, QString* path) override {
    ++opened;
    return Take(openPaths, path);
  }
  bool AskSavePath(QWidget*, app::FileKind, QString* path) override {
    ++saved;
    return Take(savePaths, path);
  }
  int ShowMessage(QWidget*, const QString& text, bool, int buttons, int) override {
    shown.push_back(text);
    return buttons ? confirm : 1;
  }

 private:
  static bool Take(std::deque<std::optional<QString>>& queue, QString* path) {
    if (queue.empty()) return false;
    const std::optional<QString> next = queue.front();
    queue.pop_front();
    if (!next) return false;
    *path = *next;
    return true;
  }
};

class ProfilePanelTest : public apptest::MainWndFixture {
 protected:
  // The window with one emulated mouse, its page selected.
  void OpenMouse() {
    main_ = Open(Emulate("mouse"));
    ASSERT_TRUE(apptest::WaitFor([&] { return main_->SelectedDevice() != nullptr; }, 5000));
    device_ = main_->SelectedDevice();
    panel_ = main_->ProfilePanelOf(device_);
    ASSERT_NE(panel_, nullptr);
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    main_->SetDialogs(std::move(dialogs));
  }
  std::filesystem::path Folder() const {
    return std::filesystem::path(data_.path().toStdString()) / "VX27 MOUSE" / "mouse";
  }
  Json::Value ListFile() const { return profiles::LoadJsonFile(Folder() / "ProfileList.ini"); }
  std::string Uuid(int i) const {
    return ListFile()["profilelist"][Json::ArrayIndex(i)]["profileUUID"].asString();
  }
  ui::CControlUI* PanelControl(const char* name) const {
    return main_->PaintManager().FindSubControlByName(panel_, QString::fromLatin1(name));
  }
  // A user's click on a panel button; the fold-out row is opened first for
  // the buttons in it.
  void ClickButton(const char* name) {
    ui::CControlUI* button = PanelControl(name);
    ASSERT_NE(button, nullptr) << name;
    const bool inRow = button->GetParent() == PanelControl("profile_menu_layout");
    if (inRow && !panel_->IsMenuShown()) {
      apptest::Click(PanelControl("profile_fun_spread_btn"));
      main_->PaintManager().UpdateLayout();
      ASSERT_TRUE(panel_->IsMenuShown());
    }
    apptest::Click(button);
  }
  std::vector<std::string> ComboTexts() const {
    std::vector<std::string> texts;
    ui::CComboUI* combo = panel_->Combo();
    for (int i = 0; i < combo->GetCount(); ++i) texts.push_back(combo->GetItemAt(i)->GetText().toStdString());
    return texts;
  }
  // Switches finished so far (each traces its profile).
  int Switches() {
    int n = 0;
    for (const std::string& line : trace_.Lines()) n += line.rfind("profile switched to ", 0) == 0;
    return n;
  }

  apptest::TraceLines trace_;
  std::unique_ptr<app::CMainWnd> main_;
  devices::CGesterinUSBDevice* device_ = nullptr;
  devices::CDeviceProfileUI* panel_ = nullptr;
  ScriptedDialogs* dialogs_ = nullptr;
};

TEST_F(ProfilePanelTest, EachKindShowsItsTabsAndStartsOnItsFirstEditor) {
  main_ = Open(Emulate("mouse,keyboard,pad,headset"));
  const PageKind kinds[] = {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad, PageKind::Headset};
  ASSERT_TRUE(apptest::WaitFor([&] {
    return std::all_of(std::begin(kinds), std::end(kinds), [&](PageKind k) { return EntryShown(*main_, k); });
  }, 5000));
  // Visible tabs in the order deng, key, macro, system, cursor, voice, magic,
  // virtual 7.1, other.
  struct Case {
    PageKind kind;
    const char* visible;
    int selected;
  } cases[] = {
      {PageKind::Mouse, "111110001", 2},
      {PageKind::Keyboard, "111100001", 1},
      {PageKind::MousePad, "100000001", 1},
      {PageKind::Headset, "100001111", 1},
  };
  for (const Case& c : cases) {
    devices::CGesterinUSBDevice* device = main_->Devices(c.kind).front();
    devices::CDeviceProfileUI* panel = main_->ProfilePanelOf(device);
    ASSERT_NE(panel, nullptr);
    std::string visible, selected;
    for (int n = 1; n <= 9; ++n) {
      ASSERT_NE(panel->OpTab(n), nullptr) << n;
      visible += panel->OpTab(n)->IsVisible() ? '1' : '0';
      selected += panel->OpTab(n)->IsSelected() ? '1' : '0';
    }
    EXPECT_EQ(visible, c.visible) << int(c.kind);
    EXPECT_EQ(selected, std::string(9, '0').replace(size_t(c.selected - 1), 1, "1")) << int(c.kind);
    // Every page started with its own one-profile list and took its identity.
    EXPECT_EQ(panel->Combo()->GetCount(), 1);
    EXPECT_EQ(panel->GetNameText(), QStringLiteral("Profile1"));
    EXPECT_FALSE(device->ProfileId().empty());
    EXPECT_EQ(device->ProfileId(), panel->GetSelectedProfileId());
  }
}

TEST_F(ProfilePanelTest, ThreeQuickPicksLoadOnlyTheLastProfile) {
  OpenMouse();
  ClickButton("device_add_btn");
  ClickButton("device_add_btn");
  EXPECT_EQ(dialogs_->shown, (std::vector<QString>(2, QStringLiteral("message_text_28"))));
  EXPECT_EQ(ComboTexts(), (std::vector<std::string>{"Profile1", "profile2", "profile3"}));
  EXPECT_EQ(panel_->GetSelectedIndex(), 0) << "adding keeps the selection";
  const std::string first = device_->ProfileId();

  // Three picks before the loop runs again: the timer is re-armed each time.
  for (int pick : {1, 0, 2}) panel_->Combo()->SelectItem(pick, false, true);
  EXPECT_EQ(device_->ProfileId(), first);
  ASSERT_TRUE(apptest::WaitFor([&] { return Switches() == 1; }));
  apptest::WaitFor([&] { return Switches() > 1; }, 600);
  EXPECT_EQ(Switches(), 1);
  EXPECT_EQ(device_->ProfileId(), Uuid(2));
  EXPECT_EQ(ListFile()["profileselect"].asInt(), 2);
  EXPECT_EQ(panel_->GetNameText(), QStringLiteral("profile3"));
  EXPECT_EQ(std::filesystem::path(device_->GetProfilePath()), Folder() / (Uuid(2) + ".Json"));
}

TEST_F(ProfilePanelTest, DeleteAsksThenLoadsThePredecessor) {
  OpenMouse();
  ClickButton("device_add_btn");
  ClickButton("device_add_btn");
  panel_->Combo()->SelectItem(2, false, true);
  ASSERT_TRUE(apptest::WaitFor([&] { return Switches() == 1; }));
  const std::string deleted = Uuid(2);

  dialogs_->confirm = 0;
  ClickButton("device_sub_btn");
  EXPECT_EQ(ComboTexts().size(), 3u) << "declined";

  dialogs_->confirm = 1;
  ClickButton("device_sub_btn");
  EXPECT_EQ(dialogs_->shown.back(), QStringLiteral("message_text_30"));
  EXPECT_EQ(ComboTexts(), (std::vector<std::string>{"Profile1", "profile2"}));
  EXPECT_FALSE(std::filesystem::exists(Folder() / (deleted + ".Json")));
  ASSERT_TRUE(apptest::WaitFor([&] { return Switches() == 2; }));
  EXPECT_EQ(device_->ProfileId(), Uuid(1));
  EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
}

TEST_F(ProfilePanelTest, RenameChecksTheNameAndShowsWhyNot) {
  OpenMouse();
  ClickButton("device_add_btn");
  struct Case {
    QString typed;
    const char* message;  // null: none
    const char* name;     // entry 0 afterwards
  } cases[] = {
      {QString(), nullptr, "Profile1"},
      {QStringLiteral("two words"), "message_text_35", "Profile1"},
      {QStringLiteral("seventeen-bytes-x"), "message_text_34", "Profile1"},
      {QStringLiteral("PROFILE2"), "message_text_5", "Profile1"},
      {QStringLiteral("Game"), nullptr, "Game"},
      {QStringLiteral("HD"), nullptr, "HD"},  // also a text id: shown as typed
  };
  for (const Case& c : cases) {
    dialogs_->shown.clear();
    panel_->SetNameText(c.typed);
    ClickButton("device_profile_edit_save_btn");
    EXPECT_EQ(dialogs_->shown, c.message ? std::vector<QString>{QString::fromLatin1(c.message)}
                                         : std::vector<QString>{})
        << c.typed.toStdString();
    EXPECT_EQ(ComboTexts().front(), c.name) << c.typed.toStdString();
    EXPECT_EQ(ListFile()["profilelist"][0]["profilename"].asString(), c.name);
  }
  EXPECT_EQ(panel_->Combo()->GetText(), QStringLiteral("HD"));
  EXPECT_EQ(panel_->Combo()->GetItemAt(0)->toolTip(), QStringLiteral("HD"));
  EXPECT_EQ(panel_->GetNameText(), QStringLiteral("HD"));
}

TEST_F(ProfilePanelTest, ImportAndExportGoThroughTheDialogs) {
  OpenMouse();
  QTemporaryDir files;
  const QString dir = files.path() + "/";
  auto write = [&](const char* name, const char* text) {
    QFile f(dir + name);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return dir + name;
  };
  const QString good = write("Game.Json", R"({"Device":[{"DPIStages":[]}],"profilename":"x","profileUUID":"y"})");
  const QString noId = write("NoId.json", R"({"Device":[{"DPIStages":[]}],"profilename":"x"})");
  const QString notJson = write("Broken.json", "{ not json");
  struct Case {
    std::optional<QString> answer;
    size_t entries;
  } imports[] = {
      {std::nullopt, 1},            // cancelled
      {notJson, 1},                 // nothing shown
      {noId, 1},                    // no "profileUUID"
      {dir + "missing.json", 1},    // no such file
      {good, 2},                    // imported as "Game"
  };
  for (const Case& c : imports) {
    dialogs_->openPaths = {c.answer};
    ClickButton("device_import_btn");
    EXPECT_EQ(ComboTexts().size(), c.entries) << (c.answer ? c.answer->toStdString() : "cancel");
  }
  EXPECT_TRUE(dialogs_->shown.empty());
  EXPECT_EQ(ComboTexts().back(), "Game");
  EXPECT_EQ(panel_->GetSelectedIndex(), 0) << "the imported profile is not selected";

  // Export: a bare name gets ".json"; a folder that does not exist takes nothing.
  dialogs_->savePaths = {std::nullopt, dir + "nofolder/out", dir + "out"};
  for (int i = 0; i < 3; ++i) ClickButton("device_export_btn");
  EXPECT_EQ(dialogs_->saved, 3);
  EXPECT_FALSE(QDir(dir + "nofolder").exists());
  const Json::Value exported = profiles::LoadJsonFile((dir + "out.json").toStdString());
  EXPECT_EQ(exported["profilename"].asString(), "Profile1");
  EXPECT_EQ(exported["profileUUID"].asString(), device_->ProfileId());
  EXPECT_TRUE(exported["Device"][0].isMember("DPIStages"));
}

TEST_F(ProfilePanelTest, FiftyProfilesRefuseAnImportWithTheLimitMessage) {
  Json::Value list;
  for (int i = 0; i < 50; ++i) {
    list["profilelist"][i]["profilename"] = "p" + std::to_string(i);
    list["profilelist"][i]["profileUUID"] = "id" + std::to_string(i);
  }
  list["profileselect"] = 0;
  std::filesystem::create_directories(Folder());
  profiles::SaveJsonFile(Folder() / "ProfileList.ini", list);
  const std::string before = profiles::readjsonFile(Folder() / "ProfileList.ini");
  OpenMouse();
  QTemporaryDir files;
  QFile f(files.path() + "/a.json");
  f.open(QIODevice::WriteOnly);
  f.write(R"({"Device":[{"DPIStages":[]}],"profilename":"x","profileUUID":"y"})");
  f.close();
  dialogs_->openPaths = {f.fileName()};
  ClickButton("device_import_btn");
  ClickButton("device_add_btn");
  EXPECT_EQ(dialogs_->shown, (std::vector<QString>{QStringLiteral("message_text_32"),
                                                   QStringLiteral("message_text_28"),
                                                   QStringLiteral("message_text_32")}));
  EXPECT_EQ(ComboTexts().size(), 50u);
  EXPECT_EQ(profiles::readjsonFile(Folder() / "ProfileList.ini"), before);
}

TEST_F(ProfilePanelTest, SpreadButtonFoldsTheRowAndTabsSwitchTheEditor) {
  OpenMouse();
  ui::CControlUI* menu = PanelControl("profile_menu_layout");
  ui::CControlUI* frame = PanelControl("device_profile_frame");
  const int folded = frame->GetFixedHeight();
  EXPECT_FALSE(menu->IsVisible());
  apptest::Click(PanelControl("profile_fun_spread_btn"));
  EXPECT_TRUE(panel_->IsMenuShown());
  EXPECT_GT(frame->GetFixedHeight(), folded);
  apptest::Click(PanelControl("profile_fun_spread_btn"));
  EXPECT_FALSE(panel_->IsMenuShown());
  EXPECT_EQ(frame->GetFixedHeight(), folded);

  for (int n : {1, 4, 2}) {
    apptest::Click(panel_->OpTab(n));
    EXPECT_EQ(device_->GetFunctionSwitch(), n);
    for (int t = 1; t <= 9; ++t) EXPECT_EQ(panel_->OpTab(t)->IsSelected(), t == n) << n << " " << t;
  }
}

// Pictures for people to look at: the mouse page's panel folded and open.
TEST_F(ProfilePanelTest, ScreenshotsOfThePanel) {
  OpenMouse();
  ClickButton("device_add_btn");
  const auto shoot = [&](const char* name) {
    main_->PaintManager().UpdateLayout();
    apptest::WaitFor([] { return false; }, 50);  // the layout settles
    EXPECT_FALSE(ui::SaveScreenshot(main_->GetHWND(), QString::fromLatin1(name)).isEmpty()) << name;
  };
  shoot("app_profile_panel_open");
  apptest::Click(PanelControl("profile_fun_spread_btn"));
  shoot("app_profile_panel_folded");
  apptest::Click(PanelControl("profile_fun_spread_btn"));
  panel_->Combo()->Activate();
  apptest::WaitFor([] { return false; }, 50);
  ASSERT_NE(panel_->Combo()->GetPopup(), nullptr);
  EXPECT_FALSE(ui::SaveScreenshot(panel_->Combo()->GetPopup(), QStringLiteral("app_profile_panel_combo")).isEmpty());
  panel_->Combo()->ClosePopup();
}

}  // namespace

namespace {

// Pictures of the real dialogs behind the seam: the save dialog of a profile
// export (its filter and bare-name extension) and the add confirmation.
TEST_F(ProfilePanelTest, ScreenshotsOfTheDialogs) {
  QTemporaryDir home;
  apptest::ScopedEnv homeEnv("HOME", home.path().toStdString());
  OpenMouse();
  main_->SetDialogs(std::make_unique<app::SystemDialogs>());

  QString filters;
  bool shot = false;
  std::function<void()> poll = [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      filters = dialog->nameFilters().join(QLatin1Char('|'));
      shot = !ui::SaveScreenshot(dialog, QStringLiteral("app_profile_export_dialog")).isEmpty();
      dialog->selectFile(home.path() + "/exported");
      QMetaObject::invokeMethod(dialog, "accept");
      return;
    }
    QTimer::singleShot(20, poll);
  };
  QTimer::singleShot(0, poll);
  ClickButton("device_export_btn");
  EXPECT_TRUE(shot);
  EXPECT_EQ(filters, QStringLiteral("Profile Files(*.json) (*.[jJ][sS][oO][nN])"));
  EXPECT_TRUE(QFile::exists(home.path() + "/exported.json"));

  bool boxShot = false;
  apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) {
    boxShot = !ui::SaveScreenshot(box, QStringLiteral("app_profile_add_confirm")).isEmpty();
    apptest::Click(apptest::Control(box, "cancel_btn"));
  });
  ClickButton("device_add_btn");
  EXPECT_TRUE(boxShot);
  EXPECT_EQ(panel_->Combo()->GetCount(), 1) << "declined";
}

}  // namespace

namespace {

// Copy makes "<name> copy1" from the selected profile's file; reset asks,
// then puts the factory content back under the profile's name and identity.
TEST_F(ProfilePanelTest, CopyAndResetWorkOnTheSelectedProfilesFile) {
  OpenMouse();
  const std::filesystem::path file = Folder() / (device_->ProfileId() + ".Json");
  Json::Value changed = profiles::LoadJsonFile(file);
  changed["Device"][0]["DPIStages"] = Json::Value(Json::arrayValue);
  changed["marker"] = 1;
  profiles::SaveJsonFile(file, changed);

  ClickButton("device_copy_btn");
  EXPECT_EQ(dialogs_->shown.back(), QStringLiteral("message_text_27"));
  EXPECT_EQ(ComboTexts(), (std::vector<std::string>{"Profile1", "Profile1 copy1"}));
  const Json::Value copy = profiles::LoadJsonFile(Folder() / (Uuid(1) + ".Json"));
  EXPECT_EQ(copy["marker"].asInt(), 1);
  EXPECT_EQ(copy["profilename"].asString(), "Profile1 copy1");
  EXPECT_EQ(copy["profileUUID"].asString(), Uuid(1));

  dialogs_->confirm = 0;
  ClickButton("device_reset_btn");
  EXPECT_EQ(profiles::LoadJsonFile(file)["marker"].asInt(), 1) << "declined";
  dialogs_->confirm = 1;
  ClickButton("device_reset_btn");
  EXPECT_EQ(dialogs_->shown.back(), QStringLiteral("message_text_22"));
  const Json::Value reset = profiles::LoadJsonFile(file);
  const Json::Value factory = profiles::LoadJsonFile(device_->DefaultProfilePath());
  EXPECT_FALSE(reset.isMember("marker"));
  EXPECT_EQ(reset["Device"], factory["Device"]);
  EXPECT_EQ(reset["profilename"].asString(), "Profile1");
  EXPECT_EQ(reset["profileUUID"].asString(), device_->ProfileId());
}

// A switch to a keyboard profile in the custom mode sends that profile's
// selected colour group to the keyboard: the colour page of group 2 holds the
// profile's colour afterwards, at some key's three bytes.
TEST_F(ProfilePanelTest, AKeyboardSwitchSendsTheProfilesCustomColourGroup) {
  main_ = Open(Emulate("keyboard"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main_->SelectedDevice() != nullptr; }, 5000));
  device_ = main_->SelectedDevice();
  panel_ = main_->ProfilePanelOf(device_);
  ASSERT_NE(panel_, nullptr);
  // The keyboard's first load ends with its settings read (on this thread):
  // its key positions are known from then on.
  ASSERT_TRUE(apptest::WaitFor(
      [&] { return Unit("keyboard").firmware->CountRequests(protocol::cmd::kReadSettings) > 0; }, 5000));
  panel_->List().AddProfile();
  panel_->SyncCombo();
  const std::filesystem::path folder = std::filesystem::path(data_.path().toStdString()) / "VX27 MOUSE" / "keyboard";
  const Json::Value list = profiles::LoadJsonFile(folder / "ProfileList.ini");
  const std::filesystem::path second = folder / (list["profilelist"][1]["profileUUID"].asString() + ".Json");
  Json::Value profile = profiles::LoadJsonFile(second);
  ASSERT_TRUE(profile.isObject());
  Json::Value& keyboard = profile["Device"][0];
  keyboard["LightInfo"]["SelectItem"] = 20;
  keyboard["LightInfo"]["CustomGroup"] = 2;
  keyboard["LightInfo"]["Light"] = 4;
  keyboard["CustomLightMode"]["CustomLightModeGroupIndex"] = 2;
  Json::Value& colour = keyboard["CustomLightMode"]["LightColorInfo"][2][5];
  colour["Red"] = 0x12, colour["Green"] = 0x34, colour["Blue"] = 0x56, colour["Alpha"] = 255;
  ASSERT_EQ(profiles::SaveJsonFile(second, profile), 0);

  constexpr size_t kGroup = 2, kPage = emulator::firmware::kColourPageSize;
  auto holdsTheColour = [&] {
    const auto memory = Unit("keyboard").firmware->Memory();
    for (size_t at = kGroup * kPage; at + 3 <= (kGroup + 1) * kPage; at += 3)
      if (memory.colours[at] == 0x12 && memory.colours[at + 1] == 0x34 && memory.colours[at + 2] == 0x56) return true;
    return false;
  };
  EXPECT_FALSE(holdsTheColour());
  panel_->Combo()->SelectItem(1, false, true);
  ASSERT_TRUE(apptest::WaitFor([&] { return Switches() == 1; }));
  EXPECT_TRUE(holdsTheColour());
}

}  // namespace
