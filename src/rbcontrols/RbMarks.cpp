#include "RbMarks.h"

#include <QColor>

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
