// The picture buttons, ring, meter, chart, widget host and layout-built
// rows: their event handling and notifications, and what they draw, read
// back from the window's pixels.

#include <cmath>

#include <QImage>
#include <QLineEdit>

#include "controls/CAudioRecordUI.h"
#include "controls/CChartViewUI.h"
#include "controls/CCircleProgressUI.h"
#include "controls/CComboEditContainerElementUI.h"
#include "controls/CHandImgButtonUI.h"
#include "controls/CHandImgSelectButtonUI.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "controls/CWndUI.h"
#include "controls/ControlRegistry.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

class OtherControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controls::RegisterControls(ui::CControlFactory::GetInstance());
    uitest::UseTestSkin();
    window = uitest::OpenWindow(QStringLiteral("XML_OTHERS"));
    ASSERT_NE(window, nullptr);
  }

  // Delivers one event to `control` at a window point.
  void Send(ui::CControlUI* control, QEvent::Type type, QPoint windowPoint,
            Qt::KeyboardModifiers mods = Qt::NoModifier) {
    uitest::Mouse(control, type, windowPoint - control->GetPos().topLeft(), Qt::LeftButton, mods);
  }
  void Enter(ui::CControlUI* control) {
    QEnterEvent e(QPointF(1, 1), QPointF(1, 1), QPointF(control->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(control, &e);
  }
  void Leave(ui::CControlUI* control) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(control, &e);
  }

  QImage Shot() {
    window->PaintManager().UpdateLayout();
    return window->GetHWND()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  }

  std::vector<std::string> Types() const {
    std::vector<std::string> out;
    for (const auto& n : window->ControlNotes()) out.push_back(n.type);
    return out;
  }

  std::unique_ptr<uitest::TestWindow> window;
};

// A point on a circle of radius r around c, at a clockwise angle from the
// positive x axis (y grows downwards).
QPoint OnCircle(QPoint c, double r, double degrees) {
  const double a = degrees * M_PI / 180.0;
  return QPoint(int(std::lround(c.x() + r * std::cos(a))), int(std::lround(c.y() + r * std::sin(a))));
}

TEST_F(OtherControlsTest, DeleteHandleSitsInTheCornerAtEveryDpi) {
  auto* hand = window->Find<controls::CHandImgButtonUI>("hand");
  ASSERT_NE(hand, nullptr);
  for (int dpi : {96, 144}) {
    window->PaintManager().SetDPI(dpi);
    window->PaintManager().UpdateLayout();
    const QRect pos = hand->GetPos();
    const double f = dpi / 96.0;
    // Left edge 30 and top edge 29 scaled pixels inside the right and
    // bottom edges, 20 x 20 scaled.
    EXPECT_EQ(hand->DeleteHandleRect(),
              QRect(pos.x() + pos.width() - int(30 * f), pos.y() + pos.height() - int(29 * f), int(20 * f), int(20 * f)))
        << dpi;
  }
}

TEST_F(OtherControlsTest, PictureButtonReleasesClickOrDeleteByWhereTheyLand) {
  auto* hand = window->Find<controls::CHandImgButtonUI>("hand");
  ASSERT_NE(hand, nullptr);
  const QPoint inHandle = hand->DeleteHandleRect().center();
  const QPoint inBody = hand->GetPos().topLeft() + QPoint(10, 10);
  const QPoint outside = hand->GetPos().bottomRight() + QPoint(30, 30);
  struct Case {
    bool deletable;
    QPoint press, release;
    const char* expected;  // "" for nothing
  };
  const Case cases[] = {
      {true, inHandle, inHandle, "click_handdelete"},
      {true, inBody, inHandle, "click_handdelete"},
      {true, inBody, inBody, "click"},
      {false, inHandle, inHandle, "click"},  // not deletable: the handle is part of the button
      {true, inBody, outside, ""},
      {true, outside, inBody, ""},  // a press outside never captured
  };
  for (const Case& c : cases) {
    window->notes.clear();
    hand->SetDeletable(c.deletable);
    Send(hand, QEvent::MouseButtonPress, c.press);
    Send(hand, QEvent::MouseMove, c.release);
    Send(hand, QEvent::MouseButtonRelease, c.release);
    const auto types = Types();
    if (*c.expected) {
      EXPECT_EQ(types, std::vector<std::string>{c.expected}) << c.deletable;
    } else {
      EXPECT_TRUE(types.empty()) << types.front();
    }
  }
}

