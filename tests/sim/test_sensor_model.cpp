// Nominal static characteristics against the values of the standard tables.
#include "SensorModel.h"

#include <gtest/gtest.h>

TEST(SensorModel, TableValues)
{
    struct Case {
        const char* what;
        int kind;
        double r0, t, ohms;
    };
    const Case cases[] = {
        {"Pt100 0.00385 at 0", skPt385, 100, 0, 100.00},
        {"Pt100 0.00385 at 100", skPt385, 100, 100, 138.51},
        {"Pt100 0.00385 at -100", skPt385, 100, -100, 60.26},
        {"Pt100 0.00385 at 600", skPt385, 100, 600, 313.71},
        {"Pt100 0.00385 at -200", skPt385, 100, -200, 18.52},
        {"Pt50 0.00385 at 100", skPt385, 50, 100, 69.25},
        {"Pt100 0.00391 at 100", skPt391, 100, 100, 139.11},
        {"Pt100 0.00391 at -100", skPt391, 100, -100, 59.64},
        {"Cu100 0.00428 at 100", skCu428, 100, 100, 142.80},
        {"Cu100 0.00428 at 200", skCu428, 100, 200, 185.60},
        {"Cu100 0.00428 at -50", skCu428, 100, -50, 78.46},
        {"Cu50 0.00428 at -100", skCu428, 50, -100, 28.27},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(NominalResistance(c.kind, c.r0, c.t), c.ohms, 0.006) << c.what;
}

TEST(SensorModel, LimitsAndKinds)
{
    EXPECT_EQ(SensorLimits(skPt391).min, -200);
    EXPECT_EQ(SensorLimits(skPt385).max, 600);
    EXPECT_EQ(SensorLimits(skCu428).min, -100);
    EXPECT_EQ(SensorLimits(skCu428).max, 200);
    EXPECT_TRUE(IsKnownSensorKind(3));
    EXPECT_FALSE(IsKnownSensorKind(0));
    EXPECT_FALSE(IsKnownSensorKind(4));
}
