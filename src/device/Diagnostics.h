#pragma once

#include "device/DeviceSession.h"

#include <QString>

#include <cstdint>
#include <vector>

// What the diagnostics operations change on the diagnostics page. The page
// implements it; tests plug in a recorder.
class IDiagnosticsView {
public:
    virtual ~IDiagnosticsView() = default;
    virtual void SetTimerEnabled(bool enabled) = 0; // DiagnosticsTimer, 1000 ms
    virtual bool TimerEnabled() const = 0;
    virtual void SetRunningLook(bool running) = 0;  // picture and caption of btnBeginDiagnostics
    virtual void SetTemperatureText(const QString& text) = 0; // indT
    virtual QString TemperatureText() const = 0;
    virtual void SetResistanceText(const QString& text) = 0;  // indR
    virtual void SetDiagInfo(const QString& text) = 0;        // lbDiagInf
    virtual QString DiagInfo() const = 0;
    virtual void SetCalibrDateText(const QString& text) = 0;  // indCalibrDate
};

// Numbers and dates as the user sees them.
QString TemperatureText(double celsius);   // 1 decimal, system separator
QString ResistanceText(double ohms);       // 2 decimals
QString DateText(TDateValue date);         // DD.MM.YYYY, empty for 0
TDateValue DateFromText(const QString& text); // 0 when not a date

// The frames, built into a zero-filled buffer; each returns its length.
int BuildMeasurementRequest(TFrameBuffer& frame, int slaveId);
int BuildR0Request(TFrameBuffer& frame, int slaveId, bool set);
// The value travels as value x 10, rounded half to even; false (frame
// untouched) when that does not fit the 16-bit field.
bool BuildNSXRequest(TFrameBuffer& frame, int slaveId, uint8_t step, double value);

// The measuring loop and the two sensor corrections.
//
// The loop never blocks between ticks: a tick sends the request and
// returns; the answer comes through the driver's OnReceiveData, possibly in
// pieces, and is assembled here. A piece that is still missing when the
// next tick comes is taken from the input queue without waiting.
class TDiagnostics {
public:
    TDiagnostics(TDeviceSession& session, IDiagnosticsView& view);

    void StartDiagnostics();
    void StopDiagnostics();
    // Diagnostics mode while DiagRunning, else the one-shot date read.
    void PollDiagnostics();
    void HandleDiagnosticsAnswer(const uint8_t* data, int count);
    void CorrectR0(bool set);
    void CorrectNSX();
    bool SendNSXStep(uint8_t step, double value);

    // The start/stop button.
    void ToggleDiagnostics();
    // Hooks HandleDiagnosticsAnswer to the driver's OnReceiveData; while
    // detached, what the driver polls is dropped.
    void AttachReceiveHandler();
    void DetachReceiveHandler();
    bool ReceiveHandlerAttached() const { return m_attached; }

    // The default of the NSX dialogue: the number indT shows, else the last
    // measured temperature, else 0.
    double NSXDefaultValue() const;

private:
    enum class TR0Result { Done, Refused, Lost };
    TR0Result RunCorrectR0(bool set);
    bool PrepareCorrection();
    void FinishCorrection();
    void Drain();
    void PickUpQueued();
    void ProcessAnswer(const uint8_t* frame);
    TDateValue DecodeDate(const uint8_t* frame);
    bool LinkReady() const;

    TDeviceSession& m_session;
    IDiagnosticsView& m_view;
    std::vector<uint8_t> m_pending;   // answer bytes gathered so far
    bool m_attached = false;
    bool m_installed = false;
    bool m_haveMeasurement = false;
    uint32_t m_lastBadDate = 0;       // date bytes already reported as wrong
    bool m_badDateReported = false;
};
