#pragma once

#include <QImage>
#include <QPalette>
#include <QRgb>
#include <QSize>

#include "indicator/IndicatorTypes.h"

class QPainter;
class QRegion;

// A negative colour names a system colour by its low byte (the Windows
// colour indices); it becomes the matching colour of the palette. Colours
// >= 0 are returned unchanged.
TColor ResolveColor(TColor c, const QPalette& palette);

// 0x00BBGGRR (already resolved) to the buffer's 0xFFRRGGBB.
QRgb ColorToRgb(TColor c);
TColor RgbToColor(QRgb rgb);

// Each channel 32 brighter (capped at 255) or darker (floored at 0).
TColor LighterColor(TColor c, const QPalette& palette = QPalette());
TColor DarkerColor(TColor c, const QPalette& palette = QPalette());

// Change every colour byte of a 24-bit bitmap in place; other formats are
// converted to 24 bits first.
void DarkenBitmap(QImage& bitmap, int v);
void LightenBitmap(QImage& bitmap, int v);

// The three copies of the back material the bevels and unlit elements use.
struct TDerivedMaterials {
    QImage Dark;
    QImage Light;
    QImage Shadow;
};
TDerivedMaterials MakeDerivedMaterials(const QImage& material, TLiquidMaterialShadowMode mode);

// A material counts as present when it has a width.
inline bool MaterialPresent(const QImage& m) { return m.width() != 0; }

// Covers the area (0, 0)..size with the material, stretched or tiled; only
// what the painter's clip allows changes.
void FillWithMaterial(QPainter& painter, const QImage& material, QSize size, TLiquidMaterialMode mode);

// Fills the region's pixels of a 32-bit image with one colour.
void FillRegion(QImage& image, const QRegion& region, QRgb color);

// Octant 1..8 of the angle (tenths of a degree) for the bevel lighting.
int LightingOctant(int angle);
