// Figures below are worked out by hand from the cell formulas
// (ux = w/8, uy = h/8, t = T/2, tr = truncation toward zero).

#include "indicator/IndicatorGeometry.h"
#include "indicator/IndicatorGlyphs.h"

#include <gtest/gtest.h>

namespace {

std::vector<QPoint> Pts(std::initializer_list<QPoint> l) { return l; }

template <size_t N>
std::vector<QPoint> Vec(const std::array<QPoint, N>& a) { return std::vector<QPoint>(a.begin(), a.end()); }

TLayoutCell C(char ch, bool point = false) { return {static_cast<unsigned char>(ch), point}; }
const TLayoutCell Blank;

} // namespace

TEST(IndicatorGeometry, MarginAndCellsOfTheTemperatureIndicator)
{
    // 209 x 49, five cells, gap 2, both bevels 2 wide.
    const int m = IndicatorMargin(2, bkUP, 2, bkDown, 2);
    EXPECT_EQ(m, 6);
    EXPECT_EQ(CellSize(209, 49, 5, m), QSize(39, 37));  // (209-12) div 5, 49-12
    EXPECT_EQ(IndicatorMargin(2, bkNone, 2, bkDown, 3), 5);
    EXPECT_EQ(IndicatorMargin(-1, bkNone, 2, bkNone, 3), -1);
    // Date indicator: 132 x 36, ten cells.
    EXPECT_EQ(CellSize(132, 36, 10, 6), QSize(12, 24));
    // A margin that eats the height or makes cells too wide falls back.
    EXPECT_EQ(CellSize(40, 20, 2, 15), QSize(5, 20));   // only the height falls back
    EXPECT_EQ(CellSize(40, 20, 2, -3), QSize(20, 20));  // 46 div 2 > 40 div 2
}

TEST(IndicatorGeometry, SegmentThicknessByStyleAndHover)
{
    EXPECT_DOUBLE_EQ(SegmentThickness(39, 37, isThick, false), 7.4);
    EXPECT_DOUBLE_EQ(SegmentThickness(39, 37, isThick, true), 37 / 4.5);
    EXPECT_DOUBLE_EQ(SegmentThickness(48, 60, isNormal, false), 8);
    EXPECT_DOUBLE_EQ(SegmentThickness(48, 60, isNormal, true), 48 / 5.0);
    EXPECT_DOUBLE_EQ(SegmentThickness(12, 24, isThin, false), 2);   // 1.5 raised
    EXPECT_DOUBLE_EQ(SegmentThickness(12, 24, isNormal, false), 3); // 2 raised
    EXPECT_DOUBLE_EQ(SegmentThickness(12, 24, isThick, false), 4);  // 2.4 raised
}

TEST(IndicatorGeometry, SegmentVerticesOfA39x37Cell)
{
    // isThick: T = 7.4, t = 3.7, ux = 4.875, uy = 4.625.
    const QSize cell(39, 37);
    const double T = 7.4;
    EXPECT_EQ(Vec(SegmentPolygon(cell, 3, ik7segment, T)),
              Pts({{10, 0}, {14, 0}, {26, 0}, {30, 0}, {26, 8}, {14, 8}}));
    EXPECT_EQ(Vec(SegmentPolygon(cell, 1, ik7segment, T)),
              Pts({{4, 35}, {1, 27}, {3, 22}, {7, 18}, {11, 22}, {8, 27}}));
    const auto point = Pts({{29, 32}, {31, 28}, {36, 28}, {37, 32}, {36, 36}, {31, 36}});
    EXPECT_EQ(Vec(SegmentPolygon(cell, 8, ik7segment, T)), point);
    // Nine segments: the point moves to position 10, 8 and 9 are the colon.
    EXPECT_EQ(Vec(SegmentPolygon(cell, 10, ik9segment, T)), point);
    EXPECT_EQ(Vec(SegmentPolygon(cell, 8, ik9segment, T)),
              Pts({{17, 16}, {14, 11}, {17, 6}, {21, 6}, {24, 11}, {21, 16}}));
    EXPECT_EQ(Vec(SegmentPolygon(cell, 7, ik7segment, T)),
              Pts({{8, 18}, {12, 14}, {24, 14}, {28, 18}, {24, 22}, {12, 22}}));
}

