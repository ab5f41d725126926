#include "indicator/IndicatorPixels.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <numbers>

TColor ResolveColor(TColor c, const QPalette& pal)
{
    if (c >= 0)
        return c;
    QColor q;
    switch (c & 0xFF) {
    case 0: q = pal.color(QPalette::Midlight); break;              // scroll bar
    case 1: q = pal.color(QPalette::Dark); break;                  // desktop
    case 2: q = pal.color(QPalette::Highlight); break;             // active caption
    case 3: q = pal.color(QPalette::Mid); break;                   // inactive caption
    case 4: q = pal.color(QPalette::Window); break;                // menu
    case 5: q = pal.color(QPalette::Base); break;                  // window
    case 6: q = pal.color(QPalette::Shadow); break;                // window frame
    case 7: q = pal.color(QPalette::WindowText); break;            // menu text
    case 8: q = pal.color(QPalette::Text); break;                  // window text
    case 9: q = pal.color(QPalette::HighlightedText); break;       // caption text
    case 10: case 11: q = pal.color(QPalette::Button); break;      // borders
    case 12: q = pal.color(QPalette::Mid); break;                  // app workspace
    case 13: q = pal.color(QPalette::Highlight); break;
    case 14: q = pal.color(QPalette::HighlightedText); break;
    case 15: q = pal.color(QPalette::Button); break;               // button face
    case 16: q = pal.color(QPalette::Dark); break;                 // button shadow
    case 17: q = pal.color(QPalette::Disabled, QPalette::Text); break;
    case 18: q = pal.color(QPalette::ButtonText); break;
    case 19: q = pal.color(QPalette::Disabled, QPalette::WindowText); break;
    case 20: q = pal.color(QPalette::Light); break;                // button highlight
    case 21: q = pal.color(QPalette::Shadow); break;               // 3D dark shadow
    case 22: q = pal.color(QPalette::Midlight); break;             // 3D light
    case 23: q = pal.color(QPalette::ToolTipText); break;
    case 24: q = pal.color(QPalette::ToolTipBase); break;
    case 26: q = pal.color(QPalette::Link); break;                 // hot light
    case 27: q = pal.color(QPalette::Highlight); break;            // caption gradients
    case 28: q = pal.color(QPalette::Mid); break;
    case 29: q = pal.color(QPalette::Highlight); break;            // menu highlight
    case 30: q = pal.color(QPalette::Window); break;               // menu bar
    default: return 0; // unknown index: black, as the system answers
    }
    return RgbToColor(q.rgb());
}

QRgb ColorToRgb(TColor c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor RgbToColor(QRgb rgb)
{
    return qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
}

namespace {

TColor ShiftChannels(TColor c, int delta)
{
    auto ch = [&](int shift) { return std::clamp(((c >> shift) & 0xFF) + delta, 0, 255) << shift; };
    return ch(0) | ch(8) | ch(16);
}

template <typename Op>
void ForEachColorByte(QImage& bitmap, Op op)
{
    if (bitmap.format() != QImage::Format_RGB888)
        bitmap = bitmap.convertToFormat(QImage::Format_RGB888);
    const int bytes = 3 * bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        uchar* row = bitmap.scanLine(y);
        for (int i = 0; i < bytes; ++i)
            row[i] = op(row[i]);
    }
}

} // namespace

TColor LighterColor(TColor c, const QPalette& palette)
{
    return ShiftChannels(ResolveColor(c, palette), 32);
}

TColor DarkerColor(TColor c, const QPalette& palette)
{
    return ShiftChannels(ResolveColor(c, palette), -32);
}

void DarkenBitmap(QImage& bitmap, int v)
{
    ForEachColorByte(bitmap, [v](uchar b) { return uchar(b < v ? 0 : b - v); });
}

void LightenBitmap(QImage& bitmap, int v)
{
    ForEachColorByte(bitmap, [v](uchar b) { return uchar(b > 255 - v ? 255 : b + v); });
}

TDerivedMaterials MakeDerivedMaterials(const QImage& material, TLiquidMaterialShadowMode mode)
{
    TDerivedMaterials d;
    if (!MaterialPresent(material))
        return d;
    // Drawn onto an opaque 24-bit copy, so a material with alpha ends up
    // over black the way a bitmap without alpha would.
    QImage base(material.size(), QImage::Format_RGB888);
    base.fill(Qt::black);
    {
        QPainter p(&base);
        p.drawImage(0, 0, material);
    }
    d.Dark = base;
    d.Light = base;
    d.Shadow = base;
    DarkenBitmap(d.Dark, 64);
    LightenBitmap(d.Light, 64);
    if (mode == msmDark)
        DarkenBitmap(d.Shadow, 32);
    else if (mode == msmLight)
        LightenBitmap(d.Shadow, 32);
    return d;
}

void FillWithMaterial(QPainter& painter, const QImage& material, QSize size, TLiquidMaterialMode mode)
{
    if (!MaterialPresent(material) || material.height() == 0)
        return;
    if (mode == mmStretch) {
        painter.drawImage(QRect(QPoint(0, 0), size), material);
        return;
    }
    const int bw = material.width();
    const int bh = material.height();
    for (int i = 0; i <= size.width() / bw; ++i)
        for (int j = 0; j <= size.height() / bh; ++j)
            painter.drawImage(bw * i, bh * j, material);
}

void FillRegion(QImage& image, const QRegion& region, QRgb color)
{
    const QRect bounds = image.rect();
    for (const QRect& r0 : region) {
        const QRect r = r0 & bounds;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line + r.left(), line + r.right() + 1, color);
        }
    }
}

int LightingOctant(int angle)
{
    const double theta = angle * std::numbers::pi / 1800.0;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    // Later true tests override earlier ones.
    int q = 1;
    if (c >= 0 && s >= 0) q = 1;
    if (c >= 0 && s <= 0) q = 4;
    if (c <= 0 && s >= 0) q = 2;
    if (c <= 0 && s <= 0) q = 3;
    const double k = 1 / std::numbers::sqrt2;
    switch (q) {
    case 1: return s <= k ? 1 : 2;
    case 2: return s <= k ? 4 : 3;
    case 3: return s >= -k ? 5 : 6;
    default: return s >= -k ? 8 : 7;
    }
}
