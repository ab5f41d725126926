// The colour-scheme editor on the scheme look alone, and the scheme in the
// main window's windows.
#include "MainRig.h"
#include "PageRig.h"

#include "app/DiagnosticPage.h"
#include "common/IniFile.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbRadioButton.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbColorSwatch.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleEditor.h"
#include "rbcontrols/RbStyleManager.h"
#include "app/ProgSettings.h"
#include "app/SchemeLook.h"
#include "app/SetFrm.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr TColor kPicked = 0x123456;

// The user's data folder of every test is a fresh temporary one.
class DataHome {
public:
    DataHome() { qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit()); }
    QString schemes() const { return dir.path() + QStringLiteral("/zelkor/ColorSchemas"); }
    QTemporaryDir dir;
};

// A main window with the editor shown; the colour dialog picks kPicked and
// the save dialog answers with saveAnswer (empty: Cancel).
// Every value of the main window's scheme, so a reload restores them all.
QByteArray FullScheme()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Standart.rbs"));
    TRbStyleManager m;
    m.SetMainWindowValues();
    m.SaveStyle(file);
    TIniFile ini(file);
    ini.writeInteger(QStringLiteral("Other"), QStringLiteral("FormColor"), clBtnFace);
    ini.save();
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The colour dialog picks kPicked, the save dialog writes down its preset
// and answers `answer` (empty: Cancel), a drag writes down its swatch.
void AnswerDialogs(TStyleEditorDialogs& d, QStringList& presets, const QString& answer, QStringList& dragged)
{
    d.chooseColor = [](QWidget*, TColor& c) {
        c = kPicked;
        return true;
    };
    d.saveFile = [&presets, &answer](QWidget*, const QString&, const QString& preset) {
        presets << preset;
        return answer;
    };
    d.startDrag = [&dragged](TRbColorSwatch* s) { dragged << s->objectName(); };
}

struct EditorRig {
    EditorRig(const QByteArray& scheme = FullScheme()) : rig({}, scheme)
    {
        AnswerDialogs(rig.editorDialogs, savePresets, saveAnswer, dragged);
        frm = rig.make();
        frm->findChild<QAction*>(QStringLiteral("actColors"))->trigger();
    }
    TFStyleEditor& ed() { return *frm->StyleEditor(); }
    QString scheme(const QString& name) const { return rig.progDir + QStringLiteral("/ColorSchemas/") + name; }

    DataHome home;
    MainRig rig;
    QStringList savePresets;
    QStringList dragged;
    QString saveAnswer;
    std::unique_ptr<TfrmMain> frm;
};

// The scheme look without the main window, on a window of its own, the
// scheme loaded and the editor shown as the colours action shows it. The
// dialogs answer as EditorRig's.
struct LookRig {
    LookRig()
    {
        progDir = home.dir.path() + QStringLiteral("/prog");
        QDir().mkpath(progDir + QStringLiteral("/ColorSchemas"));
        MainRig::writeFile(scheme(QStringLiteral("Standart.rbs")), FullScheme());
        AnswerDialogs(dialogs, savePresets, saveAnswer, dragged);
        QString error;
        EXPECT_TRUE(LoadSettings(settings, progDir + QStringLiteral("/zelkor"), home.dir.path() + QStringLiteral("/cfg"),
                                 &error))
            << error.toStdString();
        window = std::make_unique<QWidget>();
        look = new TSchemeLook(window.get(), settings, dialogs);
        look->ErrorBox = [this](const QString& text) { errorBoxes << text; };
        look->SettingsWindowShown = [this] { return settingsWindowMade; };
        QObject::connect(look, &TSchemeLook::settingsWindowWanted, [this] { settingsWindowMade = true; });
        EXPECT_TRUE(look->LoadColorScheme(settings.ColorSchemePath, &error)) << error.toStdString();
        TFStyleEditor* editor = look->EnsureStyleEditor();
        editor->show();
        editor->raise();
        editor->activateWindow();
    }
    TFStyleEditor& ed() { return *look->StyleEditor(); }
    QString scheme(const QString& name) const { return progDir + QStringLiteral("/ColorSchemas/") + name; }

