// The main window's actions, its closing and activation, and the dialogs it
// keeps for the pages.
#include "app/MainWindow.h"

#include "app/AboutFrm.h"
#include "app/CalibrationPage.h"
#include "app/ConfigProfileActions.h"
#include "app/ConfigurationPage.h"
#include "app/ConnectFrm.h"
#include "app/DeferredMessageDialog.h"
#include "app/IndicatorStyles.h"
#include "app/InformationPage.h"
#include "app/MessageFrm.h"
#include "app/Passport.h"
#include "app/Records.h"
#include "app/SearchProgress.h"
#include "app/SetFrm.h"
#include "app/VerificationFrm.h"
#include "app/VerificationInstruments.h"
#include "app/ViewStatusFrm.h"
#include "rbcontrols/RbStyleManager.h"
#include "common/IniFile.h"
#include "device/Information.h"

#include <QAction>
#include <QCloseEvent>
#include <QToolBar>

namespace {

const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");

} // namespace

void TfrmMain::CreateActions()
{
    m_menu = new TMainMenu(*this);
    TMainMenu& m = *m_menu;
    connect(m.actTrend, &QAction::triggered, this, [this] { m_records->ShowTrend(); });
    connect(m.actExchange, &QAction::triggered, this, [this] { m_records->ShowMonitor(); });
    connect(m.actJournal, &QAction::triggered, this, [this] {
        m_passport->SaveFileName = m_records->SaveFileName;
        m_passport->ShowJournal();
    });
    // Before or after a calibration as the calibration page offers it.
    connect(m.actVerify, &QAction::triggered, this, [this] { ShowVerification(tsCalobration()->VerifyOffer()); });
    m_profileActions = new TConfigProfileActions(*this, *m_ctrl);

    connect(m.actProgSet, &QAction::triggered, this, [this] { SettingsDialog()->exec(); });
    connect(m.actConnect, &QAction::triggered, this, &TfrmMain::actConnectExecute);
    connect(m.actCOMSet, &QAction::triggered, this, &TfrmMain::actCOMSetExecute);
    connect(m.actFindFirst, &QAction::triggered, this, [this] {
        SearchFirstDevice();
        UpdateActions();
    });
    connect(m.actIndView, &QAction::triggered, this, [this] { m_indicatorStyles->ShowDialog(); });
    connect(m.actColors, &QAction::triggered, this, &TfrmMain::actColorsExecute);
    connect(m.FileExit, &QAction::triggered, this, &TfrmMain::close);
    connect(m.actAbout, &QAction::triggered, this, &TfrmMain::actAboutExecute);
    connect(m.actViewToolBar, &QAction::triggered, this, &TfrmMain::actViewToolBarExecute);
}

void TfrmMain::UpdateActions()
{
    m_menu->SetConnectAction(IsConnected());
    m_menu->SetToolBarCaption(m_menu->ActionToolBar1->isVisibleTo(this));
}

void TfrmMain::ShowToolBar(bool visible)
{
    if (m_menu->ActionToolBar1->isVisibleTo(this) == visible)
        return;
    m_menu->ActionToolBar1->setVisible(visible);
    setFixedHeight(height() + (visible ? kToolBarHeight : -kToolBarHeight));
    m_menu->SetToolBarCaption(visible);
}

// ---------------------------------------------------------------- actions

TfrmVerification* TfrmMain::VerificationWindow()
{
    if (!m_verification) {
        m_verification = new TfrmVerification(*m_ctrl, m_settings, *m_look, this);
        m_verifyInstruments = new TVerificationInstruments(*m_verification, m_settings.Instruments, m_dueDateWarnings);
        m_verifyInstruments->btnAuto->SetRbStyleManager(&StyleManager());
    }
    return m_verification;
}

bool TfrmMain::ShowVerification(TVerifyStage stage, bool show)
{
    VerificationWindow();
    return m_verifyInstruments->Open(stage, show);
}

void TfrmMain::actConnectExecute()
{
    if (IsConnected())
        DisconnectDevice();
    else
        ConnectDialog()->exec();
    UpdateActions();
}

void TfrmMain::actCOMSetExecute()
{
    if (IsConnected()) {
        if (m_messages->Show(kAskDisconnect, mkConfirmation, mbYes | mbNo) != mrYes)
            return;
        DisconnectDevice();
    }
    ShowCOMChoice();
    UpdateActions();
}

void TfrmMain::actColorsExecute()
{
    TFStyleEditor* editor = EnsureStyleEditor();
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void TfrmMain::actAboutExecute()
{
    if (!m_about)
        m_about = new TfrmAbout(this);
    m_about->ShowAbout();
}

void TfrmMain::actViewToolBarExecute()
{
    const bool visible = !m_menu->ActionToolBar1->isVisibleTo(this);
    ShowToolBar(visible);
    m_settings.ViewToolBar = visible;
}

// ---------------------------------------------------------------- close, activation

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        m_closed = true;
        FormClose();
        emit closed();
    }
    event->accept();
}

void TfrmMain::FormClose()
{
    // A search running underneath must not go on scanning for minutes
    // behind a closed window: it ends after the address in progress.
    m_ctrl->RequestSearchStop();
    // Nothing here may keep the window open.
    try {
        tsInformation()->CommitPendingEdits(); // what the page shows is what a "Да" writes
        ConfirmSaveInformation(m_ctrl->Session(), [this] { tsInformation()->ShowInformation(); });
        tsConfiguration()->ConfirmSaveConfiguration();
        QString error;
        if (!SaveSettings(m_settings, m_ctrl->Session().Transducer.SlaveID, PortNumberFromName(),
                          [this](TIniFile& ini) { m_indicatorStyles->Write(ini); }, &error)) {
            // The window still closes, but the user learns the settings are lost.
            EnsureMessageDialog();
            m_messages->Show(error, mkError, mbOk);
        }
    } catch (...) {
    }
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        ApplySchemeColors();
        if (isActiveWindow()) {
            m_menu->ActionToolBar1->update();
            if (m_search->Existing() && m_search->Existing()->isVisible())
                m_search->Existing()->raise();
            if (m_messageDialog && m_messageDialog->isVisible())
                m_messageDialog->raise();
        }
    }
    QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------- dialogs

TfrmConnect* TfrmMain::ConnectDialog()
{
    if (!m_connect)
        m_connect = new TfrmConnect(*m_ctrl, *m_look, this);
    return m_connect;
}

TfrmSettings* TfrmMain::SettingsDialog()
{
    if (!m_settingsDialog)
    {
        m_settingsDialog = new TfrmSettings(m_settings, *m_ctrl, *m_look, this);
        connect(m_settingsDialog, &TfrmSettings::historyRecordingChanged, m_passport, &TPassport::SetRecording);
    }
    return m_settingsDialog;
}
