// Building a page of about 400 controls (the size of the keyboard page) and
// drawing it for the first time.
//
//   build-ui/bench/vx27_ui_bench

#include <cstdlib>

#include <QApplication>
#include <QImage>
#include <QPainter>
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

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
