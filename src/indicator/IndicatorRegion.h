#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>

#include "indicator/IndicatorGeometry.h"

// Region of one or several polygons with the even-odd rule: a pixel belongs
// to it when its centre lies inside an odd number of the polygons. A centre
// exactly on a left edge counts as inside, on a right edge as outside, so a
// rectangle (x0, y0)..(x1, y1) covers the pixels x0..x1-1, y0..y1-1, as a
// polygon region of the windowing system does. Only pixels inside bounds are
// kept.
QRegion PolygonRegion(const QPoint* points, const int* counts, int polygons, const QRect& bounds);
QRegion PolygonRegion(const TPolygonList& list, const QRect& bounds);

template <size_t N>
QRegion PolygonRegion(const std::array<QPoint, N>& polygon, const QRect& bounds)
{
    const int count = int(N);
    return PolygonRegion(polygon.data(), &count, 1, bounds);
}
