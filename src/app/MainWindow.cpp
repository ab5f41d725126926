#include "app/MainWindow.h"

#include "app/AboutFrm.h"
#include "app/CalibrationPage.h"
#include "app/COMChoiceFrm.h"
#include "link/CommPortDriver.h"
#include "device/DeviceMessages.h"
#include "app/ConfigurationPage.h"
#include "app/DiagnosticPage.h"
#include "app/ErrorBox.h"
#include "device/Information.h"
#include "app/InformationPage.h"
#include "common/IniFile.h"
#include "app/MessageFrm.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbStyleManager.h"
#include "app/Passport.h"
#include "app/Records.h"
#include "history/HistoryStore.h"
#include "link/TickSource.h"
#include "app/ViewStatusFrm.h"

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

    m_cpDRV = new TCommPortDriver(m_options.ticks, std::move(m_options.device), this);
    m_cpDRV->SetPortName(QStringLiteral("\\\\.\\COM1"));
    m_cpDRV->SetBaudRateValue(1200);
    m_cpDRV->SetDataBits(db8BITS);
    m_cpDRV->SetStopBits(sb2BITS);
    m_cpDRV->SetParity(ptNONE);
    m_cpDRV->SetHwFlow(hfNONERTSON);
    m_cpDRV->SetSwFlow(sfNONE);
    m_cpDRV->SetPollingDelay(500);
    m_cpDRV->EnableDTROnOpen = false;
    m_cpDRV->OutputTimeout = 1000;
    m_cpDRV->InputTimeout = 1000;

    m_session.shell = this;
    m_session.link.drv = m_cpDRV;
    m_session.link.ticks = &m_cpDRV->Ticks();
    m_session.link.shell = this;
    m_session.link.ReportLinkErrors = false;

    m_diagnosticsTimer = new QTimer(this);
    m_diagnosticsTimer->setObjectName(QStringLiteral("DiagnosticsTimer"));
    m_diagnosticsTimer->setInterval(1000);

    m_styleManager = new TRbStyleManager(this);
    m_styleManager->setObjectName(QStringLiteral("RbStyleManager"));
    m_styleManager->SetMainWindowValues();
    m_styleManager->SetLoading(true); // the controls register while the window is built
    CreateActions();
    CreateMenu();
    CreateToolBar();
    CreatePages();
    CreateStatusBar();
    m_styleManager->SetLoading(false);
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
    m_mainPageCtrl = new QTabWidget(this);
    m_mainPageCtrl->setObjectName(QStringLiteral("MainPageCtrl"));
    m_mainPageCtrl->setAccessibleName(QStringLiteral("Страницы"));
    m_tsInformation = new TInformationPage(m_session, m_settings, *this, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsInformation, QStringLiteral("Информация"));

    m_tsConfiguration = new TConfigurationPage(m_session, *this, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsConfiguration, QStringLiteral("Конфигурация"));
    m_tsCalobration = new TCalibrationPage(m_session, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsCalobration, QStringLiteral("Настройка"));
    m_mainPageCtrl->setTabToolTip(2, QStringLiteral(" Калибровка "));
    m_calibrationMeter = new TCalibrationMeter(*m_tsCalobration, m_session, m_settings.Instruments, m_dueDateWarnings);
    m_tsDiagnostic = new TDiagnosticPage(m_session, m_diagnosticsTimer, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsDiagnostic, QStringLiteral("Диагностика "));
    connect(m_tsCalobration, &TCalibrationPage::calibrDateChanged, m_tsDiagnostic, &TDiagnosticPage::SetCalibrDateText);
    // The driver's OnReceiveData is the diagnostics answer.
    m_tsDiagnostic->Diagnostics().AttachReceiveHandler();
    m_tsInformation->SetStyleManager(m_styleManager);
    m_tsConfiguration->SetStyleManager(m_styleManager);
    m_tsCalobration->SetStyleManager(m_styleManager);
    m_calibrationMeter->btnReadMeter->SetRbStyleManager(m_styleManager);
    m_tsDiagnostic->SetStyleManager(m_styleManager);
    m_records = new TRecords(m_session, this);
    m_records->AttachDiagnostics(m_tsDiagnostic->Diagnostics());
    m_passport = new TPassport(m_session, m_settings, this,
                               m_options.historyPath.isEmpty() ? THistoryStore::DefaultPath() : m_options.historyPath);
    m_passport->SaveProtocol = [this](const TCalibrationRecord& record) { return m_records->SaveProtocol(record); };
    connect(m_passport, &TPassport::aboutToWarn, this, &TfrmMain::EnsureMessageDialog);
    connect(m_tsCalobration, &TCalibrationPage::protocolSaveRequested, this, [this](const TCalibrationRecord& record) {
        m_passport->SaveFileName = m_records->SaveFileName;
        m_passport->SaveCalibrationCertificate(record);
    });
    connect(m_tsCalobration, &TCalibrationPage::verifyRequested, this,
            [this](TVerifyStage stage) { ShowVerification(stage); });

    setCentralWidget(m_mainPageCtrl);
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
    if (!LoadSettings(m_settings, exePath, userDir, &error)) {
        EnsureMessageDialog();
        MessageDlg(error, mkWarning, mbOk);
    }
    m_session.Transducer.SlaveID = m_settings.DefaultSlaveID;
    m_cpDRV->setPortMap(m_settings.Ports);
    m_cpDRV->SetPortName(StartupPortName(m_settings));
    m_session.link.RepeatNum = m_settings.RepeatNum;
    m_colorSchemePath = m_settings.ColorSchemePath;
    m_passport->Start(); // before the start-up connection, which it records

    // 2.
    m_session.State.DiagRunning = false;

    // 3. The automatic connection below reports through these two.
    if (m_settings.ConnectBeforeRun) {
        ViewStatus();
        EnsureMessageDialog();
    }

    // 4. Without a scheme the start-up ends here.
    if (!LoadColorScheme(m_colorSchemePath, &error)) {
        ShowPlatformError(error);
        m_startupCutShort = true;
        m_mainPageCtrl->setCurrentWidget(m_tsDiagnostic);
        return;
    }

    // 5. The start-up connection.
    if (m_settings.ConnectBeforeRun) {
        TfrmViewStatus* status = ViewStatus();
        if (m_settings.ConnectToNum || m_settings.ConnectToLast) {
            status->SetText(kStartupConnect + QString::number(m_session.Transducer.SlaveID) + kAtPort
                            + QString::number(m_settings.DefaultComPortNum) + QStringLiteral(".") + QStringLiteral("\n")
                            + QStringLiteral("\r") + kPleaseWait);
            status->SetWindowHeight(120);
            status->ShowStatus();
            ProcessEvents();
            m_session.link.ReportLinkErrors = true;
            ConnectDevice();
        } else if (m_settings.ConnectToFirst) {
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
        m_settings.DefaultSlaveID = static_cast<uint8_t>(m_session.Transducer.SlaveID & 0xFF);

    // 8., 9.
    m_mainPageCtrl->setCurrentWidget(m_tsInformation);
    SetInfoModified(false);
    SetConfigModified(false);
    UpdateStatusBar();

    // 10.
    if (!m_settings.ViewToolBar)
        ShowToolBar(false);
}

TfrmViewStatus* TfrmMain::ViewStatus()
{
    if (!m_viewStatus) {
        m_viewStatus = new TfrmViewStatus(this);
        AddSchemeColorWidget(m_viewStatus);
        m_viewStatus->btnStop->SetRbStyleManager(m_styleManager);
        m_viewStatus->RbProgressBar->SetRbStyleManager(m_styleManager);
        AddSchemeProgressBar(m_viewStatus->RbProgressBar);
        ApplySchemeColors();
    }
    return m_viewStatus;
}

TfrmCOMChoice* TfrmMain::COMChoice()
{
    if (!m_comChoice) {
        m_comChoice = new TfrmCOMChoice(m_settings, this);
        connect(m_comChoice, &TfrmCOMChoice::portChosen, this, [this](int n) { m_cpDRV->SetPort(n); });
        connect(m_comChoice, &TfrmCOMChoice::portNameChosen, this,
                [this](const QString& name) { m_cpDRV->SetPortName(name); });
        connect(m_comChoice, &TfrmCOMChoice::portMapChanged, this,
                [this](const TComPortMap& map) { m_cpDRV->setPortMap(map); });
        connect(m_comChoice, &TfrmCOMChoice::schemeColorsWanted, this, &TfrmMain::ApplySchemeColors);
        m_comChoice->SetStyleManager(m_styleManager);
        m_styleManager->ApplyStyle();
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
    connect(m_messageDialog, &TfrmMessage::schemeColorsWanted, this, &TfrmMain::ApplySchemeColors);
    m_messageDialog->SetStyleManager(m_styleManager);
    AddSchemeColorWidget(m_messageDialog);
    SetMessages(m_messageDialog);
}

// ---------------------------------------------------------------- connection

bool TfrmMain::IsConnected() const
{
    return m_cpDRV->IsPortOpen();
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
    const int number = m_cpDRV->Port() != pnCustom ? m_cpDRV->Port() : PortNumberFromName();
    QString text = kOpenFailed + QString::number(number);
    const QString reason = OpenFailureReason(*m_cpDRV);
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    if (m_cpDRV->lastOpenError() == TPortOpenError::AccessDenied)
        text += QStringLiteral("\nsudo usermod -aG dialout $USER");
    return text;
}

void TfrmMain::ConnectDevice()
{
    if (m_cpDRV->IsPortOpen())
        m_cpDRV->ClosePort();
    if (m_cpDRV->Port() == pnCustom && !ShowCOMChoice())
        return;
    if (!m_cpDRV->OpenPort()) {
        if (m_session.link.ReportLinkErrors)
            MessageDlg(OpenFailureText(), mkWarning, mbOk);
    } else {
        IdentifyDevice(m_session.Transducer.SlaveID);
        if (IsConnected()) {
            m_tsConfiguration->ReadConfiguration();
            // A lost device has had its message already; a running mode polls by itself.
            if (IsConnected() && !m_session.State.DiagRunning)
                m_tsDiagnostic->Diagnostics().PollDiagnostics(); // the one-shot calibration-date read
            m_tsCalobration->ClearStage();
            m_tsDiagnostic->ClearDiagInfo();
            SetConnectAction(IsConnected()); // the configuration read may have lost the device
            if (IsConnected())
                emit m_session.events.connected(m_session.Transducer);
        }
    }
    SetInfoModified(false);
    SetConfigModified(false);
    if (IsConnected())
        m_keptEdits.OfferBack(m_session, *m_tsInformation, *m_tsConfiguration);
}

void TfrmMain::DisconnectDevice()
{
    m_keptEdits.Keep(m_session, *m_tsInformation, *m_tsConfiguration);
    if (m_session.State.DiagRunning)
        m_tsDiagnostic->Diagnostics().StopDiagnostics();
    if (m_session.State.CalibrStage != 0)
        m_tsCalobration->Calibration().CancelCalibration();
    const bool wasOpen = m_cpDRV->IsPortOpen();
    m_cpDRV->ClosePort();
    if (wasOpen)
        emit m_session.events.disconnected(QString());
    UpdateStatusBar();
    // No exchange runs without a device: a failed one left its name here.
    SetStatusPanel(3, QString());
    ClearDeviceFields();
    // A stage lost with its device leaves no stage to continue.
    m_tsCalobration->ResetToIdle();
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
        m_session.link.ReportLinkErrors = false;
        ConnectDevice();
        ProcessEvents();
        result = IsConnected();
        if (!result)
            MessageDlg(kConnectFailed + QString::number(m_session.Transducer.SlaveID) + kAtPort
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
    m_tsInformation->ClearFields();
    m_tsConfiguration->ClearFields();
    m_tsDiagnostic->ClearIndicators();
    if (m_session.State.CalibrStage != 0)
        m_tsCalobration->Calibration().CancelCalibration();
    if (m_session.State.DiagRunning)
        m_tsDiagnostic->Diagnostics().StopDiagnostics();
}

int TfrmMain::PortNumberFromName() const
{
    return PortNumber(m_cpDRV->PortName(), m_cpDRV->portMap());
}

TOutcome TfrmMain::IdentifyDevice(int address)
{
    const TOutcome outcome = ::IdentifyDevice(m_session, address);
    if (outcome == TOutcome::Success) {
        m_keptEdits.NoteIdentity(m_session.Transducer);
        m_tsInformation->ShowInformation();
    }
    return outcome;
}

void TfrmMain::SetInfoModified(bool flag)
{
    ::SetInfoModified(m_session, flag);
}

void TfrmMain::SetConfigModified(bool flag)
{
    ::SetConfigModified(m_session, flag);
}

// ---------------------------------------------------------------- status bar

void TfrmMain::UpdateStatusBar()
{
    const bool open = IsConnected();
    m_panels[0]->setText(open ? kConnected : kNotConnected);
    m_panels[1]->setText(open ? PortLabel(m_cpDRV->PortName()) : QString());
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
    m_session.State.CalibrStage = 0;
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

void TfrmMain::CreateStyleEditor()
{
    // The newest editor is the one actColors shows; an older one goes once
    // whatever it is doing (its own closing may have asked for this one).
    // Without one yet, it is made when first shown: it takes the program's
    // scheme whenever it is shown, so nobody sees the difference, and the
    // start-up does not build a window it does not show.
    if (!m_styleEditor)
        return;
    m_styleEditor->deleteLater();
    m_styleEditor = nullptr;
    EnsureStyleEditor();
}

TFStyleEditor* TfrmMain::EnsureStyleEditor()
{
    if (!m_styleEditor) {
        m_styleEditor = new TFStyleEditor(*this, m_options.styleEditorDialogs, this);
        if (!m_editorStylePath.isNull())
            m_styleEditor->SetStylePath(m_editorStylePath);
    }
    return m_styleEditor;
}

void TfrmMain::SetEditorStylePath(const QString& path)
{
    m_editorStylePath = path;
    if (m_styleEditor)
        m_styleEditor->SetStylePath(path);
}

void TfrmMain::AdoptSchemeLook(QWidget* window)
{
    for (TRbCustomControl* c : window->findChildren<TRbCustomControl*>())
        c->SetRbStyleManager(m_styleManager);
    m_styleManager->ApplyStyle();
    AddSchemeColorWidget(window);
    ApplySchemeColors();
}

void TfrmMain::AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>& styled,
                               const QList<QWidget*>& workArea)
{
    for (TRbCustomControl* c : styled)
        c->SetRbStyleManager(m_styleManager);
    m_styleManager->ApplyStyle();
    AddSchemeColorWidget(window);
    for (QWidget* w : workArea)
        AddSchemeColorWidget(w);
    ApplySchemeColors();
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
    QList<QWidget*> widgets{menuBar(), ActionToolBar1, m_mainPageCtrl, statusBar()};
    widgets << m_tsInformation->edPLType;
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
