#include "indicator/IndStyle.h"
#include "common/IniFile.h"
#include "ind_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

TIndStyleData Read(const QByteArray& content, const QString& section = IndStyleFileSection)
{
    TIniFile ini(QString{});
    ini.setContent(content);
    return ReadIndStyle(ini, section);
}

} // namespace

TEST(IndStyleFile, MissingFileSectionOrKeyGivesTheDefaults)
{
    const TIndStyleData def;
    EXPECT_EQ(def.Scheme, csSilver);
    EXPECT_EQ(def.NumberForeColor, 0x800080);
    EXPECT_EQ(def.NumberBackColor, 0xD3D3D3);
    EXPECT_EQ(def.BackColor, 0xDDDDDD);
    EXPECT_EQ(def.BevelColor, 0xDDDDDD);
    EXPECT_EQ(def.Kind, ik7segment);
    EXPECT_EQ(def.Style, isThick);
    EXPECT_EQ(def.Gap, 2);

    QTemporaryDir dir;
    EXPECT_EQ(ReadIndStyle(dir.filePath("none.ind"), IndStyleFileSection), def);
    EXPECT_EQ(Read("[Other]\r\nBackColor=1\r\n"), def);

    TIndStyleData partial = def;
    partial.BackColor = 255;
    partial.Gap = 0;
    EXPECT_EQ(Read("[indstyle]\r\nbackcolor=255\r\nIndGrap=0\r\n"), partial);
}

TEST(IndStyleFile, NamesIgnoreCaseAndUnknownNamesSetNothing)
{
    const TIndStyleData s = Read("[IndStyle]\r\nColorsheme=CSPLASMA\r\nIndKind=IK5X7MATRIX\r\nIndSlyle=isthin\r\n");
    EXPECT_EQ(s.Scheme, csPlasma);
    EXPECT_EQ(s.Kind, ik5x7matrix);
    EXPECT_EQ(s.Style, isThin);
    EXPECT_EQ(Read("[IndStyle]\r\nColorsheme=CSSILVER\r\n").Scheme, csSilver);

    const TIndStyleData odd = Read("[IndStyle]\r\nColorsheme=csGold\r\nIndKind=\r\nIndSlyle=bold\r\nBackColor=0\r\n");
    EXPECT_FALSE(odd.Scheme.has_value());
    EXPECT_FALSE(odd.Kind.has_value());
    EXPECT_FALSE(odd.Style.has_value());

    // Applied, the unknown names leave the indicator's own values.
    TIndPage page;
    TLiquidIndicator* ind = page.Default();
    ind->SetColorScheme(csVarno);
    ind->SetIndicatorKind(ik5x7matrix);
    ind->SetIndicatorStyle(isThin);
    ApplyIndStyle(*ind, odd);
    EXPECT_EQ(ind->ColorScheme(), csVarno);
    EXPECT_EQ(ind->IndicatorKind(), ik5x7matrix);
    EXPECT_EQ(ind->IndicatorStyle(), isThin);
    EXPECT_EQ(ind->BackColor(), 0);
}

TEST(IndStyleFile, IntegersAreDecimalOrHexadecimalElseTheDefault)
{
    const TIndStyleData s = Read("[IndStyle]\r\nNumForeColor=0x00FF00\r\nNumBackColor=$ff\r\n"
                                 "BackColor=-16777201\r\nBevelColor=12abc\r\nIndGrap=10\r\n");
    EXPECT_EQ(s.NumberForeColor, 0x00FF00);
    EXPECT_EQ(s.NumberBackColor, 0xFF);
    EXPECT_EQ(s.BackColor, -16777201);
    EXPECT_EQ(s.BevelColor, 0xDDDDDD); // not a number: the key's default
    EXPECT_EQ(s.Gap, 10);              // a file may carry any gap
    EXPECT_EQ(Read("[IndStyle]\r\nIndGrap=\r\nNumForeColor=$\r\n").Gap, 2);
    EXPECT_EQ(Read("[IndStyle]\r\nNumForeColor=$\r\n").NumberForeColor, 0x800080);

    TIndPage page;
    TLiquidIndicator* ind = page.Default();
    TIndStyleData wide;
    wide.Gap = -1;
    ApplyIndStyle(*ind, wide);
    EXPECT_EQ(ind->IndicatorGap(), -1); // applied unchanged
}

