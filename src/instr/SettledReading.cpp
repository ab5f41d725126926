#include "instr/SettledReading.h"

#include <algorithm>

bool ReadSettled(const std::function<bool(double&, QString*)>& sample, ITickSource& ticks,
                 const TSettlingRule& rule, const TSettleLimits& limits, TSettledValue& out, QString* error,
                 const std::function<bool()>& cancelled)
{
    TSettlingJudge window(rule);
    const uint32_t start = ticks.GetTickCount();
    for (int i = 0; i < std::max(1, limits.maxReadings); ++i) {
        if (cancelled && cancelled()) {
            if (error)
                *error = QStringLiteral("измерение прервано");
            return false;
        }
        if (i > 0) {
            // The reading itself took its time; wait out the rest of the interval.
            const uint32_t due = uint32_t(i) * limits.intervalMs;
            const uint32_t spent = TicksSince(ticks.GetTickCount(), start);
            if (spent < due)
                ticks.Sleep(due - spent);
        }
        double v = 0;
        if (!sample(v, error))
            return false;
        window.Add(TicksSince(ticks.GetTickCount(), start) / 1000.0, v);
        if (window.Settled()) {
            out = {window.Mean(), window.Spread(), window.Slope(), i + 1};
            return true;
        }
    }
    if (error)
        *error = QStringLiteral("показания не установились за %1 измерений (разброс %2, наклон %3 в секунду)")
                     .arg(limits.maxReadings)
                     .arg(window.Spread(), 0, 'g', 3)
                     .arg(window.Slope(), 0, 'g', 3);
    return false;
}
