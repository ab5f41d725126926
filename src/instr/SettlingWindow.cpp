#include "instr/SettlingWindow.h"

#include <algorithm>
#include <cmath>

void TSettlingWindow::Add(double seconds, double value)
{
    m_times.append(seconds);
    m_values.append(value);
    while (m_values.size() > Samples()) {
        m_times.removeFirst();
        m_values.removeFirst();
    }
}

bool TSettlingWindow::Settled() const
{
    return Full() && Spread() <= m_rule.spread && std::fabs(Slope()) <= m_rule.slope;
}

double TSettlingWindow::Mean() const
{
    if (m_values.isEmpty())
        return 0;
    double sum = 0;
    for (const double v : m_values)
        sum += v;
    return sum / double(m_values.size());
}

double TSettlingWindow::Spread() const
{
    if (m_values.isEmpty())
        return 0;
    const auto [lo, hi] = std::minmax_element(m_values.cbegin(), m_values.cend());
    return *hi - *lo;
}

double TSettlingWindow::Slope() const
{
    const qsizetype n = m_values.size();
    if (n < 2)
        return 0;
    double mt = 0, mv = 0;
    for (qsizetype i = 0; i < n; ++i) {
        mt += m_times[i];
        mv += m_values[i];
    }
    mt /= double(n);
    mv /= double(n);
    double stt = 0, stv = 0;
    for (qsizetype i = 0; i < n; ++i) {
        stt += (m_times[i] - mt) * (m_times[i] - mt);
        stv += (m_times[i] - mt) * (m_values[i] - mv);
    }
    return stt > 0 ? stv / stt : 0;
}

bool ReadSettled(const std::function<bool(double&, QString*)>& sample, ITickSource& ticks,
                 const TSettlingRule& rule, const TSettleLimits& limits, TSettledValue& out, QString* error,
                 const std::function<bool()>& cancelled)
{
    TSettlingWindow window(rule);
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
