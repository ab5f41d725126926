#include "passport/DeviceJson.h"

#include <cmath>

namespace {

QJsonValue Date(TDateValue d)
{
    const QDate date = QDateFromDateValue(d);
    return date.isValid() ? QJsonValue(date.toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

TDateValue DateFrom(const QJsonValue& v)
{
    return DateValueFromQDate(QDate::fromString(v.toString(), Qt::ISODate));
}

QJsonValue Time(const QDateTime& t)
{
    return t.isValid() ? QJsonValue(t.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue(QJsonValue::Null);
}

QDateTime TimeFrom(const QJsonValue& v)
{
    return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

QJsonValue Real(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

double RealFrom(const QJsonValue& v)
{
    return v.isDouble() ? v.toDouble() : TVerifyPoint::kNone;
}

void Change(QJsonArray& out, const char* field, const QJsonValue& before, const QJsonValue& after)
{
    if (before == after)
        return;
    QJsonObject o;
    o[QStringLiteral("field")] = QLatin1String(field);
    o[QStringLiteral("old")] = before;
    o[QStringLiteral("new")] = after;
    out.append(o);
}

QJsonObject RuleJson(const TSettlingRule& r)
{
    return {{QStringLiteral("samples"), r.samples}, {QStringLiteral("spread"), r.spread}, {QStringLiteral("slope"), r.slope}};
}

TSettlingRule RuleFrom(const QJsonObject& o)
{
    TSettlingRule r;
    r.samples = o.value(QStringLiteral("samples")).toInt(r.samples);
    r.spread = o.value(QStringLiteral("spread")).toDouble(r.spread);
    r.slope = o.value(QStringLiteral("slope")).toDouble(r.slope);
    return r;
}

} // namespace

QString TypeCodeText(int plType)
{
    if (plType > 32 && plType < 127)
        return QString(QChar(plType));
    return QStringLiteral("0x%1").arg(plType & 0xFF, 2, 16, QLatin1Char('0'));
}

QJsonObject IdentityJson(const TTransducerData& t)
{
    QJsonObject o;
    o[QStringLiteral("address")] = t.SlaveID;
    o[QStringLiteral("type")] = TypeCodeText(t.PLType);
    o[QStringLiteral("typeText")] = t.PLTypeText;
    o[QStringLiteral("sensorType")] = t.SensorTypeText;
    o[QStringLiteral("sensorNumber")] = t.SensorNum;
    o[QStringLiteral("sensorDate")] = Date(t.SensorDate);
    o[QStringLiteral("calibrationDate")] = Date(t.CalibrDate);
    return o;
}

QJsonObject ConfigurationJson(const TTransducerData& t)
{
    QJsonObject o;
    o[QStringLiteral("sensorKind")] = t.SensorKind;
    o[QStringLiteral("r0")] = t.R0;
    o[QStringLiteral("bottom")] = t.BottomTempBound;
    o[QStringLiteral("top")] = t.TopTempBound;
    o[QStringLiteral("direct")] = t.DirectLeadOut;
    o[QStringLiteral("alarm")] = t.AlarmCur;
    o[QStringLiteral("average")] = t.Average;
    return o;
}

void TransducerFromJson(const QJsonObject& id, const QJsonObject& c, TTransducerData* t)
{
    if (id.contains(QStringLiteral("address")))
        t->SlaveID = id.value(QStringLiteral("address")).toInt();
    const QString type = id.value(QStringLiteral("type")).toString();
    if (type.size() == 1)
        t->PLType = type.at(0).unicode();
    if (id.contains(QStringLiteral("typeText")))
        t->PLTypeText = id.value(QStringLiteral("typeText")).toString();
    if (id.contains(QStringLiteral("sensorType")))
        t->SensorTypeText = id.value(QStringLiteral("sensorType")).toString();
    if (id.contains(QStringLiteral("sensorNumber")))
        t->SensorNum = id.value(QStringLiteral("sensorNumber")).toInt();
    if (id.contains(QStringLiteral("sensorDate")))
        t->SensorDate = DateFrom(id.value(QStringLiteral("sensorDate")));
    if (id.contains(QStringLiteral("calibrationDate")))
        t->CalibrDate = DateFrom(id.value(QStringLiteral("calibrationDate")));
    if (c.contains(QStringLiteral("sensorKind")))
        t->SensorKind = c.value(QStringLiteral("sensorKind")).toInt();
    if (c.contains(QStringLiteral("r0")))
        t->R0 = c.value(QStringLiteral("r0")).toInt();
    if (c.contains(QStringLiteral("bottom")))
        t->BottomTempBound = c.value(QStringLiteral("bottom")).toInt();
    if (c.contains(QStringLiteral("top")))
        t->TopTempBound = c.value(QStringLiteral("top")).toInt();
    if (c.contains(QStringLiteral("direct")))
        t->DirectLeadOut = c.value(QStringLiteral("direct")).toBool();
    if (c.contains(QStringLiteral("alarm")))
        t->AlarmCur = c.value(QStringLiteral("alarm")).toInt();
    if (c.contains(QStringLiteral("average")))
        t->Average = c.value(QStringLiteral("average")).toInt();
}

QJsonArray InformationChanges(const TTransducerData& b, const TTransducerData& a)
{
    QJsonArray out;
    Change(out, "sensorType", b.SensorTypeText, a.SensorTypeText);
    Change(out, "sensorNumber", b.SensorNum, a.SensorNum);
    Change(out, "sensorDate", Date(b.SensorDate), Date(a.SensorDate));
    return out;
}

QJsonArray ConfigurationChanges(const TTransducerData& b, const TTransducerData& a)
{
    QJsonArray out;
    const QJsonObject before = ConfigurationJson(b);
    const QJsonObject after = ConfigurationJson(a);
    for (const char* key : {"sensorKind", "r0", "bottom", "top", "direct", "alarm", "average"})
        Change(out, key, before.value(QLatin1String(key)), after.value(QLatin1String(key)));
    Change(out, "address", b.SlaveID, a.SlaveID);
    return out;
}

QJsonObject CalibrationJson(const TCalibrationRecord& r)
{
    QJsonObject o;
    o[QStringLiteral("current5")] = r.current5;
    o[QStringLiteral("current6")] = r.current6;
    o[QStringLiteral("calibrationDate")] = Date(r.transducer.CalibrDate);
    o[QStringLiteral("started")] = Time(r.started);
    o[QStringLiteral("finished")] = Time(r.finished);
    o[QStringLiteral("identity")] = IdentityJson(r.transducer);
    o[QStringLiteral("configuration")] = ConfigurationJson(r.transducer);
    return o;
}

bool CalibrationFromJson(const QJsonObject& o, TCalibrationRecord* r)
{
    if (!o.contains(QStringLiteral("current5")) || !o.contains(QStringLiteral("current6")))
        return false;
    *r = TCalibrationRecord{};
    TransducerFromJson(o.value(QStringLiteral("identity")).toObject(), o.value(QStringLiteral("configuration")).toObject(),
                       &r->transducer);
    r->transducer.CalibrDate = DateFrom(o.value(QStringLiteral("calibrationDate")));
    r->current5 = o.value(QStringLiteral("current5")).toInt();
    r->current6 = o.value(QStringLiteral("current6")).toInt();
    r->started = TimeFrom(o.value(QStringLiteral("started")));
    r->finished = TimeFrom(o.value(QStringLiteral("finished")));
    return true;
}

QString StageName(TVerifyStage stage)
{
    switch (stage) {
    case TVerifyStage::vsAsFound:
        return QStringLiteral("asFound");
    case TVerifyStage::vsAsLeft:
        return QStringLiteral("asLeft");
    case TVerifyStage::vsAlone:
        break;
    }
    return QStringLiteral("alone");
}

QJsonObject VerificationJson(const TVerificationResult& r)
{
    QJsonObject o;
    o[QStringLiteral("identity")] = IdentityJson(r.transducer);
    o[QStringLiteral("configuration")] = ConfigurationJson(r.transducer);
    o[QStringLiteral("stage")] = StageName(r.stage);
    o[QStringLiteral("tolerancePct")] = r.tolerancePct;
    o[QStringLiteral("decisionRule")] = r.decisionRule;
    o[QStringLiteral("readingRule")] = RuleJson(r.readingRule);
    o[QStringLiteral("currentRule")] = RuleJson(r.currentRule);
    QJsonArray points;
    for (const TVerifyPoint& p : r.points) {
        QJsonObject j;
        j[QStringLiteral("temperature")] = Real(p.temperature);
        j[QStringLiteral("resistance")] = Real(p.resistance);
        j[QStringLiteral("expectedCurrent")] = Real(p.expectedCurrent);
        j[QStringLiteral("reading")] = Real(p.reading);
        j[QStringLiteral("readingSpread")] = Real(p.readingSpread);
        j[QStringLiteral("current")] = Real(p.current);
        j[QStringLiteral("digitalError")] = Real(p.digitalError);
        j[QStringLiteral("digitalErrorPct")] = Real(p.digitalErrorPct);
        j[QStringLiteral("outputError")] = Real(p.outputError);
        j[QStringLiteral("outputErrorPct")] = Real(p.outputErrorPct);
        j[QStringLiteral("digitalPass")] = p.digitalPass;
        j[QStringLiteral("outputPass")] = p.outputPass;
        j[QStringLiteral("pass")] = p.pass;
        points.append(j);
    }
    o[QStringLiteral("points")] = points;
    QJsonArray instruments;
    for (const TInstrumentInfo& i : r.instruments) {
        instruments.append(QJsonObject{{QStringLiteral("role"), i.role},
                                       {QStringLiteral("device"), i.device},
                                       {QStringLiteral("model"), i.model},
                                       {QStringLiteral("serial"), i.serial},
                                       {QStringLiteral("certificate"), i.certificate},
                                       {QStringLiteral("dueDate"), i.dueDate.isValid() ? QJsonValue(i.dueDate.toString(Qt::ISODate))
                                                                                        : QJsonValue(QJsonValue::Null)}});
    }
    o[QStringLiteral("instruments")] = instruments;
    o[QStringLiteral("started")] = Time(r.started);
    o[QStringLiteral("finished")] = Time(r.finished);
    o[QStringLiteral("complete")] = r.complete;
    o[QStringLiteral("pass")] = r.pass;
    return o;
}

bool VerificationFromJson(const QJsonObject& o, TVerificationResult* r)
{
    if (!o.value(QStringLiteral("points")).isArray())
        return false;
    *r = TVerificationResult{};
    TransducerFromJson(o.value(QStringLiteral("identity")).toObject(), o.value(QStringLiteral("configuration")).toObject(),
                       &r->transducer);
    const QString stage = o.value(QStringLiteral("stage")).toString();
    r->stage = stage == QLatin1String("asFound") ? TVerifyStage::vsAsFound
               : stage == QLatin1String("asLeft") ? TVerifyStage::vsAsLeft
                                                  : TVerifyStage::vsAlone;
    r->tolerancePct = o.value(QStringLiteral("tolerancePct")).toDouble(r->tolerancePct);
    r->decisionRule = o.value(QStringLiteral("decisionRule")).toString();
    r->readingRule = RuleFrom(o.value(QStringLiteral("readingRule")).toObject());
    r->currentRule = RuleFrom(o.value(QStringLiteral("currentRule")).toObject());
    for (const QJsonValue& v : o.value(QStringLiteral("points")).toArray()) {
        const QJsonObject j = v.toObject();
        TVerifyPoint p;
        p.temperature = RealFrom(j.value(QStringLiteral("temperature")));
        p.resistance = RealFrom(j.value(QStringLiteral("resistance")));
        p.expectedCurrent = RealFrom(j.value(QStringLiteral("expectedCurrent")));
        p.reading = RealFrom(j.value(QStringLiteral("reading")));
        p.readingSpread = RealFrom(j.value(QStringLiteral("readingSpread")));
        p.current = RealFrom(j.value(QStringLiteral("current")));
        p.digitalError = RealFrom(j.value(QStringLiteral("digitalError")));
        p.digitalErrorPct = RealFrom(j.value(QStringLiteral("digitalErrorPct")));
        p.outputError = RealFrom(j.value(QStringLiteral("outputError")));
        p.outputErrorPct = RealFrom(j.value(QStringLiteral("outputErrorPct")));
        p.digitalPass = j.value(QStringLiteral("digitalPass")).toBool();
        p.outputPass = j.value(QStringLiteral("outputPass")).toBool();
        p.pass = j.value(QStringLiteral("pass")).toBool();
        r->points << p;
    }
    for (const QJsonValue& v : o.value(QStringLiteral("instruments")).toArray()) {
        const QJsonObject j = v.toObject();
        TInstrumentInfo i;
        i.role = j.value(QStringLiteral("role")).toString();
        i.device = j.value(QStringLiteral("device")).toString();
        i.model = j.value(QStringLiteral("model")).toString();
        i.serial = j.value(QStringLiteral("serial")).toString();
        i.certificate = j.value(QStringLiteral("certificate")).toString();
        i.dueDate = QDate::fromString(j.value(QStringLiteral("dueDate")).toString(), Qt::ISODate);
        r->instruments << i;
    }
    r->started = TimeFrom(o.value(QStringLiteral("started")));
    r->finished = TimeFrom(o.value(QStringLiteral("finished")));
    r->complete = o.value(QStringLiteral("complete")).toBool();
    r->pass = o.value(QStringLiteral("pass")).toBool();
    return true;
}
