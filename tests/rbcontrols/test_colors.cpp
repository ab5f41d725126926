#include "RbColors.h"
#include "RbFont.h"
#include "RbProperties.h"
#include "RbTypes.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

struct Owner : IRbColorsOwner {
    int rebuilds = 0, repaints = 0;
    void ColorsRebuild() override { ++rebuilds; }
    void ColorsRepaint() override { ++repaints; }
};

TRgb FromPalette(QPalette::ColorRole role)
{
    const QColor c = QGuiApplication::palette().color(QPalette::Active, role);
    return TRgb{uchar(c.red()), uchar(c.green()), uchar(c.blue())};
}

QStringList Names(const TRbPropertyTable& t)
{
    QStringList n;
    for (const TRbPropInfo& p : t.All())
        n << p.Name;
    return n;
}

} // namespace

TEST(ColorValues, RgbLayoutAndSystemColours)
{
    EXPECT_EQ(ResolveColor(RGBColor(1, 2, 3)), (TRgb{1, 2, 3}));
    EXPECT_EQ(ResolveColor(clBlue), (TRgb{0, 0, 255}));
    EXPECT_EQ(ResolveColor(clGreen), (TRgb{0, 128, 0}));
    EXPECT_EQ(clBtnFace, -16777201);
    EXPECT_EQ(TColor(0x80000008), -2147483640);
    EXPECT_EQ(ResolveColor(clBtnFace), FromPalette(QPalette::Button));
    EXPECT_EQ(ResolveColor(clWindowText), FromPalette(QPalette::WindowText));
    EXPECT_EQ(ResolveColor(clBtnShadow), FromPalette(QPalette::Dark));
    EXPECT_EQ(ResolveColor(clBtnHighlight), FromPalette(QPalette::Light));
    // both forms of a system colour name the same entry
    EXPECT_EQ(ResolveColor(TColor(0x80000008)), ResolveColor(TColor(0xFF000008)));
    EXPECT_EQ(ResolveColor(TColor(0x8000000F)), ResolveColor(clBtnFace));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGBColor(10, 20, 30));
}

TEST(ColorValues, SystemColoursFollowThePaletteWhenResolved)
{
    const QPalette saved = QGuiApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Button, QColor(12, 34, 56));
    QGuiApplication::setPalette(p);
    EXPECT_EQ(ResolveColor(clBtnFace), (TRgb{12, 34, 56}));
    QGuiApplication::setPalette(saved);
}

TEST(ColorSets, Defaults)
{
    TRbControlColors c;
    EXPECT_EQ(c.DefaultFrom(), clWhite);
    EXPECT_EQ(c.DefaultTo(), 13745839);
    EXPECT_EQ(c.OverFrom(), clWhite);
    EXPECT_EQ(c.OverTo(), 12489846);
    EXPECT_EQ(c.ClickedFrom(), 13029334);
    EXPECT_EQ(c.ClickedTo(), 15463415);
    EXPECT_EQ(c.HotTrack(), clBlue);
    EXPECT_EQ(c.BorderColor(), clGray);
    EXPECT_EQ(c.TextShadow(), clWhite);
    TRbSplitterColors s;
    EXPECT_EQ(s.DefaultFrom(), clBtnFace);
    EXPECT_EQ(s.DefaultTo(), clBtnFace);
    EXPECT_EQ(s.OverFrom(), clWhite);
    EXPECT_EQ(s.OverTo(), 12489846);
    EXPECT_EQ(s.ClassName(), "TRbSplitterColors");
}

TEST(ColorSets, ChangesNotifyTheOwnerOnceAndEqualValuesDoNothing)
{
    Owner o;
    TRbControlColors c(&o);
    c.SetDefaultFrom(clWhite); // equal
    EXPECT_EQ(o.rebuilds + o.repaints, 0);
    c.SetDefaultFrom(clBlack);
    c.SetDefaultTo(1);
    c.SetOverFrom(2);
    c.SetOverTo(3);
    c.SetClickedFrom(4);
    c.SetClickedTo(5);
    c.SetBorderColor(6);
    EXPECT_EQ(o.rebuilds, 7);
    EXPECT_EQ(o.repaints, 0);
    c.SetHotTrack(7);
    c.SetTextShadow(8);
    EXPECT_EQ(o.rebuilds, 7);
    EXPECT_EQ(o.repaints, 2);
    TRbControlColors free; // no owner: nothing to tell
    free.SetOverTo(1);
    EXPECT_EQ(free.OverTo(), 1);
}

