#pragma once

#include <QString>

#include <optional>

#include "indicator/IndicatorTypes.h"

class TIniFile;
class TLiquidIndicator;

// The eight look properties of an indicator that a style section holds.
// A scheme, kind or style name that matches nothing is kept empty, and
// applying the record then leaves that property as it is.
struct TIndStyleData {
    std::optional<TLiquidColorScheme> Scheme = csSilver;
    int Gap = 2;
    TColor NumberForeColor = 0x800080;
    TColor NumberBackColor = 0xD3D3D3;
    TColor BackColor = 0xDDDDDD;
    TColor BevelColor = 0xDDDDDD;
    std::optional<TLiquidIndicatorKind> Kind = ik7segment;
    std::optional<TLiquidIndicatorStyle> Style = isThick;

    bool operator==(const TIndStyleData&) const = default;
};

// Section names of the settings file and of a style file.
extern const QString IndTStyleSection;          // "IndTStyle"
extern const QString IndRStyleSection;          // "IndRStyle"
extern const QString IndCalibrDateStyleSection; // "IndCalibrDateStyle"
extern const QString IndStyleFileSection;       // "IndStyle"

// Names as stored ("csSilver", "ik7segment", "isThick"); reading ignores ASCII case.
QString SchemeName(TLiquidColorScheme scheme);
QString KindName(TLiquidIndicatorKind kind);
QString StyleName(TLiquidIndicatorStyle style);
std::optional<TLiquidColorScheme> SchemeFromName(const QString& name);
std::optional<TLiquidIndicatorKind> KindFromName(const QString& name);
std::optional<TLiquidIndicatorStyle> StyleFromName(const QString& name);

// A stored colour or gap: decimal, or hexadecimal after 0x or $.
std::optional<int> ParseStyleInt(const QString& text);

// Missing file, section or key: the defaults of TIndStyleData.
TIndStyleData ReadIndStyle(const TIniFile& ini, const QString& section);
TIndStyleData ReadIndStyle(const QString& fileName, const QString& section);

// The record of what the indicator shows now.
TIndStyleData IndStyleOf(const TLiquidIndicator& ind);

// Writes the eight keys in memory, replacing existing values and keeping
// every other key and section.
void WriteIndStyle(const TLiquidIndicator& ind, TIniFile& ini, const QString& section);
// The same into a file on disk; false with "Unable to write to <file>" when
// the file cannot be written (the old file is then left as it was).
bool WriteIndStyle(const TLiquidIndicator& ind, const QString& fileName, const QString& section,
                   QString* error = nullptr);

// Scheme first, so that the scheme's colours land and the four explicit
// colours then replace four of them; the hover colour stays the scheme's.
void ApplyIndStyle(TLiquidIndicator& ind, const TIndStyleData& style);
void CopyIndStyle(const TLiquidIndicator& source, TLiquidIndicator& target);

// The three sections of the settings file onto indT, indR and indCalibrDate.
void LoadIndicatorStyles(const TIniFile& ini, TLiquidIndicator& indT, TLiquidIndicator& indR,
                         TLiquidIndicator& indCalibrDate);
void WriteIndicatorStyles(TIniFile& ini, const TLiquidIndicator& indT, const TLiquidIndicator& indR,
                          const TLiquidIndicator& indCalibrDate);

// The name a style is saved under: ".ind" is added when the file-name part
// (after the last '/') has no extension.
QString StyleSaveName(const QString& chosen);
