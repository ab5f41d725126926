#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbDrawCore.h"
#include "rbcontrols/RbMarks.h"
#include "rbcontrols/RbRadioButton.h"
#include "rb_test_util.h"

#include <gtest/gtest.h>

using namespace rbtest;

TEST(Marks, PixelTables)
{
    const QImage& check = RbMarkBitmap("CHECK");
    ASSERT_EQ(check.size(), QSize(8, 8));
    EXPECT_EQ(At(check, 7, 1), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(check, 0, 7), (TRgb{255, 0, 255}));
    EXPECT_EQ(At(check, 3, 7), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(check, 3, 4), (TRgb{255, 0, 255}));
    int black = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            black += At(check, x, y) == TRgb{0, 0, 0};
    EXPECT_EQ(black, 1 + 2 + 4 + 5 + 5 + 3 + 1);

    const QImage& dot = RbMarkBitmap("CIRC3D");
    EXPECT_EQ(At(dot, 2, 1), (TRgb{96, 64, 0}));
    EXPECT_EQ(At(dot, 2, 2), (TRgb{128, 64, 0}));
    EXPECT_EQ(At(dot, 3, 2), (TRgb{0, 64, 0}));
    EXPECT_EQ(At(dot, 2, 3), (TRgb{0, 64, 0}));
    EXPECT_EQ(At(dot, 5, 4), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(dot, 0, 7), (TRgb{255, 255, 255}));
    EXPECT_TRUE(RbMarkBitmap("OTHER").isNull());
}

TEST(CheckBox, BoxPositionByHeight)
{
    const struct {
        int h;
        QPoint at;
    } cases[] = {{17, {2, 2}}, {21, {2, 4}}, {13, {2, 0}}};
    for (const auto& c : cases) {
        TRbCheckBox cb;
        cb.resize(130, c.h);
        cb.SetColor(clWhite);
        cb.Colors().SetBorderColor(RGBColor(1, 2, 3));
        EXPECT_EQ(cb.BoxRect().topLeft(), c.at) << c.h;
        const QImage img = cb.RenderBuffer();
        const int x = c.at.x(), y = c.at.y();
        EXPECT_EQ(At(img, x, y), (TRgb{1, 2, 3})) << c.h;
        EXPECT_EQ(At(img, x + 12, y + 12), (TRgb{1, 2, 3})) << c.h;
        EXPECT_EQ(At(img, x - 1, y + 6), (TRgb{255, 255, 255})) << c.h;
        EXPECT_EQ(At(img, x + 13, y + 6), (TRgb{255, 255, 255})) << c.h;
        if (y > 0) {
            EXPECT_EQ(At(img, x + 6, y - 1), (TRgb{255, 255, 255})) << c.h;
        }
    }
}

TEST(CheckBox, CheckedDrawsTheTintedTick)
{
    TRbCheckBox cb;
    cb.SetCheckColor(RGBColor(0, 0, 200));
    cb.SetChecked(true);
    const QRect box = cb.BoxRect();
    // the mark stands at box + (2, 2); its pixel (7, 1) is ink
    QImage img = cb.RenderBuffer();
    EXPECT_EQ(At(img, box.left() + 2 + 7, box.top() + 2 + 1), (TRgb{0, 0, 200}));
    cb.SetEnabled(false);
    img = cb.RenderBuffer();
    EXPECT_EQ(At(img, box.left() + 2 + 7, box.top() + 2 + 1), ResolveColor(clGray));
    cb.SetChecked(false);
    cb.SetEnabled(true);
    img = cb.RenderBuffer();
    EXPECT_NE(At(img, box.left() + 2 + 7, box.top() + 2 + 1), (TRgb{0, 0, 200}));
}

TEST(CheckBox, ClickTogglesBeforeOnClickAndCodeNotifiesNoClick)
{
    TRbCheckBox cb;
    QList<bool> seen;
    QList<bool> toggles;
    QObject::connect(&cb, &TRbCheckBox::clicked, [&] { seen << cb.Checked(); });
    QObject::connect(&cb, &TRbCheckBox::toggled, [&](bool on) { toggles << on; });
    LeftClick(&cb);
    LeftClick(&cb);
    EXPECT_EQ(seen, QList<bool>({true, false}));
    cb.SetChecked(true);
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(toggles, QList<bool>({true, false, true}));
}

TEST(CheckBox, ReleaseAfterLeavingDoesNotToggle)
{
    TRbCheckBox cb;
    Enter(&cb);
    Mouse(&cb, QEvent::MouseButtonPress);
    EXPECT_TRUE(cb.Pressed());
    Leave(&cb);
    EXPECT_FALSE(cb.Pressed());
    Mouse(&cb, QEvent::MouseButtonRelease, {500, 5});
    EXPECT_FALSE(cb.Checked());
}

TEST(CheckBox, BorderLinesWithoutEndPoints)
{
    TRbCheckBox cb;
    cb.resize(40, 17);
    cb.SetColor(clWhite);
    cb.SetBorderLinesColor(RGBColor(9, 9, 9));
    cb.SetBorderLines(blBottom | blRight);
    const QImage img = cb.RenderBuffer();
    EXPECT_EQ(At(img, 0, 16), (TRgb{9, 9, 9}));
    EXPECT_EQ(At(img, 39, 0), (TRgb{9, 9, 9}));
    EXPECT_EQ(At(img, 20, 0), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(img, 0, 8), (TRgb{255, 255, 255}));
}

