#include "rbcontrols/RbDrawCore.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

inline std::uint8_t* Px(QImage& img, int x, int y) { return img.scanLine(y) + 3 * x; }
inline const std::uint8_t* Px(const QImage& img, int x, int y) { return img.constScanLine(y) + 3 * x; }

inline void Put(std::uint8_t* p, TRgb c)
{
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

QRect Bounds(const QImage& img) { return QRect(0, 0, img.width(), img.height()); }

// Points beyond the span (the corners of a radial gradient) saturate at the
// end colour instead of wrapping round to the other end of the byte.
inline std::uint8_t Channel(double v)
{
    return std::uint8_t(std::clamp(RbRound(v), 0, 255));
}

bool Usable(const QImage& img)
{
    return !img.isNull() && img.format() == QImage::Format_RGB888;
}

} // namespace

int RbRound(double v)
{
    // lrint follows the current rounding mode, which is round-to-nearest-even.
    return static_cast<int>(std::lrint(v));
}

QImage MakeBitmap(int w, int h, TColor fill)
{
    if (w <= 0 || h <= 0)
        return QImage();
    QImage img(w, h, QImage::Format_RGB888);
    if (fill != clNone)
        FillRect(img, img.rect(), fill);
    return img;
}

void FillRect(QImage& bmp, const QRect& r, TColor c)
{
    if (!Usable(bmp))
        return;
    const QRect a = r.intersected(Bounds(bmp));
    if (a.isEmpty())
        return;
    const TRgb rgb = ResolveColor(c);
    for (int y = a.top(); y <= a.bottom(); ++y) {
        std::uint8_t* p = Px(bmp, a.left(), y);
        for (int x = a.left(); x <= a.right(); ++x, p += 3)
            Put(p, rgb);
    }
}

void FillRegion(QImage& bmp, const QRegion& rgn, TColor c)
{
    for (const QRect& r : rgn)
        FillRect(bmp, r, c);
}

QRegion EllipseRegion(const QRect& r)
{
    return QRegion(r, QRegion::Ellipse);
}

QRegion RoundRectRegion(const QRect& r, int ellipseW, int ellipseH)
{
    if (ellipseW <= 0 || ellipseH <= 0)
        return QRegion(r);
    QPainterPath path;
    path.addRoundedRect(QRectF(r), ellipseW / 2.0, ellipseH / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

void GradientFill(QImage& bmp, const QRect& rect, TColor from, TColor to, TGradientType t, const QRegion* region)
{
    if (!Usable(bmp) || bmp.width() <= 0 || bmp.height() <= 0)
        return;
    if (from == to) {
        if (region)
            FillRegion(bmp, *region, from);
        else
            FillRect(bmp, rect, from);
        return;
    }
    const int L = rect.left(), T = rect.top();
    const int W = rect.width(), H = rect.height();
    const int R = L + W;
    const int D = RbRound(std::sqrt(double(W) * W + double(H) * H));
    int S = 0;
    switch (t) {
    case gtHorizontal: S = W; break;
    case gtVertical: S = H; break;
    case gtFromTopLeft:
    case gtFromTopRight: S = D - L; break;
    case gtRadial: S = (D - L) / 2; break;
    case gtDoubleHorz: S = W / 2; break;
    case gtDoubleVert: S = H / 2; break;
    }
    const TRgb c1 = ResolveColor(from), c2 = ResolveColor(to);
    // A span of 0 (a double gradient one pixel across) leaves the start colour.
    const double dr = S != 0 ? (c2.r - c1.r) / double(S) : 0.0;
    const double dg = S != 0 ? (c2.g - c1.g) / double(S) : 0.0;
    const double db = S != 0 ? (c2.b - c1.b) / double(S) : 0.0;

    const QRect clip = rect.intersected(Bounds(bmp));
    const QRegion area = region ? region->intersected(clip) : QRegion(clip);
    for (const QRect& part : area) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            std::uint8_t* p = Px(bmp, part.left(), y);
            for (int x = part.left(); x <= part.right(); ++x, p += 3) {
                double d = 0;
                switch (t) {
                case gtHorizontal: d = x - L; break;
                case gtVertical: d = y - T; break;
                case gtFromTopLeft: d = std::sqrt(double(x - L) * (x - L) + double(y - T) * (y - T)); break;
                case gtFromTopRight: d = std::sqrt(double(R - x) * (R - x) + double(y - T) * (y - T)); break;
                case gtRadial: {
                    const double dx = W / 2 - x, dy = y - H / 2;
                    d = std::sqrt(dx * dx + dy * dy);
                    break;
                }
                case gtDoubleHorz: d = std::abs(x - S - L); break;
                case gtDoubleVert: d = std::abs(y - S - T); break;
                }
                p[0] = Channel(dr * d + c1.r);
                p[1] = Channel(dg * d + c1.g);
                p[2] = Channel(db * d + c1.b);
            }
        }
    }
}

