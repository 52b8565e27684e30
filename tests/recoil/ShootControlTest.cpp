// The recoil editor's panel built from its layout over the install folder's
// factory tables: every control the editor needs is in the layout, the
// selections are limited, a shot's edits reach the file only when saved, the
// direction options name their direction, reset and import show what they
// restored; and a picture of the panel (build/screens/recoil_panel.png).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <json/json.h>

#include "recoil/editor/CShootControlUI.h"
#include "tests/profiles/TestFiles.h"
#include "tests/support/EventLoop.h"
#include "ui/UILib.h"
#include "ui/UIScreenshot.h"

namespace {

using profiles_test::Parse;
using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;
using recoil::editor::CShootControlUI;

class PanelWindow : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("RecoilPanelTest"); }
  QString GetSkinFile() override { return QStringLiteral("XML\\CustomControlXML\\ShootControl.xml"); }
};

std::filesystem::path InstallFolder() { return std::getenv("VX27_INSTALL_DIR"); }

struct Fixture {
  TempFolder folder;
  PanelWindow window;
  CShootControlUI* editor = nullptr;

  Fixture() {
    static const bool registered = [] {
      ui::CControlFactory::GetInstance().RegistControl(QStringLiteral("ShootControl"),
                                                       [] { return new CShootControlUI; });
      return true;
    }();
    (void)registered;
    ui::CPaintManagerUI::SetResourcePath(QString::fromStdString((InstallFolder() / "skin").string() + "/"));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml"));
    ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    window.Create(nullptr, QStringLiteral("recoil"), 0, 0);
    window.ResizeClient(520, 560);
    window.ShowWindow(true, false);
    editor = qobject_cast<CShootControlUI*>(window.PaintManager().GetRoot());
    // Page start.
    editor->SetFolders(folder.path(), InstallFolder() / "DefaultData");
    editor->Start();
    editor->SelectWeapon(0);
    editor->SelectShot(0);
    testsupport::WaitFor([this] { return window.GetHWND()->isVisible(); });
  }
  ~Fixture() { window.Close(0); }

  template <typename T = ui::CControlUI>
  T* Find(const QString& name) {
    return qobject_cast<T*>(editor->FindSubControl(name));
  }
  QString Text(const char* name) { return Find(QLatin1String(name))->GetText(); }
  bool Selected(const QString& name) { return Find<ui::COptionUI>(name)->IsSelected(); }
  // Which options of a numbered family are selected.
  std::vector<int> SelectedOf(const char* prefix, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
      if (Selected(QLatin1String(prefix) + QString::number(i))) out.push_back(i);
    return out;
  }
  // "x y delay" as the edits show them, then the two direction options' texts
  // (English).
  std::string Shown() {
    return (Text("bullet_x_eidt") + " " + Text("bullet_y_eidt") + " " + Text("bullet_delay_eidt") + " " +
            Text("bullet_x_check") + " " + Text("bullet_y_check"))
        .toStdString();
  }
  std::string Working(int w) { return ReadAll(folder / ("ShootData_" + std::to_string(w) + ".Shoot")); }
};

TEST(ShootControl, StartFindsEveryControlAndShowsTheFirstShot) {
  ASSERT_TRUE(qApp);
  Fixture f;
  ASSERT_TRUE(f.editor);
  EXPECT_TRUE(f.editor->ControlsFound());
  EXPECT_EQ(f.SelectedOf("shoot_gun_op_", 4), std::vector<int>{0});
  EXPECT_EQ(f.SelectedOf("bullet_op_", 30), std::vector<int>{0});
  EXPECT_EQ(f.Find<ui::CTabLayoutUI>(QStringLiteral("shoot_image_display_switch"))->GetCurSel(), 0);
  EXPECT_EQ(f.Text("bullet_select_index"), QStringLiteral("1"));
  // Factory weapon 0, shot 0: left 0, down 2, 100 ms.
  EXPECT_EQ(f.Shown(), "0 2 100 Move left Move down");
  for (int w = 0; w < 4; ++w) {
    const std::string factory = ReadAll(InstallFolder() / "DefaultData" / ("ShootData_" + std::to_string(w) + ".Shoot"));
    EXPECT_EQ(f.Working(w), factory) << "weapon " << w;
  }
}

