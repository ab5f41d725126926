// Scheme files: what SaveStyle writes, what LoadStyle accepts and refuses.
#include "rbcontrols/RbStyleManager.h"

#include "common/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kSection = QStringLiteral("RbControls");

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Every value of the scheme set away from all three columns.
void SetUnusualScheme(TRbStyleManager& m)
{
    TRbControlColors& c = m.Colors();
    c.SetDefaultFrom(101);
    c.SetDefaultTo(102);
    c.SetOverFrom(103);
    c.SetOverTo(104);
    c.SetClickedFrom(105);
    c.SetClickedTo(106);
    c.SetHotTrack(107);
    c.SetBorderColor(clBtnFace);
    c.SetTextShadow(TColor(0x80000010u));
    m.SetShowFocusRect(false);
    m.SetHotTrack(true);
    m.SetGradientBorder(false);
    m.SetTextShadow(false);
    m.SetCheckColor(108);
    m.SetFadeSpeed(fsVeryFast);
    m.SetPanelColor(109);
    m.SetBorderColor(110);
    m.SplitterColors().SetDefaultFrom(111);
    m.SplitterColors().SetDefaultTo(112);
    m.SplitterColors().SetOverFrom(113);
    m.SplitterColors().SetOverTo(114);
    m.Font().SetCharset(204);
    m.Font().SetColor(115);
    m.Font().SetHeight(-16);
    m.Font().SetPitch(fpFixed);
    m.Font().SetStyle(fsItalic | fsStrikeOut);
    m.Font().SetName(QStringLiteral("Unusual Face"));
}

class SchemeFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SchemeFileTest, FreshFileHasTheTwentySevenKeysInTableOrder)
{
    TRbStyleManager m;
    m.SetMainWindowValues();
    ASSERT_TRUE(m.SaveStyle(path("a.rbs")));
    EXPECT_EQ(m.StyleFileName(), path("a.rbs"));

    const QStringList expected = {
        "TRbControlColorsNDefaultFrom", "TRbControlColorsNDefaultTo", "TRbControlColorsNOverFrom",
        "TRbControlColorsNOverTo", "TRbControlColorsNClickedFrom", "TRbControlColorsNClickedTo",
        "TRbControlColorsNHotTrack", "TRbControlColorsNBorderColor", "TRbControlColorsNTextShadow",
        "TRbStyleManagerEShowFocusRect", "TRbStyleManagerEHotTrack", "TRbStyleManagerEGradientBorder",
        "TRbStyleManagerETextShadow", "TRbStyleManagerNCheckColor", "TRbStyleManagerEFadeSpeed",
        "TRbStyleManagerNPanelColor", "TRbStyleManagerNBorderColor", "TRbSplitterColorsNDefaultFrom",
        "TRbSplitterColorsNDefaultTo", "TRbSplitterColorsNOverFrom", "TRbSplitterColorsNOverTo",
        "TFontNCharset", "TFontNColor", "TFontNHeight", "TFontEPitch", "TFontNSize", "TFontSStyle"};
    TIniFile ini(path("a.rbs"));
    EXPECT_EQ(ini.sections(), QStringList{kSection});
    EXPECT_EQ(ini.sectionKeys(kSection), expected);

    // Values in their written forms; the font's colour is system colour 8
    // with only the high bit set, written as a negative decimal.
    EXPECT_EQ(ini.readString(kSection, "TRbControlColorsNOverTo"), "7049912");
    EXPECT_EQ(ini.readString(kSection, "TRbStyleManagerEShowFocusRect"), "False");
    EXPECT_EQ(ini.readString(kSection, "TRbStyleManagerEHotTrack"), "True");
    EXPECT_EQ(ini.readString(kSection, "TRbStyleManagerEFadeSpeed"), "fsFast");
    EXPECT_EQ(ini.readString(kSection, "TFontNColor"), "-2147483640");
    EXPECT_EQ(ini.readString(kSection, "TFontNHeight"), "-11");
    EXPECT_EQ(ini.readString(kSection, "TFontNSize"), "8");
    EXPECT_EQ(ini.readString(kSection, "TFontEPitch"), "fpDefault");
    EXPECT_TRUE(ini.valueExists(kSection, "TFontSStyle"));
    EXPECT_EQ(ini.readString(kSection, "TFontSStyle", "x"), "");

