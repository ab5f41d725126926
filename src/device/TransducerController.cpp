#include "device/TransducerController.h"

#include "device/Configuration.h"
#include "device/DeviceMessages.h"
#include "device/DeviceScan.h"
#include "device/Information.h"
#include "device/TransducerLine.h"
#include "link/CommPortDriver.h"
#include "link/MessageDialog.h"
#include "link/PortNames.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

// "СОМ" in these texts is written in Cyrillic letters, as the program always showed it.
const QString kAtPort = QStringLiteral(" подключенному к порту СОМ");
const QString kAskConnect = QStringLiteral("Соединение с прибором не установлено.\n\rУстановить соединение?");
const QString kConnectFailed = QStringLiteral("Не удалось установить соединение с прибором\n\r номер ");
const QString kTryAnother = QStringLiteral(" Попробуйте установить соединение с другим номером.");
const QString kOpenFailed = QStringLiteral("Нет соединения c COM"); // Latin "c COM"
const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");
const QString kNoneFound = QStringLiteral("Ниодного прибора не найдено.");

} // namespace

// The calibration's page, or nothing while none is attached.
class TTransducerController::TCalibrationViewSlot : public ICalibrationView {
public:
    ICalibrationView* view = nullptr;

    void SetStageText(const QString& text) override { if (view) view->SetStageText(text); }
    void SetStageColor(TStageColor color) override { if (view) view->SetStageColor(color); }
    void SetBeginCaption(const QString& text) override { if (view) view->SetBeginCaption(text); }
    void SetCancelVisible(bool visible) override { if (view) view->SetCancelVisible(visible); }
    void SetCurrentVisible(bool visible) override { if (view) view->SetCurrentVisible(visible); }
    void SetCurrentValue(double milliamperes) override { if (view) view->SetCurrentValue(milliamperes); }
    double CurrentValue() const override { return view ? view->CurrentValue() : 0.0; }
    void SetDateVisible(bool visible) override { if (view) view->SetDateVisible(visible); }
    void SetDateText(const QString& text) override { if (view) view->SetDateText(text); }
    QString DateText() const override { return view ? view->DateText() : QString(); }
    void SetCalibrDateText(const QString& text) override { if (view) view->SetCalibrDateText(text); }
};

// The diagnostics' page, or nothing; the timer is the controller's own, attached or not.
class TTransducerController::TDiagnosticsViewSlot : public IDiagnosticsView {
public:
    explicit TDiagnosticsViewSlot(QTimer& timer) : m_timer(timer) {}
    IDiagnosticsView* view = nullptr;

    void SetTimerEnabled(bool enabled) override
    {
        if (enabled)
            m_timer.start();
        else
            m_timer.stop();
    }
    bool TimerEnabled() const override { return m_timer.isActive(); }
    void SetRunningLook(bool running) override { if (view) view->SetRunningLook(running); }
    void SetTemperatureText(const QString& text) override { if (view) view->SetTemperatureText(text); }
    QString TemperatureText() const override { return view ? view->TemperatureText() : QString(); }
    void SetResistanceText(const QString& text) override { if (view) view->SetResistanceText(text); }
    void SetDiagInfo(const QString& text) override { if (view) view->SetDiagInfo(text); }
    QString DiagInfo() const override { return view ? view->DiagInfo() : QString(); }
    void SetCalibrDateText(const QString& text) override { if (view) view->SetCalibrDateText(text); }

private:
    QTimer& m_timer;
};

TTransducerController::TTransducerController(ITickSource* ticks, std::unique_ptr<ISerialDevice> device,
                                             QObject* parent)
    : QObject(parent)
{
    m_drv = new TCommPortDriver(ticks, std::move(device), this);
    m_drv->SetPortName(QStringLiteral("\\\\.\\COM1"));
    SetTransducerLine(*m_drv);

    m_session.shell = this;
    m_session.link.drv = m_drv;
    m_session.link.ticks = &m_drv->Ticks();
    m_session.link.shell = this;
    m_session.link.ReportLinkErrors = false;
    m_session.link.observer = this;

    m_diagnosticsTimer = new QTimer(this);
    m_diagnosticsTimer->setObjectName(QStringLiteral("DiagnosticsTimer"));
    m_diagnosticsTimer->setInterval(1000);
    connect(m_diagnosticsTimer, &QTimer::timeout, this, &TTransducerController::PollDiagnostics);

    m_calibrationView = std::make_unique<TCalibrationViewSlot>();
    m_diagnosticsView = std::make_unique<TDiagnosticsViewSlot>(*m_diagnosticsTimer);
    m_calibration = std::make_unique<TCalibration>(m_session, *m_calibrationView);
    m_diagnostics = std::make_unique<TDiagnostics>(m_session, *m_diagnosticsView);
    // The driver's OnReceiveData is the diagnostics answer.
    m_diagnostics->AttachReceiveHandler();

    TDeviceEvents* ev = &m_session.events;
    connect(ev, &TDeviceEvents::measurement, this, &TTransducerController::measurement);
    connect(ev, &TDeviceEvents::measurementMissed, this, &TTransducerController::measurementMissed);
    connect(ev, &TDeviceEvents::diagnosticsStopped, this, &TTransducerController::diagnosticsStopped);
    connect(ev, &TDeviceEvents::calibrationStageDone, this, &TTransducerController::calibrationStageDone);
    connect(ev, &TDeviceEvents::calibrationProtocolAvailable, this,
            &TTransducerController::calibrationProtocolAvailable);
    connect(ev, &TDeviceEvents::correctionDone, this, &TTransducerController::correctionDone);
}

