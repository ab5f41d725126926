#pragma once

#include <QObject>
#include <cstdint>

// Colour values as the rest of the program stores them: 0x00BBGGRR (red in
// the low byte). A negative value names a system colour by its low byte and is
// turned into RGB only where pixels are computed (IndicatorPixels.h).
using TColor = std::int32_t;

// The indicator's enumerations; its properties carry them, so the
// meta-object system knows their value names.
namespace LiquidEnums {
Q_NAMESPACE

enum TLiquidColorScheme { csSilver, csInvSilver, csWhite, csBlack, csPlasma, csInvPlasma, csVarno };
Q_ENUM_NS(TLiquidColorScheme)
enum TLiquidIndicatorKind { ik7segment, ik5x7matrix, ik9segment };
Q_ENUM_NS(TLiquidIndicatorKind)
enum TLiquidBevelKind { bkUP, bkDown, bkNone };
Q_ENUM_NS(TLiquidBevelKind)
enum TLiquidIndicatorStyle { isThin, isNormal, isThick };
Q_ENUM_NS(TLiquidIndicatorStyle)
enum TLiquidMouseAction { maNone, maColor, maWidth, maBoth };
Q_ENUM_NS(TLiquidMouseAction)
enum TLiquidTransparentMode { tmNone, tmBackOnly, tmAll };
Q_ENUM_NS(TLiquidTransparentMode)
enum TLiquidMaterialShadowMode { msmDark, msmLight, msmNone };
Q_ENUM_NS(TLiquidMaterialShadowMode)
enum TLiquidMaterialMode { mmStretch, mmTile };
Q_ENUM_NS(TLiquidMaterialMode)

} // namespace LiquidEnums

// Used unqualified all over the program.
using LiquidEnums::TLiquidBevelKind;
using LiquidEnums::TLiquidColorScheme;
using LiquidEnums::TLiquidIndicatorKind;
using LiquidEnums::TLiquidIndicatorStyle;
using LiquidEnums::TLiquidMaterialMode;
using LiquidEnums::TLiquidMaterialShadowMode;
using LiquidEnums::TLiquidMouseAction;
using LiquidEnums::TLiquidTransparentMode;
using enum LiquidEnums::TLiquidBevelKind;
using enum LiquidEnums::TLiquidColorScheme;
using enum LiquidEnums::TLiquidIndicatorKind;
using enum LiquidEnums::TLiquidIndicatorStyle;
using enum LiquidEnums::TLiquidMaterialMode;
using enum LiquidEnums::TLiquidMaterialShadowMode;
using enum LiquidEnums::TLiquidMouseAction;
using enum LiquidEnums::TLiquidTransparentMode;

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
