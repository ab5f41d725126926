#include "passport/CertificateIssuer.h"

#include "device/DeviceEvents.h"
#include "history/HistoryStore.h"
#include "passport/CertificatePdf.h"
#include "passport/DeviceJson.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

QString FileSha256(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Не удалось открыть файл %1: %2").arg(path, file.errorString());
        return {};
    }
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&file)) {
        if (error)
            *error = QStringLiteral("Не удалось прочитать файл %1").arg(path);
        return {};
    }
    return QString::fromLatin1(h.result().toHex());
}

bool IssueCertificate(THistoryStore& store, TCertificateData d, const std::function<QString(const QString&)>& pathFor,
                      const QFont& font, TIssuedCertificate* issued, QString* error, TDeviceEvents* events)
{
    QString reason;
    if (!d.issued.isValid())
        d.issued = QDate::currentDate();
    d.number = store.ReserveCertificateNumber(d.issued.year(), &reason);
    if (d.number.isEmpty()) {
        *error = QStringLiteral("Номер сертификата не получен: %1").arg(reason);
        return false;
    }
    TIssuedCertificate out;
    out.number = d.number;
    out.path = pathFor(d.number);
    if (out.path.isEmpty()) {
        *error = QStringLiteral("Сертификат № %1 не сохранён").arg(d.number);
        return false;
    }
    if (!WriteCertificatePdf(out.path, d, font, &reason, &out.pages)) {
        *error = reason;
        return false;
    }
    out.fileSha256 = FileSha256(out.path, &reason);
    if (out.fileSha256.isEmpty()) {
        *error = reason;
        return false;
    }
    out.dataSha256 = d.DataSha256();

    THistoryEvent e;
    e.kind = QStringLiteral("certificate");
    e.address = d.item.SlaveID;
    e.transducerType = TypeCodeText(d.item.PLType);
    e.sensorNumber = d.item.SensorNum;
    e.data = QJsonObject{{QStringLiteral("number"), d.number},
                         {QStringLiteral("file"), QFileInfo(out.path).fileName()},
                         {QStringLiteral("fileSha256"), out.fileSha256},
                         {QStringLiteral("dataSha256"), out.dataSha256},
                         {QStringLiteral("pages"), out.pages},
                         {QStringLiteral("certified"), d.Json()}};
    if (!store.Append(e, nullptr, &reason)) {
        // A certificate the history does not know could never be checked.
        QFile::remove(out.path);
        *error = QStringLiteral("Сертификат № %1 не выдан: %2").arg(d.number, reason);
        return false;
    }
    if (events)
        emit events->certificateIssued(out.number, out.fileSha256, out.path);
    if (issued)
        *issued = out;
    return true;
}

TCertificateCheck CheckCertificateFile(const THistoryStore& store, const QString& path, QString* text)
{
    QString reason;
    const QString sha = FileSha256(path, &reason);
    if (sha.isEmpty()) {
        *text = reason;
        return TCertificateCheck::Unreadable;
    }
    THistoryFilter filter;
    filter.kind = QStringLiteral("certificate");
    for (const THistoryRecord& r : store.Records(filter)) {
        if (r.data.value(QStringLiteral("fileSha256")).toString() != sha)
            continue;
        const QString number = r.data.value(QStringLiteral("number")).toString();
        const QJsonObject certified = r.data.value(QStringLiteral("certified")).toObject();
        const QByteArray canonical = QJsonDocument(certified).toJson(QJsonDocument::Compact);
        const QString dataSha = QString::fromLatin1(QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
        if (dataSha != r.data.value(QStringLiteral("dataSha256")).toString()) {
            *text = QStringLiteral("Сертификат № %1: данные в журнале не совпадают с выданными").arg(number);
            return TCertificateCheck::Altered;
        }
        const QJsonArray ids = certified.value(QStringLiteral("records")).toArray();
        const QJsonArray hashes = certified.value(QStringLiteral("recordHashes")).toArray();
        for (int i = 0; i < ids.size(); ++i) {
            THistoryRecord source;
            if (!store.Record(ids[i].toInteger(), &source) || source.hash != hashes.at(i).toString()) {
                *text = QStringLiteral("Сертификат № %1: запись журнала %2, по которой он выдан, изменена или удалена")
                            .arg(number)
                            .arg(ids[i].toInteger());
                return TCertificateCheck::Altered;
            }
        }
        *text = QStringLiteral("Сертификат № %1 подлинный: выдан %2 на датчик № %3 (запись журнала %4)")
                    .arg(number, certified.value(QStringLiteral("issued")).toString())
                    .arg(r.sensorNumber)
                    .arg(r.id);
        return TCertificateCheck::Genuine;
    }
    *text = QStringLiteral("Файл %1 не совпадает ни с одним сертификатом, выданным по этому журналу "
                           "(подделка или изменённая копия)")
                .arg(path);
    return TCertificateCheck::Unknown;
}
