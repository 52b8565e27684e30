// The recoil editor's file buttons in the main window over an emulated mouse
// and keyboard: import and export ask for shoot files through the window's
// dialogs and copy whole files; a cancelled dialog changes nothing; with the
// keyboard selected the recoil buttons do nothing.

#include <filesystem>
#include <optional>
#include <vector>

#include <QTemporaryDir>

#include "devices/MouseDevice.h"
#include "tests/app/MainWndFixture.h"
#include "tests/profiles/TestFiles.h"

namespace {

using app::PageKind;
using profiles_test::ReadAll;

// Answers every file dialog with `answer` (none: cancelled) and records
// which dialogs were asked for.
class FileDialogs : public app::DialogSeam {
 public:
  std::optional<QString> answer;
  std::vector<std::pair<bool, app::FileKind>> asked;  // (save, kind)

  bool AskOpenPath(QWidget*, app::FileKind kind, QString* path) override { return Ask(false, kind, path); }
  bool AskSavePath(QWidget*, app::FileKind kind, QString* path) override { return Ask(true, kind, path); }
  int ShowMessage(QWidget*, const QString&, bool, int, int) override { return 1; }

 private:
  bool Ask(bool save, app::FileKind kind, QString* path) {
    asked.emplace_back(save, kind);
    if (answer) *path = *answer;
    return answer.has_value();
  }
};

class RecoilPageTest : public apptest::MainWndFixture {
 protected:
  void Notify(ui::CControlUI* control, const char* type) {
    main_->PaintManager().SendNotify(control, QString::fromLatin1(type));
  }
  ui::CControlUI* Find(const char* name) { return mouse_->FindSubControl(QString::fromLatin1(name)); }
  std::filesystem::path Working(int w) const {
    return std::filesystem::path(data_.path().toStdString()) / "VX27 MOUSE" / "mouse" /
           ("ShootData_" + std::to_string(w) + ".Shoot");
  }

  apptest::TraceLines traces_;
  std::unique_ptr<app::CMainWnd> main_;
  devices::CGesterinMouseDevice* mouse_ = nullptr;
  QTemporaryDir files_;
};

TEST_F(RecoilPageTest, ImportAndExportAskForShootFilesOnTheMousePageOnly) {
  main_ = Open(Emulate("mouse,keyboard"));
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main_, PageKind::Mouse) && EntryShown(*main_, PageKind::Keyboard); }, 5000));
  EntryFor(*main_, PageKind::Mouse)->SelectOption()->Selected(true);
  mouse_ = qobject_cast<devices::CGesterinMouseDevice*>(main_->Devices(PageKind::Mouse).front().data());
  ASSERT_TRUE(apptest::WaitFor([&] { return main_->SelectedDevice() == mouse_; }));
  recoil::editor::CShootControlUI* editor = mouse_->RecoilEditor();
  ASSERT_TRUE(editor && editor->ControlsFound());
  auto owned = std::make_unique<FileDialogs>();
  FileDialogs* dialogs = owned.get();
  main_->SetDialogs(std::move(owned));
  const std::filesystem::path out = files_.path().toStdString() + "/weapon0.shoot";

  dialogs->answer = QString::fromStdString(out.string());
  Notify(Find("shootdate_export_btn"), "click");
  ASSERT_EQ(dialogs->asked.size(), 1u);
  EXPECT_EQ(dialogs->asked[0], std::make_pair(true, app::FileKind::Shoot));
  EXPECT_EQ(ReadAll(out), ReadAll(Working(0)));

  // Weapon 4 chosen, then a cancelled import and a real one.
  auto* weapon3 = qobject_cast<ui::COptionUI*>(Find("shoot_gun_op_3"));
  ASSERT_TRUE(weapon3);
  weapon3->Selected(true);
  EXPECT_EQ(editor->CurrentWeapon(), 3);
  const std::string before = ReadAll(Working(3));
  ASSERT_NE(before, ReadAll(out));
  dialogs->answer.reset();
  Notify(Find("shootdate_import_btn"), "click");
  EXPECT_EQ(ReadAll(Working(3)), before);
  dialogs->answer = QString::fromStdString(out.string());
  Notify(Find("shootdate_import_btn"), "click");
  ASSERT_EQ(dialogs->asked.size(), 3u);
  EXPECT_EQ(dialogs->asked[2], std::make_pair(false, app::FileKind::Shoot));
  EXPECT_EQ(ReadAll(Working(3)), ReadAll(out));
  // Shot 1 of weapon 1 as the factory has it: left 0, down 2, 100 ms.
  EXPECT_EQ(Find("bullet_y_eidt")->GetText(), QStringLiteral("2"));
  EXPECT_EQ(Find("bullet_delay_eidt")->GetText(), QStringLiteral("100"));

  EntryFor(*main_, PageKind::Keyboard)->SelectOption()->Selected(true);
  ASSERT_TRUE(apptest::WaitFor([&] { return main_->SelectedDevice() != mouse_; }));
  for (const char* button : {"shootdate_import_btn", "shootdate_export_btn", "shootdate_reset_btn", "shootdate_save_btn"})
    Notify(Find(button), "click");
  EXPECT_EQ(dialogs->asked.size(), 3u);
  EXPECT_EQ(ReadAll(Working(3)), ReadAll(out)) << "no reset from the keyboard page";
}

}  // namespace
