#include "indicator/IndicatorGeometry.h"

#include "indicator/IndicatorGlyphs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void TPolygonList::Clear()
{
    Points.clear();
    Counts.clear();
}

void TPolygonList::Append(const QPoint* points, int count, QPoint offset)
{
    for (int i = 0; i < count; ++i)
        Points.push_back(points[i] + offset);
    Counts.push_back(count);
}

std::vector<QPoint> TPolygonList::Polygon(int i) const
{
    int first = 0;
    for (int k = 0; k < i; ++k)
        first += Counts[k];
    return std::vector<QPoint>(Points.begin() + first, Points.begin() + first + Counts[i]);
}

int RoundEven(double x)
{
    return static_cast<int>(std::nearbyint(x)); // default mode rounds ties to even
}

int Trunc(double x)
{
    return static_cast<int>(std::trunc(x));
}

namespace {

double Theta(int angle)
{
    return angle * std::numbers::pi / 1800.0;
}

// Angle of (x, y) with the y axis pointing up.
double PolarAngle(double x, double y)
{
    if (x == 0)
        return y > 0 ? -std::numbers::pi / 2 : std::numbers::pi / 2;
    return std::atan2(-y, x);
}

} // namespace

void RotatePoints(QPoint* points, int count, int angle)
{
    if (angle == 0)
        return; // every point would round back onto itself
    const double theta = Theta(angle);
    for (int i = 0; i < count; ++i) {
        const double x = points[i].x();
        const double y = points[i].y();
        const double r = std::sqrt(x * x + y * y);
        if (RoundEven(r) == 0)
            continue;
        const double phi = PolarAngle(x, y) + theta;
        points[i] = QPoint(RoundEven(r * std::cos(phi)), -RoundEven(r * std::sin(phi)));
    }
}

void RotatePointsAbout(QPoint* points, int count, int cx, int cy, int angle)
{
    if (angle == 0)
        return;
    RotatePoints(points, count, angle);
    const double d = std::sqrt(double(cx) * cx + double(cy) * cy);
    double sx = 0;
    double sy = 0;
    if (RoundEven(d) != 0) {
        const double psi = PolarAngle(cx, cy) + Theta(angle);
        sx = cx - d * std::cos(psi);
        sy = cy + d * std::sin(psi);
    }
    OffsetPoints(points, count, RoundEven(sx), RoundEven(sy));
}

void OffsetPoints(QPoint* points, int count, int dx, int dy)
{
    for (int i = 0; i < count; ++i)
        points[i] += QPoint(dx, dy);
}

QSize RotatedBoundingBox(int W, int H, int angle)
{
    const double s = std::sin(Theta(angle));
    const double c = std::cos(Theta(angle));
    return QSize(RoundEven(std::fabs(c * W) + std::fabs(s * H)),
                 RoundEven(std::fabs(s * W) + std::fabs(c * H)));
}

void PlacePoints(QPoint* points, int count, const TIndicatorFrame& f)
{
    RotatePointsAbout(points, count, f.W / 2, f.H / 2, f.Angle);
    OffsetPoints(points, count, (f.Width - f.W) / 2, (f.Height - f.H) / 2);
}

std::array<QPoint, 4> FramePolygon(const TIndicatorFrame& f)
{
    std::array<QPoint, 4> corners = {QPoint(0, 0), QPoint(f.W, 0), QPoint(f.W, f.H), QPoint(0, f.H)};
    PlacePoints(corners.data(), 4, f);
    return corners;
}

std::array<TQuad, 4> OuterBevelFaces(int W, int H, int o)
{
    return {{
        {QPoint(0, 0), QPoint(W, 0), QPoint(W - o, o), QPoint(o, o)},
        {QPoint(0, 0), QPoint(0, H), QPoint(o, H - o), QPoint(o, o)},
        {QPoint(0, H), QPoint(o, H - o), QPoint(W - o, H - o), QPoint(W, H)},
        {QPoint(W, H), QPoint(W - o, H - o), QPoint(W - o, o), QPoint(W, 0)},
    }};
}

std::array<TQuad, 4> InnerBevelFaces(int W, int H, int p, int i)
{
    return {{
        {QPoint(p, p), QPoint(W - p, p), QPoint(W - p - i, p + i), QPoint(p + i, p + i)},
        {QPoint(p, p), QPoint(p, H - p), QPoint(p + i, H - p - i), QPoint(p + i, p + i)},
        {QPoint(p, H - p), QPoint(p + i, H - p - i), QPoint(W - p - i, H - p - i), QPoint(W - p, H - p)},
        {QPoint(W - p, H - p), QPoint(W - p - i, H - p - i), QPoint(W - p - i, p + i), QPoint(W - p, p)},
    }};
}

int IndicatorMargin(int gap, TLiquidBevelKind outer, int outerWidth,
                    TLiquidBevelKind inner, int innerWidth)
{
    int m = gap;
    if (outer != bkNone)
        m += outerWidth;
    if (inner != bkNone)
        m += innerWidth;
    return m;
}

