#include "app/StartupProbe.h"

#include <QBuffer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct ProbeRig
{
    QWidget window;
    QBuffer out;
    ProbeRig()
    {
        window.setFixedSize(200, 100);
        out.open(QIODevice::WriteOnly);
    }
    // Shown, and the event loop turned until the picture is out.
    bool ShowAndPaint()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        return QTest::qWaitFor([this] { return !out.data().isEmpty(); }, 2000);
    }
};

} // namespace

TEST(StartupProbe, ModeNames)
{
    TStartupProbe::TMode mode = TStartupProbe::TMode::Report;
    EXPECT_TRUE(TStartupProbe::ModeFromText(QStringLiteral("QUIT"), &mode));
    EXPECT_EQ(mode, TStartupProbe::TMode::Quit);
    EXPECT_TRUE(TStartupProbe::ModeFromText(QStringLiteral("report"), &mode));
    EXPECT_EQ(mode, TStartupProbe::TMode::Report);
    EXPECT_FALSE(TStartupProbe::ModeFromText(QString(), &mode));
    EXPECT_FALSE(TStartupProbe::ModeFromText(QStringLiteral("1"), &mode));
}

TEST(StartupProbe, ReportsTheFirstPaintOnceAndLeavesTheWindowOpen)
{
    ProbeRig rig;
    new TStartupProbe(&rig.window, TStartupProbe::TMode::Report, &rig.out);
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.out.data().isEmpty()) << "nothing before the window is shown";

    ASSERT_TRUE(rig.ShowAndPaint());
    EXPECT_EQ(rig.out.data(), QByteArray(TStartupProbe::kShownLine));
    rig.window.repaint();
    QTest::qWait(20);
    EXPECT_EQ(rig.out.data(), QByteArray(TStartupProbe::kShownLine)) << "a later paint is not reported";
    EXPECT_TRUE(rig.window.isVisible());
}

TEST(StartupProbe, OtherWindowsDoNotCount)
{
    ProbeRig rig;
    new TStartupProbe(&rig.window, TStartupProbe::TMode::Quit, &rig.out);
    QWidget dialog;
    dialog.setFixedSize(100, 50);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(20);
    EXPECT_TRUE(rig.out.data().isEmpty()) << "a window shown before the main one is not it";
}

TEST(StartupProbe, QuitModeClosesTheWindowAfterReporting)
{
    ProbeRig rig;
    new TStartupProbe(&rig.window, TStartupProbe::TMode::Quit, &rig.out);
    ASSERT_TRUE(rig.ShowAndPaint());
    EXPECT_EQ(rig.out.data(), QByteArray(TStartupProbe::kShownLine));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.window.isVisible(); }, 2000));
}

TEST(StartupProbe, OnlyWhenTheEnvironmentAsks)
{
    QWidget window;
    qunsetenv("ZELKOR_STARTUP_PROBE");
    EXPECT_EQ(TStartupProbe::FromEnvironment(&window), nullptr);
    qputenv("ZELKOR_STARTUP_PROBE", "yes");
    EXPECT_EQ(TStartupProbe::FromEnvironment(&window), nullptr);
    qputenv("ZELKOR_STARTUP_PROBE", "quit");
    TStartupProbe* probe = TStartupProbe::FromEnvironment(&window);
    qunsetenv("ZELKOR_STARTUP_PROBE");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->parent(), &window);
}
