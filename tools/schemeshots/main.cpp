// schemeshots <out-folder>: renders the main window's four pages, the settings
// dialog and the colour-scheme editor offscreen, once under Standart.rbs and
// once under a scheme with a dark work area.
#include "app/MainWindowOptions.h"
#include "rbcontrols/RbStyleEditor.h"
#include "app/SetFrm.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

// A dark work area with light panels: what must stay readable is plain to see.
const QByteArray kDarkScheme =
    "[RbControls]\r\n"
    "TRbControlColorsNDefaultFrom=16777215\r\nTRbControlColorsNDefaultTo=14204888\r\n"
    "TRbControlColorsNOverFrom=16777215\r\nTRbControlColorsNOverTo=13408614\r\n"
    "TRbControlColorsNClickedFrom=10053171\r\nTRbControlColorsNClickedTo=15787740\r\n"
    "TRbControlColorsNHotTrack=16711680\r\nTRbControlColorsNBorderColor=6697728\r\n"
    "TRbControlColorsNTextShadow=16777215\r\n"
    "TRbStyleManagerEShowFocusRect=True\r\nTRbStyleManagerEHotTrack=True\r\n"
    "TRbStyleManagerEGradientBorder=True\r\nTRbStyleManagerETextShadow=False\r\n"
    "TRbStyleManagerNCheckColor=32768\r\nTRbStyleManagerEFadeSpeed=fsFast\r\n"
    "TRbStyleManagerNPanelColor=15787740\r\nTRbStyleManagerNBorderColor=6697728\r\n"
    "TRbSplitterColorsNDefaultFrom=15787740\r\nTRbSplitterColorsNDefaultTo=13408614\r\n"
    "TRbSplitterColorsNOverFrom=16777215\r\nTRbSplitterColorsNOverTo=13408614\r\n"
    "TFontNCharset=1\r\nTFontNColor=-2147483640\r\nTFontNHeight=-11\r\nTFontEPitch=fpDefault\r\n"
    "TFontNSize=8\r\nTFontSStyle=\r\n"
    "[Other]\r\nFormColor=5916200\r\n";

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Shoot(QWidget* w, const QString& path)
{
    w->grab().save(path);
    QTextStream(stdout) << path << "\n";
}

void ShootScheme(const QString& outDir, const QString& tag, const QString& schemeName, const QByteArray& scheme)
{
    QTemporaryDir prog;
    WriteFile(prog.filePath("ColorSchemas/" + schemeName), scheme);
    WriteFile(prog.filePath("Zelkor.ini"), "[Defaults]\r\nColorShema=" + schemeName.toLatin1() + "\r\n");
    TMainWindowOptions o;
    o.exePath = prog.filePath("zelkor");
    o.userConfigDir = prog.filePath("cfg");
    o.errorBox = [](const QString& text) { QTextStream(stderr) << "error: " << text << "\n"; };
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(std::move(o));
    QMainWindow& frm = *window;
    frm.show();
    auto* pages = frm.findChild<QTabWidget*>(QStringLiteral("MainPageCtrl"));
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        Shoot(&frm, QStringLiteral("%1/%2-main-%3.png").arg(outDir, tag).arg(i));
    }
    // The settings dialog runs modal: it is shot and closed from inside its loop.
    QTimer::singleShot(0, &frm, [&frm, &outDir, &tag] {
        if (auto* settings = frm.findChild<TfrmSettings*>()) {
            QApplication::processEvents();
            Shoot(settings, QStringLiteral("%1/%2-settings.png").arg(outDir, tag));
            settings->reject();
        }
    });
    frm.findChild<QAction*>(QStringLiteral("actProgSet"))->trigger();
    frm.findChild<QAction*>(QStringLiteral("actColors"))->trigger();
    QApplication::processEvents();
    if (auto* editor = frm.findChild<TFStyleEditor*>()) {
        Shoot(editor, QStringLiteral("%1/%2-editor.png").arg(outDir, tag));
        editor->actCloseExecute();
    }
    frm.hide();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(outDir);
    const QByteArray standart = ReadFile(QStringLiteral(ZELKOR_SOURCE_DIR "/resources/ColorSchemas/Standart.rbs"));
    ShootScheme(outDir, QStringLiteral("standart"), QStringLiteral("Standart.rbs"), standart);
    ShootScheme(outDir, QStringLiteral("dark"), QStringLiteral("Dark.rbs"), kDarkScheme);
    return 0;
}
