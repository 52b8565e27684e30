// UI script steps against a window of plain controls: each step acts
// through input events and is traced with its outcome.

#include <mutex>

#include <gtest/gtest.h>

#include "app/MainWnd.h"
#include "app/UiScript.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace {

TEST(UiScript, StepsDriveControlsThroughInputEvents) {
  ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(std::string(std::getenv("VX27_SOURCE_DIR")) +
                                                              "/tests/app/scriptskin/"));
  ui::CResourceManager::GetInstance().ResetResourceMap();
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
  QTemporaryDir runtime, root;
  apptest::ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime.path().toStdString());
  platform::SettingsStore store((root.path() + "/registry.ini").toStdString());
  std::mutex lock;
  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) {
    std::lock_guard guard(lock);
    if (l.rfind("script ", 0) == 0) traced.emplace_back(l);
  });

  app::CMainWnd main(store, app::RegisterProgramMessages(), apptest::NoDevices());
  ASSERT_TRUE(main.CreateMain());
  // Shown by discovery's first pass, laid out by the DPI policy.
  ASSERT_TRUE(apptest::WaitFor([&] { return main.GetHWND()->isVisible() && main.GetHWND()->width() == 1000; }));
  main.PaintManager().UpdateLayout();
  const std::vector<std::string> lines = {
      "text edit_box hello there",
      "select combo_box 2",
      "key combo_box Up",
      "slide slider_box 3",
      "slide slider_box 9",
      "click option_box",
      "select tabs_row 1",
      "click hidden_box",
      "sleep 10",
  };
  app::UiScript script(lines, main, nullptr);
  script.Start();
  ASSERT_TRUE(apptest::WaitFor([&] { return script.Finished(); }));
  EXPECT_EQ(apptest::Control<ui::CEditUI>(main.GetHWND(), "edit_box")->GetText(), QStringLiteral("hello there"));
  EXPECT_EQ(apptest::Control<ui::CComboUI>(main.GetHWND(), "combo_box")->GetCurSel(), 1);
  EXPECT_EQ(apptest::Control<ui::CSliderUI>(main.GetHWND(), "slider_box")->GetValue(), 3);
  EXPECT_TRUE(apptest::Control<ui::COptionUI>(main.GetHWND(), "option_box")->IsSelected());
  EXPECT_TRUE(apptest::Control<ui::COptionUI>(main.GetHWND(), "tab_b")->IsSelected());
  EXPECT_FALSE(apptest::Control<ui::COptionUI>(main.GetHWND(), "tab_a")->IsSelected());
  EXPECT_TRUE(script.Failed()) << "two steps failed";
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
      "script sleep 10 -> ok",
      "script frobnicate -> unknown step",
  };
  {
    std::lock_guard guard(lock);
    EXPECT_EQ(traced, expected);
  }
  EXPECT_TRUE(second.Failed());
  EXPECT_FALSE(main.IsWindow()) << "the unknown step ended the program";
}

}  // namespace
