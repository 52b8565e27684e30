// Recording speed and the macro image: a captured key becomes a row of the
// editor (its list row built) while the macro holds 59 rows; the device's
// macro image of 50 macros of 60 actions is built from their files' actions.

#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>

#include "macros/MacroEvent.h"
#include "macros/MacroRecorder.h"
#include "macros/editor/CMacroControlUI.h"
#include "protocol/EventImage.h"
#include "ui/UILib.h"

namespace {

Json::Value Action(int i) {
  Json::Value a;
  a["Type"] = 10;
  a["Action"] = i % 2 ? "up" : "down";
  a["Button"] = 4 + i % 26;
  a["Delay"] = std::to_string(i * 13);
  return a;
}

class PanelWindow : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("MacroBench"); }
  QString GetSkinFile() override { return QStringLiteral("XML\\CustomControlXML\\MacroControl.xml"); }
};

// The panel, built once for every run of the benchmark.
macros::editor::CMacroControlUI& Panel() {
  static std::unique_ptr<PanelWindow> window = [] {
    ui::CControlFactory& f = ui::CControlFactory::GetInstance();
    f.RegistControl(QStringLiteral("CMacroControlUI"), [] { return new macros::editor::CMacroControlUI; });
    f.RegistControl(QStringLiteral("RedioMacroButton"), [] { return new macros::editor::CRedioMacroButtonUI; });
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_SKIN_DIR));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml"));
    ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml"));
    auto w = std::make_unique<PanelWindow>();
    w->Create(nullptr, QStringLiteral("bench"), 0, 0);
    w->ResizeClient(460, 480);
    return w;
  }();
  return *qobject_cast<macros::editor::CMacroControlUI*>(window->PaintManager().GetRoot());
}

// One key press recorded into the editor (row model and list row) at 59 rows.
void BM_KeyEventToRow(benchmark::State& state) {
  macros::editor::CMacroControlUI& editor = Panel();
  std::vector<Json::Value> rows;
  for (int i = 0; i < 59; ++i) rows.push_back(Action(i));
  uint32_t now = 0;
  editor.Recorder().SetClock([&now] { return now; });
  editor.StartTiming(macros::kRecordTime);
  const macros::KeyboardHookRecord key = macros::Encode(macros::KeyboardHookData{0x41, 0x1E, 0, 0});
  for (auto _ : state) {
    state.PauseTiming();
    editor.Rows().Reset(rows);
    QApplication::processEvents();
    state.ResumeTiming();
    now += 40;
    editor.OnKeyboardEvent(macros::Placement::Append, 0x0100, macros::RecordParam(key));
    benchmark::DoNotOptimize(editor.Rows().Count());
    state.PauseTiming();
    editor.OnKeyboardEvent(macros::Placement::Append, 0x0101, macros::RecordParam(key));
    state.ResumeTiming();
  }
  editor.Recorder().SetClock([] { return 0u; });
}
// Rebuilding the 59 rows between iterations is untimed but slow: a short minimum time.
BENCHMARK(BM_KeyEventToRow)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// 50 macros × 60 actions: packed from their JSON actions, then the image.
void BM_MacroImage50x60(benchmark::State& state) {
  std::vector<std::vector<Json::Value>> macros(50);
  for (auto& m : macros)
    for (int i = 0; i < 60; ++i) m.push_back(Action(i));
  for (auto _ : state) {
    std::vector<std::vector<protocol::PackedMacroEvent>> entries(macros.size());
    for (size_t m = 0; m < macros.size(); ++m)
      for (const Json::Value& a : macros[m]) {
        const macros::MacroEvent e = macros::EventFromJson(a);
        entries[m].push_back(protocol::PackEvent(e.delay, e.type, e.action, e.button));
      }
    benchmark::DoNotOptimize(protocol::BuildEventImage(entries));
  }
}
BENCHMARK(BM_MacroImage50x60)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
