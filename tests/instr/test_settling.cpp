#include "instr/SettledReading.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ReadSettledTest, StopsWhenSettledPacedByTheInterval)
{
    VirtualClock clock;
    // A first-order approach to 4 mA.
    int n = 0;
    auto sample = [&](double& v, QString*) {
        v = 4.0 + 0.5 * std::exp(-double(n++));
        return true;
    };
    TSettlingRule rule{5, 0.002, 0.002};
    TSettledValue out;
    QString error;
    ASSERT_TRUE(ReadSettled(sample, clock, rule, TSettleLimits{250, 40}, out, &error)) << error.toStdString();
    EXPECT_NEAR(out.mean, 4.0, 0.002);
    EXPECT_LE(out.spread, 0.002);
    EXPECT_EQ(out.readings, n);
    EXPECT_NEAR(clock.elapsedMs(), 250.0 * (n - 1), 1.0);
}

TEST(ReadSettledTest, NoisyReadingsGiveUpWithTheSpread)
{
    VirtualClock clock;
    int n = 0;
    auto sample = [&](double& v, QString*) {
        v = (n++ % 2) ? 4.1 : 3.9;
        return true;
    };
    TSettledValue out;
    QString error;
    EXPECT_FALSE(ReadSettled(sample, clock, TSettlingRule{5, 0.05, 0.05}, TSettleLimits{100, 12}, out, &error));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(error.contains(QStringLiteral("не установились"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("0.2"))) << error.toStdString();
}

TEST(ReadSettledTest, CancelAndFailureEndAtOnce)
{
    VirtualClock clock;
    int n = 0;
    bool stop = false;
    auto sample = [&](double& v, QString*) {
        v = 1.0;
        if (++n == 2)
            stop = true;
        return true;
    };
    TSettledValue out;
    QString error;
    EXPECT_FALSE(ReadSettled(sample, clock, TSettlingRule{}, TSettleLimits{}, out, &error, [&] { return stop; }));
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(error.contains(QStringLiteral("прервано")));

    auto failing = [&](double&, QString* e) {
        *e = QStringLiteral("нет ответа");
        return false;
    };
    EXPECT_FALSE(ReadSettled(failing, clock, TSettlingRule{}, TSettleLimits{}, out, &error));
    EXPECT_EQ(error, QStringLiteral("нет ответа"));
}
