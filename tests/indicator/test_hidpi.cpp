// Indicators on a screen of device pixel ratio 2 (the whole binary runs at
// QT_SCALE_FACTOR=2).
#include "indicator/LiquidIndicator.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// A parent of one flat colour, so what shows through is known.
class TFlatPage : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(10, 200, 30)); }
};

TLiquidIndicator* MakeIndT(QWidget* page, const QByteArray& text)
{
    auto* ind = new TLiquidIndicator(page);
    ind->move(20, 10);
    ind->SetSignNumber(5);
    ind->SetIndicatorWidth(209);
    ind->SetIndicatorHeight(49);
    ind->SetNumberForeColor(0x800080);
    ind->SetIndicatorStyle(isThick);
    ind->SetIndicatorstring(text);
    ind->Loaded();
    return ind;
}

// Aligned 2 x 2 blocks of device pixels whose pixels differ: detail finer
// than a logical pixel. A 1x picture stretched to 2x has none.
int MixedBlocks(const QImage& img)
{
    int mixed = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2) {
            const QRgb a = img.pixel(x, y);
            mixed += a != img.pixel(x + 1, y) || a != img.pixel(x, y + 1) || a != img.pixel(x + 1, y + 1);
        }
    return mixed;
}

int CountColour(const QImage& img, QRgb c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
    return n;
}

} // namespace

TEST(IndicatorSharpness, PictureIsBuiltAtDeviceResolutionInLogicalGeometry)
{
    TFlatPage page;
    page.resize(260, 80);
    TLiquidIndicator* ind = MakeIndT(&page, "-23,5");
    page.show();
    ASSERT_DOUBLE_EQ(ind->devicePixelRatioF(), 2.0);
    EXPECT_EQ(ind->geometry(), QRect(20, 10, 209, 49)); // layout stays in logical pixels
    EXPECT_EQ(ind->Image().size(), QSize(418, 98));
    EXPECT_DOUBLE_EQ(ind->Image().devicePixelRatio(), 2.0);

    // What reaches the screen is that picture, pixel for pixel, and it has
    // edges finer than a logical pixel.
    const QImage shown = ind->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(418, 98));
    EXPECT_EQ(shown, ind->Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(MixedBlocks(shown), 40);

    const QImage stretched = ind->Image().scaled(209, 49).scaled(418, 98);
    EXPECT_EQ(MixedBlocks(stretched), 0); // the measure tells a stretched picture apart
}

TEST(IndicatorSharpness, DeviceResolutionKeepsTheLayoutOfTheLogicalPicture)
{
    TFlatPage page;
    page.resize(260, 80);
    TLiquidIndicator* ind = MakeIndT(&page, "88,88");
    // The same indicator drawn at 1x by the renderer itself.
    TRenderInput in;
    in.Frame = {209, 49, 0, 209, 49};
    in.SignNumber = 5;
    in.Text = "88,88";
    in.Glyphs.Style = isThick;
    in.NumberForeColor = 0x800080;
    TRenderOutput one;
    RenderIndicator(in, one);
    const QRgb lit = ColorToRgb(0x800080);
    const double litAt1 = CountColour(one.Buffer, lit);
    const double litAt2 = CountColour(ind->Image(), lit);
    ASSERT_GT(litAt1, 0);
    EXPECT_NEAR(litAt2 / (4 * litAt1), 1.0, 0.08); // the same segments, four times the pixels
    // The lit segments cover the same area (to within a logical pixel).
    const auto litBox = [lit](const QImage& img, double scale) {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (lit & 0xFFFFFF))
                    box |= QRect(x, y, 1, 1);
        return QRectF(box.x() / scale, box.y() / scale, box.width() / scale, box.height() / scale);
    };
    const QRectF a = litBox(one.Buffer, 1), b = litBox(ind->Image(), 2);
    EXPECT_LE(std::abs(a.left() - b.left()), 1.0);
    EXPECT_LE(std::abs(a.top() - b.top()), 1.0);
    EXPECT_LE(std::abs(a.right() - b.right()), 1.0);
    EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1.0);
}

TEST(IndicatorSharpness, TransparentPartsShowTheParentAtDeviceResolution)
{
    TFlatPage page;
    page.resize(260, 80);
    TLiquidIndicator* ind = MakeIndT(&page, "12,3");
    ind->SetTransparentMode(tmAll);
    QCoreApplication::sendPostedEvents(ind, TLiquidIndicator::CM_REBUILDINDICATOR);
    page.show();
    const QImage shown = page.grab(QRect(20, 10, 209, 49)).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(418, 98));
    const QImage& buffer = ind->Image();
    const QRegion clip = ind->ClipRegion();
    int inside = 0, outside = 0, wrong = 0;
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x) {
            const bool covered = clip.contains(QPoint(x, y));
            const QRgb want = covered ? buffer.pixel(x, y) : qRgb(10, 200, 30);
            (covered ? inside : outside)++;
            wrong += (shown.pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF);
        }
    EXPECT_GT(inside, 0);
    EXPECT_GT(outside, 0);
    EXPECT_EQ(wrong, 0);
}

TEST(IndicatorSharpness, MaterialsKeepTheirLogicalSizeRebuildAfterRebuild)
{
    TFlatPage page;
    page.resize(260, 80);
    TLiquidIndicator* ind = MakeIndT(&page, "");
    // A 4 x 4 checker of black and white logical pixels, tiled.
    QImage checker(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ind->SetMaterialMode(mmTile);
    ind->SetBackMaterial(checker);
    for (int pass = 0; pass < 2; ++pass) { // the second rebuild reuses the buffer
        ind->SetIndicatorstring(pass ? "1" : "2");
        QCoreApplication::sendPostedEvents(ind, TLiquidIndicator::CM_REBUILDINDICATOR);
        const QImage& img = ind->Image();
        ASSERT_EQ(img.size(), QSize(418, 98));
        // The gap between the inner bevel and the cells (device rows 8..11):
        // each logical pixel of the checker is a 2 x 2 block of one colour.
        for (int y = 8; y < 12; ++y)
            for (int x = 20; x < 60; ++x) {
                const bool white = (x / 2 + y / 2) % 2;
                EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, white ? 0xFFFFFFu : 0u) << pass << ' ' << x << ',' << y;
            }
    }
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