TEST(IndStyleFile, WrittenInOrderAsTheDefaultIndicatorReadsBack)
{
    TIndPage page;
    TLiquidIndicator* indT = page.IndT();
    ApplyIndStyle(*indT, TIndStyleData{});
    QTemporaryDir dir;
    const QString path = dir.filePath("default.ind");
    QString error;
    ASSERT_TRUE(WriteIndStyle(*indT, path, IndStyleFileSection, &error)) << error.toStdString();
    EXPECT_EQ(ReadAll(path), QByteArray("[IndStyle]\r\nColorsheme=csSilver\r\nNumForeColor=8388736\r\n"
                                        "NumBackColor=13882323\r\nBackColor=14540253\r\nBevelColor=14540253\r\n"
                                        "IndKind=ik7segment\r\nIndSlyle=isThick\r\nIndGrap=2\r\n"));

    // Rewriting replaces values in place and keeps foreign lines, in Windows-1251.
    WriteAll(path, "; \xf1\xf2\xe8\xeb\xfc\r\n[IndStyle]\r\nIndGrap=7\r\nOwner=\xc8\xe2\xe0\xed\r\n"
                   "Colorsheme=csBlack\r\n[Other]\r\nKey=1\r\n");
    indT->SetColorScheme(csInvPlasma);
    indT->SetIndicatorGap(4);
    ASSERT_TRUE(WriteIndStyle(*indT, path, IndStyleFileSection));
    const QByteArray after = ReadAll(path);
    EXPECT_TRUE(after.startsWith("; \xf1\xf2\xe8\xeb\xfc\r\n[IndStyle]\r\nIndGrap=4\r\nOwner=\xc8\xe2\xe0\xed\r\n"
                                 "Colorsheme=csInvPlasma\r\n"));
    EXPECT_TRUE(after.endsWith("[Other]\r\nKey=1\r\n"));
    EXPECT_EQ(ReadIndStyle(path, IndStyleFileSection), IndStyleOf(*indT));
}

TEST(IndStyleFile, UnwritableFileIsReportedByName)
{
    TIndPage page;
    TLiquidIndicator* ind = page.Default();
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/folder/x.ind");
    QString error;
    EXPECT_FALSE(WriteIndStyle(*ind, path, IndStyleFileSection, &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(IndStyleFile, SchemeGoesFirstAndOnlyTheHoverColourStaysTheSchemes)
{
    TIndPage page;
    TLiquidIndicator* ind = page.IndT();
    TIndStyleData s;
    s.Scheme = csPlasma;
    s.NumberForeColor = 0x010203;
    s.NumberBackColor = 0x040506;
    s.BackColor = 0x070809;
    s.BevelColor = 0x0A0B0C;
    s.Kind = ik5x7matrix;
    s.Style = isNormal;
    s.Gap = 5;
    ApplyIndStyle(*ind, s);
    EXPECT_EQ(IndStyleOf(*ind), s);
    EXPECT_EQ(ind->NumberForeColor1(), SchemeColors(csPlasma).NumberForeColor1);

    // The batch of writes costs one rebuild, with every value in place.
    const int before = ind->RebuildCount();
    Flush(ind);
    EXPECT_EQ(ind->RebuildCount(), before + 1);
    EXPECT_EQ(Px(ind, 1, 1) , 0x0C0B0Au + 32 * 0x010101u); // bevel face lit from the bevel colour

    TLiquidIndicator* other = page.Default();
    CopyIndStyle(*ind, *other);
    EXPECT_EQ(IndStyleOf(*other), s);
}

TEST(IndStyleFile, SaveNameGetsTheExtensionWhenTheFileNameHasNone)
{
    EXPECT_EQ(StyleSaveName("blue"), "blue.ind");
    EXPECT_EQ(StyleSaveName("blue.style"), "blue.style");
    EXPECT_EQ(StyleSaveName("/home/u/my.dir/blue"), "/home/u/my.dir/blue.ind");
    EXPECT_EQ(StyleSaveName("a.b/cd"), "a.b/cd.ind");
    EXPECT_EQ(StyleSaveName("/home/u/x.ind"), "/home/u/x.ind");
    EXPECT_EQ(StyleSaveName("/home/a.very.long.folder.name/blue"), "/home/a.very.long.folder.name/blue.ind");
}

TEST(IndStyleFile, SettingsSectionsGoToTheirIndicators)
{
    TIniFile ini(QString{});
    ini.setContent("[Defaults]\r\nRepeatNum=3\r\n[IndRStyle]\r\nColorsheme=csBlack\r\n"
                   "[IndCalibrDateStyle]\r\nIndKind=ik5x7matrix\r\nIndGrap=$3\r\n");
    TIndPage page;
    TLiquidIndicator* t = page.IndT();
    TLiquidIndicator* r = page.IndT();
    TLiquidIndicator* d = page.Default();
    LoadIndicatorStyles(ini, *t, *r, *d);
    EXPECT_EQ(IndStyleOf(*t), TIndStyleData{});
    EXPECT_EQ(r->ColorScheme(), csBlack);
    EXPECT_EQ(r->NumberForeColor1(), SchemeColors(csBlack).NumberForeColor1);
    EXPECT_EQ(r->NumberForeColor(), 0x800080);
    EXPECT_EQ(d->IndicatorKind(), ik5x7matrix);
    EXPECT_EQ(d->IndicatorGap(), 3);

    WriteIndicatorStyles(ini, *t, *r, *d);
    EXPECT_EQ(ini.sections(), (QStringList{"Defaults", "IndRStyle", "IndCalibrDateStyle", "IndTStyle"}));
    EXPECT_EQ(ini.readInteger("Defaults", "RepeatNum", 0), 3);
    EXPECT_EQ(ReadIndStyle(ini, IndRStyleSection), IndStyleOf(*r));
    EXPECT_EQ(ReadIndStyle(ini, IndCalibrDateStyleSection), IndStyleOf(*d));
    EXPECT_EQ(ReadIndStyle(ini, IndTStyleSection), IndStyleOf(*t));
}
