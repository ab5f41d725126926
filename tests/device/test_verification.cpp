// The verification without windows: points, settling, errors, verdict, and
// the readings of one point taken on a scripted port.
#include "device/DeviceEvents.h"
#include "device/PointReader.h"
#include "device/SensorCharacteristic.h"
#include "device/SettlingJudge.h"
#include "device/Verification.h"

#include "DiagRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Pt100 0.00385, 4-20 mA direct, range -50..150: span 200 deg C and 16 mA,
// so 0.25 % is 0.5 deg C and 0.04 mA.
TTransducerData Unit(bool direct = true, int type = 'M')
{
    TTransducerData t;
    t.SlaveID = 1;
    t.PLType = type;
    t.SensorKind = skPt385;
    t.R0 = 100;
    t.BottomTempBound = -50;
    t.TopTempBound = 150;
    t.DirectLeadOut = direct;
    return t;
}

TVerification Begun(const TVerifyPlan& plan = {}, double tolerance = 0.25,
                    TDecisionRule rule = TDecisionRule::drSimple)
{
    TVerification v;
    QString error;
    EXPECT_TRUE(v.Begin(Unit(), plan, tolerance, rule, TVerifyStage::vsAsFound, &error)) << error.toStdString();
    return v;
}

} // namespace

TEST(VerificationPlan, FivePointsOverTheRangeWithResistanceAndCurrent)
{
    const TVerification v = Begun();
    ASSERT_EQ(v.PointCount(), 5);
    const double temps[] = {-50, 0, 50, 100, 150};
    const double currents[] = {4, 8, 12, 16, 20};
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(v.Point(i).temperature, temps[i]);
        EXPECT_DOUBLE_EQ(v.Point(i).expectedCurrent, currents[i]);
        EXPECT_FALSE(v.Point(i).Measured());
    }
    EXPECT_NEAR(v.Point(1).resistance, 100.00, 0.005);
    EXPECT_NEAR(v.Point(3).resistance, 138.51, 0.005);
    EXPECT_NEAR(v.Point(0).resistance, 80.31, 0.005);
    EXPECT_EQ(v.Result().stage, TVerifyStage::vsAsFound);
    EXPECT_DOUBLE_EQ(v.Result().tolerancePct, 0.25);
    EXPECT_FALSE(v.Result().decisionRule.isEmpty());
    EXPECT_FALSE(v.Complete());
    // The rules the window shows: tenths of a degree, microamperes.
    EXPECT_DOUBLE_EQ(v.Result().readingRule.spread, 0.2);
    EXPECT_DOUBLE_EQ(v.Result().currentRule.spread, 0.005);
}

TEST(VerificationPlan, CountsTypedPointsAndInverseOutput)
{
    TVerifyPlan two;
    two.count = 2;
    EXPECT_EQ(Begun(two).PointCount(), 2);
    TVerifyPlan eleven;
    eleven.count = 11;
    const TVerification v11 = Begun(eleven);
    ASSERT_EQ(v11.PointCount(), 11);
    EXPECT_DOUBLE_EQ(v11.Point(1).temperature, -30);
    EXPECT_DOUBLE_EQ(v11.Point(10).temperature, 150);

    TVerifyPlan typed;
    typed.temperatures = {20, 37.5};
    const TVerification vt = Begun(typed);
    ASSERT_EQ(vt.PointCount(), 2);
    EXPECT_DOUBLE_EQ(vt.Point(1).temperature, 37.5);
    EXPECT_DOUBLE_EQ(vt.Point(1).expectedCurrent, 4 + 16 * 87.5 / 200);

    TVerification inv;
    ASSERT_TRUE(inv.Begin(Unit(false, 'N'), {}, 0.25, TDecisionRule::drSimple, TVerifyStage::vsAlone, nullptr));
    EXPECT_DOUBLE_EQ(inv.Point(0).expectedCurrent, 5.0);
    EXPECT_DOUBLE_EQ(inv.Point(1).expectedCurrent, 3.75);
    EXPECT_DOUBLE_EQ(inv.Point(4).expectedCurrent, 0.0);
    EXPECT_DOUBLE_EQ(inv.SpanMilliamps(), 5.0);
}

