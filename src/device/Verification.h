#pragma once

#include "device/VerificationTypes.h"

#include <QList>
#include <QString>

class TDeviceEvents;

// How an error is weighed against the tolerance.
enum class TDecisionRule {
    drSimple,  // simple acceptance: |error| <= tolerance
    drGuarded, // guarded acceptance: |error| <= tolerance less a guard band of kGuardBand of it
};
constexpr double kGuardBand = 0.2;
constexpr double kDefaultTolerancePct = 0.25;
constexpr int kMinVerifyPoints = 2;
constexpr int kMaxVerifyPoints = 11;

QString DecisionRuleText(TDecisionRule rule);
// The acceptance limit in % of span the rule gives for `tolerancePct`.
double AcceptanceLimitPct(TDecisionRule rule, double tolerancePct);

// Which points: `count` spread evenly over the configured range, ends
// included, or the typed temperatures when there are any.
struct TVerifyPlan {
    int count = 5;
    QList<double> temperatures;
};

// The verification of one transducer against its configuration as read:
// points with their reference resistance and expected current, the
// readings taken at them, their errors and the verdict. No I/O: readings
// come in from whoever took them.
class TVerification {
public:
    // The reading settles as TSettlingRule says by default (tenths of a degree
    // from the transducer); a meter's current within 5 uA and 2 uA/s.
    TVerification();

    // False with a reason when the configuration cannot be verified (an
    // unknown sensor, R0 or output type, an empty range) or the plan asks for
    // points it cannot have; the verification is then left as it was.
    bool Begin(const TTransducerData& transducer, const TVerifyPlan& plan, double tolerancePct,
               TDecisionRule rule, TVerifyStage stage, QString* error);

    const TVerificationResult& Result() const { return m_result; }
    TVerificationResult& Result() { return m_result; }
    int PointCount() const { return int(m_result.points.size()); }
    const TVerifyPoint& Point(int index) const { return m_result.points.at(index); }
    double SpanDegrees() const;
    double SpanMilliamps() const;
    double AcceptancePct() const { return AcceptanceLimitPct(m_rule, m_result.tolerancePct); }

    // A settled reading and the output current at point `index`; the point is
    // judged at once. A point measured again takes the new values.
    void SetMeasurement(int index, double reading, double readingSpread, double current);
    // Forgets a point's readings (a measurement that failed half way).
    void ClearMeasurement(int index);

    bool Complete() const;
    // Stamps the end and, when every point is measured, tells `events`.
    // Returns whether it was complete.
    bool Finish(TDeviceEvents* events);

private:
    void judge(TVerifyPoint& p) const;
    void updateVerdict();

    TVerificationResult m_result;
    TDecisionRule m_rule = TDecisionRule::drSimple;
};

// The temperatures of `count` points spread evenly over bottom..top.
QList<double> EvenTemperatures(double bottom, double top, int count);
