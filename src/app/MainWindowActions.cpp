// The main window's actions, menu and toolbar, its closing and activation,
// and the dialogs and services it gives the pages.
#include "app/MainWindow.h"
#include "app/PngResource.h"

#include "app/AboutFrm.h"
#include "app/CalibrationPage.h"
#include "link/CommPortDriver.h"
#include "app/ConfigProfileActions.h"
#include "app/ConfigurationPage.h"
#include "app/ConnectFrm.h"
#include "app/DiagnosticPage.h"
#include "indicator/IndStyle.h"
#include "indicator/IndStyleFrm.h"
#include "device/Information.h"
#include "app/InformationPage.h"
#include "common/IniFile.h"
#include "app/MessageFrm.h"
#include "app/Passport.h"
#include "app/Records.h"
#include "app/SetFrm.h"
#include "app/VerificationFrm.h"
#include "app/VerificationInstruments.h"
#include "rbcontrols/RbStyleManager.h"
#include "app/ViewStatusFrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kConnectCaption = QStringLiteral("Установить соединение");
const QString kDisconnectCaption = QStringLiteral("Разорвать соединение");
const QString kHideToolBar = QStringLiteral("Убрать панель инструментов");
const QString kShowToolBar = QStringLiteral("Показать панель инструментов");
const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");

QAction* makeAction(QObject* owner, const QString& name, const QString& caption, const QString& category,
                    int image)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setToolTip(QString(caption).remove(QLatin1Char('&')));
    action->setProperty("category", category);
    action->setIconVisibleInMenu(false); // the menu shows text only
    if (image >= 0)
        action->setIcon(TfrmMain::ImageListIcon(image));
    return action;
}

} // namespace

QIcon TfrmMain::ImageListIcon(int index)
{
    if (index < 0 || index >= kImageCount)
        return {};
    return QIcon(PngResource(QStringLiteral(":/icons/image%1.png").arg(index, 2, 10, QLatin1Char('0'))));
}

void TfrmMain::CreateActions()
{
    const QString program = QStringLiteral("Программные");
    const QString comm = QStringLiteral("Коммуникационные");
    const QString view = QStringLiteral("Вид");
    actProgSet = makeAction(this, QStringLiteral("actProgSet"), QStringLiteral("Настройки"), program, 5);
    actConnect = makeAction(this, QStringLiteral("actConnect"), kConnectCaption, comm, 3);
    actCOMSet = makeAction(this, QStringLiteral("actCOMSet"), QStringLiteral("Выбор &COM-порта"), comm, 6);
    actFindFirst = makeAction(this, QStringLiteral("actFindFirst"), QStringLiteral("Найти первый"), comm, 7);
    actIndView = makeAction(this, QStringLiteral("actIndView"), QStringLiteral("Стиль индикаторов"), view, 10);
    actColors = makeAction(this, QStringLiteral("actColors"), QStringLiteral("Настройка цветов"), view, 2);
    FileExit = makeAction(this, QStringLiteral("FileExit"), QStringLiteral("Выход"), program, 11);
    actAbout = makeAction(this, QStringLiteral("actAbout"), QStringLiteral("О программе"), program, 12);
    actAbout->setToolTip(QString());
    actViewToolBar = makeAction(this, QStringLiteral("actViewToolBar"), kHideToolBar, view, -1);
    actTrend = makeAction(this, QStringLiteral("actTrend"), QStringLiteral("График измерений"), view, -1);
    actExchange = makeAction(this, QStringLiteral("actExchange"), QStringLiteral("Обмен с прибором"), view, -1);
    connect(actTrend, &QAction::triggered, this, [this] { m_records->ShowTrend(); });
    connect(actExchange, &QAction::triggered, this, [this] { m_records->ShowMonitor(); });
    actJournal = makeAction(this, QStringLiteral("actJournal"), QStringLiteral("Журнал приборов"), view, -1);
    connect(actJournal, &QAction::triggered, this, [this] {
        m_passport->SaveFileName = m_records->SaveFileName;
        m_passport->ShowJournal();
    });
    actVerify = makeAction(this, QStringLiteral("actVerify"), QStringLiteral("Проверка преобразователя"), program, -1);
    connect(actVerify, &QAction::triggered, this, &TfrmMain::actVerifyExecute);
    actHelp = new QAction(QStringLiteral("Справка"), this);
    actHelp->setObjectName(QStringLiteral("actHelp"));
    m_profileActions = new TConfigProfileActions(*this);

    connect(actProgSet, &QAction::triggered, this, &TfrmMain::actProgSetExecute);
    connect(actConnect, &QAction::triggered, this, &TfrmMain::actConnectExecute);
    connect(actCOMSet, &QAction::triggered, this, &TfrmMain::actCOMSetExecute);
    connect(actFindFirst, &QAction::triggered, this, &TfrmMain::actFindFirstExecute);
    connect(actIndView, &QAction::triggered, this, &TfrmMain::actIndViewExecute);
    connect(actColors, &QAction::triggered, this, &TfrmMain::actColorsExecute);
    connect(FileExit, &QAction::triggered, this, &TfrmMain::FileExitExecute);
    connect(actAbout, &QAction::triggered, this, &TfrmMain::actAboutExecute);
    connect(actViewToolBar, &QAction::triggered, this, &TfrmMain::actViewToolBarExecute);
}

