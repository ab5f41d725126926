#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbFont.h"
#include "rbcontrols/RbStyleManager.h"
#include "rbcontrols/RbMetaProperties.h"
#include "rbcontrols/RbTypes.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMetaEnum>
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

QStringList Names(const TRbStyleObject& o)
{
    QStringList n;
    for (const QMetaProperty& p : o.Properties())
        n << QString::fromLatin1(p.name());
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
    EXPECT_EQ(TRbStyleObject(&s).SchemeClassName(), "TRbSplitterColors");
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
    QObject stranger;
    back.SetDefaultFrom(77);
    EXPECT_FALSE(back.Assign(stranger, &error));
    EXPECT_EQ(error, "Cannot assign a QObject to a TRbControlColors.");
    EXPECT_EQ(back.DefaultFrom(), 77);
}

TEST(StyleProperties, DeclarationOrderBaseFirst)
{
    TRbCustomColors base;
    TRbControlColors control;
    TRbSplitterColors splitter;
    TRbFont f;
    EXPECT_EQ(Names(&base), QStringList({"DefaultFrom", "DefaultTo", "OverFrom", "OverTo"}));
    EXPECT_EQ(Names(&control), QStringList({"DefaultFrom", "DefaultTo", "OverFrom", "OverTo", "ClickedFrom", "ClickedTo",
                                            "HotTrack", "BorderColor", "TextShadow"}));
    EXPECT_EQ(Names(&splitter), Names(&base));
    const TRbStyleObject font(&f);
    EXPECT_EQ(Names(font), QStringList({"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
    EXPECT_EQ(font.SchemeClassName(), "TFont");
    const std::optional<QMetaProperty> style = font.Find(u"style");
    ASSERT_TRUE(style.has_value());
    EXPECT_EQ(RbKindOf(*style), TRbPropKind::Set);
    EXPECT_EQ(RbKindOf(*font.Find(u"Name")), TRbPropKind::String);
    EXPECT_EQ(RbKindOf(*font.Find(u"Pitch")), TRbPropKind::Enumeration);
    EXPECT_EQ(RbKindOf(*font.Find(u"Color")), TRbPropKind::Integer);
    EXPECT_FALSE(font.Find(u"Nope").has_value());
}

TEST(StyleProperties, WritesGoThroughTheSetters)
{
    Owner o;
    TRbControlColors c(&o);
    const TRbStyleObject styled(&c);
    const std::optional<QMetaProperty> p = styled.Find(u"ClickedTo");
    ASSERT_TRUE(p.has_value());
    EXPECT_TRUE(styled.Write(*p, -16777201));
    EXPECT_EQ(c.ClickedTo(), clBtnFace);
    EXPECT_EQ(styled.ValueText(*p), "-16777201");
    EXPECT_EQ(o.rebuilds, 1);

    TRbFont f;
    int changes = 0;
    QObject::connect(&f, &TRbFont::changed, [&] { ++changes; });
    const TRbStyleObject font(&f);
    EXPECT_TRUE(font.Write(*font.Find(u"Height"), -20));
    EXPECT_EQ(f.Height(), -20);
    EXPECT_EQ(changes, 1);
}

TEST(StyleProperties, TextFormsByKind)
{
    TRbFont f;
    const TRbStyleObject font(&f);
    const QMetaProperty style = *font.Find(u"Style");
    QString error;
    EXPECT_TRUE(font.SetValueText(style, "", &error));
    EXPECT_EQ(f.Style(), TFontStyles());
    EXPECT_TRUE(font.SetValueText(style, "[fsBold, fsItalic]", &error));
    EXPECT_EQ(f.Style(), fsBold | fsItalic);
    EXPECT_TRUE(font.SetValueText(style, "fsUnderline,FSBOLD", &error));
    EXPECT_EQ(f.Style(), fsBold | fsUnderline);
    EXPECT_EQ(font.ValueText(style), "fsBold,fsUnderline");
    EXPECT_FALSE(font.SetValueText(style, "fsBold,fsHeavy", &error));
    EXPECT_EQ(error, "Invalid property element: fsHeavy");
    EXPECT_EQ(f.Style(), fsBold | fsUnderline); // a bad list changes nothing
    f.SetStyle({});
    EXPECT_EQ(font.ValueText(style), "");

    EXPECT_TRUE(font.SetValueText(*font.Find(u"Color"), "-2147483640", &error));
    EXPECT_EQ(f.Color(), TColor(0x80000008));
    EXPECT_TRUE(font.SetValueText(*font.Find(u"Charset"), "x12", &error)); // does not parse: 0
    EXPECT_EQ(f.Charset(), 0);
    const QMetaProperty pitch = *font.Find(u"Pitch");
    EXPECT_TRUE(font.SetValueText(pitch, "fpfixed", &error));
    EXPECT_EQ(f.Pitch(), fpFixed);
    EXPECT_EQ(font.ValueText(pitch), "fpFixed");
    EXPECT_FALSE(font.SetValueText(pitch, "fpWide", &error));
    EXPECT_EQ(error, "Invalid property element: fpWide");
    EXPECT_EQ(f.Pitch(), fpFixed);

    TRbStyleManager m;
    const TRbStyleObject manager(&m);
    const QMetaProperty hot = *manager.Find(u"hottrack");
    EXPECT_TRUE(manager.SetValueText(hot, "TRUE", &error));
    EXPECT_TRUE(m.HotTrack());
    EXPECT_EQ(manager.ValueText(hot), "True");
    EXPECT_FALSE(manager.SetValueText(hot, "Yes", &error));
    EXPECT_EQ(error, "Invalid property element: Yes");
    EXPECT_TRUE(m.HotTrack());
    const QMetaProperty fade = *manager.Find(u"FadeSpeed");
    EXPECT_TRUE(manager.SetValueText(fade, "fsVeryFast", &error));
    EXPECT_EQ(m.FadeSpeed(), fsVeryFast);
    EXPECT_EQ(manager.ValueText(fade), "fsVeryFast");
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
    QObject::connect(&f, &TRbFont::changed, [&] { ++changes; });
    f.SetHeight(-11); // equal
    f.SetStyle(fsBold | fsItalic);
    EXPECT_EQ(changes, 1);
}

TEST(Font, MissingFaceFallsBackToTheApplicationFont)
{
    TRbFont f;
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
    f.SetStyle(fsBold);
    const QFont q = f.ToQFont();
    if (!QFontDatabase::hasFamily("MS Sans Serif")) {
        EXPECT_EQ(q.family(), QGuiApplication::font().family());
    }
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());

    TRbFont copy;
    int changes = 0;
    QObject::connect(&copy, &TRbFont::changed, [&] { ++changes; });
    copy.Assign(f);
    EXPECT_EQ(copy.Name(), "MS Sans Serif");
    EXPECT_EQ(copy.Style(), TFontStyles(fsBold));
    EXPECT_EQ(changes, 1);
}

TEST(Types, FadeIntervalsAndNames)
{
    EXPECT_EQ(FadeIntervals[fsSlow], 40);
    EXPECT_EQ(FadeIntervals[fsMedium], 20);
    EXPECT_EQ(FadeIntervals[fsFast], 12);
    EXPECT_EQ(FadeIntervals[fsVeryFast], 8);
    EXPECT_EQ(QMetaEnum::fromType<TFadeSpeed>().keyToValue("fsVeryFast"), int(fsVeryFast));
    EXPECT_EQ(QMetaEnum::fromType<TGradientType>().keyToValue("gtDoubleVert"), int(gtDoubleVert));
}
