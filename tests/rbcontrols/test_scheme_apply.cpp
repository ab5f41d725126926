// Applying a scheme to registered controls, and the main window's
// colour-scheme step over a recording host.
#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbRadioButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbStyleManager.h"

#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TRgb PixelAt(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

} // namespace

TEST(ApplyStyle, ReachesEachRegisteredControlByPropertyName)
{
    TRbStyleManager m;
    m.SetMainWindowValues();
    m.Font().SetStyle(fsBold);

    TRbPanel panel;
    TRbProgressBar bar;
    TRbSplitter splitter;
    splitter.resize(5, 120);
    panel.SetRbStyleManager(&m);
    bar.SetRbStyleManager(&m);
    splitter.SetRbStyleManager(&m);
    const TColor barFrom = bar.DefaultFrom();

    m.ApplyStyle();

    EXPECT_EQ(panel.Color(), 14215660);       // PanelColor, by its own rule
    EXPECT_EQ(panel.BorderColor(), 5193252);
    EXPECT_FALSE(panel.TextShadow());
    EXPECT_EQ(panel.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(panel.Font().Style(), TFontStyles(fsBold));
    EXPECT_EQ(bar.BorderColor(), 5193252);
    EXPECT_FALSE(bar.TextShadow());
    EXPECT_EQ(bar.Font().Color(), TColor(0x80000008u));
    EXPECT_EQ(bar.DefaultFrom(), barFrom);    // not part of the scheme
    // The splitter's colours are the manager's splitter colours, not its
    // control colours, and its layers are rebuilt from them.
    EXPECT_EQ(splitter.Colors().OverFrom(), clWhite);
    EXPECT_EQ(splitter.Colors().OverTo(), 14215660);
    EXPECT_EQ(splitter.Colors().DefaultFrom(), 14215660);
    EXPECT_EQ(splitter.FadeSpeed(), fsFast);
    EXPECT_EQ(PixelAt(splitter.NormalLayer(), 0, 0), ResolveColor(14215660));

    // The panel's image follows its new colour: a pixel deep inside.
    EXPECT_EQ(PixelAt(panel.PanelImage(), 90, 50), ResolveColor(14215660));
}

TEST(ApplyStyle, ClickableControlsTakeTheirShareAndRebuildTheirLayers)
{
    TRbStyleManager m;
    m.SetMainWindowValues();
    m.Colors().SetDefaultFrom(RGBColor(1, 2, 3));

    TRbButton button;
    button.resize(75, 25);
    button.RebuildLayers();
    TRbCheckBox check;
    TRbRadioButton radio;
    for (TRbCustomControl* c : std::initializer_list<TRbCustomControl*>{&button, &check, &radio})
        c->SetRbStyleManager(&m);
    const qint64 radioLayer = radio.NormalLayer().cacheKey();
    check.SetChecked(true);
    m.ApplyStyle();

    EXPECT_EQ(button.Colors().ClickedFrom(), 490995);
    EXPECT_EQ(button.Colors().HotTrack(), 13500416);
    EXPECT_EQ(button.Colors().TextShadow(), clWhite);
    EXPECT_FALSE(button.ShowFocusRect());
    EXPECT_TRUE(button.HotTrack());
    EXPECT_TRUE(button.GradientBorder());
    EXPECT_EQ(button.FadeSpeed(), fsFast);
    EXPECT_FALSE(button.TextShadow());
    EXPECT_EQ(check.CheckColor(), 2855225);
    EXPECT_EQ(check.Colors().BorderColor(), 5193252);
    EXPECT_EQ(check.FadeSpeed(), fsFast);
    EXPECT_TRUE(check.Checked()); // no scheme value of that name
    EXPECT_EQ(radio.CheckColor(), 2855225);
    EXPECT_TRUE(radio.HotTrack());
    EXPECT_EQ(radio.Font().Color(), TColor(0x80000008u));
    // The colour sets are copied without notice; the layers are rebuilt
    // by the application itself.
    EXPECT_EQ(PixelAt(button.NormalLayer(), 10, 0), (TRgb{1, 2, 3}));
    EXPECT_NE(radio.NormalLayer().cacheKey(), radioLayer);
}

TEST(ApplyStyle, LeavesOthersAloneAndWaitsWhileLoading)
{
    TRbStyleManager m;
    m.SetPanelColor(123);
    TRbPanel mine, other;
    mine.SetRbStyleManager(&m);

    m.SetLoading(true);
    m.ApplyStyle();
    EXPECT_NE(mine.Color(), 123);
    m.SetLoading(false);
    m.ApplyStyle();
    EXPECT_EQ(mine.Color(), 123);
    EXPECT_NE(other.Color(), 123);
}

TEST(StyleManager, RegistrationKeepsOrderWithoutDuplicatesOrDeadControls)
{
    TRbStyleManager m;
    auto a = std::make_unique<TRbPanel>();
    auto b = std::make_unique<TRbProgressBar>();
    auto c = std::make_unique<TRbSplitter>();
    a->SetRbStyleManager(&m);
    b->SetRbStyleManager(&m);
    c->SetRbStyleManager(&m);
    m.RegisterControl(a.get());
    EXPECT_EQ(m.RegisteredControls(), (QList<QObject*>{a.get(), b.get(), c.get()}));

    b.reset();
    c.reset();
    EXPECT_EQ(m.RegisteredControls(), (QList<QObject*>{a.get()}));
    a->SetRbStyleManager(nullptr);
    EXPECT_TRUE(m.RegisteredControls().isEmpty());

    // Moving to another manager leaves the first one's list.
    TRbStyleManager n;
    a->SetRbStyleManager(&m);
    a->SetRbStyleManager(&n);
    EXPECT_TRUE(m.RegisteredControls().isEmpty());
    EXPECT_EQ(n.RegisteredControls().size(), 1);
}

TEST(StyleManager, ControlsForgetADestroyedManager)
{
    TRbPanel panel;
    TRbSplitter splitter;
    {
        TRbStyleManager m;
        panel.SetRbStyleManager(&m);
        splitter.SetRbStyleManager(&m);
    }
    EXPECT_EQ(panel.RbStyleManager(), nullptr);
    EXPECT_EQ(splitter.RbStyleManager(), nullptr);
}

// ---- the main window's step

namespace {

class RecordingHost : public IColorSchemeHost {
public:
    TRbStyleManager manager;
    TColor formColor = 77;
    QString schemeFileName;
    QString editorPath;
    int editorsCreated = 0;
    TColor panelColorSeenByEditor = 0;
    QList<QWidget*> widgets;
    QList<TRbProgressBar*> bars;
    QString programDir;

    TRbStyleManager& StyleManager() override { return manager; }
    QString ProgramDir() const override { return programDir.isEmpty() ? IColorSchemeHost::ProgramDir() : programDir; }
    TColor FormColor() const override { return formColor; }
    void SetFormColor(TColor c) override { formColor = c; }
    void SetSchemeFileName(const QString& f) override { schemeFileName = f; }
    void CreateStyleEditor() override
    {
        ++editorsCreated;
        panelColorSeenByEditor = manager.PanelColor();
    }
    void SetEditorStylePath(const QString& p) override { editorPath = p; }
    QList<QWidget*> SchemeColorWidgets() override { return widgets; }
    QList<TRbProgressBar*> SchemeProgressBars() override { return bars; }
};

const QByteArray kScheme = "[RbControls]\r\nTRbStyleManagerNPanelColor=4444\r\n"
                           "TRbControlColorsNOverFrom=11\r\nTRbControlColorsNOverTo=22\r\n"
                           "[Other]\r\nFormColor=255\r\n";

} // namespace

TEST(LoadColorScheme, LoadsAppliesAndPaintsTheWindows)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ColorSchemas/Blue.rbs");
    WriteFile(file, kScheme);
    RecordingHost host;
    host.programDir = dir.path(); // the scheme lies in the program's own folder
    TRbPanel panel;
    panel.SetRbStyleManager(&host.manager);
    QLineEdit edit;
    QWidget page;
    TRbProgressBar searchBar;
    host.widgets = {&edit, &page};
    host.bars = {&searchBar};

    QString error;
    ASSERT_TRUE(LoadColorScheme(host, file, &error)) << error.toStdString();
    EXPECT_EQ(host.formColor, 255);
    EXPECT_EQ(host.schemeFileName, "Blue.rbs");
    EXPECT_EQ(host.editorsCreated, 1);
    EXPECT_EQ(host.panelColorSeenByEditor, 4444); // the editor copies the loaded scheme
    EXPECT_TRUE(host.editorPath.endsWith("/ColorSchemas/Blue.rbs"));
    EXPECT_EQ(panel.Color(), 4444);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(page.palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(searchBar.DefaultFrom(), 11);
    EXPECT_EQ(searchBar.DefaultTo(), 22);
}

TEST(LoadColorScheme, WorkAreaColourRules)
{
    QTemporaryDir dir;
    RecordingHost host;
    // No section "Other": black.
    WriteFile(dir.filePath("a/Plain.rbs"), "[RbControls]\r\nTRbStyleManagerNPanelColor=1\r\n");
    ASSERT_TRUE(LoadColorScheme(host, dir.filePath("a/Plain.rbs")));
    EXPECT_EQ(host.formColor, 0);
    // "Standart" anywhere in the path, folders too: the face colour.
    WriteFile(dir.filePath("Standart-ish/Own.rbs"), kScheme);
    ASSERT_TRUE(LoadColorScheme(host, dir.filePath("Standart-ish/Own.rbs")));
    EXPECT_EQ(host.formColor, clBtnFace);
    // Matched with its case.
    WriteFile(dir.filePath("b/standart.rbs"), kScheme);
    ASSERT_TRUE(LoadColorScheme(host, dir.filePath("b/standart.rbs")));
    EXPECT_EQ(host.formColor, 255);
}

TEST(LoadColorScheme, FailureLeavesTheWindowsAsTheyWere)
{
    QTemporaryDir dir;
    RecordingHost host;
    QWidget page;
    host.widgets = {&page};
    const QColor before = page.palette().color(QPalette::Window);
    QString error;
    EXPECT_FALSE(LoadColorScheme(host, dir.filePath("ColorSchemas/Missing.rbs"), &error));
    EXPECT_EQ(error, "File not exists!");
    WriteFile(dir.filePath("Empty.rbs"), "[Other]\r\nFormColor=1\r\n");
    EXPECT_FALSE(LoadColorScheme(host, dir.filePath("Empty.rbs"), &error));
    EXPECT_EQ(error, "Empty or invalid file");
    EXPECT_EQ(host.formColor, 77);
    EXPECT_EQ(host.editorsCreated, 0);
    EXPECT_TRUE(host.schemeFileName.isEmpty());
    EXPECT_EQ(page.palette().color(QPalette::Window), before);
}

TEST(SchemeFolder, FolderNamesMatchWithoutCaseAndInstalledDataIsTheFallback)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("bin/ColorSchemas/Standart.rbs"), kScheme);
    const QString bin = dir.filePath("bin");
    EXPECT_EQ(ResolvePathIgnoringCase(bin + "\\COlorSchemas\\Standart.rbs"), bin + "/ColorSchemas/Standart.rbs");
    EXPECT_EQ(ColorSchemeFile("Standart.rbs", bin), bin + "/ColorSchemas/Standart.rbs");

    // Installed: nothing beside the executable, the data folder has it.
    WriteFile(dir.filePath("usr/share/zelkor/ColorSchemas/Standart.rbs"), kScheme);
    QDir().mkpath(dir.filePath("usr/bin"));
    EXPECT_EQ(ColorSchemeFile("Standart.rbs", dir.filePath("usr/bin")),
              QDir::cleanPath(dir.filePath("usr/share/zelkor/ColorSchemas/Standart.rbs")));
    // Neither: the path beside the executable, which the loader reports.
    EXPECT_EQ(ColorSchemeFile("Gone.rbs", bin), bin + "/ColorSchemas/Gone.rbs");
}
