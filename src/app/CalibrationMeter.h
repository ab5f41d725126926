#pragma once

#include "instr/InstrumentSettings.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class TCalibrationPage;
class TRbButton;
struct TDeviceSession;

// The reference instruments on the calibration page: "Считать с мультиметра"
// puts the settled mean of the meter's readings into the current field of
// stages 5 and 6 (the page's range check still judges it), and reads by
// itself when such a stage begins if the settings say so. With a resistance
// source the resistances of stages 1 to 4 are set as the stage begins.
class TCalibrationMeter : public QObject {
    Q_OBJECT
public:
    TCalibrationMeter(TCalibrationPage& page, TDeviceSession& session, TInstrumentSettings& settings,
                      TDueDateWarnings& warnings);

    // Seams: how the instruments are reached, the clock that paces their
    // readings, today's date for the due-date warning.
    TDeviceFactory DeviceFactory;
    ITickSource* Ticks = nullptr;
    std::function<QDate()> Today = [] { return QDate::currentDate(); };
    TSettleLimits Limits;

    // "Считать с мультиметра": true when a settled value went into the field.
    bool ReadMeter();
    // Sets the source to `ohms` and switches it on.
    bool SetSourceResistance(double ohms);
    bool Busy() const { return m_busy; }

    QPointer<TRbButton> btnReadMeter;
    QPointer<QLabel> lbMeterSpread;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AfterBeginPressed();
    void UpdateVisibility();

    TCalibrationPage& m_page;
    // The watched current field: its hide events still come while the page is
    // being destroyed, when the page itself must no longer be touched.
    QPointer<QWidget> m_currentField;
    TDeviceSession& m_session;
    TInstrumentSettings& m_settings;
    TDueDateWarnings& m_warnings;
    int m_lastStage = 0;
    bool m_busy = false;
};

// The resistance a stage about to be carried out wants at the input (stages
// 1 to 4), or a negative value.
double CalibrationStageResistance(int stage);
