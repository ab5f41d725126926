#include "app/DiagnosticPage.h"

#include "common/Cp1251.h"
#include "device/TransducerController.h"
#include "link/CommPortDriver.h"
#include "link/MessageDialog.h"
#include "link/TickSource.h"
#include "indicator/LiquidIndicator.h"
#include "app/ImageList.h"
#include "rbcontrols/RbPanel.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kStartCaption = QStringLiteral("Начать измерения");
const QString kStopCaption = QStringLiteral("Завершить измерения");
const QString kNoFault = QStringLiteral("Неисправностей не обнаружено");

// A correction's outcome, which the engineer must get to read.
bool IsCorrectionResult(const QString& text)
{
    static const QStringList results = {QStringLiteral("Операция успешно выполнена."),
                                        QStringLiteral("Корректировка R0 сброшена."),
                                        QStringLiteral("Корркектировка НСХ сброшена.")};
    return results.contains(text);
}

QLabel* MakeSignLabel(const QString& text, int pointSize, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPointSize(pointSize);
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace

const QString TDiagnosticPage::AskCorrectR0 =
    QStringLiteral("Корректировка R0 изменит поправку, которую хранит преобразователь.\n\r"
                   "Датчик должен находиться при 0 °С (в тающем льду).\n\rВыполнить корректировку R0?");
const QString TDiagnosticPage::AskCorrectNSX =
    QStringLiteral("Корректировка НСХ изменит характеристику, которую хранит преобразователь.\n\r"
                   "Датчик должен находиться при известной температуре, далёкой от 0 °С.\n\r"
                   "Выполнить корректировку НСХ?");

QIcon TDiagnosticPage::StartPicture()
{
    return ImageListIcon(0);
}

QIcon TDiagnosticPage::StopPicture()
{
    return ImageListIcon(1);
}

TLiquidIndicator* TDiagnosticPage::MakeIndicator(const QString& name, int signs, int width, int height)
{
    auto* ind = new TLiquidIndicator(this);
    ind->setObjectName(name);
    ind->SetSignNumber(signs);
    ind->SetIndicatorWidth(width);
    ind->SetIndicatorHeight(height);
    return ind;
}

TDiagnosticPage::TDiagnosticPage(TTransducerController& ctrl, QWidget* parent)
    : QWidget(parent)
    , m_ctrl(ctrl)
    , m_session(ctrl.Session())
    , m_timer(ctrl.DiagnosticsTimer())
    , m_guard(new TPressGuard(m_session.link.ticks, this))
    , m_holdTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("tsDiagnostic"));

    // The two readouts on the left.
    lbT = MakeSignLabel(QStringLiteral("T"), 20, this);
    lbT->setGeometry(24, 20, 30, 40);
    indT = MakeIndicator(QStringLiteral("indT"), 5, 209, 49);
    indT->SetNumberForeColor(0x800080);
    indT->SetIndicatorStyle(isThick);
    indT->Loaded();
    indT->move(60, 16);
    indT->setAccessibleName(QStringLiteral("Температура"));
    indT->SetAccessibleUnit(QStringLiteral("°C"));
    lbTUnit = MakeSignLabel(QStringLiteral("°C"), 14, this);
    lbTUnit->setGeometry(276, 24, 44, 34);

    lbR = MakeSignLabel(QStringLiteral("R"), 20, this);
    lbR->setGeometry(24, 84, 30, 40);
    indR = MakeIndicator(QStringLiteral("indR"), 5, 209, 49);
    indR->SetNumberForeColor(0x800080);
    indR->SetNumberForeColor1(0x800000);
    indR->SetIndicatorStyle(isThick);
    indR->Loaded();
    indR->move(60, 80);
    indR->setAccessibleName(QStringLiteral("Сопротивление"));
    indR->SetAccessibleUnit(QStringLiteral("Ом"));
    lbRUnit = MakeSignLabel(QStringLiteral("Ом"), 14, this);
    lbRUnit->setGeometry(276, 88, 44, 34);

    // The commands on the right.
    btnBeginDiagnostics = new TSkinButton(this);
    btnBeginDiagnostics->setObjectName(QStringLiteral("btnBeginDiagnostics"));
    SetButtonCaption(btnBeginDiagnostics, QStringLiteral(" ") + kStartCaption);
    SetButtonGlyph(btnBeginDiagnostics, StartPicture());
    btnBeginDiagnostics->setGeometry(340, 16, 225, 49);
    btnCorrR0 = new TSkinButton(this);
    btnCorrR0->setObjectName(QStringLiteral("btnCorrR0"));
    SetButtonCaption(btnCorrR0, QStringLiteral("Корректировка R0"));
    btnCorrR0->setGeometry(340, 80, 225, 22);
    btnCorrNSX = new TSkinButton(this);
    btnCorrNSX->setObjectName(QStringLiteral("btnCorrNSX"));
    SetButtonCaption(btnCorrNSX, QStringLiteral("Корректировка НСХ"));
    btnCorrNSX->setGeometry(340, 107, 225, 22);

    // The state text and the calibration date below.
    RbPanel1 = new TRbPanel(this);
    RbPanel1->setObjectName(QStringLiteral("RbPanel1"));
    RbPanel1->SetCaption(QStringLiteral("Состояние самодиагностики: "));
    RbPanel1->SetCaptionPosition(cpGroupBox);
    RbPanel1->SetBounds(8, 142, 320, 100);
    lbDiagInf = new QLabel(RbPanel1);
    lbDiagInf->setObjectName(QStringLiteral("lbDiagInf"));
    lbDiagInf->setAlignment(Qt::AlignCenter);
    lbDiagInf->setWordWrap(true);
    lbDiagInf->setTextFormat(Qt::PlainText);
    auto* infoLayout = new QVBoxLayout(RbPanel1);
    infoLayout->setContentsMargins(8, 2, 8, 4);
    infoLayout->addWidget(lbDiagInf);

    RbPanel2 = new TRbPanel(this);
    RbPanel2->setObjectName(QStringLiteral("RbPanel2"));
    RbPanel2->SetCaption(QStringLiteral("Дата настройки: "));
    RbPanel2->SetCaptionPosition(cpGroupBox);
    RbPanel2->SetBounds(340, 142, 225, 100);
    indCalibrDate = new TLiquidIndicator(RbPanel2);
    indCalibrDate->setObjectName(QStringLiteral("indCalibrDate"));
    indCalibrDate->SetIndicatorWidth(132);
    indCalibrDate->SetIndicatorKind(ik5x7matrix);
    indCalibrDate->SetBackColor(0xD3D3D3);
    indCalibrDate->SetNumberForeColor(0x800000);
    indCalibrDate->Loaded();
    indCalibrDate->move(46, 38);
    indCalibrDate->setAccessibleName(QStringLiteral("Дата настройки"));

    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, &TDiagnosticPage::FlushHeldInfo);
    // A second click of a double-click must not start a second correction.
    m_guard->Guard(btnCorrR0);
    m_guard->Guard(btnCorrNSX);

    connect(btnBeginDiagnostics, &TRbButton::clicked, this, &TDiagnosticPage::btnBeginDiagnosticsClick);
    connect(btnCorrR0, &TRbButton::clicked, this, &TDiagnosticPage::btnCorrR0Click);
    connect(btnCorrNSX, &TRbButton::clicked, this, &TDiagnosticPage::btnCorrNSXClick);
    ctrl.SetDiagnosticsView(this);
}

