#include "history/HistoryExport.h"

#include "common/Csv.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace {

QString Value(const QJsonValue& v)
{
    if (v.isString())
        return v.toString();
    if (v.isBool())
        return v.toBool() ? QStringLiteral("да") : QStringLiteral("нет");
    if (v.isDouble())
        return QString::number(v.toDouble());
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("—");
    return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
}

} // namespace

QString EventKindText(const QString& kind)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("connected"), QStringLiteral("Подключение")},
        {QStringLiteral("disconnected"), QStringLiteral("Отключение")},
        {QStringLiteral("informationWritten"), QStringLiteral("Запись информации")},
        {QStringLiteral("sensorNumberChanged"), QStringLiteral("Смена номера датчика")},
        {QStringLiteral("configurationWritten"), QStringLiteral("Запись конфигурации")},
        {QStringLiteral("calibrationStage"), QStringLiteral("Этап настройки")},
        {QStringLiteral("calibration"), QStringLiteral("Настройка завершена")},
        {QStringLiteral("calibrationCancelled"), QStringLiteral("Настройка отменена")},
        {QStringLiteral("correction"), QStringLiteral("Корректировка")},
        {QStringLiteral("verification"), QStringLiteral("Поверка")},
        {QStringLiteral("certificate"), QStringLiteral("Сертификат")},
    };
    return names.value(kind, kind);
}

QString EventSummary(const THistoryRecord& r)
{
    const QJsonObject& d = r.data;
    if (r.kind == QLatin1String("informationWritten") || r.kind == QLatin1String("configurationWritten")) {
        QStringList parts;
        for (const QJsonValue& v : d.value(QStringLiteral("changes")).toArray()) {
            const QJsonObject c = v.toObject();
            parts << QStringLiteral("%1: %2 → %3")
                         .arg(c.value(QStringLiteral("field")).toString(), Value(c.value(QStringLiteral("old"))),
                              Value(c.value(QStringLiteral("new"))));
        }
        return parts.isEmpty() ? QStringLiteral("без изменений") : parts.join(QStringLiteral("; "));
    }
    if (r.kind == QLatin1String("sensorNumberChanged"))
        return QStringLiteral("%1 → %2").arg(Value(d.value(QStringLiteral("from"))), Value(d.value(QStringLiteral("to"))));
    if (r.kind == QLatin1String("calibrationStage")) {
        QString text = QStringLiteral("этап %1, %2").arg(d.value(QStringLiteral("stage")).toInt())
                           .arg(d.value(QStringLiteral("accepted")).toBool() ? QStringLiteral("принят")
                                                                              : QStringLiteral("отклонён"));
        if (d.contains(QStringLiteral("currentUa")))
            text += QStringLiteral(", ток %1 мкА").arg(d.value(QStringLiteral("currentUa")).toInt());
        if (d.contains(QStringLiteral("calibrationDate")))
            text += QStringLiteral(", дата %1").arg(Value(d.value(QStringLiteral("calibrationDate"))));
        return text;
    }
    if (r.kind == QLatin1String("calibration"))
        return QStringLiteral("токи %1 и %2 мкА, дата %3")
            .arg(d.value(QStringLiteral("current5")).toInt())
            .arg(d.value(QStringLiteral("current6")).toInt())
            .arg(Value(d.value(QStringLiteral("calibrationDate"))));
    if (r.kind == QLatin1String("calibrationCancelled"))
        return QStringLiteral("на этапе %1").arg(d.value(QStringLiteral("stage")).toInt());
    if (r.kind == QLatin1String("correction"))
        return QStringLiteral("%1%2: %3")
            .arg(d.value(QStringLiteral("correction")).toString(),
                 d.value(QStringLiteral("reset")).toBool() ? QStringLiteral(", сброс") : QString(),
                 d.value(QStringLiteral("accepted")).toBool()
                     ? QStringLiteral("выполнена")
                     : QStringLiteral("отказ, код %1").arg(d.value(QStringLiteral("result")).toInt()));
    if (r.kind == QLatin1String("verification")) {
        const QString stage = d.value(QStringLiteral("stage")).toString();
        const QString when = stage == QLatin1String("asFound") ? QStringLiteral("до настройки")
                             : stage == QLatin1String("asLeft") ? QStringLiteral("после настройки")
                                                                 : QStringLiteral("отдельно");
        return QStringLiteral("%1, точек %2: %3")
            .arg(when)
            .arg(d.value(QStringLiteral("points")).toArray().size())
            .arg(!d.value(QStringLiteral("complete")).toBool() ? QStringLiteral("не завершена")
                 : d.value(QStringLiteral("pass")).toBool()   ? QStringLiteral("годен")
                                                               : QStringLiteral("не годен"));
    }
    if (r.kind == QLatin1String("certificate"))
        return QStringLiteral("№ %1, SHA-256 файла %2")
            .arg(d.value(QStringLiteral("number")).toString(), d.value(QStringLiteral("fileSha256")).toString());
    if (r.kind == QLatin1String("connected")) {
        const QJsonObject id = d.value(QStringLiteral("identity")).toObject();
        return QStringLiteral("%1, датчик «%2»")
            .arg(id.value(QStringLiteral("typeText")).toString(), id.value(QStringLiteral("sensorType")).toString());
    }
    return {};
}

QString EventTimeText(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QJsonObject RecordJson(const THistoryRecord& r)
{
    return {{QStringLiteral("id"), r.id},
            {QStringLiteral("time"), HistoryTimeText(r.time)},
            {QStringLiteral("kind"), r.kind},
            {QStringLiteral("version"), r.programVersion},
            {QStringLiteral("port"), r.port},
            {QStringLiteral("address"), r.address},
            {QStringLiteral("type"), r.transducerType},
            {QStringLiteral("sensor"), r.sensorNumber},
            {QStringLiteral("data"), r.data},
            {QStringLiteral("hash"), r.hash}};
}

QByteArray HistoryJson(const QList<THistoryRecord>& records)
{
    QJsonArray list;
    for (const THistoryRecord& r : records)
        list.append(RecordJson(r));
    return QJsonDocument(QJsonObject{{QStringLiteral("records"), list}}).toJson(QJsonDocument::Indented);
}

QByteArray HistoryCsv(const QList<THistoryRecord>& records, const QLocale& locale)
{
    const QChar separator = TCsvFormat::ForLocale(locale).separator;
    const QString sep(separator);
    QString text;
    QStringList header;
    for (const QString& name : {QStringLiteral("Запись"), QStringLiteral("Время"), QStringLiteral("Событие"),
                                QStringLiteral("Тип"), QStringLiteral("Номер датчика"), QStringLiteral("Адрес"),
                                QStringLiteral("Порт"), QStringLiteral("Версия программы"), QStringLiteral("Подробности"),
                                QStringLiteral("Данные"), QStringLiteral("SHA-256")})
        header << CsvField(name, separator);
    text += header.join(sep) + QStringLiteral("\r\n");
    for (const THistoryRecord& r : records) {
        QStringList row;
        row << QString::number(r.id) << r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
            << CsvField(EventKindText(r.kind), separator) << CsvField(r.transducerType, separator)
            << QString::number(r.sensorNumber) << QString::number(r.address) << CsvField(r.port, separator)
            << CsvField(r.programVersion, separator) << CsvField(EventSummary(r), separator)
            << CsvField(QString::fromUtf8(QJsonDocument(r.data).toJson(QJsonDocument::Compact)), separator) << r.hash;
        text += row.join(sep) + QStringLiteral("\r\n");
    }
    return CsvBytes(text);
}
