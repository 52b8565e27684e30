// What the user does reaches the window as notifications with the right
// types and sender names: clicks, options, sliders, edits, combo and list
// picks, the colour palette, per-control timers; and language switches
// re-read every text id.

#include <QLineEdit>

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::Click;
using uitest::Mouse;
using uitest::OpenWindow;
using uitest::TestWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

class NotifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::UseTestSkin();
    w = OpenWindow(QStringLiteral("XML_GALLERY"));
    ASSERT_NE(w, nullptr);
    w->notes.clear();
  }
  void TearDown() override {
    w.reset();
    ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
  }
  std::unique_ptr<TestWindow> w;
};

TEST_F(NotifyTest, ButtonsClickOnlyWhenReleasedInsideAndEnabled) {
  Click(w->Find("btn_apply"));
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "btn_apply"}}));

  w->notes.clear();
  Click(w->Find("btn_disabled"));
  ui::CControlUI* cancel = w->Find("btn_cancel");
  Mouse(cancel, QEvent::MouseButtonPress, cancel->rect().center());
  Mouse(cancel, QEvent::MouseMove, QPoint(-20, -20));
  Mouse(cancel, QEvent::MouseButtonRelease, QPoint(-20, -20));  // dragged off before release
  EXPECT_TRUE(w->Pairs().empty());

  // Keyboard: Space on a focused button clicks it.
  uitest::Key(cancel, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "btn_cancel"}}));
}

TEST_F(NotifyTest, OptionsToggleAndRadioGroupsStayExclusive) {
  auto* angle = w->Find<ui::COptionUI>("chk_angle");
  Click(angle);
  EXPECT_TRUE(angle->IsSelected());
  Click(angle);
  EXPECT_FALSE(angle->IsSelected());
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "chk_angle"}, {"selectchanged", "chk_angle"},
                               {"click", "chk_angle"}, {"selectchanged", "chk_angle"}}));

  w->notes.clear();
  Click(w->Find("radio_1000"));
  EXPECT_TRUE(w->Find<ui::COptionUI>("radio_1000")->IsSelected());
  EXPECT_FALSE(w->Find<ui::COptionUI>("radio_500")->IsSelected());
  EXPECT_FALSE(w->Find<ui::COptionUI>("radio_125")->IsSelected());
  // The one that lost the selection is told first, the new one last.
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "radio_1000"}, {"selectchanged", "radio_500"},
                               {"selectchanged", "radio_1000"}}));

  // Clicking the selected radio again keeps it selected and changes nothing.
  w->notes.clear();
  Click(w->Find("radio_1000"));
  EXPECT_TRUE(w->Find<ui::COptionUI>("radio_1000")->IsSelected());
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "radio_1000"}}));
}

TEST_F(NotifyTest, OptionBoundToATabLayoutSelectsItsPage) {
  auto* tabs = w->Find<ui::CTabLayoutUI>("gallery_tabs");
  Click(w->Find("tab_about"));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_TRUE(w->Find("page_about")->isVisible());
  EXPECT_FALSE(w->Find("page_controls")->isVisible());
  EXPECT_FALSE(w->Find<ui::COptionUI>("tab_controls")->IsSelected());
  Click(w->Find("tab_controls"));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(w->Find("btn_apply")->isVisible());
}

TEST_F(NotifyTest, SliderDragSendsMoveValuesThenValueChangedOnRelease) {
  auto* slider = w->Find<ui::CSliderUI>("dpi_slider");
  const QRect r = slider->rect();
  Mouse(slider, QEvent::MouseButtonPress, QPoint(r.left() + 2, r.center().y()));
  EXPECT_EQ(slider->GetValue(), 0);
  Mouse(slider, QEvent::MouseMove, QPoint(r.center().x(), r.center().y()));
  EXPECT_EQ(slider->GetValue(), 2);
  Mouse(slider, QEvent::MouseMove, QPoint(r.right() + 40, r.center().y()));  // past the end
  EXPECT_EQ(slider->GetValue(), 4);
  Mouse(slider, QEvent::MouseButtonRelease, QPoint(r.right() + 40, r.center().y()));
  EXPECT_EQ(slider->GetValue(), 4);
  EXPECT_EQ(w->Pairs(), (Pairs{{"movevaluechanged", "dpi_slider"}, {"movevaluechanged", "dpi_slider"},
                               {"movevaluechanged", "dpi_slider"}, {"valuechanged", "dpi_slider"}}));

  // Moving without a press changes nothing.
  w->notes.clear();
  Mouse(slider, QEvent::MouseMove, QPoint(r.left(), r.center().y()));
  EXPECT_EQ(slider->GetValue(), 4);
  EXPECT_TRUE(w->Pairs().empty());
}

