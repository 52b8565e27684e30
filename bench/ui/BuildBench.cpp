// Building a page of about 400 controls (the size of the keyboard page) and
// drawing it for the first time; a main window of four device pages with
// 900 controls in all, built and drawn, and a language switch on it.
//
//   build/bench/vx27_ui_bench

#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "ui/UILib.h"

namespace {

// A keyboard-page-sized layout: a title bar, a column of options, a panel of
// 300 key caps placed by position, a settings column of labelled sliders and
// edits, and a combo.
QString KeyboardSizedLayout(int* controls) {
  int n = 0;
  QString x = QStringLiteral("<Window size='1000,640'><VerticalLayout name='root'>");
  x += QStringLiteral("<HorizontalLayout height='40' childpadding='4'>");
  for (int i = 0; i < 5; ++i, ++n) x += QStringLiteral("<Button name='title_%1' text='title_%1' width='32'/>").arg(i);
  x += QStringLiteral("</HorizontalLayout><HorizontalLayout childpadding='8'><VerticalLayout width='150'>");
  n += 3;
  for (int i = 0; i < 20; ++i, ++n)
    x += QStringLiteral("<Option name='nav_%1' text='nav_%1' group='nav' height='24'/>").arg(i);
  x += QStringLiteral("</VerticalLayout><Container name='keys'>");
  n += 2;
  for (int i = 0; i < 300; ++i, ++n)
    x += QStringLiteral("<Button name='key_%1' text='K%1' float='true' pos='%2,%3,%4,%5' resourcetext='false'/>")
             .arg(i).arg((i % 20) * 30).arg((i / 20) * 30).arg((i % 20) * 30 + 28).arg((i / 20) * 30 + 28);
  x += QStringLiteral("</Container><VerticalLayout width='220' childpadding='2'>");
  n += 1;
  for (int i = 0; i < 20; ++i, n += 4)
    x += QStringLiteral("<HorizontalLayout height='22'><Label text='setting_%1' width='80'/>"
                        "<Slider name='slider_%1' max='4'/><Edit name='edit_%1' width='40' text='%1'/></HorizontalLayout>").arg(i);
  x += QStringLiteral("<Combo name='mode' height='26'>");
  n += 1;
  for (int i = 0; i < 10; ++i, ++n) x += QStringLiteral("<ListLabelElement text='mode_%1'/>").arg(i);
  x += QStringLiteral("</Combo></VerticalLayout></HorizontalLayout></VerticalLayout></Window>");
  if (controls) *controls = n;
  return x;
}

class PageWindow : public ui::WindowImplBase {
 public:
  explicit PageWindow(QString layout) : layout_(std::move(layout)) {}
  QString GetWindowClassName() const override { return QStringLiteral("BenchWnd"); }
  QString GetSkinFile() override { return layout_; }

 private:
  QString layout_;
};

void BM_BuildLayout(benchmark::State& state) {
  int controls = 0;
  const QString layout = KeyboardSizedLayout(&controls);
  for (auto _ : state) {
    ui::CPaintManagerUI pm;
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(layout, {}, nullptr, &pm));
    benchmark::DoNotOptimize(root.get());
  }
  state.counters["controls"] = controls;
}
BENCHMARK(BM_BuildLayout)->Unit(benchmark::kMillisecond);

