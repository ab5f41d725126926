#include "device/Diagnostics.h"

#include "device/DeviceMessages.h"
#include "device/FrameDate.h"
#include "link/CommPortDriver.h"
#include "link/LinkObserver.h"
#include "link/MessageDialog.h"
#include "link/TickSource.h"
#include "link/Transaction.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

constexpr int kMeasurementLength = 15;
constexpr uint8_t kFnRead = 0x03;
constexpr uint8_t kFnR0 = 0x4E;
constexpr uint8_t kFnNSX = 0x4F;

const QString kNoConnection = QStringLiteral("Соединение не установлено");
const QString kStartFirst = QStringLiteral("Сначала нужно запустить процесс диагностики");
const QString kDiagMode = QStringLiteral("Режим диагностики");
const QString kDone = QStringLiteral("Операция успешно выполнена.");

bool DateBytesValid(const uint8_t* p)
{
    const int year = p[2] * 256 + p[3];
    return year >= 1 && year <= 9999 && QDate(year, p[1], p[0]).isValid();
}

// The measurement answer's verdict for the exchange monitor; exceptions are
// not taken as answers here, but named as what they are.
TFrameVerdict MeasurementVerdict(const uint8_t* frame, int count)
{
    if (count >= 2 && frame[1] != kFnRead)
        return (count == 5 && (frame[1] & 0x80)) ? TFrameVerdict::Exception : TFrameVerdict::Ignored;
    if (count != kMeasurementLength)
        return TFrameVerdict::WrongLength;
    return FrameCRCValid(frame, count) ? TFrameVerdict::Answer : TFrameVerdict::DamagedCRC;
}

// A correction's result as the history keeps it: 0 done, the device's code, -1 no answer.
int CorrectionResult(TOutcome outcome, const TFrameBuffer& answer)
{
    return outcome == TOutcome::Success ? 0 : outcome == TOutcome::Refused ? answer[2] : -1;
}

void WaitMs(ITickSource& ticks, uint32_t ms)
{
    const uint32_t start = ticks.GetTickCount();
    for (uint32_t elapsed = 0; elapsed < ms; elapsed = TicksSince(ticks.GetTickCount(), start))
        ticks.Sleep(ms - elapsed);
}

} // namespace

