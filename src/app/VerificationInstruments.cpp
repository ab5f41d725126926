#include "app/VerificationInstruments.h"

#include "app/PumpingTicks.h"
#include "app/VerificationFrm.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kAuto = QStringLiteral("Автоматически");
const QString kStop = QStringLiteral("Стоп");

// While a reply is awaited the window paints, but no click starts a second
// exchange on the same line: "Стоп" acts between the readings.
void PaintOnly()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString Named(const TInstrumentConfig& c, TInstrumentRole role)
{
    QString s = InstrumentName(role);
    if (!c.model.isEmpty())
        s += QLatin1Char(' ') + c.model;
    if (!c.serial.isEmpty())
        s += QStringLiteral(" № %1").arg(c.serial);
    return s;
}

} // namespace

TVerificationInstruments::TVerificationInstruments(TfrmVerification& window, TInstrumentSettings& settings,
                                                   TDueDateWarnings& warnings)
    : QObject(&window)
    , m_window(window)
    , m_settings(settings)
    , m_warnings(warnings)
{
    setObjectName(QStringLiteral("VerificationInstruments"));
    DeviceFactory = SystemDeviceFactory();
    Ticks = &PumpingTicks();

    btnAuto = new TRbButton(&window);
    btnAuto->setObjectName(QStringLiteral("btnAuto"));
    btnAuto->SetCaption(kAuto);
    btnAuto->SetBounds(10, 436, 130, 25);
    btnAuto->hide();
    lbInstruments = new QLabel(&window);
    lbInstruments->setObjectName(QStringLiteral("lbInstruments"));
    lbInstruments->setGeometry(150, 440, 640, 18);
    lbInstruments->setAccessibleName(QStringLiteral("Эталоны"));
    connect(btnAuto, &TRbButton::clicked, this, &TVerificationInstruments::btnAutoClick);

    m_watch.setInterval(100);
    connect(&m_watch, &QTimer::timeout, this, &TVerificationInstruments::WatchPoint);
}

TVerificationInstruments::~TVerificationInstruments()
{
    // A child of the window: the window and its point reader are gone by
    // now, so the readers can go without being taken back.
    m_watch.stop();
}

bool TVerificationInstruments::Open(TVerifyStage stage, bool show)
{
    // The instruments are named in the result, so they come first.
    Attach();
    if (!m_window.Prepare(stage)) {
        Detach();
        return false;
    }
    ShowHint();
    if (show) {
        m_window.exec();
        Detach();
    }
    return true;
}

void TVerificationInstruments::Attach()
{
    Detach();
    const QDate today = Today ? Today() : QDate::currentDate();
    const QStringList overdue = m_warnings.Take(m_settings, today, m_settings.source.Configured());
    if (!overdue.isEmpty())
        m_window.Messages().Show(overdue.join(QLatin1Char('\n')), mkWarning, mbOk);

    ITickSource& ticks = Ticks ? *Ticks : PumpingTicks();
    QString error;
    if (m_settings.meter.Configured()) {
        if (auto client = OpenInstrument(TInstrumentRole::Meter, m_settings.meter, ticks, DeviceFactory, &error)) {
            client->Idle = PaintOnly;
            FillIdentity(*client, m_settings.meter.commands.identify, m_settings.meter);
            auto meter = std::make_unique<TMeterCurrentReader>(std::move(client), m_settings.meter);
            if (meter->Prepare(&error))
                m_meter = std::move(meter);
        }
        if (!m_meter)
            m_window.Messages().Show(error + QStringLiteral("\nТок вводится вручную."), mkError, mbOk);
    }
    if (m_settings.source.Configured()) {
        if (auto client = OpenInstrument(TInstrumentRole::Source, m_settings.source, ticks, DeviceFactory, &error)) {
            client->Idle = PaintOnly;
            FillIdentity(*client, m_settings.source.commands.identify, m_settings.source);
            m_source = std::make_unique<TSourceResistance>(std::move(client), m_settings.source);
        } else {
            m_window.Messages().Show(error + QStringLiteral("\nСопротивление устанавливается вручную."), mkError, mbOk);
        }
    }
    m_window.SetCurrentReader(m_meter.get());
    m_window.SetResistanceSource(m_source.get());
    ShowInstruments();
}

