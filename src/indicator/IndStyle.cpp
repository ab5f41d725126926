#include "indicator/IndStyle.h"

#include "common/IniFile.h"
#include "indicator/LiquidIndicator.h"


const QString IndTStyleSection = QStringLiteral("IndTStyle");
const QString IndRStyleSection = QStringLiteral("IndRStyle");
const QString IndCalibrDateStyleSection = QStringLiteral("IndCalibrDateStyle");
const QString IndStyleFileSection = QStringLiteral("IndStyle");

namespace {

// Key names as the files have always spelled them.
const QString kScheme = QStringLiteral("Colorsheme");
const QString kFore = QStringLiteral("NumForeColor");
const QString kUnlit = QStringLiteral("NumBackColor");
const QString kBack = QStringLiteral("BackColor");
const QString kBevel = QStringLiteral("BevelColor");
const QString kKind = QStringLiteral("IndKind");
const QString kStyle = QStringLiteral("IndSlyle");
const QString kGap = QStringLiteral("IndGrap");

const char* const kSchemeNames[] = {"csSilver", "csInvSilver", "csWhite", "csBlack",
                                    "csPlasma", "csInvPlasma", "csVarno"};
const char* const kKindNames[] = {"ik7segment", "ik5x7matrix", "ik9segment"};
const char* const kStyleNames[] = {"isThin", "isNormal", "isThick"};

template <typename E, size_t N>
QString NameOf(E value, const char* const (&names)[N])
{
    const int i = int(value);
    return i >= 0 && i < int(N) ? QString::fromLatin1(names[i]) : QString();
}

template <typename E, size_t N>
std::optional<E> ValueOf(const QString& name, const char* const (&names)[N])
{
    const QString t = name.trimmed();
    for (size_t i = 0; i < N; ++i)
        if (t.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return E(i);
    return std::nullopt;
}

int ReadInt(const TIniFile& ini, const QString& section, const QString& key, int def)
{
    if (!ini.valueExists(section, key))
        return def;
    return ParseStyleInt(ini.readString(section, key)).value_or(def);
}

} // namespace

QString SchemeName(TLiquidColorScheme scheme) { return NameOf(scheme, kSchemeNames); }
QString KindName(TLiquidIndicatorKind kind) { return NameOf(kind, kKindNames); }
QString StyleName(TLiquidIndicatorStyle style) { return NameOf(style, kStyleNames); }

std::optional<TLiquidColorScheme> SchemeFromName(const QString& name)
{
    return ValueOf<TLiquidColorScheme>(name, kSchemeNames);
}

std::optional<TLiquidIndicatorKind> KindFromName(const QString& name)
{
    return ValueOf<TLiquidIndicatorKind>(name, kKindNames);
}

std::optional<TLiquidIndicatorStyle> StyleFromName(const QString& name)
{
    return ValueOf<TLiquidIndicatorStyle>(name, kStyleNames);
}

std::optional<int> ParseStyleInt(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('$')))
        t = QStringLiteral("0x") + t.mid(1);
    int v = 0;
    if (!parseProfileInt(t, &v))
        return std::nullopt;
    return v;
}

TIndStyleData ReadIndStyle(const TIniFile& ini, const QString& section)
{
    const TIndStyleData def;
    TIndStyleData s;
    s.Scheme = SchemeFromName(ini.readString(section, kScheme, SchemeName(*def.Scheme)));
    s.NumberForeColor = ReadInt(ini, section, kFore, def.NumberForeColor);
    s.NumberBackColor = ReadInt(ini, section, kUnlit, def.NumberBackColor);
    s.BackColor = ReadInt(ini, section, kBack, def.BackColor);
    s.BevelColor = ReadInt(ini, section, kBevel, def.BevelColor);
    s.Kind = KindFromName(ini.readString(section, kKind, KindName(*def.Kind)));
    s.Style = StyleFromName(ini.readString(section, kStyle, StyleName(*def.Style)));
    s.Gap = ReadInt(ini, section, kGap, def.Gap);
    return s;
}

