#include "device/SettlingJudge.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A limit met exactly is met, whatever the last bit of the arithmetic says.
constexpr double kEdge = 1e-9;

} // namespace

TSettlingJudge::TSettlingJudge(const TSettlingRule& rule)
    : m_rule(rule)
{
    m_rule.samples = std::max(2, m_rule.samples);
}

void TSettlingJudge::Reset()
{
    m_samples.clear();
}

void TSettlingJudge::Add(double seconds, double value)
{
    if (!std::isfinite(seconds) || !std::isfinite(value))
        return;
    m_samples.push_back({seconds, value});
    // Only the last `samples` readings are ever judged.
    if (m_samples.size() > size_t(m_rule.samples))
        m_samples.erase(m_samples.begin(), m_samples.end() - m_rule.samples);
}

bool TSettlingJudge::Settled() const
{
    if (Count() < m_rule.samples)
        return false;
    return Spread() <= m_rule.spread + kEdge && std::fabs(Slope()) <= m_rule.slope + kEdge;
}

double TSettlingJudge::Mean() const
{
    if (m_samples.empty())
        return kNaN;
    double sum = 0;
    for (const TSample& s : m_samples)
        sum += s.value;
    return sum / double(m_samples.size());
}

double TSettlingJudge::Spread() const
{
    if (m_samples.empty())
        return kNaN;
    const auto [lo, hi] = std::minmax_element(m_samples.begin(), m_samples.end(),
                                              [](const TSample& a, const TSample& b) { return a.value < b.value; });
    return hi->value - lo->value;
}

double TSettlingJudge::Slope() const
{
    const size_t n = m_samples.size();
    if (n < 2)
        return 0;
    double mt = 0, mv = 0;
    for (const TSample& s : m_samples) {
        mt += s.seconds;
        mv += s.value;
    }
    mt /= double(n);
    mv /= double(n);
    double stv = 0, stt = 0;
    for (const TSample& s : m_samples) {
        stv += (s.seconds - mt) * (s.value - mv);
        stt += (s.seconds - mt) * (s.seconds - mt);
    }
    return stt > 0 ? stv / stt : 0;
}
