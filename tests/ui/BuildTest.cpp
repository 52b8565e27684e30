// Building layouts: controls found by name, attributes, styles and
// includes, the builder callback and factory, DPI scaling, and clean
// failures for missing or malformed layouts.

#include "tests/ui/UiTestSupport.h"

namespace {

using uitest::OpenWindow;
using uitest::TestWindow;

class BuildTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::UseTestSkin(); }
};

TEST_F(BuildTest, GalleryControlsAreFoundByNameWithTheirClasses) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  struct Case { const char* name; const char* cls; };
  const Case kCases[] = {
      {"root", "VerticalLayout"},       {"title_bar", "HorizontalLayout"}, {"gallery_tabs", "TabLayout"},
      {"title_label", "Label"},         {"closebtn", "Button"},            {"btn_apply", "Button"},
      {"tab_about", "Option"},          {"chk_ripple", "CheckBox"},        {"radio_500", "Option"},
      {"dpi_slider", "Slider"},         {"progress_bar", "Progress"},      {"edit_number", "Edit"},
      {"light_combo", "Combo"},         {"combo_wave", "ListLabelElement"}, {"macro_list", "List"},
      {"macro_action", "ListContainerElement"}, {"macro_delay", "Edit"},  {"deng_Color_Pallet", "ColorPalette"},
      {"color_option_6", "Button"},     {"logo", "Control"},               {"about_ok", "Button"},
  };
  for (const Case& c : kCases) {
    ui::CControlUI* control = w->Find(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->GetClass().toStdString(), c.cls) << c.name;
    EXPECT_EQ(control->GetManager(), &w->PaintManager()) << c.name;
  }
  EXPECT_EQ(w->Find("no_such_control"), nullptr);
  EXPECT_EQ(w->Find(""), nullptr);

  // Sub-control lookups stay inside the given subtree.
  auto& pm = w->PaintManager();
  EXPECT_EQ(pm.FindSubControlByName(w->Find("column_b"), QStringLiteral("edit_name")), w->Find("edit_name"));
  EXPECT_EQ(pm.FindSubControlByName(w->Find("column_a"), QStringLiteral("edit_name")), nullptr);
  EXPECT_EQ(pm.FindSubControlByName(nullptr, QStringLiteral("edit_name")), nullptr);
}

TEST_F(BuildTest, StylesDefaultsIncludesAndInitialStatesApply) {
  auto w = OpenWindow(QStringLiteral("gallery.xml"));  // by path as well as by index name
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Find("btn_apply")->GetBkColor(), 0xFF3D8BFDu);           // <Style name="primary">
  EXPECT_EQ(w->Find("chk_angle")->GetFixedHeight(), 28);                // <Default name="CheckBox">
  EXPECT_EQ(w->Find("closebtn")->GetFixedWidth(), 32);                  // style + own attributes
  EXPECT_EQ(w->Find<ui::CButtonUI>("closebtn")->GetHotBkColor(), 0xFFE5484Du);
  EXPECT_TRUE(w->Find<ui::COptionUI>("radio_500")->IsSelected());
  EXPECT_FALSE(w->Find("btn_disabled")->IsEnabled());
  EXPECT_EQ(w->Find<ui::CComboUI>("light_combo")->GetCurSel(), 1);     // the item marked selected
  EXPECT_EQ(w->Find<ui::CTabLayoutUI>("gallery_tabs")->GetCurSel(), 0);
  // A control made by code takes a style of the window before it is added.
  auto row = std::make_unique<ui::CButtonUI>();
  row->SetAttribute(QStringLiteral("style"), QStringLiteral("primary"));
  EXPECT_EQ(row->GetBkColor(), 0xFF3D8BFDu);
  // The included layout sits inside the page that includes it.
  ui::CControlUI* included = w->Find("about_row");
  ASSERT_NE(included, nullptr);
  EXPECT_EQ(included->GetParent(), w->Find("page_about"));
  // Layout of a fixed-size child in a column: inside its parent, its own size.
  const QRect apply = w->Find("btn_apply")->GetPos();
  EXPECT_EQ(apply.height(), 34);
  EXPECT_TRUE(w->Find("column_a")->GetPos().contains(apply));
}

