#include "common/SchemeFolders.h"

#include "common/WritableFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

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