TDiagnosticPage::~TDiagnosticPage()
{
    m_ctrl.SetDiagnosticsView(nullptr);
}

void TDiagnosticPage::SetStyleManager(IRbStyleRegistry* manager)
{
    for (TSkinButton* b : {btnBeginDiagnostics, btnCorrR0, btnCorrNSX})
        b->SetRbStyleManager(manager);
    RbPanel1->SetRbStyleManager(manager);
    RbPanel2->SetRbStyleManager(manager);
}

void TDiagnosticPage::ClearIndicators()
{
    indT->SetIndicatorText(QString());
    indR->SetIndicatorText(QString());
    indCalibrDate->SetIndicatorText(QString());
}

void TDiagnosticPage::ClearDiagInfo()
{
    SetDiagInfo(QString());
}

void TDiagnosticPage::SetTimerEnabled(bool enabled)
{
    if (enabled)
        m_timer->start();
    else
        m_timer->stop();
}

bool TDiagnosticPage::TimerEnabled() const
{
    return m_timer->isActive();
}

void TDiagnosticPage::SetRunningLook(bool running)
{
    SetButtonGlyph(btnBeginDiagnostics, running ? StopPicture() : StartPicture());
    SetButtonCaption(btnBeginDiagnostics, running ? kStopCaption : kStartCaption);
}

