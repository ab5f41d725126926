#include "rbcontrols/RbDrawCore.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

TRgb At(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

int Grey(const QImage& img, int x, int y) { return At(img, x, y).r; }

QImage Filled(int w, int h, TColor c) { return MakeBitmap(w, h, c); }

} // namespace

TEST(RbRound, TiesGoToEven)
{
    EXPECT_EQ(RbRound(0.5), 0);
    EXPECT_EQ(RbRound(1.5), 2);
    EXPECT_EQ(RbRound(2.5), 2);
    EXPECT_EQ(RbRound(127.5), 128);
    EXPECT_EQ(RbRound(-0.5), 0);
    EXPECT_EQ(RbRound(2.51), 3);
}

TEST(GradientFill, HorizontalBlackToWhiteStopsOneStepShort)
{
    QImage five = Filled(5, 1, clRed);
    GradientFill(five, QRect(0, 0, 5, 1), clBlack, clWhite, gtHorizontal);
    const int want5[] = {0, 51, 102, 153, 204};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(Grey(five, x, 0), want5[x]) << x;
        EXPECT_EQ(At(five, x, 0), (TRgb{uchar(want5[x]), uchar(want5[x]), uchar(want5[x])}));
    }

    QImage two = Filled(2, 1, clRed);
    GradientFill(two, QRect(0, 0, 2, 1), clBlack, clWhite, gtHorizontal);
    EXPECT_EQ(Grey(two, 0, 0), 0);
    EXPECT_EQ(Grey(two, 1, 0), 128); // 127.5 rounds to the even neighbour
}

TEST(GradientFill, EqualColoursFillOnlyTheRegion)
{
    QImage img = Filled(10, 10, clBlack);
    const QRegion rgn = EllipseRegion(QRect(0, 0, 10, 10));
    GradientFill(img, QRect(0, 0, 10, 10), clGreen, clGreen, gtFromTopLeft, &rgn);
    EXPECT_EQ(At(img, 5, 5), ResolveColor(clGreen));
    EXPECT_EQ(At(img, 0, 0), ResolveColor(clBlack)); // corner lies outside the ellipse
    EXPECT_EQ(At(img, 9, 9), ResolveColor(clBlack));
    int inside = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (rgn.contains(QPoint(x, y))) {
                ++inside;
                EXPECT_EQ(At(img, x, y), ResolveColor(clGreen)) << x << "," << y;
            } else {
                EXPECT_EQ(At(img, x, y), ResolveColor(clBlack)) << x << "," << y;
            }
    EXPECT_GT(inside, 50);
}

TEST(GradientFill, EqualColoursWithoutRegionFillTheRectOnly)
{
    QImage img = Filled(6, 6, clBlack);
    GradientFill(img, QRect(1, 1, 3, 3), clBtnFace, clBtnFace, gtVertical);
    EXPECT_EQ(At(img, 1, 1), ResolveColor(clBtnFace));
    EXPECT_EQ(At(img, 3, 3), ResolveColor(clBtnFace));
    EXPECT_EQ(At(img, 4, 4), ResolveColor(clBlack));
    EXPECT_EQ(At(img, 0, 0), ResolveColor(clBlack));
}

