#pragma once
// Fixture of the custom control tests: the controls registered by their
// layout class strings, the test skin (tests/controls/skin) with English
// texts, and a window built from one of its layouts.

#include "controls/Controls.h"
#include "tests/ui/UiTestSupport.h"

namespace controlstest {

inline void UseControlsSkin() {
  auto& factory = ui::CControlFactory::GetInstance();
  factory.RegistControl(QStringLiteral("DeviceKeyButton"), [] { return new controls::CDeviceKeyButtonUI; });
  factory.RegistControl(QStringLiteral("SelectPanel"), [] { return new controls::CSelectPanelUI; });
  uitest::UseTestSkin();
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseControlsSkin();
    window = uitest::OpenWindow(QStringLiteral("XML_CAPS"));
    ASSERT_NE(window, nullptr);
    panel = window->Find<controls::CSelectPanelUI>("panel");
    ASSERT_NE(panel, nullptr);
  }

  controls::CDeviceKeyButtonUI* Cap(const char* name) { return window->Find<controls::CDeviceKeyButtonUI>(name); }

  // Press at `from`, move to `to` with the button held, release there;
  // points in window coordinates, delivered to `target` (the panel unless
  // given).
  void Drag(QPoint from, QPoint to, QWidget* target = nullptr) {
    QWidget* w = target ? target : panel;
    const QPoint origin = w->mapTo(w->window(), QPoint(0, 0));
    uitest::Mouse(w, QEvent::MouseButtonPress, from - origin);
    uitest::Mouse(w, QEvent::MouseMove, to - origin);
    uitest::Mouse(w, QEvent::MouseButtonRelease, to - origin);
  }

  int SelectEnds() const {
    int n = 0;
    for (const auto& note : window->ControlNotes())
      if (note.type == "click_select_end") {
        EXPECT_EQ(note.sender, "panel");
        ++n;
      }
    return n;
  }

  std::unique_ptr<uitest::TestWindow> window;
  controls::CSelectPanelUI* panel = nullptr;
};

}  // namespace controlstest
