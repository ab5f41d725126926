#include "instr/ScpiReply.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

QString QuoteReply(const QString& reply)
{
    constexpr int kShown = 60;
    QString s;
    for (const QChar c : reply) {
        if (c == QLatin1Char('\r'))
            s += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            s += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            s += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            s += c;
    }
    if (s.size() > kShown)
        s = s.left(kShown) + QStringLiteral("…");
    return QLatin1Char('"') + s + QLatin1Char('"');
}

bool ParseScpiIdentity(const QString& reply, TScpiIdentity& identity, QString* why)
{
    const QString text = reply.trimmed();
    const QStringList parts = text.split(QLatin1Char(','));
    if (text.isEmpty() || parts.size() < 2 || parts.size() > 4 || parts[0].trimmed().isEmpty()
        || parts[1].trimmed().isEmpty()) {
        if (why)
            *why = QStringLiteral("ответ на *IDN? не похож на «изготовитель,модель,номер,версия»: %1")
                       .arg(QuoteReply(reply));
        return false;
    }
    identity = {};
    identity.text = text;
    identity.maker = parts[0].trimmed();
    identity.model = parts[1].trimmed();
    if (parts.size() > 2)
        identity.serial = parts[2].trimmed();
    if (parts.size() > 3)
        identity.firmware = parts[3].trimmed();
    // Some instruments answer "0" where they keep no serial number.
    if (identity.serial == QLatin1String("0"))
        identity.serial.clear();
    return true;
}

bool ParseScpiNumber(const QString& reply, double& value, QString* why)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]{1,3})?$"));
    const QString text = reply.trimmed();
    if (text.isEmpty()) {
        if (why)
            *why = QStringLiteral("пустой ответ");
        return false;
    }
    if (!number.match(text).hasMatch()) {
        if (why)
            *why = QStringLiteral("ответ не число: %1").arg(QuoteReply(reply));
        return false;
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        if (why)
            *why = QStringLiteral("ответ не число: %1").arg(QuoteReply(reply));
        return false;
    }
    if (std::fabs(v) >= kScpiOverload * 0.999) {
        if (why)
            *why = QStringLiteral("перегрузка или недостоверное измерение: %1").arg(QuoteReply(reply));
        return false;
    }
    value = v;
    return true;
}