TEST_F(NotifyTest, EditTypingReturnAndLeavingNotify) {
  w->GetHWND()->activateWindow();
  ASSERT_TRUE(uitest::WaitFor([&] { return QApplication::activeWindow() == w->GetHWND(); }));
  auto* number = w->Find<ui::CEditUI>("edit_number");
  QLineEdit* native = number->NativeEdit();
  number->SetText(QString());  // set by the program: no notification
  native->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(uitest::WaitFor([&] { return native->hasFocus(); }));
  uitest::Type(native, QStringLiteral("1a2b3"));       // letters are refused
  EXPECT_EQ(number->GetText(), QStringLiteral("123"));
  uitest::Type(native, QStringLiteral("4567"));        // at most 5 characters
  EXPECT_EQ(number->GetText(), QStringLiteral("12345"));
  uitest::Key(native, Qt::Key_Return, QStringLiteral("\r"));
  w->Find<ui::CEditUI>("edit_name")->NativeEdit()->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(uitest::WaitFor([&] { return !native->hasFocus(); }));
  EXPECT_EQ(w->Pairs(), (Pairs{{"setfocus", "edit_number"}, {"textchanged", "edit_number"},
                               {"textchanged", "edit_number"}, {"textchanged", "edit_number"},
                               {"textchanged", "edit_number"}, {"textchanged", "edit_number"},
                               {"return", "edit_number"}, {"killfocus", "edit_number"},
                               {"setfocus", "edit_name"}}));

  // A read-only edit keeps its text and sends no change.
  auto* ro = w->Find<ui::CEditUI>("edit_readonly");
  ro->NativeEdit()->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(uitest::WaitFor([&] { return ro->NativeEdit()->hasFocus(); }));
  w->notes.clear();
  uitest::Type(ro->NativeEdit(), QStringLiteral("9"));
  EXPECT_EQ(ro->GetText(), QStringLiteral("1000 Hz"));
  EXPECT_TRUE(w->Pairs().empty());
}

TEST_F(NotifyTest, ComboPickSendsItemSelectAndKeepsIndicesOfHiddenItems) {
  auto* combo = w->Find<ui::CComboUI>("light_combo");
  ASSERT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetText(), QStringLiteral("Breathing"));
  Click(combo);
  QWidget* popup = combo->GetPopup();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->isVisible());
  // Rows are 30 px under a 4 px margin: the third visible row is "Spectrum wave".
  Click(popup, QPoint(popup->width() / 2, 4 + 30 * 2 + 15));
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(combo->GetItemAt(combo->GetCurSel())->GetUserData(), QStringLiteral("light_mode_wave"));
  ASSERT_EQ(w->ControlNotes().size(), 1u);
  const uitest::Note n = w->ControlNotes()[0];
  EXPECT_EQ(n.type, "itemselect");
  EXPECT_EQ(n.sender, "light_combo");
  EXPECT_EQ(n.wParam, 2u);
  EXPECT_EQ(n.lParam, 1);

  // The fourth visible row is item 4: the hidden item 3 keeps its index.
  w->notes.clear();
  Click(combo);
  Click(popup, QPoint(popup->width() / 2, 4 + 30 * 3 + 15));
  EXPECT_EQ(combo->GetCurSel(), 4);
  EXPECT_EQ(w->Pairs(), (Pairs{{"itemselect", "light_combo"}}));

  // Picking by the program notifies only when asked to.
  w->notes.clear();
  combo->SelectItem(0, false, false);
  EXPECT_TRUE(w->Pairs().empty());
  EXPECT_EQ(combo->GetText(), QStringLiteral("Static"));
}

TEST_F(NotifyTest, ListElementsSendSelectClickActivateAndMenu) {
  auto* list = w->Find<ui::CListUI>("macro_list");
  Click(w->Find("macro_item_2"));
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_EQ(w->Pairs(), (Pairs{{"itemselect", "macro_list"}, {"itemclick", "macro_item_2"}}));

  w->notes.clear();
  uitest::DoubleClick(w->Find("macro_item_2"));
  EXPECT_EQ(w->Pairs(), (Pairs{{"itemclick", "macro_item_2"}, {"itemactivate", "macro_item_2"},
                               {"itemclick", "macro_item_2"}}));

  // A click on a label inside a row reaches the row; the row uses the
  // context menu, the plain rows do not.
  w->notes.clear();
  Click(w->Find("macro_key"));
  EXPECT_EQ(list->GetCurSel(), 3);
  Click(w->Find("macro_key"), Qt::RightButton);
  Click(w->Find("macro_item_1"), Qt::RightButton);
  EXPECT_EQ(w->Pairs(), (Pairs{{"itemselect", "macro_list"}, {"itemclick", "macro_action"},
                               {"menu", "macro_action"}, {"itemselect", "macro_list"}}));
  EXPECT_EQ(list->GetCurSel(), 0);
}

