#pragma once

#include "device/CalibrationProtocol.h"
#include "device/DeviceSession.h"

#include <QDate>
#include <QString>

#include <functional>

enum TStageColor { scGreen, scPurple }; // RGB 0,128,0 and 128,0,128

// What the calibration sequence changes on the calibration page (and the
// date indicator of the diagnostics page). The page implements it; tests
// plug in a recorder.
class ICalibrationView {
public:
    virtual ~ICalibrationView() = default;
    virtual void SetStageText(const QString& text) = 0;   // lbStage
    virtual void SetStageColor(TStageColor color) = 0;
    virtual void SetBeginCaption(const QString& text) = 0; // btnBeginCalibr
    virtual void SetCancelVisible(bool visible) = 0;       // btnCancelCalibr
    virtual void SetCurrentVisible(bool visible) = 0;      // lbCalibrCur, rseCalibrCur
    virtual void SetCurrentValue(double milliamperes) = 0;
    virtual double CurrentValue() const = 0;
    virtual void SetDateVisible(bool visible) = 0;         // lbCalibrNewDate, meCalibrNewDate
    virtual void SetDateText(const QString& text) = 0;
    virtual QString DateText() const = 0;
    virtual void SetCalibrDateText(const QString& text) = 0; // indCalibrDate
};

// 'M' request for `stage`; false (nothing built) for stage 7 without a date.
bool BuildCalibrationRequest(TFrameBuffer& frame, int slaveId, int stage, int current, TDateValue date);

// The guided calibration of input and current output, one stage per press.
class TCalibration {
public:
    TCalibration(TDeviceSession& session, ICalibrationView& view);

    // btnBeginCalibr: refused while diagnostics runs.
    void BeginPressed();
    void CalibrationStep();
    bool SendCalibrationStage();
    // Leaving rseCalibrCur: takes and checks the current, then lets pending events run.
    void CheckMeasuredCurrent();
    // The check alone; false (−1 stored, message shown) outside the stage's range.
    bool TakeMeasuredCurrent();
    // Leaving meCalibrNewDate; false (date 0, message shown) for an invalid date.
    bool DateEntered();
    void CancelCalibration();
    // The stage the next press carries out; 0 while not running.
    int Stage() const { return m_session.State.CalibrStage; }

    // Today's date for stage 6; tests fix it.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    // The last calibration that ended with stage 7 accepted, until the next starts.
    bool HasProtocol() const { return m_hasProtocol; }
    const TCalibrationRecord& LastCalibration() const { return m_record; }

private:
    bool LinkReady() const;
    int Current() const;
    void SetCurrent(int microamperes);
    void ShowCurrentStep(double milliamperes, int microamperes, const QString& text);

    void SetProtocolAvailable(bool available);

    TDeviceSession& m_session;
    ICalibrationView& m_view;
    TCalibrationRecord m_record;
    bool m_hasProtocol = false;
};
