#include "app/CalibrationPage.h"

#include "app/AccessibleNames.h"
#include "device/TransducerController.h"
#include "rbcontrols/RbPanel.h"

#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

const QString TCalibrationPage::EmptyDateText = QStringLiteral("  .  .    ");

namespace {

constexpr int kStepCount = 8;
const QString kFinished = QStringLiteral("Настройка успешно завершена");

} // namespace

TCalibrationPage::TCalibrationPage(TTransducerController& ctrl, QWidget* parent)
    : QWidget(parent)
    , m_ctrl(ctrl)
    , m_session(ctrl.Session())
    , m_guard(new TPressGuard(m_session.link.ticks, this))
{
    setObjectName(QStringLiteral("tsCalobration"));

    pnCalibr = new TRbPanel(this);
    pnCalibr->setObjectName(QStringLiteral("pnCalibr"));
    pnCalibr->SetShowCaption(false);
    pnCalibr->setGeometry(8, 8, 559, 112);
    lbStage = new QLabel(pnCalibr);
    lbStage->setObjectName(QStringLiteral("lbStage"));
    lbStage->setAlignment(Qt::AlignCenter);
    lbStage->setWordWrap(true);
    lbStage->setTextFormat(Qt::PlainText);
    QFont bold = lbStage->font();
    bold.setBold(true);
    lbStage->setFont(bold);
    auto* stageLayout = new QVBoxLayout(pnCalibr);
    stageLayout->setContentsMargins(12, 8, 12, 8);
    stageLayout->addWidget(lbStage);
    SetStageColor(scGreen);
    pnCalibr->setAccessibleName(QStringLiteral("Ход настройки"));

    lbStep = new QLabel(this);
    lbStep->setObjectName(QStringLiteral("lbStep"));
    lbStep->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbStep->setGeometry(427, 120, 140, 16);
    lbStep->setAccessibleName(QStringLiteral("Шаг настройки"));

    lbCalibrCur = new QLabel(QStringLiteral("Измеряемый ток:"), this);
    lbCalibrCur->setObjectName(QStringLiteral("lbCalibrCur"));
    lbCalibrCur->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbCalibrCur->setGeometry(120, 136, 140, 24);
    rseCalibrCur = new QDoubleSpinBox(this);
    rseCalibrCur->setObjectName(QStringLiteral("rseCalibrCur"));
    rseCalibrCur->setDecimals(3);
    rseCalibrCur->setSingleStep(0.01);
    rseCalibrCur->setRange(-99999.999, 99999.999); // no limits of its own: the stage decides
    rseCalibrCur->setGeometry(266, 136, 110, 24);
    NameByLabel(rseCalibrCur, lbCalibrCur);

    lbCalibrNewDate = new QLabel(QStringLiteral("Дата:"), this);
    lbCalibrNewDate->setObjectName(QStringLiteral("lbCalibrNewDate"));
    lbCalibrNewDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbCalibrNewDate->setGeometry(120, 136, 140, 24);
    meCalibrNewDate = new QLineEdit(this);
    meCalibrNewDate->setObjectName(QStringLiteral("meCalibrNewDate"));
    meCalibrNewDate->setInputMask(QStringLiteral("99.99.9999; "));
    meCalibrNewDate->setMaxLength(10);
    meCalibrNewDate->setText(QString());
    meCalibrNewDate->setGeometry(266, 136, 90, 24);
    lbCalibrNewDate->setBuddy(meCalibrNewDate);
    meCalibrNewDate->setAccessibleName(QStringLiteral("Дата настройки"));

    btnBeginCalibr = new TSkinButton(this);
    btnBeginCalibr->setObjectName(QStringLiteral("btnBeginCalibr"));
    SetButtonCaption(btnBeginCalibr, QStringLiteral("Начать настройку"));
    btnBeginCalibr->setGeometry(146, 172, 136, 30);
    btnCancelCalibr = new TSkinButton(this);
    btnCancelCalibr->setObjectName(QStringLiteral("btnCancelCalibr"));
    SetButtonCaption(btnCancelCalibr, QStringLiteral("Отмена"));
    btnCancelCalibr->setGeometry(294, 172, 136, 30);
    btnSaveProtocol = new TSkinButton(this);
    btnSaveProtocol->setObjectName(QStringLiteral("btnSaveProtocol"));
    SetButtonCaption(btnSaveProtocol, QStringLiteral("Сохранить протокол..."));
    btnSaveProtocol->setGeometry(294, 172, 160, 30);
    btnSaveProtocol->hide();
    connect(&ctrl, &TTransducerController::calibrationProtocolAvailable, this, [this](bool available) {
        btnSaveProtocol->setVisible(available);
        UpdateVerifyOffer();
    });
    btnVerify = new TSkinButton(this);
    btnVerify->setObjectName(QStringLiteral("btnVerify"));
    btnVerify->setGeometry(146, 214, 284, 28);
    connect(btnVerify, &TRbButton::clicked, this, [this] {
        emit verifyRequested(VerifyOffer());
    });
    connect(&m_session.events, &TDeviceEvents::calibrationCancelled, this, [this] { UpdateVerifyOffer(); });
    connect(&m_session.events, &TDeviceEvents::disconnected, this, [this] { UpdateVerifyOffer(); });
    connect(&ctrl, &TTransducerController::calibrationStageDone, this, [this] { UpdateVerifyOffer(); });
    UpdateVerifyOffer();
    connect(btnSaveProtocol, &TRbButton::clicked, this, [this] {
        if (m_ctrl.HasCalibrationProtocol())
            emit protocolSaveRequested(m_ctrl.LastCalibration());
    });

    for (QWidget* w : {static_cast<QWidget*>(lbCalibrCur), static_cast<QWidget*>(rseCalibrCur),
                       static_cast<QWidget*>(lbCalibrNewDate), static_cast<QWidget*>(meCalibrNewDate),
                       static_cast<QWidget*>(btnCancelCalibr)})
        w->hide();

    rseCalibrCur->installEventFilter(this);
    meCalibrNewDate->installEventFilter(this);
    connect(rseCalibrCur, &QDoubleSpinBox::valueChanged, this, [this] { m_currentEdited = true; });
    connect(meCalibrNewDate, &QLineEdit::textEdited, this, [this] { m_dateEdited = true; });
    // A press queued behind a stage's exchange, or the second click of a
    // double-click, would carry out the next stage without its instruction read.
    m_guard->Guard(btnBeginCalibr);
    connect(btnBeginCalibr, &TRbButton::clicked, this, &TCalibrationPage::btnBeginCalibrClick);
    connect(btnCancelCalibr, &TRbButton::clicked, this, &TCalibrationPage::btnCancelCalibrClick);
    ctrl.SetCalibrationView(this);
}

