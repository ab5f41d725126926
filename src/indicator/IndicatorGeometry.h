#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <vector>

#include "indicator/IndicatorTypes.h"

// Polygons of one kind (lit or unlit) in two flat arrays, so that a whole list
// becomes a single region in one call.
struct TPolygonList {
    std::vector<QPoint> Points;
    std::vector<int> Counts;

    int Count() const { return int(Counts.size()); }
    void Clear();
    void Append(const QPoint* points, int count, QPoint offset = QPoint());
    // Vertices of polygon i (linear walk; for tests and diagnostics).
    std::vector<QPoint> Polygon(int i) const;
};

// Rounding to nearest with ties to even, and truncation toward zero.
int RoundEven(double x);
int Trunc(double x);

// Angles are tenths of a degree; a positive angle turns counter-clockwise on
// the screen (y pointing down).
void RotatePoints(QPoint* points, int count, int angle);
void RotatePointsAbout(QPoint* points, int count, int cx, int cy, int angle);
void OffsetPoints(QPoint* points, int count, int dx, int dy);

// Size of the box that holds a W x H rectangle turned by angle.
QSize RotatedBoundingBox(int W, int H, int angle);

// The unrotated W x H indicator frame and the control it is centred in.
struct TIndicatorFrame {
    int W = 0;
    int H = 0;
    int Angle = 0;
    int Width = 0;  // control size
    int Height = 0;
};

// Rotates points of the unrotated frame about its centre and centres the
// result in the control.
void PlacePoints(QPoint* points, int count, const TIndicatorFrame& frame);

// The four placed corners of the frame: the window shape.
std::array<QPoint, 4> FramePolygon(const TIndicatorFrame& frame);

using THexagon = std::array<QPoint, 6>;
using TQuad = std::array<QPoint, 4>;

// Bevel faces in the unrotated frame, in the order top, left, bottom, right.
// o is the outer bevel width; p the inner bevel's inset, i its width.
enum TBevelFace { bfTop, bfLeft, bfBottom, bfRight };
std::array<TQuad, 4> OuterBevelFaces(int W, int H, int o);
std::array<TQuad, 4> InnerBevelFaces(int W, int H, int p, int i);

// Space between the frame edge and the cells: gap plus the present bevels.
int IndicatorMargin(int gap, TLiquidBevelKind outer, int outerWidth,
                    TLiquidBevelKind inner, int innerWidth);

// Width and height of one of N cells in a W x H frame with margin m.
QSize CellSize(int W, int H, int N, int m);

// One cell of the laid-out text. A blank cell is ' ' without point.
struct TLayoutCell {
    unsigned char Ch = ' ';
    bool Point = false;
    bool operator==(const TLayoutCell&) const = default;
};

// Distributes the text over N cells: right-aligned, cut on the right; for the
// segment kinds points join the preceding character.
std::vector<TLayoutCell> LayoutText(const QByteArray& text, int N, TLiquidIndicatorKind kind);

// Segment thickness T for a cell of w x h.
double SegmentThickness(int w, int h, TLiquidIndicatorStyle style, bool hover);

// Hexagon of a segment position (1..8 or 1..10) relative to the cell's
// top-left corner.
THexagon SegmentPolygon(QSize cell, int position, TLiquidIndicatorKind kind, double T);

// Rectangle of a matrix dot, row 1..7 from the top, column 1..5 from the left.
TQuad MatrixDotPolygon(QSize cell, int row, int column, TLiquidIndicatorStyle style, bool hover);

struct TGlyphStyle {
    TLiquidIndicatorKind Kind = ik7segment;
    TLiquidIndicatorStyle Style = isNormal;
    bool Hover = false; // mouse over and the mouse action changes the width
};

// Appends the lit and unlit polygons of one cell (cell rectangle in grid
// coordinates) to the two lists.
void BuildCellPolygons(const QRect& cell, unsigned char ch, bool point, const TGlyphStyle& style,
                       TPolygonList& lit, TPolygonList& unlit);

struct TGlyphParams {
    TIndicatorFrame Frame;
    int SignNumber = 10;
    int Margin = 0;
    TGlyphStyle Style;
};

// Both lists, emptied first, in control coordinates.
void BuildGlyphPolygons(const TGlyphParams& params, const QByteArray& text,
                        TPolygonList& lit, TPolygonList& unlit);
