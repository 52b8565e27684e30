// UI script steps against a window of plain controls: each step acts
// through input events and is traced with its outcome.

#include <mutex>

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QTemporaryDir>

#include "app/Dialogs.h"
#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/UiScript.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace {

// A main window of plain controls (tests/app/scriptskin) and the script
// report lines traced while it runs.
class UiScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(std::string(std::getenv("VX27_SOURCE_DIR")) +
                                                                "/tests/app/scriptskin/"));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    ASSERT_TRUE(main_.CreateMain());
    // Shown by discovery's first pass, laid out by the DPI policy.
    ASSERT_TRUE(apptest::WaitFor([&] { return main_.GetHWND()->isVisible() && main_.GetHWND()->width() == 1000; }));
    main_.PaintManager().UpdateLayout();
  }
  std::vector<std::string> Traced() {
    std::lock_guard guard(lock_);
    return traced_;
  }

  QTemporaryDir runtime_, root_;
  apptest::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.path().toStdString()};
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
  std::mutex lock_;
  std::vector<std::string> traced_;
  platform::ScopedTraceSink sink_{[this](std::string_view l) {
    std::lock_guard guard(lock_);
    if (l.rfind("script ", 0) == 0) traced_.emplace_back(l);
  }};
  app::CMainWnd main_{store_, app::RegisterProgramMessages(), apptest::NoDevices()};
};

TEST_F(UiScriptTest, StepsDriveControlsThroughInputEvents) {
  app::CMainWnd& main = main_;
  // A panel laid over an option, as an overlay lies over a page: a hand's
  // click lands on the panel.
  auto* covered = apptest::Control<ui::COptionUI>(main.GetHWND(), "covered_box");
  ASSERT_NE(covered, nullptr);
  auto* cover = new ui::CControlUI;
  cover->SetName(QStringLiteral("cover_panel"));
  cover->setParent(main.GetHWND());
  cover->setGeometry(QRect(covered->mapTo(main.GetHWND(), QPoint(0, 0)), covered->size()));
  cover->show();
  cover->raise();
  const std::vector<std::string> lines = {
      "text edit_box hello there",
      "select combo_box 2",
      "key combo_box Up",
      "slide slider_box 3",
      "slide slider_box 9",
      "click option_box",
      "select tabs_row 1",
      "click hidden_box",
      "click covered_box",
      // The script's own report lines are not traces to wait for: the first
      // wait consumes the one real line, the second finds nothing.
      "wait-trace marker line 1",
      "wait-trace marker line 0",
      "sleep 10",
  };
  app::UiScript script(lines, main, nullptr);
  Trace("a marker line");
  script.Start();
  ASSERT_TRUE(apptest::WaitFor([&] { return script.Finished(); }));
  EXPECT_EQ(apptest::Control<ui::CEditUI>(main.GetHWND(), "edit_box")->GetText(), QStringLiteral("hello there"));
  EXPECT_EQ(apptest::Control<ui::CComboUI>(main.GetHWND(), "combo_box")->GetCurSel(), 1);
  EXPECT_EQ(apptest::Control<ui::CSliderUI>(main.GetHWND(), "slider_box")->GetValue(), 3);
  EXPECT_TRUE(apptest::Control<ui::COptionUI>(main.GetHWND(), "option_box")->IsSelected());
  EXPECT_TRUE(apptest::Control<ui::COptionUI>(main.GetHWND(), "tab_b")->IsSelected());
  EXPECT_FALSE(apptest::Control<ui::COptionUI>(main.GetHWND(), "tab_a")->IsSelected());
  EXPECT_FALSE(covered->IsSelected()) << "the covered option was not clicked";
  EXPECT_TRUE(script.Failed()) << "four steps failed";
  EXPECT_TRUE(main.IsWindow()) << "failed steps do not stop a script";

  app::UiScript second({"frobnicate", "quit"}, main, nullptr);
  second.Start();
  ASSERT_TRUE(apptest::WaitFor([&] { return second.Finished(); }));
  apptest::TakeQuitRequest();

  const std::vector<std::string> expected = {
      "script text edit_box hello there -> ok",
      "script select combo_box 2 -> ok",
      "script key combo_box Up -> ok",
      "script slide slider_box 3 -> ok",
      "script slide slider_box 9 -> value out of range",
      "script click option_box -> ok",
      "script select tabs_row 1 -> ok",
      "script click hidden_box -> hidden_box is not visible",
      "script click covered_box -> covered by cover_panel",
      "script wait-trace marker line 1 -> ok",
      "script wait-trace marker line 0 -> no such trace in time",
      "script sleep 10 -> ok",
      "script frobnicate -> unknown step",
  };
  EXPECT_EQ(Traced(), expected);
  EXPECT_TRUE(second.Failed());
  EXPECT_FALSE(main.IsWindow()) << "the unknown step ended the program";
}

