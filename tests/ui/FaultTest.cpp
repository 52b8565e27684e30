// Faults a reviewer found in the layer, each pinned by the case that showed
// it: initial tab selection, selection kept across inserts, timers armed and
// killed from workers, a sender freed inside its own notification, layout
// maths, per-side borders, and lifetimes of menus, children and windows.

#include <algorithm>
#include <set>
#include <thread>

#include <QEventLoop>
#include <QFontMetrics>
#include <QImage>
#include <QTimer>

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::Click;
using uitest::OpenWindow;
using uitest::TestWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::UseTestSkin(); }
  void TearDown() override { ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")); }
  // A window from layout text: `body` is the root control.
  static std::unique_ptr<TestWindow> Open(const QString& body, QSize size = {300, 300}) {
    auto w = OpenWindow(QStringLiteral("<Window size=\"%1,%2\">%3</Window>").arg(size.width()).arg(size.height()).arg(body));
    if (w) w->notes.clear();
    return w;
  }
};

TEST_F(FaultTest, TabLayoutShowsThePageItsSelectedIdNames) {
  auto w = Open(QStringLiteral("<TabLayout name=\"tabs\" selectedid=\"2\"><Control name=\"p0\"/><Control name=\"p1\"/>"
                               "<Control name=\"p2\"/><Control name=\"p3\"/></TabLayout>"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Find<ui::CTabLayoutUI>("tabs")->GetCurSel(), 2);
  EXPECT_TRUE(w->Find("p2")->isVisible());
  EXPECT_FALSE(w->Find("p0")->isVisible());
}

// Inserting at the selected index keeps the selection on the selected item.
TEST_F(FaultTest, SelectionFollowsTheSelectedItemWhenAnItemIsInsertedBeforeIt) {
  auto w = Open(QStringLiteral(
      "<VerticalLayout>"
      "<TabLayout name=\"tabs\" height=\"40\"><Label name=\"t0\" text=\"a\"/><Label name=\"t1\" text=\"b\"/>"
      "<Label name=\"t2\" text=\"c\"/></TabLayout>"
      "<List name=\"list\" height=\"120\"><ListLabelElement text=\"a\"/><ListLabelElement text=\"b\"/>"
      "<ListLabelElement text=\"c\"/></List>"
      "<Combo name=\"combo\" height=\"30\"><ListLabelElement text=\"a\"/><ListLabelElement text=\"b\"/>"
      "<ListLabelElement text=\"c\"/></Combo>"
      "</VerticalLayout>"));
  ASSERT_NE(w, nullptr);
  struct Case {
    const char* name;
    std::function<bool(int)> select;
    std::function<int()> current;
    ui::CContainerUI* box;
  };
  auto* tabs = w->Find<ui::CTabLayoutUI>("tabs");
  auto* list = w->Find<ui::CListUI>("list");
  auto* combo = w->Find<ui::CComboUI>("combo");
  const Case cases[] = {
      {"tab", [&](int i) { return tabs->SelectItem(i); }, [&] { return tabs->GetCurSel(); }, tabs},
      {"list", [&](int i) { return list->SelectItem(i); }, [&] { return list->GetCurSel(); }, list},
      {"combo", [&](int i) { return combo->SelectItem(i); }, [&] { return combo->GetCurSel(); }, combo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.select(1));
    ui::CControlUI* b = c.box->GetItemAt(1);
    auto* added = c.name == std::string("tab") ? static_cast<ui::CControlUI*>(new ui::CLabelUI)
                                               : static_cast<ui::CControlUI*>(new ui::CListLabelElementUI);
    added->SetText(QStringLiteral("new"));
    ASSERT_TRUE(c.box->AddAt(added, 1));
    EXPECT_EQ(c.current(), 2);
    EXPECT_EQ(c.box->GetItemAt(c.current()), b);
    // Inserting after the selection leaves its index alone.
    auto* last = c.name == std::string("tab") ? static_cast<ui::CControlUI*>(new ui::CLabelUI)
                                              : static_cast<ui::CControlUI*>(new ui::CListLabelElementUI);
    ASSERT_TRUE(c.box->AddAt(last, 3));
    EXPECT_EQ(c.current(), 2);
  }
  EXPECT_TRUE(tabs->GetItemAt(2)->IsInternVisible());
  EXPECT_FALSE(tabs->GetItemAt(1)->IsInternVisible());
  EXPECT_EQ(combo->GetText(), QStringLiteral("b"));
  auto* listB = dynamic_cast<ui::IListItemUI*>(list->GetItemAt(2));
  auto* listNew = dynamic_cast<ui::IListItemUI*>(list->GetItemAt(1));
  EXPECT_TRUE(listB->IsSelected());
  EXPECT_FALSE(listNew->IsSelected());
}

// A worker's SetTimer then KillTimer leaves no timer running: the calls
// reach the UI thread in the order they were made.
TEST_F(FaultTest, TimerCallsFromAWorkerArriveInOrder) {
  auto w = Open(QStringLiteral("<VerticalLayout><Control name=\"ticker\"/><Control name=\"keeper\"/></VerticalLayout>"));
  ASSERT_NE(w, nullptr);
  ui::CPaintManagerUI& pm = w->PaintManager();
  ui::CControlUI* ticker = w->Find("ticker");
  ui::CControlUI* keeper = w->Find("keeper");
  std::thread worker([&] {
    pm.SetTimer(ticker, 7, 5);
    pm.KillTimer(ticker, 7);
    pm.SetTimer(keeper, 8, 5);
    pm.KillTimer(keeper, 8);
    pm.SetTimer(keeper, 8, 5);
  });
  worker.join();
  // Bounded: ends as soon as the kept timer has ticked three times.
  int kept = 0, killed = 0;
  uitest::WaitFor([&] {
    kept = killed = 0;
    for (const auto& n : w->notes) {
      if (n.type == "timer" && n.sender == "keeper") ++kept;
      if (n.type == "timer" && n.sender == "ticker") ++killed;
    }
    return kept >= 3;
  });
  EXPECT_GE(kept, 3);
  EXPECT_EQ(killed, 0);
  EXPECT_FALSE(ticker->IsTimerArmed(7));
  EXPECT_TRUE(keeper->IsTimerArmed(8));
}

// A click handler opens a nested loop (as a message box does) in which the
// clicked option is removed and destroyed: nothing may reach the freed
// sender afterwards.
TEST_F(FaultTest, AControlFreedDuringItsOwnClickIsNotUsedAfterwards) {
  class Window : public TestWindow {
   public:
    using TestWindow::TestWindow;
    void Notify(ui::TNotifyUI& msg) override {
      if (freed.count(msg.pSender)) {
        ++toFreed;
        return;
      }
      TestWindow::Notify(msg);
      if (msg.sType != "click") return;
      ui::CControlUI* sender = msg.pSender;
      QObject::connect(sender, &QObject::destroyed, [this, sender] { freed.insert(sender); });
      QEventLoop box;
      QTimer::singleShot(0, [&] {
        auto* row = qobject_cast<ui::CContainerUI*>(sender->GetParent());
        row->Remove(sender);
        QTimer::singleShot(0, &box, [&] { box.quit(); });
      });
      box.exec();
    }
    std::set<const void*> freed;
    int toFreed = 0;
  };
  Window w(QStringLiteral("<Window size=\"300,100\"><HorizontalLayout name=\"row\">"
                          "<Option name=\"opt\" group=\"g\" bindtabindex=\"1\" bindtablayoutname=\"tabs\"/>"
                          "<Button name=\"btn\" bindtabindex=\"1\" bindtablayoutname=\"tabs\"/>"
                          "<TabLayout name=\"tabs\"><Control/><Control/></TabLayout>"
                          "</HorizontalLayout></Window>"));
  ASSERT_TRUE(w.Create(nullptr, QStringLiteral("freed")));
  w.ShowWindow(true, true);
  w.PaintManager().UpdateLayout();
  uitest::Pump();
  w.notes.clear();
  for (const char* name : {"opt", "btn"}) {
    QPointer<ui::CControlUI> c = w.Find(name);
    ASSERT_TRUE(c);
    Click(c);
    EXPECT_TRUE(c.isNull()) << name;
  }
  EXPECT_EQ(w.Pairs(), (Pairs{{"click", "opt"}, {"click", "btn"}}));
  EXPECT_EQ(w.toFreed, 0);
  // The freed controls' tab bindings did not run.
  EXPECT_EQ(w.Find<ui::CTabLayoutUI>("tabs")->GetCurSel(), 0);
}

struct LayoutCase {
  const char* name;
  const char* body;  // root control of a 300 x 300 window
  const char* child;
  QRect expected;
};

TEST_F(FaultTest, LayoutMathsHonoursMaximaAndAlignment) {
  const LayoutCase cases[] = {
      {"maxwidth caps a sharing child, the rest goes to the others",
       "<HorizontalLayout><Control name=\"a\" maxwidth=\"50\"/><Control name=\"b\"/></HorizontalLayout>", "b",
       QRect(50, 0, 250, 300)},
      {"maxwidth itself", "<HorizontalLayout><Control name=\"a\" maxwidth=\"50\"/><Control name=\"b\"/></HorizontalLayout>",
       "a", QRect(0, 0, 50, 300)},
      {"maxheight caps a sharing child",
       "<VerticalLayout><Control name=\"a\"/><Control name=\"b\" maxheight=\"40\"/></VerticalLayout>", "a",
       QRect(0, 0, 300, 260)},
      {"minwidth of a sharing child",
       "<HorizontalLayout><Control name=\"a\" minwidth=\"200\"/><Control name=\"b\"/></HorizontalLayout>", "b",
       QRect(200, 0, 100, 300)},
      {"childalign center in a row",
       "<HorizontalLayout childalign=\"center\"><Control name=\"a\" width=\"60\"/><Control width=\"40\"/></HorizontalLayout>",
       "a", QRect(100, 0, 60, 300)},
      {"childalign right in a row",
       "<HorizontalLayout childalign=\"right\"><Control width=\"60\"/><Control name=\"b\" width=\"40\"/></HorizontalLayout>",
       "b", QRect(260, 0, 40, 300)},
      {"childvalign vcenter in a column",
       "<VerticalLayout childvalign=\"vcenter\"><Control name=\"a\" height=\"60\"/><Control height=\"40\"/></VerticalLayout>",
       "a", QRect(0, 100, 300, 60)},
      {"childvalign bottom in a column",
       "<VerticalLayout childvalign=\"bottom\"><Control height=\"60\"/><Control name=\"b\" height=\"40\"/></VerticalLayout>",
       "b", QRect(0, 260, 300, 40)},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto w = Open(QString::fromUtf8(c.body));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Find(c.child)->GetPos(), c.expected);
  }
}