void TfrmMain::CreateMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    bar->setFixedHeight(24);
    bar->setNativeMenuBar(false);
    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->addAction(actProgSet);
    file->addSeparator();
    file->addAction(m_profileActions->actSaveConfig);
    file->addAction(m_profileActions->actLoadConfig);
    file->addSeparator();
    file->addAction(FileExit);
    QMenu* view = bar->addMenu(QStringLiteral("Вид"));
    view->addAction(actIndView);
    view->addAction(actColors);
    view->addAction(actTrend);
    view->addAction(actExchange);
    view->addAction(actJournal);
    view->addSeparator();
    view->addAction(actViewToolBar);
    QMenu* calibration = bar->addMenu(QStringLiteral("Настройка"));
    calibration->addAction(actVerify);
    QMenu* link = bar->addMenu(QStringLiteral("Соединение"));
    link->addAction(actConnect);
    link->addAction(actFindFirst);
    link->addSeparator();
    link->addAction(actCOMSet);
    QMenu* help = bar->addMenu(QStringLiteral("Помощь"));
    help->addAction(actHelp);
    help->addAction(actAbout);
}

void TfrmMain::CreateToolBar()
{
    ActionToolBar1 = new QToolBar(this);
    ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->toggleViewAction()->setEnabled(false); // no context menu to hide it behind the action's back
    ActionToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ActionToolBar1->setIconSize(QSize(32, 32));
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ActionToolBar1->setFixedHeight(kToolBarHeight);
    ActionToolBar1->addAction(actProgSet);
    ActionToolBar1->addAction(actCOMSet);
    ActionToolBar1->addAction(actConnect);
    ActionToolBar1->addAction(actFindFirst);
    ActionToolBar1->addAction(FileExit);
    addToolBar(Qt::TopToolBarArea, ActionToolBar1);
}

void TfrmMain::SetConnectAction(bool open)
{
    const QString caption = open ? kDisconnectCaption : kConnectCaption;
    actConnect->setText(caption);
    actConnect->setToolTip(caption);
    actConnect->setIcon(ImageListIcon(open ? 4 : 3));
}

void TfrmMain::UpdateActions()
{
    SetConnectAction(IsConnected());
    const QString caption = ActionToolBar1->isVisibleTo(this) ? kHideToolBar : kShowToolBar;
    actViewToolBar->setText(caption);
    actViewToolBar->setToolTip(caption);
}

void TfrmMain::ShowToolBar(bool visible)
{
    if (ActionToolBar1->isVisibleTo(this) == visible)
        return;
    ActionToolBar1->setVisible(visible);
    setFixedHeight(height() + (visible ? kToolBarHeight : -kToolBarHeight));
    const QString caption = visible ? kHideToolBar : kShowToolBar;
    actViewToolBar->setText(caption);
    actViewToolBar->setToolTip(caption);
}

// ---------------------------------------------------------------- actions

void TfrmMain::actProgSetExecute()
{
    SettingsDialog()->exec();
}

TfrmVerification* TfrmMain::VerificationWindow()
{
    if (!m_verification) {
        m_verification = new TfrmVerification(*m_ctrl, m_settings, *this, this);
        m_verifyInstruments = new TVerificationInstruments(*m_verification, m_settings.Instruments, m_dueDateWarnings);
        m_verifyInstruments->btnAuto->SetRbStyleManager(m_styleManager);
    }
    return m_verification;
}

bool TfrmMain::ShowVerification(TVerifyStage stage, bool show)
{
    TfrmVerification* w = VerificationWindow();
    // The instruments are named in the result, so they come first.
    m_verifyInstruments->Attach();
    if (!w->Prepare(stage)) {
        m_verifyInstruments->Detach();
        return false;
    }
    m_verifyInstruments->ShowHint();
    if (show) {
        w->exec();
        m_verifyInstruments->Detach();
    }
    return true;
}

