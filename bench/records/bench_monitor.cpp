// What the exchange monitor adds to each frame on the link.
//   QT_QPA_PLATFORM=offscreen bench_monitor
// The observer runs inside the exchange, so it must stay far below the
// millisecond the link's timing is measured in. The log is kept full
// (10 000 lines), so every frame also drops the oldest line.

#include "app/ExchangeLog.h"
#include "app/ExchangeMonitorFrm.h"
#include "link/LinkObserver.h"
#include "link/MessageDialog.h"
#include "device/ReadingStore.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

TLinkEvent Frame(uint32_t tick)
{
    TLinkEvent e;
    e.tick = tick;
    e.outgoing = false;
    e.bytes = QByteArray(55, '\x41'); // an identification answer, the longest
    e.verdict = TFrameVerdict::Answer;
    e.expected = 55;
    return e;
}

void Fill(TExchangeLog& log)
{
    for (int i = 0; i < TExchangeLog::kMaxLines; ++i)
        log.LinkEvent(Frame(uint32_t(i)));
}

// One frame as the exchange pays for it. The program's event loop takes the
// queued frames in between exchanges, a few at a time; that part is timed
// separately below.
void FramesWithFlushes(benchmark::State& state, TExchangeLog& log)
{
    uint32_t tick = 0;
    for (auto _ : state) {
        log.LinkEvent(Frame(++tick));
        if (tick % 4 == 0) {
            state.PauseTiming();
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The monitor window closed.
void BM_LogFrame(benchmark::State& state)
{
    TExchangeLog log;
    Fill(log);
    FramesWithFlushes(state, log);
}
BENCHMARK(BM_LogFrame)->Iterations(40000);

// The monitor window open and following the newest line.
void BM_MonitorOpenFrame(benchmark::State& state)
{
    TExchangeLog log;
    Fill(log);
    TfrmExchangeMonitor monitor(log, UnattendedMessages());
    monitor.show();
    QApplication::processEvents();
    FramesWithFlushes(state, log);
}
BENCHMARK(BM_MonitorOpenFrame)->Iterations(4000);

// The event loop's share: taking in the four frames of one exchange with
// its repeat while the window is open (a full log drops four old lines).
void BM_MonitorTakeInFour(benchmark::State& state)
{
    TExchangeLog log;
    Fill(log);
    log.Flush();
    TfrmExchangeMonitor monitor(log, UnattendedMessages());
    monitor.show();
    QApplication::processEvents();
    uint32_t tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 4; ++i)
            log.LinkEvent(Frame(++tick));
        state.ResumeTiming();
        log.Flush();
    }
}
BENCHMARK(BM_MonitorTakeInFour)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// Repainting the open window after a frame: runs later, in the event loop.
void BM_MonitorRepaint(benchmark::State& state)
{
    TExchangeLog log;
    Fill(log);
    TfrmExchangeMonitor monitor(log, UnattendedMessages());
    monitor.show();
    QApplication::processEvents();
    uint32_t tick = 0;
    for (auto _ : state) {
        log.LinkEvent(Frame(++tick));
        monitor.lvExchange->viewport()->repaint();
    }
}
BENCHMARK(BM_MonitorRepaint)->Iterations(100)->Unit(benchmark::kMicrosecond);

// A reading of the trend store, once a second while diagnostics runs.
void BM_StoreReading(benchmark::State& state)
{
    TReadingStore store;
    qint64 t = 0;
    for (auto _ : state)
        store.AddAt(t += 1000, 0, 21.5, 108.4);
}
BENCHMARK(BM_StoreReading);

// Thinning a full day for the chart.
void BM_DaySegments(benchmark::State& state)
{
    TReadingStore store;
    for (int i = 0; i < 24 * 3600; ++i)
        store.AddAt(qint64(i) * 1000, 0, 20 + (i % 97) * 0.1, 100);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.Segments(TTrendChannel::Temperature, 0, 24 * 3600 * 1000, 1600));
}
BENCHMARK(BM_DaySegments)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
