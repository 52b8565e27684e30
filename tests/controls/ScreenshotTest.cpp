// Draws a keyboard picture for people to look at: every key lit with its
// own colour and brightness, a light strip, two reassigned keys and a
// selection made by dragging over the panel. Writes
// screens/controls_keycaps.png and screens/controls_keycaps_144.png.

#include <algorithm>

#include <QColor>
#include <QFileInfo>

#include "tests/controls/ControlsTestSupport.h"

namespace {

class ScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override { controlstest::UseControlsSkin(); }
};

void LightUp(ui::CContainerUI* panel) {
  for (int i = 0; i < panel->GetCount(); ++i) {
    auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i));
    if (!cap) continue;
    // A rainbow across the picture; the keys a little dimmer towards the
    // bottom rows, the strip fading out to the right (its last light off).
    const QRect pos = cap->GetPos();
    const int width = panel->GetPos().width();
    const QColor c = QColor::fromHsv((pos.center().x() - panel->GetPos().left()) * 300 / width % 360, 230, 255);
    const bool strip = cap->GetName().startsWith(QLatin1String("light_"));
    const int fromLeft = pos.right() - panel->GetPos().left();
    const int level = strip ? std::max(0, 255 - 255 * fromLeft / (width - 60))
                            : 255 - (pos.top() - panel->GetPos().top()) * 90 / panel->GetPos().height();
    cap->SetLightOverlay(c.rgb() & 0xFFFFFFu, level, true);
  }
}

TEST_F(ScreenshotTest, KeyboardPictureWithASelection) {
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    auto w = uitest::OpenWindow(QStringLiteral("XML_KEYBOARD"));
    ASSERT_NE(w, nullptr);
    w->PaintManager().SetDPI(dpi);
    w->PaintManager().UpdateLayout();
    uitest::Pump();
    auto* panel = w->Find<controls::CSelectPanelUI>("keyboard_device_key_light");
    ASSERT_NE(panel, nullptr);
    LightUp(panel);
    w->Find<controls::CDeviceKeyButtonUI>("key_3")->SetKeysetMarkHidden(false);
    w->Find<controls::CDeviceKeyButtonUI>("key_30")->SetKeysetMarkHidden(false);

    // Drag from the middle of "W" to the middle of "F": W, E, R, S, D, F.
    auto at = [&](const char* name, double fx, double fy) {
      const QRect r = w->Find(name)->GetPos();
      return QPoint(r.left() + int(r.width() * fx), r.top() + int(r.height() * fy));
    };
    const QPoint from = at("key_29", 0.5, 0.6);  // on "W"
    const QPoint to = at("key_45", 0.4, 0.5);    // on "F"
    const QPoint origin = panel->GetPos().topLeft();
    uitest::Mouse(panel, QEvent::MouseButtonPress, from - origin);
    uitest::Mouse(panel, QEvent::MouseMove, to - origin);
    uitest::Mouse(panel, QEvent::MouseButtonRelease, to - origin);
    int selected = 0;
    for (int i = 0; i < panel->GetCount(); ++i)
      if (auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i)); cap && cap->IsSelected())
        ++selected;
    EXPECT_EQ(selected, 6);  // W E R / S D F

    const QString name = dpi == 96 ? QStringLiteral("controls_keycaps") : QStringLiteral("controls_keycaps_144");
    const QString path = ui::SaveScreenshot(w->GetHWND(), name);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_GT(QFileInfo(path).size(), 0);
    std::printf("screenshot: %s\n", qPrintable(path));
  }
}

}  // namespace
