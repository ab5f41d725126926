// Calibration stages and the two sensor corrections: result codes and what
// the transducer remembers afterwards.
#include "SimTestUtil.h"

#include <gtest/gtest.h>

namespace {

TSimState Bench(uint8_t type, double temperature)
{
    TSimState s = SampleState();
    s.typeCode = type;
    s.temperature = temperature;
    s.sensorKind = 2;
    s.r0Code = 1;
    s.averageCode = 0;
    return s;
}

TSimBytes Stage(int stage, int d0 = 0, int d1 = 0, int d2 = 0, int d3 = 0)
{
    return Req({5, 'M', stage, d0, d1, d2, d3});
}

TSimBytes Current(int stage, int microamps)
{
    return Stage(stage, 0, 0, (microamps >> 8) & 0xFF, microamps & 0xFF);
}

const TSimBytes kOkM = Bytes({5, 'M', 0});
TSimBytes RefusedM(int code) { return Bytes({5, 0xCD, code}); }

// The reported temperature, in tenths.
int Reading(TSimEngine& e)
{
    const TSimBytes a = Body(e.HandleRequest(Req({5, 3, 0, 0x20, 0, 5}), 0));
    return a.size() == 13 ? int16_t((a[3] << 8) | a[4]) : -99999;
}

} // namespace

TEST(SimCalibration, FullSequenceStoresTheDateAndClearsNotCalibrated)
{
    TSimState s = Bench('M', 20);
    s.diagState = 2;
    TSimEngine e(s, {}, 0.0);
    for (int stage = 1; stage <= 4; ++stage)
        EXPECT_EQ(Body(e.HandleRequest(Stage(stage), 0)), kOkM) << stage;
    EXPECT_EQ(Body(e.HandleRequest(Current(5, 4000), 0)), kOkM);
    EXPECT_EQ(Body(e.HandleRequest(Current(6, 20000), 0)), kOkM);
    EXPECT_FALSE(e.TakeStateChanged()) << "nothing is stored before the last stage";
    EXPECT_EQ(Body(e.HandleRequest(Stage(7, 0x19, 0x03, 0x07, 0xD6), 0)), kOkM); // 25.03.2006
    EXPECT_TRUE(e.TakeStateChanged());
    EXPECT_EQ(e.CalibrationProgress(), 0);

    const TSimBytes m = Body(e.HandleRequest(Req({5, 3, 0, 0x20, 0, 5}), 0));
    ASSERT_EQ(m.size(), 13u);
    EXPECT_EQ(m[8], 0) << "calibrated now";
    EXPECT_EQ(TSimBytes(m.begin() + 9, m.end()), Bytes({0x19, 0x03, 0x07, 0xD6}));
}

TEST(SimCalibration, CurrentsOutsideTheWindowGetCode11)
{
    struct Case {
        uint8_t type;
        int stage;
        int current;
        bool accepted;
    };
    const Case cases[] = {
        {'M', 5, 3600, true},   {'M', 5, 4400, true},   {'M', 5, 4401, false}, {'M', 5, 3599, false},
        {'M', 5, -1, false},    {'M', 6, 19200, true},  {'M', 6, 20800, true}, {'M', 6, 20801, false},
        {'N', 5, 150, true},    {'N', 5, 30, true},     {'N', 5, 171, false},  {'N', 5, 4000, false},
        {'N', 6, 5100, true},   {'N', 6, 4799, false},  {'N', 6, 20000, false},
    };
    for (const Case& c : cases) {
        TSimEngine e(Bench(c.type, 20), {}, 0.0);
        for (int stage = 1; stage < c.stage; ++stage) {
            const int nominal = c.type == 'M' ? 4000 : 100;
            ASSERT_EQ(Body(e.HandleRequest(stage == 5 ? Current(5, nominal) : Stage(stage), 0)), kOkM);
        }
        EXPECT_EQ(Body(e.HandleRequest(Current(c.stage, c.current), 0)), c.accepted ? kOkM : RefusedM(11))
            << char(c.type) << " stage " << c.stage << " " << c.current;
    }
}