TTransducerController::~TTransducerController()
{
    // The driver is a child and outlives this body: nothing may reach the
    // operations or the observer once they are gone.
    m_session.link.observer = nullptr;
    m_drv->OnReceiveData = nullptr;
}

bool TTransducerController::IsConnected() const
{
    return m_drv->IsPortOpen();
}

int TTransducerController::PortNumber() const
{
    return ::PortNumber(m_drv->PortName(), m_drv->portMap());
}

bool TTransducerController::ChooseComPort()
{
    return m_prompts->ChooseComPort();
}

QString TTransducerController::OpenFailureText() const
{
    // A port chosen by a typed name has no number of its own; its name has.
    const int number = m_drv->Port() != pnCustom ? m_drv->Port() : PortNumber();
    return kOpenFailed + QString::number(number) + OpenFailureDetails(*m_drv);
}

// ---------------------------------------------------------------- lifecycle

void TTransducerController::Connect()
{
    if (m_drv->IsPortOpen())
        m_drv->ClosePort();
    if (m_drv->Port() == pnCustom && !ChooseComPort())
        return;
    if (!m_drv->OpenPort()) {
        if (m_session.link.ReportLinkErrors)
            MessageDialog().Show(OpenFailureText(), mkWarning, mbOk);
    } else {
        Identify(m_session.Transducer.SlaveID);
        if (IsConnected()) {
            ReadConfiguration();
            emit connectReadsDone();
            if (IsConnected())
                emit m_session.events.connected(m_session.Transducer);
        }
    }
    SetInfoModified(false);
    SetConfigModified(false);
    if (IsConnected())
        emit connected(m_session.Transducer);
}

void TTransducerController::Disconnect()
{
    emit disconnecting();
    const bool wasOpen = m_drv->IsPortOpen();
    m_drv->ClosePort();
    if (wasOpen)
        emit m_session.events.disconnected(QString());
    UpdateStatusBar();
    // No exchange runs without a device: a failed one left its name here.
    SetStatusPanel(3, QString());
    emit disconnected(QString());
    SetInfoModified(false);
    SetConfigModified(false);
}

void TTransducerController::DeviceLost(const TLinkFault& fault)
{
    // A stage lost with its device is over: nothing to cancel on the way out.
    if (fault.operation == TOperation::SendCalibrationStage)
        m_session.State.CalibrStage = 0;
    Disconnect();
}

bool TTransducerController::AskToConnect()
{
    if (IsConnected())
        return true;
    bool result = false;
    if (MessageDialog().Show(kAskConnect, mkWarning, mbYes | mbNo) == mrYes) {
        ProcessEvents();
        m_session.link.ReportLinkErrors = false;
        Connect();
        ProcessEvents();
        result = IsConnected();
        if (!result)
            MessageDialog().Show(kConnectFailed + QString::number(m_session.Transducer.SlaveID) + kAtPort
                           + QString::number(PortNumber()) + QStringLiteral(".") + QStringLiteral("\n")
                           + QStringLiteral("\r") + kTryAnother,
                       mkWarning, mbOk);
    }
    UpdateStatusBar();
    ProcessEvents();
    return result;
}

TOutcome TTransducerController::Identify(int address)
{
    const TOutcome outcome = ::IdentifyDevice(m_session, address);
    if (outcome == TOutcome::Success)
        emit identified(m_session.Transducer);
    return outcome;
}

void TTransducerController::SetSearchSettings(std::function<bool()> quickPass, std::function<int()> defaultSlaveId)
{
    m_quickPass = std::move(quickPass);
    m_defaultSlaveId = std::move(defaultSlaveId);
}

void TTransducerController::SearchFirstDevice()
{
    SearchFirstDevice(m_quickPass(), m_defaultSlaveId);
}

