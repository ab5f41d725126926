#include "history/HistoryRecord.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonParseError>

QByteArray CanonicalContent(qint64 id, const THistoryEvent& e)
{
    QJsonObject o;
    o[QStringLiteral("id")] = id;
    o[QStringLiteral("time")] = HistoryTimeText(e.time);
    o[QStringLiteral("kind")] = e.kind;
    o[QStringLiteral("version")] = e.programVersion;
    o[QStringLiteral("port")] = e.port;
    o[QStringLiteral("address")] = e.address;
    o[QStringLiteral("type")] = e.transducerType;
    o[QStringLiteral("sensor")] = e.sensorNumber;
    o[QStringLiteral("data")] = e.data;
    // QJsonObject keeps its keys sorted, so the text is the same for the same event.
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString ChainHash(const QString& prevHash, const QByteArray& content)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(prevHash.toLatin1());
    h.addData(content);
    return QString::fromLatin1(h.result().toHex());
}

bool ParseContent(const QByteArray& content, qint64* id, THistoryEvent* e)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    for (const char* key : {"id", "time", "kind", "version", "port", "address", "type", "sensor", "data"}) {
        if (!o.contains(QLatin1String(key)))
            return false;
    }
    if (!o.value(QStringLiteral("data")).isObject())
        return false;
    *id = o.value(QStringLiteral("id")).toInteger(-1);
    e->time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    e->kind = o.value(QStringLiteral("kind")).toString();
    e->programVersion = o.value(QStringLiteral("version")).toString();
    e->port = o.value(QStringLiteral("port")).toString();
    e->address = o.value(QStringLiteral("address")).toInt();
    e->transducerType = o.value(QStringLiteral("type")).toString();
    e->sensorNumber = o.value(QStringLiteral("sensor")).toInteger();
    e->data = o.value(QStringLiteral("data")).toObject();
    return e->time.isValid();
}

QString ProgramVersion()
{
    return QStringLiteral(ZELKOR_PROGRAM_VERSION);
}

QString HistoryTimeText(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}
