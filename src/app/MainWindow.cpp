#include "MainWindow.h"

#include "AboutFrm.h"
#include "CalibrationPage.h"
#include "COMChoiceFrm.h"
#include "CommPortDriver.h"
#include "ConfigurationPage.h"
#include "DiagnosticPage.h"
#include "ErrorBox.h"
#include "Information.h"
#include "InformationPage.h"
#include "IniFile.h"
#include "MessageFrm.h"
#include "RbButton.h"
#include "RbProgressBar.h"
#include "RbStyleManager.h"
#include "TickSource.h"
#include "ViewStatusFrm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kConnected = QStringLiteral("Соединение установленно");
const QString kNotConnected = QStringLiteral("Соединение не установленно");
// "СОМ" in these two texts is written in Cyrillic letters, as the program always showed it.
const QString kAtPort = QStringLiteral(" подключенному к порту СОМ");
const QString kAskConnect = QStringLiteral("Соединение с прибором не установлено.\n\rУстановить соединение?");
const QString kConnectFailed = QStringLiteral("Не удалось установить соединение с прибором\n\r номер ");
const QString kTryAnother = QStringLiteral(" Попробуйте установить соединение с другим номером.");
const QString kOpenFailed = QStringLiteral("Нет соединения c COM"); // Latin "c COM"
const QString kStartupConnect = QStringLiteral("Производится установка соединения с прибором номер ");
const QString kStartupSearch =
    QStringLiteral("Производится поиск устройсв до первого найденного.\n\rПожалуйста подождите.");
const QString kPleaseWait = QStringLiteral("Пожалуйста подождите.");

} // namespace

TfrmMain::TfrmMain(TMainWindowOptions options, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint)
    , m_options(std::move(options))
{
    Q_INIT_RESOURCE(app);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Зелкор"));

    cpDRV = new TCommPortDriver(m_options.ticks, std::move(m_options.device), this);
    cpDRV->SetPortName(QStringLiteral("\\\\.\\COM1"));
    cpDRV->SetBaudRateValue(1200);
    cpDRV->SetDataBits(db8BITS);
    cpDRV->SetStopBits(sb2BITS);
    cpDRV->SetParity(ptNONE);
    cpDRV->SetHwFlow(hfNONERTSON);
    cpDRV->SetSwFlow(sfNONE);
    cpDRV->SetPollingDelay(500);
    cpDRV->EnableDTROnOpen = false;
    cpDRV->OutputTimeout = 1000;
    cpDRV->InputTimeout = 1000;
    cpDRV->OnReceiveData = [this](TCommPortDriver*, const uint8_t* data, int size) { cpDRVReceiveData(data, size); };

    Session.shell = this;
    Session.link.drv = cpDRV;
    Session.link.ticks = &cpDRV->Ticks();
    Session.link.shell = this;
    Session.link.ReportLinkErrors = false;

    DiagnosticsTimer = new QTimer(this);
    DiagnosticsTimer->setObjectName(QStringLiteral("DiagnosticsTimer"));
    DiagnosticsTimer->setInterval(1000);

    RbStyleManager = new TRbStyleManager(this);
    RbStyleManager->setObjectName(QStringLiteral("RbStyleManager"));
    RbStyleManager->SetMainWindowValues();
    RbStyleManager->SetLoading(true); // the controls register while the window is built
    CreateActions();
    CreateMenu();
    CreateToolBar();
    CreatePages();
    CreateStatusBar();
    RbStyleManager->SetLoading(false);
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    FormCreate();
}

TfrmMain::~TfrmMain()
{
    if (m_messageDialog && Messages() == m_messageDialog)
        SetMessages(nullptr);
}

