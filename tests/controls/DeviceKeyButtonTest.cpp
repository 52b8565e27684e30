// Key and light caps: attributes from a layout, the double click, and what
// a cap draws for its light, key-set mark and selection.

#include <functional>

#include <QEvent>
#include <QImage>

#include "tests/controls/ControlsTestSupport.h"
#include "ui/UITheme.h"

namespace {

using controlstest::ControlsTest;

TEST_F(ControlsTest, CapAttributesComeFromTheLayout) {
  controls::CDeviceKeyButtonUI* key0 = Cap("key_0");
  controls::CDeviceKeyButtonUI* key1 = Cap("key_1");
  ASSERT_NE(key0, nullptr);
  ASSERT_NE(key1, nullptr);
  EXPECT_EQ(key0->GetClass(), QStringLiteral("DeviceKeyButton"));
  EXPECT_TRUE(key0->IsClass(QStringLiteral("Button")));
  EXPECT_EQ(panel->GetClass(), QStringLiteral("SelectPanel"));

  // Own attributes, whatever the case of their names.
  EXPECT_EQ(key0->GetLightImage(), QStringLiteral("solid.svg"));
  EXPECT_EQ(key0->GetKeysetImage(), QStringLiteral("file='mark.svg'"));
  EXPECT_EQ(key0->GetGmNameTextColor(), 0xFF20A0u);  // leading '#' skipped
  EXPECT_EQ(key1->GetGmNameTextColor(), 0xC0FFEEu);  // and optional

  // Everything else reaches the button: text and tooltip hold text ids.
  EXPECT_EQ(key0->GetText(), QStringLiteral("Escape"));
  EXPECT_EQ(key0->toolTip(), QStringLiteral("Escape"));
  EXPECT_EQ(Cap("light_0")->toolTip(), QStringLiteral("Logo light"));
  EXPECT_EQ(key0->GetPos(), QRect(20, 20, 40, 40));
  EXPECT_FALSE(Cap("key_4")->IsEnabled());

  // State before any page touches the cap.
  EXPECT_FALSE(key1->IsLightOverlayShown());
  EXPECT_EQ(key1->GetLightColor(), 255u);
  EXPECT_EQ(key1->GetLightLevel(), 200);
  EXPECT_TRUE(key1->IsKeysetMarkHidden());
  EXPECT_FALSE(key1->IsSelected());
}

TEST_F(ControlsTest, DoubleClickSendsDbclickOnlyWhenEnabled) {
  struct Case {
    const char* cap;
    std::vector<std::string> want;
  };
  // The first press and the final release are the button's own clicks.
  const Case kCases[] = {
      {"key_1", {"click", "dbclick", "click"}},
      {"key_4", {}},  // disabled
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.cap);
    window->notes.clear();
    uitest::DoubleClick(Cap(c.cap));
    std::vector<std::string> got;
    for (const auto& note : window->ControlNotes()) {
      EXPECT_EQ(note.sender, c.cap);
      got.push_back(note.type);
    }
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(Cap(c.cap)->GetButtonState() & (ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED), 0u);
  }
}

// Colours are compared per channel with a little room for antialiasing.
bool Near(QRgb got, uint32_t want) {
  auto close = [](int a, int b) { return std::abs(a - b) <= 12; };
  return close(qRed(got), qRed(want)) && close(qGreen(got), qGreen(want)) && close(qBlue(got), qBlue(want));
}

::testing::AssertionResult PixelIs(const QImage& image, QPoint at, uint32_t want) {
  const QRgb got = image.pixel(at);
  if (Near(got, want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << at.x() << "," << at.y() << ") is "
                                       << QString::number(got, 16).toStdString() << ", want "
                                       << QString::number(want, 16).toStdString();
}

TEST_F(ControlsTest, CapDrawsLightMarkAndSelection) {
  constexpr uint32_t kCap = ui::theme::kButtonBk;  // unstyled cap face
  constexpr uint32_t kWhite = 0xFFFFFF;             // solid.svg untinted
  constexpr uint32_t kMark = 0xFFB020;              // mark.svg
  constexpr uint32_t kRing = ui::theme::kAccentHot;
  struct Case {
    const char* name;
    uint32_t color;
    int level;
    bool shown;
    bool markHidden;
    bool selected;
    uint32_t centre, corner, edge;
  };
  // centre (20,20); corner (35,5) lies in the mark's triangle; edge (1,20)
  // lies on the selection ring.
  const Case kCases[] = {
      {"untouched cap", 255, 200, false, true, false, kCap, kCap, kCap},
      {"light stored but not shown", 0xFF0000, 255, false, true, false, kCap, kCap, kCap},
      {"red light at full level", 0xFF0000, 255, true, true, false, 0xFF0000, 0xFF0000, 0xFF0000},
      {"a colour without an alpha byte", 0x0000FF, 255, true, true, false, 0x0000FF, 0x0000FF, 0x0000FF},
      {"level 0 leaves the light image untinted", 0xFF0000, 0, true, true, false, kWhite, kWhite, kWhite},
      {"key-set mark over the light", 0x00FF00, 255, true, false, false, 0x00FF00, kMark, 0x00FF00},
      {"key-set mark without light", 0x00FF00, 255, false, false, false, kCap, kMark, kCap},
      {"selected cap", 255, 200, false, true, true, kCap, kCap, kRing},
      {"selected, lit and marked", 0x0000FF, 255, true, false, true, 0x0000FF, kMark, kRing},
  };
  controls::CDeviceKeyButtonUI* cap = Cap("key_2");
  ASSERT_EQ(cap->size(), QSize(40, 40));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    cap->SetLightOverlay(c.color, c.level, c.shown);
    cap->SetKeysetMarkHidden(c.markHidden);
    cap->SetSelected(c.selected);
    const QImage shot = cap->grab().toImage();
    EXPECT_TRUE(PixelIs(shot, {20, 20}, c.centre));
    EXPECT_TRUE(PixelIs(shot, {35, 5}, c.corner));
    EXPECT_TRUE(PixelIs(shot, {1, 20}, c.edge));
  }
}

// The light step sets every cap without a repaint each, then repaints the
// picture once; the key-set mark and the selection repaint their cap.
TEST_F(ControlsTest, WhatRequestsARepaint) {
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  };
  controls::CDeviceKeyButtonUI* cap = Cap("key_3");
  PaintCounter counter;
  cap->installEventFilter(&counter);
  struct Case {
    const char* name;
    std::function<void()> act;
    bool repaints;
  };
  const Case kCases[] = {
      {"light overlay alone", [&] { cap->SetLightOverlay(0x00FF00, 90, true); }, false},
      {"the picture repainted after the light step", [&] { panel->Invalidate(); }, true},
      {"key-set mark shown", [&] { cap->SetKeysetMarkHidden(false); }, true},
      {"key-set mark unchanged", [&] { cap->SetKeysetMarkHidden(false); }, false},
      {"selected", [&] { cap->SetSelected(true); }, true},
      {"selected again", [&] { cap->SetSelected(true); }, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    uitest::Pump();
    counter.paints = 0;
    c.act();
    if (c.repaints) EXPECT_TRUE(uitest::WaitFor([&] { return counter.paints > 0; }, 1000));
    else {
      uitest::Pump();
      EXPECT_EQ(counter.paints, 0);
    }
  }
}

}  // namespace