// A window: build, attach, lay out and draw the whole window once.
void BM_BuildAndFirstPaint(benchmark::State& state) {
  const QString layout = KeyboardSizedLayout(nullptr);
  for (auto _ : state) {
    PageWindow w(layout);
    if (!w.Create(nullptr, QStringLiteral("bench"))) {
      state.SkipWithError("layout not built");
      break;
    }
    QImage image(w.GetHWND()->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    w.GetHWND()->render(&painter);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_BuildAndFirstPaint)->Unit(benchmark::kMillisecond);

// Finding a control by name in that page (pages look controls up once, on
// first use).
void BM_FindControlByName(benchmark::State& state) {
  PageWindow w(KeyboardSizedLayout(nullptr));
  if (!w.Create(nullptr, QStringLiteral("bench"))) {
    state.SkipWithError("layout not built");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(w.FindControl(QStringLiteral("mode")));
}
BENCHMARK(BM_FindControlByName)->Unit(benchmark::kMicrosecond);

// A main window with a bar of four page buttons and four device pages in a
// tab layout; each page: a column of 20 options, 150 image key caps placed
// by position and 30 labelled sliders and texts, every text a text id.
// 900 controls in all.
constexpr int kPages = 4;
constexpr int kTexts = 260;  // text ids used per page

QString FourPageLayout(int* controls) {
  int n = 0;
  QString x = QStringLiteral("<Window size='1000,640'><VerticalLayout name='root'>"
                             "<HorizontalLayout name='device_bar' height='40' childpadding='4'>");
  n += 2;
  for (int p = 0; p < kPages; ++p, ++n)
    x += QStringLiteral("<Option name='bar_%1' text='text_%1' group='bar' width='120' bindtabindex='%1' "
                        "bindtablayoutname='device_switch'/>").arg(p);
  x += QStringLiteral("</HorizontalLayout><TabLayout name='device_switch'>");
  n += 1;
  for (int p = 0; p < kPages; ++p) {
    x += QStringLiteral("<HorizontalLayout name='page_%1' pageroot='true' childpadding='8'><VerticalLayout width='150'>").arg(p);
    n += 2;
    for (int i = 0; i < 20; ++i, ++n)
      x += QStringLiteral("<Option name='nav_%1' text='text_%2' group='nav' height='24' "
                          "normalimage='file=\"key.png\"' selectedimage='file=\"key_sel.png\"'/>")
               .arg(i).arg(10 + i);
    x += QStringLiteral("</VerticalLayout><Container name='keys'>");
    n += 1;
    for (int i = 0; i < 150; ++i, ++n)
      x += QStringLiteral("<Button name='key_%1' text='text_%2' float='true' pos='%3,%4,%5,%6' "
                          "normalimage='file=\"key.png\"' hotimage='file=\"key_hot.png\"'/>")
               .arg(i).arg(40 + i).arg((i % 15) * 34).arg((i / 15) * 34).arg((i % 15) * 34 + 32).arg((i / 15) * 34 + 32);
    x += QStringLiteral("</Container><VerticalLayout width='220' childpadding='2'>");
    n += 1;
    for (int i = 0; i < 18; ++i, n += 3)
      x += QStringLiteral("<HorizontalLayout height='22'><Label text='text_%1' width='120' autocalcwidth='true'/>"
                          "<Slider name='slider_%2' max='4'/></HorizontalLayout>").arg(200 + i).arg(i);
    for (int i = 0; i < 3; ++i, ++n) x += QStringLiteral("<Label text='text_%1' height='20'/>").arg(230 + i);
    x += QStringLiteral("</VerticalLayout></HorizontalLayout>");
  }
  x += QStringLiteral("</TabLayout></VerticalLayout></Window>");
  if (controls) *controls = n;
  return x;
}

// A skin folder with the key images and an English and a Chinese language
// file for the four-page window.
class BenchSkin {
 public:
  BenchSkin() {
    QImage key(32, 32, QImage::Format_ARGB32);
    for (const char* name : {"key.png", "key_hot.png", "key_sel.png"}) {
      key.fill(QColor(40, 44, 52));
      key.save(dir_.filePath(QString::fromLatin1(name)));
    }
    WriteLanguage("lan_en.xml", QStringLiteral("Setting %1"));
    WriteLanguage("lan_cn.xml", QStringLiteral("设置项目 %1"));
    ui::CPaintManagerUI::SetResourcePath(dir_.path());
  }

 private:
  void WriteLanguage(const char* name, const QString& pattern) {
    QFile f(dir_.filePath(QString::fromLatin1(name)));
    if (!f.open(QIODevice::WriteOnly)) return;
    QString xml = QStringLiteral("<?xml version='1.0' encoding='utf-8'?><Language>");
    for (int i = 0; i < kTexts; ++i)
      xml += QStringLiteral("<Text id='text_%1' value='%2'/>").arg(i).arg(pattern.arg(i));
    xml += QStringLiteral("</Language>");
    f.write(xml.toUtf8());
  }
  QTemporaryDir dir_;
};

void Paint(QWidget* window) {
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  window->render(&painter);
  painter.end();
  benchmark::DoNotOptimize(image.constBits());
}

// Build, attach, lay out and draw the four-page window once.
void BM_FourPagesBuildAndFirstPaint(benchmark::State& state) {
  BenchSkin skin;
  ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
  int controls = 0;
  const QString layout = FourPageLayout(&controls);
  for (auto _ : state) {
    PageWindow w(layout);
    if (!w.Create(nullptr, QStringLiteral("bench"))) {
      state.SkipWithError("layout not built");
      break;
    }
    Paint(w.GetHWND());
  }
  state.counters["controls"] = controls;
}
BENCHMARK(BM_FourPagesBuildAndFirstPaint)->Unit(benchmark::kMillisecond);

// Switch the four-page window between English and Chinese: read the
// language file, re-read every text, lay out again and draw.
void BM_FourPagesLanguageSwitch(benchmark::State& state) {
  BenchSkin skin;
  ui::CResourceManager& res = ui::CResourceManager::GetInstance();
  res.LoadLanguage(QStringLiteral("lan_en.xml"));
  PageWindow w(FourPageLayout(nullptr));
  if (!w.Create(nullptr, QStringLiteral("bench"))) {
    state.SkipWithError("layout not built");
    return;
  }
  Paint(w.GetHWND());
  bool chinese = false;
  for (auto _ : state) {
    chinese = !chinese;
    res.LoadLanguage(chinese ? QStringLiteral("lan_cn.xml") : QStringLiteral("lan_en.xml"));
    res.ReloadText();
    w.PaintManager().UpdateLayout();
    Paint(w.GetHWND());
  }
}
BENCHMARK(BM_FourPagesLanguageSwitch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