// Corner pixels of each type on a 4 x 3 bitmap, black to white:
// W = 4, H = 3, D = Round(5.0) = 5.
TEST(GradientFill, CornerPixelsOfEveryType)
{
    struct Case {
        TGradientType type;
        int tl, tr, bl, br; // (0,0) (3,0) (0,2) (3,2)
    };
    const Case cases[] = {
        // step 255/4: 3 * 63.75 = 191.25
        {gtHorizontal, 0, 191, 0, 191},
        // step 85: 2 * 85 = 170
        {gtVertical, 0, 0, 170, 170},
        // span 5, step 51; d = 0, 3, 2, sqrt(13) = 3.606 -> 183.9
        {gtFromTopLeft, 0, 153, 102, 184},
        // d from (4, 0): 4, 1, sqrt(20) = 4.472 -> 228.1, sqrt(5) = 2.236 -> 114.0
        {gtFromTopRight, 204, 51, 228, 114},
        // span 5 div 2 = 2, step 127.5, centre (2, 1); corners at sqrt(5) and sqrt(2):
        // 285.1 is past white and saturates, 180.3
        {gtRadial, 255, 180, 255, 180},
        // span 2, d = |x - 2|: 2 -> 255, 1 -> 127.5 -> 128
        {gtDoubleHorz, 255, 128, 255, 128},
        // span 1, d = |y - 1|: both edges white
        {gtDoubleVert, 255, 255, 255, 255},
    };
    for (const Case& c : cases) {
        QImage img = Filled(4, 3, clRed);
        GradientFill(img, QRect(0, 0, 4, 3), clBlack, clWhite, c.type);
        EXPECT_EQ(Grey(img, 0, 0), c.tl) << "type " << c.type;
        EXPECT_EQ(Grey(img, 3, 0), c.tr) << "type " << c.type;
        EXPECT_EQ(Grey(img, 0, 2), c.bl) << "type " << c.type;
        EXPECT_EQ(Grey(img, 3, 2), c.br) << "type " << c.type;
    }
    // The centres of the symmetric types carry the start colour.
    QImage radial = Filled(4, 3, clRed);
    GradientFill(radial, QRect(0, 0, 4, 3), clBlack, clWhite, gtRadial);
    EXPECT_EQ(Grey(radial, 2, 1), 0);
    QImage dv = Filled(4, 3, clRed);
    GradientFill(dv, QRect(0, 0, 4, 3), clBlack, clWhite, gtDoubleVert);
    EXPECT_EQ(Grey(dv, 1, 1), 0);
}

TEST(GradientFill, ChannelsRunSeparatelyAndRegionClips)
{
    QImage img = Filled(3, 3, clBlack);
    const QRegion rgn(QRect(0, 0, 2, 3));
    // red 0 -> 30, blue 90 -> 0 over a span of 3
    GradientFill(img, QRect(0, 0, 3, 3), RGBColor(0, 0, 90), RGBColor(30, 0, 0), gtHorizontal, &rgn);
    EXPECT_EQ(At(img, 0, 1), (TRgb{0, 0, 90}));
    EXPECT_EQ(At(img, 1, 1), (TRgb{10, 0, 60}));
    EXPECT_EQ(At(img, 2, 1), (TRgb{0, 0, 0})); // outside the region
}

TEST(GradientFill, DegenerateInputsAreHarmless)
{
    QImage empty;
    GradientFill(empty, QRect(0, 0, 5, 5), clBlack, clWhite, gtVertical); // no bitmap
    QImage one = Filled(1, 1, clRed);
    GradientFill(one, QRect(0, 0, 1, 1), clBlack, clWhite, gtDoubleHorz); // span 0
    EXPECT_EQ(At(one, 0, 0), (TRgb{0, 0, 0}));
    QImage small = Filled(2, 2, clRed);
    GradientFill(small, QRect(-5, -5, 20, 20), clBlack, clWhite, gtVertical); // larger than the bitmap
    EXPECT_EQ(Grey(small, 0, 0), RbRound(5 * 255.0 / 20));
}

TEST(BlendBitmap, FullShareCopiesAndHalfShareRoundsToEven)
{
    QImage src = MakeBitmap(2, 2);
    src.fill(QColor(21, 200, 7));
    QImage dest = Filled(4, 4, RGBColor(10, 10, 10));
    BlendBitmap(dest, src, QRect(1, 1, 2, 2), 100);
    EXPECT_EQ(At(dest, 1, 1), (TRgb{21, 200, 7}));
    EXPECT_EQ(At(dest, 2, 2), (TRgb{21, 200, 7}));
    EXPECT_EQ(At(dest, 0, 0), (TRgb{10, 10, 10}));
    EXPECT_EQ(At(dest, 3, 3), (TRgb{10, 10, 10}));

    QImage half = Filled(2, 2, RGBColor(10, 10, 10));
    BlendBitmap(half, src, QRect(0, 0, 2, 2), 50);
    // 0.5*10 + 0.5*21 = 15.5 -> 16; 0.5*10 + 0.5*7 = 8.5 -> 8
    EXPECT_EQ(At(half, 0, 0), (TRgb{16, 105, 8}));
}