TEST_F(OtherControlsTest, PictureButtonsTellEnterAndLeave) {
  for (const char* name : {"hand", "pan"}) {
    auto* control = window->Find(name);
    ASSERT_NE(control, nullptr);
    window->notes.clear();
    Enter(control);
    EXPECT_TRUE(control->GetButtonState() & ui::UISTATE_HOT) << name;
    Leave(control);
    EXPECT_FALSE(control->GetButtonState() & ui::UISTATE_HOT) << name;
    EXPECT_EQ(Types(), (std::vector<std::string>{"msenter", "msleave"})) << name;
    control->SetEnabled(false);
    window->notes.clear();
    Enter(control);
    Leave(control);
    EXPECT_TRUE(Types().empty()) << name;
  }
}

TEST_F(OtherControlsTest, DeleteHandleIsDrawnOnlyWhileHotAndDeletable) {
  auto* hand = window->Find<controls::CHandImgButtonUI>("hand");
  const QPoint handle = hand->DeleteHandleRect().center();
  const QRgb hot = qRgb(0xFF, 0x00, 0xFF), normal = qRgb(0x80, 0x80, 0x80);
  hand->SetDeletable(true);
  EXPECT_NE(Shot().pixel(handle), hot);  // not hot yet
  Enter(hand);
  Send(hand, QEvent::MouseMove, hand->GetPos().topLeft() + QPoint(5, 5));
  EXPECT_EQ(Shot().pixel(handle), normal);
  Send(hand, QEvent::MouseMove, handle);
  EXPECT_EQ(Shot().pixel(handle), hot);
  hand->SetDeletable(false);
  const QRgb without = Shot().pixel(handle);
  EXPECT_NE(without, hot);
  EXPECT_NE(without, normal);
}

TEST_F(OtherControlsTest, LargePicturePansWithThePointerAndStopsAtItsEdges) {
  auto* pan = window->Find<controls::CHandImgSelectButtonUI>("pan");
  ASSERT_NE(pan, nullptr);
  ASSERT_EQ(pan->ImageSize(), QSize(300, 200));
  const QPoint start = pan->GetPos().center();
  // The picture first shows its top-left part at the control's size.
  EXPECT_EQ(pan->SourceRect(), QRect(0, 0, 100, 80));
  EXPECT_EQ(pan->ShownImage().toStdString(), "file='big.svg' source='0,0,100,80'");

  struct Step {
    QPoint move;  // from the last point
    QRect source;
  };
  const Step steps[] = {
      {{-30, -15}, QRect(30, 15, 100, 80)},    // pointer left and up: the view moves right and down
      {{10, 5}, QRect(20, 10, 100, 80)},       // back a little
      {{50, 50}, QRect(0, 0, 100, 80)},        // held at the origin
      {{-1000, -1000}, QRect(200, 120, 100, 80)},  // held at the far edges
      {{-5, -5}, QRect(200, 120, 100, 80)},
  };
  Send(pan, QEvent::MouseButtonPress, start);
  QPoint at = start;
  for (const Step& s : steps) {
    at += s.move;
    Send(pan, QEvent::MouseMove, at);
    EXPECT_EQ(pan->SourceRect(), s.source) << s.move.x();
  }
  EXPECT_EQ(pan->ShownImage().toStdString(), "file='big.svg' source='200,120,300,200'");
  // The bottom-right quarter of the picture is yellow.
  EXPECT_EQ(Shot().pixel(pan->GetPos().center()), qRgb(0xFF, 0xFF, 0x00));
  Send(pan, QEvent::MouseButtonRelease, at);
  Send(pan, QEvent::MouseMove, at + QPoint(40, 40));
  EXPECT_EQ(pan->SourceRect(), QRect(200, 120, 100, 80)) << "released: no pan";
  EXPECT_TRUE(Types().empty()) << "never clicks";
}