namespace {

// The system's decimal separator, but no digit groups: "1 234,5" would not
// fit the indicator's digits.
QString FixedText(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

} // namespace

QString TemperatureText(double celsius)
{
    return FixedText(celsius, 1);
}

QString ResistanceText(double ohms)
{
    return FixedText(ohms, 2);
}

QString DateText(TDateValue date)
{
    const QDate d = QDateFromDateValue(date);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

TDateValue DateFromText(const QString& text)
{
    return DateValueFromQDate(QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy")));
}

int BuildMeasurementRequest(TFrameBuffer& frame, int slaveId)
{
    frame.fill(0);
    frame[0] = uint8_t(slaveId);
    frame[1] = kFnRead;
    frame[2] = 0x00;
    frame[3] = 0x20;
    frame[4] = 0x00;
    frame[5] = 0x05;
    return PutFrameCRC(frame, 6);
}

int BuildR0Request(TFrameBuffer& frame, int slaveId, bool set)
{
    frame.fill(0);
    frame[0] = uint8_t(slaveId);
    frame[1] = kFnR0;
    frame[2] = set ? 1 : 0;
    return PutFrameCRC(frame, 3);
}

bool BuildNSXRequest(TFrameBuffer& frame, int slaveId, uint8_t step, double value)
{
    const double tenths = std::nearbyint(value * 10.0); // ties to even in the default rounding mode
    if (!std::isfinite(tenths) || tenths < -32768.0 || tenths > 32767.0)
        return false;
    frame.fill(0);
    frame[0] = uint8_t(slaveId);
    frame[1] = kFnNSX;
    frame[2] = step;
    PutFrameInt(frame, 3, 2, int32_t(tenths));
    PutFrameCRC(frame, 5);
    return true;
}

TDiagnostics::TDiagnostics(TDeviceSession& session, IDiagnosticsView& view)
    : m_session(session), m_view(view)
{
}

bool TDiagnostics::LinkReady() const
{
    return m_session.link.drv && m_session.link.drv->IsPortOpen();
}

void TDiagnostics::AttachReceiveHandler()
{
    m_attached = true;
    TCommPortDriver* drv = m_session.link.drv;
    if (!drv || m_installed)
        return;
    // Installed once and never swapped: replacing the handler while the
    // driver is inside it would destroy the running call. Detaching only
    // makes it drop what the driver delivers.
    drv->OnReceiveData = [this](TCommPortDriver*, const uint8_t* data, int size) {
        if (!m_attached)
            return;
        HandleDiagnosticsAnswer(data, size);
    };
    m_installed = true;
}

void TDiagnostics::DetachReceiveHandler()
{
    m_attached = false;
}

void TDiagnostics::ToggleDiagnostics()
{
    if (m_session.State.DiagRunning)
        StopDiagnostics();
    else
        StartDiagnostics();
}

void TDiagnostics::StartDiagnostics()
{
    if (!LinkReady()) {
        m_session.Messages().Show(kNoConnection, mkInformation, mbOk);
        return;
    }
    TOperationState& st = m_session.State;
    st.DiagRunning = true;
    m_view.SetRunningLook(true);
    m_session.shell->SetStatusText(kDiagMode);
    m_session.shell->ProcessEvents();

    m_view.SetTimerEnabled(true);
    st.DiagMissCount = 1;
    st.DiagAwaiting = false;
    m_pending.clear();
    m_badDateReported = false;
    PollDiagnostics();
}

void TDiagnostics::StopDiagnostics()
{
    TOperationState& st = m_session.State;
    m_view.SetTimerEnabled(false);
    DetachReceiveHandler();
    st.DiagRunning = false;
    st.DiagAwaiting = false;
    m_pending.clear();

    m_view.SetRunningLook(false);
    m_view.SetDiagInfo(QString());
    m_session.shell->SetStatusText(QString());
    m_view.SetTemperatureText(QString());
    m_view.SetResistanceText(QString());
    emit m_session.events.diagnosticsStopped();
    m_session.shell->ProcessEvents();
}

void TDiagnostics::PollDiagnostics()
{
    TOperationState& st = m_session.State;
    TCommPortDriver* drv = m_session.link.drv;
    TFrameBuffer request;
    const int length = BuildMeasurementRequest(request, m_session.Transducer.SlaveID);

    if (!st.DiagRunning) {
        // One-shot: the calibration date at connection, one attempt, no disconnect on silence.
        int written = 0;
        if (drv) {
            drv->PurgeBuffers(true, true);
            written = drv->WriteBytes(request.data(), length);
            NotifySent(m_session.link, request.data(), length, written);
        }
        if (written < length) {
            m_session.Messages().ShowError(QStringLiteral("Нет связи с прибором."));
            m_session.shell->DisconnectDevice();
            return;
        }
        AnswerWait(m_session.link, kMeasurementLength);
        TFrameBuffer answer{};
        const int count = drv->ReadBytes(answer.data(), kMeasurementLength);
        NotifyReceived(m_session.link, answer.data(), count, MeasurementVerdict(answer.data(), count), answer[2],
                       kMeasurementLength);
        if (count == kMeasurementLength && answer[1] == kFnRead && FrameCRCValid(answer.data(), count)) {
            m_session.Transducer.CalibrDate = ReadFrameDate(m_session.Messages(), answer, 9);
            m_view.SetCalibrDateText(DateText(m_session.Transducer.CalibrDate));
        } else {
            m_session.Messages().ShowError(QStringLiteral("Не удалось прочитать дату последней настройки."));
        }
        return;
    }

    if (st.DiagAwaiting)
        PickUpQueued();
    if (!st.DiagRunning)
        return; // the answer just taken ended the mode
    if (st.DiagAwaiting) {
        NotifyReceived(m_session.link, nullptr, 0, TFrameVerdict::NoAnswer);
        emit m_session.events.measurementMissed();
        ++st.DiagMissCount;
        if (st.DiagMissCount > 1)
            m_session.shell->LinkStatus(TLinkStatus::Repeat);
        if (st.DiagMissCount > m_session.link.RepeatNum) {
            StopDiagnostics();
            m_session.Messages().ShowError(QStringLiteral("Не получен ответ от прибора"));
            m_session.shell->DisconnectDevice();
            return;
        }
    }
    if (st.DiagMissCount == 1)
        m_session.shell->SetStatusText(kDiagMode);

    m_pending.clear();
    int written = 0;
    if (drv) {
        drv->PurgeBuffers(true, true);
        written = drv->WriteBytes(request.data(), length);
        NotifySent(m_session.link, request.data(), length, written);
    }
    if (written < length) {
        StopDiagnostics();
        m_session.Messages().ShowError(QStringLiteral("Нет связи с прибором."));
        m_session.shell->DisconnectDevice();
        return;
    }
    AttachReceiveHandler();
    st.DiagAwaiting = true;
}

void TDiagnostics::PickUpQueued()
{
    // Without waiting: only what the port already holds.
    TCommPortDriver* drv = m_session.link.drv;
    if (!LinkReady())
        return;
    const int queued = std::min(drv->InputQueueCount(), kMaxReadCount);
    if (queued <= 0)
        return;
    uint8_t buffer[kMaxReadCount];
    const int count = drv->ReadBytes(buffer, queued);
    if (count > 0)
        HandleDiagnosticsAnswer(buffer, count);
}

void TDiagnostics::HandleDiagnosticsAnswer(const uint8_t* data, int count)
{
    TOperationState& st = m_session.State;
    if (!data || count <= 0)
        return;
    if (!st.DiagAwaiting) {
        NotifyReceived(m_session.link, data, count, TFrameVerdict::Ignored);
        return; // nothing was asked: stray bytes are no measurement
    }
    const int take = std::min<int>(count, kMeasurementLength - int(m_pending.size()));
    m_pending.insert(m_pending.end(), data, data + take);
    if (m_pending.size() >= 2 && m_pending[1] != kFnRead) {
        NotifyReceived(m_session.link, m_pending.data(), int(m_pending.size()),
                       MeasurementVerdict(m_pending.data(), int(m_pending.size())), m_pending.size() > 2 ? m_pending[2] : 0);
        m_pending.clear(); // another function or an exception: counts as a miss
        return;
    }
    if (int(m_pending.size()) < kMeasurementLength)
        return; // the rest comes with the next delivery or the next tick
    TFrameBuffer frame{};
    std::copy(m_pending.begin(), m_pending.end(), frame.begin());
    m_pending.clear();
    const TFrameVerdict verdict = MeasurementVerdict(frame.data(), kMeasurementLength);
    NotifyReceived(m_session.link, frame.data(), kMeasurementLength, verdict, frame[2], kMeasurementLength);
    if (verdict != TFrameVerdict::Answer)
        return;

    // Handled before anything is shown, so a delivery during a message box
    // does not take this answer twice.
    st.DiagAwaiting = false;
    st.DiagMissCount = 1;
    ProcessAnswer(frame.data());
}

TDateValue TDiagnostics::DecodeDate(const uint8_t* frame)
{
    const uint8_t* p = frame + 9;
    if (DateBytesValid(p))
        return DateValueFromQDate(QDate(p[2] * 256 + p[3], p[1], p[0]));
    // Report a wrong date once per run, not every second.
    const uint32_t key = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    if (m_badDateReported && key == m_lastBadDate)
        return 0;
    m_badDateReported = true;
    m_lastBadDate = key;
    TFrameBuffer copy{};
    std::copy(frame, frame + kMeasurementLength, copy.begin());
    return ReadFrameDate(m_session.Messages(), copy, 9);
}

void TDiagnostics::ProcessAnswer(const uint8_t* frame)
{
    TTransducerData& t = m_session.Transducer;
    const uint8_t state = frame[8];
    if (state == 0) {
        t.Temperature = int16_t(uint16_t(frame[3] << 8 | frame[4])) / 10.0;
        t.Resistance = uint16_t(frame[5] << 8 | frame[6]) / 100.0;
        m_haveMeasurement = true;
        m_view.SetTemperatureText(TemperatureText(t.Temperature));
        m_view.SetResistanceText(ResistanceText(t.Resistance));
        m_view.SetDiagInfo(QStringLiteral("Неисправностей не обнаружено"));
        emit m_session.events.measurement(TMeasurement{state, t.Temperature, t.Resistance});
        t.CalibrDate = DecodeDate(frame);
        m_view.SetCalibrDateText(DateText(t.CalibrDate));
    } else if (state == 3) {
        m_view.SetDiagInfo(QStringLiteral("1. Обрыв или короткое замыкание ТС.\r\n"
                                          "2. Измеренная температура за пределами максимального диапазона измерения."));
        m_view.SetTemperatureText(QStringLiteral("----"));
        m_view.SetResistanceText(QStringLiteral("----"));
        emit m_session.events.measurement(TMeasurement{state});
        t.CalibrDate = DecodeDate(frame);
        m_view.SetCalibrDateText(DateText(t.CalibrDate));
    } else {
        emit m_session.events.measurement(TMeasurement{state});
        StopDiagnostics();
        if (state == 1)
            m_view.SetDiagInfo(QStringLiteral("АЦП не отвечает"));
        else if (state == 2)
            m_view.SetDiagInfo(QStringLiteral("Настройка не производилась или сбой EEPROM"));
    }
}

void TDiagnostics::Drain()
{
    TOperationState& st = m_session.State;
    if (!st.DiagAwaiting)
        return;
    if (LinkReady()) {
        uint8_t buffer[kMaxReadCount];
        const int count = m_session.link.drv->ReadBytes(buffer, kMaxReadCount);
        if (count > 0)
            HandleDiagnosticsAnswer(buffer, count);
    }
    WaitMs(m_session.link.ticks ? *m_session.link.ticks : SystemTicks(), 10);
    st.DiagAwaiting = false;
    m_pending.clear();
}

bool TDiagnostics::PrepareCorrection()
{
    if (!LinkReady()) {
        m_session.Messages().Show(kNoConnection, mkInformation, mbOk);
        return false;
    }
    if (!m_session.State.DiagRunning) {
        m_session.Messages().Show(kStartFirst, mkInformation, mbOk);
        return false;
    }
    m_session.shell->LinkStatus(TLinkStatus::Writing);
    m_session.shell->ProcessEvents();
    m_view.SetTimerEnabled(false);
    Drain();
    return true;
}

void TDiagnostics::FinishCorrection()
{
    // After a lost device the mode is over: no timer may tick on a closed port.
    if (!m_session.State.DiagRunning || !LinkReady())
        return;
    m_view.SetTimerEnabled(true);
    m_session.shell->SetStatusText(kDiagMode);
    m_session.shell->ProcessEvents();
}

void TDiagnostics::CorrectR0(bool set)
{
    RunCorrectR0(set);
}

TDiagnostics::TR0Result TDiagnostics::RunCorrectR0(bool set)
{
    if (!PrepareCorrection())
        return TR0Result::Refused;
    TFrameBuffer request;
    BuildR0Request(request, m_session.Transducer.SlaveID, set);
    TFrameBuffer answer{};
    const TOutcome outcome = RunTransaction(m_session.link, TOperation::CorrectR0, request, answer);
    emit m_session.events.correctionDone(TDeviceEvents::Correction::R0, !set, CorrectionResult(outcome, answer));
    if (outcome == TOutcome::NoAnswer || outcome == TOutcome::NoLink)
        return TR0Result::Lost; // the transaction reported it and disconnected

    TR0Result result = TR0Result::Refused;
    if (outcome == TOutcome::Success) {
        m_view.SetDiagInfo(kDone);
        result = TR0Result::Done;
    } else if (answer[2] == 12) {
        m_session.Messages().ShowError(CannotText(TCannotText::R0Deviation));
    } else if (answer[2] == 13) {
        const int reply = m_session.Messages().Show(CannotText(TCannotText::R0Done), mkError, mbYes | mbNo);
        if (reply == mrYes) {
            m_view.SetDiagInfo(QStringLiteral("Сброс корректировки R0"));
            // The reset's own failure has shown its message; only a done reset is reported as such.
            if (RunCorrectR0(false) == TR0Result::Done)
                m_view.SetDiagInfo(QStringLiteral("Корректировка R0 сброшена."));
        }
    } else {
        m_session.Messages().ShowError(CannotText(TCannotText::Plain));
    }
    FinishCorrection();
    return result;
}

double TDiagnostics::NSXDefaultValue() const
{
    bool ok = false;
    const double shown = QLocale().toDouble(m_view.TemperatureText().trimmed(), &ok);
    if (ok)
        return shown;
    return m_haveMeasurement ? m_session.Transducer.Temperature : 0.0;
}

void TDiagnostics::CorrectNSX()
{
    if (!PrepareCorrection())
        return;
    if (SendNSXStep(1, 0)) {
        double value = 0;
        const int reply =
            m_session.shell->EnterValue(QStringLiteral("Введите действительное значение температуры."), value, NSXDefaultValue());
        if (reply == mrYes) {
            m_session.shell->ProcessEvents();
            emit m_session.events.nsxTemperatureEntered(value);
            if (SendNSXStep(2, value))
                m_view.SetDiagInfo(kDone);
        }
    }
    FinishCorrection();
}

bool TDiagnostics::SendNSXStep(uint8_t step, double value)
{
    TFrameBuffer request;
    if (!BuildNSXRequest(request, m_session.Transducer.SlaveID, step, value)) {
        // Would wrap around in the 16-bit field and reach the device as another temperature.
        m_session.Messages().ShowError(QStringLiteral("Значение температуры должно быть в пределах от -3276,8 до 3276,7"));
        return false;
    }
    TFrameBuffer answer{};
    const TOutcome outcome = RunTransaction(m_session.link, TOperation::SendNSXStep, request, answer);
    // Step 1 with 0 only opens the dialogue; it is worth a record when refused.
    const bool reset = step == 1 && value != 0;
    if (step == 2 || reset || outcome != TOutcome::Success)
        emit m_session.events.correctionDone(TDeviceEvents::Correction::NSX, reset, CorrectionResult(outcome, answer));
    if (outcome == TOutcome::Success)
        return true;
    if (outcome != TOutcome::Refused)
        return false; // reported and disconnected by the transaction

    const uint8_t code = answer[2];
    if (code == 1 || code == 14) {
        const int reply = m_session.Messages().Show(CannotText(TCannotText::NSXDone), mkError, mbYes | mbNo);
        if (reply == mrYes) {
            m_view.SetDiagInfo(QStringLiteral("Сброс корректировки НСХ"));
            if (SendNSXStep(1, 0.1))
                m_view.SetDiagInfo(QStringLiteral("Корркектировка НСХ сброшена."));
        }
    } else if (code == 15) {
        m_session.Messages().ShowError(CannotText(TCannotText::NSXNearZero));
    } else if (code == 16) {
        m_session.Messages().ShowError(CannotText(TCannotText::NSXDeviation));
    } else {
        m_session.Messages().ShowError(CannotText(TCannotText::Plain));
    }
    return false;
}