TEST(ColorSets, AssignCopiesWhatBothSetsHaveAndNotifiesNobody)
{
    Owner o;
    TRbControlColors src;
    src.SetDefaultFrom(1);
    src.SetDefaultTo(2);
    src.SetOverFrom(3);
    src.SetOverTo(4);
    src.SetClickedFrom(5);
    src.SetClickedTo(6);
    src.SetHotTrack(7);
    src.SetBorderColor(8);
    src.SetTextShadow(9);

    TRbControlColors full(&o);
    ASSERT_TRUE(full.Assign(src));
    EXPECT_EQ(full.DefaultFrom(), 1);
    EXPECT_EQ(full.OverTo(), 4);
    EXPECT_EQ(full.ClickedFrom(), 5);
    EXPECT_EQ(full.ClickedTo(), 6);
    EXPECT_EQ(full.HotTrack(), 7);
    EXPECT_EQ(full.BorderColor(), 8);
    EXPECT_EQ(full.TextShadow(), 9);
    EXPECT_EQ(o.rebuilds + o.repaints, 0);

    TRbSplitterColors split(&o);
    ASSERT_TRUE(split.Assign(src));
    EXPECT_EQ(split.DefaultFrom(), 1);
    EXPECT_EQ(split.DefaultTo(), 2);
    EXPECT_EQ(split.OverFrom(), 3);
    EXPECT_EQ(split.OverTo(), 4);

    TRbControlColors back;
    ASSERT_TRUE(back.Assign(TRbSplitterColors()));
    EXPECT_EQ(back.DefaultFrom(), clBtnFace);
    EXPECT_EQ(back.ClickedFrom(), 13029334); // not in the source: kept
    EXPECT_EQ(o.rebuilds + o.repaints, 0);

    QString error;
    TRbFont font;
    EXPECT_FALSE(back.Assign(font, &error));
    EXPECT_EQ(error, "Cannot assign a TFont to a TRbControlColors.");
    EXPECT_FALSE(font.Assign(back, &error));
}

