// The simulator as a bench: a decade box at the input, a meter in the
// current loop, the loop's error and the trim of calibration stages 5 and 6.
#include "SimTestUtil.h"

#include "device/SensorCharacteristic.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TSimState Loop(uint8_t type, bool direct = true)
{
    TSimState s = DefaultSimState();
    s.typeCode = type;
    s.sensorKind = skPt385;
    s.r0Code = 1;
    s.bottomBound = 0;
    s.topBound = 100;
    s.outputCode = direct ? 0 : 1;
    s.temperature = 50;
    return s;
}

TSimBytes Stage(int stage, int microamps = 0)
{
    return Req({1, 'M', stage, 0, 0, (microamps >> 8) & 0xFF, microamps & 0xFF});
}

bool Accepted(TSimEngine& e, const TSimBytes& request)
{
    return Body(e.HandleRequest(request, 0)) == Bytes({1, 'M', 0});
}

// Stages 1..7, typing whatever the meter shows at stages 5 and 6.
void Calibrate(TSimEngine& e)
{
    for (int stage = 1; stage <= 4; ++stage)
        ASSERT_TRUE(Accepted(e, Stage(stage))) << stage;
    ASSERT_TRUE(Accepted(e, Stage(5, int(std::lround(e.OutputCurrentMilliamps() * 1000)))));
    ASSERT_TRUE(Accepted(e, Stage(6, int(std::lround(e.OutputCurrentMilliamps() * 1000)))));
    ASSERT_TRUE(Accepted(e, Req({1, 'M', 7, 25, 3, 0x07, 0xEA})));
}

double ReportedTemperature(TSimEngine& e)
{
    const TSimBytes a = Body(e.HandleRequest(Req({1, 3, 0, 0x20, 0, 5}), 0));
    return a.size() == 13 ? int16_t((a[3] << 8) | a[4]) / 10.0 : -9999;
}

} // namespace

TEST(SimBench, DecadeBoxSetsTheMeasuredTemperature)
{
    TSimEngine e(Loop('M'), {}, 0.0);
    ASSERT_TRUE(e.SetReferenceResistance(138.51));
    EXPECT_NEAR(e.State().temperature, 100.0, 0.02);
    EXPECT_NEAR(ReportedTemperature(e), 100.0, 0.051);
    EXPECT_NEAR(e.OutputCurrentMilliamps(), 20.0, 0.005);
    ASSERT_TRUE(e.ReferenceResistance().has_value());

    // No temperature gives a negative resistance: the box is refused, the
    // bench keeps what it had.
    EXPECT_FALSE(e.SetReferenceResistance(-1));
    EXPECT_NEAR(*e.ReferenceResistance(), 138.51, 1e-12);

    // The same box means another temperature to a copper sensor.
    const TSimBytes write = Req({1, 0x10, 0, 0x18, 0, 8, 16, 0, 3, 0, 1, 0, 0, 0, 100, 0, 0, 0, 1, 0, 0, 0, 1});
    ASSERT_EQ(Body(e.HandleRequest(write, 0)).size(), 6u);
    EXPECT_NEAR(e.State().temperature, NominalTemperature(skCu428, 100, 138.51), 1e-9);
    EXPECT_NEAR(e.State().temperature, 89.98, 0.005);

    // A temperature set by hand takes the box away.
    e.SetTemperature(25);
    EXPECT_FALSE(e.ReferenceResistance().has_value());
}

TEST(SimBench, OutputFollowsRangeTypeAndDirection)
{
    struct Case {
        uint8_t type;
        bool direct;
        double at0, at25, at100;
    };
    for (const Case& c : {Case{'M', true, 4, 8, 20}, Case{'M', false, 20, 16, 4}, Case{'N', true, 0, 1.25, 5},
                          Case{'N', false, 5, 3.75, 0}}) {
        TSimEngine e(Loop(c.type, c.direct), {}, 0.0);
        e.SetTemperature(0);
        EXPECT_NEAR(e.OutputCurrentMilliamps(), c.at0, 1e-9) << c.type << c.direct;
        e.SetTemperature(25);
        EXPECT_NEAR(e.OutputCurrentMilliamps(), c.at25, 1e-9) << c.type << c.direct;
        e.SetTemperature(100);
        EXPECT_NEAR(e.OutputCurrentMilliamps(), c.at100, 1e-9) << c.type << c.direct;
    }
}

