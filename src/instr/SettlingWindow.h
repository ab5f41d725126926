#pragma once

#include "device/VerificationTypes.h"
#include "link/TickSource.h"

#include <QList>
#include <QString>

#include <functional>

// The last readings of one quantity, judged by a TSettlingRule: settled when
// the last `samples` readings span at most `spread` and their least-squares
// slope is at most `slope` per second.
class TSettlingWindow {
public:
    explicit TSettlingWindow(const TSettlingRule& rule) : m_rule(rule) {}

    void Add(double seconds, double value);
    void Clear() { m_times.clear(); m_values.clear(); }
    int Count() const { return int(m_values.size()); }
    bool Full() const { return Count() >= Samples(); }
    bool Settled() const;
    // Over the readings the rule looks at (all of them while fewer).
    double Mean() const;
    double Spread() const; // max - min
    double Slope() const;  // unit per second; 0 with fewer than two readings
    const TSettlingRule& Rule() const { return m_rule; }

private:
    int Samples() const { return m_rule.samples < 1 ? 1 : m_rule.samples; }

    TSettlingRule m_rule;
    QList<double> m_times;
    QList<double> m_values;
};

struct TSettledValue {
    double mean = 0;
    double spread = 0;
    double slope = 0;
    int readings = 0; // taken in all, the settled window included
};

struct TSettleLimits {
    uint32_t intervalMs = 200;   // between readings
    int maxReadings = 40;        // then "did not settle"
};

// Takes readings from `sample` until they settle. Any failed reading ends it
// at once with that reading's reason: no mean is made from a bad reading.
// `cancelled` (may be empty) is asked between readings.
bool ReadSettled(const std::function<bool(double&, QString*)>& sample, ITickSource& ticks,
                 const TSettlingRule& rule, const TSettleLimits& limits, TSettledValue& out, QString* error,
                 const std::function<bool()>& cancelled = {});