    DataHome home;
    QString progDir;
    TProgSettings settings;
    TStyleEditorDialogs dialogs;
    QStringList savePresets;
    QStringList dragged;
    QString saveAnswer;
    QStringList errorBoxes;
    bool settingsWindowMade = false;
    std::unique_ptr<QWidget> window;
    TSchemeLook* look = nullptr; // the window's
};

template <class T> bool Registered(TRbStyleManager* m, T* control)
{
    return m->RegisteredControls().contains(static_cast<QObject*>(control));
}

void DragOver(QWidget* target, const QString& source, bool drop, bool* accepted = nullptr)
{
    QMimeData data;
    data.setData(TRbColorSwatch::MimeType(), source.toUtf8());
    const QPoint at(5, 5);
    // The enter makes the widget the drag's target; moves and the drop go there.
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(target, &move);
    if (accepted)
        *accepted = enter.isAccepted() && move.isAccepted();
    if (drop) {
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(target, &dropEvent);
    }
}

} // namespace

TEST(StyleEditorWindow, OfferedUnderView)
{
    EditorRig r;
    QMenu* view = nullptr;
    for (QAction* a : r.frm->menuBar()->actions())
        if (a->text() == QStringLiteral("Вид"))
            view = a->menu();
    ASSERT_NE(view, nullptr);
    ASSERT_GE(view->actions().size(), 2);
    EXPECT_EQ(view->actions().at(0), r.frm->findChild<QAction*>(QStringLiteral("actIndView")));
    EXPECT_EQ(view->actions().at(1), r.frm->findChild<QAction*>(QStringLiteral("actColors")));
    EXPECT_EQ(r.frm->findChild<QAction*>(QStringLiteral("actColors"))->text(), QStringLiteral("Настройка цветов"));
    EXPECT_TRUE(r.ed().isVisible());
    EXPECT_EQ(r.ed().StylePath(), r.scheme("Standart.rbs"));
    EXPECT_TRUE(Registered(&r.frm->StyleManager(), r.ed().RbProgressBar1));
}

TEST(StyleEditorWindow, BuiltFromTheMainScheme)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    EXPECT_TRUE(ed.isVisible());
    EXPECT_EQ(ed.windowTitle(), QStringLiteral("Настройки стиля"));
    EXPECT_EQ(ed.StylePath(), r.scheme("Standart.rbs"));
    EXPECT_EQ(ed.SavedStylePath(), ed.StylePath());
    // The main scheme reached the swatches and the preview.
    EXPECT_EQ(ed.EInnerColor->Color(), 14215660);
    EXPECT_EQ(ed.EInnerColor->toolTip(), QStringLiteral("$00D8E9EC"));
    EXPECT_EQ(ed.ShFormColor->toolTip(), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ed.RbPanel2->Color(), 14215660);
    EXPECT_EQ(ed.CBFadeSpeed->currentIndex(), int(fsFast));
    EXPECT_EQ(ed.actSaveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    EXPECT_EQ(ed.actClose->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    // Every skinned control but the preview frame and the bar is the editor's.
    EXPECT_TRUE(Registered(&ed.SMgr(), ed.btnApply));
    EXPECT_TRUE(Registered(&ed.SMgr(), ed.RbSplitter1));
    EXPECT_FALSE(Registered(&ed.SMgr(), ed.RbPanel1));
    EXPECT_TRUE(Registered(&r.look->StyleManager(), ed.RbProgressBar1));

    // A swatch is reachable from the keyboard: Space opens the colour dialog.
    QTest::keyClick(ed.EHotTrack, Qt::Key_Space);
    EXPECT_EQ(ed.EHotTrack->Color(), kPicked);
    EXPECT_EQ(ed.SMgr().Colors().HotTrack(), kPicked);
}

TEST(StyleEditorWindow, ReachableAfterAStartWithoutAScheme)
{
    DataHome home;
    MainRig rig({}, QByteArray());
    auto frm = rig.make();
    ASSERT_TRUE(frm->StartupCutShort());
    EXPECT_EQ(frm->StyleEditor(), nullptr);
    frm->findChild<QAction*>(QStringLiteral("actColors"))->trigger();
    ASSERT_NE(frm->StyleEditor(), nullptr);
    EXPECT_TRUE(frm->StyleEditor()->isVisible());
}

TEST(StyleEditorApply, RestylesEveryWindowSavesUserSchemeAndKeepsTheMarker)
{
    EditorRig r;
    TfrmSettings* settings = r.frm->SettingsDialog();
    TFStyleEditor& ed = r.ed();
    ed.SwatchMouseDown(ed.EDefaultFrom, Qt::NoModifier);
    ed.SwatchMouseDown(ed.ETextShadow, Qt::NoModifier);
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());
    EXPECT_EQ(ed.SMgr().Colors().DefaultFrom(), kPicked);
    EXPECT_EQ(ed.EDefaultFrom->toolTip(), QStringLiteral("$00123456"));
    EXPECT_EQ(ed.btnOk->Colors().DefaultFrom(), kPicked) << "the editor restyles itself at once";
    EXPECT_NE(r.frm->StyleManager().Colors().DefaultFrom(), kPicked) << "the program waits for Apply";

    ed.btnApplyClick();
    EXPECT_EQ(r.frm->StyleManager().Colors().DefaultFrom(), kPicked);
    EXPECT_EQ(r.frm->StyleManager().Colors().TextShadow(), kPicked);
    EXPECT_EQ(settings->RbButton2->Colors().DefaultFrom(), kPicked);
    EXPECT_EQ(r.frm->tsDiagnostic()->btnCorrR0->Colors().TextShadow(), kPicked);
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());

    // Written where the start-up finds it, and named in the settings.
    TIniFile user(r.scheme("User.rbs"));
    EXPECT_EQ(user.readInteger("RbControls", "TRbControlColorsNDefaultFrom", 0), kPicked);
    EXPECT_EQ(user.readInteger("Other", "FormColor", 0), clBtnFace);
    EXPECT_EQ(r.frm->Settings().ColorShema, QStringLiteral("User.rbs"));
}