TIndStyleData ReadIndStyle(const QString& fileName, const QString& section)
{
    const TIniFile ini(fileName); // an unreadable file reads as an empty one
    return ReadIndStyle(ini, section);
}

TIndStyleData IndStyleOf(const TLiquidIndicator& ind)
{
    TIndStyleData s;
    s.Scheme = ind.ColorScheme();
    s.Gap = ind.IndicatorGap();
    s.NumberForeColor = ind.NumberForeColor();
    s.NumberBackColor = ind.NumberBackColor();
    s.BackColor = ind.BackColor();
    s.BevelColor = ind.BevelColor();
    s.Kind = ind.IndicatorKind();
    s.Style = ind.IndicatorStyle();
    return s;
}

void WriteIndStyle(const TLiquidIndicator& ind, TIniFile& ini, const QString& section)
{
    ini.writeString(section, kScheme, SchemeName(ind.ColorScheme()));
    ini.writeInteger(section, kFore, ind.NumberForeColor());
    ini.writeInteger(section, kUnlit, ind.NumberBackColor());
    ini.writeInteger(section, kBack, ind.BackColor());
    ini.writeInteger(section, kBevel, ind.BevelColor());
    ini.writeString(section, kKind, KindName(ind.IndicatorKind()));
    ini.writeString(section, kStyle, StyleName(ind.IndicatorStyle()));
    ini.writeInteger(section, kGap, ind.IndicatorGap());
}

bool WriteIndStyle(const TLiquidIndicator& ind, const QString& fileName, const QString& section, QString* error)
{
    TIniFile ini(fileName);
    // An existing file that cannot be read is not replaced by one that lost its other sections.
    bool ok = ini.load();
    if (ok) {
        WriteIndStyle(ind, ini, section);
        ok = ini.save();
    }
    if (!ok && error)
        *error = QStringLiteral("Unable to write to %1").arg(fileName);
    return ok;
}

void ApplyIndStyle(TLiquidIndicator& ind, const TIndStyleData& s)
{
    if (s.Scheme)
        ind.SetColorScheme(*s.Scheme);
    ind.SetIndicatorGap(s.Gap);
    ind.SetNumberForeColor(s.NumberForeColor);
    ind.SetNumberBackColor(s.NumberBackColor);
    ind.SetBackColor(s.BackColor);
    ind.SetBevelColor(s.BevelColor);
    if (s.Kind)
        ind.SetIndicatorKind(*s.Kind);
    if (s.Style)
        ind.SetIndicatorStyle(*s.Style);
}

void CopyIndStyle(const TLiquidIndicator& source, TLiquidIndicator& target)
{
    ApplyIndStyle(target, IndStyleOf(source));
}

void LoadIndicatorStyles(const TIniFile& ini, TLiquidIndicator& indT, TLiquidIndicator& indR,
                         TLiquidIndicator& indCalibrDate)
{
    ApplyIndStyle(indT, ReadIndStyle(ini, IndTStyleSection));
    ApplyIndStyle(indR, ReadIndStyle(ini, IndRStyleSection));
    ApplyIndStyle(indCalibrDate, ReadIndStyle(ini, IndCalibrDateStyleSection));
}

void WriteIndicatorStyles(TIniFile& ini, const TLiquidIndicator& indT, const TLiquidIndicator& indR,
                          const TLiquidIndicator& indCalibrDate)
{
    WriteIndStyle(indT, ini, IndTStyleSection);
    WriteIndStyle(indR, ini, IndRStyleSection);
    WriteIndStyle(indCalibrDate, ini, IndCalibrDateStyleSection);
}

QString StyleSaveName(const QString& chosen)
{
    const QString fileName = chosen.mid(chosen.lastIndexOf(QLatin1Char('/')) + 1);
    if (fileName.contains(QLatin1Char('.')))
        return chosen;
    return chosen + QStringLiteral(".ind");
}
