// Controls the coming pages need, used the way a user does: equaliser
// sliders that take the wheel only once picked, a tile layout of colour
// buttons, a multi-line edit.

#include <QPlainTextEdit>
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
