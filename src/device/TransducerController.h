#pragma once

#include "device/Calibr.h"
#include "device/DeviceSession.h"
#include "device/Diagnostics.h"
#include "link/LinkObserver.h"
#include "link/SerialDevice.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ITickSource;
class QTimer;
class TCommPortDriver;

// What the controller asks the windows in the middle of an operation.
// The defaults answer "no".
class ITransducerPrompts {
public:
    virtual ~ITransducerPrompts() = default;
    // The COM-port choice before a port chosen by name is opened; false: cancelled.
    virtual bool ChooseComPort() { return false; }
    // A value typed mid-operation (the true temperature of an NSX correction);
    // mrYes when given. `value` always holds the field's value.
    virtual int EnterValue(const QString& /*prompt*/, double& value, double defaultValue)
    {
        value = defaultValue;
        return mrNo;
    }
};

// The transducer on the serial line: the driver, the session and its
// operation state, the diagnostics timer and the connection lifecycle. It is
// the session's shell; what happens is told through its signals, in the
// order the windows must follow it.
class TTransducerController : public QObject, public IDeviceShell, private ILinkObserver {
    Q_OBJECT
public:
    TTransducerController(ITickSource* ticks, std::unique_ptr<ISerialDevice> device, QObject* parent = nullptr);
    ~TTransducerController() override;

    TDeviceSession& Session() { return m_session; }
    const TDeviceSession& Session() const { return m_session; }
    TDeviceEvents& events() { return m_session.events; }
    TCommPortDriver* Driver() const { return m_drv; }
    QTimer* DiagnosticsTimer() const { return m_diagnosticsTimer; } // 1000 ms, polls while diagnostics runs
    void SetPrompts(ITransducerPrompts* prompts) { m_prompts = prompts ? prompts : &m_noPrompts; }

    bool IsConnected() const;
    // The COM number of the driver's port name; 0 when none.
    int PortNumber() const;
    // The COM-port choice through the prompts; false when cancelled.
    bool ChooseComPort();

    // Opens the port, identifies SlaveID and reads the configuration.
    void Connect();
    // Closes the port and empties what showed the device.
    void Disconnect();
    // Identification at `address`; `identified` follows a success.
    TOutcome Identify(int address);
    // Tries the addresses until a device answers, then connects to it
    // (`quickPass`: see ScanForDevice). Found nobody: SlaveID takes the
    // default address as the settings hold it then.
    void SearchFirstDevice(bool quickPass, const std::function<int()>& defaultSlaveId);
    // The same with what SetSearchSettings gave, read when the search starts.
    void SearchFirstDevice();
    void SetSearchSettings(std::function<bool()> quickPass, std::function<int()> defaultSlaveId);
    // Reads the configuration block; the diagnostics timer pauses meanwhile.
    bool ReadConfiguration();
    TOutcome WriteConfiguration(int newSlaveId);
    TOutcome WriteInformation();
    // The page-modified flags; both share status panel 2.
    void SetInfoModified(bool flag);
    void SetConfigModified(bool flag);

    // The pages that show the calibration and the diagnostics; nullptr
    // detaches (nothing is shown then, the operations still run).
    void SetCalibrationView(ICalibrationView* view);
    void SetDiagnosticsView(IDiagnosticsView* view);
    TCalibration& Calibration() { return *m_calibration; }
    const TCalibration& Calibration() const { return *m_calibration; }
    TDiagnostics& Diagnostics() { return *m_diagnostics; }
    const TDiagnostics& Diagnostics() const { return *m_diagnostics; }

    // The calibration: the next stage (refused while diagnostics runs), the
    // cancel, and the entries of the current and the date as they are left.
    void NextCalibrationStage();
    void CancelCalibration();
    bool TakeMeasuredCurrent();
    void CheckMeasuredCurrent();
    bool TakeCalibrationDate();
    int CalibrationStage() const { return m_session.State.CalibrStage; }
    bool HasCalibrationProtocol() const { return m_calibration->HasProtocol(); }
    const TCalibrationRecord& LastCalibration() const { return m_calibration->LastCalibration(); }

