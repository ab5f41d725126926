#pragma once

#include <QStringList>
#include <array>

// Enumerations shared by the skinned controls and the style manager. The name
// lists are in ordinal order; the property tables and the scheme files use them.

enum TGradientType {
    gtHorizontal,
    gtVertical,
    gtFromTopLeft,
    gtFromTopRight,
    gtRadial,
    gtDoubleHorz,
    gtDoubleVert
};

enum TFadeSpeed { fsSlow, fsMedium, fsFast, fsVeryFast };

// Timer interval of one fade step, in milliseconds, by TFadeSpeed.
inline constexpr std::array<int, 4> FadeIntervals = {40, 20, 12, 8};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TRadioSize { rsSmall, rsMedium, rsLarge };

// A set of border lines: bit (1 << member ordinal).
enum TBorderLine { blTop, blBottom, blLeft, blRight };
using TBorderLines = int;
inline constexpr TBorderLines BorderLineBit(TBorderLine l) { return 1 << int(l); }
inline constexpr TBorderLines AllBorderLines = 0xF;

inline const QStringList& GradientTypeNames()
{
    static const QStringList n = {"gtHorizontal", "gtVertical", "gtFromTopLeft", "gtFromTopRight",
                                  "gtRadial", "gtDoubleHorz", "gtDoubleVert"};
    return n;
}
inline const QStringList& FadeSpeedNames()
{
    static const QStringList n = {"fsSlow", "fsMedium", "fsFast", "fsVeryFast"};
    return n;
}
inline const QStringList& ButtonLayoutNames()
{
    static const QStringList n = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
    return n;
}
inline const QStringList& RadioSizeNames()
{
    static const QStringList n = {"rsSmall", "rsMedium", "rsLarge"};
    return n;
}
inline const QStringList& BorderLineNames()
{
    static const QStringList n = {"blTop", "blBottom", "blLeft", "blRight"};
    return n;
}
inline const QStringList& BooleanNames()
{
    static const QStringList n = {"False", "True"};
    return n;
}