// The builder asks the window's callback first, then the factory; a class
// nobody makes is skipped with a trace and does not stop the build.
TEST_F(BuildTest, UnknownClassGoesToCallbackThenFactory) {
  struct Callback : ui::IDialogBuilderCallback {
    std::vector<std::string> asked;
    ui::CControlUI* CreateControl(const QString& cls) override {
      asked.push_back(cls.toStdString());
      if (cls == QLatin1String("Fancy")) {
        auto* label = new ui::CLabelUI;  // handed to the builder, which parents it
        label->SetUserData(QStringLiteral("from callback"));
        return label;
      }
      return nullptr;
    }
  } callback;
  int factoryCalls = 0;
  ui::CControlFactory::GetInstance().RegistControl(QStringLiteral("gadget"), [&] {
    ++factoryCalls;
    auto* button = new ui::CButtonUI;
    button->SetUserData(QStringLiteral("from factory"));
    return button;
  });
  ui::CControlFactory::GetInstance().RegistControl(QStringLiteral("Fancy"), [&] {
    ++factoryCalls;
    return new ui::CButtonUI;
  });

  uitest::TraceLines trace;
  ui::CPaintManagerUI pm;
  ui::CDialogBuilder builder;
  std::unique_ptr<ui::CControlUI> root(builder.Create(
      QStringLiteral("<VerticalLayout name='top'><BUTTON name='b'/><Fancy name='f'/>"
                     "<Gadget name='g'/><Nothing name='n'><Label name='inner'/></Nothing>"
                     "<Label name='after'/></VerticalLayout>"),
      {}, &callback, &pm));
  ASSERT_NE(root, nullptr);
  pm.Init(nullptr);
  auto* top = qobject_cast<ui::CContainerUI*>(root.get());
  ASSERT_NE(top, nullptr);
  auto find = [&](const char* n) { return top->FindSubControl(QString::fromUtf8(n)); };

  EXPECT_EQ(callback.asked, (std::vector<std::string>{"Fancy", "Gadget", "Nothing"}));  // "BUTTON" is built in
  EXPECT_EQ(factoryCalls, 1);                                                           // Gadget only
  ASSERT_NE(find("f"), nullptr);
  EXPECT_EQ(find("f")->GetUserData(), QStringLiteral("from callback"));
  ASSERT_NE(find("g"), nullptr);
  EXPECT_EQ(find("g")->GetUserData(), QStringLiteral("from factory"));
  EXPECT_EQ(find("b")->GetClass(), QStringLiteral("Button"));
  EXPECT_EQ(find("n"), nullptr);
  EXPECT_EQ(find("inner"), nullptr);
  EXPECT_NE(find("after"), nullptr);
  EXPECT_TRUE(trace.Contains("unknown control class \"Nothing\""));
}

TEST_F(BuildTest, MissingOrMalformedLayoutsFailCleanly) {
  struct Case { const char* name; const char* layout; const char* trace; bool built; };
  const Case kCases[] = {
      {"missing file", "no_such_layout.xml", "cannot open no_such_layout.xml", false},
      {"malformed file", "broken.xml", "malformed broken.xml", false},
      {"malformed text", "<Window><VerticalLayout name='x'>", "malformed layout text", false},
      {"window without control", "<Window size='10,10'><Font id='1' name='x'/></Window>", "has no control", false},
      {"only unknown classes", "<Gizmo name='x'/>", "built no control", false},
      // A layout including itself stops at a bounded depth instead of recursing for ever.
      {"include cycle", "include_self.xml", "nested too deep", true},
  };
  for (const Case& c : kCases) {
    uitest::TraceLines trace;
    ui::CPaintManagerUI pm;
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(QString::fromUtf8(c.layout), {}, nullptr, &pm));
    EXPECT_EQ(root != nullptr, c.built) << c.name;
    EXPECT_TRUE(trace.Contains(c.trace)) << c.name;
  }

  // Absurd nesting and sizes are cut short instead of exhausting the stack or
  // overflowing the scaled geometry.
  {
    QString deep;
    for (int i = 0; i < 1000; ++i) deep += QStringLiteral("<VerticalLayout>");
    for (int i = 0; i < 1000; ++i) deep += QStringLiteral("</VerticalLayout>");
    uitest::TraceLines trace;
    ui::CPaintManagerUI pm;
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(deep, {}, nullptr, &pm));
    EXPECT_NE(root, nullptr);
    EXPECT_TRUE(trace.Contains("nested deeper than"));
    pm.SetDPI(144);
    EXPECT_EQ(pm.Scale(2000000000), 1000000);
  }

  // A window whose layout cannot be built is not created.
  uitest::TraceLines trace;
  TestWindow w(QStringLiteral("no_such_layout.xml"));
  EXPECT_FALSE(w.Create(nullptr, QStringLiteral("x")));
  EXPECT_FALSE(w.IsWindow());
  EXPECT_EQ(w.GetHWND(), nullptr);
  EXPECT_EQ(w.ShowModal(), -1);
  EXPECT_TRUE(trace.Contains("cannot build its layout no_such_layout.xml"));
}