void TVerificationInstruments::ShowHint()
{
    if (m_meter && m_source)
        m_window.lbProgress->setText(QStringLiteral("Нажмите \"Автоматически\": источник установит сопротивление каждой "
                                                    "точки, мультиметр измерит ток."));
    else if (m_meter)
        m_window.lbProgress->setText(QStringLiteral("Установите сопротивление точки и нажмите \"Измерить\": ток "
                                                    "измерит мультиметр."));
    else if (m_source)
        m_window.lbProgress->setText(QStringLiteral("Введите измеренный ток и нажмите \"Измерить\": сопротивление "
                                                    "установит источник."));
}

void TVerificationInstruments::Detach()
{
    if (m_running)
        StopAutomatic(QStringLiteral("окно проверки закрыто"));
    SwitchSourceOff();
    m_window.SetCurrentReader(nullptr);
    m_window.SetResistanceSource(nullptr);
    m_meter.reset();
    m_source.reset();
    ShowInstruments();
}

void TVerificationInstruments::ShowInstruments()
{
    QStringList parts;
    if (m_meter)
        parts << Named(m_settings.meter, TInstrumentRole::Meter);
    if (m_source)
        parts << Named(m_settings.source, TInstrumentRole::Source);
    lbInstruments->setText(parts.join(QStringLiteral("; ")));
    btnAuto->setVisible(m_meter && m_source);
    btnAuto->SetCaption(m_running ? kStop : kAuto);
}

void TVerificationInstruments::SwitchSourceOff()
{
    if (!m_source || !m_source->On())
        return;
    QString error;
    if (!m_source->SwitchOff(&error))
        m_window.Messages().Show(error, mkError, mbOk);
}

void TVerificationInstruments::btnAutoClick()
{
    if (m_running)
        StopAutomatic(QStringLiteral("остановлено пользователем"));
    else
        StartAutomatic();
}

void TVerificationInstruments::StartAutomatic()
{
    if (m_running || !m_meter || !m_source || m_window.MeasuringRow() >= 0
        || m_window.Verification().PointCount() == 0)
        return;
    m_running = true;
    m_row = -1;
    ShowInstruments();
    NextPoint();
}

void TVerificationInstruments::NextPoint()
{
    ++m_row;
    if (m_row >= m_window.Verification().PointCount()) {
        EndRun(QStringLiteral("Все точки измерены автоматически."));
        return;
    }
    // A point measured before is measured again: the run's points all come from it.
    m_window.Verification().ClearMeasurement(m_row);
    m_window.btnMeasureClick(m_row);
    if (!m_running)
        return; // stopped from inside (a message answered with the window closing)
    if (m_window.MeasuringRow() != m_row) {
        // Refused before it began (the source did not take the value, no link): the window said why.
        EndRun(QStringLiteral("Автоматическая проверка остановлена: точка %1 не начата.").arg(m_row + 1));
        return;
    }
    m_watch.start();
}

void TVerificationInstruments::WatchPoint()
{
    if (!m_running) {
        m_watch.stop();
        return;
    }
    if (m_window.MeasuringRow() == m_row)
        return; // still settling
    m_watch.stop();
    if (!m_window.Verification().Point(m_row).Measured()) {
        EndRun(QStringLiteral("Автоматическая проверка остановлена: точка %1 не измерена.").arg(m_row + 1));
        return;
    }
    NextPoint();
}

void TVerificationInstruments::StopAutomatic(const QString& why)
{
    if (!m_running)
        return;
    const int row = m_window.MeasuringRow();
    if (row >= 0)
        m_window.btnMeasureClick(row); // the same row again: the window stops measuring it
    EndRun(QStringLiteral("Автоматическая проверка остановлена: %1.").arg(why));
}

void TVerificationInstruments::EndRun(const QString& text)
{
    m_watch.stop();
    m_running = false;
    m_row = -1;
    SwitchSourceOff();
    ShowInstruments();
    if (QLabel* progress = m_window.lbProgress)
        progress->setText(progress->text().isEmpty() ? text : progress->text() + QLatin1Char('\n') + text);
}
