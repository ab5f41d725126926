#pragma once

#include "CalibrationPage.h"
#include "ColorScheme.h"
#include "DeviceSession.h"
#include "DiagnosticPage.h"
#include "MessageDialog.h"
#include "SerialDevice.h"
#include "ProgSettings.h"

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
class TInformationPage;
class TConfigurationPage;
class TfrmConnect;
class TfrmSettings;
class TfrmMain;
class TRecords;

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
};

// The program's window: pages, menu, toolbar, status bar and the connection
// lifecycle. Its creation runs the start-up sequence.
class TfrmMain : public QMainWindow, public IDeviceShell, public IColorSchemeHost {
    Q_OBJECT
public:
    explicit TfrmMain(TMainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // IDeviceShell
    void SetStatusText(const QString& text) override;
    void ProcessEvents() override;
    void DisconnectDevice() override;
    void UpdateStatusBar() override;
    void ResetCalibrationStage() override;
    bool AskToConnect() override;
    void SetStatusPanel(int index, const QString& text) override;

    // Connection lifecycle.
    void ConnectDevice();
    bool IsConnected() const;
    void ClearDeviceFields();
    // The COM number in the driver's port name (characters 8 and 9); 0 when none.
    int PortNumberFromName() const;
    // Identification plus the page; the one entry the pages and the search use.
    TOutcome IdentifyDevice(int address);
    void ShowInformation();
    void SetInfoModified(bool flag);
    void SetConfigModified(bool flag);
    // The COM-port choice, modal; false when the user cancelled.
    bool ShowCOMChoice();
    // The platform's standard error box (the options' errorBox in tests).
    void ShowPlatformError(const QString& text);
    // The connect and settings dialogs, created on first use and kept.
    TfrmConnect* ConnectDialog();
    TfrmSettings* SettingsDialog();

    // Colour scheme: load, apply and carry the work-area colour to the windows.
    bool LoadColorScheme(const QString& path, QString* error);
    void ApplySchemeColors();
    // A window (or control) that takes the work-area colour from now on;
    // the other windows register themselves when they are created.
    void AddSchemeColorWidget(QWidget* widget);
    void AddSchemeProgressBar(TRbProgressBar* bar);

    // IColorSchemeHost
    TRbStyleManager& StyleManager() override { return *RbStyleManager; }
    TColor FormColor() const override { return m_formColor; }
    void SetFormColor(TColor c) override { m_formColor = c; }
    void SetSchemeFileName(const QString& fileName) override { Settings.ColorShema = fileName; }
    QList<QWidget*> SchemeColorWidgets() override;
    QList<TRbProgressBar*> SchemeProgressBars() override;

    // The window's image list (32 x 32): 0 start, 1 stop, 2 colours,
    // 3 connect, 4 disconnect, 5 settings, 6 COM port, 7 find first,
    // 8 read, 9 write, 10 indicator style, 11 exit, 12 about.
    static QIcon ImageListIcon(int index);
    static constexpr int kImageCount = 13;

    // ---- Places the configuration, calibration, diagnostics and search
    // ---- developers fill in. Each is called where the connection lifecycle
    // ---- needs it already.
    void ReadConfiguration();        // right after a successful identification
    void PollDiagnosticsOnce();      // the one-shot calibration-date read at connection
    void StopDiagnostics();          // DisconnectDevice / ClearDeviceFields while DiagRunning
    void CancelCalibration();        // DisconnectDevice / ClearDeviceFields while CalibrStage != 0
    void ClearOtherPages();          // ClearDeviceFields: configuration radios, spin fields, indicators
    void ClearConnectLabels();       // ConnectDevice: lbStage and lbDiagInf
    void ConfirmSaveConfiguration(); // at close, after ConfirmSaveInformation
    void SearchFirstDevice();        // actFindFirst, start-up with toFirst
    void ApplyIndicatorStyles();     // start-up step after the connection
    void WriteIndicatorStyles(TIniFile& ini); // SaveSettings at close: [IndTStyle] ...
    void cpDRVReceiveData(const uint8_t* data, int size); // the driver's OnReceiveData
    void ShowConnectDialog();        // actConnect while closed
    void ShowSettingsDialog();       // actProgSet
    void ShowIndicatorStyleDialog(); // actIndView

    // Action handlers.
    void actProgSetExecute();
    void actConnectExecute();
    void actCOMSetExecute();
    void actFindFirstExecute();
    void actIndViewExecute();
    void FileExitExecute();
    void actAboutExecute();
    void actViewToolBarExecute();
    // The idle update of actConnect and actViewToolBar.
    void UpdateActions();

    // The status window and the COM-port choice, created on first use and kept.
    TfrmViewStatus* ViewStatus();
    TfrmCOMChoice* COMChoice();
    // Installs the program's message dialog unless one is there (see options).
    void EnsureMessageDialog();

    QString StatusPanelText(int index) const;
    bool StartupCutShort() const { return m_startupCutShort; }

    TDeviceSession Session;
    TProgSettings Settings;
    TCommPortDriver* cpDRV = nullptr;
    QTimer* DiagnosticsTimer = nullptr; // 1000 ms, off; the diagnostics page drives it
    // Around a write or read: the diagnostics poll must not fall inside it.
    bool PauseDiagnosticsTimer();
    void ResumeDiagnosticsTimer(bool wasRunning);
    QString ColorSchemePath;
    TRbStyleManager* RbStyleManager = nullptr; // styles every skinned control of the program

    QToolBar* ActionToolBar1 = nullptr;
    QTabWidget* MainPageCtrl = nullptr;
    TInformationPage* tsInformation = nullptr;
    TConfigurationPage* tsConfiguration = nullptr;
    TCalibrationPage* tsCalobration = nullptr;
    TDiagnosticPage* tsDiagnostic = nullptr;

    QAction* actProgSet = nullptr;
    QAction* actConnect = nullptr;
    QAction* actCOMSet = nullptr;
    QAction* actFindFirst = nullptr;
    QAction* actIndView = nullptr;
    QAction* FileExit = nullptr;
    QAction* actAbout = nullptr;
    QAction* actViewToolBar = nullptr;
    QAction* actHelp = nullptr; // "Справка": no action behind it
    QAction* actTrend = nullptr;    // "График измерений"
    QAction* actExchange = nullptr; // "Обмен с прибором"
    TRecords* Records = nullptr;    // trend, exchange monitor, calibration protocol

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
    void SetConnectAction(bool open);
    void ShowToolBar(bool visible);
    QString OpenFailureText() const;

    TMainWindowOptions m_options;
    QLabel* m_panels[4] = {};
    TfrmViewStatus* m_viewStatus = nullptr;
    TfrmAbout* m_about = nullptr;
    TfrmMessage* m_messageDialog = nullptr;
    TfrmCOMChoice* m_comChoice = nullptr;
    TfrmConnect* m_connect = nullptr;
    TfrmSettings* m_settingsDialog = nullptr;
    bool m_closed = false;
    TColor m_formColor = clBtnFace;
    QList<QPointer<QWidget>> m_schemeWidgets;
    QList<QPointer<TRbProgressBar>> m_schemeBars;
    bool m_startupCutShort = false;
};
