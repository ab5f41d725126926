// Rendering a panel's image: the frame drawn three times as large and its
// edges shrunk back. It runs on every resize and colour change, so it must
// stay well below a frame (target: 5 ms for the default 185 x 105 panel).
#include "rbcontrols/RbPanel.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void RebuildPanel(benchmark::State& state, TRbCaptionPos pos, bool antialiased)
{
    TRbPanel panel;
    panel.resize(185, 105);
    panel.SetCaption(QStringLiteral("Тип датчика"));
    panel.SetCaptionPosition(pos);
    panel.SetAntialiased(antialiased);
    for (auto _ : state) {
        panel.RebuildLayers();
        benchmark::DoNotOptimize(panel.PanelImage().constBits());
    }
}

void BM_PanelRebuild185x105Antialiased(benchmark::State& state) { RebuildPanel(state, cpTopLeft, true); }
void BM_PanelRebuild185x105GroupBox(benchmark::State& state) { RebuildPanel(state, cpGroupBox, true); }
void BM_PanelRebuild185x105Plain(benchmark::State& state) { RebuildPanel(state, cpTopLeft, false); }

// A full paint from the cached image, caption included.
void BM_PanelPaint185x105(benchmark::State& state)
{
    TRbPanel panel;
    panel.resize(185, 105);
    panel.SetCaption(QStringLiteral("Тип датчика"));
    panel.RebuildLayers();
    for (auto _ : state) {
        QImage frame = panel.RenderBuffer();
        benchmark::DoNotOptimize(frame.constBits());
    }
}

} // namespace

BENCHMARK(BM_PanelRebuild185x105Antialiased)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelRebuild185x105GroupBox)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelRebuild185x105Plain)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelPaint185x105)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
