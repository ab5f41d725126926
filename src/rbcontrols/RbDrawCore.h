#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbFont.h"
#include "rbcontrols/RbTypes.h"

#include <QImage>
#include <QRect>
#include <QRegion>

class QPainter;

// Pixel routines shared by the skinned controls. All bitmaps are
// QImage::Format_RGB888 and are addressed row by row. Rectangles are QRect
// (right and bottom exclusive in the routines' terms: QRect(l, t, w, h)).
// Pixels outside the bitmaps are never touched.

// Round half to even.
int RbRound(double v);

// A 24-bit bitmap of the given size (contents undefined when fill is clNone).
QImage MakeBitmap(int w, int h, TColor fill = clNone);
void FillRect(QImage& bmp, const QRect& r, TColor c);
void FillRegion(QImage& bmp, const QRegion& rgn, TColor c);

// Regions in the platform's shapes, in bitmap coordinates.
QRegion EllipseRegion(const QRect& r);
QRegion RoundRectRegion(const QRect& r, int ellipseW, int ellipseH);

// Paints a gradient of type t into rect, clipped to region when given.
void GradientFill(QImage& bmp, const QRect& rect, TColor from, TColor to, TGradientType t,
                  const QRegion* region = nullptr);
// Mixes src (read from its origin) into rect of dest; percent is src's share.
void BlendBitmap(QImage& dest, const QImage& src, const QRect& rect, int percent);
// Copies base into dest at rect's corner + inset, then blends overlay by level.
// base may be dest itself.
void ComposeLayers(QImage& dest, const QImage& base, const QImage& overlay, int inset, const QRect& rect,
                   int level);
// Every pixel becomes its grey value plus the tint, saturating.
void TintBitmap(QImage& bmp, TColor tint);
// Box-filter shrink of src by factor into dst (dst keeps its size).
void DownsampleBitmap(const QImage& src, QImage& dst, int factor);
// Shrinks only a band of (band div 2) pixels along dst's edges; the inside is
// filled with color.
void DownsampleBorder(const QImage& src, QImage& dst, int factor, TColor color, int band);
// Draws bmp at (x, y) skipping the pixels of the transparent colour.
void DrawTransparent(QImage& dest, const QImage& bmp, int x, int y, TRgb transparent);

// Text-drawing flags of a caption.
struct TRbTextFormat {
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignVCenter;
    bool WordWrap = false;
    bool EndEllipsis = true;
    bool Prefix = false; // "&" marks an access key
};
enum TRbAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
TRbTextFormat CaptionFormat(int alignment, bool wordWrap);
// Draws text in the painter's font and pen.
void DrawFormattedText(QPainter& p, const QString& text, const TRbTextFormat& fmt, const QRect& r);
// A caption with an optional shadow one pixel right and below, or embossed
// grey when disabled (whatever shadowOn says). Draws no background.
void DrawShadowText(QPainter& p, const QString& text, const TRbFont& font, TColor shadowColor, bool shadowOn,
                    const TRbTextFormat& fmt, const QRect& rect, bool enabled);
// Same, with a font colour other than font.Color() (hot tracking).
void DrawShadowText(QPainter& p, const QString& text, const TRbFont& font, TColor fontColor, TColor shadowColor,
                    bool shadowOn, const TRbTextFormat& fmt, const QRect& rect, bool enabled);

// Draws mark (an 8 x 8 mark or a glyph) tinted, keyed on its bottom-left pixel
// after tinting.
void DrawTintedMark(QImage& dest, const QImage& mark, TColor tint, int x, int y);
// The platform's dotted focus frame: every other pixel of the outline inverted.
void DrawFocusRect(QImage& dest, const QRect& r);
// A line of pixels from (x1, y1) towards (x2, y2) without the end point;
// horizontal or vertical only.
void DrawLineNoEnd(QImage& dest, int x1, int y1, int x2, int y2, TColor c);
