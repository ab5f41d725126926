#pragma once

#include <cstdint>

// Colour values as the rest of the program stores them: 0x00BBGGRR (red in
// the low byte). A negative value names a system colour by its low byte and is
// turned into RGB only where pixels are computed (IndicatorPixels.h).
using TColor = std::int32_t;

enum TLiquidColorScheme { csSilver, csInvSilver, csWhite, csBlack, csPlasma, csInvPlasma, csVarno };
enum TLiquidIndicatorKind { ik7segment, ik5x7matrix, ik9segment };
enum TLiquidBevelKind { bkUP, bkDown, bkNone };
enum TLiquidIndicatorStyle { isThin, isNormal, isThick };
enum TLiquidMouseAction { maNone, maColor, maWidth, maBoth };
enum TLiquidTransparentMode { tmNone, tmBackOnly, tmAll };
enum TLiquidMaterialShadowMode { msmDark, msmLight, msmNone };
enum TLiquidMaterialMode { mmStretch, mmTile };

// The five colours a scheme writes.
struct TSchemeColors {
    TColor BackColor;
    TColor BevelColor;
    TColor NumberBackColor;
    TColor NumberForeColor;
    TColor NumberForeColor1;
};

// Colours of a scheme; an out-of-range value gives csSilver.
TSchemeColors SchemeColors(TLiquidColorScheme scheme);