TEST(SimCalibration, StagesRunInOrderAndMayBeRepeated)
{
    TSimEngine e(Bench('M', 20), {}, 0.0);
    EXPECT_EQ(Body(e.HandleRequest(Stage(3), 0)), RefusedM(11)) << "no skipping ahead";
    EXPECT_EQ(Body(e.HandleRequest(Stage(1), 0)), kOkM);
    EXPECT_EQ(Body(e.HandleRequest(Stage(2), 0)), kOkM);
    EXPECT_EQ(Body(e.HandleRequest(Stage(2), 0)), kOkM) << "a lost answer makes the program repeat";
    EXPECT_EQ(Body(e.HandleRequest(Stage(4), 0)), RefusedM(11));
    EXPECT_EQ(Body(e.HandleRequest(Stage(8), 0)), RefusedM(11));
    EXPECT_EQ(Body(e.HandleRequest(Stage(0), 0)), kOkM) << "cancel";
    EXPECT_EQ(e.CalibrationProgress(), 0);
    EXPECT_EQ(Body(e.HandleRequest(Stage(3), 0)), RefusedM(11));
    EXPECT_EQ(Body(e.HandleRequest(Stage(1), 0)), kOkM) << "stage 1 starts afresh";
}

TEST(SimCalibration, BadDateAndDeadConverter)
{
    TSimEngine e(Bench('M', 20), {}, 0.0);
    for (int stage = 1; stage <= 4; ++stage)
        ASSERT_EQ(Body(e.HandleRequest(Stage(stage), 0)), kOkM);
    ASSERT_EQ(Body(e.HandleRequest(Current(5, 4000), 0)), kOkM);
    ASSERT_EQ(Body(e.HandleRequest(Current(6, 20000), 0)), kOkM);
    EXPECT_EQ(Body(e.HandleRequest(Stage(7, 31, 2, 0x07, 0xD5), 0)), RefusedM(11)) << "31 February";
    EXPECT_EQ(Body(e.HandleRequest(Stage(7, 0, 0, 0, 0), 0)), RefusedM(11));
    EXPECT_EQ(e.State().calibrDate, MakeSimDate(25, 3, 2005));

    TSimState dead = Bench('M', 20);
    dead.diagState = 1;
    TSimEngine d(dead, {}, 0.0);
    EXPECT_EQ(Body(d.HandleRequest(Stage(1), 0)), RefusedM(10));
}

TEST(SimCorrections, R0CorrectionNearZeroOnlyAndOnce)
{
    TSimEngine far(Bench('M', 20.5), {}, 0.0);
    EXPECT_EQ(Body(far.HandleRequest(Req({5, 'N', 1}), 0)), Bytes({5, 0xCE, 12}));
    EXPECT_FALSE(far.TakeStateChanged());

    TSimEngine e(Bench('M', -3.2), {}, 0.0);
    EXPECT_EQ(Reading(e), -32);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'N', 1}), 0)), Bytes({5, 'N', 0}));
    EXPECT_TRUE(e.TakeStateChanged());
    EXPECT_EQ(Reading(e), 0) << "the sensor stands at 0 deg C after the correction";
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'N', 1}), 0)), Bytes({5, 0xCE, 13}));
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'N', 0}), 0)), Bytes({5, 'N', 0})) << "reset";
    EXPECT_EQ(Reading(e), -32);
    EXPECT_FALSE(e.State().r0Corrected);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'N', 2}), 0)), Bytes({5, 0xCE, 11}));

    TSimEngine edge(Bench('M', 20.0), {}, 0.0);
    EXPECT_EQ(Body(edge.HandleRequest(Req({5, 'N', 1}), 0)), Bytes({5, 'N', 0})) << "20 deg C is still near enough";

    TSimState broken = Bench('M', 0);
    broken.diagState = 3;
    TSimEngine b(broken, {}, 0.0);
    EXPECT_EQ(Body(b.HandleRequest(Req({5, 'N', 1}), 0)), Bytes({5, 0xCE, 10}));
}

