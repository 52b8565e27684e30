// Controls the coming pages need, used the way a user does: equaliser
// sliders that take the wheel only once picked, a tile layout of colour
// buttons, a multi-line edit.

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWheelEvent>

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::Click;
using uitest::OpenWindow;
using uitest::TestWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

void Wheel(QWidget* w, int delta) {
  const QPointF at = QPointF(w->rect().center());
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

class GapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::UseTestSkin();
    w = OpenWindow(QStringLiteral("XML_PANELS"));
    ASSERT_NE(w, nullptr);
    w->GetHWND()->activateWindow();
    ASSERT_TRUE(uitest::WaitFor([&] { return QApplication::activeWindow() == w->GetHWND(); }));
    w->notes.clear();
  }
  std::unique_ptr<TestWindow> w;
};

TEST_F(GapTest, TheWheelScrollsPastSlidersUntilOneIsPicked) {
  auto* panel = w->Find<ui::CContainerUI>("eq_panel");
  auto* slider = w->Find<ui::CSliderUI>("eq_slider_2");
  ASSERT_GT(panel->GetScrollRange(), 0);
  Wheel(slider, -120);  // the user scrolls the panel down past the sliders
  EXPECT_EQ(slider->GetValue(), 10);
  EXPECT_GT(panel->GetScrollPos(), 0);
  EXPECT_TRUE(w->Pairs().empty());

  // Picked by a click, it takes the wheel (and the panel stays put).
  const QRect r = slider->rect();
  uitest::Mouse(slider, QEvent::MouseButtonPress, r.center());
  uitest::Mouse(slider, QEvent::MouseButtonRelease, r.center());
  slider->setFocus(Qt::MouseFocusReason);  // offscreen click focus
  ASSERT_TRUE(uitest::WaitFor([&] { return slider->hasFocus(); }));
  w->notes.clear();
  const int scrolled = panel->GetScrollPos();
  const int before = slider->GetValue();
  Wheel(slider, 120);
  EXPECT_EQ(slider->GetValue(), before + 1);
  EXPECT_EQ(panel->GetScrollPos(), scrolled);
  EXPECT_EQ(w->Pairs(), (Pairs{{"valuechanged", "eq_slider_2"}}));
}

TEST_F(GapTest, ATileLayoutPlacesItsItemsInRows) {
  auto* tiles = w->Find<ui::CContainerUI>("color_tiles");
  const QRect box = tiles->GetPos();
  // 170 wide, inset 8: 154 for three columns with 6 between: 47 each.
  struct Cell { const char* name; int column; int row; };
  for (const Cell& c : {Cell{"color_option_0", 0, 0}, Cell{"color_option_2", 2, 0}, Cell{"color_option_3", 0, 1},
                        Cell{"color_option_9", 0, 3}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(w->Find(c.name)->GetPos(), QRect(box.left() + 8 + c.column * 53, box.top() + 8 + c.row * 36, 47, 30));
  }
  Click(w->Find("color_option_4"));
  EXPECT_EQ(w->Pairs(), (Pairs{{"click", "color_option_4"}}));
}

TEST_F(GapTest, RichEditTakesSeveralLinesUpToItsLimit) {
  auto* note = w->Find<ui::CEditUI>("macro_note");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->GetClass(), QStringLiteral("RichEdit"));
  QPlainTextEdit* area = note->NativeTextEdit();
  ASSERT_NE(area, nullptr);
  area->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(uitest::WaitFor([&] { return area->hasFocus(); }));
  uitest::Type(area, QStringLiteral("ab"));
  uitest::Key(area, Qt::Key_Return, QStringLiteral("\r"));
  uitest::Type(area, QStringLiteral("cd"));
  EXPECT_EQ(note->GetText(), QStringLiteral("ab\ncd"));
  Pairs expected{{"setfocus", "macro_note"}};
  for (int i = 0; i < 5; ++i) expected.emplace_back("textchanged", "macro_note");
  EXPECT_EQ(w->Pairs(), expected);  // Enter is a new line, not "return"

  uitest::Type(area, QString(60, QLatin1Char('x')));
  EXPECT_EQ(note->GetText().size(), 40);
  note->SetText(QStringLiteral("set\nby code"));  // no notification
  EXPECT_EQ(note->GetText(), QStringLiteral("set\nby code"));
  EXPECT_EQ(w->Pairs().size(), expected.size() + 60);
}

}  // namespace