TEST(VerificationPlan, RefusesWhatCannotBeVerified)
{
    struct Case {
        const char* what;
        TTransducerData unit;
        TVerifyPlan plan;
        double tolerance;
    };
    TTransducerData noSensor = Unit();
    noSensor.SensorKind = 0;
    TTransducerData noR0 = Unit();
    noR0.R0 = 0;
    TTransducerData noType = Unit();
    noType.PLType = 0;
    TTransducerData empty = Unit();
    empty.TopTempBound = empty.BottomTempBound;
    TVerifyPlan one;
    one.count = 1;
    TVerifyPlan twelve;
    twelve.count = 12;
    TVerifyPlan outside;
    outside.temperatures = {20, 151};
    const Case cases[] = {
        {"unknown sensor", noSensor, {}, 0.25}, {"unknown R0", noR0, {}, 0.25},
        {"unknown output", noType, {}, 0.25},   {"empty range", empty, {}, 0.25},
        {"one point", Unit(), one, 0.25},       {"twelve points", Unit(), twelve, 0.25},
        {"outside the range", Unit(), outside, 0.25}, {"no tolerance", Unit(), {}, 0},
    };
    for (const Case& c : cases) {
        TVerification v = Begun();
        QString error;
        EXPECT_FALSE(v.Begin(c.unit, c.plan, c.tolerance, TDecisionRule::drSimple, TVerifyStage::vsAlone, &error))
            << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(v.PointCount(), 5) << c.what << ": the verification under way stays";
    }
}

TEST(VerificationVerdict, ErrorsAndTheToleranceEdge)
{
    TVerification v = Begun();
    // 100 deg C expects 16 mA. Exactly 0.5 deg C and 0.04 mA off is at the edge: passes.
    v.SetMeasurement(3, 100.5, 0.1, 15.96);
    const TVerifyPoint& p = v.Point(3);
    EXPECT_NEAR(p.digitalError, 0.5, 1e-12);
    EXPECT_NEAR(p.digitalErrorPct, 0.25, 1e-12);
    EXPECT_NEAR(p.outputError, -0.04, 1e-12);
    EXPECT_NEAR(p.outputErrorPct, -0.25, 1e-12);
    EXPECT_TRUE(p.digitalPass);
    EXPECT_TRUE(p.outputPass);
    EXPECT_TRUE(p.pass);

    // A tenth of a degree more fails the digital side alone.
    v.SetMeasurement(3, 100.6, 0.1, 15.96);
    EXPECT_FALSE(v.Point(3).digitalPass);
    EXPECT_TRUE(v.Point(3).outputPass);
    EXPECT_FALSE(v.Point(3).pass);
    // A microampere more fails the output side alone.
    v.SetMeasurement(3, 99.5, 0.1, 16.041);
    EXPECT_TRUE(v.Point(3).digitalPass);
    EXPECT_FALSE(v.Point(3).outputPass);
}

TEST(VerificationVerdict, GuardedAcceptanceNarrowsTheLimit)
{
    TVerification v = Begun({}, 0.25, TDecisionRule::drGuarded);
    EXPECT_DOUBLE_EQ(v.AcceptancePct(), 0.2);
    v.SetMeasurement(0, -49.6, 0, 4.032); // 0.2 % on both sides: at the guarded edge
    EXPECT_TRUE(v.Point(0).pass);
    v.SetMeasurement(0, -49.5, 0, 4.0); // 0.25 %: inside the tolerance, outside the guard
    EXPECT_FALSE(v.Point(0).pass);
}

TEST(VerificationVerdict, EveryPointMustBeMeasuredAndPass)
{
    TVerification v = Begun();
    TDeviceEvents events;
    QList<TVerificationResult> done;
    QObject::connect(&events, &TDeviceEvents::verificationDone,
                     [&](const TVerificationResult& r) { done << r; });

    for (int i = 0; i < 4; ++i)
        v.SetMeasurement(i, v.Point(i).temperature, 0, v.Point(i).expectedCurrent);
    EXPECT_FALSE(v.Complete());
    EXPECT_FALSE(v.Result().pass) << "a point not measured is no pass";
    EXPECT_FALSE(v.Finish(&events));
    EXPECT_TRUE(done.isEmpty());

    v.SetMeasurement(4, 150.1, 0, 20.1); // 0.625 % on the output
    EXPECT_TRUE(v.Complete());
    EXPECT_FALSE(v.Result().pass);
    EXPECT_TRUE(v.Finish(&events));
    ASSERT_EQ(done.size(), 1);
    EXPECT_FALSE(done[0].pass);
    EXPECT_TRUE(done[0].complete);
    EXPECT_EQ(done[0].stage, TVerifyStage::vsAsFound);
    EXPECT_EQ(done[0].points.size(), 5);

    v.SetMeasurement(4, 150.1, 0, 20.01);
    EXPECT_TRUE(v.Result().pass);
    v.ClearMeasurement(2);
    EXPECT_FALSE(v.Result().complete);
    EXPECT_FALSE(v.Result().pass);
    EXPECT_TRUE(std::isnan(v.Point(2).reading));
    EXPECT_DOUBLE_EQ(v.Point(2).temperature, 50);
}

