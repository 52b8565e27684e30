// The macro editor's widgets over its rows: what the rows show, delay edits
// saved, moves, the recording state, the stop button's click, the delete
// flow, and pictures of the panel (rows, recording, the action menu).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QApplication>

#include "macros/editor/CMacroControlUI.h"
#include "tests/profiles/TestFiles.h"
#include "tests/support/EventLoop.h"
#include "ui/UILib.h"

namespace {

using macros::editor::CMacroControlUI;
using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;

class PanelWindow : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("MacroPanelTest"); }
  QString GetSkinFile() override { return QStringLiteral("XML\\CustomControlXML\\MacroControl.xml"); }
};

struct Fixture {
  TempFolder folder;
  PanelWindow window;
  CMacroControlUI* editor = nullptr;

  Fixture() {
    static const bool registered = [] {
      ui::CControlFactory& f = ui::CControlFactory::GetInstance();
      f.RegistControl(QStringLiteral("CMacroControlUI"), [] { return new CMacroControlUI; });
      f.RegistControl(QStringLiteral("RedioMacroButton"),
                      [] { return new macros::editor::CRedioMacroButtonUI; });
      return true;
    }();
    (void)registered;
    const QString skin = QString::fromStdString(std::string(std::getenv("VX27_INSTALL_DIR")) + "/skin/");
    ui::CPaintManagerUI::SetResourcePath(skin);
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml"));
    ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    WriteText(folder / "macro.config",
              R"({"MacroInfo": [{"MacroName": "fire", "Guid": "g1"}, {"MacroName": "jump", "Guid": "g2"}]})");
    WriteText(folder / "g1.mac", R"({"Events": [
        {"Type": 1, "Action": "down", "Button": 1, "Delay": "5"},
        {"Type": 5, "Action": "up", "Button": 9, "Delay": "6"},
        {"Type": 10, "Action": "down", "Button": 4, "Delay": "7"},
        {"Type": 9, "Action": "up", "Button": 32, "Delay": "8"}]})");
    window.Create(nullptr, QStringLiteral("macros"), 0, 0);
    window.ResizeClient(460, 480);
    window.ShowWindow(true, false);
    editor = qobject_cast<CMacroControlUI*>(window.PaintManager().GetRoot());
    editor->SetFolder(folder.path());
    editor->LoadList();
    testsupport::WaitFor([this] { return window.GetHWND()->isVisible(); });
  }
  ~Fixture() { window.Close(0); }

  template <typename T = ui::CControlUI>
  T* Find(const char* name) {
    return qobject_cast<T*>(editor->FindSubControl(QString::fromLatin1(name)));
  }
  void SelectMacro(int index) {
    Find<ui::CListUI>("macro_name_list")->SelectItem(index, false, false);
    editor->SelectMacro();
    window.PaintManager().UpdateLayout();
  }
  // "<key label>|<action label>|<delay>" of each shown row.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    auto* list = Find<ui::CListUI>("macro_action_list");
    for (int i = 0; i < list->GetCount(); ++i) {
      auto* row = qobject_cast<ui::CContainerUI*>(list->GetItemAt(i));
      out.push_back((row->GetItemAt(0)->GetText() + "|" + row->GetItemAt(1)->GetText() + "|" +
                     row->GetItemAt(2)->GetText())
                        .toStdString());
    }
    return out;
  }
  ui::CEditUI* DelayEdit(int row) {
    auto* element = qobject_cast<ui::CContainerUI*>(Find<ui::CListUI>("macro_action_list")->GetItemAt(row));
    return qobject_cast<ui::CEditUI*>(element->GetItemAt(2));
  }
};

TEST(MacroEditorTest, RowsShowTheirActions) {
  Fixture f;
  EXPECT_FALSE(f.Find("macro_action_layout")->IsEnabled());
  f.SelectMacro(0);
  EXPECT_TRUE(f.Find("macro_action_layout")->IsEnabled());
  EXPECT_EQ(f.Find("macro_edit_macroname")->GetText(), "fire");
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Left button|Press|5", "Move down|9|6", "A|Press|7",
                                                 "Right Shift|Release|8"}));
  ui::SaveScreenshot(f.window.GetHWND(), QStringLiteral("macros_panel_rows"));
}