TEST(StyleEditorClose, UnsavedEditsAskForANameAndCancelRestoresTheSavedScheme)
{
    LookRig r;
    const TColor before = r.look->StyleManager().Colors().HotTrack();
    TFStyleEditor* ed = &r.ed();
    ed->SwatchMouseDown(ed->EHotTrack, Qt::NoModifier);
    ed->btnApplyClick();
    ASSERT_EQ(r.look->StyleManager().Colors().HotTrack(), kPicked);

    ed->close();
    ASSERT_EQ(r.savePresets.size(), 1);
    EXPECT_EQ(r.savePresets.first(), r.progDir + QStringLiteral("/ColorSchemas/User.rbs"));
    EXPECT_FALSE(ed->SaveAsDone());
    EXPECT_EQ(ed->StylePath(), r.scheme("Standart.rbs"));
    // The program reloaded the scheme it had before the edits.
    EXPECT_EQ(r.look->StyleManager().Colors().HotTrack(), before);
    EXPECT_EQ(r.settings.ColorShema, QStringLiteral("Standart.rbs"));
    EXPECT_NE(r.look->StyleEditor(), ed) << "the reload made a new editor";
    EXPECT_TRUE(r.settingsWindowMade) << "Cancel makes the settings window";
    EXPECT_EQ(r.look->StyleEditor()->SMgr().Colors().HotTrack(), before);
    EXPECT_TRUE(r.errorBoxes.isEmpty());
}

TEST(StyleEditorClose, OptionsAndFadeSpeedAloneNeverAskForAName)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    const QString path = ed.StylePath();
    const bool shadow = ed.SMgr().TextShadow();
    ed.CHTextShadow->click();
    ed.CBFadeSpeed->setCurrentIndex(int(fsSlow));
    EXPECT_EQ(ed.SMgr().TextShadow(), !shadow);
    EXPECT_EQ(ed.SMgr().FadeSpeed(), fsSlow);
    EXPECT_EQ(ed.RbButton1->FadeSpeed(), fsSlow) << "the preview follows";
    ed.close();
    EXPECT_TRUE(r.savePresets.isEmpty());
    EXPECT_EQ(ed.StylePath(), path);
}