void BlendBitmap(QImage& dest, const QImage& src, const QRect& rect, int percent)
{
    if (!Usable(dest) || !Usable(src))
        return;
    percent = std::clamp(percent, 0, 100);
    const double a = (100 - percent) / 100.0;
    const double b = 1.0 - a;
    const QRect area = rect.intersected(Bounds(dest)).intersected(Bounds(src).translated(rect.topLeft()));
    if (area.isEmpty())
        return;
    const int n = area.width() * 3;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        std::uint8_t* d = Px(dest, area.left(), y);
        const std::uint8_t* s = Px(src, area.left() - rect.left(), y - rect.top());
        for (int i = 0; i < n; ++i)
            d[i] = std::uint8_t(RbRound(a * d[i] + b * s[i]));
    }
}

void ComposeLayers(QImage& dest, const QImage& base, const QImage& overlay, int inset, const QRect& rect, int level)
{
    if (!Usable(dest))
        return;
    const int w = rect.width() - inset;
    const int h = rect.height() - inset;
    if (Usable(base) && w > 0 && h > 0) {
        // Copying within one bitmap may overlap: take the block first.
        const QImage block = (&base == &dest) ? base.copy(0, 0, w, h) : QImage();
        const QImage& from = (&base == &dest) ? block : base;
        const QPoint at(rect.left() + inset, rect.top() + inset);
        const QRect target = QRect(at, QSize(std::min(w, from.width()), std::min(h, from.height())))
                                 .intersected(Bounds(dest));
        for (int y = target.top(); y <= target.bottom(); ++y)
            std::memcpy(Px(dest, target.left(), y), Px(from, target.left() - at.x(), y - at.y()),
                        std::size_t(target.width()) * 3);
    }
    if (level > 0)
        BlendBitmap(dest, overlay, rect, std::min(level, 100));
}

void TintBitmap(QImage& bmp, TColor tint)
{
    if (!Usable(bmp))
        return;
    const TRgb t = ResolveColor(tint);
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3) {
            const int grey = (p[0] + p[1] + p[2]) / 3;
            p[0] = std::uint8_t(std::min(grey + t.r, 255));
            p[1] = std::uint8_t(std::min(grey + t.g, 255));
            p[2] = std::uint8_t(std::min(grey + t.b, 255));
        }
    }
}

namespace {

// One destination pixel of a box-filter shrink; false when src is too small.
bool BoxPixel(const QImage& src, QImage& dst, int x, int y, int factor)
{
    const int x0 = x * factor, y0 = y * factor;
    if (x0 + factor > src.width() || y0 + factor > src.height())
        return false;
    int sum[3] = {0, 0, 0};
    for (int yy = y0; yy < y0 + factor; ++yy) {
        const std::uint8_t* s = Px(src, x0, yy);
        for (int i = 0; i < factor * 3; i += 3) {
            sum[0] += s[i];
            sum[1] += s[i + 1];
            sum[2] += s[i + 2];
        }
    }
    const int area = factor * factor;
    std::uint8_t* d = Px(dst, x, y);
    d[0] = std::uint8_t(sum[0] / area);
    d[1] = std::uint8_t(sum[1] / area);
    d[2] = std::uint8_t(sum[2] / area);
    return true;
}

} // namespace

void DownsampleBitmap(const QImage& src, QImage& dst, int factor)
{
    if (!Usable(src) || !Usable(dst) || factor < 1)
        return;
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x)
            BoxPixel(src, dst, x, y, factor);
}

void DownsampleBorder(const QImage& src, QImage& dst, int factor, TColor color, int band)
{
    if (!Usable(src) || !Usable(dst) || factor < 1)
        return;
    if (band < 1)
        band = factor;
    const int m = band / 2;
    const int w = dst.width(), h = dst.height();
    for (int y = 0; y < h; ++y) {
        const bool edgeRow = y <= m || y >= h - m;
        for (int x = 0; x < w; ++x) {
            if (!edgeRow && x > m && x < w - m)
                continue;
            BoxPixel(src, dst, x, y, factor);
        }
    }
    FillRect(dst, QRect(m, m, w - 2 * m, h - 2 * m), color);
}

void DrawTransparent(QImage& dest, const QImage& bmp, int x, int y, TRgb transparent)
{
    if (!Usable(dest) || !Usable(bmp))
        return;
    const QRect area = QRect(x, y, bmp.width(), bmp.height()).intersected(Bounds(dest));
    for (int yy = area.top(); yy <= area.bottom(); ++yy) {
        std::uint8_t* d = Px(dest, area.left(), yy);
        const std::uint8_t* s = Px(bmp, area.left() - x, yy - y);
        for (int xx = area.left(); xx <= area.right(); ++xx, d += 3, s += 3)
            if (s[0] != transparent.r || s[1] != transparent.g || s[2] != transparent.b) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
    }
}