TEST(MacroEditorTest, EmptyDelayIsSavedAsZeroAndMovesFollowTheRows) {
  Fixture f;
  f.SelectMacro(0);
  f.DelayEdit(1)->SetText(QString());
  f.Find<ui::CListUI>("macro_action_list")->SelectItem(1, false, false);
  f.editor->MoveAction(macros::MoveKind::Bottom);
  bool truncated = true;
  ASSERT_TRUE(f.editor->Save(&truncated));
  EXPECT_FALSE(truncated);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Left button|Press|5", "A|Press|7", "Right Shift|Release|8",
                                                 "Move down|9|0"}));
  EXPECT_EQ(f.Find<ui::CListUI>("macro_action_list")->GetCurSel(), 3);
  EXPECT_NE(ReadAll(f.folder / "g1.mac").find("\"Delay\" : \"0\",\n         \"Type\" : 5"), std::string::npos);
  // Revert reloads from the file.
  f.DelayEdit(0)->SetText(QStringLiteral("999"));
  f.editor->SelectMacro();
  EXPECT_EQ(f.Shown()[0], "Left button|Press|5");
}

TEST(MacroEditorTest, LeftClickAtSixtyRowsIsCutBackOnSave) {
  Fixture f;
  f.SelectMacro(1);  // g2: no file yet
  for (int i = 0; i < 30; ++i) f.editor->InsertMouseAction(macros::MouseInsert::Right, true),
                               f.editor->InsertMouseAction(macros::MouseInsert::Right, false);
  f.editor->InsertMouseAction(macros::MouseInsert::Left, true);
  f.editor->InsertMouseAction(macros::MouseInsert::Left, false);
  EXPECT_EQ(f.Find<ui::CListUI>("macro_action_list")->GetCount(), 62);
  bool truncated = false;
  ASSERT_TRUE(f.editor->Save(&truncated));
  EXPECT_TRUE(truncated);
  EXPECT_EQ(f.Find<ui::CListUI>("macro_action_list")->GetCount(), 60);
  EXPECT_EQ(f.editor->Library()->LoadEvents(1).size(), 60u);
}

TEST(MacroEditorTest, RecordingStateAndTheStopClick) {
  Fixture f;
  f.SelectMacro(0);
  f.Find<ui::CEditUI>("macro_fixed_time_edit")->SetText(QStringLiteral("70000"));
  f.Find<ui::COptionUI>("macro_check_time")->Selected(true);
  ASSERT_TRUE(f.editor->IsConstantTime());
  f.editor->StartTiming(macros::kConstantTime);
  f.window.PaintManager().UpdateLayout();
  EXPECT_EQ(f.Find("macro_fixed_time_edit")->GetText(), "65535");
  EXPECT_FALSE(f.Find("macro_btn_starredio")->IsVisible());
  EXPECT_TRUE(f.Find("macro_btn_stopredio")->IsVisible());
  EXPECT_FALSE(f.Find("macro_tab_macroaction_edit")->IsEnabled());
  EXPECT_FALSE(f.Find("macro_action_list")->IsMouseEnabled());
  ASSERT_TRUE(testsupport::WaitFor([&] { return f.Find("macro_btn_stopredio")->isVisible(); }));

  ui::CControlUI* stop = f.Find("macro_btn_stopredio");
  const QPoint inside = stop->mapToGlobal(QPoint(stop->width() / 2, stop->height() / 2));
  const auto click = [&](uint32_t message, QPoint at) {
    const macros::MouseHookRecord record = macros::Encode(macros::MouseHookData{at.x(), at.y(), 0});
    f.editor->OnMouseEvent(macros::Placement::Append, message, macros::RecordParam(record));
  };
  click(0x0201, inside);
  click(0x0202, inside);
  EXPECT_EQ(f.Find<ui::CListUI>("macro_action_list")->GetCount(), 4);
  click(0x0204, inside);  // the right button there is recorded
  EXPECT_EQ(f.Find<ui::CListUI>("macro_action_list")->GetCount(), 5);
  EXPECT_EQ(f.Shown()[4], "Right button|Press|65535");
  f.window.PaintManager().UpdateLayout();
  testsupport::PumpFor(80);  // the scroll timer 4101 (50 ms)
  ui::SaveScreenshot(f.window.GetHWND(), QStringLiteral("macros_panel_recording"));

  f.editor->EndRecording();
  EXPECT_TRUE(f.Find("macro_btn_starredio")->IsVisible());
  EXPECT_TRUE(f.Find("macro_action_list")->IsMouseEnabled());
  EXPECT_TRUE(f.Find("macro_tab_macroaction_edit")->IsEnabled());
}

