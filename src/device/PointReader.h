#pragma once

#include "device/CurrentReader.h"
#include "device/DeviceSession.h"
#include "device/MeasurementSampler.h"
#include "device/SettlingJudge.h"

#include <QString>

enum class TPointStatus {
    Sampling, // more readings are needed
    Settled,  // the reading (and a live current) settled: Reading() and Current() hold them
    Failed,   // Error() says why; a lost device has been reported and disconnected
};

// The readings of one verification point: measurement answers, one per
// Step, until the last few settle by the rule, and the output current from
// its reader. The caller spaces the steps (kSampleIntervalMs, the
// transducer's own measuring rate) and keeps the event loop running.
class TPointReader {
public:
    static constexpr int kSampleIntervalMs = 1000;
    static constexpr int kMaxSamples = 30;

    TPointReader(TDeviceSession& session, ICurrentReader& current);

    void SetRules(const TSettlingRule& reading, const TSettlingRule& current);
    // False (status Failed) when a typed current is missing or wrong: no
    // request is sent without one.
    bool Start(const TVerifyPoint& point);
    TPointStatus Step();
    void Cancel();

    TPointStatus Status() const { return m_status; }
    bool Running() const { return m_status == TPointStatus::Sampling; }
    int Samples() const { return m_samples; }
    const TSettlingJudge& ReadingJudge() const { return m_reading; }
    const TSettlingJudge& CurrentJudge() const { return m_current; }
    double Reading() const { return m_reading.Mean(); }
    double Current() const;
    QString Error() const { return m_error; }

private:
    TPointStatus fail(const QString& why);
    double elapsedSeconds() const;

    TDeviceSession& m_session;
    ICurrentReader& m_currentReader;
    TMeasurementSampler m_sampler;
    TSettlingJudge m_reading;
    TSettlingJudge m_current;
    TVerifyPoint m_point;
    TPointStatus m_status = TPointStatus::Failed;
    double m_typedCurrent = 0;
    int m_samples = 0;
    int m_misses = 0;
    uint32_t m_startTick = 0;
    QString m_error;
};
