#include "ColorScheme.h"

#include "RbCustomControl.h"
#include "RbProgressBar.h"
#include "RbSplitter.h"
#include "RbStyleManager.h"

#include <IniFile.h>
#include <WritableFolder.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextEdit>

namespace {

const QString kSchemeFolder = QStringLiteral("ColorSchemas");

bool HasFolder(const QString& path)
{
    return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

} // namespace

QString SchemeFileNamePart(const QString& path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

QString IColorSchemeHost::ProgramDir() const
{
    return ProgramFolder();
}

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString ResolvePathIgnoringCase(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty() || QFileInfo::exists(p))
        return p;
    const bool absolute = p.startsWith(QLatin1Char('/'));
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString done = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        const QString base = done.isEmpty() ? QStringLiteral(".") : done;
        if (!QFileInfo::exists(QDir(base).filePath(part))) {
            const QStringList entries = QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& e : entries)
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    part = e;
                    break;
                }
        }
        if (done.isEmpty())
            done = part;
        else if (done.endsWith(QLatin1Char('/')))
            done += part;
        else
            done += QLatin1Char('/') + part;
    }
    return done;
}

QString UserDataSchemeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zelkor/")
        + kSchemeFolder;
}

QString UserSchemeFolder(const QString& programFolder)
{
    const QString beside = ResolvePathIgnoringCase(programFolder + QLatin1Char('/') + kSchemeFolder);
    if (IsFolderWritable(beside))
        return beside;
    return UserDataSchemeFolder();
}

QString ColorSchemeFile(const QString& fileName, const QString& programFolder)
{
    if (HasFolder(fileName))
        return ResolvePathIgnoringCase(fileName);
    const QString beside = ResolvePathIgnoringCase(programFolder + QLatin1Char('/') + kSchemeFolder + QLatin1Char('/') + fileName);
    QStringList folders;
    folders << UserDataSchemeFolder() << QString() // beside the executable
            << QDir::cleanPath(programFolder + QStringLiteral("/../share/zelkor/") + kSchemeFolder);
#ifdef ZELKOR_SCHEME_DATADIR
    folders << QStringLiteral(ZELKOR_SCHEME_DATADIR);
#endif
    for (const QString& dir : folders) {
        const QString f = dir.isEmpty() ? beside : ResolvePathIgnoringCase(dir + QLatin1Char('/') + fileName);
        if (QFileInfo(f).isFile())
            return f;
    }
    return beside; // the loader reports it missing
}

QString SchemeSettingName(const QString& file, const QString& programFolder)
{
    if (!HasFolder(file))
        return file;
    const QString name = SchemeFileNamePart(file);
    const QString found = ColorSchemeFile(name, programFolder);
    if (QFileInfo(found).canonicalFilePath() == QFileInfo(ResolvePathIgnoringCase(file)).canonicalFilePath())
        return name;
    return QFileInfo(file).absoluteFilePath();
}

bool LoadColorScheme(IColorSchemeHost& host, const QString& path, QString* error)
{
    const QString file = ColorSchemeFile(path, host.ProgramDir());
    TRbStyleManager& manager = host.StyleManager();
    if (!manager.LoadStyle(file, error))
        return false;
    manager.ApplyStyle();
    host.CreateStyleEditor();
    host.SetFormColor(TIniFile(file).readInteger(QStringLiteral("Other"), QStringLiteral("FormColor"), 0));
    const QString name = SchemeSettingName(file, host.ProgramDir());
    host.SetSchemeFileName(name);
    host.SetEditorStylePath(ColorSchemeFile(name, host.ProgramDir()));
    // The built-in scheme keeps the platform's face colour, whatever it says.
    if (file.contains(QLatin1String("Standart")))
        host.SetFormColor(clBtnFace);
    ApplySchemeColors(host);
    return true;
}

bool IsDarkColor(TColor c)
{
    const TRgb rgb = ResolveColor(c);
    return 299 * rgb.r + 587 * rgb.g + 114 * rgb.b < 128 * 1000;
}

QColor ReadableTextColor(TColor background)
{
    return IsDarkColor(background) ? QColor(Qt::white) : QGuiApplication::palette().color(QPalette::WindowText);
}

void SetSchemeColor(QWidget* w, TColor c)
{
    if (!w)
        return;
    if (auto* skinned = qobject_cast<TRbCustomControl*>(w)) {
        skinned->SetColor(c);
        // A control the scheme does not style keeps its font, unless the
        // work area is too dark to read it on.
        if (!skinned->RbStyleManager()) {
            if (IsDarkColor(c))
                skinned->Font().SetColor(clWhite);
            else if (skinned->Font().Color() == clWhite)
                skinned->Font().SetColor(clWindowText);
        }
        return;
    }
    if (auto* splitter = qobject_cast<TRbSplitter*>(w)) {
        splitter->SetColor(c);
        return;
    }
    const bool textField = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w)
        || qobject_cast<QComboBox*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)
        || qobject_cast<QAbstractItemView*>(w);
    QPalette pal = w->palette();
    const QColor q = ToQColor(c);
    // Only the work area takes the colour: the Button role would reach the
    // standard controls inside (spin box arrows turn black on a dark scheme).
    if (textField) {
        pal.setColor(QPalette::Base, q);
    } else {
        pal.setColor(QPalette::Window, q);
        // The tabs keep the style's own light face, and with it their text.
        if (!qobject_cast<QTabWidget*>(w))
            pal.setColor(QPalette::WindowText, ReadableTextColor(c));
        if (!w->isWindow())
            w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
    // The style paints a tab widget's pane in a shade of its own; the pages
    // paint the work area themselves, so panels on them know what lies behind.
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < tabs->count(); ++i)
            SetSchemeColor(tabs->widget(i), c);
}

void ApplySchemeColors(IColorSchemeHost& host)
{
    const TColor c = host.FormColor();
    for (QWidget* w : host.SchemeColorWidgets())
        SetSchemeColor(w, c);
    TRbStyleManager& manager = host.StyleManager();
    for (TRbProgressBar* bar : host.SchemeProgressBars()) {
        if (!bar)
            continue;
        bar->SetDefaultFrom(manager.Colors().OverFrom());
        bar->SetDefaultTo(manager.Colors().OverTo());
    }
    manager.ApplyStyle();
}