TEST_F(NotifyTest, ColourPaletteDragSendsOneColourChange) {
  auto* palette = w->Find<ui::CColorPaletteUI>("deng_Color_Pallet");
  const uint32_t before = palette->GetSelectColor();
  const QRect r = palette->rect();
  Mouse(palette, QEvent::MouseButtonPress, QPoint(r.width() / 4, r.height() / 4));
  Mouse(palette, QEvent::MouseMove, QPoint(r.width() / 3, r.height() / 3));
  Mouse(palette, QEvent::MouseButtonRelease, QPoint(r.width() / 3, r.height() / 3));
  ASSERT_EQ(w->Pairs(), (Pairs{{"colorchanged", "deng_Color_Pallet"}}));
  EXPECT_NE(palette->GetSelectColor(), before);
  EXPECT_EQ(w->ControlNotes()[0].wParam, palette->GetSelectColor());
  EXPECT_EQ(palette->GetSelectColor() >> 24, 0xFFu);

  // A colour set by the program reads back as set.
  palette->SetSelectColor(0xFF20C040);
  EXPECT_EQ(palette->GetSelectColor(), 0xFF20C040u);
}

TEST_F(NotifyTest, PerControlTimerComesBackAsTimerAndRearms) {
  auto& pm = w->PaintManager();
  ui::CControlUI* cancel = w->Find("btn_cancel");
  auto timerNotes = [&] {
    int n = 0;
    for (const auto& note : w->ControlNotes())
      if (note.type == "timer" && note.sender == "btn_cancel" && note.wParam == 7) ++n;
    return n;
  };
  ASSERT_TRUE(pm.SetTimer(cancel, 7, 5));
  ASSERT_TRUE(uitest::WaitFor([&] { return timerNotes() >= 3; }));  // it keeps firing
  EXPECT_TRUE(pm.KillTimer(cancel, 7));
  EXPECT_FALSE(pm.KillTimer(cancel, 7));
  const int fired = timerNotes();
  uitest::WaitFor([] { return false; }, 40);
  EXPECT_EQ(timerNotes(), fired);
  for (const auto& note : w->ControlNotes()) EXPECT_EQ(note.type, "timer");
}

TEST_F(NotifyTest, AsyncNotificationOfADeletedControlIsDropped) {
  auto* list = w->Find<ui::CListUI>("macro_list");
  ui::CControlUI* item = w->Find("macro_item_3");
  w->PaintManager().SendNotify(item, ui::notify::kItemClick, 0, 0, /*async=*/true);
  w->PaintManager().SendNotify(w->Find("btn_apply"), ui::notify::kClick, 0, 0, /*async=*/true);
  list->Remove(item);
  delete item;  // removed from the tree first; deleting now must not leave a dangling sender
  EXPECT_TRUE(w->Pairs().empty());
  uitest::Pump();
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "btn_apply"}}));
}

TEST_F(NotifyTest, LanguageSwitchRereadsEveryTextId) {
  auto& res = ui::CResourceManager::GetInstance();
  struct Case { const char* control; QString english; QString chinese; };
  const Case kCases[] = {
      {"btn_apply", QStringLiteral("Apply"), QStringLiteral("应用")},
      {"title_label", QStringLiteral("VX27 MOUSE · Control gallery"), QStringLiteral("VX27 MOUSE · 控件一览")},
      {"chk_ripple", QStringLiteral("Ripple control"), QStringLiteral("波纹控制")},
      {"light_combo", QStringLiteral("Breathing"), QStringLiteral("呼吸")},
      {"combo_wave", QStringLiteral("Spectrum wave"), QStringLiteral("光谱波浪")},
      {"macro_item_1", QStringLiteral("Reload"), QStringLiteral("换弹")},
      {"combo_hidden", QStringLiteral("mode_hidden"), QStringLiteral("mode_hidden")},  // unknown id: the id
      {"text_cn", QStringLiteral("简体中文：鼠标灯效与宏设置"), QStringLiteral("简体中文：鼠标灯效与宏设置")},
  };
  for (const Case& c : kCases) EXPECT_EQ(w->Find(c.control)->GetText(), c.english) << c.control;
  EXPECT_EQ(w->Find("closebtn")->toolTip(), QStringLiteral("Close"));
  EXPECT_EQ(w->Find<ui::CEditUI>("edit_name")->NativeEdit()->placeholderText(), QStringLiteral("Profile name"));

  res.SetLanguage(QStringLiteral("简体中文"));
  ASSERT_TRUE(res.LoadLanguage(QStringLiteral("lan_cn.xml")));
  res.ReloadText();
  for (const Case& c : kCases) EXPECT_EQ(w->Find(c.control)->GetText(), c.chinese) << c.control;
  EXPECT_EQ(w->Find("closebtn")->toolTip(), QStringLiteral("关闭"));
  EXPECT_EQ(w->Find<ui::CEditUI>("edit_name")->NativeEdit()->placeholderText(), QStringLiteral("配置名称"));
  EXPECT_EQ(res.GetLanguage(), QStringLiteral("简体中文"));

  // A text set to an id reads back as its text (how pages translate ids).
  ui::CControlUI* label = w->Find("version_label");
  label->SetText(QStringLiteral("btn_cancel"));
  EXPECT_EQ(label->GetText(), QStringLiteral("取消"));
  // An edit's text is the user's, never an id.
  w->Find("edit_name")->SetText(QStringLiteral("btn_cancel"));
  EXPECT_EQ(w->Find("edit_name")->GetText(), QStringLiteral("btn_cancel"));

  // A language file that cannot be read keeps the current texts.
  uitest::TraceLines trace;
  EXPECT_FALSE(res.LoadLanguage(QStringLiteral("lan_missing.xml")));
  EXPECT_FALSE(res.LoadLanguage(QStringLiteral("broken.xml")));
  EXPECT_EQ(w->Find("btn_apply")->GetText(), QStringLiteral("应用"));
  EXPECT_TRUE(trace.Contains("lan_missing.xml"));
}

}  // namespace

