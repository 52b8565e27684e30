// Draws a keyboard picture for people to look at: every key lit with its
// own colour and brightness, a light strip, two reassigned keys and a
// selection made by dragging over the panel. Writes
// screens/controls_keycaps.png and screens/controls_keycaps_144.png.

#include <algorithm>
#include <cmath>

#include <QColor>
#include <QFileInfo>

#include "controls/ControlRegistry.h"
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

TEST_F(ScreenshotTest, OtherControlsWithData) {
  controls::RegisterControls(ui::CControlFactory::GetInstance());
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    auto w = uitest::OpenWindow(QStringLiteral("XML_OTHERS"));
    ASSERT_NE(w, nullptr);
    w->PaintManager().SetDPI(dpi);
    auto* meter = w->Find<controls::CAudioRecordUI>("meter");
    for (int i = 0; i < controls::CAudioRecordUI::kSamples; ++i)
      meter->SetSample(i, int(4000 + 3500 * std::sin(i / 9.0) * std::cos(i / 31.0)));
    for (const char* name : {"pie", "hist"}) {
      auto* chart = w->Find<controls::CChartViewUI>(name);
      chart->AddItem(QStringLiteral("Keys"), 5);
      chart->AddItem(QStringLiteral("Macros"), 3);
      chart->AddItem(QStringLiteral("Lights"), 2);
      chart->AddItem(QStringLiteral("DPI"), 1);
    }
    // The pictures by full path: the rows below are built from the
    // program's skin.
    const QString testSkin = QStringLiteral(VX27_UI_TEST_SKIN);
    auto* hand = w->Find<controls::CHandImgButtonUI>("hand");
    hand->SetHandImage(QStringLiteral("file='%1/glow.svg' dest='10,10,50,50'").arg(testSkin));
    hand->SetDeleteImages(testSkin + QStringLiteral("/del.svg"), testSkin + QStringLiteral("/delhot.svg"));
    hand->SetDeletable(true);
    w->Find<controls::CHandImgSelectButtonUI>("pan")->SetHandImage(testSkin + QStringLiteral("/big.svg"));
    w->Find<controls::CHandImgSelectButtonUI>("pan_small")->SetHandImage(testSkin + QStringLiteral("/solid.svg"));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(hand, &enter);
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_PROGRAM_SKIN));
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")));
    auto* rows = w->Find<ui::CListUI>("rows");
    for (int i = 0; i < 2; ++i) {
      auto* row = new controls::CComboEditContainerElementUI;  // owned by the list
      rows->Add(row);
      static_cast<ui::CLabelUI*>(row->Text1())->SetText(i ? QStringLiteral("Key up: A") : QStringLiteral("Key down: A"));
      static_cast<ui::CLabelUI*>(row->Text2())->SetText(QStringLiteral("delay"));
      static_cast<ui::CControlUI*>(row->DelayEdit())->SetText(QStringLiteral("25"));
    }
    ui::CDialogBuilder builder;
    auto* update = qobject_cast<controls::CUpdateInfoListItemUI*>(
        builder.Create(QString::fromLatin1(controls::kUpdateItemLayout), {}, nullptr, &w->PaintManager()));
    ASSERT_NE(update, nullptr);
    rows->Add(update);
    update->SetName(QStringLiteral("MS"));
    update->SetOldRev(QStringLiteral("V0102"));
    update->SetUpdateRev(QStringLiteral("V0126"));
    update->SetStatus(6);
    update->SetProgress(64);
    w->PaintManager().UpdateLayout();
    uitest::Pump();
    const QString path = ui::SaveScreenshot(w->GetHWND(), dpi == 96 ? QStringLiteral("controls_others")
                                                                      : QStringLiteral("controls_others_144"));
    uitest::UseTestSkin();
    ASSERT_FALSE(path.isEmpty());
    std::printf("screenshot: %s\n", qPrintable(path));
  }
}

}  // namespace