TEST_F(BuildTest, Dpi144ScalesEveryGeometryByOneAndAHalf) {
  auto w = OpenWindow(QStringLiteral("XML_GALLERY"));
  ASSERT_NE(w, nullptr);
  auto& pm = w->PaintManager();
  const char* kNames[] = {"title_bar", "nav", "tab_about", "btn_apply", "chk_angle", "dpi_slider",
                          "edit_number", "light_combo", "deng_Color_Pallet", "color_option_3"};
  std::vector<QRect> before;
  for (const char* n : kNames) before.push_back(w->Find(n)->GetPos());
  ASSERT_EQ(w->GetHWND()->size(), QSize(1000, 640));
  const int fontBefore = pm.GetFont(0).pixelSize();

  pm.SetDPI(144);
  EXPECT_EQ(pm.GetDPI(), 144);
  EXPECT_EQ(w->GetHWND()->size(), QSize(1500, 960));
  EXPECT_EQ(pm.GetFont(0).pixelSize(), fontBefore * 3 / 2);
  for (size_t i = 0; i < std::size(kNames); ++i) {
    const QRect a = before[i], b = w->Find(kNames[i])->GetPos();
    // Rounding of shared space may move an edge by a pixel or two.
    EXPECT_NEAR(b.x(), a.x() * 1.5, 2) << kNames[i];
    EXPECT_NEAR(b.y(), a.y() * 1.5, 2) << kNames[i];
    EXPECT_NEAR(b.width(), a.width() * 1.5, 2) << kNames[i];
    EXPECT_NEAR(b.height(), a.height() * 1.5, 2) << kNames[i];
  }
  EXPECT_EQ(w->Find("title_bar")->GetPos().height(), 72);  // fixed 48 exactly

  // SetAllDPI reaches every window; back to 96 restores the layout.
  ui::CPaintManagerUI::SetAllDPI(96);
  EXPECT_EQ(w->GetHWND()->size(), QSize(1000, 640));
  for (size_t i = 0; i < std::size(kNames); ++i) EXPECT_EQ(w->Find(kNames[i])->GetPos(), before[i]) << kNames[i];
}

TEST_F(BuildTest, FontTableByIdSharedAndDefault) {
  ui::CPaintManagerUI a, b;
  a.AddFont(5, QStringLiteral("Liberation Serif"), 20, true, true, false);
  a.AddFont(6, QStringLiteral("Liberation Mono"), 10, false, false, true, /*shared=*/true);
  a.SetDefaultFont(QStringLiteral("Liberation Sans"), 15, false, false, false);
  EXPECT_EQ(a.GetFont(5).pixelSize(), 20);
  EXPECT_TRUE(a.GetFont(5).bold());
  EXPECT_TRUE(a.GetFont(5).underline());
  EXPECT_TRUE(b.GetFont(6).italic());                        // shared: every window has it
  EXPECT_FALSE(b.HasFont(5));                                // per window
  EXPECT_EQ(a.GetFont(99).pixelSize(), 15);                  // unknown id: the default font
  a.RemoveAllFonts();
  EXPECT_FALSE(a.HasFont(5));
  EXPECT_TRUE(a.HasFont(6));
  a.RemoveAllFonts(true);
  EXPECT_FALSE(b.HasFont(6));
}

}  // namespace

// A layout whose minimum exceeds its maximum must still lay out: the maximum
// wins, along either axis.
TEST_F(BuildTest, ConflictingSizeLimitsGiveTheMaximum) {
  struct Case {
    const char* name;
    const char* layout;
    bool vertical;
  };
  const Case kCases[] = {
      {"column", "<VerticalLayout><Label name='c' height='30' minheight='50' maxheight='20'/></VerticalLayout>", true},
      {"row", "<HorizontalLayout><Label name='c' width='30' minwidth='50' maxwidth='20'/></HorizontalLayout>", false},
  };
  for (const Case& c : kCases) {
    ui::CPaintManagerUI pm;
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(QString::fromUtf8(c.layout), {}, nullptr, &pm));
    ASSERT_NE(root, nullptr) << c.name;
    pm.Init(nullptr);
    auto* box = qobject_cast<ui::CContainerUI*>(root.get());
    ASSERT_NE(box, nullptr) << c.name;
    box->SetPos(QRect(0, 0, 200, 200));
    box->LayoutNow();
    const QRect pos = box->FindSubControl(QStringLiteral("c"))->GetPos();
    EXPECT_EQ(c.vertical ? pos.height() : pos.width(), 20) << c.name;
  }
}
