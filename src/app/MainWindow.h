#pragma once

#include "app/DevicePages.h"
#include "app/MainMenu.h"
#include "app/MainWindowOptions.h"
#include "app/SchemeLook.h"
#include "app/SearchProgress.h"
#include "device/TransducerController.h"
#include "device/VerificationTypes.h"
#include "link/SerialDevice.h"
#include "app/LinkStatusBar.h"
#include "app/ProgSettings.h"
#include "rbcontrols/RbStyleEditor.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class ITickSource;
class QTimer;
class TCommPortDriver;
class TfrmAbout;
class TfrmCOMChoice;
class TDeferredMessageDialog;
class TfrmMessage;
class TfrmViewStatus;
class TfrmVerification;
class TVerificationInstruments;
class TfrmConnect;
class TfrmSettings;
class TfrmMain;
class TConfigProfileActions;
class TIndicatorStyles;
class TRecords;
class TPassport;
class TSearchProgress;

// The program's window: it composes the transducer controller, the pages,
// menu, toolbar and status bar. Its creation runs the start-up sequence.
class TfrmMain : public QMainWindow, private ITransducerPrompts {
    Q_OBJECT
public:
    explicit TfrmMain(TMainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TTransducerController& Controller() const { return *m_ctrl; }
    TSchemeLook& Look() const { return *m_look; }
    TMainMenu& Menu() const { return *m_menu; }
    void DisconnectDevice() { m_ctrl->Disconnect(); }
    bool AskToConnect() { return m_ctrl->AskToConnect(); }
    bool IsConnected() const { return m_ctrl->IsConnected(); }
    void ConnectDevice() { m_ctrl->Connect(); }
    void SearchFirstDevice() { m_ctrl->SearchFirstDevice(); }
    void ClearDeviceFields() { m_pages->ClearDeviceFields(); }
    int PortNumberFromName() const { return m_ctrl->PortNumber(); }
    void SetInfoModified(bool flag) { m_ctrl->SetInfoModified(flag); }
    void SetConfigModified(bool flag) { m_ctrl->SetConfigModified(flag); }

    // The COM-port choice, modal; false when the user cancelled.
    bool ShowCOMChoice();
    // The connect and settings dialogs, created on first use and kept.
    TfrmConnect* ConnectDialog();
    TfrmSettings* SettingsDialog();
    // "Проверка преобразователя", created on first use and kept.
    TfrmVerification* VerificationWindow();
    TVerificationInstruments* VerificationInstruments() { VerificationWindow(); return m_verifyInstruments; }
    // Opens it on a new verification; `show` false leaves it prepared, not shown (tests).
    bool ShowVerification(TVerifyStage stage, bool show = true);

    // The colour scheme, as the look holds it.
    bool LoadColorScheme(const QString& path, QString* error) { return m_look->LoadColorScheme(path, error); }
    void ApplySchemeColors() { m_look->ApplySchemeColors(); }
    TRbStyleManager& StyleManager() { return m_look->StyleManager(); }
    TColor FormColor() const { return m_look->FormColor(); }
    TFStyleEditor* EnsureStyleEditor() { return m_look->EnsureStyleEditor(); }
    TFStyleEditor* StyleEditor() const { return m_look->StyleEditor(); }
    bool SettingsWindowExists() const { return m_settingsDialog != nullptr; }

    // The idle update of actConnect and actViewToolBar.
    void UpdateActions();

    // The status window and the COM-port choice, created on first use and kept.
    TfrmViewStatus* ViewStatus() { return m_search->ViewStatus(); }
    TfrmCOMChoice* COMChoice();
    // Installs the program's message dialog unless one is there (see options).
    void EnsureMessageDialog();

    QString StatusPanelText(int index) const { return m_statusBar->PanelText(index); }
    bool StartupCutShort() const { return m_startupCutShort; }

    // What the window holds, for the program entry and tests.
    TDeviceSession& Session() { return m_ctrl->Session(); }
    TProgSettings& Settings() { return m_settings; }
    TCommPortDriver* cpDRV() const { return m_ctrl->Driver(); }
    QTimer* DiagnosticsTimer() const { return m_ctrl->DiagnosticsTimer(); }
    TDevicePages* MainPageCtrl() const { return m_pages; }
    TInformationPage* tsInformation() const { return m_pages->tsInformation(); }
    TConfigurationPage* tsConfiguration() const { return m_pages->tsConfiguration(); }
    TCalibrationPage* tsCalobration() const { return m_pages->tsCalobration(); }
    TDiagnosticPage* tsDiagnostic() const { return m_pages->tsDiagnostic(); }
    TCalibrationMeter* CalibrationMeter() const { return m_pages->CalibrationMeter(); }
    TDueDateWarnings& DueDateWarnings() { return m_dueDateWarnings; }
    TRecords* Records() const { return m_records; }
    TPassport* Passport() const { return m_passport; }

    static constexpr int kClientWidth = 583;
    static constexpr int kClientHeight = 367;
    static constexpr int kToolBarHeight = TMainMenu::kToolBarHeight;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateActions();
    void CreatePages();
    void ConnectController();
    void ShowToolBar(bool visible);
    void actConnectExecute();
    void actCOMSetExecute();
    void actColorsExecute();
    void actAboutExecute();
    void actViewToolBarExecute();
    bool ChooseComPort() override { return ShowCOMChoice(); }
    int EnterValue(const QString& prompt, double& value, double defaultValue) override;

    TTransducerController* m_ctrl = nullptr;
    TProgSettings m_settings;
    TSchemeLook* m_look = nullptr;
    TMainMenu* m_menu = nullptr;
    TDevicePages* m_pages = nullptr;
    TLinkStatusBar* m_statusBar = nullptr;
    TSearchProgress* m_search = nullptr;
    std::unique_ptr<TIndicatorStyles> m_indicatorStyles;
    TDueDateWarnings m_dueDateWarnings; // an overdue certificate is named once a run
    TConfigProfileActions* m_profileActions = nullptr; // saving and loading configuration profiles
    TRecords* m_records = nullptr;  // trend, exchange monitor, calibration protocol
    TPassport* m_passport = nullptr; // journal of the transducers, certificates

    TMainWindowOptions m_options;
    TfrmAbout* m_about = nullptr;
    TfrmMessage* m_messageDialog = nullptr;
    TDeferredMessageDialog* m_messages = nullptr; // the options' dialog, or that one once needed
    TfrmCOMChoice* m_comChoice = nullptr;
    TfrmConnect* m_connect = nullptr;
    TfrmSettings* m_settingsDialog = nullptr;
    TfrmVerification* m_verification = nullptr;
    TVerificationInstruments* m_verifyInstruments = nullptr; // with the window
    bool m_closed = false;
    bool m_startupCutShort = false;
};