TEST(StyleEditorClose, AConfirmedSaveAsNamesTheSavedFileAndTheNextStartLoadsIt)
{
    EditorRig r;
    r.frm->SettingsDialog();
    r.saveAnswer = r.scheme("Mine.rbs");
    TFStyleEditor& ed = r.ed();
    ed.SwatchMouseDown(ed.EInnerColor, Qt::NoModifier);
    ed.btnOkClick();
    EXPECT_TRUE(ed.SaveAsDone());
    EXPECT_FALSE(ed.isVisible());
    EXPECT_EQ(ed.StylePath(), r.scheme("Mine.rbs"));
    EXPECT_EQ(r.frm->Settings().ColorShema, QStringLiteral("Mine.rbs"));
    EXPECT_EQ(TIniFile(r.scheme("Mine.rbs")).readInteger("RbControls", "TRbStyleManagerNPanelColor", 0), kPicked);

    r.frm->close();
    r.frm.reset();
    auto next = r.rig.make();
    EXPECT_FALSE(next->StartupCutShort());
    EXPECT_TRUE(r.rig.errorBoxes.isEmpty());
    EXPECT_EQ(next->StyleManager().PanelColor(), kPicked);
}

TEST(StyleEditorClose, ApplyAndHideLeavesTheUserSchemeForTheNextStart)
{
    EditorRig r;
    TFStyleEditor& ed = r.ed();
    ed.ShFormColorMouseDown(Qt::NoModifier);
    EXPECT_EQ(ed.FormColor(), kPicked);
    EXPECT_EQ(ed.RbPanel1->Color(), kPicked);
    ed.actAppCloseExecute();
    EXPECT_FALSE(ed.isVisible());
    EXPECT_TRUE(r.savePresets.isEmpty()) << "hiding is no closing";
    EXPECT_EQ(r.frm->FormColor(), kPicked);

    r.frm->close();
    r.frm.reset();
    auto next = r.rig.make();
    EXPECT_FALSE(next->StartupCutShort());
    EXPECT_EQ(next->FormColor(), kPicked);
}

TEST(StyleEditorDrag, ShiftDragCopiesAColourAndASwatchRefusesItself)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    ed.SwatchMouseDown(ed.EDefaultTo, Qt::ShiftModifier);
    EXPECT_EQ(r.dragged, QStringList{QStringLiteral("EDefaultTo")});
    EXPECT_EQ(ed.StylePath(), r.scheme("Standart.rbs")) << "a drag start opens no colour dialog";

    bool accepted = true;
    DragOver(ed.EDefaultTo, QStringLiteral("EDefaultTo"), true, &accepted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(ed.StylePath(), r.scheme("Standart.rbs"));

    const TColor c = ed.EDefaultTo->Color();
    ASSERT_NE(ed.EHotTrack->Color(), c);
    DragOver(ed.EHotTrack, QStringLiteral("EDefaultTo"), true, &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(ed.EHotTrack->Color(), c);
    EXPECT_EQ(ed.EHotTrack->toolTip(), ColorHintName(c));
    EXPECT_EQ(ed.SMgr().Colors().HotTrack(), c);
    EXPECT_EQ(ed.RbButton1->Colors().HotTrack(), c);
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());
}

TEST(StyleEditorDrag, HoverOverTheWorkAreaSwatchRecoloursBeforeAnyDrop)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    const TColor c = ed.EClickedFrom->Color();
    ASSERT_NE(ed.FormColor(), c);
    DragOver(ed.ShFormColor, QStringLiteral("EClickedFrom"), false);
    EXPECT_EQ(ed.FormColor(), c);
    EXPECT_EQ(ed.ShFormColor->Color(), c);
    EXPECT_EQ(ed.RbPanel1->Color(), c);
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());
    // Dropped elsewhere: the work area keeps what the hover gave it.
    DragOver(ed.ECheckColor, QStringLiteral("EClickedFrom"), true);
    EXPECT_EQ(ed.FormColor(), c);
    EXPECT_EQ(ed.SMgr().CheckColor(), c);
}

