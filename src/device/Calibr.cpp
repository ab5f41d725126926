#include "device/Calibr.h"

#include "link/CommPortDriver.h"
#include "device/Diagnostics.h"
#include "link/MessageDialog.h"
#include "link/Transaction.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr uint8_t kFnCalibr = 0x4D;

const QString kBeginCaption = QStringLiteral("Начать настройку");
const QString kContinueCaption = QStringLiteral("Продолжить");
const QString kWrongDate = QStringLiteral("Неправильно указана дата");

QString ResistanceStep(int ohms)
{
    return QStringLiteral("Установите сопротивление %1 Ом и нажмите кнопку \"Продолжить\"").arg(ohms);
}

QString CurrentStep(const QString& milliamperes)
{
    return QStringLiteral("Установлен выходной ток %1 мА. Введите измеренное значение тока и нажмите кнопку "
                          "\"Продолжить\"")
        .arg(milliamperes);
}

struct TCurrentRange {
    int low;
    int high;
    const char16_t* message;
};

// Accepted measured currents (µA, both ends included) for stage 5 and 6.
const TCurrentRange* RangeFor(int stage, int type)
{
    static const TCurrentRange m5{3600, 4400, u"Диапазон возможных значений\r\nот 3,600 мА до 4,400 мА"};
    static const TCurrentRange n5{30, 170, u"Диапазон возможных значений\r\nот 0,030 мА до 0,170 мА"};
    static const TCurrentRange m6{19200, 20800, u"Диапазон возможных значений\r\nот 19,200 мА до 20,800 мА"};
    static const TCurrentRange n6{4800, 5200, u"Диапазон возможных значений\r\nот 4,800 мА до 5,200 мА"};
    if (stage == 5)
        return type == 'M' ? &m5 : type == 'N' ? &n5 : nullptr;
    if (stage == 6)
        return type == 'M' ? &m6 : type == 'N' ? &n6 : nullptr;
    return nullptr;
}

} // namespace

bool BuildCalibrationRequest(TFrameBuffer& frame, int slaveId, int stage, int current, TDateValue date)
{
    if (stage == 7 && date == 0)
        return false;
    frame.fill(0);
    frame[0] = uint8_t(slaveId);
    frame[1] = kFnCalibr;
    frame[2] = uint8_t(stage);
    if (stage == 5 || stage == 6)
        PutFrameInt(frame, 5, 2, current);
    else if (stage == 7)
        PutFrameDate(frame, 3, date);
    PutFrameCRC(frame, 7);
    return true;
}

TCalibration::TCalibration(TDeviceSession& session, ICalibrationView& view)
    : m_session(session), m_view(view)
{
}

bool TCalibration::LinkReady() const
{
    return m_session.link.drv && m_session.link.drv->IsPortOpen();
}

int TCalibration::Current() const
{
    return int(m_session.State.CalibrCurrent);
}

void TCalibration::SetCurrent(int microamperes)
{
    m_session.State.CalibrCurrent = microamperes;
}

void TCalibration::BeginPressed()
{
    if (m_session.State.DiagRunning) {
        m_session.Messages().ShowError(QStringLiteral("В режиме диагностики настройку проводить нельзя!"));
        return;
    }
    CalibrationStep();
}

void TCalibration::ShowCurrentStep(double milliamperes, int microamperes, const QString& text)
{
    m_view.SetStageText(CurrentStep(text));
    m_view.SetCurrentValue(milliamperes);
    SetCurrent(microamperes);
}

