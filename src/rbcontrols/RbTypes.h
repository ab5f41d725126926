#pragma once

#include <QFlags>
#include <QObject>
#include <array>

// Enumerations of the skinned controls, the style manager and the font.
// Scheme files store them by their value names, which the meta-object
// system provides; a set is a Q_FLAG whose bits follow the members' order.
namespace RbEnums {
Q_NAMESPACE

enum TGradientType {
    gtHorizontal,
    gtVertical,
    gtFromTopLeft,
    gtFromTopRight,
    gtRadial,
    gtDoubleHorz,
    gtDoubleVert
};
Q_ENUM_NS(TGradientType)

enum TFadeSpeed { fsSlow, fsMedium, fsFast, fsVeryFast };
Q_ENUM_NS(TFadeSpeed)

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)

enum TRadioSize { rsSmall, rsMedium, rsLarge };
Q_ENUM_NS(TRadioSize)

enum TBorderLine { blTop = 0x1, blBottom = 0x2, blLeft = 0x4, blRight = 0x8 };
Q_DECLARE_FLAGS(TBorderLines, TBorderLine)
Q_FLAG_NS(TBorderLines)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

enum TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TRbCaptionPos {
    cpGroupBox,
    cpTopLeft,
    cpTopCenter,
    cpTopRight,
    cpMiddleLeft,
    cpMiddleCenter,
    cpMiddleRight,
    cpBottomLeft,
    cpBottomCenter,
    cpBottomRight
};
Q_ENUM_NS(TRbCaptionPos)

enum TProgressBarOrientation { pbHorizontal, pbVertical };
Q_ENUM_NS(TProgressBarOrientation)

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

enum TGripAlign { gaVertical, gaHorizontal };
Q_ENUM_NS(TGripAlign)

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
Q_ENUM_NS(TResizeStyle)

} // namespace RbEnums

Q_DECLARE_OPERATORS_FOR_FLAGS(RbEnums::TBorderLines)
Q_DECLARE_OPERATORS_FOR_FLAGS(RbEnums::TFontStyles)

// The value names are used unqualified all over the program.
using RbEnums::TAlign;
using RbEnums::TBorderLine;
using RbEnums::TBorderLines;
using RbEnums::TButtonLayout;
using RbEnums::TFadeSpeed;
using RbEnums::TFontPitch;
using RbEnums::TFontStyle;
using RbEnums::TFontStyles;
using RbEnums::TGradientType;
using RbEnums::TGripAlign;
using RbEnums::TProgressBarOrientation;
using RbEnums::TRadioSize;
using RbEnums::TRbCaptionPos;
using RbEnums::TResizeStyle;
using enum RbEnums::TAlign;
using enum RbEnums::TBorderLine;
using enum RbEnums::TButtonLayout;
using enum RbEnums::TFadeSpeed;
using enum RbEnums::TFontPitch;
using enum RbEnums::TFontStyle;
using enum RbEnums::TGradientType;
using enum RbEnums::TGripAlign;
using enum RbEnums::TProgressBarOrientation;
using enum RbEnums::TRadioSize;
using enum RbEnums::TRbCaptionPos;
using enum RbEnums::TResizeStyle;

// Timer interval of one fade step, in milliseconds, by TFadeSpeed.
inline constexpr std::array<int, 4> FadeIntervals = {40, 20, 12, 8};

inline constexpr TBorderLines AllBorderLines = blTop | blBottom | blLeft | blRight;
