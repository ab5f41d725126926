// Nominal static characteristics against the standards' tables, both
// directions, and the expected output current.
#include "device/OutputCurrent.h"
#include "device/SensorCharacteristic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct TTablePoint {
    const char* what;
    int kind;
    double r0, t, ohms;
};

// Pt 0.00385: the values of the IEC 60751 table (Pt100). The others are the
// tables' values as the coefficients give them, rounded to 0.01 ohm:
// Pt 0.00391 with A 3.9690e-3, B -5.841e-7, C -4.330e-12; Cu 0.00428 with
// A 4.28e-3 and, below 0, B -6.2032e-7, C 8.5154e-10.
const TTablePoint kTable[] = {
    {"Pt100 0.00385 at -200", skPt385, 100, -200, 18.52},
    {"Pt100 0.00385 at -100", skPt385, 100, -100, 60.26},
    {"Pt100 0.00385 at -50", skPt385, 100, -50, 80.31},
    {"Pt100 0.00385 at 0", skPt385, 100, 0, 100.00},
    {"Pt100 0.00385 at 100", skPt385, 100, 100, 138.51},
    {"Pt100 0.00385 at 200", skPt385, 100, 200, 175.86},
    {"Pt100 0.00385 at 400", skPt385, 100, 400, 247.09},
    {"Pt100 0.00385 at 600", skPt385, 100, 600, 313.71},
    {"Pt50 0.00385 at 100", skPt385, 50, 100, 69.25},
    {"Pt100 0.00391 at -200", skPt391, 100, -200, 17.24},
    {"Pt100 0.00391 at -100", skPt391, 100, -100, 59.64},
    {"Pt100 0.00391 at 100", skPt391, 100, 100, 139.11},
    {"Pt100 0.00391 at 200", skPt391, 100, 200, 177.04},
    {"Pt100 0.00391 at 600", skPt391, 100, 600, 317.11},
    {"Pt50 0.00391 at 300", skPt391, 50, 300, 106.91},
    {"Cu100 0.00428 at -180", skCu428, 100, -180, 20.53},
    {"Cu100 0.00428 at -100", skCu428, 100, -100, 56.54},
    {"Cu100 0.00428 at -50", skCu428, 100, -50, 78.46},
    {"Cu100 0.00428 at 100", skCu428, 100, 100, 142.80},
    {"Cu100 0.00428 at 200", skCu428, 100, 200, 185.60},
    {"Cu50 0.00428 at -100", skCu428, 50, -100, 28.27},
};

} // namespace

TEST(SensorCharacteristic, ResistanceMatchesTheTables)
{
    for (const TTablePoint& p : kTable)
        EXPECT_NEAR(NominalResistance(p.kind, p.r0, p.t), p.ohms, 0.005) << p.what;
}

TEST(SensorCharacteristic, TemperatureFromTheTablesResistance)
{
    // The table's resistance, good to 0.005 ohm, maps back to its temperature
    // within what 0.005 ohm is worth on that sensor's slope.
    for (const TTablePoint& p : kTable) {
        const double t = NominalTemperature(p.kind, p.r0, p.ohms);
        const double ohmsPerDegree = (NominalResistance(p.kind, p.r0, p.t + 0.5) -
                                      NominalResistance(p.kind, p.r0, p.t - 0.5));
        EXPECT_NEAR(t, p.t, 0.005 / ohmsPerDegree + 1e-9) << p.what;
    }
}

TEST(SensorCharacteristic, InverseIsExactOverTheRange)
{
    for (const int kind : {skPt391, skPt385, skCu428}) {
        const TTempLimits lim = SensorSpanLimits(kind);
        for (double t = lim.min; t <= lim.max; t += 12.5) {
            for (const double r0 : {50.0, 100.0}) {
                const double ohms = NominalResistance(kind, r0, t);
                EXPECT_NEAR(NominalTemperature(kind, r0, ohms), t, 1e-6) << "kind " << kind << " at " << t;
            }
        }
        // Just below 0, where the cubic term takes over.
        EXPECT_NEAR(NominalTemperature(kind, 100, NominalResistance(kind, 100, -0.01)), -0.01, 1e-9);
    }
}

TEST(SensorCharacteristic, ResistancesNoTemperatureGives)
{
    EXPECT_TRUE(std::isnan(NominalTemperature(skPt385, 100, 0)));
    EXPECT_TRUE(std::isnan(NominalTemperature(skPt385, 100, -5)));
    EXPECT_TRUE(std::isnan(NominalTemperature(skPt385, 100, NAN)));
    EXPECT_TRUE(std::isnan(NominalTemperature(skPt385, 0, 100)));
    EXPECT_TRUE(std::isnan(NominalTemperature(skPt385, 100, 5000)));
    EXPECT_TRUE(std::isnan(NominalTemperature(skCu428, 100, 1.0)));
}

TEST(SensorCharacteristic, KindsAndLimits)
{
    EXPECT_EQ(SensorSpanLimits(skPt391).min, -200);
    EXPECT_EQ(SensorSpanLimits(skPt385).max, 600);
    EXPECT_EQ(SensorSpanLimits(skCu428).min, -100);
    EXPECT_EQ(SensorSpanLimits(skCu428).max, 200);
    EXPECT_TRUE(IsKnownSensorKind(3));
    EXPECT_FALSE(IsKnownSensorKind(0));
    EXPECT_FALSE(IsKnownSensorKind(4));
    // An unknown kind is read as the commonest sensor, not as garbage.
    EXPECT_DOUBLE_EQ(NominalResistance(7, 100, 100), NominalResistance(skPt385, 100, 100));
}

TEST(OutputCurrent, AllFourOutputs)
{
    // Range -50..150: 0 deg C is a quarter of the span.
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', true, -50, 150, -50), 4.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', true, -50, 150, 0), 8.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', true, -50, 150, 150), 20.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', false, -50, 150, -50), 20.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', false, -50, 150, 0), 16.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', false, -50, 150, 150), 4.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', true, -50, 150, -50), 0.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', true, -50, 150, 0), 1.25);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', true, -50, 150, 150), 5.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', false, -50, 150, -50), 5.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', false, -50, 150, 0), 3.75);
    EXPECT_DOUBLE_EQ(ExpectedCurrent('N', false, -50, 150, 150), 0.0);
    // Outside the range the line goes on; an empty range has no line.
    EXPECT_DOUBLE_EQ(ExpectedCurrent('M', true, 0, 100, 110), 21.6);
    EXPECT_TRUE(std::isnan(ExpectedCurrent('M', true, 100, 100, 100)));
    EXPECT_DOUBLE_EQ(OutputRangeOf('N').Span(), 5.0);
    EXPECT_DOUBLE_EQ(OutputRangeOf('M').Span(), 16.0);
}