TEST(StyleEditorFiles, OpenWithoutSectionOtherGivesABlackWorkAreaAndAppliesNothing)
{
    LookRig r;
    const QString file = r.home.dir.path() + QStringLiteral("/Plain.rbs");
    MainRig::writeFile(file, "[RbControls]\r\nTRbStyleManagerNPanelColor=255\r\nTRbStyleManagerEFadeSpeed=fsVeryFast\r\n");
    TFStyleEditor& ed = r.ed();
    ed.Dialogs().openFile = [&](QWidget*, const QString&) { return file; };
    ed.actOpenExecute();
    EXPECT_FALSE(ed.EditorLoading());
    EXPECT_EQ(ed.StylePath(), file);
    EXPECT_EQ(ed.FormColor(), 0);
    EXPECT_EQ(ed.ShFormColor->Color(), 0);
    EXPECT_EQ(ed.EInnerColor->Color(), 255);
    EXPECT_EQ(ed.CBFadeSpeed->currentIndex(), int(fsVeryFast));
    EXPECT_NE(r.look->StyleManager().PanelColor(), 255) << "opening is no applying";

    // A missing file: the loader's error, the loading flag down, nothing taken.
    ed.Dialogs().openFile = [&](QWidget*, const QString&) { return file + QStringLiteral(".gone"); };
    ed.actOpenExecute();
    EXPECT_EQ(r.errorBoxes, QStringList{QStringLiteral("File not exists!")});
    EXPECT_FALSE(ed.EditorLoading());
    EXPECT_EQ(ed.StylePath(), file);
}

TEST(StyleEditorFiles, SaveAndSaveAsWriteTheSchemeAndTheWorkArea)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    ed.ShFormColorMouseDown(Qt::NoModifier);
    // Save with the marker is a Save As; a failed write is no Save As done.
    r.saveAnswer = r.home.dir.path() + QStringLiteral("/no/such/folder/x.rbs");
    ed.actSaveExecute();
    EXPECT_FALSE(ed.SaveAsDone());
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());
    ASSERT_EQ(r.errorBoxes.size(), 1);
    EXPECT_TRUE(r.errorBoxes.first().startsWith(QStringLiteral("Unable to write to")));

    r.saveAnswer = r.scheme("Blue.rbs");
    ed.actSaveExecute();
    EXPECT_TRUE(ed.SaveAsDone());
    EXPECT_EQ(ed.StylePath(), r.scheme("Blue.rbs"));
    EXPECT_EQ(TIniFile(r.scheme("Blue.rbs")).readInteger("Other", "FormColor", -1), kPicked);
    // Now Save writes in place without asking.
    ed.SwatchMouseDown(ed.ECheckColor, Qt::NoModifier);
    ed.SetStylePath(r.scheme("Blue.rbs"));
    ed.actSaveExecute();
    EXPECT_EQ(r.savePresets.size(), 2);
    EXPECT_EQ(TIniFile(r.scheme("Blue.rbs")).readInteger("RbControls", "TRbStyleManagerNCheckColor", 0), kPicked);
}

TEST(StyleEditorFont, TheFontDialogSetsTheSchemeFontAndMarksTheEdit)
{
    LookRig r;
    TFStyleEditor& ed = r.ed();
    const QString path = ed.StylePath();
    ed.Dialogs().chooseFont = [](QWidget*, QFont&) { return false; };
    ed.BFontClick();
    EXPECT_EQ(ed.StylePath(), path) << "a cancelled dialog changes nothing";

    ed.Dialogs().chooseFont = [](QWidget*, QFont& f) {
        f.setPixelSize(15);
        f.setBold(true);
        return true;
    };
    ed.BFontClick();
    EXPECT_EQ(ed.SMgr().Font().Height(), -15);
    EXPECT_EQ(ed.SMgr().Font().Style(), TFontStyles(fsBold));
    EXPECT_EQ(ed.RbButton1->Font().Height(), -15);
    EXPECT_EQ(ed.StylePath(), TFStyleEditor::UserStyleName());
    ed.btnApplyClick();
    EXPECT_EQ(r.look->StyleManager().Font().Height(), -15);
}