void TTransducerController::SearchFirstDevice(bool quickPass, const std::function<int()>& defaultSlaveId)
{
    ProcessEvents();
    if (IsConnected()) {
        if (MessageDialog().Show(kAskDisconnect, mkConfirmation, mbYes | mbNo) != mrYes)
            return;
        Disconnect();
    }
    ProcessEvents();
    if (m_drv->Port() == pnCustom && !ChooseComPort())
        return;

    emit searchStarted(kScanFirstAddress, kScanLastAddress);
    ProcessEvents();

    m_searchStop = false;
    TScanHooks hooks;
    hooks.StopRequested = [this] { return m_searchStop; };
    hooks.Trying = [this](int address) { emit searchProgress(address, PortNumber()); };
    hooks.Identify = [this](int address) { return Identify(address); };
    hooks.PassStarted = [this] { emit searchPassStarted(); };
    if (ScanForDevice(m_session, hooks, quickPass) == TScanResult::Stopped) {
        emit searchEnded();
        return;
    }

    const bool found = IsConnected();
    if (found)
        Connect(); // identifies again and reads the configuration
    emit searchEnded();
    if (!found) {
        m_session.Transducer.SlaveID = defaultSlaveId();
        MessageDialog().Show(kNoneFound, mkWarning, mbOk);
    }
}

// ---------------------------------------------------------------- operations

bool TTransducerController::ReadConfiguration()
{
    // A diagnostics poll inside the read would take its answer away.
    const bool timerWasOn = PauseDiagnosticsTimer();
    const bool read = ::ReadConfiguration(m_session);
    if (read)
        emit configurationRead(m_session.Transducer);
    ResumeDiagnosticsTimer(timerWasOn);
    return read;
}

TOutcome TTransducerController::WriteConfiguration(int newSlaveId)
{
    return ::WriteConfiguration(m_session, newSlaveId);
}

TOutcome TTransducerController::WriteInformation()
{
    return ::WriteInformation(m_session);
}

void TTransducerController::SetInfoModified(bool flag)
{
    ::SetInfoModified(m_session, flag);
}

void TTransducerController::SetConfigModified(bool flag)
{
    ::SetConfigModified(m_session, flag);
}

bool TTransducerController::PauseDiagnosticsTimer()
{
    const bool running = m_diagnosticsTimer->isActive();
    m_diagnosticsTimer->stop();
    return running;
}

void TTransducerController::ResumeDiagnosticsTimer(bool wasRunning)
{
    // A lost device has ended diagnostics; its timer stays off then.
    if (wasRunning && IsConnected() && m_session.State.DiagRunning)
        m_diagnosticsTimer->start();
}

// ---------------------------------------------------------------- calibration and diagnostics

void TTransducerController::SetCalibrationView(ICalibrationView* view)
{
    m_calibrationView->view = view;
}

void TTransducerController::SetDiagnosticsView(IDiagnosticsView* view)
{
    m_diagnosticsView->view = view;
}

void TTransducerController::NextCalibrationStage()
{
    m_calibration->BeginPressed();
}

void TTransducerController::CancelCalibration()
{
    m_calibration->CancelCalibration();
}

bool TTransducerController::TakeMeasuredCurrent()
{
    return m_calibration->TakeMeasuredCurrent();
}

void TTransducerController::CheckMeasuredCurrent()
{
    m_calibration->CheckMeasuredCurrent();
}

bool TTransducerController::TakeCalibrationDate()
{
    return m_calibration->DateEntered();
}

void TTransducerController::StartDiagnostics()
{
    m_diagnostics->StartDiagnostics();
}

void TTransducerController::StopDiagnostics()
{
    m_diagnostics->StopDiagnostics();
}

void TTransducerController::ToggleDiagnostics()
{
    m_diagnostics->ToggleDiagnostics();
}

void TTransducerController::PollDiagnostics()
{
    m_diagnostics->PollDiagnostics();
}

void TTransducerController::CorrectR0(bool set)
{
    m_diagnostics->CorrectR0(set);
}

void TTransducerController::CorrectNSX()
{
    m_diagnostics->CorrectNSX();
}

void TTransducerController::LinkEvent(const TLinkEvent& event)
{
    emit frameExchanged(event);
}

// ---------------------------------------------------------------- shell

void TTransducerController::UpdateStatusBar()
{
    const bool open = IsConnected();
    emit linkStateChanged(open, open ? PortLabel(m_drv->PortName()) : QString());
}

void TTransducerController::SetStatusPanel(int index, const QString& text)
{
    if (index >= 0 && index < 4)
        emit statusPanelText(index, text);
}

void TTransducerController::SetStatusText(const QString& text)
{
    SetStatusPanel(3, text);
}

void TTransducerController::ProcessEvents()
{
    QCoreApplication::processEvents();
}
