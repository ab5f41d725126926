#pragma once

#include "device/VerificationTypes.h"

#include <vector>

// Judges a stream of readings by a TSettlingRule: settled once the last
// `samples` readings span at most `spread` and their least-squares line
// drifts at most `slope` per second.
class TSettlingJudge {
public:
    explicit TSettlingJudge(const TSettlingRule& rule = {});

    void Reset();
    void Add(double seconds, double value);

    const TSettlingRule& Rule() const { return m_rule; }
    int Count() const { return int(m_samples.size()); }
    bool Settled() const;
    // Over the last `samples` readings (fewer while fewer came); NaN with none.
    double Mean() const;
    double Spread() const;
    double Slope() const; // unit per second; 0 with one reading

private:
    struct TSample {
        double seconds;
        double value;
    };
    TSettlingRule m_rule;
    std::vector<TSample> m_samples;
};
