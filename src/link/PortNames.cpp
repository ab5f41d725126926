#include "link/PortNames.h"

#include <QFileInfo>
#include <QRegularExpression>

int PortNumberOfName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral(R"(^(?://\./|\\\\\.\\)COM([0-9]{1,9})$)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok && n >= 1 ? n : 0;
}

QString ResolvePortDevice(const QString& name, const TPortMap& map)
{
    const int n = PortNumberOfName(name);
    if (n == 0)
        return name;
    const QString mapped = map.value(n).trimmed();
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

QString ComPortName(int n)
{
    return QStringLiteral("\\\\.\\COM%1").arg(n);
}

namespace {

// n of a bare "COMn", 0 otherwise.
int BareComNumber(const QString& name)
{
    static const QRegularExpression re(QStringLiteral(R"(^COM([0-9]{1,9})$)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(name);
    const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
    return n >= 1 ? n : 0;
}

// Where a path leads: its target when it exists (links followed), else the
// path itself, so that names of absent devices still compare.
QString DeviceIdentity(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

int PortNumber(const QString& name, const TPortMap& map)
{
    const QString trimmed = name.trimmed();
    if (const int n = PortNumberOfName(trimmed))
        return n;
    if (const int n = BareComNumber(trimmed))
        return n;
    if (trimmed.isEmpty())
        return 0;
    const QString target = DeviceIdentity(trimmed);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString mapped = it.value().trimmed();
        if (it.key() >= 1 && !mapped.isEmpty() && DeviceIdentity(mapped) == target)
            return it.key();
    }
    // The default device of COMn, unless the map sends COMn elsewhere.
    static const QRegularExpression ttyS(QStringLiteral(R"(^/dev/ttyS([0-9]{1,9})$)"));
    const QRegularExpressionMatch m = ttyS.match(target);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok) + 1;
    if (!ok || n < 1 || !map.value(n).trimmed().isEmpty())
        return 0;
    return n;
}

QString PortLabel(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (const int n = PortNumberOfName(trimmed))
        return QStringLiteral("COM%1").arg(n);
    if (const int n = BareComNumber(trimmed))
        return QStringLiteral("COM%1").arg(n);
    return QFileInfo(trimmed).fileName();
}