namespace {

// The notify pump: a handler for (type, control) wins over one for the type
// alone; a control inside a "virtualwnd" container reaches that virtual
// window's pump instead.
TEST(NotifyPumpTest, MapsByTypeAndControlAndRoutesVirtualWindows) {
  uitest::UseTestSkin();
  ui::CPaintManagerUI pm;
  ui::CDialogBuilder builder;
  std::unique_ptr<ui::CControlUI> root(builder.Create(
      QStringLiteral("<VerticalLayout name='top'><Button name='a'/><Button name='b'/>"
                     "<HorizontalLayout virtualwnd='page'><Button name='c'/></HorizontalLayout></VerticalLayout>"),
      {}, nullptr, &pm));
  ASSERT_NE(root, nullptr);
  struct Window : ui::INotifyUI, ui::CNotifyPump {
    void Notify(ui::TNotifyUI& msg) override { NotifyPump(msg); }
  } window;
  ui::CNotifyPump page;
  std::vector<std::string> seen;
  auto record = [&](const char* tag) { return [&seen, tag](ui::TNotifyUI& m) { seen.push_back(tag + (":" + m.pSender->GetName().toStdString())); }; };
  window.AddNotifyHandler(ui::notify::kClick, record("any"));
  window.AddNotifyHandler(ui::notify::kClick, QStringLiteral("b"), record("b-only"));
  page.AddNotifyHandler(ui::notify::kClick, record("page"));
  ASSERT_TRUE(window.AddVirtualWnd(QStringLiteral("page"), &page));
  EXPECT_FALSE(window.AddVirtualWnd(QStringLiteral("page"), &page));
  pm.AddNotifier(&window);

  auto* top = qobject_cast<ui::CContainerUI*>(root.get());
  for (const char* n : {"a", "b", "c"}) pm.SendNotify(top->FindSubControl(QString::fromUtf8(n)), ui::notify::kClick);
  pm.SendNotify(top->FindSubControl(QStringLiteral("a")), ui::notify::kSelectChanged);  // no handler: ignored
  EXPECT_EQ(seen, (std::vector<std::string>{"any:a", "b-only:b", "page:c"}));

  ASSERT_TRUE(window.RemoveVirtualWnd(QStringLiteral("page")));
  seen.clear();
  pm.SendNotify(top->FindSubControl(QStringLiteral("c")), ui::notify::kClick);
  EXPECT_EQ(seen, (std::vector<std::string>{"any:c"}));

  // A notifier that removes itself while notified is not called again.
  pm.RemoveNotifier(&window);
  struct Once : ui::INotifyUI {
    ui::CPaintManagerUI* pm = nullptr;
    int calls = 0;
    void Notify(ui::TNotifyUI&) override {
      ++calls;
      pm->RemoveNotifier(this);
    }
  } once;
  once.pm = &pm;
  pm.AddNotifier(&once);
  pm.SendNotify(top->FindSubControl(QStringLiteral("a")), ui::notify::kClick);
  pm.SendNotify(top->FindSubControl(QStringLiteral("a")), ui::notify::kClick);
  EXPECT_EQ(once.calls, 1);
}

}  // namespace