// Before or after a calibration as the calibration page offers it.
void TfrmMain::actVerifyExecute()
{
    ShowVerification(m_tsCalobration->VerifyOffer());
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
        if (MessageDlg(kAskDisconnect, mkConfirmation, mbYes | mbNo) != mrYes)
            return;
        DisconnectDevice();
    }
    ShowCOMChoice();
    UpdateActions();
}

void TfrmMain::actFindFirstExecute()
{
    SearchFirstDevice();
    UpdateActions();
}

void TfrmMain::actIndViewExecute()
{
    ShowIndicatorStyleDialog();
}

void TfrmMain::actColorsExecute()
{
    EnsureStyleEditor();
    m_styleEditor->show();
    m_styleEditor->raise();
    m_styleEditor->activateWindow();
}

void TfrmMain::FileExitExecute()
{
    close();
}

void TfrmMain::actAboutExecute()
{
    if (!m_about)
        m_about = new TfrmAbout(this);
    m_about->ShowAbout();
}

void TfrmMain::actViewToolBarExecute()
{
    const bool visible = !ActionToolBar1->isVisibleTo(this);
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
        m_tsInformation->CommitPendingEdits(); // what the page shows is what a "Да" writes
        ConfirmSaveInformation(m_ctrl->Session(), [this] { m_tsInformation->ShowInformation(); });
        m_tsConfiguration->ConfirmSaveConfiguration();
        QString error;
        if (!SaveSettings(m_settings, m_ctrl->Session().Transducer.SlaveID, PortNumberFromName(),
                          [this](TIniFile& ini) { WriteIndicatorStyles(ini); }, &error)) {
            // The window still closes, but the user learns the settings are lost.
            EnsureMessageDialog();
            MessageDlg(error, mkError, mbOk);
        }
    } catch (...) {
    }
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        ApplySchemeColors();
        if (isActiveWindow()) {
            ActionToolBar1->update();
            if (m_viewStatus && m_viewStatus->isVisible())
                m_viewStatus->raise();
            if (m_messageDialog && m_messageDialog->isVisible())
                m_messageDialog->raise();
        }
    }
    QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------- services and dialogs

namespace {

// The indicator style dialog, created once and kept with the window.
TfrmIndStyle* IndStyleDialog(TfrmMain& frm)
{
    if (auto* dlg = frm.findChild<TfrmIndStyle*>())
        return dlg;
    TDiagnosticPage* page = frm.tsDiagnostic();
    auto* dlg = new TfrmIndStyle(page->indT, page->indR, page->indCalibrDate, &frm);
    dlg->StyleFolder = UserSchemeFolder(frm.Settings().ProgDir);
    dlg->ShowError = [](const QString& text) { ::ShowError(text); };
    // Its buttons look like the message dialog's and follow the scheme.
    frm.AdoptSchemeLook(dlg->Panel1, {dlg->btnOk, dlg->btnCancel}, {});
    return dlg;
}

} // namespace

void TfrmMain::ApplyIndicatorStyles()
{
    IndStyleDialog(*this);
    // The file read at start-up; before the first save that may be a read-only copy.
    const QString fileName = m_settings.SourceFileName.isEmpty() ? m_settings.IniFileName : m_settings.SourceFileName;
    // A settings file refused at start is not read again: the styles keep their defaults.
    const TIniFile ini(fileName == m_settings.UnusableFile ? QString() : fileName);
    LoadIndicatorStyles(ini, *m_tsDiagnostic->indT, *m_tsDiagnostic->indR, *m_tsDiagnostic->indCalibrDate);
}

void TfrmMain::WriteIndicatorStyles(TIniFile& ini)
{
    ::WriteIndicatorStyles(ini, *m_tsDiagnostic->indT, *m_tsDiagnostic->indR, *m_tsDiagnostic->indCalibrDate);
}

TfrmConnect* TfrmMain::ConnectDialog()
{
    if (!m_connect)
        m_connect = new TfrmConnect(*m_ctrl, *this, this);
    return m_connect;
}

TfrmSettings* TfrmMain::SettingsDialog()
{
    if (!m_settingsDialog)
    {
        m_settingsDialog = new TfrmSettings(m_settings, *m_ctrl, *this, this);
        connect(m_settingsDialog, &TfrmSettings::historyRecordingChanged, m_passport, &TPassport::SetRecording);
    }
    return m_settingsDialog;
}

void TfrmMain::ShowIndicatorStyleDialog()
{
    // After a start-up cut short the dialog is made here, on first use.
    IndStyleDialog(*this)->ShowDialog();
}
