#include "device/ReadingCsv.h"

#include "common/Csv.h"

#include <QDateTime>
#include <QSaveFile>

namespace {

QString Number(double value, int decimals, QChar decimalMark)
{
    if (!std::isfinite(value))
        return QString();
    QString text = QString::number(value, 'f', decimals);
    if (decimalMark != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalMark);
    return text;
}

} // namespace

QByteArray ReadingsCsv(const QList<TReading>& readings, const QLocale& locale)
{
    const TCsvFormat format = TCsvFormat::ForLocale(locale);
    const QChar separator = format.separator;
    const QChar mark = format.decimalMark;
    const QString sep(separator);

    QString text;
    text.reserve(64 * (readings.size() + 1));
    QStringList header;
    for (const QString& name : {QStringLiteral("Время"), QStringLiteral("Температура, °C"),
                                QStringLiteral("Сопротивление, Ом"), QStringLiteral("Код состояния"),
                                QStringLiteral("Состояние")})
        header << CsvField(name, separator);
    text += header.join(sep);
    text += QStringLiteral("\r\n");
    for (const TReading& r : readings) {
        text += QDateTime::fromMSecsSinceEpoch(r.timeMs).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
        text += sep + Number(r.temperature, 1, mark);
        text += sep + Number(r.resistance, 2, mark);
        text += sep + QString::number(r.state);
        text += sep + CsvField(DiagStateText(r.state), separator);
        text += QStringLiteral("\r\n");
    }
    return CsvBytes(text);
}

bool SaveTextFile(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Не удалось открыть файл %1 для записи: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