TEST(SettlingJudge, SettlesOnlyWithEnoughQuietReadings)
{
    TSettlingJudge j({5, 0.2, 0.05});
    const double noisy[] = {25.0, 25.1, 24.9, 25.0, 25.1};
    for (int i = 0; i < 4; ++i)
        j.Add(i, noisy[i]);
    EXPECT_FALSE(j.Settled()) << "four readings are not five";
    j.Add(4, noisy[4]);
    EXPECT_TRUE(j.Settled());
    EXPECT_NEAR(j.Mean(), 25.02, 1e-9);
    EXPECT_NEAR(j.Spread(), 0.2, 1e-9) << "at the spread limit exactly";

    // A jump leaves the window unsettled until it has passed out of it.
    j.Add(5, 26.0);
    EXPECT_FALSE(j.Settled());
    for (int i = 6; i < 9; ++i) {
        j.Add(i, 26.0);
        EXPECT_FALSE(j.Settled()) << i;
    }
    j.Add(9, 26.0); // five at 26 now
    EXPECT_TRUE(j.Settled());
    EXPECT_DOUBLE_EQ(j.Mean(), 26.0);
}

TEST(SettlingJudge, ASteadyDriftIsNotSettledHoweverSmallItsSpread)
{
    // 0.04 per reading over 5 readings: spread 0.16 (under 0.2), slope 0.08/s (over 0.05).
    TSettlingJudge j({5, 0.2, 0.05});
    for (int i = 0; i < 8; ++i)
        j.Add(i, 50 + 0.04 * i);
    EXPECT_LT(j.Spread(), 0.2);
    EXPECT_NEAR(j.Slope(), 0.04, 1e-9);
    EXPECT_TRUE(j.Settled()) << "0.04 per second is under the limit";

    TSettlingJudge fast({5, 0.2, 0.05});
    for (int i = 0; i < 8; ++i)
        fast.Add(i * 0.5, 50 + 0.04 * i); // the same steps twice as often
    EXPECT_NEAR(fast.Slope(), 0.08, 1e-9);
    EXPECT_FALSE(fast.Settled());
    EXPECT_TRUE(std::isnan(TSettlingJudge().Mean()));
}

// The readings of one point on a scripted port.
class PointReaderTest : public ::testing::Test {
protected:
    PointReaderTest() { current.Typed = [this](const TVerifyPoint&) { return typed; }; }

    // Steps one second apart until the reader stops sampling.
    TPointStatus RunToEnd(int maxSteps = 40)
    {
        for (int i = 0; i < maxSteps && reader.Running(); ++i) {
            reader.Step();
            rig.link.clock.advanceMs(TPointReader::kSampleIntervalMs);
        }
        return reader.Status();
    }

    TVerifyPoint Point() const
    {
        TVerifyPoint p;
        p.temperature = 100;
        p.expectedCurrent = 16;
        return p;
    }

    DiagRig rig{3};
    TTypedCurrentReader current;
    std::optional<double> typed = 16.01;
    TPointReader reader{rig.session, current};
};

TEST_F(PointReaderTest, SettledReadingAndTheTypedCurrent)
{
    int n = 0;
    const int tenths[] = {1003, 999, 1001, 1000, 1002, 1000, 1000};
    rig.link.port.answerAlways(HexBytes("01 03 00 20"), [&](const QByteArray&) {
        const int t = tenths[std::min(n++, 6)];
        return Measurement(t, 13851, 0);
    });
    reader.SetRules({5, 0.4, 0.2}, {});
    ASSERT_TRUE(reader.Start(Point()));
    EXPECT_EQ(RunToEnd(), TPointStatus::Settled) << reader.Error().toStdString();
    EXPECT_EQ(reader.Samples(), 5);
    EXPECT_NEAR(reader.Reading(), 100.1, 1e-9);
    EXPECT_NEAR(reader.ReadingJudge().Spread(), 0.4, 1e-9);
    EXPECT_DOUBLE_EQ(reader.Current(), 16.01);
    EXPECT_EQ(rig.writesStartingWith("01 03 00 20 00 05"), 5);
    EXPECT_TRUE(rig.link.messages.isEmpty());
}