TCalibrationPage::~TCalibrationPage()
{
    m_ctrl.SetCalibrationView(nullptr);
}

bool TCalibrationPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box taking the focus is no exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && (watched == rseCalibrCur || watched == meCalibrNewDate)) {
            // The exit may show a modal message; run inside the mouse press
            // that moved the focus, it would take the release with it.
            (watched == rseCalibrCur ? m_currentExitPending : m_dateExitPending) = true;
            QMetaObject::invokeMethod(this, [this] { RunPendingExits(); }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCalibrationPage::SetStyleManager(IRbStyleRegistry* manager)
{
    pnCalibr->SetRbStyleManager(manager);
    btnBeginCalibr->SetRbStyleManager(manager);
    btnCancelCalibr->SetRbStyleManager(manager);
    btnSaveProtocol->SetRbStyleManager(manager);
    btnVerify->SetRbStyleManager(manager);
}

void TCalibrationPage::ClearStage()
{
    lbStage->clear();
    UpdateVerifyOffer();
    UpdateStep();
}

TVerifyStage TCalibrationPage::VerifyOffer() const
{
    const int stage = m_session.State.CalibrStage;
    if (stage == 1)
        return TVerifyStage::vsAsFound;
    if (stage == 0 && m_ctrl.HasCalibrationProtocol())
        return TVerifyStage::vsAsLeft;
    return TVerifyStage::vsAlone;
}

void TCalibrationPage::UpdateVerifyOffer()
{
    switch (VerifyOffer()) {
    case TVerifyStage::vsAsFound: SetButtonCaption(btnVerify, QStringLiteral("Проверить до настройки")); break;
    case TVerifyStage::vsAsLeft: SetButtonCaption(btnVerify, QStringLiteral("Проверить после настройки")); break;
    default: SetButtonCaption(btnVerify, QStringLiteral("Проверка преобразователя")); break;
    }
    // Once stage 1 is sent the transducer is in its calibration: nothing to verify then.
    btnVerify->setEnabled(m_session.State.CalibrStage <= 1);
}

void TCalibrationPage::ResetToIdle()
{
    // A visible "Отмена" means a calibration ran: its instruction is stale now.
    if (!btnCancelCalibr->isHidden())
        lbStage->clear();
    SetCurrentVisible(false);
    SetDateVisible(false);
    SetBeginCaption(QStringLiteral("Начать настройку"));
    SetCancelVisible(false);
    UpdateVerifyOffer();
    UpdateStep();
}

QString TCalibrationPage::StepText() const
{
    return lbStep->text();
}

void TCalibrationPage::UpdateStep()
{
    // Step N is the Nth stage accepted: 1 (started) to 8 (date stored).
    const int stage = m_ctrl.CalibrationStage();
    int step = 0;
    if (stage >= 1 && stage < kStepCount)
        step = stage;
    else if (stage == 0 && m_ctrl.HasCalibrationProtocol() && lbStage->text() == kFinished)
        step = kStepCount;
    lbStep->setText(step ? QStringLiteral("Шаг %1 из %2").arg(step).arg(kStepCount) : QString());
}

void TCalibrationPage::SetStageText(const QString& text)
{
    if (text != lbStage->text())
        m_guard->Changed();
    lbStage->setText(text);
}

void TCalibrationPage::SetStageColor(TStageColor color)
{
    QPalette p = lbStage->palette();
    p.setColor(QPalette::WindowText, color == scPurple ? QColor(128, 0, 128) : QColor(0, 128, 0));
    lbStage->setPalette(p);
}

void TCalibrationPage::SetBeginCaption(const QString& text)
{
    SetButtonCaption(btnBeginCalibr, text);
}

void TCalibrationPage::SetCancelVisible(bool visible)
{
    btnCancelCalibr->setVisible(visible);
}

void TCalibrationPage::SetCurrentVisible(bool visible)
{
    lbCalibrCur->setVisible(visible);
    rseCalibrCur->setVisible(visible);
}

void TCalibrationPage::SetCurrentValue(double milliamperes)
{
    rseCalibrCur->setValue(milliamperes);
    m_currentEdited = m_currentExitPending = false;
}

double TCalibrationPage::CurrentValue() const
{
    return rseCalibrCur->value();
}

void TCalibrationPage::SetDateVisible(bool visible)
{
    lbCalibrNewDate->setVisible(visible);
    meCalibrNewDate->setVisible(visible);
}

void TCalibrationPage::SetDateText(const QString& text)
{
    meCalibrNewDate->setText(text);
    m_dateEdited = m_dateExitPending = false;
}

QString TCalibrationPage::DateText() const
{
    return meCalibrNewDate->displayText();
}

void TCalibrationPage::SetCalibrDateText(const QString& text)
{
    emit calibrDateChanged(text);
}

void TCalibrationPage::RunPendingExits()
{
    // A press on "Продолжить" is under way: its click takes the entry first.
    if (btnBeginCalibr->Pressed())
        return;
    if (m_currentExitPending)
        rseCalibrCurExit();
    if (m_dateExitPending)
        meCalibrNewDateExit();
}

bool TCalibrationPage::TakePendingEntries()
{
    if ((m_currentEdited || m_currentExitPending) && !rseCalibrCur->isHidden()) {
        m_currentEdited = m_currentExitPending = false;
        if (!m_ctrl.TakeMeasuredCurrent())
            return false;
    }
    if ((m_dateEdited || m_dateExitPending) && !meCalibrNewDate->isHidden()) {
        m_dateEdited = m_dateExitPending = false;
        if (!m_ctrl.TakeCalibrationDate())
            return false;
    }
    return true;
}

void TCalibrationPage::btnBeginCalibrClick()
{
    // An entry typed but not yet judged is checked before the press acts;
    // one refused with its message refuses the press as well.
    {
        const TPressGuard::TBusy busy(*m_guard);
        if (TakePendingEntries())
            m_ctrl.NextCalibrationStage();
    }
    UpdateVerifyOffer();
    UpdateStep();
}

void TCalibrationPage::btnCancelCalibrClick()
{
    m_ctrl.CancelCalibration();
    UpdateVerifyOffer();
    UpdateStep();
}

void TCalibrationPage::rseCalibrCurExit()
{
    m_currentEdited = m_currentExitPending = false;
    m_ctrl.CheckMeasuredCurrent();
}

void TCalibrationPage::meCalibrNewDateExit()
{
    m_dateEdited = m_dateExitPending = false;
    m_ctrl.TakeCalibrationDate();
}
