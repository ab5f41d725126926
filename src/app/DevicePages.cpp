#include "app/DevicePages.h"

#include "app/CalibrationMeter.h"
#include "app/CalibrationPage.h"
#include "app/ConfigurationPage.h"
#include "app/DiagnosticPage.h"
#include "app/InformationPage.h"
#include "app/ProgSettings.h"
#include "device/TransducerController.h"
#include "rbcontrols/RbStyleManager.h"

TDevicePages::TDevicePages(TTransducerController& ctrl, TProgSettings& settings, ILookServices& look,
                           TDueDateWarnings& warnings, QWidget* parent)
    : QTabWidget(parent)
    , m_ctrl(ctrl)
{
    setObjectName(QStringLiteral("MainPageCtrl"));
    setAccessibleName(QStringLiteral("Страницы"));
    TDeviceSession& s = ctrl.Session();
    m_tsInformation = new TInformationPage(ctrl, settings, this);
    addTab(m_tsInformation, QStringLiteral("Информация"));
    m_tsConfiguration = new TConfigurationPage(ctrl, look, this);
    addTab(m_tsConfiguration, QStringLiteral("Конфигурация"));
    m_tsCalobration = new TCalibrationPage(ctrl, this);
    addTab(m_tsCalobration, QStringLiteral("Настройка"));
    setTabToolTip(2, QStringLiteral(" Калибровка "));
    m_calibrationMeter = new TCalibrationMeter(*m_tsCalobration, s, settings.Instruments, warnings);
    m_tsDiagnostic = new TDiagnosticPage(ctrl, this);
    addTab(m_tsDiagnostic, QStringLiteral("Диагностика "));
    connect(m_tsCalobration, &TCalibrationPage::calibrDateChanged, m_tsDiagnostic, &TDiagnosticPage::SetCalibrDateText);
    FollowController();
}

void TDevicePages::SetStyleManager(TRbStyleManager* manager)
{
    m_tsInformation->SetStyleManager(manager);
    m_tsConfiguration->SetStyleManager(manager);
    m_tsCalobration->SetStyleManager(manager);
    m_calibrationMeter->btnReadMeter->SetRbStyleManager(manager);
    m_tsDiagnostic->SetStyleManager(manager);
}

void TDevicePages::FollowController()
{
    TTransducerController* c = &m_ctrl;
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
        if (m_ctrl.IsConnected() && !s.State.DiagRunning)
            m_ctrl.PollDiagnostics(); // the one-shot calibration-date read
        m_tsCalobration->ClearStage();
        m_tsDiagnostic->ClearDiagInfo();
    });
    connect(c, &TTransducerController::connected, this,
            [this, &s] { m_keptEdits.OfferBack(s, *m_tsInformation, *m_tsConfiguration); });
    connect(c, &TTransducerController::disconnecting, this, [this, &s] {
        m_keptEdits.Keep(s, *m_tsInformation, *m_tsConfiguration);
        if (s.State.DiagRunning)
            m_ctrl.StopDiagnostics();
        if (s.State.CalibrStage != 0)
            m_ctrl.CancelCalibration();
    });
    connect(c, &TTransducerController::disconnected, this, [this] {
        ClearDeviceFields();
        // A stage lost with its device leaves no stage to continue.
        m_tsCalobration->ResetToIdle();
    });
}

void TDevicePages::ClearDeviceFields()
{
    const TDeviceSession& s = m_ctrl.Session();
    m_tsInformation->ClearFields();
    m_tsConfiguration->ClearFields();
    m_tsDiagnostic->ClearIndicators();
    if (s.State.CalibrStage != 0)
        m_ctrl.CancelCalibration();
    if (s.State.DiagRunning)
        m_ctrl.StopDiagnostics();
}
