#include "rbcontrols/RbMarks.h"

#include "rbcontrols/RbDrawCore.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

struct Ink {
    char key;
    QRgb rgb;
};

QImage FromRows(const char* const rows[8], std::initializer_list<Ink> inks)
{
    QImage img(8, 8, QImage::Format_RGB888);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            QRgb c = qRgb(255, 0, 255);
            for (const Ink& ink : inks)
                if (ink.key == rows[y][x])
                    c = ink.rgb;
            img.setPixel(x, y, c);
        }
    return img;
}

} // namespace

const QImage& RbCheckMark()
{
    static const char* const rows[8] = {
        "........",
        ".......#",
        "......##",
        ".#...###",
        ".##.###.",
        ".#####..",
        "..###...",
        "...#....",
    };
    static const QImage img = FromRows(rows, {{'#', qRgb(0, 0, 0)}, {'.', qRgb(255, 0, 255)}});
    return img;
}

const QImage& RbCirc3DMark()
{
    static const char* const rows[8] = {
        "........",
        "..a##...",
        ".abc##..",
        ".#c###..",
        ".#####..",
        "..###...",
        "........",
        "........",
    };
    static const QImage img = FromRows(rows, {{'#', qRgb(0, 0, 0)},
                                              {'a', qRgb(96, 64, 0)},
                                              {'b', qRgb(128, 64, 0)},
                                              {'c', qRgb(0, 64, 0)},
                                              {'.', qRgb(255, 255, 255)}});
    return img;
}

QImage RbMarkBitmap(const QString& name)
{
    if (name == QLatin1String("CHECK"))
        return RbCheckMark();
    if (name == QLatin1String("CIRC3D"))
        return RbCirc3DMark();
    return QImage();
}

namespace {

// An ink of the dot bitmap as DrawTintedMark shows it.
QColor TintedInk(QRgb ink, TColor tint)
{
    QImage px(1, 1, QImage::Format_RGB888);
    px.setPixel(0, 0, ink);
    TintBitmap(px, tint);
    return px.pixelColor(0, 0);
}

} // namespace

void PaintCheckMark(QPainter& p, const QPointF& at, int tint)
{
    // Each column of the tick is three pixels tall; its centre line runs
    // through (1.5, 4.5), (3.5, 6.5) and (7.5, 2.5).
    QPainterPath tick;
    tick.moveTo(at + QPointF(1.0, 4.0));
    tick.lineTo(at + QPointF(3.5, 6.5));
    tick.lineTo(at + QPointF(8.0, 2.0));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(TintedInk(qRgb(0, 0, 0), tint), 3.0 / std::sqrt(2.0), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(tick);
    p.restore();
}

void PaintCirc3DMark(QPainter& p, const QPointF& at, int tint)
{
    // A ball over pixels 1..5 of both axes, lit from the top left.
    QRadialGradient shade(at + QPointF(2.5, 2.5), 2.5);
    shade.setColorAt(0.0, TintedInk(qRgb(128, 64, 0), tint));
    shade.setColorAt(0.5, TintedInk(qRgb(0, 64, 0), tint));
    shade.setColorAt(1.0, TintedInk(qRgb(0, 0, 0), tint));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(at + QPointF(1, 1), QSizeF(5, 5)));
    p.restore();
}
