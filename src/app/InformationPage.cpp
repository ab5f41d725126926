#include "app/InformationPage.h"

#include "app/AccessibleNames.h"
#include "link/CommPortDriver.h"
#include "device/Information.h"
#include "app/KeptEdits.h"
#include "device/TransducerController.h"
#include "app/PressGuard.h"
#include "app/ProgSettings.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbStyleManager.h"

#include <QDate>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

const QString TInformationPage::EmptyDateText = QStringLiteral("  .  .    ");

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

QLineEdit* makeReadOnly(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button)); // button-face colour
    edit->setPalette(p);
    return edit;
}

} // namespace

TInformationPage::TInformationPage(TTransducerController& ctrl, TProgSettings& settings, QWidget* parent)
    : QWidget(parent)
    , m_session(ctrl.Session())
    , m_settings(settings)
    , m_ctrl(ctrl)
    , m_writeGuard(new TPressGuard(m_session.link.ticks, this))
{
    setObjectName(QStringLiteral("tsInformation"));

    SlaveIDLabel = new QLabel(QStringLiteral("Адрес:"), this);
    PMTypeLabel = new QLabel(QStringLiteral("Тип преобразователя:"), this);
    SensorTypeLabel = new QLabel(QStringLiteral("Тип датчика:"), this);
    SensorNumLabel = new QLabel(QStringLiteral("Номер датчика:"), this);
    SensorDateLabel = new QLabel(QStringLiteral("Дата:"), this);

    edSlaveID = makeReadOnly(this);
    edSlaveID->setObjectName(QStringLiteral("edSlaveID"));
    edPLType = makeReadOnly(this);
    edPLType->setObjectName(QStringLiteral("edPLType"));
    edSensorType = new QLineEdit(this);
    edSensorType->setObjectName(QStringLiteral("edSensorType"));
    // What travels: the device keeps 24 Windows-1251 characters of it.
    edSensorType->setMaxLength(kSensorTypeWireLength);
    edSensorNum = new QLineEdit(this);
    edSensorNum->setObjectName(QStringLiteral("edSensorNum"));
    meSensorDate = new QLineEdit(this);
    meSensorDate->setObjectName(QStringLiteral("meSensorDate"));
    meSensorDate->setInputMask(QStringLiteral("99.99.9999; "));
    meSensorDate->setMaxLength(10);
    meSensorDate->setText(QString());

    btnNow = makeButton(QStringLiteral("btnNow"), QStringLiteral("Сегодня"));
    btnInfRead = makeButton(QStringLiteral("btnInfRead"), QStringLiteral("Прочитать"));
    btnInfWrite = makeButton(QStringLiteral("btnInfWrite"), QStringLiteral("Записать"));

    for (QLabel* l : {SlaveIDLabel, PMTypeLabel, SensorTypeLabel, SensorNumLabel, SensorDateLabel})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NameByLabel(edSlaveID, SlaveIDLabel);
    NameByLabel(edPLType, PMTypeLabel);
    NameByLabel(edSensorType, SensorTypeLabel);
    NameByLabel(edSensorNum, SensorNumLabel);
    NameByLabel(meSensorDate, SensorDateLabel);
    edSlaveID->setFixedWidth(60);
    edPLType->setFixedWidth(200);
    edSensorType->setFixedWidth(200);
    edSensorNum->setFixedWidth(120);
    meSensorDate->setFixedWidth(90);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(SlaveIDLabel, 0, 0);
    grid->addWidget(edSlaveID, 0, 1, Qt::AlignLeft);
    grid->addWidget(PMTypeLabel, 1, 0);
    grid->addWidget(edPLType, 1, 1, Qt::AlignLeft);
    grid->addWidget(SensorTypeLabel, 2, 0);
    grid->addWidget(edSensorType, 2, 1, Qt::AlignLeft);
    grid->addWidget(SensorNumLabel, 3, 0);
    grid->addWidget(edSensorNum, 3, 1, Qt::AlignLeft);
    grid->addWidget(SensorDateLabel, 4, 0);
    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(12);
    dateRow->addWidget(meSensorDate);
    dateRow->addWidget(btnNow);
    dateRow->addStretch();
    grid->addLayout(dateRow, 4, 1);
    grid->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnInfRead);
    buttons->addWidget(btnInfWrite);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(24, 18, 16, 12);
    page->addLayout(grid);
    page->addStretch();
    page->addLayout(buttons);

    // Only the user's edits mark the page; filling it from the record does not.
    for (QLineEdit* e : {edSensorType, edSensorNum, meSensorDate}) {
        connect(e, &QLineEdit::textEdited, this, &TInformationPage::userEdited);
        connect(e, &QLineEdit::textEdited, this, [this, e] {
            if (!m_pending.contains(e))
                m_pending << e;
        });
        e->installEventFilter(this);
    }
    connect(btnNow, &TRbButton::clicked, this, &TInformationPage::btnNowClick);
    connect(btnInfRead, &TRbButton::clicked, this, &TInformationPage::btnInfReadClick);
    // A second click of a double-click on "Записать" would write again.
    m_writeGuard->Guard(btnInfWrite);
    connect(btnInfWrite, &TRbButton::clicked, this, &TInformationPage::btnInfWriteClick);
}

TPageButton* TInformationPage::makeButton(const QString& name, const QString& caption)
{
    auto* b = new TPageButton(this);
    b->setObjectName(name);
    b->SetCaption(caption);
    b->setFixedSize(90, 25);
    return b;
}

