#pragma once

#include "device/CalibrationProtocol.h"
#include "device/TransducerData.h"
#include "device/VerificationTypes.h"

#include <QObject>
#include <QString>

#include <limits>

// One diagnostics answer: the self-diagnostic state, and the values, NaN
// when the state carries none.
struct TMeasurement {
    int state = 0;
    double temperature = std::numeric_limits<double>::quiet_NaN();
    double resistance = std::numeric_limits<double>::quiet_NaN();
};

// What happened to the connected transducer, as it happened. The device
// operations emit these; the history and anything else that must follow the
// unit connect to them.
class TDeviceEvents : public QObject {
    Q_OBJECT
public:
    enum class Correction { R0, NSX };
    Q_ENUM(Correction)

    using QObject::QObject;

signals:
    // Identity read and configuration as found.
    void connected(const TTransducerData& transducer);
    void disconnected(const QString& reason);
    void informationWritten(const TTransducerData& before, const TTransducerData& after);
    void configurationWritten(const TTransducerData& before, const TTransducerData& after);
    // One stage request answered: accepted, or refused with the device's code.
    void calibrationStageDone(int stage, int currentUa, bool accepted);
    void calibrationFinished(const TCalibrationRecord& record);
    void calibrationCancelled(int stage);
    // The last calibration's protocol can be had (stage 7 accepted), or no longer.
    void calibrationProtocolAvailable(bool available);
    // `reset`: the correction was taken back; result is the device's code.
    void correctionDone(TDeviceEvents::Correction kind, bool reset, int result);
    // The true temperature typed for an NSX correction, just before it is sent.
    void nsxTemperatureEntered(double value);
    // Every handled diagnostics answer, every tick that found the previous
    // request unanswered, and every end of the mode.
    void measurement(const TMeasurement& reading);
    void measurementMissed();
    void diagnosticsStopped();
    void verificationDone(const TVerificationResult& result);
    void certificateIssued(const QString& number, const QString& sha256, const QString& path);
};
