#include "indicator/IndicatorPixels.h"
#include "indicator/IndicatorRegion.h"

#include <gtest/gtest.h>

namespace {

const QRect kBounds(0, 0, 100, 100);

int PixelCount(const QRegion& r)
{
    int n = 0;
    for (const QRect& rect : r)
        n += rect.width() * rect.height();
    return n;
}

} // namespace

TEST(IndicatorRegion, RectangleCoversItsPixelsWithoutRightAndBottomEdge)
{
    const std::array<QPoint, 4> rect = {QPoint(2, 1), QPoint(6, 1), QPoint(6, 4), QPoint(2, 4)};
    EXPECT_EQ(PolygonRegion(rect, kBounds), QRegion(2, 1, 4, 3));
}

TEST(IndicatorRegion, TriangleFollowsPixelCentres)
{
    // Hypotenuse x = 8 - y: on row y the centres 0.5 .. 6.5 - y are inside.
    const std::array<QPoint, 3> tri = {QPoint(0, 0), QPoint(8, 0), QPoint(0, 8)};
    const QRegion r = PolygonRegion(tri, kBounds);
    EXPECT_EQ(PixelCount(r), 7 + 6 + 5 + 4 + 3 + 2 + 1);
    EXPECT_TRUE(r.contains(QPoint(6, 0)));
    EXPECT_FALSE(r.contains(QPoint(7, 0)));
    EXPECT_TRUE(r.contains(QPoint(0, 6)));
    EXPECT_FALSE(r.contains(QPoint(0, 7)));
}

TEST(IndicatorRegion, OverlapOfTwoPolygonsIsLeftOut)
{
    TPolygonList list;
    const QPoint a[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    const QPoint b[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    list.Append(a, 4);
    list.Append(b, 4);
    const QRegion r = PolygonRegion(list, kBounds);
    EXPECT_TRUE(r.contains(QPoint(1, 1)));
    EXPECT_FALSE(r.contains(QPoint(3, 3)));
    EXPECT_TRUE(r.contains(QPoint(5, 5)));
    EXPECT_EQ(PixelCount(r), 16 + 16 - 2 * 4);
}

TEST(IndicatorRegion, SelfIntersectingAndClippedPolygons)
{
    // A bow tie: two triangles meeting at (4, 4).
    const std::array<QPoint, 4> bow = {QPoint(0, 0), QPoint(8, 8), QPoint(8, 0), QPoint(0, 8)};
    const QRegion r = PolygonRegion(bow, kBounds);
    EXPECT_TRUE(r.contains(QPoint(1, 4)));
    EXPECT_TRUE(r.contains(QPoint(7, 4)));
    EXPECT_FALSE(r.contains(QPoint(4, 1)));
    // Only pixels inside the bounds are kept; degenerate input gives nothing.
    const std::array<QPoint, 4> big = {QPoint(-50, -50), QPoint(500, -50), QPoint(500, 500), QPoint(-50, 500)};
    EXPECT_EQ(PolygonRegion(big, QRect(0, 0, 10, 5)), QRegion(0, 0, 10, 5));
    const std::array<QPoint, 3> flat = {QPoint(0, 3), QPoint(9, 3), QPoint(4, 3)};
    EXPECT_TRUE(PolygonRegion(flat, kBounds).isEmpty());
}

TEST(IndicatorLighting, Octants)
{
    EXPECT_EQ(LightingOctant(0), 8);
    EXPECT_EQ(LightingOctant(300), 1);
    EXPECT_EQ(LightingOctant(600), 2);
    EXPECT_EQ(LightingOctant(900), 2);
    EXPECT_EQ(LightingOctant(1200), 3);
    EXPECT_EQ(LightingOctant(1500), 4);
    EXPECT_EQ(LightingOctant(1800), 4);
    EXPECT_EQ(LightingOctant(2100), 5);
    EXPECT_EQ(LightingOctant(2400), 6);
    EXPECT_EQ(LightingOctant(2700), 6);  // cos is a hair below 0 there
    EXPECT_EQ(LightingOctant(3300), 8);
    EXPECT_EQ(LightingOctant(-900), 7);
}