TEST(ShootControl, SelectionsAreLimited) {
  Fixture f;
  const struct {
    bool weapon;
    int asked, weaponWant, shotWant;
    const char* index;
  } cases[] = {
      {false, -1, 0, 0, "1"}, {false, 30, 0, 29, "30"}, {false, 12, 0, 12, "13"},
      {true, 4, 3, 12, "13"}, {true, -2, 0, 12, "13"},  {true, 2, 2, 12, "13"},
  };
  for (const auto& c : cases) {
    if (c.weapon) f.editor->SelectWeapon(c.asked);
    else f.editor->SelectShot(c.asked);
    EXPECT_EQ(f.editor->CurrentWeapon(), c.weaponWant) << c.asked;
    EXPECT_EQ(f.editor->CurrentShot(), c.shotWant) << c.asked;
    EXPECT_EQ(f.SelectedOf("shoot_gun_op_", 4), std::vector<int>{c.weaponWant}) << c.asked;
    EXPECT_EQ(f.SelectedOf("bullet_op_", 30), std::vector<int>{c.shotWant}) << c.asked;
    EXPECT_EQ(f.Find<ui::CTabLayoutUI>(QStringLiteral("shoot_image_display_switch"))->GetCurSel(), c.weaponWant);
    EXPECT_EQ(f.Text("bullet_select_index"), QLatin1String(c.index));
  }
}

TEST(ShootControl, EditsReachTheFileOnlyWhenSaved) {
  Fixture f;
  f.editor->SelectWeapon(2);
  f.editor->SelectShot(4);
  EXPECT_EQ(f.Shown(), "0 5 120 Move left Move down");
  const std::string before = f.Working(2);
  // A direction toggled alone: its text follows, the file waits.
  f.Find<ui::COptionUI>(QStringLiteral("bullet_y_check"))->Selected(true, false);
  f.editor->ShowDirectionTexts();
  EXPECT_EQ(f.Text("bullet_y_check"), QStringLiteral("Move up"));
  EXPECT_EQ(f.Working(2), before);
  f.Find<ui::COptionUI>(QStringLiteral("bullet_y_check"))->Selected(false, false);

  f.Find(QStringLiteral("bullet_x_eidt"))->SetText(QStringLiteral("12"));
  f.Find(QStringLiteral("bullet_y_eidt"))->SetText(QStringLiteral("30"));
  f.Find(QStringLiteral("bullet_delay_eidt"))->SetText(QStringLiteral("95"));
  EXPECT_EQ(f.Working(2), before);
  ASSERT_TRUE(f.editor->SaveShot());
  const Json::Value events = Parse(f.Working(2))["Events"];
  EXPECT_EQ(events[26]["Button"].asInt(), 12);
  EXPECT_EQ(events[26]["Action"].asString(), "down");
  EXPECT_EQ(events[27]["Button"].asInt(), 30);
  EXPECT_EQ(events[27]["Action"].asString(), "up");
  EXPECT_EQ(events[27]["Delay"].asInt(), 95);
  EXPECT_EQ(f.Working(0), ReadAll(InstallFolder() / "DefaultData" / "ShootData_0.Shoot"));

  // A value beyond a byte is stored limited, and the edit shows it so.
  f.Find(QStringLiteral("bullet_x_eidt"))->SetText(QStringLiteral("999"));
  ASSERT_TRUE(f.editor->SaveShot());
  EXPECT_EQ(f.Text("bullet_x_eidt"), QStringLiteral("255"));
  EXPECT_EQ(Parse(f.Working(2))["Events"][26]["Button"].asInt(), 255);

  // Another shot and back: the saved values come from the file.
  f.editor->SelectShot(5);
  f.editor->SelectShot(4);
  EXPECT_EQ(f.Shown(), "255 30 95 Move left Move down");
  ui::SaveScreenshot(f.window.GetHWND(), QStringLiteral("recoil_panel"));
}

TEST(ShootControl, ResetAndImportShowWhatTheyRestored) {
  Fixture f;
  f.editor->SelectWeapon(1);
  f.editor->SelectShot(0);
  f.Find(QStringLiteral("bullet_x_eidt"))->SetText(QStringLiteral("44"));
  ASSERT_TRUE(f.editor->SaveShot());
  const std::string edited = f.Working(1);
  ASSERT_TRUE(f.editor->ExportWeapon(f.folder / "edited.shoot"));

  f.editor->ResetWeapon(1);
  EXPECT_EQ(f.Working(1), ReadAll(InstallFolder() / "DefaultData" / "ShootData_1.Shoot"));
  EXPECT_EQ(f.Text("bullet_x_eidt"), QStringLiteral("0"));

  WriteText(f.folder / "bad.shoot", "{\"NoEvents\": true}");
  EXPECT_FALSE(f.editor->ImportWeapon(f.folder / "bad.shoot"));
  EXPECT_EQ(f.Text("bullet_x_eidt"), QStringLiteral("0"));

  EXPECT_TRUE(f.editor->ImportWeapon(f.folder / "edited.shoot"));
  EXPECT_EQ(f.Working(1), edited);
  EXPECT_EQ(f.Text("bullet_x_eidt"), QStringLiteral("44"));
}

}  // namespace
