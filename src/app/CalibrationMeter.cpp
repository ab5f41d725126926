#include "app/CalibrationMeter.h"

#include "app/CalibrationPage.h"
#include "app/PumpingTicks.h"
#include "device/DeviceSession.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <cmath>

namespace {

QString Milliamperes(double v)
{
    return QString::number(v, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

double CalibrationStageResistance(int stage)
{
    switch (stage) {
    case 1: return 0;
    case 2: return 500;
    case 3: return 250;
    case 4: return 500;
    default: return -1;
    }
}

TCalibrationMeter::TCalibrationMeter(TCalibrationPage& page, TDeviceSession& session, TInstrumentSettings& settings,
                                     TDueDateWarnings& warnings)
    : QObject(&page)
    , m_page(page)
    , m_session(session)
    , m_settings(settings)
    , m_warnings(warnings)
{
    setObjectName(QStringLiteral("CalibrationMeter"));
    DeviceFactory = SystemDeviceFactory();
    Ticks = &PumpingTicks();

    btnReadMeter = new TRbButton(&page);
    btnReadMeter->setObjectName(QStringLiteral("btnReadMeter"));
    btnReadMeter->SetCaption(QStringLiteral("Считать с мультиметра"));
    btnReadMeter->setGeometry(384, 136, 170, 24);
    btnReadMeter->hide();
    lbMeterSpread = new QLabel(&page);
    lbMeterSpread->setObjectName(QStringLiteral("lbMeterSpread"));
    // Between the instruction and the current field: the buttons below are the page's own.
    lbMeterSpread->setGeometry(8, 121, 559, 15);
    lbMeterSpread->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = lbMeterSpread->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    lbMeterSpread->setFont(small);
    lbMeterSpread->setAccessibleName(QStringLiteral("Показания мультиметра"));
    lbMeterSpread->hide();

    m_currentField = page.rseCalibrCur;
    page.rseCalibrCur->installEventFilter(this);
    connect(btnReadMeter, &TRbButton::clicked, this, [this] { ReadMeter(); });
    // Connected after the page's own handler: the stage has moved on when this runs.
    connect(page.btnBeginCalibr, &TRbButton::clicked, this, &TCalibrationMeter::AfterBeginPressed);
}

bool TCalibrationMeter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_currentField && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        UpdateVisibility();
    return QObject::eventFilter(watched, event);
}

void TCalibrationMeter::UpdateVisibility()
{
    if (!m_currentField || !btnReadMeter || !lbMeterSpread)
        return;
    const bool shown = !m_currentField->isHidden() && m_settings.meter.Configured();
    btnReadMeter->setVisible(shown);
    if (!shown || m_lastStage != m_session.State.CalibrStage)
        lbMeterSpread->hide();
}

void TCalibrationMeter::AfterBeginPressed()
{
    const int stage = m_session.State.CalibrStage;
    const bool moved = stage != m_lastStage;
    m_lastStage = stage;
    if (stage == 1 && moved) {
        // The calibration has just begun.
        const QStringList overdue = m_warnings.Take(m_settings, Today ? Today() : QDate::currentDate(),
                                                    m_settings.source.Configured());
        if (!overdue.isEmpty())
            m_session.Messages().Show(overdue.join(QLatin1Char('\n')), mkWarning, mbOk);
    }
    if (!moved)
        return;
    lbMeterSpread->hide();
    const double ohms = CalibrationStageResistance(stage);
    if (ohms >= 0 && m_settings.source.Configured())
        QTimer::singleShot(0, this, [this, ohms] { SetSourceResistance(ohms); });
    if ((stage == 5 || stage == 6) && m_settings.meter.autoRead && m_settings.meter.Configured())
        QTimer::singleShot(0, this, [this] { ReadMeter(); });
}

bool TCalibrationMeter::SetSourceResistance(double ohms)
{
    if (m_busy)
        return false;
    m_busy = true;
    ITickSource& ticks = Ticks ? *Ticks : PumpingTicks();
    QString error;
    bool ok = false;
    if (std::unique_ptr<TScpiClient> client = OpenInstrument(TInstrumentRole::Source, m_settings.source, ticks,
                                                             DeviceFactory, &error)) {
        TScpiSource source(*client, m_settings.source.commands);
        ok = source.SetResistance(ohms, &error) && source.OutputOn(&error);
    }
    m_busy = false;
    if (!ok)
        m_session.Messages().Show(error + QStringLiteral("\nУстановите сопротивление вручную."), mkError, mbOk);
    return ok;
}

bool TCalibrationMeter::ReadMeter()
{
    if (m_busy || m_page.rseCalibrCur->isHidden())
        return false;
    m_busy = true;
    const int stage = m_session.State.CalibrStage;
    // The stage must not move on under the reading.
    const bool beginWas = m_page.btnBeginCalibr->isEnabled();
    const bool cancelWas = m_page.btnCancelCalibr->isEnabled();
    m_page.btnBeginCalibr->setEnabled(false);
    m_page.btnCancelCalibr->setEnabled(false);
    btnReadMeter->setEnabled(false);
    lbMeterSpread->setText(QStringLiteral("Измерение…"));
    lbMeterSpread->show();

    ITickSource& ticks = Ticks ? *Ticks : PumpingTicks();
    QString error;
    TSettledValue value;
    bool ok = false;
    if (std::unique_ptr<TScpiClient> client = OpenInstrument(TInstrumentRole::Meter, m_settings.meter, ticks,
                                                             DeviceFactory, &error)) {
        client->Idle = [] { PumpingTicks().Sleep(0); };
        TScpiMeter meter(*client, m_settings.meter.commands);
        ok = meter.Configure(&error) && meter.ReadSettled(ticks, MeterSettlingRule(), Limits, value, &error);
    }

    m_page.btnBeginCalibr->setEnabled(beginWas);
    m_page.btnCancelCalibr->setEnabled(cancelWas);
    btnReadMeter->setEnabled(true);
    m_busy = false;
    if (!ok) {
        lbMeterSpread->hide();
        m_session.Messages().Show(error, mkError, mbOk);
        return false;
    }
    if (m_session.State.CalibrStage != stage || m_page.rseCalibrCur->isHidden()) {
        // The calibration ended meanwhile (the link was lost): the reading belongs to no stage.
        lbMeterSpread->hide();
        return false;
    }
    const double rounded = std::round(value.mean * 1000.0) / 1000.0;
    lbMeterSpread->setText(QStringLiteral("Мультиметр: среднее %1 мА по %2 измерениям, разброс %3 мА")
                               .arg(Milliamperes(value.mean))
                               .arg(MeterSettlingRule().samples)
                               .arg(QString::number(value.spread, 'f', 4).replace(QLatin1Char('.'), QLatin1Char(','))));
    lbMeterSpread->show();
    m_page.rseCalibrCur->setValue(rounded);
    // As if typed and left: the stage's range check judges it now.
    m_page.rseCalibrCurExit();
    return true;
}
