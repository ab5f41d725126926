#include "passport/Certificate.h"

#include "history/HistoryStore.h"
#include "passport/DeviceJson.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonValue Real(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

bool IsVerification(const THistoryRecord& r)
{
    return r.kind == QLatin1String("verification");
}

TVerifyStage StageOf(const THistoryRecord& r)
{
    const QString s = r.data.value(QStringLiteral("stage")).toString();
    return s == QLatin1String("asFound") ? TVerifyStage::vsAsFound
           : s == QLatin1String("asLeft") ? TVerifyStage::vsAsLeft
                                          : TVerifyStage::vsAlone;
}

} // namespace

QJsonObject TCertificateData::Json() const
{
    QJsonObject o;
    o[QStringLiteral("number")] = number;
    o[QStringLiteral("issued")] = issued.toString(Qt::ISODate);
    o[QStringLiteral("organisation")] = input.organisation;
    o[QStringLiteral("organisationAddress")] = input.organisationAddress;
    o[QStringLiteral("ambientTemperature")] = Real(input.ambientTemperature);
    o[QStringLiteral("humidity")] = Real(input.humidity);
    o[QStringLiteral("technician")] = input.technician;
    o[QStringLiteral("approver")] = input.approver;
    o[QStringLiteral("identity")] = IdentityJson(item);
    o[QStringLiteral("configuration")] = ConfigurationJson(item);
    if (asFound)
        o[QStringLiteral("asFound")] = VerificationJson(*asFound);
    if (adjustment)
        o[QStringLiteral("adjustment")] = CalibrationJson(*adjustment);
    QJsonArray st;
    for (const TAdjustmentStage& s : stages)
        st.append(QJsonObject{{QStringLiteral("stage"), s.stage}, {QStringLiteral("currentUa"), s.currentUa},
                              {QStringLiteral("accepted"), s.accepted}});
    o[QStringLiteral("stages")] = st;
    if (asLeft)
        o[QStringLiteral("asLeft")] = VerificationJson(*asLeft);
    QJsonArray ids;
    for (qint64 id : recordIds)
        ids.append(id);
    o[QStringLiteral("records")] = ids;
    o[QStringLiteral("recordHashes")] = QJsonArray::fromStringList(recordHashes);
    o[QStringLiteral("version")] = programVersion;
    return o;
}

QString TCertificateData::DataSha256() const
{
    const QByteArray text = QJsonDocument(Json()).toJson(QJsonDocument::Compact);
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
}

bool TCertificateData::HasVerdict() const
{
    return asLeft && asLeft->complete;
}

QString TCertificateData::VerdictText() const
{
    if (!asLeft)
        return adjustment ? QStringLiteral("не определено: после настройки поверка не проводилась")
                          : QStringLiteral("не определено: нет результатов измерений");
    if (!asLeft->complete)
        return QStringLiteral("не определено: измерены не все точки");
    return asLeft->pass ? QStringLiteral("соответствует установленным требованиям")
                        : QStringLiteral("не соответствует установленным требованиям");
}

bool CertificateFromHistory(const THistoryStore& store, qint64 sensorNumber, TCertificateData* d, QString* error)
{
    THistoryFilter filter;
    filter.sensorNumber = sensorNumber;
    QString queryError;
    const QList<THistoryRecord> records = store.Records(filter, &queryError);
    if (!queryError.isEmpty()) {
        *error = queryError;
        return false;
    }
    int anchor = -1;
    for (int i = int(records.size()) - 1; i >= 0 && anchor < 0; --i) {
        if (IsVerification(records[i]) || records[i].kind == QLatin1String("calibration"))
            anchor = i;
    }
    if (anchor < 0) {
        *error = QStringLiteral("В журнале приборов нет ни поверки, ни настройки датчика № %1").arg(sensorNumber);
        return false;
    }
    *d = TCertificateData{};
    d->programVersion = ProgramVersion();
    QList<int> used;
    int adjustmentAt = -1;
    int asFoundAt = -1;
    const THistoryRecord& a = records[anchor];
    if (IsVerification(a) && StageOf(a) != TVerifyStage::vsAsFound) {
        TVerificationResult v;
        VerificationFromJson(a.data, &v);
        d->asLeft = v;
        used << anchor;
        if (StageOf(a) == TVerifyStage::vsAsLeft) {
            for (int i = anchor - 1; i >= 0 && adjustmentAt < 0; --i) {
                if (records[i].kind == QLatin1String("calibration"))
                    adjustmentAt = i;
                else if (IsVerification(records[i]))
                    break; // an earlier session's
            }
        }
    } else if (IsVerification(a)) {
        asFoundAt = anchor; // found, and nothing done since
    } else {
        adjustmentAt = anchor;
    }
    if (adjustmentAt >= 0) {
        TCalibrationRecord c;
        CalibrationFromJson(records[adjustmentAt].data, &c);
        d->adjustment = c;
        used << adjustmentAt;
        // Its stages: from the last stage 1 before it.
        int first = adjustmentAt;
        for (int i = adjustmentAt - 1; i >= 0; --i) {
            if (records[i].kind != QLatin1String("calibrationStage"))
                continue;
            first = i;
            if (records[i].data.value(QStringLiteral("stage")).toInt() == 1)
                break;
        }
        for (int i = first; i < adjustmentAt; ++i) {
            if (records[i].kind != QLatin1String("calibrationStage"))
                continue;
            TAdjustmentStage s;
            s.stage = records[i].data.value(QStringLiteral("stage")).toInt();
            s.currentUa = records[i].data.value(QStringLiteral("currentUa")).toInt(-1);
            s.accepted = records[i].data.value(QStringLiteral("accepted")).toBool();
            d->stages << s;
            used << i;
        }
        for (int i = first - 1; i >= 0 && asFoundAt < 0; --i) {
            if (records[i].kind == QLatin1String("calibration"))
                break;
            if (IsVerification(records[i])) {
                if (StageOf(records[i]) == TVerifyStage::vsAsFound)
                    asFoundAt = i;
                break;
            }
        }
    }
    if (asFoundAt >= 0) {
        TVerificationResult v;
        VerificationFromJson(records[asFoundAt].data, &v);
        d->asFound = v;
        used << asFoundAt;
    }
    std::sort(used.begin(), used.end());
    for (int i : used) {
        d->recordIds << records[i].id;
        d->recordHashes << records[i].hash;
    }
    // The item as the latest of these records read it.
    const THistoryRecord& latest = records[used.last()];
    TransducerFromJson(latest.data.value(QStringLiteral("identity")).toObject(),
                       latest.data.value(QStringLiteral("configuration")).toObject(), &d->item);
    if (d->item.SensorNum == 0)
        d->item.SensorNum = int32_t(sensorNumber);
    return true;
}