void TfrmMain::CreatePages()
{
    MainPageCtrl = new QTabWidget(this);
    MainPageCtrl->setObjectName(QStringLiteral("MainPageCtrl"));
    tsInformation = new TInformationPage(*this, MainPageCtrl);
    MainPageCtrl->addTab(tsInformation, QStringLiteral("Информация"));

    // ---- The configuration, calibration and diagnostics pages replace these.
    tsConfiguration = new TConfigurationPage(*this, MainPageCtrl);
    MainPageCtrl->addTab(tsConfiguration, QStringLiteral("Конфигурация"));
    tsCalobration = new TCalibrationPage(Session, MainPageCtrl);
    MainPageCtrl->addTab(tsCalobration, QStringLiteral("Настройка"));
    MainPageCtrl->setTabToolTip(2, QStringLiteral(" Калибровка "));
    tsDiagnostic = new TDiagnosticPage(Session, DiagnosticsTimer, MainPageCtrl);
    MainPageCtrl->addTab(tsDiagnostic, QStringLiteral("Диагностика "));
    tsCalobration->CalibrDateSink = [this](const QString& text) { tsDiagnostic->SetCalibrDateText(text); };
    // The driver's OnReceiveData reaches cpDRVReceiveData through the diagnostics.
    tsDiagnostic->Diagnostics().ReceiveSink = [this](const uint8_t* data, int size) { cpDRVReceiveData(data, size); };
    tsDiagnostic->Diagnostics().AttachReceiveHandler();
    tsCalobration->SetStyleManager(RbStyleManager);
    tsDiagnostic->SetStyleManager(RbStyleManager);

    setCentralWidget(MainPageCtrl);
}

void TfrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(19);
    const int widths[4] = {170, 50, 50, 0}; // the last panel takes the rest of the bar
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(2, 0, 2, 0);
        if (widths[i] > 0)
            m_panels[i]->setFixedWidth(widths[i]);
        bar->addWidget(m_panels[i], widths[i] > 0 ? 0 : 1);
    }
}

// ---------------------------------------------------------------- start-up

void TfrmMain::FormCreate()
{
    // 1. Settings, and what they give the record and the driver.
    QString error;
    const QString exePath =
        m_options.exePath.isEmpty() ? QCoreApplication::applicationFilePath() : m_options.exePath;
    const QString userDir = m_options.userConfigDir.isEmpty() ? UserConfigDir() : m_options.userConfigDir;
    if (!LoadSettings(Settings, exePath, userDir, &error)) {
        EnsureMessageDialog();
        MessageDlg(error, mkWarning, mbOk);
    }
    Session.Transducer.SlaveID = Settings.DefaultSlaveID;
    cpDRV->setPortMap(Settings.Ports);
    cpDRV->SetPortName(StartupPortName(Settings));
    Session.link.RepeatNum = Settings.RepeatNum;
    ColorSchemePath = Settings.ColorSchemePath;

    // 2.
    Session.State.DiagRunning = false;

    // 3. The automatic connection below reports through these two.
    if (Settings.ConnectBeforeRun) {
        ViewStatus();
        EnsureMessageDialog();
    }

    // 4. Without a scheme the start-up ends here.
    if (!LoadColorScheme(ColorSchemePath, &error)) {
        ShowPlatformError(error);
        m_startupCutShort = true;
        MainPageCtrl->setCurrentWidget(tsDiagnostic);
        return;
    }

    // 5. The start-up connection.
    if (Settings.ConnectBeforeRun) {
        TfrmViewStatus* status = ViewStatus();
        if (Settings.ConnectToNum || Settings.ConnectToLast) {
            status->SetText(kStartupConnect + QString::number(Session.Transducer.SlaveID) + kAtPort
                            + QString::number(Settings.DefaultComPortNum) + QStringLiteral(".") + QStringLiteral("\n")
                            + QStringLiteral("\r") + kPleaseWait);
            status->SetWindowHeight(120);
            status->ShowStatus();
            ProcessEvents();
            Session.link.ReportLinkErrors = true;
            ConnectDevice();
        } else if (Settings.ConnectToFirst) {
            status->SetText(kStartupSearch);
            status->ShowStatus();
            ProcessEvents();
            SearchFirstDevice();
        }
        status->hide();
        status->SetWindowHeight(170);
    }

    // 6.
    ApplyIndicatorStyles();

    // 7.
    SetConnectAction(IsConnected());
    if (IsConnected())
        Settings.DefaultSlaveID = static_cast<uint8_t>(Session.Transducer.SlaveID & 0xFF);

    // 8., 9.
    MainPageCtrl->setCurrentWidget(tsInformation);
    SetInfoModified(false);
    SetConfigModified(false);
    UpdateStatusBar();

    // 10.
    if (!Settings.ViewToolBar)
        ShowToolBar(false);
}