void TDiagnosticPage::SetTemperatureText(const QString& text)
{
    indT->SetIndicatorText(text);
}

QString TDiagnosticPage::TemperatureText() const
{
    return fromCp1251(indT->Indicatorstring());
}

void TDiagnosticPage::SetResistanceText(const QString& text)
{
    indR->SetIndicatorText(text);
}

void TDiagnosticPage::SetDiagInfo(const QString& text)
{
    ITickSource& ticks = m_session.link.ticks ? *m_session.link.ticks : SystemTicks();
    if (IsCorrectionResult(text)) {
        m_holdingResult = true;
        m_infoWaiting = false;
        m_resultShownAt = ticks.GetTickCount();
        m_holdTimer->start(int(kResultHoldMs));
    } else if (m_holdingResult && text == kNoFault) {
        // The routine state text of the next reading waits; a fault or an
        // emptied page (the mode ended) replaces the result at once.
        const uint32_t held = TicksSince(ticks.GetTickCount(), m_resultShownAt);
        if (held < kResultHoldMs) {
            m_waitingInfo = text;
            m_infoWaiting = true;
            return;
        }
        m_holdingResult = false;
    } else {
        m_holdingResult = false;
        m_infoWaiting = false;
        m_holdTimer->stop();
    }
    ShowDiagInfo(text);
}

void TDiagnosticPage::FlushHeldInfo()
{
    if (!m_holdingResult)
        return;
    ITickSource& ticks = m_session.link.ticks ? *m_session.link.ticks : SystemTicks();
    const uint32_t held = TicksSince(ticks.GetTickCount(), m_resultShownAt);
    if (held < kResultHoldMs) {
        m_holdTimer->start(int(kResultHoldMs - held));
        return;
    }
    m_holdingResult = false;
    if (m_infoWaiting) {
        m_infoWaiting = false;
        ShowDiagInfo(m_waitingInfo);
    }
}

void TDiagnosticPage::ShowDiagInfo(const QString& text)
{
    m_diagInfo = text;
    // The device texts break lines with CR LF; a label wants one LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    lbDiagInf->setText(shown);
}

void TDiagnosticPage::SetCalibrDateText(const QString& text)
{
    indCalibrDate->SetIndicatorText(text);
}

void TDiagnosticPage::btnBeginDiagnosticsClick()
{
    m_ctrl.ToggleDiagnostics();
}

bool TDiagnosticPage::ConfirmCorrection(const QString& question)
{
    // Without a device or the running mode the correction refuses with its own message.
    const bool wouldSend = m_ctrl.IsConnected() && m_ctrl.DiagnosticsRunning();
    return !wouldSend || m_ctrl.MessageDialog().Show(question, mkConfirmation, mbYes | mbNo) == mrYes;
}

void TDiagnosticPage::btnCorrR0Click()
{
    const TPressGuard::TBusy busy(*m_guard);
    if (ConfirmCorrection(AskCorrectR0))
        m_ctrl.CorrectR0(true);
}

void TDiagnosticPage::btnCorrNSXClick()
{
    const TPressGuard::TBusy busy(*m_guard);
    if (ConfirmCorrection(AskCorrectNSX))
        m_ctrl.CorrectNSX();
}

void TDiagnosticPage::DiagnosticsTimerTimer()
{
    m_ctrl.PollDiagnostics();
}