    // Diagnostics, polled on the diagnostics timer, and the two corrections.
    void StartDiagnostics();
    void StopDiagnostics();
    void ToggleDiagnostics();
    // Diagnostics mode while it runs, else the one-shot calibration-date read.
    void PollDiagnostics();
    bool DiagnosticsRunning() const { return m_session.State.DiagRunning; }
    void CorrectR0(bool set);
    void CorrectNSX();

    // Around a write or read: the diagnostics poll must not fall inside it.
    bool PauseDiagnosticsTimer();
    void ResumeDiagnosticsTimer(bool wasRunning);

    // IDeviceShell
    void SetStatusText(const QString& text) override;
    void ProcessEvents() override;
    void DeviceLost(const TLinkFault& fault) override;
    void DisconnectDevice() override { Disconnect(); }
    void UpdateStatusBar() override;
    bool AskToConnect() override;
    int EnterValue(const QString& prompt, double& value, double defaultValue) override
    {
        return m_prompts->EnterValue(prompt, value, defaultValue);
    }
    void SetStatusPanel(int index, const QString& text) override;

public slots:
    // The search ends before the next address it would try.
    void RequestSearchStop() { m_searchStop = true; }

signals:
    // A device answered its identification.
    void identified(const TTransducerData& transducer);
    // The configuration block was read into the record.
    void configurationRead(const TTransducerData& transducer);
    // Within Connect, once the configuration read is over (the device may be gone again).
    void connectReadsDone();
    // Connect ended with the device there, after the modified flags were cleared.
    void connected(const TTransducerData& transducer);
    // Disconnect begins: the port is still open, the running modes still run.
    void disconnecting();
    // Disconnect closed the port and updated the status bar.
    void disconnected(const QString& reason);
    // The status bar's link panels: open, and the port's label while open.
    void linkStateChanged(bool open, const QString& portLabel);
    void statusPanelText(int panel, const QString& text);
    // The search: begins (addresses first..last), tries an address, starts a pass, ends.
    void searchStarted(int firstAddress, int lastAddress);
    void searchProgress(int address, int port);
    void searchPassStarted();
    void searchEnded();
    // A diagnostics answer handled, a tick that found none, the end of the mode.
    void measurement(const TMeasurement& reading);
    void measurementMissed();
    void diagnosticsStopped();
    // One stage request answered: accepted, or refused with the device's code.
    void calibrationStageDone(int stage, int currentUa, bool accepted);
    void calibrationProtocolAvailable(bool available);
    // `reset`: the correction was taken back; result: 0 done, the device's code, -1 no answer.
    void correctionDone(TDeviceEvents::Correction kind, bool reset, int result);
    // Every frame on the line and what became of it, for the exchange monitor.
    void frameExchanged(const TLinkEvent& event);

private:
    class TCalibrationViewSlot;
    class TDiagnosticsViewSlot;

    QString OpenFailureText() const;
    // ILinkObserver
    void LinkEvent(const TLinkEvent& event) override;

    TDeviceSession m_session;
    TCommPortDriver* m_drv = nullptr;
    QTimer* m_diagnosticsTimer = nullptr;
    ITransducerPrompts m_noPrompts;
    ITransducerPrompts* m_prompts = &m_noPrompts;
    std::unique_ptr<TCalibrationViewSlot> m_calibrationView;
    std::unique_ptr<TDiagnosticsViewSlot> m_diagnosticsView;
    std::unique_ptr<TCalibration> m_calibration;
    std::unique_ptr<TDiagnostics> m_diagnostics;
    bool m_searchStop = false;
    std::function<bool()> m_quickPass = [] { return false; };
    std::function<int()> m_defaultSlaveId = [] { return 1; };
};
