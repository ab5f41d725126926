#pragma once

#include "app/CalibrationPage.h"
#include "app/CalibrationMeter.h"
#include "rbcontrols/ColorScheme.h"
#include "device/TransducerController.h"
#include "app/DiagnosticPage.h"
#include "app/KeptEdits.h"
#include "app/LookServices.h"
#include "link/MessageDialog.h"
#include "link/SerialDevice.h"
#include "app/ProgSettings.h"
#include "rbcontrols/RbStyleEditor.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>


class ITickSource;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class TCommPortDriver;
class TIniFile;
class TfrmAbout;
class TfrmCOMChoice;
class TfrmMessage;
class TfrmViewStatus;
class TfrmVerification;
class TVerificationInstruments;
class TInformationPage;
class TConfigurationPage;
class TfrmConnect;
class TfrmSettings;
class TfrmMain;
class TConfigProfileActions;
class TRecords;
class TPassport;

// What the main window is built on. The defaults make the program; tests
// pass a virtual clock, a scripted port, a folder of their own and answer the
// modal COM-port choice themselves.
struct TMainWindowOptions {
    ITickSource* ticks = nullptr;            // default: the system tick counter
    std::unique_ptr<ISerialDevice> device;   // default: the platform's serial backend
    QString exePath;                         // default: the running executable
    QString userConfigDir;                   // default: $XDG_CONFIG_HOME/zelkor
    // The modal COM-port choice; false when it ended with Cancel.
    std::function<bool(TfrmMain&)> chooseComPort;
    // The platform's standard error box (a colour scheme that does not load).
    std::function<void(const QString&)> errorBox;
    // Create and install the program's message dialog (tests install their own).
    bool ownMessageDialog = true;
    // The colour-scheme editor's colour, font and file dialogs.
    TStyleEditorDialogs styleEditorDialogs;
    // The journal of the transducers; default: $XDG_DATA_HOME/zelkor/history.sqlite.
    QString historyPath;
};

// The program's window: it composes the transducer controller, the pages,
// menu, toolbar and status bar. Its creation runs the start-up sequence.
class TfrmMain : public QMainWindow, public ILookServices, public IColorSchemeHost, private ITransducerPrompts {
    Q_OBJECT
public:
    explicit TfrmMain(TMainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TTransducerController& Controller() const { return *m_ctrl; }
    void DisconnectDevice() { m_ctrl->Disconnect(); }
    bool AskToConnect() { return m_ctrl->AskToConnect(); }

    bool IsConnected() const { return m_ctrl->IsConnected(); }
    void ConnectDevice() { m_ctrl->Connect(); }
    void SearchFirstDevice() { m_ctrl->SearchFirstDevice(); }

    // ILookServices
    void ShowPlatformError(const QString& text) override;
    void AdoptSchemeLook(QWidget* window) override;
    void AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>& styled,
                         const QList<QWidget*>& workArea) override;

    // What a disconnect empties on the pages.
    void ClearDeviceFields();
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

    // Colour scheme: load, apply and carry the work-area colour to the windows.
    bool LoadColorScheme(const QString& path, QString* error);
    void ApplySchemeColors();
    // A window (or control) that takes the work-area colour from now on;
    // the other windows register themselves when they are created.
    void AddSchemeColorWidget(QWidget* widget);
    void AddSchemeProgressBar(TRbProgressBar* bar);

    // IColorSchemeHost
    TRbStyleManager& StyleManager() override { return *m_styleManager; }
    TColor FormColor() const override { return m_formColor; }
    void SetFormColor(TColor c) override { m_formColor = c; }
    void SetSchemeFileName(const QString& fileName) override { m_settings.ColorShema = fileName; }
    QList<QWidget*> SchemeColorWidgets() override;
    QList<TRbProgressBar*> SchemeProgressBars() override;
    void CreateStyleEditor() override;
    // The colour-scheme editor, made on first use.
    TFStyleEditor* EnsureStyleEditor();
    void SetEditorStylePath(const QString& path) override;
    QString ProgramDir() const override { return m_settings.ProgDir; }
    bool SettingsWindowExists() const override { return m_settingsDialog != nullptr; }
    void EnsureSettingsWindow() override { SettingsDialog(); }
    void ShowSchemeError(const QString& text) override { ShowPlatformError(text); }
    // The colour-scheme editor made by the last LoadColorScheme.
    TFStyleEditor* StyleEditor() const { return m_styleEditor; }

    // The window's image list (32 x 32): 0 start, 1 stop, 2 colours,
    // 3 connect, 4 disconnect, 5 settings, 6 COM port, 7 find first,
    // 8 read, 9 write, 10 indicator style, 11 exit, 12 about.
    static QIcon ImageListIcon(int index);
    static constexpr int kImageCount = 13;

    // Indicator styles: read at start-up, written at close, edited in their dialog.
    void ApplyIndicatorStyles();
    void WriteIndicatorStyles(TIniFile& ini);
    void ShowIndicatorStyleDialog(); // actIndView

