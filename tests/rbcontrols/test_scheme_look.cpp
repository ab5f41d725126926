#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbColorSwatch.h"
#include "rbcontrols/RbPanel.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[RbControls]\r\nTRbStyleManagerNPanelColor=1\r\n");
}

} // namespace

TEST(StyleEditorHints, StandardColoursByNameOthersAsEightHexDigits)
{
    EXPECT_EQ(ColorHintName(clWhite), QStringLiteral("clWhite"));
    EXPECT_EQ(ColorHintName(clBtnFace), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorHintName(0x00C0DCC0), QStringLiteral("clMoneyGreen"));
    EXPECT_EQ(ColorHintName(0x00D8E9EC), QStringLiteral("$00D8E9EC"));
    // The other spelling of a system colour is no standard name.
    EXPECT_EQ(ColorHintName(TColor(0x80000008u)), QStringLiteral("$80000008"));
}

TEST(SchemeFolder, UserSchemesGoBesideTheProgramWhenWritableElseToTheDataFolder)
{
    QTemporaryDir root, data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString bin = root.filePath("bin");
    QDir().mkpath(bin + "/ColorSchemas");
    EXPECT_EQ(UserSchemeFolder(bin), bin + "/ColorSchemas");
    const QString installed = root.filePath("usr/bin"); // no scheme folder of its own to write to
    QDir().mkpath(installed);
    EXPECT_EQ(UserSchemeFolder(installed), data.path() + "/zelkor/ColorSchemas");
    EXPECT_EQ(UserDataSchemeFolder(), data.path() + "/zelkor/ColorSchemas");
}

TEST(SchemeFolder, TheUsersSchemeIsFoundFirstAndSettingsKeepAPathOnlyWhenNeeded)
{
    QTemporaryDir root, data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString bin = root.filePath("bin");
    Write(bin + "/ColorSchemas/User.rbs");
    EXPECT_EQ(ColorSchemeFile("User.rbs", bin), bin + "/ColorSchemas/User.rbs");
    const QString mine = data.path() + "/zelkor/ColorSchemas/User.rbs";
    Write(mine);
    EXPECT_EQ(ColorSchemeFile("user.RBS", bin), mine) << "the user's folder first, names without case";

    EXPECT_EQ(SchemeSettingName(mine, bin), QStringLiteral("User.rbs"));
    EXPECT_EQ(SchemeSettingName(QStringLiteral("User.rbs"), bin), QStringLiteral("User.rbs"));
    // Shadowed by the user's copy, or outside every scheme folder: the whole path.
    EXPECT_EQ(SchemeSettingName(bin + "/ColorSchemas/User.rbs", bin), bin + "/ColorSchemas/User.rbs");
    const QString elsewhere = root.filePath("docs/Blue.rbs");
    Write(elsewhere);
    EXPECT_EQ(SchemeSettingName(elsewhere, bin), elsewhere);
    EXPECT_EQ(ColorSchemeFile(elsewhere, bin), elsewhere);
}

TEST(PanelBackdrop, CornersTakeWhatIsPaintedBehindThePanelUntilSetExplicitly)
{
    QTabWidget tabs;
    auto* page = new QWidget;
    tabs.addTab(page, "p");
    auto* panel = new TRbPanel(page);
    panel->SetCornerWidth(15);
    panel->SetColor(RGBColor(250, 250, 250));
    SetSchemeColor(&tabs, RGBColor(20, 60, 90));
    EXPECT_EQ(panel->OuterColor(), RGBColor(20, 60, 90));
    const QImage img = panel->RenderBuffer();
    const QColor corner = img.pixelColor(0, 0);
    EXPECT_EQ(corner, QColor(20, 60, 90));
    // A skinned parent is what lies behind a nested panel.
    auto* inner = new TRbPanel(panel);
    EXPECT_EQ(inner->OuterColor(), RGBColor(250, 250, 250));
    panel->SetOuterColor(clWhite);
    SetSchemeColor(&tabs, RGBColor(90, 20, 20));
    EXPECT_EQ(panel->OuterColor(), clWhite);
}
