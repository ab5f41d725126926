// One fade step of a skinned control: the level moves, the control composes
// its layers and paints into an offscreen buffer. The step must stay well
// inside the 8 ms interval of the fastest fade.
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbRadioButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

namespace {

void Enter(QWidget* w)
{
    const QPointF p(2, 2);
    QEnterEvent e(p, p, p);
    QApplication::sendEvent(w, &e);
}

void Press(QWidget* w)
{
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Keeps the control mid-fade: hover and press levels both between 0 and 100,
// so every step blends both overlays.
template <class C> void FadeStep(benchmark::State& state, C& c)
{
    c.SetCaption(QStringLiteral("Прочитать"));
    // The main window's scheme font, whose face is not installed here.
    c.Font().SetName(QStringLiteral("MS Sans Serif"));
    c.Font().SetHeight(-11);
    Enter(&c);
    for (int i = 0; i < 5; ++i)
        c.FadeTick();
    Press(&c);
    c.FadeTick();
    for (auto _ : state) {
        c.FadeTick();
        QImage frame = c.RenderBuffer();
        benchmark::DoNotOptimize(frame.constBits());
        if (c.PressLevel() >= 100) { // start the press again, out of the timing
            state.PauseTiming();
            QMouseEvent up(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::NoButton,
                           Qt::NoModifier);
            QApplication::sendEvent(&c, &up);
            for (int i = 0; i < 4; ++i)
                c.FadeTick();
            Press(&c);
            state.ResumeTiming();
        }
    }
}

void BM_ButtonFadeStep75x25(benchmark::State& state)
{
    TRbButton b;
    b.resize(75, 25);
    b.RebuildLayers();
    FadeStep(state, b);
}

void BM_RadioFadeStep130x17(benchmark::State& state)
{
    TRbRadioButton r;
    r.resize(130, 17);
    r.RebuildLayers();
    r.SetChecked(true);
    FadeStep(state, r);
}

} // namespace

BENCHMARK(BM_ButtonFadeStep75x25)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RadioFadeStep130x17)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