void TCalibration::CalibrationStep()
{
    if (!LinkReady()) {
        m_session.Messages().Show(QStringLiteral("Соединение не установлено"), mkInformation, mbOk);
        return;
    }
    m_view.SetStageColor(scGreen);
    int& stage = m_session.State.CalibrStage;
    const int type = m_session.Transducer.PLType;
    if (stage != 0 && !SendCalibrationStage())
        return; // refused or lost: the stage stays (lost: already back at 0)

    switch (stage) {
    case 0:
        SetProtocolAvailable(false);
        m_record = TCalibrationRecord{};
        m_record.started = Now();
        m_view.SetStageText(ResistanceStep(0));
        m_view.SetBeginCaption(kContinueCaption);
        m_view.SetCancelVisible(true);
        stage = 1;
        break;
    case 1:
        m_view.SetStageText(ResistanceStep(500));
        stage = 2;
        break;
    case 2:
        m_view.SetStageText(ResistanceStep(250));
        stage = 3;
        break;
    case 3:
        m_view.SetStageText(ResistanceStep(500));
        stage = 4;
        break;
    case 4:
        if (type == 'M')
            ShowCurrentStep(4.0, 4000, QStringLiteral("4,000"));
        else if (type == 'N')
            ShowCurrentStep(0.1, 100, QStringLiteral("0,100"));
        m_view.SetCurrentVisible(true);
        stage = 5;
        break;
    case 5:
        m_record.current5 = Current();
        if (type == 'M')
            ShowCurrentStep(20.0, 20000, QStringLiteral("20,000"));
        else if (type == 'N')
            ShowCurrentStep(5.0, 5000, QStringLiteral("5,000"));
        m_view.SetCurrentVisible(true);
        stage = 6;
        break;
    case 6: {
        m_record.current6 = Current();
        m_view.SetCurrentVisible(false);
        m_view.SetStageText(QStringLiteral("Введите дату настройки"));
        const TDateValue today = DateValueFromQDate(Today());
        m_view.SetDateText(DateText(today));
        m_session.Transducer.CalibrDate = today;
        m_view.SetDateVisible(true);
        stage = 7;
        break;
    }
    case 7:
        m_view.SetStageText(QStringLiteral("Настройка успешно завершена"));
        m_view.SetCalibrDateText(DateText(m_session.Transducer.CalibrDate));
        m_view.SetDateVisible(false);
        m_view.SetBeginCaption(kBeginCaption);
        m_view.SetCancelVisible(false);
        stage = 0;
        m_record.transducer = m_session.Transducer;
        m_record.finished = Now();
        emit m_session.events.calibrationFinished(m_record);
        SetProtocolAvailable(true);
        break;
    default:
        stage = 0; // not a stage of the sequence: start over
        break;
    }
}

bool TCalibration::SendCalibrationStage()
{
    TOperationState& st = m_session.State;
    TFrameBuffer request;
    if (!BuildCalibrationRequest(request, m_session.Transducer.SlaveID, st.CalibrStage, Current(),
                                 m_session.Transducer.CalibrDate)) {
        m_session.Messages().ShowError(kWrongDate);
        return false;
    }
    TFrameBuffer answer{};
    const TOutcome outcome = RunTransaction(m_session.link, TOperation::SendCalibrationStage, request, answer);
    if (outcome == TOutcome::Success || outcome == TOutcome::Refused)
        emit m_session.events.calibrationStageDone(st.CalibrStage, Current(), outcome == TOutcome::Success);
    switch (outcome) {
    case TOutcome::Success:
        return true;
    case TOutcome::Refused:
        if (answer[2] == 10)
            m_session.Messages().ShowError(QStringLiteral("Измеряемое АЦП значение не в диапазоне возможных значений"));
        else if (answer[2] == 11)
            m_session.Messages().ShowError(QStringLiteral("Переданные данные не в диапазоне возможных значений"));
        else
            m_session.Messages().ShowError(UnknownRefusalText(answer[2])); // a silent refusal would pass for a taken point
        return false;
    case TOutcome::NoAnswer:
    case TOutcome::NoLink:
        // The transaction reported it, reset the stage and disconnected.
        st.CalibrStage = 0;
        return false;
    }
    return false;
}

void TCalibration::SetProtocolAvailable(bool available)
{
    m_hasProtocol = available;
    emit m_session.events.calibrationProtocolAvailable(available);
}

bool TCalibration::TakeMeasuredCurrent()
{
    const double micro = std::nearbyint(m_view.CurrentValue() * 1000.0);
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    const int typed = std::isfinite(micro) ? int(std::clamp(micro, -kMax, kMax)) : -1;
    const TCurrentRange* range = RangeFor(m_session.State.CalibrStage, m_session.Transducer.PLType);
    if (range && (typed < range->low || typed > range->high)) {
        // Stored before the message: whatever runs while it is shown must
        // not find the refused value ready to send. FF FF is refused by the device.
        SetCurrent(-1);
        m_session.Messages().ShowError(QString::fromUtf16(range->message));
        return false;
    }
    SetCurrent(typed);
    return true;
}

void TCalibration::CheckMeasuredCurrent()
{
    TakeMeasuredCurrent();
    m_session.shell->ProcessEvents();
}

bool TCalibration::DateEntered()
{
    m_session.Transducer.CalibrDate = DateFromText(m_view.DateText());
    if (m_session.Transducer.CalibrDate != 0)
        return true;
    m_session.Messages().ShowError(kWrongDate);
    return false;
}

void TCalibration::CancelCalibration()
{
    m_view.SetCurrentVisible(false);
    m_view.SetDateVisible(false);
    m_view.SetStageColor(scPurple);
    m_view.SetStageText(QStringLiteral("Настройка завершена по желанию пользователя"));
    m_view.SetBeginCaption(kBeginCaption);
    m_view.SetCalibrDateText(QString());
    emit m_session.events.calibrationCancelled(m_session.State.CalibrStage);
    m_session.State.CalibrStage = 0;
    m_session.shell->ProcessEvents();
    // On a port already closed there is no device to tell, only a second "no link" message.
    if (LinkReady())
        SendCalibrationStage();
    m_view.SetCancelVisible(false);
}