TfrmViewStatus* TfrmMain::ViewStatus()
{
    if (!m_viewStatus) {
        m_viewStatus = new TfrmViewStatus(this);
        AddSchemeColorWidget(m_viewStatus);
        m_viewStatus->btnStop->SetRbStyleManager(RbStyleManager);
        m_viewStatus->RbProgressBar->SetRbStyleManager(RbStyleManager);
        AddSchemeProgressBar(m_viewStatus->RbProgressBar);
        ApplySchemeColors();
    }
    return m_viewStatus;
}

TfrmCOMChoice* TfrmMain::COMChoice()
{
    if (!m_comChoice) {
        m_comChoice = new TfrmCOMChoice(Settings, this);
        m_comChoice->OnSetPort = [this](int n) { cpDRV->SetPort(n); };
        m_comChoice->OnSetPortName = [this](const QString& name) { cpDRV->SetPortName(name); };
        m_comChoice->OnPortMapChanged = [this](const TComPortMap& map) { cpDRV->setPortMap(map); };
        m_comChoice->OnApplySchemeColors = [this] { ApplySchemeColors(); };
        m_comChoice->SetStyleManager(RbStyleManager);
        RbStyleManager->ApplyStyle();
        AddSchemeColorWidget(m_comChoice);
    }
    return m_comChoice;
}

void TfrmMain::EnsureMessageDialog()
{
    if (!m_options.ownMessageDialog || m_messageDialog)
        return;
    m_messageDialog = new TfrmMessage(this);
    m_messageDialog->SetOwnerWindow(this);
    m_messageDialog->OnApplySchemeColors = [this] { ApplySchemeColors(); };
    m_messageDialog->SetStyleManager(RbStyleManager);
    AddSchemeColorWidget(m_messageDialog);
    SetMessages(m_messageDialog);
}

// ---------------------------------------------------------------- connection

bool TfrmMain::IsConnected() const
{
    return cpDRV->IsPortOpen();
}

bool TfrmMain::ShowCOMChoice()
{
    if (m_options.chooseComPort)
        return m_options.chooseComPort(*this);
    return COMChoice()->exec() == QDialog::Accepted;
}

void TfrmMain::ShowPlatformError(const QString& text)
{
    if (m_options.errorBox)
        m_options.errorBox(text);
    else
        ShowErrorBox(this, QCoreApplication::applicationName(), text);
}

QString TfrmMain::OpenFailureText() const
{
    // A port chosen by a typed name has no number of its own; its name has.
    const int number = cpDRV->Port() != pnCustom ? cpDRV->Port() : PortNumberFromName();
    QString text = kOpenFailed + QString::number(number);
    const QString reason = cpDRV->lastOpenErrorText();
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    if (cpDRV->lastOpenError() == TPortOpenError::AccessDenied)
        text += QStringLiteral("\nsudo usermod -aG dialout $USER");
    return text;
}

void TfrmMain::ConnectDevice()
{
    if (cpDRV->IsPortOpen())
        cpDRV->ClosePort();
    if (cpDRV->Port() == pnCustom && !ShowCOMChoice())
        return;
    if (!cpDRV->OpenPort()) {
        if (Session.link.ReportLinkErrors)
            MessageDlg(OpenFailureText(), mkWarning, mbOk);
    } else {
        IdentifyDevice(Session.Transducer.SlaveID);
        if (IsConnected()) {
            ReadConfiguration();
            if (IsConnected()) // a lost device has had its message already
                PollDiagnosticsOnce();
            ClearConnectLabels();
            SetConnectAction(IsConnected()); // the configuration read may have lost the device
        }
    }
    SetInfoModified(false);
    SetConfigModified(false);
}

void TfrmMain::DisconnectDevice()
{
    if (Session.State.DiagRunning)
        StopDiagnostics();
    if (Session.State.CalibrStage != 0)
        CancelCalibration();
    cpDRV->ClosePort();
    UpdateStatusBar();
    ClearDeviceFields();
    SetInfoModified(false);
    SetConfigModified(false);
    SetConnectAction(false);
}