TEST(SimBench, FaultsDriveTheAlarmCurrentAndTheOutputStopsPastTheRange)
{
    TSimState s = Loop('M');
    s.alarmCode = 4;
    TSimEngine e(s, {}, 0.0);
    e.SetTemperature(130);
    EXPECT_DOUBLE_EQ(e.OutputCurrentMilliamps(), 20.5);
    e.SetTemperature(-30);
    EXPECT_DOUBLE_EQ(e.OutputCurrentMilliamps(), 3.8);
    e.SetDiagState(3);
    EXPECT_DOUBLE_EQ(e.OutputCurrentMilliamps(), 22.0);

    TSimState n = Loop('N');
    n.alarmCode = 2;
    n.diagState = 1;
    EXPECT_DOUBLE_EQ(TSimEngine(n, {}, 0.0).OutputCurrentMilliamps(), 5.5);
}

TEST(SimBench, LoopErrorIsMendedByTheTrim)
{
    for (const uint8_t type : {uint8_t('M'), uint8_t('N')}) {
        // +0.12 mA (+0.04 mA on 0-5 mA, inside what stage 5 accepts) and +0.25 %
        const double offsetUa = type == 'M' ? 120 : 40;
        TSimEngine e(Loop(type), {}, 0.0, 1, TSimOutputError{offsetUa, 2500});
        e.SetTemperature(50);
        const double nominal = type == 'M' ? 12.0 : 2.5;
        EXPECT_NEAR(e.OutputCurrentMilliamps(), nominal * 1.0025 + offsetUa / 1000, 1e-9);

        Calibrate(e);
        ASSERT_TRUE(e.State().outputTrimmed);
        // Within what whole microamperes of the two measured points allow.
        for (const double t : {0.0, 50.0, 100.0}) {
            e.SetTemperature(t);
            const double expected = type == 'M' ? 4 + 0.16 * t : 0.05 * t;
            EXPECT_NEAR(e.OutputCurrentMilliamps(), expected, 0.0015) << type << " at " << t;
        }
    }
}

TEST(SimBench, StagesFiveAndSixDriveTheBarePoints)
{
    TSimEngine e(Loop('M'), {}, 0.0, 1, TSimOutputError{-50, 0});
    for (int stage = 1; stage <= 4; ++stage)
        ASSERT_TRUE(Accepted(e, Stage(stage)));
    EXPECT_NEAR(e.OutputCurrentMilliamps(), 3.95, 1e-9);
    ASSERT_TRUE(Accepted(e, Stage(5, 3950)));
    EXPECT_NEAR(e.OutputCurrentMilliamps(), 19.95, 1e-9);
    ASSERT_TRUE(Accepted(e, Stage(6, 19950)));
    EXPECT_FALSE(e.State().outputTrimmed) << "kept with the date, not before";

    // A cancel leaves the old trim (none) in place.
    ASSERT_TRUE(Accepted(e, Stage(0)));
    EXPECT_NEAR(e.OutputCurrentMilliamps(), 11.95, 1e-9);
    EXPECT_FALSE(e.State().outputTrimmed);
}

TEST(SimBench, TrimSurvivesTheStateFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sim.ini"));
    TSimState s = Loop('M');
    s.outputTrimmed = true;
    s.trimLowUa = 4100;
    s.trimHighUa = 20100;
    QString error;
    ASSERT_TRUE(SaveSimState(file, s, &error)) << error.toStdString();
    TSimState back = DefaultSimState();
    ASSERT_TRUE(LoadSimState(file, back, &error)) << error.toStdString();
    EXPECT_TRUE(back.outputTrimmed);
    EXPECT_EQ(back.trimLowUa, 4100);
    EXPECT_EQ(back.trimHighUa, 20100);
    // The trim corrects an offset of +0.1 mA to the nominal 12 mA.
    EXPECT_NEAR(TSimEngine(back, {}, 0.0, 1, TSimOutputError{100, 0}).OutputCurrentMilliamps(), 12.0, 1e-9);
}