TEST(IndicatorGeometry, MatrixDots)
{
    // 12 x 24, isNormal: s = 1, px = 2, py = 24/7; both sizes raised to 2.5.
    const QSize narrow(12, 24);
    EXPECT_EQ(Vec(MatrixDotPolygon(narrow, 1, 1, isNormal, false)), Pts({{1, 0}, {3, 0}, {3, 2}, {1, 2}}));
    EXPECT_EQ(Vec(MatrixDotPolygon(narrow, 4, 3, isNormal, false)), Pts({{5, 10}, {7, 10}, {7, 12}, {5, 12}}));
    EXPECT_EQ(Vec(MatrixDotPolygon(narrow, 7, 5, isNormal, false)), Pts({{9, 20}, {11, 20}, {11, 22}, {9, 22}}));
    // s changes from 1 to 2 at a width of 16.
    EXPECT_EQ(MatrixDotPolygon(QSize(15, 24), 1, 1, isThin, false)[0], QPoint(1, 0));
    EXPECT_EQ(MatrixDotPolygon(QSize(16, 24), 1, 1, isThin, false)[0], QPoint(2, 0));
    // 40 x 56, isThick: s = 3, px = 6.8, py = 8; dots 5.8 x 7, on hover 4.1 x 5.
    const QSize wide(40, 56);
    EXPECT_EQ(Vec(MatrixDotPolygon(wide, 3, 2, isThick, false)), Pts({{9, 16}, {14, 16}, {14, 23}, {9, 23}}));
    EXPECT_EQ(Vec(MatrixDotPolygon(wide, 3, 2, isThick, true)), Pts({{9, 16}, {13, 16}, {13, 21}, {9, 21}}));
    // Never below the smallest size: isThin on hover, 1.5 -> 1 pixel.
    const TQuad tiny = MatrixDotPolygon(QSize(10, 10), 1, 1, isThin, true);
    EXPECT_EQ(tiny[2] - tiny[0], QPoint(1, 1));
}

TEST(IndicatorGeometry, SegmentLayout)
{
    using V = std::vector<TLayoutCell>;
    auto L = [](const char* text) { return LayoutText(QByteArray(text), 5, ik7segment); };
    EXPECT_EQ(L("12.5"), (V{Blank, Blank, C('1'), C('2', true), C('5')}));
    EXPECT_EQ(L("12,5"), (V{Blank, Blank, C('1'), C('2', true), C('5')}));
    EXPECT_EQ(L(".5"), (V{Blank, Blank, Blank, C('.', true), C('5')}));
    EXPECT_EQ(L("1..2"), (V{Blank, Blank, C('1', true), C('.', true), C('2')}));
    EXPECT_EQ(L("-12.3"), (V{Blank, C('-'), C('1'), C('2', true), C('3')}));
    EXPECT_EQ(L("----"), (V{Blank, C('-'), C('-'), C('-'), C('-')}));
    EXPECT_EQ(L(""), (V(5, Blank)));
    EXPECT_EQ(L("123456"), (V{C('1'), C('2'), C('3'), C('4'), C('5')}));
    EXPECT_EQ(L("12345.6"), (V{C('1'), C('2'), C('3'), C('4'), C('5', true)}));
    EXPECT_EQ(LayoutText("12:30", 5, ik9segment), (V{C('1'), C('2'), C(':'), C('3'), C('0')}));
}

TEST(IndicatorGeometry, MatrixLayoutTakesEveryByte)
{
    const auto date = LayoutText("12.03.2010", 10, ik5x7matrix);
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[2], C('.'));
    EXPECT_EQ(date[9], C('0'));
    const auto eights = LayoutText("8888", 10, ik5x7matrix);
    EXPECT_EQ(eights[5], Blank);
    EXPECT_EQ(eights[6], C('8'));
    EXPECT_EQ(LayoutText("ABCDEFGHIJKL", 10, ik5x7matrix).back(), C('J'));
}

TEST(IndicatorGeometry, SegmentFlags)
{
    // Bits: 0 e, 1 f, 2 a, 3 b, 4 c, 5 d, 6 g, then point or colon.
    EXPECT_EQ(SegmentCellFlags(ik7segment, 0xB0, false), 0b1001110);  // a b f g
    EXPECT_EQ(SegmentCellFlags(ik7segment, '1', true), 0b10011000);   // b c and point
    EXPECT_EQ(SegmentCellFlags(ik7segment, '.', false), 0b10000000);
    EXPECT_EQ(SegmentCellFlags(ik9segment, ',', false), 0b1000000000);
    EXPECT_EQ(SegmentCellFlags(ik9segment, ':', false), 0b0110000000);
    EXPECT_EQ(SegmentCellFlags(ik7segment, ':', false), 0);
    EXPECT_EQ(SegmentCellFlags(ik7segment, 'a', false), 0);
    EXPECT_EQ(SegmentCellFlags(ik7segment, 0xC0, false), 0);  // Cyrillic А
    EXPECT_EQ(SegmentCellFlags(ik7segment, ' ', false), 0);
}