// The step that opens a modal window returns only when it closes: armed
// answers click in message boxes and type into file dialogs from inside
// that modal loop, in order; a box the answer cannot click is closed, as is
// a box no answer was armed for (after five seconds); an answer no window
// takes fails, and one left at "quit" fails the script.
TEST_F(UiScriptTest, ArmedAnswersCloseModalWindowsInOrder) {
  QTemporaryDir files;
  const QString chosen = files.path() + "/a macro.mac";
  QFile(chosen).open(QIODevice::WriteOnly);
  app::UiScript script({"answer no", "answer yes", "answer cancel", "answer-file " + chosen.toStdString() + " 5",
                        "wait-trace boxes closed 20", "wait-trace unanswered closed 20", "answer yes 0", "sleep 50", "answer ok", "quit"},
                       main_, nullptr);
  script.Start();
  QWidget* owner = main_.GetHWND();
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_2"), 96, true, 1), 0);
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_4"), 96, true, 1), 1);
  // One button only: "cancel" cannot be clicked, the box is closed (as a cancel).
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_7"), 96, true, 0), 0);
  app::SystemDialogs dialogs;
  QString path;
  EXPECT_TRUE(dialogs.AskOpenPath(owner, app::FileKind::Macro, &path));
  EXPECT_EQ(path, chosen);
  Trace("boxes closed");
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_5"), 96, true, 1), 0);
  Trace("unanswered closed");
  ASSERT_TRUE(apptest::WaitFor([&] { return script.Finished(); }, 10000));
  apptest::TakeQuitRequest();
  EXPECT_TRUE(script.Failed());

  const std::vector<std::string> expected = {
      "script answer no -> armed",
      "script answer yes -> armed",
      "script answer cancel -> armed",
      "script answer-file " + chosen.toStdString() + " 5 -> armed",
      "script answer no -> ok (message_text_2)",
      "script answer yes -> ok (message_text_4)",
      "script answer cancel -> cancel_btn is not visible (message_text_7); closed",
      "script answer-file " + chosen.toStdString() + " 5 -> ok",
      "script wait-trace boxes closed 20 -> ok",
      "script (no answer armed) -> closed message_text_5",
      "script wait-trace unanswered closed 20 -> ok",
      "script answer yes 0 -> armed",
      "script sleep 50 -> ok",
      "script answer yes 0 -> no such window in time",
      "script answer ok -> armed",
      "script quit -> ok",
      "script answer ok -> never used",
  };
  EXPECT_EQ(Traced(), expected);
}

// An answer may hold its click until a trace line appears after it was
// armed (an earlier line does not count) and picture the window first; a
// window whose trace never comes is closed by its close button at the
// answer's deadline and the script fails.
TEST_F(UiScriptTest, AnswersWaitForATraceAndPictureTheWindow) {
  QTemporaryDir files;
  const std::string picture = files.path().toStdString() + "/box.png";
  app::UiScript script({"answer yes 10 shot " + picture + " after box may close", "answer yes 1 after never traced",
                        "wait-trace boxes closed 20", "quit"},
                       main_, nullptr);
  Trace("box may close");  // seen by the script, but before the answer was armed
  script.Start();
  QWidget* owner = main_.GetHWND();
  bool openWhenReleased = false;
  QTimer::singleShot(300, [&] {
    openWhenReleased = QApplication::activeModalWidget() != nullptr;
    Trace("box may close");
  });
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_2"), 96, true, 1), 1);
  EXPECT_TRUE(openWhenReleased) << "the answer clicked before its trace";
  const QImage shot(QString::fromStdString(picture));
  EXPECT_FALSE(shot.isNull());
  EXPECT_LT(shot.width(), owner->width()) << "the box, not the main window";
  EXPECT_EQ(app::ShowMessage(owner, {}, QStringLiteral("message_text_4"), 96, true, 1), 0);
  Trace("boxes closed");
  ASSERT_TRUE(apptest::WaitFor([&] { return script.Finished(); }, 10000));
  apptest::TakeQuitRequest();
  EXPECT_TRUE(script.Failed());
  const std::vector<std::string> expected = {
      "script answer yes 10 shot " + picture + " after box may close -> armed",
      "script answer yes 1 after never traced -> armed",
      "script answer yes 10 shot " + picture + " after box may close -> ok (message_text_2)",
      "script answer yes 1 after never traced -> no trace never traced in time (message_text_4); closed",
      "script wait-trace boxes closed 20 -> ok",
      "script quit -> ok",
  };
  EXPECT_EQ(Traced(), expected);
}

}  // namespace