QSize CellSize(int W, int H, int N, int m)
{
    if (N < 1)
        return QSize(0, 0);
    int ch = H - 2 * m;
    if (ch < 1 || ch > H)
        ch = H;
    int cw = (W - 2 * m) / N;
    if (cw < 1 || cw > W / N)
        cw = W / N;
    return QSize(cw, ch);
}

std::vector<TLayoutCell> LayoutText(const QByteArray& text, int N, TLiquidIndicatorKind kind)
{
    std::vector<TLayoutCell> cells;
    if (kind == ik5x7matrix) {
        for (char c : text)
            cells.push_back({static_cast<unsigned char>(c), false});
    } else {
        bool pending = false;
        unsigned char pendingCh = 0;
        for (char c : text) {
            const unsigned char b = static_cast<unsigned char>(c);
            if (!IsPointChar(b)) {
                if (pending)
                    cells.push_back({pendingCh, false});
                pending = true;
                pendingCh = b;
            } else if (pending) {
                cells.push_back({pendingCh, true});
                pending = false;
            } else {
                cells.push_back({b, true}); // a point of its own
            }
        }
        if (pending)
            cells.push_back({pendingCh, false});
    }
    if (N < 0)
        N = 0;
    if (int(cells.size()) > N)
        cells.resize(N);
    cells.insert(cells.begin(), N - cells.size(), TLayoutCell());
    return cells;
}

double SegmentThickness(int w, int h, TLiquidIndicatorStyle style, bool hover)
{
    double divisor = 6;
    double smallest = 3;
    switch (style) {
    case isThin: divisor = hover ? 6 : 8; smallest = 2; break;
    case isNormal: divisor = hover ? 5 : 6; smallest = 3; break;
    case isThick: divisor = hover ? 4.5 : 5; smallest = 4; break;
    }
    const double T = std::min(w / divisor, h / divisor);
    return std::max(T, smallest);
}

THexagon SegmentPolygon(QSize cell, int position, TLiquidIndicatorKind kind, double T)
{
    const double ux = cell.width() / 8.0;
    const double uy = cell.height() / 8.0;
    const double t = T / 2;
    auto P = [](double x, int dx, double y, int dy) { return QPoint(Trunc(x) + dx, Trunc(y) + dy); };

    // Which element sits at the position for this kind.
    enum { DecimalPoint = 100, UpperColon, LowerColon };
    int element = position;
    if (position == 8)
        element = kind == ik9segment ? UpperColon : DecimalPoint;
    else if (position == 9)
        element = LowerColon;
    else if (position == 10)
        element = DecimalPoint;

    switch (element) {
    case 1: // lower-left
        return {P(ux, 0, 7 * uy + t, -1), P(ux - t, 0, 7 * uy - t, -1), P(1.5 * ux - t, 0, 4 * uy + t, 0),
                P(1.5 * ux, 0, 4 * uy, 0), P(1.5 * ux + t, 0, 4 * uy + t, 0), P(ux + t, 0, 7 * uy - t, -1)};
    case 2: // upper-left
        return {P(1.5 * ux, 0, 4 * uy, -1), P(1.5 * ux - t, 0, 4 * uy - t, -1), P(2 * ux - t, 0, uy + t, 0),
                P(2 * ux, 0, uy - t, 0), P(2 * ux + t, 0, uy + t, 0), P(1.5 * ux + t, 0, 4 * uy - t, -1)};
    case 3: // top
        return {P(2 * ux, 1, uy - t, 0), P(2 * ux + t, 1, uy - t, 0), P(6.5 * ux - t, -1, uy - t, 0),
                P(6.5 * ux, -1, uy - t, 0), P(6.5 * ux - t, -1, uy + t, 0), P(2 * ux + t, 1, uy + t, 0)};
    case 4: // upper-right
        return {P(6.5 * ux, 0, uy - t, 0), P(6.5 * ux + t, 0, uy + t, 0), P(6 * ux + t, 0, 4 * uy - t, -1),
                P(6 * ux, 0, 4 * uy, -1), P(6 * ux - t, 0, 4 * uy - t, -1), P(6.5 * ux - t, 0, uy + t, 0)};
    case 5: // lower-right
        return {P(6 * ux, 0, 4 * uy, 0), P(6 * ux + t, 0, 4 * uy + t, 0), P(5.5 * ux + t, 0, 7 * uy - t, -1),
                P(5.5 * ux, 0, 7 * uy + t, -1), P(5.5 * ux - t, 0, 7 * uy - t, -1), P(6 * ux - t, 0, 4 * uy + t, 0)};
    case 6: // bottom
        return {P(ux, 1, 7 * uy + t, 0), P(ux + t, 1, 7 * uy - t, 0), P(5.5 * ux - t, -1, 7 * uy - t, 0),
                P(5.5 * ux, -1, 7 * uy + t, 0), P(5.5 * ux - t, -1, 7 * uy + t, 0), P(ux + t, 1, 7 * uy + t, 0)};
    case 7: // middle
        return {P(1.5 * ux, 1, 4 * uy, 0), P(1.5 * ux + t, 1, 4 * uy - t, 0), P(6 * ux - t, -1, 4 * uy - t, 0),
                P(6 * ux, -1, 4 * uy, 0), P(6 * ux - t, -1, 4 * uy + t, 0), P(1.5 * ux + t, 1, 4 * uy + t, 0)};
    case DecimalPoint: {
        const double x = 5.5 * ux;
        const double y = 7 * uy;
        return {P(x + T / 4, 1, y, 0), P(x + T / 2, 1, y - T / 2, 0), P(x + 5 * T / 4, 0, y - T / 2, 0),
                P(x + 3 * T / 2, 0, y, 0), P(x + 5 * T / 4, 0, y + T / 2, 0), P(x + T / 2, 1, y + T / 2, 0)};
    }
    case UpperColon:
    case LowerColon: {
        const double x = element == UpperColon ? 4 * ux : 3.5 * ux;
        const double y = element == UpperColon ? 2.5 * uy : 5.5 * uy;
        return {P(x - T / 3, 0, y + 2 * T / 3, 0), P(x - 2 * T / 3, 0, y, 0), P(x - T / 3, 0, y - 2 * T / 3, 0),
                P(x + T / 3, 0, y - 2 * T / 3, 0), P(x + 2 * T / 3, 0, y, 0), P(x + T / 3, 0, y + 2 * T / 3, 0)};
    }
    default:
        return {};
    }
}