TEST(IndicatorGeometry, MatrixFont)
{
    EXPECT_EQ(MatrixGlyph('A'), (std::array<std::uint8_t, 7>{0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}));
    EXPECT_EQ(MatrixGlyph('~'), (std::array<std::uint8_t, 7>{0x0A, 0x14, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MatrixGlyph('!')[0], 0x06);
    EXPECT_EQ(MatrixGlyph('z')[2], 0x1F);
    for (unsigned char blank : {0x20, 0x60, 0x7F, 0xB0, 0x00})
        EXPECT_EQ(MatrixGlyph(blank), (std::array<std::uint8_t, 7>{})) << int(blank);
}

TEST(IndicatorGeometry, CellPolygonsGoToTheirLists)
{
    TPolygonList lit, unlit;
    BuildCellPolygons(QRect(100, 50, 39, 37), '7', true, {ik7segment, isThick, false}, lit, unlit);
    EXPECT_EQ(lit.Count(), 4);    // a b c and the point
    EXPECT_EQ(unlit.Count(), 4);
    // The top segment is the first lit one, moved to the cell's corner.
    EXPECT_EQ(lit.Polygon(0), Pts({{110, 50}, {114, 50}, {126, 50}, {130, 50}, {126, 58}, {114, 58}}));

    lit.Clear();
    unlit.Clear();
    BuildCellPolygons(QRect(0, 0, 12, 24), 'T', false, {ik5x7matrix, isNormal, false}, lit, unlit);
    EXPECT_EQ(lit.Count(), 5 + 6);  // the bar and the stem
    EXPECT_EQ(lit.Count() + unlit.Count(), 35);
    EXPECT_EQ(lit.Polygon(0), Pts({{1, 0}, {3, 0}, {3, 2}, {1, 2}}));
}

TEST(IndicatorGeometry, WholeTextPolygons)
{
    TGlyphParams p;
    p.Frame = {209, 49, 0, 209, 49};
    p.SignNumber = 5;
    p.Margin = 6;
    p.Style = {ik7segment, isThick, false};
    TPolygonList lit, unlit;

    BuildGlyphPolygons(p, "", lit, unlit);
    EXPECT_EQ(lit.Count(), 0);
    EXPECT_EQ(unlit.Count(), 40);

    BuildGlyphPolygons(p, "12.5", lit, unlit);
    ASSERT_EQ(lit.Count(), 2 + 5 + 1 + 5);
    EXPECT_EQ(unlit.Count(), 40 - 13);
    // Lit polygon 7 is the point of cell 4, whose corner is (6 + 3 * 39, 6).
    EXPECT_EQ(lit.Polygon(7), Pts({{152, 38}, {154, 34}, {159, 34}, {160, 38}, {159, 42}, {154, 42}}));

    p.Style.Kind = ik9segment;
    BuildGlyphPolygons(p, "12:30", lit, unlit);
    EXPECT_EQ(lit.Count(), 2 + 5 + 2 + 5 + 6);
    EXPECT_EQ(unlit.Count(), 50 - 20);

    p.Style = {ik5x7matrix, isNormal, false};
    p.SignNumber = 10;
    BuildGlyphPolygons(p, "12.03.2010", lit, unlit);
    EXPECT_EQ(lit.Count() + unlit.Count(), 350);
    EXPECT_EQ(lit.Points.size() + unlit.Points.size(), 1400u);
}

TEST(IndicatorGeometry, Rotation)
{
    QPoint p[] = {{10, 0}, {0, 10}, {3, 4}, {0, 0}};
    RotatePoints(p, 4, 900);  // counter-clockwise on the screen
    EXPECT_EQ(p[0], QPoint(0, -10));
    EXPECT_EQ(p[1], QPoint(10, 0));
    EXPECT_EQ(p[2], QPoint(4, -3));
    EXPECT_EQ(p[3], QPoint(0, 0));

    QPoint q[] = {{10, 0}, {3, 4}};
    RotatePoints(q, 2, 450);
    EXPECT_EQ(q[0], QPoint(7, -7));
    EXPECT_EQ(q[1], QPoint(5, 1));  // -53.13 + 45 degrees: (4.95, 0.71 up)

    QPoint r[] = {{3, 4}};
    RotatePoints(r, 1, 1800);
    EXPECT_EQ(r[0], QPoint(-3, -4));
}

TEST(IndicatorGeometry, PlacementOfTheFrame)
{
    EXPECT_EQ(RotatedBoundingBox(209, 49, 0), QSize(209, 49));
    EXPECT_EQ(RotatedBoundingBox(209, 49, 900), QSize(49, 209));
    EXPECT_EQ(RotatedBoundingBox(209, 49, 450), QSize(182, 182));  // 258 * 0.7071 = 182.4
    EXPECT_EQ(RotatedBoundingBox(209, 49, 1800), QSize(209, 49));

    // About (104, 24) by 90 degrees the corner (0, 0) moves by the centre's
    // shift (80, 128); placed in 49 x 209 it is offset by (-80, 80).
    QPoint c[] = {{0, 0}};
    RotatePointsAbout(c, 1, 104, 24, 900);
    EXPECT_EQ(c[0], QPoint(80, 128));
    EXPECT_EQ(Vec(FramePolygon({209, 49, 900, 49, 209})), Pts({{0, 208}, {0, -1}, {49, -1}, {49, 208}}));
    // Half a turn maps the frame onto itself, corners swapped.
    EXPECT_EQ(Vec(FramePolygon({172, 36, 1800, 172, 36})), Pts({{172, 36}, {0, 36}, {0, 0}, {172, 0}}));
    EXPECT_EQ(Vec(FramePolygon({172, 36, 0, 180, 40})), Pts({{4, 2}, {176, 2}, {176, 38}, {4, 38}}));
}
