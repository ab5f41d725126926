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
const QString kSearching = QStringLiteral("Поиск прибора до первого найденного");
const QString kSearchingAt = QStringLiteral("Поиск прибора до первого найденного\n\rСОМ-порт СОМ");
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

    m_ctrl = new TTransducerController(m_options.ticks, std::move(m_options.device), this);
    m_ctrl->SetPrompts(this);
    m_ctrl->SetSearchSettings([this] { return m_settings.QuickSearch; },
                              [this] { return int(m_settings.DefaultSlaveID); });

    m_styleManager = new TRbStyleManager(this);
    m_styleManager->setObjectName(QStringLiteral("RbStyleManager"));
    m_styleManager->SetMainWindowValues();
    m_styleManager->SetLoading(true); // the controls register while the window is built
    CreateActions();
    CreateMenu();
    CreateToolBar();
    CreatePages();
    CreateStatusBar();
    ConnectController();
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
    m_tsInformation = new TInformationPage(*m_ctrl, m_settings, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsInformation, QStringLiteral("Информация"));

    m_tsConfiguration = new TConfigurationPage(*m_ctrl, *this, m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsConfiguration, QStringLiteral("Конфигурация"));
    m_tsCalobration = new TCalibrationPage(m_ctrl->Session(), m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsCalobration, QStringLiteral("Настройка"));
    m_mainPageCtrl->setTabToolTip(2, QStringLiteral(" Калибровка "));
    m_calibrationMeter = new TCalibrationMeter(*m_tsCalobration, m_ctrl->Session(), m_settings.Instruments, m_dueDateWarnings);
    m_tsDiagnostic = new TDiagnosticPage(m_ctrl->Session(), m_ctrl->DiagnosticsTimer(), m_mainPageCtrl);
    m_mainPageCtrl->addTab(m_tsDiagnostic, QStringLiteral("Диагностика "));
    connect(m_tsCalobration, &TCalibrationPage::calibrDateChanged, m_tsDiagnostic, &TDiagnosticPage::SetCalibrDateText);
    // The driver's OnReceiveData is the diagnostics answer.
    m_tsDiagnostic->Diagnostics().AttachReceiveHandler();
    m_tsInformation->SetStyleManager(m_styleManager);
    m_tsConfiguration->SetStyleManager(m_styleManager);
    m_tsCalobration->SetStyleManager(m_styleManager);
    m_calibrationMeter->btnReadMeter->SetRbStyleManager(m_styleManager);
    m_tsDiagnostic->SetStyleManager(m_styleManager);
    m_records = new TRecords(m_ctrl->Session(), this);
    m_records->AttachDiagnostics(m_tsDiagnostic->Diagnostics());
    m_passport = new TPassport(m_ctrl->Session(), m_settings, this,
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
    m_ctrl->Session().Transducer.SlaveID = m_settings.DefaultSlaveID;
    m_ctrl->Driver()->setPortMap(m_settings.Ports);
    m_ctrl->Driver()->SetPortName(StartupPortName(m_settings));
    m_ctrl->Session().link.RepeatNum = m_settings.RepeatNum;
    m_colorSchemePath = m_settings.ColorSchemePath;
    m_passport->Start(); // before the start-up connection, which it records

    // 2.
    m_ctrl->Session().State.DiagRunning = false;

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
            status->SetText(kStartupConnect + QString::number(m_ctrl->Session().Transducer.SlaveID) + kAtPort
                            + QString::number(m_settings.DefaultComPortNum) + QStringLiteral(".") + QStringLiteral("\n")
                            + QStringLiteral("\r") + kPleaseWait);
            status->SetWindowHeight(120);
            status->ShowStatus();
            m_ctrl->ProcessEvents();
            m_ctrl->Session().link.ReportLinkErrors = true;
            ConnectDevice();
        } else if (m_settings.ConnectToFirst) {
            status->SetText(kStartupSearch);
            status->ShowStatus();
            m_ctrl->ProcessEvents();
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
        m_settings.DefaultSlaveID = static_cast<uint8_t>(m_ctrl->Session().Transducer.SlaveID & 0xFF);

    // 8., 9.
    m_mainPageCtrl->setCurrentWidget(m_tsInformation);
    SetInfoModified(false);
    SetConfigModified(false);
    m_ctrl->UpdateStatusBar();

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
        connect(m_viewStatus, &TfrmViewStatus::stopRequested, m_ctrl, &TTransducerController::RequestSearchStop);
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
        connect(m_comChoice, &TfrmCOMChoice::portChosen, this, [this](int n) { m_ctrl->Driver()->SetPort(n); });
        connect(m_comChoice, &TfrmCOMChoice::portNameChosen, this,
                [this](const QString& name) { m_ctrl->Driver()->SetPortName(name); });
        connect(m_comChoice, &TfrmCOMChoice::portMapChanged, this,
                [this](const TComPortMap& map) { m_ctrl->Driver()->setPortMap(map); });
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

// ---------------------------------------------------------------- controller

void TfrmMain::ConnectController()
{
    TTransducerController* c = m_ctrl;
    TDeviceSession& s = c->Session();
    connect(c, &TTransducerController::identified, this, [this](const TTransducerData& t) {
        m_keptEdits.NoteIdentity(t);
        m_tsInformation->ShowInformation();
    });
    connect(c, &TTransducerController::configurationRead, m_tsConfiguration, [this] {
        m_tsConfiguration->ShowConfiguration();
    });
    connect(c, &TTransducerController::connectReadsDone, this, [this, &s] {
        // A lost device has had its message already; a running mode polls by itself.
        if (IsConnected() && !s.State.DiagRunning)
            m_tsDiagnostic->Diagnostics().PollDiagnostics(); // the one-shot calibration-date read
        m_tsCalobration->ClearStage();
        m_tsDiagnostic->ClearDiagInfo();
        SetConnectAction(IsConnected()); // the configuration read may have lost the device
    });
    connect(c, &TTransducerController::connected, this,
            [this, &s] { m_keptEdits.OfferBack(s, *m_tsInformation, *m_tsConfiguration); });
    connect(c, &TTransducerController::disconnecting, this, [this, &s] {
        m_keptEdits.Keep(s, *m_tsInformation, *m_tsConfiguration);
        if (s.State.DiagRunning)
            m_tsDiagnostic->Diagnostics().StopDiagnostics();
        if (s.State.CalibrStage != 0)
            m_tsCalobration->Calibration().CancelCalibration();
    });
    connect(c, &TTransducerController::disconnected, this, [this] {
        ClearDeviceFields();
        // A stage lost with its device leaves no stage to continue.
        m_tsCalobration->ResetToIdle();
        SetConnectAction(false);
    });
    connect(c, &TTransducerController::linkStateChanged, this, [this](bool open, const QString& port) {
        m_panels[0]->setText(open ? kConnected : kNotConnected);
        m_panels[1]->setText(port);
        m_panels[2]->clear();
        UpdateActions();
    });
    connect(c, &TTransducerController::statusPanelText, this,
            [this](int panel, const QString& text) { m_panels[panel]->setText(text); });

    connect(c, &TTransducerController::searchStarted, this, [this](int first, int last) {
        TfrmViewStatus* status = ViewStatus();
        status->SetText(kSearching);
        // Max before Min: the bar takes each only while it keeps Min below Max.
        status->RbProgressBar->SetMax(last);
        status->RbProgressBar->SetMin(first);
        status->RbProgressBar->SetPosition(first);
        status->RbProgressBar->show();
        status->btnStop->show();
        status->ShowStatus();
    });
    connect(c, &TTransducerController::searchProgress, this, [this](int address, int port) {
        TfrmViewStatus* status = ViewStatus();
        status->SetText(kSearchingAt + QString::number(port) + QStringLiteral(" адрес ") + QString::number(address)
                        + QStringLiteral("."));
        m_ctrl->ProcessEvents();
        status->RbProgressBar->SetPosition(status->RbProgressBar->Position() + 1);
        m_ctrl->ProcessEvents();
    });
    connect(c, &TTransducerController::searchPassStarted, this,
            [this] { ViewStatus()->RbProgressBar->SetPosition(ViewStatus()->RbProgressBar->Min()); });
    connect(c, &TTransducerController::searchEnded, this, [this] {
        TfrmViewStatus* status = ViewStatus();
        status->hide();
        status->RbProgressBar->hide();
        status->btnStop->hide();
    });
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

void TfrmMain::ClearDeviceFields()
{
    const TDeviceSession& s = m_ctrl->Session();
    m_tsInformation->ClearFields();
    m_tsConfiguration->ClearFields();
    m_tsDiagnostic->ClearIndicators();
    if (s.State.CalibrStage != 0)
        m_tsCalobration->Calibration().CancelCalibration();
    if (s.State.DiagRunning)
        m_tsDiagnostic->Diagnostics().StopDiagnostics();
}

QString TfrmMain::StatusPanelText(int index) const
{
    return index >= 0 && index < 4 ? m_panels[index]->text() : QString();
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
