#include "passport/HistoryRecorder.h"

#include "device/DeviceSession.h"
#include "history/HistoryStore.h"
#include "link/CommPortDriver.h"
#include "passport/DeviceJson.h"

THistoryRecorder::THistoryRecorder(TDeviceSession& session, THistoryStore* store, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_store(store)
{
    TDeviceEvents* e = &session.events;
    connect(e, &TDeviceEvents::connected, this, &THistoryRecorder::Connected);
    connect(e, &TDeviceEvents::disconnected, this, &THistoryRecorder::Disconnected);
    connect(e, &TDeviceEvents::informationWritten, this, &THistoryRecorder::InformationWritten);
    connect(e, &TDeviceEvents::configurationWritten, this, &THistoryRecorder::ConfigurationWritten);
    connect(e, &TDeviceEvents::calibrationStageDone, this, &THistoryRecorder::StageDone);
    connect(e, &TDeviceEvents::calibrationFinished, this, &THistoryRecorder::CalibrationFinished);
    connect(e, &TDeviceEvents::calibrationCancelled, this, &THistoryRecorder::CalibrationCancelled);
    connect(e, &TDeviceEvents::correctionDone, this, &THistoryRecorder::CorrectionDone);
    connect(e, &TDeviceEvents::verificationDone, this, &THistoryRecorder::VerificationDone);
    connect(e, &TDeviceEvents::nsxTemperatureEntered, this, [this](double value) {
        m_nsxTemperature = value;
        m_hasNsxTemperature = true;
    });
}

void THistoryRecorder::SetStore(THistoryStore* store)
{
    m_store = store;
    m_failed = false;
}

bool THistoryRecorder::IsRecording() const
{
    return m_enabled && !m_failed && m_store && m_store->CanWrite();
}

THistoryEvent THistoryRecorder::MakeEvent(const QString& kind, const TTransducerData& unit, const QJsonObject& data) const
{
    THistoryEvent e;
    e.kind = kind;
    e.time = Now();
    e.programVersion = ProgramVersion();
    if (PortName)
        e.port = PortName();
    else if (m_session.link.drv)
        e.port = m_session.link.drv->PortName();
    e.address = unit.SlaveID;
    e.transducerType = TypeCodeText(unit.PLType);
    e.sensorNumber = unit.SensorNum;
    e.data = data;
    return e;
}

void THistoryRecorder::Record(const QString& kind, const TTransducerData& unit, const QJsonObject& data)
{
    if (!IsRecording())
        return;
    QString error;
    qint64 id = 0;
    if (m_store->Append(MakeEvent(kind, unit, data), &id, &error)) {
        ++m_recorded;
        emit recorded(id);
        return;
    }
    m_failed = true;
    emit failed(error + QStringLiteral("\nЗапись журнала приборов выключена до перезапуска программы."));
}

void THistoryRecorder::Connected(const TTransducerData& t)
{
    Record(QStringLiteral("connected"), t,
           {{QStringLiteral("identity"), IdentityJson(t)}, {QStringLiteral("configuration"), ConfigurationJson(t)}});
}

void THistoryRecorder::Disconnected(const QString& reason)
{
    Record(QStringLiteral("disconnected"), m_session.Transducer, {{QStringLiteral("reason"), reason}});
}

void THistoryRecorder::InformationWritten(const TTransducerData& before, const TTransducerData& after)
{
    // The unit's history goes on under its new number; the link between the
    // two numbers is an event of its own.
    if (before.SensorNum != after.SensorNum)
        Record(QStringLiteral("sensorNumberChanged"), after,
               {{QStringLiteral("from"), before.SensorNum}, {QStringLiteral("to"), after.SensorNum}});
    Record(QStringLiteral("informationWritten"), after,
           {{QStringLiteral("changes"), InformationChanges(before, after)}, {QStringLiteral("identity"), IdentityJson(after)}});
}

void THistoryRecorder::ConfigurationWritten(const TTransducerData& before, const TTransducerData& after)
{
    Record(QStringLiteral("configurationWritten"), after,
           {{QStringLiteral("changes"), ConfigurationChanges(before, after)},
            {QStringLiteral("configuration"), ConfigurationJson(after)}});
}

void THistoryRecorder::StageDone(int stage, int currentUa, bool accepted)
{
    QJsonObject data{{QStringLiteral("stage"), stage}, {QStringLiteral("accepted"), accepted}};
    if (stage == 5 || stage == 6)
        data[QStringLiteral("currentUa")] = currentUa;
    if (stage == 7)
        data[QStringLiteral("calibrationDate")] = IdentityJson(m_session.Transducer).value(QStringLiteral("calibrationDate"));
    Record(QStringLiteral("calibrationStage"), m_session.Transducer, data);
}

void THistoryRecorder::CalibrationFinished(const TCalibrationRecord& record)
{
    Record(QStringLiteral("calibration"), record.transducer, CalibrationJson(record));
}

void THistoryRecorder::CalibrationCancelled(int stage)
{
    Record(QStringLiteral("calibrationCancelled"), m_session.Transducer, {{QStringLiteral("stage"), stage}});
}

void THistoryRecorder::CorrectionDone(TDeviceEvents::Correction kind, bool reset, int result)
{
    QJsonObject data{{QStringLiteral("correction"), kind == TDeviceEvents::Correction::R0 ? QStringLiteral("R0")
                                                                                          : QStringLiteral("NSX")},
                     {QStringLiteral("reset"), reset},
                     {QStringLiteral("result"), result},
                     {QStringLiteral("accepted"), result == 0},
                     {QStringLiteral("measuredTemperature"), m_session.Transducer.Temperature}};
    if (kind == TDeviceEvents::Correction::NSX && !reset && m_hasNsxTemperature)
        data[QStringLiteral("enteredTemperature")] = m_nsxTemperature;
    m_hasNsxTemperature = false;
    Record(QStringLiteral("correction"), m_session.Transducer, data);
}

void THistoryRecorder::VerificationDone(const TVerificationResult& result)
{
    Record(QStringLiteral("verification"), result.transducer, VerificationJson(result));
}
