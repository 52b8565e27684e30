// A light step as the keyboard page draws it: every cap of a full keyboard
// picture (104 keys and 16 strip lights) takes a new colour and level, then
// the picture is drawn once. Arg 1 draws the tinted light overlay, arg 0 the
// bare caps, so the difference is the cost of the tint.
//
//   build/bench/vx27_controls_bench

#include <cstdlib>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "controls/Controls.h"
#include "ui/UILib.h"

namespace {

constexpr int kKeys = 104;
constexpr int kLights = 16;

QString KeyboardLayout() {
  QString x = QStringLiteral(
      "<Window size='1000,360'><SelectPanel name='panel' bkcolor='#FF1E2228'>");
  for (int i = 0; i < kKeys; ++i) {
    const int col = i % 18, row = i / 18;
    x += QStringLiteral("<DeviceKeyButton name='key_%1' text='K%1' resourcetext='false' float='true' "
                        "pos='%2,%3,%4,%5' borderround='8,8' lightimage='glow.svg' keysetimage='mark.svg'/>")
             .arg(i).arg(20 + col * 52).arg(20 + row * 48).arg(20 + col * 52 + 48).arg(20 + row * 48 + 44);
  }
  for (int i = 0; i < kLights; ++i)
    x += QStringLiteral("<DeviceKeyButton name='light_%1' float='true' pos='%2,320,%3,328' "
                        "lightimage='solid.svg' mouse='false'/>")
             .arg(i).arg(20 + i * 58).arg(20 + i * 58 + 54);
  x += QStringLiteral("</SelectPanel></Window>");
  return x;
}

class PageWindow : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("BenchWnd"); }
  QString GetSkinFile() override { return KeyboardLayout(); }
};

void BM_LightStepAndPaint(benchmark::State& state) {
  const bool lit = state.range(0) != 0;
  ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_CONTROLS_BENCH_SKIN));
  auto& factory = ui::CControlFactory::GetInstance();
  factory.RegistControl(QStringLiteral("DeviceKeyButton"), [] { return new controls::CDeviceKeyButtonUI; });
  factory.RegistControl(QStringLiteral("SelectPanel"), [] { return new controls::CSelectPanelUI; });
  PageWindow w;
  if (!w.Create(nullptr, QStringLiteral("bench"))) {
    state.SkipWithError("layout not built");
    return;
  }
  w.PaintManager().UpdateLayout();
  auto* panel = qobject_cast<controls::CSelectPanelUI*>(w.FindControl(QStringLiteral("panel")));
  std::vector<controls::CDeviceKeyButtonUI*> caps;
  for (int i = 0; i < panel->GetCount(); ++i)
    if (auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i))) caps.push_back(cap);
  QImage image(w.GetHWND()->size(), QImage::Format_ARGB32_Premultiplied);
  int phase = 0;
  for (auto _ : state) {
    phase = (phase + 7) % 360;
    for (size_t i = 0; i < caps.size(); ++i) {
      const QColor c = QColor::fromHsv(int((phase + i * 3) % 360), 255, 255);
      caps[i]->SetLightOverlay(c.rgb() & 0xFFFFFFu, int(128 + i % 128), lit);
    }
    QPainter painter(&image);
    w.GetHWND()->render(&painter);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["caps"] = double(caps.size());
}
BENCHMARK(BM_LightStepAndPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
