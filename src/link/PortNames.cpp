#include "link/PortNames.h"

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
