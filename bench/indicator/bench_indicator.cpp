// Rebuild and paint costs of the segment indicator.
//   QT_QPA_PLATFORM=offscreen bench_indicator
// Medians of nine repetitions; rebuilds should stay well below 1 ms, a
// paint of an unchanged indicator below 0.1 ms.

#include "indicator/LiquidIndicator.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

QWidget* Page()
{
    static QWidget page;
    page.resize(600, 400);
    return &page;
}

TLiquidIndicator* IndT()
{
    auto* ind = new TLiquidIndicator(Page());
    ind->SetSignNumber(5);
    ind->SetIndicatorWidth(209);
    ind->SetIndicatorHeight(49);
    ind->SetNumberForeColor(0x800080);
    ind->SetIndicatorStyle(isThick);
    ind->SetIndicatorstring("23,5");
    ind->Loaded();
    return ind;
}

TLiquidIndicator* DateMatrix()
{
    auto* ind = new TLiquidIndicator(Page());
    ind->SetIndicatorWidth(132);
    ind->SetIndicatorKind(ik5x7matrix);
    ind->SetBackColor(0xD3D3D3);
    ind->SetNumberForeColor(0x800000);
    ind->SetIndicatorstring("25.03.2005");
    ind->Loaded();
    return ind;
}

void BM_RebuildIndT(benchmark::State& state)
{
    TLiquidIndicator* ind = IndT();
    for (auto _ : state) {
        ind->RebuildImage();
        benchmark::DoNotOptimize(ind->Image().constBits());
    }
    delete ind;
}

void BM_RebuildDateMatrix(benchmark::State& state)
{
    TLiquidIndicator* ind = DateMatrix();
    for (auto _ : state) {
        ind->RebuildImage();
        benchmark::DoNotOptimize(ind->Image().constBits());
    }
    delete ind;
}

void BM_RebuildIndTTurnedTransparent(benchmark::State& state)
{
    TLiquidIndicator* ind = IndT();
    ind->SetIndicatorAngle(450);
    ind->SetTransparentMode(tmAll);
    ind->RebuildImage();
    for (auto _ : state) {
        ind->RebuildImage();
        benchmark::DoNotOptimize(ind->Image().constBits());
    }
    delete ind;
}

void PaintUnchanged(benchmark::State& state, TLiquidTransparentMode mode)
{
    TLiquidIndicator* ind = IndT();
    ind->SetTransparentMode(mode);
    ind->RebuildImage();
    QImage screen(ind->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&screen);
        ind->PaintBuffer(p);
    }
    delete ind;
}

void BM_PaintUnchanged(benchmark::State& state) { PaintUnchanged(state, tmNone); }
void BM_PaintUnchangedThroughClip(benchmark::State& state) { PaintUnchanged(state, tmAll); }

} // namespace

BENCHMARK(BM_RebuildIndT)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_RebuildDateMatrix)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_RebuildIndTTurnedTransparent)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintUnchanged)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintUnchangedThroughClip)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