namespace {

double DotSize(double p, TLiquidIndicatorStyle style, bool hover)
{
    double size = 0;
    double smallest = 2.5;
    switch (style) {
    case isThin: size = hover ? p / 2 - 1 : 2 * p / 3 - 1; smallest = 1.5; break;
    case isNormal: size = hover ? 2 * p / 3 - 1 : 3 * p / 4 - 1; smallest = 2.5; break;
    case isThick: size = hover ? 3 * p / 4 - 1 : p - 1; smallest = 3.5; break;
    }
    return std::max(size, smallest);
}

} // namespace

TQuad MatrixDotPolygon(QSize cell, int row, int column, TLiquidIndicatorStyle style, bool hover)
{
    const int w = cell.width();
    const int h = cell.height();
    const int s = Trunc((w / 8.0) / 2) + 1;
    const double px = (w - 2 * s) / 5.0;
    const double py = h / 7.0;
    const int dx = Trunc(DotSize(px, style, hover));
    const int dy = Trunc(DotSize(py, style, hover));
    const int x0 = Trunc((column - 1) * px + s);
    const int y0 = Trunc((row - 1) * py);
    return {QPoint(x0, y0), QPoint(x0 + dx, y0), QPoint(x0 + dx, y0 + dy), QPoint(x0, y0 + dy)};
}

void BuildCellPolygons(const QRect& cell, unsigned char ch, bool point, const TGlyphStyle& style,
                       TPolygonList& lit, TPolygonList& unlit)
{
    const QPoint origin = cell.topLeft();
    if (style.Kind == ik5x7matrix) {
        const auto rows = MatrixGlyph(ch);
        for (int r = 1; r <= 7; ++r)
            for (int c = 1; c <= 5; ++c) {
                const TQuad dot = MatrixDotPolygon(cell.size(), r, c, style.Style, style.Hover);
                const bool on = rows[r - 1] & (0x10 >> (c - 1));
                (on ? lit : unlit).Append(dot.data(), 4, origin);
            }
        return;
    }
    const TSegmentFlags flags = SegmentCellFlags(style.Kind, ch, point);
    const double T = SegmentThickness(cell.width(), cell.height(), style.Style, style.Hover);
    const int count = SegmentElementCount(style.Kind);
    for (int pos = 1; pos <= count; ++pos) {
        const THexagon hex = SegmentPolygon(cell.size(), pos, style.Kind, T);
        const bool on = flags & (1u << (pos - 1));
        (on ? lit : unlit).Append(hex.data(), 6, origin);
    }
}

void BuildGlyphPolygons(const TGlyphParams& p, const QByteArray& text, TPolygonList& lit, TPolygonList& unlit)
{
    lit.Clear();
    unlit.Clear();
    const int N = p.SignNumber;
    if (N < 1)
        return;
    const QSize cell = CellSize(p.Frame.W, p.Frame.H, N, p.Margin);
    const std::vector<TLayoutCell> cells = LayoutText(text, N, p.Style.Kind);
    const int perCell = p.Style.Kind == ik5x7matrix ? 35 : SegmentElementCount(p.Style.Kind);
    lit.Points.reserve(size_t(N) * perCell * 6);
    unlit.Points.reserve(size_t(N) * perCell * 6);
    for (int k = 0; k < N; ++k) {
        const QRect r(QPoint(k * cell.width(), 0), cell);
        BuildCellPolygons(r, cells[k].Ch, cells[k].Point, p.Style, lit, unlit);
    }
    for (TPolygonList* list : {&lit, &unlit}) {
        OffsetPoints(list->Points.data(), int(list->Points.size()), p.Margin, p.Margin);
        PlacePoints(list->Points.data(), int(list->Points.size()), p.Frame);
    }
}
