#pragma once

#include "device/VerificationTypes.h"
#include "instr/InstrumentReaders.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class TRbButton;
class TfrmVerification;

// The reference instruments in the verification window: with a meter,
// "Измерить" takes the current from it; with a source too, "Автоматически"
// runs every point (set the resistance, wait until the reading and the
// current settle, take the point, go on) and "Стоп" ends the run at once,
// leaving the source switched off at its last value. A fault ends the run
// with no point taken from a bad reading.
class TVerificationInstruments : public QObject {
    Q_OBJECT
public:
    TVerificationInstruments(TfrmVerification& window, TInstrumentSettings& settings, TDueDateWarnings& warnings);
    ~TVerificationInstruments() override;

    TDeviceFactory DeviceFactory;
    ITickSource* Ticks = nullptr;
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    // Before the window prepares its points: opens the instruments the
    // settings name and gives them to the window. One that cannot be opened
    // is reported and the window works by hand for it.
    void Attach();
    // After the window has prepared its points: what to do next, with these instruments.
    void ShowHint();
    // The window is done: the source off, the lines closed.
    void Detach();
    // The window on a new verification with these instruments; `show` false
    // leaves it prepared, not shown (tests). False when it cannot begin.
    bool Open(TVerifyStage stage, bool show = true);

    bool HasMeter() const { return m_meter != nullptr; }
    bool HasSource() const { return m_source != nullptr; }
    bool Running() const { return m_running; }
    bool SourceOn() const { return m_source && m_source->On(); }
    // "Автоматически" / "Стоп".
    void btnAutoClick();
    void StartAutomatic();
    void StopAutomatic(const QString& why);

    TRbButton* btnAuto;
    QLabel* lbInstruments;

private:
    void NextPoint();
    void WatchPoint();
    void EndRun(const QString& text);
    void SwitchSourceOff();
    void ShowInstruments();

    TfrmVerification& m_window;
    TInstrumentSettings& m_settings;
    TDueDateWarnings& m_warnings;
    std::unique_ptr<TMeterCurrentReader> m_meter;
    std::unique_ptr<TSourceResistance> m_source;
    QTimer m_watch;
    bool m_running = false;
    int m_row = -1;
};