bool TfrmMain::AskToConnect()
{
    if (IsConnected())
        return true;
    bool result = false;
    if (MessageDlg(kAskConnect, mkWarning, mbYes | mbNo) == mrYes) {
        ProcessEvents();
        Session.link.ReportLinkErrors = false;
        ConnectDevice();
        ProcessEvents();
        result = IsConnected();
        if (!result)
            MessageDlg(kConnectFailed + QString::number(Session.Transducer.SlaveID) + kAtPort
                           + QString::number(PortNumberFromName()) + QStringLiteral(".") + QStringLiteral("\n")
                           + QStringLiteral("\r") + kTryAnother,
                       mkWarning, mbOk);
    }
    UpdateStatusBar();
    ProcessEvents();
    return result;
}

void TfrmMain::ClearDeviceFields()
{
    tsInformation->ClearFields();
    ClearOtherPages();
    if (Session.State.CalibrStage != 0)
        CancelCalibration();
    if (Session.State.DiagRunning)
        StopDiagnostics();
}

int TfrmMain::PortNumberFromName() const
{
    bool ok = false;
    const int n = cpDRV->PortName().mid(7, 2).toInt(&ok, 10);
    return ok ? n : 0;
}

TOutcome TfrmMain::IdentifyDevice(int address)
{
    const TOutcome outcome = ::IdentifyDevice(Session, address);
    if (outcome == TOutcome::Success)
        ShowInformation();
    return outcome;
}

void TfrmMain::ShowInformation()
{
    tsInformation->ShowInformation();
}

void TfrmMain::SetInfoModified(bool flag)
{
    ::SetInfoModified(Session, flag);
}

void TfrmMain::SetConfigModified(bool flag)
{
    ::SetConfigModified(Session, flag);
}

// ---------------------------------------------------------------- status bar

void TfrmMain::UpdateStatusBar()
{
    const bool open = IsConnected();
    m_panels[0]->setText(open ? kConnected : kNotConnected);
    m_panels[1]->setText(open ? cpDRV->PortName().mid(4, 10) : QString());
    m_panels[2]->clear();
    UpdateActions();
}

void TfrmMain::SetStatusPanel(int index, const QString& text)
{
    if (index >= 0 && index < 4)
        m_panels[index]->setText(text);
}

QString TfrmMain::StatusPanelText(int index) const
{
    return index >= 0 && index < 4 ? m_panels[index]->text() : QString();
}

void TfrmMain::SetStatusText(const QString& text)
{
    SetStatusPanel(3, text);
}

void TfrmMain::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void TfrmMain::ResetCalibrationStage()
{
    Session.State.CalibrStage = 0;
}

// ---------------------------------------------------------------- colour scheme

bool TfrmMain::LoadColorScheme(const QString& path, QString* error)
{
    return ::LoadColorScheme(*this, path, error);
}

void TfrmMain::ApplySchemeColors()
{
    ::ApplySchemeColors(*this);
}

void TfrmMain::AddSchemeColorWidget(QWidget* widget)
{
    if (widget && !m_schemeWidgets.contains(widget))
        m_schemeWidgets << widget;
}

void TfrmMain::AddSchemeProgressBar(TRbProgressBar* bar)
{
    if (bar && !m_schemeBars.contains(bar))
        m_schemeBars << bar;
}

QList<QWidget*> TfrmMain::SchemeColorWidgets()
{
    QList<QWidget*> widgets{menuBar(), ActionToolBar1, MainPageCtrl, statusBar()};
    widgets << tsInformation->edPLType;
    for (const QPointer<QWidget>& w : m_schemeWidgets) {
        if (w)
            widgets << w.data();
    }
    return widgets;
}

QList<TRbProgressBar*> TfrmMain::SchemeProgressBars()
{
    QList<TRbProgressBar*> bars;
    for (const QPointer<TRbProgressBar>& b : m_schemeBars) {
        if (b)
            bars << b.data();
    }
    return bars;
}
