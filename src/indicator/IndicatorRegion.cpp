#include "indicator/IndicatorRegion.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct TEdge {
    int yTop;      // first row whose centre the edge crosses
    int yEnd;      // first row it no longer crosses
    std::int64_t x1, y1, dx, dy; // dy > 0
};

// Smallest pixel column whose centre lies at or right of the edge's crossing
// with the centre line of row y: ceil(X - 1/2), exactly, in integers.
int CrossingColumn(const TEdge& e, int y)
{
    // X = x1 + (2y + 1 - 2y1) * dx / (2 dy);  2X - 1 = num / (2 dy)
    const std::int64_t D = 2 * e.dy;
    const std::int64_t num = 2 * e.x1 * D + 2 * (2 * std::int64_t(y) + 1 - 2 * e.y1) * e.dx - D;
    const std::int64_t den = 2 * D;
    std::int64_t q = num / den;
    if (num % den != 0 && num > 0)
        ++q;
    return int(q);
}

} // namespace

QRegion PolygonRegion(const QPoint* points, const int* counts, int polygons, const QRect& bounds)
{
    std::vector<TEdge> edges;
    int first = 0;
    for (int p = 0; p < polygons; ++p) {
        const int n = counts[p];
        for (int i = 0; i < n; ++i) {
            QPoint a = points[first + i];
            QPoint b = points[first + (i + 1) % n];
            if (a.y() == b.y())
                continue;
            if (a.y() > b.y())
                std::swap(a, b);
            edges.push_back({a.y(), b.y(), a.x(), a.y(), b.x() - a.x(), b.y() - a.y()});
        }
        first += n;
    }
    if (edges.empty() || bounds.isEmpty())
        return QRegion();
    std::sort(edges.begin(), edges.end(), [](const TEdge& l, const TEdge& r) { return l.yTop < r.yTop; });

    int yMax = edges.front().yEnd;
    for (const TEdge& e : edges)
        yMax = std::max(yMax, e.yEnd);
    const int yFrom = std::max(edges.front().yTop, bounds.top());
    const int yTo = std::min(yMax, bounds.bottom() + 1);
    const int xLeft = bounds.left();
    const int xRight = bounds.right() + 1;

    std::vector<QRect> rects;
    std::vector<int> active;   // indices into edges
    std::vector<int> columns;
    std::vector<QRect> row, previous;
    size_t next = 0;
    size_t bandStart = 0;     // index in rects of the previous row's band
    for (int y = yFrom; y < yTo; ++y) {
        while (next < edges.size() && edges[next].yTop <= y)
            active.push_back(int(next++));
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](int i) { return edges[i].yEnd <= y; }),
                     active.end());
        columns.clear();
        for (int i : active)
            columns.push_back(CrossingColumn(edges[i], y));
        std::sort(columns.begin(), columns.end());

        row.clear();
        for (size_t k = 0; k + 1 < columns.size(); k += 2) {
            const int x0 = std::max(columns[k], xLeft);
            const int x1 = std::min(columns[k + 1], xRight);
            if (x0 >= x1)
                continue;
            if (!row.empty() && row.back().right() + 1 >= x0)
                row.back().setRight(x1 - 1); // abutting spans become one
            else
                row.push_back(QRect(x0, y, x1 - x0, 1));
        }

        // A row equal to the one above extends that band.
        bool same = !previous.empty() && row.size() == previous.size() &&
                    rects[bandStart].bottom() == y - 1;
        for (size_t k = 0; same && k < row.size(); ++k)
            same = row[k].left() == previous[k].left() && row[k].right() == previous[k].right();
        if (same) {
            for (size_t k = 0; k < row.size(); ++k)
                rects[bandStart + k].setBottom(y);
        } else if (!row.empty()) {
            bandStart = rects.size();
            rects.insert(rects.end(), row.begin(), row.end());
            previous = row;
        } else {
            previous.clear();
        }
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

QRegion PolygonRegion(const TPolygonList& list, const QRect& bounds)
{
    return PolygonRegion(list.Points.data(), list.Counts.data(), list.Count(), bounds);
}