    // Action handlers.
    void actProgSetExecute();
    void actConnectExecute();
    void actCOMSetExecute();
    void actFindFirstExecute();
    void actIndViewExecute();
    void actColorsExecute();
    void FileExitExecute();
    void actAboutExecute();
    void actViewToolBarExecute();
    void actVerifyExecute();
    // The idle update of actConnect and actViewToolBar.
    void UpdateActions();

    // The status window and the COM-port choice, created on first use and kept.
    TfrmViewStatus* ViewStatus();
    TfrmCOMChoice* COMChoice();
    // Installs the program's message dialog unless one is there (see options).
    void EnsureMessageDialog();

    QString StatusPanelText(int index) const;
    bool StartupCutShort() const { return m_startupCutShort; }

    // What the window holds, for the program entry and tests.
    TDeviceSession& Session() { return m_ctrl->Session(); }
    TProgSettings& Settings() { return m_settings; }
    TCommPortDriver* cpDRV() const { return m_ctrl->Driver(); }
    QTimer* DiagnosticsTimer() const { return m_ctrl->DiagnosticsTimer(); }
    QTabWidget* MainPageCtrl() const { return m_mainPageCtrl; }
    TInformationPage* tsInformation() const { return m_tsInformation; }
    TConfigurationPage* tsConfiguration() const { return m_tsConfiguration; }
    TCalibrationPage* tsCalobration() const { return m_tsCalobration; }
    TDiagnosticPage* tsDiagnostic() const { return m_tsDiagnostic; }
    TCalibrationMeter* CalibrationMeter() const { return m_calibrationMeter; }
    TDueDateWarnings& DueDateWarnings() { return m_dueDateWarnings; }
    TRecords* Records() const { return m_records; }
    TPassport* Passport() const { return m_passport; }

    static constexpr int kClientWidth = 583;
    static constexpr int kClientHeight = 367;
    static constexpr int kToolBarHeight = 42;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void CreateActions();
    void CreateMenu();
    void CreateToolBar();
    void CreatePages();
    void CreateStatusBar();
    void ConnectController();
    void SetConnectAction(bool open);
    void ShowToolBar(bool visible);
    bool ChooseComPort() override { return ShowCOMChoice(); }

    TTransducerController* m_ctrl = nullptr;
    TProgSettings m_settings;
    QString m_colorSchemePath;
    TRbStyleManager* m_styleManager = nullptr; // styles every skinned control of the program

    QToolBar* ActionToolBar1 = nullptr;
    QTabWidget* m_mainPageCtrl = nullptr;
    TInformationPage* m_tsInformation = nullptr;
    TConfigurationPage* m_tsConfiguration = nullptr;
    TCalibrationPage* m_tsCalobration = nullptr;
    TDiagnosticPage* m_tsDiagnostic = nullptr;
    TCalibrationMeter* m_calibrationMeter = nullptr; // the reference instruments at stages 1 to 6
    TDueDateWarnings m_dueDateWarnings;                // an overdue certificate is named once a run

    QAction* actProgSet = nullptr;
    QAction* actConnect = nullptr;
    QAction* actCOMSet = nullptr;
    QAction* actFindFirst = nullptr;
    QAction* actIndView = nullptr;
    QAction* actColors = nullptr;
    QAction* FileExit = nullptr;
    QAction* actAbout = nullptr;
    QAction* actViewToolBar = nullptr;
    QAction* actHelp = nullptr; // "Справка": no action behind it
    QAction* actTrend = nullptr;    // "График измерений"
    QAction* actExchange = nullptr; // "Обмен с прибором"
    QAction* actVerify = nullptr;   // "Проверка преобразователя"
    TConfigProfileActions* m_profileActions = nullptr; // saving and loading configuration profiles
    TRecords* m_records = nullptr;  // trend, exchange monitor, calibration protocol
    TPassport* m_passport = nullptr; // journal of the transducers, certificates
    QAction* actJournal = nullptr;   // "Журнал приборов"

    TMainWindowOptions m_options;
    QLabel* m_panels[4] = {};
    TfrmViewStatus* m_viewStatus = nullptr;
    TfrmAbout* m_about = nullptr;
    TfrmMessage* m_messageDialog = nullptr;
    TfrmCOMChoice* m_comChoice = nullptr;
    TfrmConnect* m_connect = nullptr;
    TfrmSettings* m_settingsDialog = nullptr;
    TfrmVerification* m_verification = nullptr;
    TVerificationInstruments* m_verifyInstruments = nullptr; // with the window
    QPointer<TFStyleEditor> m_styleEditor;
    QString m_editorStylePath; // for an editor made later
    bool m_closed = false;
    TColor m_formColor = clBtnFace;
    QList<QPointer<QWidget>> m_schemeWidgets;
    QList<QPointer<TRbProgressBar>> m_schemeBars;
    bool m_startupCutShort = false;
    TKeptEdits m_keptEdits; // unsaved page edits over a lost link
};