TEST(PropertyTables, DeclarationOrderBaseFirst)
{
    EXPECT_EQ(Names(TRbCustomColors::Table()), QStringList({"DefaultFrom", "DefaultTo", "OverFrom", "OverTo"}));
    EXPECT_EQ(Names(TRbControlColors::Table()),
              QStringList({"DefaultFrom", "DefaultTo", "OverFrom", "OverTo", "ClickedFrom", "ClickedTo", "HotTrack",
                           "BorderColor", "TextShadow"}));
    EXPECT_EQ(Names(TRbSplitterColors().Properties()), Names(TRbCustomColors::Table()));
    EXPECT_EQ(Names(TRbFont::Table()), QStringList({"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
    const TRbFont f;
    const TRbPropInfo* style = f.Properties().Find("style");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->Kind, TRbPropKind::Set);
    EXPECT_EQ(f.Properties().Find("Name")->Kind, TRbPropKind::String);
    EXPECT_EQ(f.Properties().Find("Pitch")->Kind, TRbPropKind::Enumeration);
    EXPECT_EQ(f.Properties().Find("Nope"), nullptr);
}

TEST(PropertyTables, GettersAndSettersReachTheObject)
{
    Owner o;
    TRbControlColors c(&o);
    const TRbPropInfo* p = c.Properties().Find("ClickedTo");
    ASSERT_NE(p, nullptr);
    p->SetInt(&c, -16777201);
    EXPECT_EQ(c.ClickedTo(), clBtnFace);
    EXPECT_EQ(p->GetInt(&c), -16777201);
    EXPECT_EQ(o.rebuilds, 1); // through the setter
}

TEST(PropertyTables, SetTextForms)
{
    const TRbPropInfo* style = TRbFont::Table().Find("Style");
    int bits = -1;
    EXPECT_TRUE(RbStringToSet(*style, "", &bits));
    EXPECT_EQ(bits, 0);
    EXPECT_TRUE(RbStringToSet(*style, "[fsBold, fsItalic]", &bits));
    EXPECT_EQ(bits, 3);
    EXPECT_TRUE(RbStringToSet(*style, "fsUnderline,fsBold", &bits));
    EXPECT_EQ(bits, 5);
    EXPECT_EQ(RbSetToString(*style, 5), "fsBold,fsUnderline");
    EXPECT_EQ(RbSetToString(*style, 0), "");
    QString bad;
    EXPECT_FALSE(RbStringToSet(*style, "fsBold,fsHeavy", &bits, &bad));
    EXPECT_EQ(bad, "fsHeavy");
}

TEST(PropertyTables, SetFromTextByKind)
{
    TRbFont f;
    QString error;
    EXPECT_TRUE(RbSetPropertyFromText(f, "Color", "-2147483640", &error));
    EXPECT_EQ(f.Color(), TColor(0x80000008));
    EXPECT_TRUE(RbSetPropertyFromText(f, "Charset", "x12", &error)); // does not parse: 0
    EXPECT_EQ(f.Charset(), 0);
    EXPECT_TRUE(RbSetPropertyFromText(f, "Pitch", "fpFixed", &error));
    EXPECT_EQ(f.Pitch(), fpFixed);
    EXPECT_FALSE(RbSetPropertyFromText(f, "Pitch", "fpWide", &error));
    EXPECT_EQ(error, "Invalid property element: fpWide");
    EXPECT_EQ(f.Pitch(), fpFixed);
    EXPECT_FALSE(RbSetPropertyFromText(f, "Style", "[fsBold, fsShadow]", &error));
    EXPECT_EQ(error, "Invalid property element: fsShadow");
    EXPECT_TRUE(RbSetPropertyFromText(f, "NoSuchThing", "1", &error)); // skipped
}

TEST(Font, HeightAndSizeAt96Dpi)
{
    TRbFont f;
    f.SetHeight(-11);
    EXPECT_EQ(f.Size(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    f.SetSize(8);
    EXPECT_EQ(f.Height(), -11);
    int changes = 0;
    f.SetOnChange([&] { ++changes; });
    f.SetHeight(-11); // equal
    f.SetStyle((1 << fsBold) | (1 << fsItalic));
    EXPECT_EQ(changes, 1);
}

TEST(Font, MissingFaceFallsBackToTheApplicationFont)
{
    TRbFont f;
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
    f.SetStyle(1 << fsBold);
    const QFont q = f.ToQFont();
    if (!QFontDatabase::hasFamily("MS Sans Serif")) {
        EXPECT_EQ(q.family(), QGuiApplication::font().family());
    }
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());

    TRbFont copy;
    int changes = 0;
    copy.SetOnChange([&] { ++changes; });
    ASSERT_TRUE(copy.Assign(f));
    EXPECT_EQ(copy.Name(), "MS Sans Serif");
    EXPECT_EQ(copy.Style(), 1 << fsBold);
    EXPECT_EQ(changes, 1);
}

TEST(Types, FadeIntervalsAndNames)
{
    EXPECT_EQ(FadeIntervals[fsSlow], 40);
    EXPECT_EQ(FadeIntervals[fsMedium], 20);
    EXPECT_EQ(FadeIntervals[fsFast], 12);
    EXPECT_EQ(FadeIntervals[fsVeryFast], 8);
    EXPECT_EQ(FadeSpeedNames().indexOf("fsVeryFast"), int(fsVeryFast));
    EXPECT_EQ(GradientTypeNames().indexOf("gtDoubleVert"), int(gtDoubleVert));
}
