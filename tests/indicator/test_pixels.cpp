// Pixels of the rendered buffer. Buffer pixels are 0xRRGGBB; property colours
// 0x00BBGGRR. Segment centres of indT (cells 39 x 37 at (6 + 39 k, 6)):
//   cell 3 middle segment (18, 18) -> (102, 24)
//   cell 3 lower-right segment (27, 25) -> (111, 31)
//   cell 4 decimal point (33, 32) -> (156, 38)
//   cell 1 middle segment -> (24, 24)

#include "ind_fixture.h"

#include "indicator/IndicatorPixels.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(IndicatorColors, LighterAndDarker)
{
    EXPECT_EQ(LighterColor(0xDDDDDD), 0xFDFDFD);
    EXPECT_EQ(DarkerColor(0xDDDDDD), 0xBDBDBD);
    EXPECT_EQ(LighterColor(0xF0F0F0), 0xFFFFFF);
    EXPECT_EQ(DarkerColor(0x101010), 0x000000);
    EXPECT_EQ(LighterColor(0x00E010), 0x20FF30);  // channels apart
    EXPECT_EQ(DarkerColor(0x00E030), 0x00C010);
}

TEST(IndicatorColors, SystemColoursComeFromThePalette)
{
    QPalette pal;
    pal.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
    pal.setColor(QPalette::Highlight, QColor(0xF0, 0x00, 0x10));
    const TColor btnFace = static_cast<TColor>(0xFF00000F);
    const TColor highlight = static_cast<TColor>(0xFF00000D);
    EXPECT_EQ(ResolveColor(btnFace, pal), 0x563412);
    EXPECT_EQ(ResolveColor(highlight, pal), 0x1000F0);
    EXPECT_EQ(ResolveColor(0x123456, pal), 0x123456);
    EXPECT_EQ(LighterColor(btnFace, pal), 0x765432);
    EXPECT_EQ(ColorToRgb(0x0000FF), 0xFFFF0000u);  // red in the low byte
}

TEST(IndicatorColors, DarkenAndLightenBitmapBytes)
{
    QImage b(2, 1, QImage::Format_RGB888);
    b.setPixel(0, 0, qRgb(10, 64, 200));
    b.setPixel(1, 0, qRgb(191, 192, 255));
    QImage d = b, l = b;
    DarkenBitmap(d, 64);
    LightenBitmap(l, 64);
    EXPECT_EQ(d.pixel(0, 0), qRgb(0, 0, 136));
    EXPECT_EQ(d.pixel(1, 0), qRgb(127, 128, 191));
    EXPECT_EQ(l.pixel(0, 0), qRgb(74, 128, 255));
    EXPECT_EQ(l.pixel(1, 0), qRgb(255, 255, 255));

    const TDerivedMaterials m = MakeDerivedMaterials(Solid(3, 3, 100, 120, 140), msmLight);
    EXPECT_EQ(m.Dark.pixel(2, 2), qRgb(36, 56, 76));
    EXPECT_EQ(m.Light.pixel(2, 2), qRgb(164, 184, 204));
    EXPECT_EQ(m.Shadow.pixel(2, 2), qRgb(132, 152, 172));
    EXPECT_EQ(m.Shadow.format(), QImage::Format_RGB888);
    EXPECT_TRUE(MakeDerivedMaterials(QImage(), msmDark).Dark.isNull());
}

TEST(IndicatorPaint, BevelsOfTheDefaultIndicator)
{
    TIndPage page;
    auto* ind = page.Default();
    ASSERT_EQ(ind->Image().size(), QSize(172, 36));
    // Outer bkUP: rows 0-1 and columns 0-1 light, the far sides dark.
    EXPECT_EQ(Px(ind, 50, 0), 0xFDFDFDu);
    EXPECT_EQ(Px(ind, 0, 18), 0xFDFDFDu);
    EXPECT_EQ(Px(ind, 50, 35), 0xBDBDBDu);
    EXPECT_EQ(Px(ind, 171, 18), 0xBDBDBDu);
    // Inner bkDown, rows 2-3 and 32-33: the other way round.
    EXPECT_EQ(Px(ind, 50, 2), 0xBDBDBDu);
    EXPECT_EQ(Px(ind, 2, 18), 0xBDBDBDu);
    EXPECT_EQ(Px(ind, 50, 33), 0xFDFDFDu);
    EXPECT_EQ(Px(ind, 169, 18), 0xFDFDFDu);
    // The gap shows the background.
    EXPECT_EQ(Px(ind, 50, 4), 0xDDDDDDu);

    ind->SetColorScheme(csBlack);
    Flush(ind);
    EXPECT_EQ(Px(ind, 50, 0), 0xA0A0A0u);
    EXPECT_EQ(Px(ind, 50, 35), 0x606060u);
    EXPECT_EQ(Px(ind, 50, 4), 0x000000u);
}

TEST(IndicatorPaint, LightStaysUpperLeftWhenTurnedOver)
{
    TIndPage page;
    auto* ind = page.Default();
    ind->SetIndicatorAngle(1800);
    Flush(ind);
    // The bottom face is now on top and painted light.
    EXPECT_EQ(Px(ind, 50, 0), 0xFDFDFDu);
    EXPECT_EQ(Px(ind, 0, 18), 0xFDFDFDu);
    EXPECT_EQ(Px(ind, 50, 35), 0xBDBDBDu);
    EXPECT_EQ(Px(ind, 50, 2), 0xBDBDBDu);
}