namespace {

// The macro action menu is about 1,070 px tall at 144 DPI: it is cut to the
// work area, stays on screen, scrolls, and works from the keyboard.
TEST(MenuGapTest, ALongMenuScrollsStaysOnScreenAndWorksFromTheKeyboard) {
  uitest::UseTestSkin();
  auto w = uitest::OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  w->PaintManager().SetDPI(144);
  ui::CMenuWnd menu;
  const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_TRUE(menu.Init(w.get(), QStringLiteral("long_menu.xml"), QPoint(avail.left() + 20, avail.bottom() - 50)));
  QWidget* host = menu.GetHWND();
  EXPECT_LE(host->height(), avail.height());
  EXPECT_TRUE(avail.contains(host->geometry())) << host->geometry().y() << " " << host->height();
  auto* list = qobject_cast<ui::CListUI*>(menu.GetManager()->GetRoot());
  ASSERT_NE(list, nullptr);
  ASSERT_GT(list->GetScrollRange(), 0);

  auto current = [&] { return list->GetItemAt(list->GetCurSel())->GetName().toStdString(); };
  // Down from nothing highlights the first; the separator and the disabled
  // element are passed over.
  for (int i = 0; i < 6; ++i) uitest::Key(host, Qt::Key_Down);
  EXPECT_EQ(current(), "action_5");
  uitest::Key(host, Qt::Key_Down);
  EXPECT_EQ(current(), "action_7");
  // Up from the top goes round to the last, which scrolls into view.
  for (int i = 0; i < 6; ++i) uitest::Key(host, Qt::Key_Up);
  EXPECT_EQ(current(), "action_0");
  uitest::Key(host, Qt::Key_Up);
  EXPECT_EQ(current(), "action_21");
  EXPECT_EQ(list->GetScrollPos(), list->GetScrollRange());
  uitest::Key(host, Qt::Key_Return);
  EXPECT_FALSE(menu.IsOpen());
  std::optional<ui::MenuCmd> cmd;
  ASSERT_TRUE(uitest::WaitFor([&] {
    for (const auto& m : w->messages)
      if (m.id == platform::msg::kMenuCommand && !cmd) cmd = ui::CMenuWnd::TakeCommand(m.wParam);
    return cmd.has_value();
  }));
  EXPECT_EQ(cmd->szName, QStringLiteral("action_21"));
  EXPECT_EQ(cmd->szUserData, QStringLiteral("21"));
}

}  // namespace

namespace {

TEST_F(GapTest, AComboDropDownScrollsAndWorksFromTheKeyboard) {
  auto* combo = w->Find<ui::CComboUI>("long_combo");
  ASSERT_TRUE(combo->Activate());
  QWidget* drop = combo->GetDropWindow();
  ASSERT_TRUE(drop && drop->isVisible());
  // Down from nothing picks the first; the disabled third is passed over.
  for (int i = 0; i < 3; ++i) uitest::Key(drop, Qt::Key_Down);
  uitest::Key(drop, Qt::Key_Return);
  EXPECT_FALSE(drop->isVisible());
  EXPECT_EQ(combo->GetText(), QStringLiteral("500 Hz"));
  // Far down the list (out of the drop-down's view), then Escape keeps it.
  ASSERT_TRUE(combo->Activate());
  for (int i = 0; i < 40; ++i) uitest::Key(drop, Qt::Key_Down);
  const QImage shot = drop->grab().toImage();
  uitest::Key(drop, Qt::Key_Escape);
  EXPECT_EQ(combo->GetCurSel(), 3);
  ASSERT_TRUE(combo->Activate());
  for (int i = 0; i < 40; ++i) uitest::Key(drop, Qt::Key_Down);
  uitest::Key(drop, Qt::Key_Up);
  uitest::Key(drop, Qt::Key_Enter);
  EXPECT_EQ(combo->GetText(), QStringLiteral("3625 Hz"));
  EXPECT_EQ(w->Pairs(), (Pairs{{"itemselect", "long_combo"}, {"itemselect", "long_combo"}}));
  // The scroll thumb sits at the bottom of the right edge when the last
  // item is in view.
  const QColor thumb = QColor::fromRgba(0xFF000000u | (shot.pixel(shot.width() - 6, shot.height() - 10) & 0xFFFFFF));
  const QColor top = QColor::fromRgba(0xFF000000u | (shot.pixel(shot.width() - 6, 8) & 0xFFFFFF));
  EXPECT_NE(thumb, top);
}

}  // namespace