TEST(SimCorrections, NsxDialogue)
{
    TSimEngine near(Bench('M', 19.9), {}, 0.0);
    EXPECT_EQ(Body(near.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 0xCF, 15}));

    TSimEngine e(Bench('M', 100.0), {}, 0.0);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 2, 0x03, 0xE8}), 0)), Bytes({5, 0xCF, 11})) << "step 2 first";
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 'O', 0}));
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 2, 0x04, 0x4D}), 0)), Bytes({5, 0xCF, 16})) << "110.1 is over 5 %";
    EXPECT_FALSE(e.TakeStateChanged());

    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 'O', 0}));
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 2, 0x03, 0xFC}), 0)), Bytes({5, 'O', 0})); // 102.0
    EXPECT_TRUE(e.TakeStateChanged());
    EXPECT_EQ(Reading(e), 1020);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 0xCF, 14}));
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 1, 0, 1}), 0)), Bytes({5, 'O', 0})) << "reset";
    EXPECT_EQ(Reading(e), 1000);
    EXPECT_EQ(Body(e.HandleRequest(Req({5, 'O', 3, 0, 0}), 0)), Bytes({5, 0xCF, 11}));

    TSimEngine cold(Bench('M', -50.0), {}, 0.0);
    EXPECT_EQ(Body(cold.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 'O', 0}));
    EXPECT_EQ(Body(cold.HandleRequest(Req({5, 'O', 2, 0xFE, 0x0C}), 0)), Bytes({5, 'O', 0})); // -50.0

    // The bench went to 0 between the two steps: no scale can be taken from a zero reading.
    TSimEngine moved(Bench('M', 100.0), {}, 0.0);
    EXPECT_EQ(Body(moved.HandleRequest(Req({5, 'O', 1, 0, 0}), 0)), Bytes({5, 'O', 0}));
    moved.SetTemperature(0.0);
    moved.TakeStateChanged();
    EXPECT_EQ(Body(moved.HandleRequest(Req({5, 'O', 2, 0, 0}), 0)), Bytes({5, 0xCF, 15}));
    EXPECT_FALSE(moved.State().nsxCorrected);
    EXPECT_DOUBLE_EQ(moved.State().nsxGain, 1.0);
    moved.SetTemperature(50.0);
    EXPECT_EQ(Reading(moved), 500);
}

TEST(SimMeasurement, NoiseStaysSmallAndAveragingCalmsIt)
{
    TSimState s = Bench('M', 50.0);
    TSimEngine noisy(s, {}, 0.5, 7);
    s.averageCode = 178; // 30 s
    TSimEngine calm(s, {}, 0.5, 7);
    double prevNoisy = noisy.Measure(0).temperature, prevCalm = calm.Measure(0).temperature;
    double jumpNoisy = 0, jumpCalm = 0;
    for (int i = 1; i <= 200; ++i) {
        const double a = noisy.Measure(i * 1000).temperature;
        const double b = calm.Measure(i * 1000).temperature;
        EXPECT_NEAR(a, 50.0, 0.75);
        EXPECT_NEAR(b, 50.0, 0.75);
        jumpNoisy = std::max(jumpNoisy, std::abs(a - prevNoisy));
        jumpCalm = std::max(jumpCalm, std::abs(b - prevCalm));
        prevNoisy = a;
        prevCalm = b;
    }
    EXPECT_GT(jumpNoisy, 0.1) << "the reading is alive";
    EXPECT_LT(jumpCalm, jumpNoisy / 3) << "30 s averaging smooths the jitter";
}

// The demo's simulator runs with its default bench and noise: the R0
// correction must not depend on when it is asked for.
TEST(SimCorrections, DefaultBenchAcceptsTheR0CorrectionAtAnyMoment)
{
    const TSimState defaults;
    for (int64_t ms = 0; ms < 120000; ms += 750) {
        TSimState s = defaults;
        s.address = 5;
        TSimEngine e(s); // default noise
        ASSERT_EQ(Body(e.HandleRequest(Req({5, 'N', 1}), ms)), Bytes({5, 'N', 0})) << "at " << ms << " ms";
    }
}