TEST(IndicatorPaint, LitAndUnlitSegments)
{
    TIndPage page;
    auto* ind = page.IndT("23,5");
    EXPECT_EQ(Px(ind, 102, 24), 0x800080u);  // g of the 2
    EXPECT_EQ(Px(ind, 111, 31), 0xD3D3D3u);  // c of the 2 is off
    EXPECT_EQ(Px(ind, 156, 38), 0x800080u);  // the comma lights the point of the 3
    EXPECT_EQ(Px(ind, 24, 24), 0xD3D3D3u);   // blank cell

    ind->SetMouseAction(maColor);
    MouseEnter(ind);
    Flush(ind);
    EXPECT_EQ(Px(ind, 102, 24), 0xFF0000u);  // NumberForeColor1 0x0000FF is red
    EXPECT_EQ(Px(ind, 111, 31), 0xD3D3D3u);
    MouseLeave(ind);
    Flush(ind);
    EXPECT_EQ(Px(ind, 102, 24), 0x800080u);
}

TEST(IndicatorPaint, BackMaterialHidesTheColours)
{
    TIndPage page;
    auto* ind = page.IndT("23,5");
    ind->SetBackColor(0x00FF00);
    ind->SetBevelColor(0x0000FF);
    ind->SetNumberBackColor(0xFF0000);
    ind->SetBackMaterial(Solid(4, 4, 100, 120, 140));
    Flush(ind);
    EXPECT_EQ(Px(ind, 50, 4), 0x64788Cu);    // gap: the material itself
    EXPECT_EQ(Px(ind, 50, 0), 0xA4B8CCu);    // light face: +64
    EXPECT_EQ(Px(ind, 50, 48), 0x24384Cu);   // dark face: -64
    EXPECT_EQ(Px(ind, 111, 31), 0x44586Cu);  // unlit: shadow, msmDark -32
    EXPECT_EQ(Px(ind, 102, 24), 0x800080u);  // lit keeps its colour

    ind->SetMaterialShadowMode(msmNone);
    Flush(ind);
    EXPECT_EQ(Px(ind, 111, 31), 0x64788Cu);
    ind->SetBackMaterial(QImage());  // no width: no material
    Flush(ind);
    EXPECT_EQ(Px(ind, 50, 4), 0x00FF00u);
}

TEST(IndicatorPaint, ForeMaterialGivesWayToTheHoverColour)
{
    TIndPage page;
    auto* ind = page.IndT("23,5");
    ind->SetForeMaterial(Solid(5, 5, 200, 100, 50));
    ind->SetMouseAction(maColor);
    Flush(ind);
    EXPECT_EQ(Px(ind, 102, 24), 0xC86432u);
    MouseEnter(ind);
    Flush(ind);
    EXPECT_EQ(Px(ind, 102, 24), 0xFF0000u);
    MouseLeave(ind);
    Flush(ind);
    EXPECT_EQ(Px(ind, 102, 24), 0xC86432u);
}

TEST(IndicatorPaint, TransparentModesCollectWhatCoversTheParent)
{
    TIndPage page;
    auto* ind = page.IndT("23,5");
    EXPECT_FALSE(ind->HasClipRegion());
    EXPECT_TRUE(ind->testAttribute(Qt::WA_OpaquePaintEvent));

    ind->SetTransparentMode(tmAll);
    Flush(ind);
    ASSERT_TRUE(ind->HasClipRegion());
    EXPECT_FALSE(ind->testAttribute(Qt::WA_OpaquePaintEvent));
    const QRegion all = ind->ClipRegion();
    EXPECT_TRUE(all.contains(QPoint(50, 0)));     // outer bevel
    EXPECT_TRUE(all.contains(QPoint(50, 3)));     // inner bevel
    EXPECT_TRUE(all.contains(QPoint(102, 24)));   // lit
    EXPECT_FALSE(all.contains(QPoint(50, 4)));    // gap
    EXPECT_FALSE(all.contains(QPoint(111, 31)));  // unlit
    EXPECT_FALSE(all.contains(QPoint(30, 15)));   // background between segments

    ind->SetTransparentMode(tmBackOnly);
    Flush(ind);
    EXPECT_TRUE(ind->ClipRegion().contains(QPoint(111, 31)));
    EXPECT_FALSE(ind->ClipRegion().contains(QPoint(50, 4)));

    // What reaches the screen: paint the indicator over a marked surface.
    ind->SetTransparentMode(tmAll);
    Flush(ind);
    QImage screen(ind->size(), QImage::Format_RGB32);
    screen.fill(qRgb(1, 2, 3));
    {
        QPainter p(&screen);
        ind->PaintBuffer(p);
    }
    EXPECT_EQ(screen.pixel(50, 4) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(screen.pixel(111, 31) & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(screen.pixel(102, 24) & 0xFFFFFF, 0x800080u);
}

TEST(IndicatorPaint, WindowShapeOfATurnedIndicator)
{
    TIndPage page;
    auto* ind = page.IndT("1");
    EXPECT_EQ(ind->mask(), QRegion(0, 0, 209, 49));
    ind->SetIndicatorAngle(450);
    Flush(ind);
    const QRegion shape = ind->mask();
    EXPECT_TRUE(shape.contains(QPoint(91, 91)));
    EXPECT_FALSE(shape.contains(QPoint(2, 2)));
    EXPECT_FALSE(shape.contains(QPoint(179, 179)));
    // Along the long axis, up and to the right of the centre, and across it.
    EXPECT_TRUE(shape.contains(QPoint(150, 32)));
    EXPECT_FALSE(shape.contains(QPoint(32, 32)));
}
