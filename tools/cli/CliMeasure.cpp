// The measure command: the program's diagnostics loop, its readings printed.
#include "CliRunner.h"

#include "link/CommPortDriver.h"
#include "device/Diagnostics.h"

#include <QDateTime>
#include <QEventLoop>
#include <QJsonArray>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
}

// The self-diagnostic state behind the text the loop shows.
int StateOf(const QString& info)
{
    if (info.startsWith(QStringLiteral("Неисправностей")))
        return 0;
    if (info.startsWith(QStringLiteral("АЦП")))
        return 1;
    if (info.startsWith(QStringLiteral("Настройка")))
        return 2;
    if (info.startsWith(QStringLiteral("1. Обрыв")))
        return 3;
    return -1;
}

struct TReading {
    QDateTime time;
    int state = -1;
    QString stateText;
    bool measured = false; // state 0: temperature and resistance are valid
    double temperature = 0;
    double resistance = 0;
    QString temperatureText, resistanceText, calibrDate;
};

// The diagnostics page without a window: a timer, and the texts kept until
// the answer is complete (the calibration date comes last).
class TCliDiagView : public IDiagnosticsView {
public:
    std::function<void()> OnReading;
    std::function<void()> OnEnded;  // the loop stopped itself (fault, lost device)
    bool Stopping = false;          // the command stops it: not an end by the device
    QTimer Timer;
    QString Temperature, Resistance, Info, CalibrDate;

    void SetTimerEnabled(bool enabled) override { enabled ? Timer.start() : Timer.stop(); }
    bool TimerEnabled() const override { return Timer.isActive(); }
    void SetRunningLook(bool running) override
    {
        if (!running && !Stopping && OnEnded)
            OnEnded();
    }
    void SetTemperatureText(const QString& text) override { Temperature = text; }
    QString TemperatureText() const override { return Temperature; }
    void SetResistanceText(const QString& text) override { Resistance = text; }
    void SetDiagInfo(const QString& text) override { Info = text; }
    QString DiagInfo() const override { return Info; }
    void SetCalibrDateText(const QString& text) override
    {
        CalibrDate = text;
        if (OnReading)
            OnReading();
    }
};

QString Fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

} // namespace

int TCliRunner::Measure()
{
    TCliDiagView view;
    view.Timer.setInterval(1000);
    TDiagnostics diag(m_session, view);
    QObject::connect(&view.Timer, &QTimer::timeout, [&diag] { diag.PollDiagnostics(); });
    m_shell.OnDisconnect = [&] {
        if (m_session.State.DiagRunning)
            diag.StopDiagnostics();
    };

    QEventLoop loop;
    QList<TReading> readings;
    bool ended = false;
    if (m_o.csv && !m_o.json) {
        std::fputs("time,temperature,resistance,state,calibration_date\n", stdout);
        std::fflush(stdout);
    }
    view.OnReading = [&] {
        TReading r;
        r.time = QDateTime::currentDateTime();
        r.stateText = view.Info;
        r.state = StateOf(view.Info);
        r.measured = r.state == 0;
        r.temperature = m_session.Transducer.Temperature;
        r.resistance = m_session.Transducer.Resistance;
        r.temperatureText = view.Temperature;
        r.resistanceText = view.Resistance;
        r.calibrDate = view.CalibrDate;
        readings << r;
        if (!m_o.json) {
            QString line;
            const QString time = r.time.toString(Qt::ISODate);
            if (m_o.csv)
                line = QStringLiteral("%1,%2,%3,%4,%5")
                           .arg(time, r.measured ? Fixed(r.temperature, 1) : QString(),
                                r.measured ? Fixed(r.resistance, 2) : QString())
                           .arg(r.state)
                           .arg(r.calibrDate);
            else
                line = QStringLiteral("%1  T = %2 °C  R = %3 Ом  %4  дата настройки %5")
                           .arg(time, r.temperatureText, r.resistanceText, TerminalText(r.stateText).replace('\n', ' '),
                                r.calibrDate);
            std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
            std::fflush(stdout);
        }
        if (m_o.count > 0 && readings.size() >= m_o.count) {
            view.Stopping = true;
            diag.StopDiagnostics();
            loop.quit();
        }
    };
    view.OnEnded = [&] {
        ended = true;
        // The fault text follows the stop; leave the loop once it is there.
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    };
    QTimer interrupt;
    interrupt.setInterval(100);
    QObject::connect(&interrupt, &QTimer::timeout, [&] {
        if (g_interrupted) {
            view.Stopping = true;
            if (m_session.State.DiagRunning)
                diag.StopDiagnostics();
            loop.quit();
        }
    });
    interrupt.start();
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    diag.StartDiagnostics();
    if (m_session.State.DiagRunning)
        loop.exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_shell.OnDisconnect = nullptr;
    m_drv->OnReceiveData = nullptr; // the handler belongs to the loop that ends here

    if (m_o.json) {
        QJsonArray list;
        for (const TReading& r : readings) {
            QJsonObject o;
            o[QStringLiteral("time")] = r.time.toString(Qt::ISODate);
            o[QStringLiteral("temperature")] = r.measured ? QJsonValue(r.temperature) : QJsonValue(QJsonValue::Null);
            o[QStringLiteral("resistance")] = r.measured ? QJsonValue(r.resistance) : QJsonValue(QJsonValue::Null);
            o[QStringLiteral("state")] = r.state;
            o[QStringLiteral("stateText")] = TerminalText(r.stateText);
            o[QStringLiteral("calibrationDate")] = r.calibrDate.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                          : QJsonValue(r.calibrDate);
            list << o;
        }
        QJsonObject o;
        o[QStringLiteral("command")] = QStringLiteral("measure");
        o[QStringLiteral("address")] = m_session.Transducer.SlaveID;
        o[QStringLiteral("readings")] = list;
        Print(o, {});
    }
    if (m_shell.Lost())
        return exNoAnswer;
    if (ended) {
        // State 1 or 2 (or an unknown one) ends the measuring on the device's side.
        Error(view.Info.isEmpty() ? QStringLiteral("Измерения прекращены прибором") : TerminalText(view.Info));
        return exRefused;
    }
    return exDone;
}
