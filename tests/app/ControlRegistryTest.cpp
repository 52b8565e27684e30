// The program's custom controls as layouts get them: every class name the
// layouts use builds, the key caps and the select panel as the real controls,
// the classes not built yet as placeholders that know what they stand for.
// Built unconditionally: a missing compile definition that left the program
// with placeholders must fail here, not make these tests disappear.

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "app/ControlRegistry.h"
#include "app/DeviceBar.h"
#include "controls/Controls.h"
#include "tests/app/AppTestSupport.h"

namespace {

// The class names the entry routine registers, in order; `real` for the ones
// that exist as controls today.
struct Registered {
  const char* name;
  bool real;
};
constexpr Registered kClasses[] = {
    {"CCircleProgressUI", true},  {"CChartViewUI", true},
    {"CWndUI", true},             {"CSelectPanelUI", true},
    {"CDeviceKeyButtonUI", true},  {"CCloudShareListItemUI", false},
    {"CUpdateInfoListItemUI", true}, {"CDeviceOptionUI", true},
    {"CMpDevicePowerUI", true},   {"CComboEditContainerElementUI", true},
    {"CHandImgButtonUI", true},   {"CHandImgSelectButtonUI", true},
    {"CRedioMacroButtonUI", true}, {"CAudioRecordUI", true},
    {"CLightControlUI", false},    {"CMacroControlUI", true},
    {"CKeySetControlUI", false},   {"CDeviceProfileUI", true},
    {"CShootControlUI", true},     {"CMagicControlUI", true},
    {"CVoice6533ControlUI", true}, {"CGesterinUSBDevice", false},
    {"CGesterinMousePadDevice", false}, {"CGesterinRU6533Device", false},
};

TEST(ControlRegistry, EveryClassBuildsAsItsControlOrItsPlaceholder) {
  app::RegisterCustomControls();
  for (const Registered& r : kClasses) {
    SCOPED_TRACE(r.name);
    // Class names are matched without regard to case, as the layouts write them.
    std::unique_ptr<ui::CControlUI> c(
        ui::CControlFactory::GetInstance().CreateControl(QString::fromLatin1(r.name).toLower()));
    ASSERT_NE(c, nullptr);
    auto* placeholder = qobject_cast<app::CPlaceholderControlUI*>(c.get());
    if (!r.real) {
      ASSERT_NE(placeholder, nullptr);
      EXPECT_EQ(placeholder->StandsFor(), QString::fromLatin1(r.name));
      continue;
    }
    EXPECT_EQ(placeholder, nullptr);
    if (std::string_view(r.name) == "CSelectPanelUI") {
      EXPECT_NE(qobject_cast<CSelectPanelUI*>(c.get()), nullptr);
    }
    if (std::string_view(r.name) == "CDeviceKeyButtonUI") {
      EXPECT_NE(qobject_cast<CDeviceKeyButtonUI*>(c.get()), nullptr);
    }
    if (std::string_view(r.name) == "CDeviceOptionUI") {
      EXPECT_NE(dynamic_cast<app::CDeviceOptionUI*>(c.get()), nullptr);
    }
    // Each real class builds as itself (its class string without "C" and "UI").
    const std::string_view name(r.name);
    const QString shortName = QString::fromLatin1(name.substr(1, name.size() - 3).data(), int(name.size() - 3));
    if (name != "CChartViewUI") {
      EXPECT_TRUE(c->IsClass(shortName)) << c->GetClass().toStdString();
    }
    if (std::string_view(r.name) == "CMpDevicePowerUI") {
      EXPECT_NE(dynamic_cast<app::CMpDevicePowerUI*>(c.get()), nullptr);
    }
  }
  EXPECT_EQ(app::kCustomControlClasses.size(), std::size(kClasses));
  for (size_t i = 0; i < std::size(kClasses) && i < app::kCustomControlClasses.size(); ++i)
    EXPECT_STREQ(app::kCustomControlClasses[i], kClasses[i].name) << "order at " << i;
}

// The registered key caps and select panel, built from a layout by the
// class names the device pages use: a dragged rectangle selects exactly
// the caps it covers and the panel reports the end of the selection.
TEST(ControlRegistry, LayoutsGetTheRealKeyCapsAndSelectPanel) {
  app::RegisterCustomControls();
  class PanelWnd : public ui::WindowImplBase {
   public:
    QString GetWindowClassName() const override { return QStringLiteral("PanelWnd"); }
    QString GetSkinFile() override {
      return QStringLiteral(
          "<Window size=\"300,100\"><CSelectPanelUI name=\"panel\">"
          "<CDeviceKeyButtonUI name=\"key_1\" float=\"true\" pos=\"10,10,50,50\"/>"
          "<CDeviceKeyButtonUI name=\"key_2\" float=\"true\" pos=\"60,10,100,50\"/>"
          "<CDeviceKeyButtonUI name=\"key_3\" float=\"true\" pos=\"110,10,150,50\"/>"
          "</CSelectPanelUI></Window>");
    }
    void Notify(ui::TNotifyUI& msg) override {
      if (msg.sType == ui::notify::kClickSelectEnd) ++selectEnds;
    }
    int selectEnds = 0;
  } wnd;
  ASSERT_TRUE(wnd.Create(static_cast<QWidget*>(nullptr), QStringLiteral("panel")));
  wnd.ShowWindow(true);
  wnd.PaintManager().UpdateLayout();
  auto* panel = qobject_cast<CSelectPanelUI*>(wnd.FindControl(QStringLiteral("panel")));
  ASSERT_NE(panel, nullptr);
  auto key = [&](const char* n) { return qobject_cast<CDeviceKeyButtonUI*>(wnd.FindControl(QString::fromLatin1(n))); };
  ASSERT_NE(key("key_3"), nullptr);

  // From the gap left of key_1 to the middle of key_2.
  const QPoint from = QPoint(5, 5) - panel->GetPos().topLeft();
  const QPoint to = QPoint(80, 30) - panel->GetPos().topLeft();
  auto mouse = [&](QEvent::Type type, QPoint p) {
    QMouseEvent e(type, QPointF(p), QPointF(panel->mapToGlobal(p)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &e);
  };
  mouse(QEvent::MouseButtonPress, from);
  mouse(QEvent::MouseMove, to);
  mouse(QEvent::MouseButtonRelease, to);
  EXPECT_TRUE(key("key_1")->IsSelected());
  EXPECT_TRUE(key("key_2")->IsSelected());
  EXPECT_FALSE(key("key_3")->IsSelected());
  EXPECT_TRUE(apptest::WaitFor([&] { return wnd.selectEnds == 1; }, 1000));
}

}  // namespace
