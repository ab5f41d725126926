#include "app/MainWindow.h"

#include "app/CalibrationPage.h"
#include "app/ConfigProfileActions.h"
#include "app/COMChoiceFrm.h"
#include "app/DeferredMessageDialog.h"
#include "app/DiagnosticPage.h"
#include "app/IndicatorStyles.h"
#include "app/InformationPage.h"
#include "app/MessageFrm.h"
#include "app/Passport.h"
#include "app/Records.h"
#include "app/SearchProgress.h"
#include "app/ViewStatusFrm.h"
#include "history/HistoryStore.h"
#include "link/CommPortDriver.h"
#include "rbcontrols/RbStyleManager.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

namespace {

// "СОМ" in this text is written in Cyrillic letters, as the program always showed it.
const QString kAtPort = QStringLiteral(" подключенному к порту СОМ");
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
    m_messages = new TDeferredMessageDialog([this]() -> IMessageDialog* {
        EnsureMessageDialog();
        return m_options.messages ? m_options.messages : m_messageDialog;
    }, this);
    m_ctrl->SetMessageDialog(m_messages);
    m_ctrl->SetSearchSettings([this] { return m_settings.QuickSearch; },
                              [this] { return int(m_settings.DefaultSlaveID); });

    m_look = new TSchemeLook(this, m_settings, m_options.styleEditorDialogs);
    m_look->ErrorBox = m_options.errorBox;
    m_look->WindowWidgets = [this] {
        return QList<QWidget*>{menuBar(), m_menu->ActionToolBar1, m_pages, statusBar(), tsInformation()->edPLType};
    };
    m_look->SettingsWindowShown = [this] { return m_settingsDialog != nullptr; };
    connect(m_look, &TSchemeLook::settingsWindowWanted, this, [this] { SettingsDialog(); });
    StyleManager().SetLoading(true); // the controls register while the window is built
    CreateActions();
    m_menu->Build(m_profileActions->actSaveConfig, m_profileActions->actLoadConfig);
    CreatePages();
    m_statusBar = new TLinkStatusBar(*m_ctrl, this);
    setStatusBar(m_statusBar);
    ConnectController();
    StyleManager().SetLoading(false);
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    FormCreate();
}

std::unique_ptr<QMainWindow> MakeMainWindow(TMainWindowOptions options)
{
    return std::make_unique<TfrmMain>(std::move(options));
}

TfrmMain::~TfrmMain()
{
    // The other children use the look, the controller's session and the messages: these go last.
    m_messages->Detach();
    for (QObject* last : {static_cast<QObject*>(m_look), static_cast<QObject*>(m_ctrl), static_cast<QObject*>(m_messages)}) {
        last->setParent(nullptr);
        last->setParent(this);
    }
}

