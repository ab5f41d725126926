#pragma once

// A session on a scripted port with recording views for the diagnostics and
// calibration operations, and a tiny scheduler playing the two timers
// (the driver's polling every 500 ms, DiagnosticsTimer every 1000 ms) on the
// virtual clock.

#include "device/Calibr.h"
#include "device/Diagnostics.h"
#include "ScriptedLink.h"

#include <QLocale>
#include <QStringList>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class RecordingDiagView : public IDiagnosticsView {
public:
    void SetTimerEnabled(bool enabled) override { timer = enabled; }
    bool TimerEnabled() const override { return timer; }
    void SetRunningLook(bool r) override { running = r; }
    void SetTemperatureText(const QString& text) override { t = text; }
    QString TemperatureText() const override { return t; }
    void SetResistanceText(const QString& text) override { r = text; }
    void SetDiagInfo(const QString& text) override
    {
        info = text;
        infoHistory << text;
    }
    QString DiagInfo() const override { return info; }
    void SetCalibrDateText(const QString& text) override { date = text; }

    bool timer = false;
    bool running = false;
    QString t, r, info, date;
    QStringList infoHistory;
};

class RecordingCalibrView : public ICalibrationView {
public:
    void SetStageText(const QString& text) override { stage = text; }
    void SetStageColor(TStageColor c) override { color = c; }
    void SetBeginCaption(const QString& text) override { caption = text; }
    void SetCancelVisible(bool v) override { cancelVisible = v; }
    void SetCurrentVisible(bool v) override { currentVisible = v; }
    void SetCurrentValue(double mA) override { current = mA; }
    double CurrentValue() const override { return current; }
    void SetDateVisible(bool v) override { dateVisible = v; }
    void SetDateText(const QString& text) override { dateText = text; }
    QString DateText() const override { return dateText; }
    void SetCalibrDateText(const QString& text) override { indicatorDate = text; }

    QString stage;
    TStageColor color = scGreen;
    QString caption = QStringLiteral("Начать настройку");
    bool cancelVisible = false;
    bool currentVisible = false;
    double current = 0;
    bool dateVisible = false;
    QString dateText;
    QString indicatorDate = QStringLiteral("untouched");
};

class DiagRig;

// The controller's part in a lost connection: stop, cancel, close.
class RigShell : public RecordingDeviceShell {
public:
    void DisconnectDevice() override;
    void DeviceLost(const TLinkFault& fault) override;
    DiagRig* rig = nullptr;
    int calibrationResets = 0; // lost stages, their stage put back to 0 before the disconnect
};

class DiagRig {
public:
    explicit DiagRig(int repeatNum = 2)
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        shell.rig = this;
        shell.drv = &link.drv;
        link.ctx.shell = &shell;
        link.ctx.RepeatNum = repeatNum;
        session.link = link.ctx;
        session.shell = &shell;
        shell.SetMessageDialog(&link.messages);
        session.Transducer.SlaveID = 1;
        session.Transducer.PLType = 'M';
        diag.AttachReceiveHandler();
    }
    ~DiagRig() { QLocale::setDefault(QLocale::c()); }

    // Advances the virtual clock in 250 ms steps, firing the driver's
    // polling every 500 ms (at `pollPhase` past each half second) and, while
    // enabled, the diagnostics timer every 1000 ms (after a polling of the
    // same instant).
    void run(int ms)
    {
        for (int done = 0; done < ms; done += 250) {
            link.clock.advanceMs(250);
            m_now += 250;
            if (m_now % 500 == uint64_t(pollPhase))
                link.drv.PollTimerTick();
            if (m_now % 1000 == 0 && view.timer)
                diag.PollDiagnostics();
        }
    }
    // Starts diagnostics on a 250 ms boundary of the rig's time.
    void start()
    {
        const uint64_t now = link.clock.nowUs() / 1000;
        if (now % 250)
            link.clock.advanceMs(uint32_t(250 - now % 250));
        m_now = 0;
        diag.StartDiagnostics();
    }

    int writesStartingWith(const char* hex) const
    {
        int n = 0;
        for (const TRecordedWrite& w : link.port.writes())
            n += w.bytes.startsWith(HexBytes(hex)) ? 1 : 0;
        return n;
    }

    int pollPhase = 0; // 0 or 250
    ScriptedLink link;
    RigShell shell;
    TDeviceSession session;
    RecordingDiagView view;
    RecordingCalibrView calView;
    TDiagnostics diag{session, view};
    TCalibration calib{session, calView};

private:
    uint64_t m_now = 0;
};

inline void RigShell::DisconnectDevice()
{
    if (rig->session.State.DiagRunning)
        rig->diag.StopDiagnostics();
    if (rig->session.State.CalibrStage != 0)
        rig->calib.CancelCalibration();
    RecordingDeviceShell::DisconnectDevice();
}

inline void RigShell::DeviceLost(const TLinkFault& fault)
{
    lostFaults << fault;
    log << QStringLiteral("deviceLost");
    if (fault.operation == TOperation::SendCalibrationStage) {
        ++calibrationResets;
        rig->session.State.CalibrStage = 0;
    }
    DisconnectDevice();
}

// A measurement answer of address 1: temperature x 10, resistance x 100,
// self-diagnostic state, calibration date bytes.
inline QByteArray Measurement(int tenths, int hundredths, int state, int day = 15, int month = 3, int year = 2005)
{
    QByteArray f;
    f += char(0x01);
    f += char(0x03);
    f += char(0x0A);
    f += char(uint16_t(tenths) >> 8);
    f += char(tenths & 0xFF);
    f += char(uint16_t(hundredths) >> 8);
    f += char(hundredths & 0xFF);
    f += char(0);
    f += char(state);
    f += char(day);
    f += char(month);
    f += char(year >> 8);
    f += char(year & 0xFF);
    return WithCRC(f);
}

// A 5-byte answer of address 1 to a private function: function byte and result code.
inline QByteArray ShortAnswer(int function, int code = 0)
{
    QByteArray f(3, '\0');
    f[0] = char(0x01);
    f[1] = char(function);
    f[2] = char(code);
    return WithCRC(f);
}

inline const QByteArray kMeasurementRequest = WithCRC(HexBytes("01 03 00 20 00 05"));
