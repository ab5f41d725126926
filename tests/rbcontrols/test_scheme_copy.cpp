// Copying a scheme between managers, and a scheme that survives its file.
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbStyleManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A height between two whole point sizes: 14 px is 10.5 pt.
constexpr int kOddHeight = -14;

void SetScheme(TRbStyleManager& m)
{
    m.Colors().SetDefaultFrom(201);
    m.Colors().SetClickedTo(202);
    m.Colors().SetTextShadow(clBtnFace);
    m.SetShowFocusRect(false);
    m.SetHotTrack(true);
    m.SetGradientBorder(false);
    m.SetTextShadow(false);
    m.SetCheckColor(203);
    m.SetFadeSpeed(fsSlow);
    m.SetPanelColor(204);
    m.SetBorderColor(205);
    m.SplitterColors().SetOverTo(206);
    m.Font().SetCharset(204);
    m.Font().SetColor(207);
    m.Font().SetName(QStringLiteral("Copied Face"));
    m.Font().SetHeight(kOddHeight);
    m.Font().SetPitch(fpVariable);
    m.Font().SetStyle(fsBold | fsUnderline);
}

} // namespace

TEST(CopySchemeProperties, CopiesEveryValueOfTheSchemeButNotTheComponentsOwn)
{
    TRbStyleManager src, dst;
    SetScheme(src);
    src.SetStyleFileName(QStringLiteral("/schemes/Copied.rbs"));
    src.SetName(QStringLiteral("SourceManager"));
    src.SetTag(9);
    dst.SetName(QStringLiteral("EditorManager"));
    TRbButton button;
    button.SetRbStyleManager(&dst);

    CopySchemeProperties(src, dst);

    EXPECT_EQ(dst.StyleFileName(), "/schemes/Copied.rbs");
    EXPECT_EQ(dst.Colors().DefaultFrom(), 201);
    EXPECT_EQ(dst.Colors().ClickedTo(), 202);
    EXPECT_EQ(dst.Colors().TextShadow(), clBtnFace);
    EXPECT_EQ(dst.Colors().HotTrack(), src.Colors().HotTrack());
    EXPECT_FALSE(dst.ShowFocusRect());
    EXPECT_TRUE(dst.HotTrack());
    EXPECT_FALSE(dst.GradientBorder());
    EXPECT_FALSE(dst.TextShadow());
    EXPECT_EQ(dst.CheckColor(), 203);
    EXPECT_EQ(dst.FadeSpeed(), fsSlow);
    EXPECT_EQ(dst.PanelColor(), 204);
    EXPECT_EQ(dst.BorderColor(), 205);
    EXPECT_EQ(dst.SplitterColors().OverTo(), 206);
    EXPECT_EQ(dst.SplitterColors().DefaultFrom(), clBtnFace);
    EXPECT_EQ(dst.Font().Charset(), 204);
    EXPECT_EQ(dst.Font().Color(), 207);
    EXPECT_EQ(dst.Font().Name(), "Copied Face");
    EXPECT_EQ(dst.Font().Height(), kOddHeight); // Size comes after Height and must not round it
    EXPECT_EQ(dst.Font().Pitch(), fpVariable);
    EXPECT_EQ(dst.Font().Style(), fsBold | fsUnderline);

    EXPECT_EQ(dst.Name(), "EditorManager");
    EXPECT_EQ(dst.Tag(), 0);
    // Copying is not applying.
    EXPECT_NE(button.Colors().DefaultFrom(), 201);
    dst.ApplyStyle();
    EXPECT_EQ(button.Colors().DefaultFrom(), 201);
    EXPECT_EQ(button.Font().Height(), kOddHeight);

    // And back: the copy is the same scheme.
    TRbStyleManager again;
    CopySchemeProperties(dst, again);
    QTemporaryDir dir;
    ASSERT_TRUE(src.SaveStyle(dir.filePath("src.rbs")));
    ASSERT_TRUE(again.SaveStyle(dir.filePath("again.rbs")));
    EXPECT_EQ(ReadFile(dir.filePath("src.rbs")), ReadFile(dir.filePath("again.rbs")));
}

TEST(SchemeFile, AnOddFontHeightLoadsAndSavesToTheSameBytes)
{
    QTemporaryDir dir;
    TRbStyleManager first;
    SetScheme(first);
    ASSERT_TRUE(first.SaveStyle(dir.filePath("one.rbs")));
    const QByteArray one = ReadFile(dir.filePath("one.rbs"));
    ASSERT_TRUE(one.contains("TFontNHeight=-14\r\n"));
    ASSERT_TRUE(one.contains("TFontNSize=11\r\n"));

    TRbStyleManager second;
    QString error;
    ASSERT_TRUE(second.LoadStyle(dir.filePath("one.rbs"), &error)) << error.toStdString();
    EXPECT_EQ(second.Font().Height(), kOddHeight);
    ASSERT_TRUE(second.SaveStyle(dir.filePath("two.rbs")));
    EXPECT_EQ(ReadFile(dir.filePath("two.rbs")), one);

    // Loading over itself changes nothing either.
    ASSERT_TRUE(second.LoadStyle(dir.filePath("two.rbs"), &error));
    ASSERT_TRUE(second.SaveStyle(dir.filePath("two.rbs")));
    EXPECT_EQ(ReadFile(dir.filePath("two.rbs")), one);
}
