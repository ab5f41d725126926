#include "ColorScheme.h"

#include "RbCustomControl.h"
#include "RbProgressBar.h"
#include "RbSplitter.h"
#include "RbStyleManager.h"

#include <IniFile.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const QString kSchemeFolder = QStringLiteral("ColorSchemas");

QString FileNamePart(const QString& path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

bool HasFolder(const QString& path)
{
    return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

} // namespace

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

QString ColorSchemeFile(const QString& fileName, const QString& programFolder)
{
    const QString beside = ResolvePathIgnoringCase(programFolder + QLatin1Char('/') + kSchemeFolder + QLatin1Char('/') + fileName);
    if (QFileInfo::exists(beside))
        return beside;
    QStringList installed;
    installed << QDir::cleanPath(programFolder + QStringLiteral("/../share/zelkor/") + kSchemeFolder);
#ifdef ZELKOR_SCHEME_DATADIR
    installed << QStringLiteral(ZELKOR_SCHEME_DATADIR);
#endif
    for (const QString& dir : installed) {
        const QString f = ResolvePathIgnoringCase(dir + QLatin1Char('/') + fileName);
        if (QFileInfo::exists(f))
            return f;
    }
    return beside; // the loader reports it missing
}

bool LoadColorScheme(IColorSchemeHost& host, const QString& path, QString* error)
{
    const QString file = HasFolder(path) ? ResolvePathIgnoringCase(path) : ColorSchemeFile(path);
    TRbStyleManager& manager = host.StyleManager();
    if (!manager.LoadStyle(file, error))
        return false;
    manager.ApplyStyle();
    host.CreateStyleEditor();
    host.SetFormColor(TIniFile(file).readInteger(QStringLiteral("Other"), QStringLiteral("FormColor"), 0));
    const QString name = FileNamePart(file);
    host.SetSchemeFileName(name);
    host.SetEditorStylePath(ColorSchemeFile(name));
    // The built-in scheme keeps the platform's face colour, whatever it says.
    if (file.contains(QLatin1String("Standart")))
        host.SetFormColor(clBtnFace);
    ApplySchemeColors(host);
    return true;
}

void SetSchemeColor(QWidget* w, TColor c)
{
    if (!w)
        return;
    if (auto* skinned = qobject_cast<TRbCustomControl*>(w)) {
        skinned->SetColor(c);
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
    if (textField) {
        pal.setColor(QPalette::Base, q);
    } else {
        pal.setColor(QPalette::Window, q);
        pal.setColor(QPalette::Button, q);
        if (!w->isWindow())
            w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
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
