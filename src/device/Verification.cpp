#include "device/Verification.h"

#include "device/DeviceEvents.h"
#include "device/OutputCurrent.h"
#include "device/SensorCharacteristic.h"

#include <cmath>

namespace {

// A limit met exactly is met: 0.5 deg C on a 200 deg C span is 0.25 %,
// whatever the last bit of the division says.
constexpr double kEdge = 1e-9;

bool within(double errorPct, double limitPct)
{
    return std::isfinite(errorPct) && std::fabs(errorPct) <= limitPct + kEdge;
}

} // namespace

QString DecisionRuleText(TDecisionRule rule)
{
    if (rule == TDecisionRule::drGuarded)
        return QStringLiteral("приёмка с защитной полосой: |погрешность| ≤ %1 % допуска")
            .arg(QString::number((1.0 - kGuardBand) * 100, 'f', 0));
    return QStringLiteral("простая приёмка: |погрешность| ≤ допуска");
}

double AcceptanceLimitPct(TDecisionRule rule, double tolerancePct)
{
    return rule == TDecisionRule::drGuarded ? tolerancePct * (1.0 - kGuardBand) : tolerancePct;
}

QList<double> EvenTemperatures(double bottom, double top, int count)
{
    QList<double> out;
    for (int i = 0; i < count; ++i)
        out << (count == 1 ? bottom : bottom + (top - bottom) * i / (count - 1));
    return out;
}

TVerification::TVerification()
{
    m_result.currentRule = TSettlingRule{5, 0.005, 0.002};
}

bool TVerification::Begin(const TTransducerData& t, const TVerifyPlan& plan, double tolerancePct,
                          TDecisionRule rule, TVerifyStage stage, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!IsKnownSensorKind(t.SensorKind))
        return fail(QStringLiteral("Тип датчика преобразователя не известен: прочитайте конфигурацию."));
    if (t.R0 != 100 && t.R0 != 50)
        return fail(QStringLiteral("Сопротивление датчика R0 не известно: прочитайте конфигурацию."));
    if (t.PLType != 'M' && t.PLType != 'N')
        return fail(QStringLiteral("Прибор не поддерживается программой"));
    if (t.TopTempBound <= t.BottomTempBound)
        return fail(QStringLiteral("Диапазон измерения преобразователя пуст: прочитайте конфигурацию."));
    if (!(tolerancePct > 0) || tolerancePct > 100)
        return fail(QStringLiteral("Допуск должен быть больше 0 и не больше 100 % диапазона."));

    QList<double> temps = plan.temperatures;
    if (temps.isEmpty()) {
        if (plan.count < kMinVerifyPoints || plan.count > kMaxVerifyPoints)
            return fail(QStringLiteral("Число точек проверки: от %1 до %2.").arg(kMinVerifyPoints).arg(kMaxVerifyPoints));
        temps = EvenTemperatures(t.BottomTempBound, t.TopTempBound, plan.count);
    } else if (temps.size() > kMaxVerifyPoints) {
        return fail(QStringLiteral("Число точек проверки: не больше %1.").arg(kMaxVerifyPoints));
    }
    for (const double temp : temps) {
        // Outside the range the output stops, so there is nothing to compare with.
        if (!std::isfinite(temp) || temp < t.BottomTempBound - kEdge || temp > t.TopTempBound + kEdge)
            return fail(QStringLiteral("Точка %1 °C вне диапазона измерения %2…%3 °C.")
                            .arg(QString::number(temp, 'f', 1))
                            .arg(t.BottomTempBound)
                            .arg(t.TopTempBound));
    }

    TVerificationResult r;
    r.transducer = t;
    r.stage = stage;
    r.tolerancePct = tolerancePct;
    r.decisionRule = DecisionRuleText(rule);
    r.readingRule = m_result.readingRule;
    r.currentRule = m_result.currentRule;
    r.started = QDateTime::currentDateTime();
    for (const double temp : temps) {
        TVerifyPoint p;
        p.temperature = temp;
        p.resistance = NominalResistance(t.SensorKind, t.R0, temp);
        p.expectedCurrent = ExpectedCurrent(t.PLType, t.DirectLeadOut, t.BottomTempBound, t.TopTempBound, temp);
        r.points << p;
    }
    m_result = r;
    m_rule = rule;
    return true;
}

double TVerification::SpanDegrees() const
{
    return double(m_result.transducer.TopTempBound) - double(m_result.transducer.BottomTempBound);
}

double TVerification::SpanMilliamps() const
{
    return OutputRangeOf(m_result.transducer.PLType).Span();
}

void TVerification::SetMeasurement(int index, double reading, double readingSpread, double current)
{
    if (index < 0 || index >= PointCount())
        return;
    TVerifyPoint& p = m_result.points[index];
    p.reading = reading;
    p.readingSpread = readingSpread;
    p.current = current;
    judge(p);
    updateVerdict();
}

void TVerification::ClearMeasurement(int index)
{
    if (index < 0 || index >= PointCount())
        return;
    TVerifyPoint& p = m_result.points[index];
    TVerifyPoint fresh;
    fresh.temperature = p.temperature;
    fresh.resistance = p.resistance;
    fresh.expectedCurrent = p.expectedCurrent;
    p = fresh;
    updateVerdict();
}

void TVerification::judge(TVerifyPoint& p) const
{
    const double limit = AcceptancePct();
    p.digitalError = p.reading - p.temperature;
    p.digitalErrorPct = p.digitalError / SpanDegrees() * 100.0;
    p.outputError = p.current - p.expectedCurrent;
    p.outputErrorPct = p.outputError / SpanMilliamps() * 100.0;
    p.digitalPass = within(p.digitalErrorPct, limit);
    p.outputPass = within(p.outputErrorPct, limit);
    p.pass = p.digitalPass && p.outputPass;
}

void TVerification::updateVerdict()
{
    m_result.complete = Complete();
    bool pass = m_result.complete;
    for (const TVerifyPoint& p : m_result.points)
        pass = pass && p.pass;
    m_result.pass = pass;
}

bool TVerification::Complete() const
{
    if (m_result.points.isEmpty())
        return false;
    for (const TVerifyPoint& p : m_result.points)
        if (!p.Measured())
            return false;
    return true;
}

bool TVerification::Finish(TDeviceEvents* events)
{
    updateVerdict();
    m_result.finished = QDateTime::currentDateTime();
    if (!m_result.complete)
        return false;
    if (events)
        emit events->verificationDone(m_result);
    return true;
}