TEST_F(FaultTest, BorderSizeTakesOneWidthPerSide) {
  auto w = Open(QStringLiteral("<Control name=\"box\" bkcolor=\"#FF000000\" bordercolor=\"#FFFF0000\" "
                               "bordersize=\"0,0,0,3\"/>"),
                {100, 100});
  ASSERT_NE(w, nullptr);
  const QImage image = w->GetHWND()->grab().toImage();
  const QColor red(255, 0, 0);
  EXPECT_EQ(image.pixelColor(50, 98), red);   // bottom edge
  EXPECT_NE(image.pixelColor(50, 1), red);    // no top edge
  EXPECT_NE(image.pixelColor(1, 50), red);    // no left edge
  EXPECT_NE(image.pixelColor(98, 50), red);   // no right edge
  // One number still gives every side.
  w->Find("box")->SetAttribute(QStringLiteral("bordersize"), QStringLiteral("3"));
  const QImage all = w->GetHWND()->grab().toImage();
  EXPECT_EQ(all.pixelColor(50, 1), red);
  EXPECT_EQ(all.pixelColor(1, 50), red);
}

TEST_F(FaultTest, ALanguageSwitchLaysOutLabelsThatSizeToTheirText) {
  auto w = Open(QStringLiteral("<HorizontalLayout><Label name=\"auto\" text=\"mode_breath\" autocalcwidth=\"true\"/>"
                               "<Control name=\"rest\"/></HorizontalLayout>"),
                {400, 40});
  ASSERT_NE(w, nullptr);
  auto* label = w->Find<ui::CLabelUI>("auto");
  const int english = label->width();
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_cn.xml")));
  ui::CResourceManager::GetInstance().ReloadText();
  uitest::Pump();
  const int chinese = QFontMetrics(w->PaintManager().GetDefaultFont()).horizontalAdvance(QStringLiteral("呼吸"));
  EXPECT_LT(label->width(), english);
  EXPECT_GE(label->width(), chinese);
  EXPECT_LE(label->width(), chinese + 4);
  EXPECT_EQ(w->Find("rest")->GetPos().left(), label->GetPos().right() + 1);
}

