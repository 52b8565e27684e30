// Rubber-band selection: which caps a dragged rectangle selects (edges,
// partial cover, direction, caps that are not direct children, hidden or of
// another class) and which gestures select nothing and send nothing.

#include <functional>
#include <set>
#include <string>

#include "tests/controls/ControlsTestSupport.h"

namespace {

using controlstest::ControlsTest;

// The direct caps of caps.xml that a drag may select, and the nested one
// it never may.
const char* const kDirectCaps[] = {"key_0", "key_1", "key_2", "key_3", "light_0", "key_4", "key_5"};

class SelectPanelTest : public ControlsTest {
 protected:
  void SelectAll(bool on) {
    for (const char* name : kDirectCaps) Cap(name)->SetSelected(on);
  }
  std::set<std::string> Selected() {
    std::set<std::string> out;
    for (const char* name : kDirectCaps)
      if (Cap(name)->IsSelected()) out.insert(name);
    if (Cap("key_9")->IsSelected()) out.insert("key_9");
    return out;
  }
};

TEST_F(SelectPanelTest, DragSelectsExactlyTheCapsItTouches) {
  // caps.xml: key_0 covers x 20..59, y 20..59; key_1 x 70..109; key_2 and
  // key_3 the row below (y 70..109); light_0 x 130..169, y 20..109; key_4
  // (disabled) x 20..59, y 120..159; key_9 nested at x 200..299, y 20..59;
  // other_opt at x 200..239, y 70..109; key_5 hidden and never laid out.
  using Set = std::set<std::string>;
  const Set kBlock = {"key_0", "key_1", "key_2", "key_3"};
  const Set kAll = {"key_0", "key_1", "key_2", "key_3", "light_0", "key_4"};
  struct Case {
    const char* name;
    QPoint from, to;
    Set want;
  };
  const Case kCases[] = {
      {"one cap wholly inside", {10, 10}, {65, 65}, {"key_0"}},
      {"corners of four caps", {50, 50}, {80, 80}, kBlock},
      {"the same area dragged up and left", {80, 80}, {50, 50}, kBlock},
      {"the same area dragged up and right", {50, 80}, {80, 50}, kBlock},
      {"stops on a cap's first column", {10, 10}, {20, 65}, {}},
      {"reaches one column into a cap", {10, 10}, {21, 65}, {"key_0"}},
      {"stops on a cap's first row", {25, 5}, {120, 20}, {}},
      {"starts on a cap's last column", {59, 10}, {69, 65}, {"key_0"}},
      {"starts just past a cap's last column", {60, 10}, {69, 65}, {}},
      {"zero width across caps", {40, 10}, {40, 150}, {}},
      {"zero height across caps", {10, 40}, {180, 40}, {}},
      {"only the foot of a tall light cap", {150, 100}, {190, 130}, {"light_0"}},
      {"a disabled cap is taken too", {30, 130}, {40, 140}, {"key_4"}},
      {"a cap inside a further container", {210, 30}, {290, 50}, {}},
      {"an option in the panel", {205, 75}, {235, 105}, {}},
      {"where a hidden cap was never laid out", {2, 2}, {15, 15}, {}},
      {"the whole panel", {0, 0}, {399, 299}, kAll},
      {"out past the window's corner", {300, 250}, {-40, -40}, kAll},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SelectAll(true);  // a drag decides every direct cap, selected or not
    window->notes.clear();
    Drag(c.from, c.to);
    EXPECT_EQ(Selected(), c.want);
    EXPECT_EQ(SelectEnds(), 1);
    EXPECT_FALSE(panel->IsArmed());
    EXPECT_FALSE(panel->IsDragging());
  }
  // Controls of another class are left as they were.
  EXPECT_TRUE(window->Find<ui::COptionUI>("other_opt")->IsSelected());
}

TEST_F(SelectPanelTest, GesturesThatAreNotADragSelectNothing) {
  struct Case {
    const char* name;
    std::function<void()> act;
  };
  const QPoint inGap(120, 150);
  const Case kCases[] = {
      {"press and release without a move",
       [&] {
         uitest::Mouse(panel, QEvent::MouseButtonPress, inGap);
         uitest::Mouse(panel, QEvent::MouseButtonRelease, inGap);
       }},
      {"moves after the release of a click",
       [&] {
         uitest::Click(panel, inGap);
         uitest::Mouse(panel, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton);
         uitest::Mouse(panel, QEvent::MouseButtonRelease, QPoint(5, 5));
       }},
      {"a drag on a disabled panel",
       [&] {
         panel->SetEnabled(false);
         Drag({5, 5}, {390, 290});
         panel->SetEnabled(true);
       }},
      {"a drag that starts on a cap", [&] { Drag({40, 40}, {390, 290}, Cap("key_0")); }},
      {"a right-button drag",
       [&] {
         uitest::Mouse(panel, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
         uitest::Mouse(panel, QEvent::MouseMove, QPoint(390, 290), Qt::RightButton);
         uitest::Mouse(panel, QEvent::MouseButtonRelease, QPoint(390, 290), Qt::RightButton);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SelectAll(false);
    Cap("key_1")->SetSelected(true);
    window->notes.clear();
    c.act();
    EXPECT_EQ(Selected(), std::set<std::string>{"key_1"});
    EXPECT_EQ(SelectEnds(), 0);
    EXPECT_FALSE(panel->IsDragging());
  }
}

// The panel reads positions as laid out: at 144 DPI the caps sit at one and
// a half times their layout coordinates.
TEST_F(SelectPanelTest, DragFollowsTheScaledLayout) {
  window->PaintManager().SetDPI(144);
  window->PaintManager().UpdateLayout();
  uitest::Pump();
  ASSERT_EQ(Cap("key_1")->GetPos(), QRect(105, 30, 60, 60));
  SelectAll(false);
  Drag({95, 25}, {106, 40});  // x 95..105: one column into key_1, none of key_0 (30..89)
  EXPECT_EQ(Selected(), std::set<std::string>{"key_1"});
}

}  // namespace