TEST(ComposeLayers, LevelZeroOnlyCopiesTheBaseAtTheInset)
{
    QImage base = Filled(4, 4, RGBColor(1, 2, 3));
    QImage overlay = Filled(4, 4, clWhite);
    QImage dest = Filled(4, 4, clBlack);
    ComposeLayers(dest, base, overlay, 1, QRect(0, 0, 4, 4), 0);
    EXPECT_EQ(At(dest, 0, 0), (TRgb{0, 0, 0})); // the inset row and column stay
    EXPECT_EQ(At(dest, 1, 1), (TRgb{1, 2, 3}));
    EXPECT_EQ(At(dest, 3, 3), (TRgb{1, 2, 3}));
    QImage negative = Filled(4, 4, clBlack);
    ComposeLayers(negative, base, overlay, 0, QRect(0, 0, 4, 4), -10);
    EXPECT_EQ(At(negative, 2, 2), (TRgb{1, 2, 3}));

    QImage blended = Filled(4, 4, clBlack);
    ComposeLayers(blended, base, overlay, 0, QRect(0, 0, 4, 4), 150); // capped at 100
    EXPECT_EQ(At(blended, 2, 2), (TRgb{255, 255, 255}));
}

TEST(ComposeLayers, BaseMayBeTheDestinationAndEmptyBlocksCopyNothing)
{
    QImage img = MakeBitmap(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            img.setPixelColor(x, y, QColor(x * 10, y * 10, 0));
    ComposeLayers(img, img, img, 1, QRect(0, 0, 3, 3), 0);
    // the 2 x 2 block at (0, 0) now also stands at (1, 1)
    EXPECT_EQ(At(img, 1, 1), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(img, 2, 1), (TRgb{10, 0, 0}));
    EXPECT_EQ(At(img, 2, 2), (TRgb{10, 10, 0}));
    EXPECT_EQ(At(img, 3, 3), (TRgb{30, 30, 0}));

    QImage dest = Filled(13, 13, clBlack);
    const QImage copy = dest;
    ComposeLayers(dest, dest, dest, 10, QRect(2, 2, 9, 9), 0); // block -1 x -1
    EXPECT_EQ(dest, copy);
}

TEST(TintBitmap, BlackTakesTheTintAndGreyAddsSaturating)
{
    QImage img = MakeBitmap(3, 1);
    img.setPixelColor(0, 0, QColor(0, 0, 0));
    img.setPixelColor(1, 0, QColor(255, 0, 255));
    img.setPixelColor(2, 0, QColor(255, 255, 255));
    TintBitmap(img, clGreen);
    EXPECT_EQ(At(img, 0, 0), ResolveColor(clGreen));
    EXPECT_EQ(At(img, 1, 0), (TRgb{170, 255, 170}));
    EXPECT_EQ(At(img, 2, 0), (TRgb{255, 255, 255}));

    QImage grey = MakeBitmap(1, 1);
    grey.setPixelColor(0, 0, QColor(10, 20, 31)); // grey 61/3 = 20
    TintBitmap(grey, 0x404040);
    EXPECT_EQ(At(grey, 0, 0), (TRgb{84, 84, 84}));
}

TEST(DownsampleBitmap, UniformStaysExactAndBlocksAverage)
{
    const TRgb c{37, 141, 250};
    QImage src = Filled(9, 6, RGBColor(c.r, c.g, c.b));
    QImage dst = Filled(3, 2, clBlack);
    DownsampleBitmap(src, dst, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(dst, x, y), c);

    // one white pixel in a black 3 x 3 block: 255 div 9 = 28
    QImage spot = Filled(3, 3, clBlack);
    spot.setPixelColor(1, 1, Qt::white);
    QImage one = Filled(1, 1, clRed);
    DownsampleBitmap(spot, one, 3);
    EXPECT_EQ(At(one, 0, 0), (TRgb{28, 28, 28}));
}

TEST(DownsampleBorder, SmoothsTheBandAndFlattensTheInside)
{
    // 30 x 30 destination from a 90 x 90 source with a white outer ring of 3 px
    QImage src = Filled(90, 90, clWhite);
    FillRect(src, QRect(3, 3, 84, 84), clBlack);
    src.setPixelColor(45, 45, Qt::white); // would show if the inside were shrunk
    QImage dst = Filled(30, 30, clRed);
    DownsampleBorder(src, dst, 3, clGreen, 8); // m = 4
    EXPECT_EQ(At(dst, 0, 0), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(dst, 1, 1), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(dst, 29, 15), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(dst, 3, 15), (TRgb{0, 0, 0}));
    for (int y = 4; y < 26; ++y)
        for (int x = 4; x < 26; ++x)
            ASSERT_EQ(At(dst, x, y), ResolveColor(clGreen)) << x << "," << y;
    EXPECT_EQ(At(dst, 26, 26), (TRgb{0, 0, 0}));
}

TEST(DrawTransparent, SkipsTheKeyColour)
{
    QImage mark = Filled(2, 1, clWhite);
    mark.setPixelColor(1, 0, QColor(1, 2, 3));
    QImage dest = Filled(3, 3, clBlack);
    DrawTransparent(dest, mark, 1, 1, TRgb{255, 255, 255});
    EXPECT_EQ(At(dest, 1, 1), (TRgb{0, 0, 0}));
    EXPECT_EQ(At(dest, 2, 1), (TRgb{1, 2, 3}));
    DrawTransparent(dest, mark, 2, 2, TRgb{0, 0, 0}); // half outside: clipped
    EXPECT_EQ(At(dest, 2, 2), (TRgb{255, 255, 255}));
}

namespace {

// Counts pixels of exactly colour c.
int Count(const QImage& img, TRgb c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += At(img, x, y) == c;
    return n;
}

QImage Caption(bool enabled, bool shadowOn)
{
    QImage img = Filled(80, 40, RGBColor(90, 90, 90));
    TRbFont font;
    font.SetHeight(-28);
    font.SetStyle(fsBold);
    font.SetColor(clBlack);
    QPainter p(&img);
    DrawShadowText(p, QStringLiteral("ЖШ"), font, RGBColor(255, 0, 0), shadowOn, CaptionFormat(taCenter, false),
                   img.rect(), enabled);
    return img;
}

} // namespace

TEST(DrawShadowText, ShadowIsOptionalWhenEnabled)
{
    const TRgb red{255, 0, 0}, black{0, 0, 0};
    const QImage plain = Caption(true, false);
    EXPECT_GT(Count(plain, black), 20);
    EXPECT_EQ(Count(plain, red), 0);
    const QImage shadowed = Caption(true, true);
    EXPECT_GT(Count(shadowed, red), 5);
    EXPECT_GT(Count(shadowed, black), 20);
}

TEST(DrawShadowText, DisabledIsEmbossedWhateverTheShadowOption)
{
    const TRgb hi = ResolveColor(clBtnHighlight), lo = ResolveColor(clBtnShadow);
    for (bool shadowOn : {false, true}) {
        const QImage img = Caption(false, shadowOn);
        EXPECT_EQ(Count(img, TRgb{255, 0, 0}), 0);
        EXPECT_EQ(Count(img, TRgb{0, 0, 0}), 0);
        EXPECT_GT(Count(img, lo), 20);
        EXPECT_GT(Count(img, hi), 5);
    }
}

TEST(CaptionFormat, AlignmentWrapAndLiteralAmpersand)
{
    const TRbTextFormat l = CaptionFormat(taLeftJustify, false);
    EXPECT_EQ(l.Align, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_FALSE(l.WordWrap);
    EXPECT_TRUE(l.EndEllipsis);
    EXPECT_FALSE(l.Prefix);
    EXPECT_EQ(CaptionFormat(taRightJustify, false).Align, Qt::AlignRight | Qt::AlignVCenter);
    const TRbTextFormat c = CaptionFormat(taCenter, true);
    EXPECT_EQ(c.Align, Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_TRUE(c.WordWrap);
}

TEST(DrawFormattedText, LongSingleLineEndsInEllipsis)
{
    // The cut caption must stay inside its rectangle.
    QImage img = Filled(60, 20, clWhite);
    QPainter p(&img);
    p.setPen(Qt::black);
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);
    DrawFormattedText(p, QStringLiteral("Очень длинная надпись на кнопке"), CaptionFormat(taLeftJustify, false),
                      QRect(0, 0, 40, 20));
    p.end();
    int inked = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 40; x < 60; ++x)
            EXPECT_EQ(At(img, x, y), (TRgb{255, 255, 255})) << x;
        for (int x = 0; x < 40; ++x)
            inked += At(img, x, y).r < 128;
    }
    EXPECT_GT(inked, 10);
}