TRbTextFormat CaptionFormat(int alignment, bool wordWrap)
{
    TRbTextFormat f;
    Qt::Alignment h = Qt::AlignLeft;
    if (alignment == taRightJustify)
        h = Qt::AlignRight;
    else if (alignment == taCenter)
        h = Qt::AlignHCenter;
    f.Align = h | Qt::AlignVCenter;
    f.WordWrap = wordWrap;
    f.EndEllipsis = true;
    f.Prefix = false;
    return f;
}

void DrawFormattedText(QPainter& p, const QString& text, const TRbTextFormat& fmt, const QRect& r)
{
    if (text.isEmpty())
        return;
    int flags = int(fmt.Align) | (fmt.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (fmt.Prefix)
        flags |= Qt::TextShowMnemonic;
    QString shown = text;
    if (!fmt.WordWrap && fmt.EndEllipsis) {
        const QFontMetrics fm(p.font());
        const int mnemonic = fmt.Prefix ? int(Qt::TextShowMnemonic) : 0;
        if (fm.boundingRect(QRect(0, 0, 100000, 1000), flags, text).width() > r.width())
            shown = fm.elidedText(text, Qt::ElideRight, std::max(r.width(), 0), mnemonic);
    }
    p.drawText(r, flags, shown);
}

void DrawShadowText(QPainter& p, const QString& text, const TRbFont& font, TColor fontColor, TColor shadowColor,
                    bool shadowOn, const TRbTextFormat& fmt, const QRect& rect, bool enabled)
{
    if (text.isEmpty())
        return;
    p.save();
    p.setFont(font.ToQFont());
    p.setBrush(Qt::NoBrush);
    const QRect shifted = rect.translated(1, 1);
    if (enabled) {
        if (shadowOn) {
            p.setPen(ToQColor(shadowColor));
            DrawFormattedText(p, text, fmt, shifted);
        }
        p.setPen(ToQColor(fontColor));
        DrawFormattedText(p, text, fmt, rect);
    } else {
        p.setPen(ToQColor(clBtnHighlight));
        DrawFormattedText(p, text, fmt, shifted);
        p.setPen(ToQColor(clBtnShadow));
        DrawFormattedText(p, text, fmt, rect);
    }
    p.restore();
}

void DrawShadowText(QPainter& p, const QString& text, const TRbFont& font, TColor shadowColor, bool shadowOn,
                    const TRbTextFormat& fmt, const QRect& rect, bool enabled)
{
    DrawShadowText(p, text, font, font.Color(), shadowColor, shadowOn, fmt, rect, enabled);
}

void DrawTintedMark(QImage& dest, const QImage& mark, TColor tint, int x, int y)
{
    if (mark.isNull())
        return;
    QImage copy = mark.convertToFormat(QImage::Format_RGB888);
    TintBitmap(copy, tint);
    const std::uint8_t* key = Px(std::as_const(copy), 0, copy.height() - 1);
    DrawTransparent(dest, copy, x, y, TRgb{key[0], key[1], key[2]});
}

void DrawFocusRect(QImage& dest, const QRect& r)
{
    if (!Usable(dest) || r.width() <= 0 || r.height() <= 0)
        return;
    const QRect b = Bounds(dest);
    auto invert = [&](int x, int y) {
        if (!b.contains(x, y))
            return;
        std::uint8_t* p = Px(dest, x, y);
        p[0] ^= 0xFF;
        p[1] ^= 0xFF;
        p[2] ^= 0xFF;
    };
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, bb = r.top() + r.height() - 1;
    // Walk the outline once, inverting every other pixel of the walk.
    int n = 0;
    for (int x = l; x <= rr; ++x, ++n)
        if (n % 2 == 0)
            invert(x, t);
    for (int y = t + 1; y <= bb; ++y, ++n)
        if (n % 2 == 0)
            invert(rr, y);
    if (bb > t)
        for (int x = rr - 1; x >= l; --x, ++n)
            if (n % 2 == 0)
                invert(x, bb);
    if (rr > l)
        for (int y = bb - 1; y > t; --y, ++n)
            if (n % 2 == 0)
                invert(l, y);
}

void DrawLineNoEnd(QImage& dest, int x1, int y1, int x2, int y2, TColor c)
{
    if (y1 == y2)
        FillRect(dest, QRect(std::min(x1, x2), y1, std::abs(x2 - x1), 1), c);
    else if (x1 == x2)
        FillRect(dest, QRect(x1, std::min(y1, y2), 1, std::abs(y2 - y1)), c);
}