void TfrmMain::CreatePages()
{
    m_pages = new TDevicePages(*m_ctrl, m_settings, *m_look, m_dueDateWarnings, this);
    m_profileActions->SetPages(*tsInformation(), *tsConfiguration());
    m_pages->SetStyleManager(&StyleManager());
    m_indicatorStyles = std::make_unique<TIndicatorStyles>(*tsDiagnostic(), m_settings, *m_look, *m_messages, this);
    m_records = new TRecords(*m_ctrl, this);
    m_passport = new TPassport(m_ctrl->Session(), m_settings, this,
                               m_options.historyPath.isEmpty() ? THistoryStore::DefaultPath() : m_options.historyPath);
    m_passport->SaveProtocol = [this](const TCalibrationRecord& record) { return m_records->SaveProtocol(record); };
    connect(m_passport, &TPassport::aboutToWarn, this, &TfrmMain::EnsureMessageDialog);
    connect(tsCalobration(), &TCalibrationPage::protocolSaveRequested, this, [this](const TCalibrationRecord& record) {
        m_passport->SaveFileName = m_records->SaveFileName;
        m_passport->SaveCalibrationCertificate(record);
    });
    connect(tsCalobration(), &TCalibrationPage::verifyRequested, this,
            [this](TVerifyStage stage) { ShowVerification(stage); });

    setCentralWidget(m_pages);
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
        m_messages->Show(error, mkWarning, mbOk);
    }
    ApplyStartupSettings(*m_ctrl, m_settings);
    m_passport->Start(); // before the start-up connection, which it records

    // 2.
    m_ctrl->Session().State.DiagRunning = false;

    // 3. The automatic connection below reports through these two.
    if (m_settings.ConnectBeforeRun) {
        ViewStatus();
        EnsureMessageDialog();
    }

    // 4. Without a scheme the start-up ends here.
    if (!LoadColorScheme(m_settings.ColorSchemePath, &error)) {
        m_look->ShowPlatformError(error);
        m_startupCutShort = true;
        m_pages->setCurrentWidget(tsDiagnostic());
        return;
    }

    // 5. The start-up connection.
    if (m_settings.ConnectBeforeRun) {
        TfrmViewStatus* status = ViewStatus();
        if (m_settings.ConnectToNum || m_settings.ConnectToLast) {
            status->SetText(kStartupConnect + QString::number(m_ctrl->Session().Transducer.SlaveID) + kAtPort
                            + QString::number(m_settings.DefaultComPortNum) + QStringLiteral(".\n\r") + kPleaseWait);
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
    m_indicatorStyles->Apply();

    // 7.
    m_menu->SetConnectAction(IsConnected());
    if (IsConnected())
        m_settings.DefaultSlaveID = static_cast<uint8_t>(m_ctrl->Session().Transducer.SlaveID & 0xFF);

    // 8., 9.
    m_pages->setCurrentWidget(tsInformation());
    SetInfoModified(false);
    SetConfigModified(false);
    m_ctrl->UpdateStatusBar();

    // 10.
    if (!m_settings.ViewToolBar)
        ShowToolBar(false);
}

TfrmCOMChoice* TfrmMain::COMChoice()
{
    if (!m_comChoice) {
        m_comChoice = new TfrmCOMChoice(m_settings, *m_messages, this);
        connect(m_comChoice, &TfrmCOMChoice::portChosen, this, [this](int n) { m_ctrl->Driver()->SetPort(n); });
        connect(m_comChoice, &TfrmCOMChoice::portNameChosen, this,
                [this](const QString& name) { m_ctrl->Driver()->SetPortName(name); });
        connect(m_comChoice, &TfrmCOMChoice::portMapChanged, this,
                [this](const TComPortMap& map) { m_ctrl->Driver()->setPortMap(map); });
        connect(m_comChoice, &TfrmCOMChoice::schemeColorsWanted, this, &TfrmMain::ApplySchemeColors);
        m_comChoice->SetStyleManager(&StyleManager());
        StyleManager().ApplyStyle();
        m_look->AddSchemeColorWidget(m_comChoice);
    }
    return m_comChoice;
}

void TfrmMain::EnsureMessageDialog()
{
    if (m_options.messages || m_messageDialog)
        return;
    m_messageDialog = new TfrmMessage(this);
    m_messageDialog->SetOwnerWindow(this);
    connect(m_messageDialog, &TfrmMessage::schemeColorsWanted, this, &TfrmMain::ApplySchemeColors);
    m_messageDialog->SetStyleManager(&StyleManager());
    m_look->AddSchemeColorWidget(m_messageDialog);
}

// ---------------------------------------------------------------- controller

void TfrmMain::ConnectController()
{
    TTransducerController* c = m_ctrl;
    // After the pages have followed: the configuration read may have lost the device.
    connect(c, &TTransducerController::connectReadsDone, this, [this] { m_menu->SetConnectAction(IsConnected()); });
    connect(c, &TTransducerController::disconnected, this, [this] { m_menu->SetConnectAction(false); });
    connect(c, &TTransducerController::linkStateChanged, this, &TfrmMain::UpdateActions);
    m_search = new TSearchProgress(*m_ctrl, *m_look, this);
}

int TfrmMain::EnterValue(const QString& prompt, double& value, double defaultValue)
{
    return m_messages->EnterValue(prompt, value, 0, defaultValue);
}

bool TfrmMain::ShowCOMChoice()
{
    if (m_options.chooseComPort)
        return m_options.chooseComPort(*this);
    return COMChoice()->exec() == QDialog::Accepted;
}