TEST_F(OtherControlsTest, SmallPictureIsShownWholeAndDoesNotPan) {
  auto* pan = window->Find<controls::CHandImgSelectButtonUI>("pan_small");
  ASSERT_NE(pan, nullptr);
  EXPECT_EQ(pan->ShownImage().toStdString(), "solid.svg");
  const QPoint start = pan->GetPos().center();
  Send(pan, QEvent::MouseButtonPress, start);
  for (QPoint d : {QPoint(-20, -20), QPoint(30, 30)}) {
    Send(pan, QEvent::MouseMove, start + d);
    EXPECT_EQ(pan->SourceRect().topLeft(), QPoint(0, 0));
  }
}

TEST(CircleSweepTest, SweepIsValueOverRangeTruncated) {
  struct Case {
    int value, minimum, maximum;
    std::optional<int> sweep;
  };
  const Case cases[] = {
      {50, 0, 100, 180}, {50, 20, 100, 225}, {0, 0, 100, 0},   {100, 0, 100, 360},
      {1, 0, 7, 51},     {100, 50, 100, 360}, {5, 5, 5, std::nullopt}, {0, 10, 3, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(controls::CircleSweepDegrees(c.value, c.minimum, c.maximum), c.sweep)
        << c.value << " " << c.minimum << " " << c.maximum;
}

TEST_F(OtherControlsTest, RingStartsStraightDownAndTurnsClockwise) {
  const QRgb fore = qRgb(0, 0xC0, 0), back = qRgb(0x30, 0x30, 0x30), white = qRgb(255, 255, 255);
  // Ring pixels 5 pixels inside the edge of a 100 x 100 control; angles
  // clockwise from the positive x axis.
  struct Case {
    const char* name;
    double angle;
    QRgb expected;
  };
  const Case cases[] = {
      // 50 of 0..100: the left half, from the bottom round to the top.
      {"ring", 135, fore}, {"ring", 180, fore}, {"ring", 225, fore}, {"ring", 0, back}, {"ring", 45, back},
      {"ring", 315, back},
      // 50 of 20..100: 225 degrees, from the bottom to the upper right.
      {"ring225", 180, fore}, {"ring225", 270, fore}, {"ring225", 300, fore}, {"ring225", 330, back},
      {"ring225", 0, back}, {"ring225", 45, back},
  };
  const QImage shot = Shot();
  for (const Case& c : cases) {
    auto* ring = window->Find(c.name);
    ASSERT_NE(ring, nullptr);
    const QPoint centre(ring->GetPos().x() + 50, ring->GetPos().y() + 50);
    EXPECT_EQ(shot.pixel(OnCircle(centre, 45, c.angle)), c.expected) << c.name << " at " << c.angle;
    EXPECT_EQ(shot.pixel(centre), white) << c.name;
  }
  // An empty range draws the background disc only.
  auto* ring = window->Find<controls::CCircleProgressUI>("ring");
  ring->SetMinValue(100);
  const QPoint centre(ring->GetPos().x() + 50, ring->GetPos().y() + 50);
  const QImage empty = Shot();
  for (double angle : {0.0, 90.0, 180.0, 270.0}) EXPECT_EQ(empty.pixel(OnCircle(centre, 45, angle)), back) << angle;
  EXPECT_EQ(empty.pixel(centre), back);
}

TEST_F(OtherControlsTest, MeterBarsRiseFromOnePixelAboveTheBottom) {
  auto* meter = window->Find<controls::CAudioRecordUI>("meter");
  ASSERT_NE(meter, nullptr);
  const QRect pos = meter->GetPos();  // 600 x 100
  ASSERT_EQ(pos.size(), QSize(600, 100));
  meter->SetSample(0, 4096);      // half the height
  meter->SetSample(1, 8192);      // full height
  meter->SetSample(2, 1 << 30);   // beyond full scale: held at full height
  meter->SetSample(3, -500);      // below zero: nothing
  meter->SetSample(4, 82);        // 82 * 100 / 8192 = 1: a bar that ends where it starts
  meter->SetSample(5, 164);       // 2: one pixel
  const QImage shot = Shot();
  const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
  // The first black row of each bar (-1: none), for bars by index.
  auto firstBlack = [&](int x) {
    for (int y = 0; y < 100; ++y)
      if (shot.pixel(pos.x() + x, pos.y() + y) == black) return y;
    return -1;
  };
  struct Case {
    int bar, top;
  };
  const Case cases[] = {{0, 50}, {1, 0}, {2, 0}, {3, -1}, {4, -1}, {5, 98},
                        {100, -1}, {255, 97},  // the start values: sample i is i
                        {256, -1}, {299, -1}};     // samples past 255 start at 0
  for (const Case& c : cases) EXPECT_EQ(firstBlack(2 * c.bar), c.top) << "bar " << c.bar;
  for (int x : {0, 2}) {
    EXPECT_EQ(shot.pixel(pos.x() + x, pos.y() + 98), black);
    EXPECT_EQ(shot.pixel(pos.x() + x, pos.y() + 99), white) << "the bottom row stays empty";
  }
  EXPECT_EQ(shot.pixel(pos.x() + 1, pos.y() + 60), white) << "one pixel between bars";
}

TEST_F(OtherControlsTest, PieSectorsFollowTheValuesClockwise) {
  auto* pie = window->Find<controls::CChartViewUI>("pie");
  ASSERT_NE(pie, nullptr);
  const QRect pos = pie->GetPos();  // 300 x 180, legend 100 on the right
  const QImage before = Shot();
  pie->AddItem(QStringLiteral("one"), 1);
  pie->AddItem(QStringLiteral("three"), 3);
  const QImage shot = Shot();
  // Diameter min(300 - 100 - 10, 180 - 10) = 170, centred in the 200 left.
  const QPoint centre(pos.x() + 100, pos.y() + 90);
  const QRgb first = shot.pixel(OnCircle(centre, 60, 45));  // 0..90: the first item
  const QRgb second = shot.pixel(OnCircle(centre, 60, 180));
  EXPECT_NE(first, second);
  for (double angle : {100.0, 200.0, 270.0, 350.0}) EXPECT_EQ(shot.pixel(OnCircle(centre, 60, angle)), second) << angle;
  EXPECT_EQ(shot.pixel(OnCircle(centre, 60, 80)), first);
  // The legend: first item's square at the right of the pie, second one row down.
  const int legendX = pos.x() + 15 + 170 + 10 + 9;
  EXPECT_EQ(shot.pixel(legendX, pos.y() + 5 + 9), first);
  EXPECT_EQ(shot.pixel(legendX, pos.y() + 5 + 22 + 9), second);
  EXPECT_NE(shot.pixel(legendX, pos.y() + 5 + 44 + 9), second);

  // Values that add up to nothing draw the background only.
  pie->RemoveAllItems();
  pie->AddItem(QStringLiteral("none"), 0);
  pie->AddItem(QStringLiteral("negative"), -4);
  EXPECT_EQ(Shot().copy(pos), before.copy(pos));
}

TEST_F(OtherControlsTest, HistogramPillarsAreSharesOfTheLargestValue) {
  auto* hist = window->Find<controls::CChartViewUI>("hist");
  ASSERT_NE(hist, nullptr);
  const QRect pos = hist->GetPos();  // 280 x 180
  const QImage before = Shot();
  hist->AddItem(QStringLiteral("a"), 1);
  hist->AddItem(QStringLiteral("b"), 4);
  hist->AddItem(QStringLiteral("c"), 2);
  const QImage shot = Shot();
  const QRgb ground = before.pixel(pos.x() + 5, pos.y() + 5);
  // Pillars stand on the shadow (4 high, 25 above the bottom for the
  // labels) and may rise to 10 below the top: 180 - 25 - 4 - 10 = 141.
  const int base = pos.y() + 180 - 25 - 4;
  auto height = [&](int k) {
    const int x = pos.x() + k * (280 / 3) + (280 / 3) / 2;
    int h = 0;
    while (h < 180 && shot.pixel(x, base - 1 - h) != ground) ++h;
    return h;
  };
  EXPECT_EQ(height(1), 141);
  EXPECT_EQ(height(0), 141 / 4);
  EXPECT_EQ(height(2), 141 / 2);
  // The shadow image lies along the bottom under the pillars.
  EXPECT_EQ(shot.pixel(pos.x() + 2, base + 1), qRgb(255, 255, 255));

  hist->SetAttribute(QStringLiteral("pillarimagewidth"), QStringLiteral("0"));
  EXPECT_EQ(Shot().copy(pos), before.copy(pos)) << "pillar width 0: background only";
}

TEST_F(OtherControlsTest, ChartAttributesCompareWithCase) {
  auto* pie = window->Find<controls::CChartViewUI>("pie");
  struct Case {
    const char* name;
    const char* value;
    controls::CChartViewUI::View view;
    bool showText;
  };
  const Case cases[] = {
      {"view", "histpgram", controls::CChartViewUI::View::Histogram, true},
      {"view", "Pie", controls::CChartViewUI::View::Histogram, true},  // value with case: ignored
      {"VIEW", "pie", controls::CChartViewUI::View::Histogram, true},  // name with case: not ours
      {"view", "pie", controls::CChartViewUI::View::Pie, true},
      {"showtext", "TRUE", controls::CChartViewUI::View::Pie, false},
      {"showtext", "true", controls::CChartViewUI::View::Pie, true},
  };
  for (const Case& c : cases) {
    pie->SetAttribute(QString::fromLatin1(c.name), QString::fromLatin1(c.value));
    EXPECT_EQ(pie->GetView(), c.view) << c.name << "=" << c.value;
    EXPECT_EQ(pie->IsShowText(), c.showText) << c.name << "=" << c.value;
  }
}

TEST_F(OtherControlsTest, HostedWidgetFollowsTheControl) {
  auto* host = window->Find<controls::CWndUI>("host");
  ASSERT_NE(host, nullptr);
  QWidget* paintWindow = window->GetHWND();
  auto* child = new QLineEdit(paintWindow);  // owned by the window
  host->SetHostedWidget(child);
  EXPECT_EQ(child->geometry(), host->GetPos());
  EXPECT_TRUE(child->isVisible());

  host->SetFloatPos(ui::ParseRect(QStringLiteral("600,300,700,340")));
  window->PaintManager().UpdateLayout();
  uitest::Pump();
  EXPECT_EQ(host->GetPos().topLeft(), QPoint(600, 300));
  EXPECT_EQ(child->geometry(), host->GetPos());

  host->SetVisible(false);
  EXPECT_FALSE(child->isVisible());
  host->SetVisible(true);
  EXPECT_TRUE(child->isVisible());

  // A top-level widget goes to the control's place on the screen.
  QWidget floating;
  host->SetHostedWidget(&floating);
  EXPECT_EQ(floating.geometry().topLeft(), paintWindow->mapToGlobal(host->GetPos().topLeft()));
  host->SetHostedWidget(nullptr);
}

// Rows built from the program's own layout (skin/), so its part names are
// checked too.
class ProgramSkinRows : public OtherControlsTest {
 protected:
  void SetUp() override {
    OtherControlsTest::SetUp();
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_PROGRAM_SKIN));
  }
  void TearDown() override { uitest::UseTestSkin(); }
};

