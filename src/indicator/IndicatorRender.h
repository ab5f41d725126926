#pragma once

#include <QByteArray>
#include <QImage>
#include <QRegion>

#include "indicator/IndicatorGeometry.h"
#include "indicator/IndicatorPixels.h"
#include "indicator/IndicatorRegion.h"
#include "indicator/IndicatorTypes.h"

// Everything the picture depends on, colours already resolved to RGB.
struct TRenderInput {
    TIndicatorFrame Frame;
    int SignNumber = 10;
    int Gap = 2;
    QByteArray Text;
    TGlyphStyle Glyphs;
    bool HoverColor = false; // mouse over and the mouse action changes the colour

    TLiquidBevelKind OuterBevel = bkUP;
    TLiquidBevelKind InnerBevel = bkDown;
    int OuterBevelWidth = 2;
    int InnerBevelWidth = 2;

    TColor BevelColor = 0xDDDDDD;
    TColor BackColor = 0xDDDDDD;
    TColor NumberForeColor = 0x363636;
    TColor NumberForeColor1 = 0x0000FF;
    TColor NumberBackColor = 0xD3D3D3;

    TLiquidTransparentMode TransparentMode = tmNone;
    const QImage* BackMaterial = nullptr;
    const QImage* ForeMaterial = nullptr;
    const TDerivedMaterials* Derived = nullptr;
    TLiquidMaterialMode MaterialMode = mmStretch;
    TLiquidMaterialMode ForeMaterialMode = mmStretch;
};

// The finished picture, the region that covers the parent in the transparent
// modes, and the polygon lists it was painted from.
struct TRenderOutput {
    QImage Buffer;
    QRegion Clip;
    bool HasClip = false;
    TPolygonList Lit;
    TPolygonList Unlit;
};

// Builds the polygons and paints background, outer bevel, inner bevel, lit and
// unlit elements into out.Buffer (32 bits, the control's size).
void RenderIndicator(const TRenderInput& in, TRenderOutput& out);