// Opening a new menu retires the old one: its controls keep a live manager
// until they are gone.
TEST_F(FaultTest, ANewMenuLeavesTheOldMenusControlsWithALiveManager) {
  ui::CMenuWnd menu;
  ASSERT_TRUE(menu.Init(static_cast<platform::MessageTarget*>(nullptr), QStringLiteral("XML_MENU"), QPoint(10, 10)));
  QPointer<ui::CControlUI> old = menu.GetManager()->FindControl(QStringLiteral("about_menu"));
  ASSERT_TRUE(old);
  ASSERT_TRUE(menu.Init(static_cast<platform::MessageTarget*>(nullptr), QStringLiteral("XML_MENU"), QPoint(20, 20)));
  if (old) {
    const auto& managers = ui::CPaintManagerUI::GetManagers();
    EXPECT_NE(std::find(managers.begin(), managers.end(), old->GetManager()), managers.end());
    old->Invalidate();
    old->ReloadText();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(old.isNull());
}

TEST_F(FaultTest, AChildDeletedDirectlyLeavesItsContainer) {
  auto w = Open(QStringLiteral("<VerticalLayout name=\"box\"><Control name=\"a\" height=\"20\"/>"
                               "<Control name=\"b\" height=\"20\"/><Control name=\"c\" height=\"20\"/></VerticalLayout>"));
  ASSERT_NE(w, nullptr);
  auto* box = w->Find<ui::CContainerUI>("box");
  delete w->Find("b");
  EXPECT_EQ(box->GetCount(), 2);
  EXPECT_EQ(box->GetItemAt(1), w->Find("c"));
  EXPECT_EQ(w->Find("b"), nullptr);
  box->LayoutNow();
  EXPECT_EQ(w->Find("c")->GetPos().top(), 20);
}

// The window's teardown: a derived window's destructor runs while its
// controls and manager exist (so it stops its page threads first), then the
// control tree goes while the manager still exists, then the manager.
TEST_F(FaultTest, AWindowTearsDownItsTreeBeforeItsManager) {
  struct Seen {
    bool treeInDerivedDtor = false;
    bool managerInControlDtor = false;
    int notesAfterDerivedDtor = 0;
  } seen;
  class Probe : public ui::CControlUI {
   public:
    explicit Probe(Seen* s) : seen_(s) {}
    ~Probe() override {
      const auto& all = ui::CPaintManagerUI::GetManagers();
      seen_->managerInControlDtor = std::find(all.begin(), all.end(), GetManager()) != all.end();
      if (seen_->managerInControlDtor) GetManager()->SendNotify(this, QStringLiteral("dying"));
    }
    Seen* seen_;
  };
  class Window : public TestWindow {
   public:
    Window(Seen* s) : TestWindow(QStringLiteral("<Window size=\"100,100\"><VerticalLayout><Probe name=\"probe\"/>"
                                                 "</VerticalLayout></Window>")), seen_(s) {}
    ~Window() override { seen_->treeInDerivedDtor = Find("probe") != nullptr; }
    ui::CControlUI* CreateControl(const QString& name) override {
      return name == QLatin1String("Probe") ? new Probe(seen_) : nullptr;
    }
    void Notify(ui::TNotifyUI& msg) override { seen_->notesAfterDerivedDtor++; TestWindow::Notify(msg); }
    Seen* seen_;
  };
  {
    Window w(&seen);
    ASSERT_TRUE(w.Create(nullptr, QStringLiteral("teardown")));
    ASSERT_NE(w.Find("probe"), nullptr);
    uitest::Pump();
    seen.notesAfterDerivedDtor = 0;
  }
  EXPECT_TRUE(seen.treeInDerivedDtor);
  EXPECT_TRUE(seen.managerInControlDtor);
  EXPECT_EQ(seen.notesAfterDerivedDtor, 0);
}

}  // namespace
