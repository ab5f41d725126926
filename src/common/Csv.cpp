#include "common/Csv.h"

TCsvFormat TCsvFormat::ForLocale(const QLocale& locale)
{
    TCsvFormat f;
    if (locale.decimalPoint() == QStringLiteral(",")) {
        f.separator = QLatin1Char(';');
        f.decimalMark = QLatin1Char(',');
    }
    return f;
}

QString CsvField(QString text, QChar separator)
{
    if (text.contains(separator) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QByteArray CsvBytes(const QString& text)
{
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