TEST(MacroEditorTest, DeleteAnsweredNoKeepsEverything) {
  Fixture f;
  f.SelectMacro(0);
  std::vector<std::string> asked;
  EXPECT_EQ(f.editor->DeleteMacro([&](const char* id) { asked.push_back(id); return false; }, {}, {}, nullptr), -1);
  EXPECT_EQ(asked, std::vector<std::string>{"message_text_4"});
  EXPECT_EQ(f.Find<ui::CListUI>("macro_name_list")->GetCount(), 2);
  EXPECT_EQ(f.Shown().size(), 4u);

  EXPECT_EQ(f.editor->DeleteMacro([](const char*) { return true; }, {}, {}, nullptr), 0);
  EXPECT_EQ(f.Find<ui::CListUI>("macro_name_list")->GetCount(), 1);
  EXPECT_EQ(f.Find<ui::CListUI>("macro_name_list")->GetCurSel(), 0);
  EXPECT_EQ(f.Find("macro_edit_macroname")->GetText(), "jump");
  EXPECT_FALSE(std::filesystem::exists(f.folder / "g1.mac"));
  EXPECT_EQ(f.editor->DeleteMacro([](const char*) { return true; }, {}, {}, nullptr), 0);
  EXPECT_FALSE(f.Find("macro_action_layout")->IsEnabled());
  EXPECT_FALSE(f.Find("macro_btn_name_sub")->IsEnabled());
  // Nothing selected: the question is asked, nothing happens.
  EXPECT_EQ(f.editor->DeleteMacro([](const char*) { return true; }, {}, {}, nullptr), -1);
}

TEST(MacroEditorTest, ActionMenuPicture) {
  Fixture f;
  f.SelectMacro(0);
  ui::CMenuWnd menu;
  ASSERT_TRUE(menu.Init(&f.window, QStringLiteral("XML\\Menus\\macro_action_menu.xml"),
                        f.window.GetHWND()->mapToGlobal(QPoint(200, 120))));
  ASSERT_TRUE(menu.Choose(QStringLiteral("macro_menu_mouse")));
  ASSERT_NE(menu.GetSubMenu(), nullptr);
  testsupport::PumpFor(50);
  ui::SaveScreenshot(menu.GetHWND(), QStringLiteral("macros_menu"));
  ui::SaveScreenshot(menu.GetSubMenu()->GetHWND(), QStringLiteral("macros_menu_mouse"));
  menu.Close();
}

}  // namespace

namespace {

TEST(MacroEditorTest, RecordButtonPulsesBetween80And255) {
  Fixture f;
  auto* button = f.Find<macros::editor::CRedioMacroButtonUI>("macro_btn_starredio");
  ASSERT_NE(button, nullptr);
  button->SetAttribute(QStringLiteral("redioimage"), QStringLiteral("pulse.png"));
  const int want[] = {235, 215, 195, 175, 155, 135, 115, 95, 80, 100, 120};
  for (int level : want) {
    ui::TEventUI timer;
    timer.Type = ui::UIEVENT_TIMER;
    timer.wParam = macros::editor::kPulseTimer;
    timer.pSender = button;
    button->DoEvent(timer);
    EXPECT_EQ(button->Level(), level);
  }
  EXPECT_EQ(button->GetNormalImage(), "res='pulse.png' fade='120'");
}

}  // namespace