TEST_F(ProgramSkinRows, EditRowsFindTheirOwnParts) {
  auto* list = window->Find<ui::CListUI>("rows");
  ASSERT_NE(list, nullptr);
  std::vector<controls::CComboEditContainerElementUI*> rows;
  for (int i = 0; i < 3; ++i) {
    auto* row = new controls::CComboEditContainerElementUI;  // owned by the list
    ASSERT_TRUE(list->Add(row));
    rows.push_back(row);
  }
  for (auto* row : rows) {
    for (ui::CControlUI* part : {row->Text1(), row->Text2(), row->DelayEdit()}) {
      ASSERT_NE(part, nullptr);
      EXPECT_TRUE(row->isAncestorOf(part)) << part->GetName().toStdString();
    }
  }
  EXPECT_EQ(rows[2]->DelayEdit()->GetClass().toStdString(), "Edit");
}

TEST_F(ProgramSkinRows, EditRowEvents) {
  auto* list = window->Find<ui::CListUI>("rows");
  list->SetMultiSelect(true);
  auto* a = new controls::CComboEditContainerElementUI;  // owned by the list
  auto* b = new controls::CComboEditContainerElementUI;
  list->Add(a);
  list->Add(b);
  a->SetName(QStringLiteral("a"));
  b->SetName(QStringLiteral("b"));
  window->PaintManager().UpdateLayout();

  auto event = [](ui::CControlUI* target, int type, uint16_t keys = 0, int key = 0) {
    ui::TEventUI e;
    e.Type = type;
    e.pSender = target;
    e.ptMouse = target->GetPos().center();
    e.wKeyState = keys;
    e.chKey = key;
    e.wParam = 7;
    e.lParam = 9;
    target->DoEvent(e);
  };
  window->notes.clear();
  event(a, ui::UIEVENT_BUTTONDOWN);
  EXPECT_TRUE(a->IsSelected());
  event(b, ui::UIEVENT_BUTTONDOWN, ui::MK_CONTROL);
  EXPECT_TRUE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  event(b, ui::UIEVENT_BUTTONDOWN, ui::MK_CONTROL);
  EXPECT_FALSE(b->IsSelected());
  window->notes.clear();
  event(a, ui::UIEVENT_BUTTONUP);
  event(a, ui::UIEVENT_KEYDOWN, 0, Qt::Key_Return);
  event(a, ui::UIEVENT_DBLCLICK);
  event(a, ui::UIEVENT_TIMER);
  event(a, ui::UIEVENT_CONTEXTMENU);  // not in use: goes to the list
  a->SetContextMenuUsed(true);
  event(a, ui::UIEVENT_CONTEXTMENU);
  std::vector<std::pair<std::string, std::string>> expected{
      {"itemclick", "a"}, {"itemactivate", "a"}, {"return", "a"}, {"itemactivate", "a"},
      {"timer", "a"},     {"menu", "a"}};
  EXPECT_EQ(window->Pairs(), expected);
  for (const auto& n : window->ControlNotes())
    if (n.type == "timer" || n.type == "menu") {
      EXPECT_EQ(n.wParam, 7u);
      EXPECT_EQ(n.lParam, 9);
    }
  // Disabled rows neither select nor notify.
  b->SetEnabled(false);
  window->notes.clear();
  event(b, ui::UIEVENT_BUTTONDOWN);
  event(b, ui::UIEVENT_BUTTONUP);
  EXPECT_FALSE(b->IsSelected());
  EXPECT_TRUE(window->Pairs().empty());
}