TEST_F(PointReaderTest, NoTypedCurrentSendsNothing)
{
    typed.reset();
    EXPECT_FALSE(reader.Start(Point()));
    EXPECT_EQ(reader.Status(), TPointStatus::Failed);
    EXPECT_FALSE(reader.Error().isEmpty());
    EXPECT_EQ(rig.link.port.writeCount(), 0);
    typed = 45.0;
    EXPECT_FALSE(reader.Start(Point())) << "no output drives 45 mA";
}

TEST_F(PointReaderTest, ASensorFaultEndsThePoint)
{
    rig.link.port.answerAlways(HexBytes("01 03 00 20"), [](const QByteArray&) { return Measurement(0, 0, 3); });
    ASSERT_TRUE(reader.Start(Point()));
    EXPECT_EQ(RunToEnd(), TPointStatus::Failed);
    EXPECT_TRUE(reader.Error().startsWith(QStringLiteral("Обрыв"))) << reader.Error().toStdString();
    EXPECT_EQ(rig.shell.disconnects, 0) << "the device answers: it stays connected";
}

TEST_F(PointReaderTest, SilenceLosesTheDeviceAfterRepeatNumMisses)
{
    ASSERT_TRUE(reader.Start(Point()));
    EXPECT_EQ(RunToEnd(), TPointStatus::Failed);
    EXPECT_EQ(rig.link.port.writeCount(), 3) << "RepeatNum 3";
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора")});
    EXPECT_EQ(rig.shell.disconnects, 1);
}

TEST_F(PointReaderTest, AReadingThatNeverSettlesGivesUp)
{
    int n = 0;
    rig.link.port.answerAlways(HexBytes("01 03 00 20"),
                               [&](const QByteArray&) { return Measurement(1000 + (n++ % 2) * 10, 13851, 0); });
    reader.SetRules({5, 0.2, 0.05}, {});
    ASSERT_TRUE(reader.Start(Point()));
    EXPECT_EQ(RunToEnd(), TPointStatus::Failed);
    EXPECT_EQ(reader.Samples(), TPointReader::kMaxSamples);
    EXPECT_TRUE(reader.Error().contains(QStringLiteral("не установились"))) << reader.Error().toStdString();
}

// A meter on the bus: every call a fresh reading, judged for settling too.
class ScriptedMeter : public ICurrentReader {
public:
    QList<double> readings;
    int calls = 0;
    bool ReadCurrent(const TVerifyPoint&, double* mA, QString* error) override
    {
        if (readings.isEmpty()) {
            *error = QStringLiteral("meter silent");
            return false;
        }
        *mA = readings.size() > 1 ? readings.takeFirst() : readings.first();
        ++calls;
        return true;
    }
    bool Live() const override { return true; }
};

TEST(PointReaderLive, AMeterIsReadWithEveryReadingUntilBothSettle)
{
    DiagRig rig{3};
    ScriptedMeter meter;
    // Settling at 16.010 only from the fourth reading on.
    meter.readings = {16.3, 16.2, 16.1, 16.01, 16.01, 16.01, 16.01, 16.01};
    TPointReader reader(rig.session, meter);
    reader.SetRules({3, 0.2, 0.5}, {3, 0.005, 0.01});
    rig.link.port.answerAlways(HexBytes("01 03 00 20"), [](const QByteArray&) { return Measurement(1000, 13851, 0); });
    TVerifyPoint p;
    p.temperature = 100;
    ASSERT_TRUE(reader.Start(p));
    EXPECT_EQ(meter.calls, 0) << "a meter is read along with the readings, not before";
    int steps = 0;
    while (reader.Running() && steps < 20) {
        reader.Step();
        rig.link.clock.advanceMs(1000);
        ++steps;
    }
    EXPECT_EQ(reader.Status(), TPointStatus::Settled) << reader.Error().toStdString();
    EXPECT_EQ(steps, 6) << "the readings settle at 3, the current at 6";
    EXPECT_NEAR(reader.Current(), 16.01, 1e-9);
    EXPECT_EQ(meter.calls, 6);

    // A meter that stops answering ends the point with its reason.
    meter.readings.clear();
    ASSERT_TRUE(reader.Start(p));
    EXPECT_EQ(reader.Step(), TPointStatus::Failed);
    EXPECT_EQ(reader.Error(), QStringLiteral("meter silent"));
}