TEST(StyleEditorCopy, CopyStyleCarriesEveryValueAndAnOddFontHeightExactly)
{
    TRbStyleManager a, b;
    a.SetMainWindowValues();
    b.SetEditorValues();
    a.Font().SetHeight(-14); // 10,5 points: a whole-point size would round it
    a.SetStyleFileName(QStringLiteral("x.rbs"));
    TFStyleEditor::CopyStyle(a, b);
    EXPECT_EQ(b.Font().Height(), -14);
    EXPECT_EQ(b.Font().Color(), a.Font().Color());
    EXPECT_EQ(b.StyleFileName(), QStringLiteral("x.rbs"));
    EXPECT_EQ(b.Colors().TextShadow(), a.Colors().TextShadow());
    EXPECT_EQ(b.Colors().BorderColor(), a.Colors().BorderColor());
    EXPECT_EQ(b.SplitterColors().OverTo(), a.SplitterColors().OverTo());
    EXPECT_EQ(b.PanelColor(), a.PanelColor());
    EXPECT_EQ(b.FadeSpeed(), a.FadeSpeed());
    EXPECT_EQ(b.ShowFocusRect(), a.ShowFocusRect());
    EXPECT_EQ(b.HotTrack(), a.HotTrack());
}

// ---------------------------------------------------------------- the scheme in the windows

namespace {

const QByteArray kDarkScheme = "[RbControls]\r\nTRbStyleManagerNPanelColor=15787740\r\n[Other]\r\nFormColor=5916200\r\n";

// The pages on a scheme with a dark work area, as the main window starts on it.
struct DarkRig : SearchRig {
    DarkRig()
        : SearchRig("[Defaults]\r\nColorShema=Dark.rbs\r\n")
    {
        make();
        QString error;
        EXPECT_TRUE(adoptScheme(kDarkScheme, &error)) << error.toStdString();
    }
    TRbStyleManager& manager() { return scheme->StyleManager(); }

    DataHome home;
};

} // namespace

TEST(StyleEditorSchemeInWindows, DiagnosticsFramesAreSkinnedPanelsOfTheMainManager)
{
    DarkRig rig;
    TDiagnosticPage* page = rig.pages->tsDiagnostic();
    for (TRbPanel* p : {page->RbPanel1, page->RbPanel2}) {
        EXPECT_TRUE(Registered(&rig.manager(), p));
        EXPECT_EQ(p->Color(), 15787740);
        EXPECT_EQ(p->OuterColor(), 5916200) << "the corners show the work area behind them";
    }
    EXPECT_EQ(page->RbPanel1->Caption(), QStringLiteral("Состояние самодиагностики: "));
    EXPECT_EQ(page->RbPanel2->Caption(), QStringLiteral("Дата настройки: "));
    EXPECT_EQ(page->lbDiagInf->parentWidget(), page->RbPanel1);
}

TEST(StyleEditorSchemeInWindows, SettingsOptionsTakeTheWorkAreaNotThePanelColour)
{
    DarkRig rig;
    auto* s = new TfrmSettings(rig.settings, *rig.ctrl, *rig.scheme, rig.window.get()); // as the main window makes it
    for (TRbCustomControl* c : std::initializer_list<TRbCustomControl*>{s->rpSet1, s->rpSet2, s->rbConnectToNum,
                                                                        s->rbFindFirst, s->rbToLast}) {
        EXPECT_FALSE(Registered(&rig.manager(), c)) << c->objectName().toStdString();
        EXPECT_EQ(c->Color(), 5916200) << c->objectName().toStdString();
    }
    EXPECT_TRUE(Registered(&rig.manager(), s->cbSetConnectBeforeRun));
    EXPECT_TRUE(Registered(&rig.manager(), s->RbButton2));
}

TEST(StyleEditorSchemeInWindows, ADarkWorkAreaLeavesStandardControlsReadable)
{
    DarkRig rig;
    const QColor work = ToQColor(5916200);
    QWidget* page = rig.pages->widget(0);
    EXPECT_EQ(page->palette().color(QPalette::Window), work);
    EXPECT_TRUE(page->autoFillBackground()) << "the page paints the work area itself";
    EXPECT_EQ(page->palette().color(QPalette::WindowText), QColor(Qt::white));
    for (QAbstractSpinBox* spin : rig.window->findChildren<QAbstractSpinBox*>())
        EXPECT_NE(spin->palette().color(QPalette::Button), work) << spin->objectName().toStdString();
    // Labels on a light panel stay dark although the page is dark.
    TRbPanel* panel = rig.pages->tsDiagnostic()->RbPanel1;
    EXPECT_EQ(rig.pages->tsDiagnostic()->lbDiagInf->palette().color(QPalette::WindowText),
              ReadableTextColor(panel->Color()));
}