    // CR LF lines, plain ASCII.
    const QByteArray bytes = ReadFile(path("a.rbs"));
    EXPECT_TRUE(bytes.startsWith("[RbControls]\r\nTRbControlColorsNDefaultFrom=16777215\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));
}

TEST_F(SchemeFileTest, RoundTripRestoresEveryValueButTheFaceName)
{
    TRbStyleManager a;
    SetUnusualScheme(a);
    ASSERT_TRUE(a.SaveStyle(path("u.rbs")));

    TRbStyleManager b;
    const QString face = b.Font().Name();
    QString error;
    ASSERT_TRUE(b.LoadStyle(path("u.rbs"), &error)) << error.toStdString();
    EXPECT_EQ(b.StyleFileName(), path("u.rbs"));

    const TRbControlColors& c = b.Colors();
    EXPECT_EQ(c.DefaultFrom(), 101);
    EXPECT_EQ(c.DefaultTo(), 102);
    EXPECT_EQ(c.OverFrom(), 103);
    EXPECT_EQ(c.OverTo(), 104);
    EXPECT_EQ(c.ClickedFrom(), 105);
    EXPECT_EQ(c.ClickedTo(), 106);
    EXPECT_EQ(c.HotTrack(), 107);
    EXPECT_EQ(c.BorderColor(), clBtnFace);
    EXPECT_EQ(c.TextShadow(), TColor(0x80000010u));
    EXPECT_FALSE(b.ShowFocusRect());
    EXPECT_TRUE(b.HotTrack());
    EXPECT_FALSE(b.GradientBorder());
    EXPECT_FALSE(b.TextShadow());
    EXPECT_EQ(b.CheckColor(), 108);
    EXPECT_EQ(b.FadeSpeed(), fsVeryFast);
    EXPECT_EQ(b.PanelColor(), 109);
    EXPECT_EQ(b.BorderColor(), 110);
    EXPECT_EQ(b.SplitterColors().DefaultFrom(), 111);
    EXPECT_EQ(b.SplitterColors().DefaultTo(), 112);
    EXPECT_EQ(b.SplitterColors().OverFrom(), 113);
    EXPECT_EQ(b.SplitterColors().OverTo(), 114);
    EXPECT_EQ(b.Font().Charset(), 204);
    EXPECT_EQ(b.Font().Color(), 115);
    EXPECT_EQ(b.Font().Height(), -16);
    EXPECT_EQ(b.Font().Size(), 12);
    EXPECT_EQ(b.Font().Pitch(), fpFixed);
    EXPECT_EQ(b.Font().Style(), fsItalic | fsStrikeOut);
    EXPECT_EQ(b.Font().Name(), face);
    EXPECT_FALSE(ReadFile(path("u.rbs")).contains("Unusual Face"));
}

TEST_F(SchemeFileTest, SystemColoursAreNegativeDecimalsBothWays)
{
    TRbStyleManager m;
    m.Colors().SetDefaultFrom(clBtnFace);
    m.Font().SetColor(TColor(0x80000008u));
    ASSERT_TRUE(m.SaveStyle(path("s.rbs")));
    const TIniFile ini(path("s.rbs"));
    EXPECT_EQ(ini.readString(kSection, "TRbControlColorsNDefaultFrom"), "-16777201");
    EXPECT_EQ(ini.readString(kSection, "TFontNColor"), "-2147483640");

    TRbStyleManager back;
    ASSERT_TRUE(back.LoadStyle(path("s.rbs")));
    EXPECT_EQ(back.Colors().DefaultFrom(), clBtnFace);
    EXPECT_EQ(back.Font().Color(), TColor(0x80000008u));
}

TEST_F(SchemeFileTest, FileMissingKeysChangesOnlyWhatItNames)
{
    WriteFile(path("few.rbs"), "[RbControls]\r\nTRbControlColorsNOverTo=42\r\nTRbStyleManagerEHotTrack=True\r\n");
    TRbStyleManager m;
    SetUnusualScheme(m);
    ASSERT_TRUE(m.LoadStyle(path("few.rbs")));
    EXPECT_EQ(m.Colors().OverTo(), 42);
    EXPECT_TRUE(m.HotTrack());
    // Everything else is still the unusual scheme.
    EXPECT_EQ(m.Colors().OverFrom(), 103);
    EXPECT_EQ(m.Colors().HotTrack(), 107);
    EXPECT_EQ(m.FadeSpeed(), fsVeryFast);
    EXPECT_EQ(m.SplitterColors().OverTo(), 114);
    EXPECT_EQ(m.Font().Height(), -16);
    EXPECT_EQ(m.Font().Name(), QStringLiteral("Unusual Face"));
}

TEST_F(SchemeFileTest, SetValuesInEveryAcceptedSpelling)
{
    struct Case {
        QByteArray text;
        int style;
    };
    const Case cases[] = {
        {"", 0},
        {"fsBold,fsUnderline", fsBold | fsUnderline},
        {"[fsBold, fsItalic]", fsBold | fsItalic},
        {"[]", 0},
    };
    for (const Case& c : cases) {
        WriteFile(path("set.rbs"), "[RbControls]\r\nTFontSStyle=" + c.text + "\r\n");
        TRbStyleManager m;
        m.Font().SetStyle(fsStrikeOut);
        QString error;
        ASSERT_TRUE(m.LoadStyle(path("set.rbs"), &error)) << c.text.constData() << " " << error.toStdString();
        EXPECT_EQ(m.Font().Style(), c.style) << c.text.constData();
    }

    // And written back in ordinal order without blanks.
    TRbStyleManager m;
    m.Font().SetStyle(fsUnderline | fsBold);
    ASSERT_TRUE(m.SaveStyle(path("out.rbs")));
    EXPECT_EQ(TIniFile(path("out.rbs")).readString(kSection, "TFontSStyle"), "fsBold,fsUnderline");
}

TEST_F(SchemeFileTest, TheLaterOfHeightAndSizeDecides)
{
    WriteFile(path("hs.rbs"), "[RbControls]\r\nTFontNHeight=-20\r\nTFontNSize=12\r\n");
    TRbStyleManager m;
    ASSERT_TRUE(m.LoadStyle(path("hs.rbs")));
    EXPECT_EQ(m.Font().Size(), 12);
    EXPECT_EQ(m.Font().Height(), -16);

    WriteFile(path("sh.rbs"), "[RbControls]\r\nTFontNSize=12\r\nTFontNHeight=-20\r\n");
    ASSERT_TRUE(m.LoadStyle(path("sh.rbs")));
    EXPECT_EQ(m.Font().Height(), -20);
    EXPECT_EQ(m.Font().Size(), 15);
}

TEST_F(SchemeFileTest, FontHeightsBetweenWholePointsSurviveSaveAndLoad)
{
    for (const int height : {-10, -13, -15, -11, 10}) {
        TRbStyleManager m;
        m.Font().SetHeight(height);
        QFile::remove(path("a.rbs"));
        QFile::remove(path("b.rbs"));
        ASSERT_TRUE(m.SaveStyle(path("a.rbs")));
        TRbStyleManager loaded;
        ASSERT_TRUE(loaded.LoadStyle(path("a.rbs")));
        EXPECT_EQ(loaded.Font().Height(), height);
        ASSERT_TRUE(loaded.SaveStyle(path("b.rbs")));
        EXPECT_EQ(ReadFile(path("a.rbs")), ReadFile(path("b.rbs"))) << height;
    }
}

TEST_F(SchemeFileTest, MissingAndEmptyFilesFailBeforeAnyChange)
{
    struct Case {
        const char* name;
        const char* content; // nullptr: no file at all
        const char* error;
    };
    const Case cases[] = {
        {"none.rbs", nullptr, "File not exists!"},
        {"empty.rbs", "", "Empty or invalid file"},
        {"nosection.rbs", "[Other]\r\nFormColor=5\r\n", "Empty or invalid file"},
        {"nokeys.rbs", "[RbControls]\r\n; nothing here\r\n[Other]\r\nFormColor=5\r\n", "Empty or invalid file"},
    };
    for (const Case& c : cases) {
        if (c.content)
            WriteFile(path(c.name), c.content);
        TRbStyleManager m;
        m.SetMainWindowValues();
        QString error;
        EXPECT_FALSE(m.LoadStyle(path(c.name), &error)) << c.name;
        EXPECT_EQ(error, QString::fromLatin1(c.error)) << c.name;
        EXPECT_EQ(m.StyleFileName(), path(c.name));
        EXPECT_EQ(m.Colors().OverTo(), 7049912) << c.name;
        EXPECT_EQ(m.FadeSpeed(), fsFast) << c.name;
    }

    // A folder is no scheme file either, and the message says so.
    TRbStyleManager m;
    QString error;
    EXPECT_FALSE(m.LoadStyle(dir.path(), &error));
    EXPECT_EQ(error, "File not exists!\n" + dir.path() + ": это папка, а не файл");
}

TEST_F(SchemeFileTest, BadNamesStopTheLoadWhereTheyStand)
{
    WriteFile(path("bad.rbs"),
              "[RbControls]\r\n"
              "TRbStyleManagerNCheckColor=77\r\n"
              "TRbStyleManagerEFadeSpeed=fsTurbo\r\n"
              "TRbStyleManagerNPanelColor=88\r\n");
    TRbStyleManager m;
    QString error;
    EXPECT_FALSE(m.LoadStyle(path("bad.rbs"), &error));
    EXPECT_EQ(error, "Invalid property element: fsTurbo");
    EXPECT_EQ(m.CheckColor(), 77);          // before the bad key
    EXPECT_EQ(m.PanelColor(), 14933983);    // after it: not read
    EXPECT_EQ(m.FadeSpeed(), fsMedium);

    WriteFile(path("badset.rbs"), "[RbControls]\r\nTFontSStyle=fsBold,fsWide\r\n");
    m.Font().SetStyle({});
    EXPECT_FALSE(m.LoadStyle(path("badset.rbs"), &error));
    EXPECT_EQ(error, "Invalid property element: fsWide");
    EXPECT_EQ(m.Font().Style(), 0);

    WriteFile(path("badbool.rbs"), "[RbControls]\r\nTRbStyleManagerEHotTrack=Yes\r\n");
    EXPECT_FALSE(m.LoadStyle(path("badbool.rbs"), &error));
    EXPECT_EQ(error, "Invalid property element: Yes");
}

TEST_F(SchemeFileTest, MalformedAndForeignKeysAreSkipped)
{
    WriteFile(path("odd.rbs"),
              "[RbControls]\r\n"
              "NCheckColor=1\r\n"                  // before any class name: no target
              "TFont=3\r\n"                        // a class name alone: no kind letter
              "TRbStyleManagerXHotTrack=True\r\n"  // unknown kind letter
              "TRbStyleManagerNNoSuchThing=5\r\n"  // unknown property
              "TRbStyleManagerNHotTrack=1\r\n"     // letter does not fit the kind
              "TRbStyleManagerNBorderColor=12x\r\n" // not a number: 0
              "NPanelColor=4242\r\n"               // keeps the manager as target
              "TFontNCharset=204\r\n"
              "NHeight=-13\r\n");                  // keeps the font as target
    TRbStyleManager m;
    QString error;
    ASSERT_TRUE(m.LoadStyle(path("odd.rbs"), &error)) << error.toStdString();
    EXPECT_EQ(m.CheckColor(), clGreen);
    EXPECT_FALSE(m.HotTrack());
    EXPECT_EQ(m.BorderColor(), 0);
    EXPECT_EQ(m.Font().Charset(), 204);
    // The key is looked up under the running prefix, which this one lacks in
    // the file: no value, so the unparsable empty text gives 0.
    EXPECT_EQ(m.PanelColor(), 0);
    EXPECT_EQ(m.Font().Height(), 0);
}

TEST_F(SchemeFileTest, HostileFilesAreRefusedWithoutBlocking)
{
    // A pipe without a writer: opening it for reading would wait forever.
    const QString pipe = path("pipe.rbs");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Far larger than any scheme, though it starts like one.
    QByteArray huge = "[RbControls]\r\nTRbStyleManagerNCheckColor=77\r\n";
    huge += QByteArray(2 * 1024 * 1024, ';');
    WriteFile(path("huge.rbs"), huge);


    // The fixed text first, then which file and why.
    const struct {
        QString file;
        const char* why;
    } cases[] = {{pipe, "канал"}, {path("huge.rbs"), "слишком велик"}, {QStringLiteral("/dev/zero"), "устройство"}};
    for (const auto& c : cases) {
        TRbStyleManager m;
        QString error;
        EXPECT_FALSE(m.LoadStyle(c.file, &error)) << c.file.toStdString();
        EXPECT_TRUE(error.startsWith("Empty or invalid file\n" + c.file + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.why))) << error.toStdString();
        EXPECT_EQ(m.CheckColor(), clGreen) << c.file.toStdString();
    }

    // Saving reads an existing file first, to keep its other content.
    TRbStyleManager m;
    QString error;
    EXPECT_FALSE(m.SaveStyle(pipe, &error));
    EXPECT_EQ(error, "Unable to write to " + pipe);
}

TEST_F(SchemeFileTest, ADamagedFileOfManyKeysLoadsInLinearTime)
{
    // Thousands of foreign keys, then one real key repeated as often: each
    // value lookup walks the section, so looking up every key would be
    // quadratic and freeze the start-up for minutes.
    QByteArray bytes = "[RbControls]\r\n";
    for (int i = 0; i < 15000; ++i)
        bytes += "TRbStyleManagerNJ" + QByteArray::number(i) + "=1\r\n";
    bytes += "TRbStyleManagerNCheckColor=5\r\n";
    for (int i = 0; i < 15000; ++i)
        bytes += "TRbStyleManagerNcheckcolor=6\r\n";
    bytes += "TRbStyleManagerEFadeSpeed=fsSlow\r\n";
    WriteFile(path("many.rbs"), bytes);

    TRbStyleManager m;
    QString error;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(m.LoadStyle(path("many.rbs"), &error)) << error.toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    // The first of equal keys (in any letter case) holds the value.
    EXPECT_EQ(m.CheckColor(), 5);
    EXPECT_EQ(m.FadeSpeed(), fsSlow);
}

TEST_F(SchemeFileTest, SavingIntoAnExistingFileKeepsItsOtherContent)
{
    WriteFile(path("old.rbs"),
              "; hand-made\r\n"
              "[Head]\r\n"
              "Author=someone\r\n"
              "[RbControls]\r\n"
              "Foreign=keep me\r\n"
              "TRbStyleManagerNCheckColor=1\r\n"
              "TRbControlColorsNDefaultFrom=2\r\n"
              "[Other]\r\n"
              "FormColor=12345\r\n");
    TRbStyleManager m;
    m.SetMainWindowValues();
    ASSERT_TRUE(m.SaveStyle(path("old.rbs")));

    const TIniFile ini(path("old.rbs"));
    EXPECT_EQ(ini.sections(), (QStringList{"Head", "RbControls", "Other"}));
    EXPECT_EQ(ini.readString("Head", "Author"), "someone");
    EXPECT_EQ(ini.readInteger("Other", "FormColor", 0), 12345);
    const QStringList keys = ini.sectionKeys(kSection);
    ASSERT_EQ(keys.size(), 28);
    // The keys that were there keep their places, updated; the rest follow.
    EXPECT_EQ(keys[0], "Foreign");
    EXPECT_EQ(keys[1], "TRbStyleManagerNCheckColor");
    EXPECT_EQ(keys[2], "TRbControlColorsNDefaultFrom");
    EXPECT_EQ(keys[3], "TRbControlColorsNDefaultTo");
    EXPECT_EQ(keys.last(), "TFontSStyle");
    EXPECT_EQ(ini.readString(kSection, "Foreign"), "keep me");
    EXPECT_EQ(ini.readInteger(kSection, "TRbStyleManagerNCheckColor", 0), 2855225);
    EXPECT_EQ(ini.readInteger(kSection, "TRbControlColorsNDefaultFrom", 0), 16777215);
    EXPECT_TRUE(ReadFile(path("old.rbs")).startsWith("; hand-made\r\n[Head]\r\n"));
}

TEST_F(SchemeFileTest, AFailedWriteIsReportedWithTheFileName)
{
    TRbStyleManager m;
    const QString target = path("no/such/folder/x.rbs");
    QString error;
    EXPECT_FALSE(m.SaveStyle(target, &error));
    EXPECT_EQ(error, "Unable to write to " + target);
}

TEST(StyleManager, AssignCopiesTheSchemeAndRefusesOtherSources)
{
    TRbStyleManager src, dst;
    SetUnusualScheme(src);
    src.SetTag(7);
    ASSERT_TRUE(dst.Assign(src));
    EXPECT_EQ(dst.Colors().ClickedTo(), 106);
    EXPECT_EQ(dst.Colors().TextShadow(), TColor(0x80000010u));
    EXPECT_EQ(dst.SplitterColors().OverTo(), 114);
    EXPECT_FALSE(dst.ShowFocusRect());
    EXPECT_TRUE(dst.HotTrack());
    EXPECT_FALSE(dst.GradientBorder());
    EXPECT_FALSE(dst.TextShadow());
    EXPECT_EQ(dst.CheckColor(), 108);
    EXPECT_EQ(dst.FadeSpeed(), fsVeryFast);
    EXPECT_EQ(dst.PanelColor(), 109);
    EXPECT_EQ(dst.BorderColor(), 110);
    EXPECT_EQ(dst.Font().Name(), "Unusual Face");
    EXPECT_EQ(dst.Font().Height(), -16);
    EXPECT_EQ(dst.Tag(), 0); // not part of the scheme

    TRbControlColors colours;
    QString error;
    EXPECT_FALSE(dst.Assign(colours, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dst.Colors().ClickedTo(), 106);
}

// The checked-in built-in scheme is the main window's column, as the
// manager itself writes it.
TEST(BuiltInScheme, StandartIsTheMainWindowColumn)
{
    const QString file = QStringLiteral(ZELKOR_SOURCE_DIR "/resources/ColorSchemas/Standart.rbs");
    QTemporaryDir dir;
    TRbStyleManager m;
    m.SetMainWindowValues();
    const QString fresh = dir.filePath("Standart.rbs");
    ASSERT_TRUE(m.SaveStyle(fresh));
    TIniFile other(fresh);
    other.writeInteger("Other", "FormColor", clBtnFace);
    ASSERT_TRUE(other.save());
    const QByteArray shipped = ReadFile(file);
    if (shipped != ReadFile(fresh))
        dir.setAutoRemove(false); // left for a look, or to be checked in
    ASSERT_EQ(shipped, ReadFile(fresh)) << "written afresh: " << fresh.toStdString();

    // Loaded into a new manager it gives the main window's values.
    TRbStyleManager loaded, expected;
    expected.SetMainWindowValues();
    ASSERT_TRUE(loaded.LoadStyle(file));
    EXPECT_EQ(loaded.Colors().DefaultTo(), 13029079);
    EXPECT_EQ(loaded.Colors().ClickedFrom(), 490995);
    EXPECT_EQ(loaded.Colors().BorderColor(), 5193252);
    EXPECT_EQ(loaded.CheckColor(), 2855225);
    EXPECT_EQ(loaded.PanelColor(), 14215660);
    EXPECT_EQ(loaded.SplitterColors().DefaultFrom(), 14215660);
    EXPECT_EQ(loaded.Font().Color(), TColor(0x80000008u));
    EXPECT_EQ(loaded.Font().Height(), -11);
    EXPECT_EQ(loaded.FadeSpeed(), fsFast);
    EXPECT_FALSE(loaded.ShowFocusRect());
    EXPECT_FALSE(loaded.TextShadow());
    EXPECT_EQ(TIniFile(file).readInteger("Other", "FormColor", 0), -16777201);
}