TEST_F(ProgramSkinRows, EditRowIgnoresItsImageAttributesByExactName) {
  controls::CComboEditContainerElementUI row;
  row.SetAttribute(QStringLiteral("normalimage"), QStringLiteral("x.png"));
  EXPECT_FALSE(row.TakeUnknownAttribute());
  row.SetAttribute(QStringLiteral("NormalImage"), QStringLiteral("x.png"));
  EXPECT_TRUE(row.TakeUnknownAttribute()) << "a name with case is not one of the three";
  row.SetAttribute(QStringLiteral("inset"), QStringLiteral("1,2,3,4"));
  EXPECT_FALSE(row.TakeUnknownAttribute());
}

TEST_F(ProgramSkinRows, UpdateRowStatuses) {
  ui::CDialogBuilder builder;
  auto* row = qobject_cast<controls::CUpdateInfoListItemUI*>(
      builder.Create(QString::fromLatin1(controls::kUpdateItemLayout), {}, nullptr, &window->PaintManager()));
  ASSERT_NE(row, nullptr);
  auto* list = window->Find<ui::CListUI>("rows");
  list->Add(row);
  auto* check = window->PaintManager().FindSubControlByName(row, QStringLiteral("check_name_select"));
  auto* text = qobject_cast<ui::CLabelUI*>(window->PaintManager().FindSubControlByName(row, QStringLiteral("update_status_text")));
  auto* busy = window->PaintManager().FindSubControlByName(row, QStringLiteral("update_status_ing"));
  auto* percent = qobject_cast<ui::CLabelUI*>(window->PaintManager().FindSubControlByName(row, QStringLiteral("update_progress_value")));
  auto* done = window->PaintManager().FindSubControlByName(row, QStringLiteral("update_status_ok"));
  ASSERT_TRUE(check && text && busy && percent && done);
  auto* option = qobject_cast<ui::COptionUI*>(check);
  ASSERT_NE(option, nullptr);

  struct Case {
    int status;
    const char* text;
    bool busy, done, enabled;
    uint32_t color, disabled;
  };
  const Case cases[] = {
      {1, "NeedUpdateText", false, false, true, 0xFF0099FF, 0xFF0078C8},
      {4, "DownloadIngText", true, false, false, 0xFF0099FF, 0xFF0078C8},
      {5, "DownloadOkText", false, true, false, 0xFF0099FF, 0xFF0078C8},
      {0, "LessUpdateText", false, false, false, 0xFFFFFFFF, 0xFF666666},
      {2, "NeedUpdateText", false, false, true, 0xFF0099FF, 0xFF0078C8},
      {3, "DownloadWaitText", false, false, false, 0xFF0099FF, 0xFF0078C8},
      {6, "UpdateIngText", true, false, false, 0xFF0099FF, 0xFF0078C8},
      {7, "UpdateOkText", false, false, false, 0xFFFFFFFF, 0xFF666666},
      {8, "UpdateFailText", false, false, true, 0xFF0099FF, 0xFF0078C8},
  };
  for (const Case& c : cases) {
    row->SetStatus(c.status);
    EXPECT_EQ(row->GetStatus(), c.status);
    EXPECT_EQ(text->GetRawText().toStdString(), c.text) << c.status;
    EXPECT_EQ(busy->IsVisible(), c.busy) << c.status;
    EXPECT_EQ(percent->IsVisible(), c.busy) << c.status;
    EXPECT_EQ(done->IsVisible(), c.done) << c.status;
    EXPECT_EQ(option->IsOwnEnabled(), c.enabled) << c.status;
    EXPECT_EQ(option->GetTextColor(), c.color) << c.status;
    EXPECT_EQ(option->GetDisabledTextColor(), c.disabled) << c.status;
  }
  // Another number is kept and changes nothing on screen.
  row->SetStatus(12);
  EXPECT_EQ(row->GetStatus(), 12);
  EXPECT_EQ(text->GetRawText().toStdString(), "UpdateFailText");

  // The percentage, and its reset whenever the busy indicator changes.
  row->SetStatus(6);
  row->SetProgress(42);
  EXPECT_EQ(percent->GetRawText().toStdString(), "42%");
  row->SetStatus(6);  // the same status: nothing
  EXPECT_EQ(row->Progress(), 42);
  row->SetStatus(4);
  EXPECT_EQ(row->Progress(), 0);
  EXPECT_EQ(percent->GetRawText().toStdString(), "0%");

  row->SetUpdateRev(QStringLiteral("V0126"));
  EXPECT_TRUE(window->PaintManager().FindSubControlByName(row, QStringLiteral("updateRev"))->IsVisible());
  row->SetUpdateRev({});
  EXPECT_FALSE(window->PaintManager().FindSubControlByName(row, QStringLiteral("updateRev"))->IsVisible());
  window->notes.clear();
  row->SetStatus(1);
  row->SetChecked(true);
  EXPECT_TRUE(row->IsChecked());
  EXPECT_EQ(window->Pairs(), (std::vector<std::pair<std::string, std::string>>{{"selectchanged", "check_name_select"}}));
}

}  // namespace