TEST(RadioButton, CircleSizesAndPositions)
{
    TRbRadioButton rb;
    EXPECT_EQ(rb.CircleSize(), 13);
    EXPECT_EQ(rb.DotOffset(), 3);
    rb.SetColor(clWhite);
    rb.Colors().SetBorderColor(clBlack);
    const struct {
        TRadioSize size;
        int cs, dot;
        QPoint at;
    } cases[] = {{rsMedium, 13, 3, {2, 2}}, {rsLarge, 15, 4, {2, 1}}, {rsSmall, 11, 2, {2, 3}}};
    for (const auto& c : cases) {
        rb.SetRadioType(c.size);
        EXPECT_EQ(rb.CircleSize(), c.cs);
        EXPECT_EQ(rb.DotOffset(), c.dot);
        EXPECT_EQ(rb.NormalLayer().size(), QSize(c.cs, c.cs));
        EXPECT_EQ(rb.CircleRect(), QRect(c.at, QSize(c.cs, c.cs)));
        const QImage img = rb.RenderBuffer();
        const int mid = c.at.y() + c.cs / 2, centreX = c.at.x() + c.cs / 2;
        // the ring starts right at the circle's square
        EXPECT_EQ(At(img, c.at.x() - 1, mid), (TRgb{255, 255, 255})) << c.size;
        EXPECT_NE(At(img, c.at.x(), mid), (TRgb{255, 255, 255})) << c.size;
        EXPECT_EQ(At(img, centreX, c.at.y() - 1), (TRgb{255, 255, 255})) << c.size;
        EXPECT_NE(At(img, centreX, c.at.y()), (TRgb{255, 255, 255})) << c.size;
        EXPECT_EQ(At(img, c.at.x(), c.at.y()), (TRgb{255, 255, 255})) << c.size; // corner outside the circle
    }
}

TEST(RadioButton, RingIsSmoothedBySupersampling)
{
    TRbRadioButton rb;
    rb.SetColor(clWhite);
    rb.Colors().SetDefaultFrom(clWhite);
    rb.Colors().SetDefaultTo(clWhite);
    rb.Colors().SetBorderColor(clBlack);
    rb.RebuildLayers();
    const QImage& layer = rb.NormalLayer();
    // some ring pixels are partly covered: neither white nor black
    int partial = 0, black = 0;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            const TRgb p = At(layer, x, y);
            partial += p.r > 0 && p.r < 255;
            black += p.r == 0;
        }
    EXPECT_GT(partial, 8);
    EXPECT_EQ(At(layer, 6, 6), (TRgb{255, 255, 255})); // the inside stays clear
}

TEST(RadioButton, OnClickRunsUncheckedThenReleaseChecksAndUnchecksSiblings)
{
    QWidget panel, elsewhere;
    TRbRadioButton a(&panel), b(&panel), far(&elsewhere);
    a.SetChecked(true);
    far.SetChecked(true);
    QList<bool> seen;
    QObject::connect(&b, &TRbRadioButton::clicked, [&] { seen << b.Checked(); });
    LeftClick(&b);
    EXPECT_EQ(seen, QList<bool>({false}));
    EXPECT_TRUE(b.Checked());
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(far.Checked()); // grouped by parent only
    LeftClick(&b);
    EXPECT_TRUE(b.Checked()); // stays checked
    a.SetChecked(true);       // in code as well
    EXPECT_FALSE(b.Checked());
}

TEST(RadioButton, ReleaseAfterLeavingDoesNotCheck)
{
    TRbRadioButton rb;
    Mouse(&rb, QEvent::MouseButtonPress);
    Leave(&rb);
    Mouse(&rb, QEvent::MouseButtonRelease);
    EXPECT_FALSE(rb.Checked());
}

TEST(RadioButton, CheckedDotAndPressedLookOnTheHotBase)
{
    TRbRadioButton rb;
    rb.SetColor(clWhite);
    rb.SetCheckColor(RGBColor(0, 0, 200));
    rb.SetChecked(true);
    const QRect q = rb.CircleRect();
    QImage img = rb.RenderBuffer();
    // dot pixel (5, 4) of the mark is ink
    EXPECT_EQ(At(img, q.left() + 3 + 5, q.top() + 3 + 4), (TRgb{0, 0, 200}));

    TRbRadioButton p;
    p.SetColor(clWhite);
    p.Colors().SetOverFrom(RGBColor(0, 100, 0));
    p.Colors().SetOverTo(RGBColor(0, 100, 0));
    p.Colors().SetClickedFrom(RGBColor(0, 0, 100));
    p.Colors().SetClickedTo(RGBColor(0, 0, 100));
    Mouse(&p, QEvent::MouseButtonPress);
    p.FadeTick();
    p.FadeTick(); // PressLevel 50 with no hover: hot and pressed mixed half and half
    ASSERT_EQ(p.PressLevel(), 50);
    ASSERT_EQ(p.HoverLevel(), 0);
    img = p.RenderBuffer();
    const QRect c = p.CircleRect();
    EXPECT_EQ(At(img, c.left() + 6, c.top() + 6), (TRgb{0, 50, 50}));
}

TEST(RadioButton, FadeSpeedSelectsTheInterval)
{
    TRbRadioButton rb;
    rb.SetFadeSpeed(fsFast);
    Enter(&rb);
    EXPECT_EQ(rb.FadeTimerInterval(), 12);
    EXPECT_TRUE(rb.FadeRunning());
}
