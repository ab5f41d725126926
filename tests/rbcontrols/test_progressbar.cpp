#include "rbcontrols/RbProgressBar.h"

#include <QAccessible>
#include <gtest/gtest.h>

namespace {

TRgb At(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

} // namespace

TEST(ProgressBar, CoveredWidthAt80PercentOf137Pixels)
{
    TRbProgressBar bar;
    bar.resize(137, 16);
    bar.SetColor(clWhite);
    bar.SetShowText(false);
    bar.SetGradientType(gtHorizontal); // every column its own shade
    bar.SetDefaultFrom(RGBColor(0, 0, 255));
    bar.SetDefaultTo(RGBColor(0, 255, 0));
    bar.SetPosition(80);
    ASSERT_EQ(bar.Percent(), 80);
    const QImage shown = bar.RenderBuffer();
    const QImage& gradient = bar.GradientImage();
    const int y = 8;
    // 137 * 80 div 100 = 109, less the one-pixel line and the border width.
    for (int x : {2, 50, 106})
        EXPECT_EQ(At(shown, x, y), At(gradient, x, y)) << x;
    for (int x : {107, 108, 120, 135})
        EXPECT_EQ(At(shown, x, y), ResolveColor(clWhite)) << x;
    // The inset rows and columns keep the background; the lines are grey.
    EXPECT_EQ(At(shown, 1, y), ResolveColor(clWhite));
    EXPECT_EQ(At(shown, 50, 1), ResolveColor(clWhite));
    EXPECT_EQ(At(shown, 0, y), ResolveColor(clGray));
    EXPECT_EQ(At(shown, 136, y), ResolveColor(clGray));
    EXPECT_EQ(At(shown, 50, 15), ResolveColor(clGray));
}

TEST(ProgressBar, PositionIsClampedAndPercentRoundsHalfToEven)
{
    TRbProgressBar bar;
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(bar.Percent(), 100);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Percent(), 0);

    bar.SetMax(200);
    bar.SetPosition(1);  // 0.5 %
    EXPECT_EQ(bar.Percent(), 0);
    bar.SetPosition(3);  // 1.5 %
    EXPECT_EQ(bar.Percent(), 2);
    bar.SetPosition(5);  // 2.5 %
    EXPECT_EQ(bar.Percent(), 2);

    bar.SetMin(-200); // |-200 .. 5| of 400
    EXPECT_EQ(bar.Percent(), 51);
}

TEST(ProgressBar, RangeRules)
{
    TRbProgressBar bar;
    bar.SetPosition(60);
    bar.SetMax(0); // not above Min: ignored
    EXPECT_EQ(bar.Max(), 100);
    bar.SetMin(100); // not below Max: ignored
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMax(50); // below Position: Position follows
    EXPECT_EQ(bar.Max(), 50);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(bar.Percent(), 100);
    bar.SetMin(40);
    EXPECT_EQ(bar.Percent(), 100);
    bar.SetPosition(45);
    EXPECT_EQ(bar.Percent(), 50);

    // While loading anything goes; an empty or inverted range shows 0 %
    // and never bounces between its ends.
    TRbProgressBar loading;
    loading.SetLoading(true);
    loading.SetMax(0);
    EXPECT_EQ(loading.Max(), 0);
    EXPECT_EQ(loading.Percent(), 0);
    loading.SetMin(10);
    loading.SetPosition(5);
    EXPECT_EQ(loading.Percent(), 0);
    loading.SetLoading(false);
}

TEST(ProgressBar, BorderWidthBelowHalfTheHeightOnly)
{
    TRbProgressBar bar; // 16 high
    bar.SetBorderWidth(8);
    EXPECT_EQ(bar.BorderWidth(), 1);
    bar.SetBorderWidth(-1);
    EXPECT_EQ(bar.BorderWidth(), 1);
    bar.SetBorderWidth(7);
    EXPECT_EQ(bar.BorderWidth(), 7);
    bar.SetBorderWidth(0);
    EXPECT_EQ(bar.BorderWidth(), 0);

    // Without lines the inset is the border width alone.
    bar.SetBorderLines({});
    bar.SetColor(clWhite);
    bar.SetShowText(false);
    bar.SetDefaultFrom(clBlack);
    bar.SetDefaultTo(clBlack);
    bar.SetPosition(100);
    const QImage shown = bar.RenderBuffer();
    EXPECT_EQ(At(shown, 0, 0), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(shown, 149, 15), (TRgb{0, 0, 0}));
}

TEST(ProgressBar, TextOfCaptionAndPercentage)
{
    TRbProgressBar bar;
    bar.SetPosition(80);
    EXPECT_EQ(bar.DisplayText(), "80%");
    bar.SetCaption(QStringLiteral("Поиск"));
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("Поиск 80%"));
    bar.SetShowText(false);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("Поиск"));
    bar.SetShowCaption(false);
    EXPECT_EQ(bar.DisplayText(), "");
    bar.SetShowText(true);
    EXPECT_EQ(bar.DisplayText(), "80%");

    // The text lands in the middle of the bar.
    bar.SetColor(clWhite);
    bar.SetDefaultFrom(clWhite);
    bar.SetDefaultTo(clWhite);
    bar.Font().SetColor(clBlack);
    const QImage shown = bar.RenderBuffer();
    int darkLeft = 150, darkRight = -1;
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 148; ++x)
            if (At(shown, x, y).r < 128) {
                darkLeft = std::min(darkLeft, x);
                darkRight = std::max(darkRight, x);
            }
    ASSERT_GE(darkRight, darkLeft);
    EXPECT_NEAR((darkLeft + darkRight) / 2.0, 75.0, 4.0);
}

TEST(ProgressBar, VerticalBarGrowsUpwards)
{
    TRbProgressBar bar;
    bar.resize(20, 100);
    bar.SetOrientation(pbVertical);
    bar.SetColor(clWhite);
    bar.SetShowText(false);
    bar.SetDefaultFrom(clBlack);
    bar.SetDefaultTo(clBlack);
    bar.SetPosition(30);
    const QImage shown = bar.RenderBuffer();
    EXPECT_EQ(At(shown, 10, 97), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(shown, 10, 72), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(shown, 10, 60), ResolveColor(clWhite));
}

TEST(ProgressBar, AccessibleWithItsValue)
{
    TRbProgressBar bar;
    bar.SetCaption(QStringLiteral("Поиск"));
    bar.SetPosition(42);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Поиск"));
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 42);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
}