void TInformationPage::SetStyleManager(IRbStyleRegistry* manager)
{
    for (TPageButton* b : {btnNow, btnInfRead, btnInfWrite})
        b->SetRbStyleManager(manager);
}

bool TInformationPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box or a menu taking
        // the focus for a moment is no exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* field = qobject_cast<QLineEdit*>(watched);
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && field) {
            // The exit may show a modal message; run inside the mouse press
            // that moved the focus, it would take the release with it.
            if (!m_left.contains(field))
                m_left << field;
            QMetaObject::invokeMethod(this, [this] { RunLeftExits(); }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TInformationPage::userEdited()
{
    ::SetInfoModified(m_session, true);
}

void TInformationPage::ShowInformation()
{
    const TTransducerData& t = m_session.Transducer;
    m_pending.clear();
    m_left.clear();
    m_settings.DefaultSlaveID = static_cast<uint8_t>(t.SlaveID & 0xFF);
    edSlaveID->setText(QString::number(t.SlaveID));
    edPLType->setText(t.PLTypeText);
    edSensorType->setText(t.SensorTypeText);
    edSensorNum->setText(QString::number(t.SensorNum));
    if (t.SensorDate != 0)
        meSensorDate->setText(QDateFromDateValue(t.SensorDate).toString(kDateFormat));
}

void TInformationPage::ClearFields()
{
    m_pending.clear();
    m_left.clear();
    edSlaveID->clear();
    edPLType->clear();
    edSensorType->clear();
    edSensorNum->clear();
    meSensorDate->setText(QString()); // the mask shows "  .  .    "
}

bool TInformationPage::CommitPendingEdits()
{
    bool accepted = true;
    for (QLineEdit* e : {edSensorType, edSensorNum, meSensorDate}) {
        if (!m_pending.contains(e) && !m_left.contains(e))
            continue;
        if (e == edSensorType)
            edSensorTypeExit();
        else if (e == edSensorNum)
            accepted = edSensorNumExit() && accepted;
        else
            accepted = meSensorDateExit() && accepted;
    }
    return accepted;
}

void TInformationPage::RunLeftExits()
{
    // A press on "Записать" under way: its click takes the fields first.
    if (btnInfWrite->Pressed())
        return;
    for (QLineEdit* e : {edSensorType, edSensorNum, meSensorDate}) {
        if (!m_left.contains(e))
            continue;
        if (e == edSensorType)
            edSensorTypeExit();
        else if (e == edSensorNum)
            edSensorNumExit();
        else
            meSensorDateExit();
    }
}

void TInformationPage::edSensorTypeExit()
{
    m_pending.removeAll(edSensorType);
    m_left.removeAll(edSensorType);
    if (m_ctrl.IsConnected())
        m_session.Transducer.SensorTypeText = edSensorType->text();
}

bool TInformationPage::edSensorNumExit()
{
    m_pending.removeAll(edSensorNum);
    m_left.removeAll(edSensorNum);
    if (!m_ctrl.IsConnected())
        return true;
    bool ok = false;
    const int value = edSensorNum->text().trimmed().toInt(&ok, 10);
    if (!ok || value < 0) {
        m_session.Messages().Show(InfoText::BadSensorNum, mkError, mbOk);
        return false;
    }
    m_session.Transducer.SensorNum = value;
    return true;
}

bool TInformationPage::meSensorDateExit()
{
    m_pending.removeAll(meSensorDate);
    m_left.removeAll(meSensorDate);
    if (!m_ctrl.IsConnected())
        return true;
    const QDate date = QDate::fromString(meSensorDate->displayText(), kDateFormat);
    if (!date.isValid()) {
        m_session.Messages().Show(InfoText::BadDate, mkError, mbOk);
        m_session.Transducer.SensorDate = 0;
        return false;
    }
    m_session.Transducer.SensorDate = DateValueFromQDate(date);
    return true;
}

void TInformationPage::btnNowClick()
{
    const QDate today = QDate::currentDate();
    meSensorDate->setText(today.toString(kDateFormat));
    m_session.Transducer.SensorDate = DateValueFromQDate(today);
    ::SetInfoModified(m_session, true);
}

void TInformationPage::btnInfReadClick()
{
    if (!m_ctrl.IsConnected()) {
        m_session.shell->AskToConnect();
        return;
    }
    m_session.shell->ProcessEvents();
    if (::IdentifyDevice(m_session, m_session.Transducer.SlaveID) == TOutcome::Success)
        ShowInformation();
    ::SetInfoModified(m_session, false);
}

void TInformationPage::btnInfWriteClick()
{
    const TPressGuard::TBusy busy(*m_writeGuard);
    if (!m_ctrl.IsConnected()) {
        m_session.Messages().Show(InfoText::NoConnection, mkInformation, mbOk);
        return;
    }
    // Fields typed or left but not yet judged are taken first; one refused
    // with its message refuses the write.
    if (!CommitPendingEdits())
        return;
    const bool timerWasOn = m_ctrl.PauseDiagnosticsTimer();
    if (WriteInformation(m_session) == TOutcome::NoAnswer)
        m_session.Messages().Show(TKeptEdits::WriteAnswerLost, mkWarning, mbOk);
    ::SetInfoModified(m_session, false);
    m_ctrl.ResumeDiagnosticsTimer(timerWasOn);
}
