#pragma once

#include "device/DeviceEvents.h"
#include "history/HistoryRecord.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>

#include <functional>

class THistoryStore;
struct TDeviceSession;

// Writes what the session's events report into the history, each with the
// time, the program version, the port, the address, the transducer type
// and the sensor number. A store that fails is reported once and then left
// alone: the program goes on without recording. Certificates are recorded
// by their issuer, which knows what they certify.
class THistoryRecorder : public QObject {
    Q_OBJECT
public:
    THistoryRecorder(TDeviceSession& session, THistoryStore* store, QObject* parent = nullptr);

    void SetStore(THistoryStore* store);
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsRecording() const;
    int RecordedCount() const { return m_recorded; }

    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTimeUtc(); };
    // The port the session runs on (default: the driver's port name).
    std::function<QString()> PortName;

    // The event as it will be appended, for the unit given.
    THistoryEvent MakeEvent(const QString& kind, const TTransducerData& unit, const QJsonObject& data) const;

signals:
    void recorded(qint64 id);
    // The first failure, once.
    void failed(const QString& text);

private:
    void Record(const QString& kind, const TTransducerData& unit, const QJsonObject& data);
    void Connected(const TTransducerData& t);
    void Disconnected(const QString& reason);
    void InformationWritten(const TTransducerData& before, const TTransducerData& after);
    void ConfigurationWritten(const TTransducerData& before, const TTransducerData& after);
    void StageDone(int stage, int currentUa, bool accepted);
    void CalibrationFinished(const TCalibrationRecord& record);
    void CalibrationCancelled(int stage);
    void CorrectionDone(TDeviceEvents::Correction kind, bool reset, int result);
    void VerificationDone(const TVerificationResult& result);

    TDeviceSession& m_session;
    THistoryStore* m_store;
    bool m_enabled = true;
    bool m_failed = false;
    int m_recorded = 0;
    double m_nsxTemperature = 0;
    bool m_hasNsxTemperature = false;
};
