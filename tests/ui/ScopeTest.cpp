// Device pages share one window: the same panel layout is built once per
// page, so names, option groups and tab bindings must stay on their page.
// A disabled container disables everything inside it.

#include <QLineEdit>

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::Click;
using uitest::Mouse;
using uitest::OpenWindow;
using uitest::TestWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

class ScopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::UseTestSkin();
    w = OpenWindow(QStringLiteral("XML_PAGES"));
    ASSERT_NE(w, nullptr);
    w->notes.clear();
    mouse = w->Find("page_mouse");
    keyboard = w->Find("page_keyboard");
    ASSERT_TRUE(mouse && keyboard);
  }
  template <typename T = ui::CControlUI>
  T* On(ui::CControlUI* page, const char* name) {
    return qobject_cast<T*>(w->PaintManager().FindSubControlByName(page, QString::fromUtf8(name)));
  }
  std::unique_ptr<TestWindow> w;
  ui::CControlUI* mouse = nullptr;
  ui::CControlUI* keyboard = nullptr;
};

TEST_F(ScopeTest, EachPageFindsItsOwnCopyAndKeepsItsOwnGroupAndTabs) {
  auto* mouseMode0 = On<ui::COptionUI>(mouse, "light_mode_0");
  auto* keyMode0 = On<ui::COptionUI>(keyboard, "light_mode_0");
  auto* keyMode1 = On<ui::COptionUI>(keyboard, "light_mode_1");
  ASSERT_TRUE(mouseMode0 && keyMode0 && keyMode1);
  EXPECT_NE(mouseMode0, keyMode0);
  EXPECT_TRUE(mouse->isAncestorOf(mouseMode0));
  EXPECT_TRUE(keyboard->isAncestorOf(keyMode0));
  // Both pages start with their own "selected" option: building the second
  // page did not take the first page's selection away.
  EXPECT_TRUE(mouseMode0->IsSelected());
  EXPECT_TRUE(keyMode0->IsSelected());

  Click(w->Find("bar_keyboard"));
  ASSERT_TRUE(keyboard->isVisible());
  Click(keyMode1);
  EXPECT_TRUE(keyMode1->IsSelected());
  EXPECT_FALSE(keyMode0->IsSelected());
  EXPECT_TRUE(mouseMode0->IsSelected());
  EXPECT_FALSE(On<ui::COptionUI>(mouse, "light_mode_1")->IsSelected());
  // The option's tab binding switched the keyboard page's tabs only.
  EXPECT_EQ(On<ui::CTabLayoutUI>(keyboard, "light_tabs")->GetCurSel(), 1);
  EXPECT_EQ(On<ui::CTabLayoutUI>(mouse, "light_tabs")->GetCurSel(), 0);
  // Only the keyboard page's options changed.
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "bar_keyboard"}, {"selectchanged", "bar_mouse"},
                               {"selectchanged", "bar_keyboard"}, {"click", "light_mode_1"},
                               {"selectchanged", "light_mode_0"}, {"selectchanged", "light_mode_1"}}));
  EXPECT_EQ(w->notes[4].sender, "light_mode_0");
}

// Device pages are built on their own and added to the window later, as the
// main window does when a device arrives.
TEST_F(ScopeTest, APageBuiltLaterJoinsWithItsOwnScope) {
  ui::CDialogBuilder builder;
  ui::CControlUI* pad = builder.Create(
      QStringLiteral("<VerticalLayout name=\"page_pad\" pageroot=\"true\"><Include source=\"light_part.xml\"/>"
                     "</VerticalLayout>"),
      {}, nullptr, &w->PaintManager());
  ASSERT_NE(pad, nullptr);
  auto* tabs = w->Find<ui::CTabLayoutUI>("device_switch");
  ASSERT_TRUE(tabs->Add(pad));
  ASSERT_TRUE(tabs->SelectItem(pad));
  w->PaintManager().UpdateLayout();

  auto* padMode1 = On<ui::COptionUI>(pad, "light_mode_1");
  Click(padMode1);
  EXPECT_TRUE(padMode1->IsSelected());
  EXPECT_FALSE(On<ui::COptionUI>(pad, "light_mode_0")->IsSelected());
  EXPECT_TRUE(On<ui::COptionUI>(mouse, "light_mode_0")->IsSelected());
  EXPECT_TRUE(On<ui::COptionUI>(keyboard, "light_mode_0")->IsSelected());
  EXPECT_EQ(On<ui::CTabLayoutUI>(pad, "light_tabs")->GetCurSel(), 1);
  EXPECT_EQ(On<ui::CTabLayoutUI>(mouse, "light_tabs")->GetCurSel(), 0);
}

TEST_F(ScopeTest, ADisabledContainerDisablesEverythingInside) {
  w->GetHWND()->activateWindow();
  ASSERT_TRUE(uitest::WaitFor([&] { return QApplication::activeWindow() == w->GetHWND(); }));
  auto* panel = w->Find("locked_panel");
  auto* option = w->Find<ui::COptionUI>("locked_opt");
  auto* slider = w->Find<ui::CSliderUI>("locked_slider");
  auto* edit = w->Find<ui::CEditUI>("locked_edit");
  auto useAll = [&] {
    Click(w->Find("locked_btn"));
    Click(option);
    const QRect r = slider->rect();
    Mouse(slider, QEvent::MouseButtonPress, QPoint(r.right() - 2, r.center().y()));
    Mouse(slider, QEvent::MouseButtonRelease, QPoint(r.right() - 2, r.center().y()));
    edit->NativeEdit()->setFocus(Qt::MouseFocusReason);
    uitest::Type(edit->NativeEdit(), QStringLiteral("abc"));
    Click(w->Find("locked_own"));
  };

  useAll();
  EXPECT_TRUE(w->Pairs().empty());
  EXPECT_FALSE(option->IsSelected());
  EXPECT_EQ(slider->GetValue(), 2);
  EXPECT_EQ(edit->GetText(), QString());
  for (const char* name : {"locked_btn", "locked_opt", "locked_slider", "locked_edit"})
    EXPECT_FALSE(w->Find(name)->IsEnabled()) << name;

  // Enabling the panel enables its children again, but not the one that is
  // disabled itself.
  panel->SetEnabled(true);
  EXPECT_TRUE(w->Find("locked_btn")->IsEnabled());
  EXPECT_FALSE(w->Find("locked_own")->IsEnabled());
  useAll();
  EXPECT_TRUE(option->IsSelected());
  EXPECT_EQ(slider->GetValue(), 4);
  EXPECT_EQ(edit->GetText(), QStringLiteral("abc"));
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "locked_btn"}, {"click", "locked_opt"}, {"selectchanged", "locked_opt"},
                               {"movevaluechanged", "locked_slider"}, {"valuechanged", "locked_slider"},
                               {"setfocus", "locked_edit"},
                               {"textchanged", "locked_edit"}, {"textchanged", "locked_edit"},
                               {"textchanged", "locked_edit"}}));
}

}  // namespace
