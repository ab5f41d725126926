#include "device/Configuration.h"

#include "link/CommPortDriver.h"
#include "link/MessageDialog.h"

#include <cmath>

namespace {

const QString kNotConnected = QStringLiteral("Соединение не установлено");

} // namespace

bool SensorLimits(int sensorKind, TSensorLimits* limits)
{
    switch (sensorKind) {
    case 1:
    case 2:
        *limits = {-200 + kMinRangeSpan, 600, -200, 600 - kMinRangeSpan};
        return true;
    case 3:
        *limits = {-100 + kMinRangeSpan, 200, -100, 200 - kMinRangeSpan};
        return true;
    default:
        return false;
    }
}

QString TemperatureLimitText(int degrees)
{
    return QString::number(degrees) + QStringLiteral(" °C");
}

int RoundHalfEven(double value)
{
    const double r = std::nearbyint(value); // the default rounding mode is to nearest, ties to even
    return int(r);
}

int AverageToRegister(int seconds)
{
    return seconds == 0 ? 0 : (seconds * 6 - 2) & 0xFF;
}

int AverageFromRegister(int byte)
{
    if (byte == 0)
        return 0;
    // (b + 2) / 6 to the nearest integer, ties to even, in integers.
    const int n = byte + 2;
    int q = n / 6;
    const int twice = 2 * (n % 6);
    if (twice > 6 || (twice == 6 && (q & 1)))
        ++q;
    return q;
}

void BuildReadConfigurationRequest(int slaveId, TFrameBuffer& request)
{
    request.fill(0);
    request[0] = uint8_t(slaveId);
    request[1] = 0x03;
    request[2] = 0x00;
    request[3] = 0x18;
    request[4] = 0x00;
    request[5] = 0x08;
    PutFrameCRC(request, 6);
}

void ParseConfigurationAnswer(const TFrameBuffer& a, TTransducerData& r)
{
    r.SensorKind = a[4];
    if (a[6] == 1)
        r.R0 = 100;
    else if (a[6] == 2)
        r.R0 = 50;
    r.BottomTempBound = GetFrameInt16(a, 7);
    r.TopTempBound = GetFrameInt16(a, 9);
    r.DirectLeadOut = a[12] == 0;
    r.AlarmCur = a[14];
    r.Average = AverageFromRegister(a[16]);
}

void BuildWriteConfigurationRequest(const TTransducerData& r, int newSlaveId, TFrameBuffer& q)
{
    q.fill(0);
    q[0] = uint8_t(r.SlaveID);
    q[1] = 0x10;
    q[2] = 0x00;
    q[3] = 0x18;
    q[4] = 0x00;
    q[5] = 0x08;
    q[6] = 0x10;
    q[8] = uint8_t(r.SensorKind);
    q[10] = r.R0 == 100 ? 1 : (r.R0 == 50 ? 2 : 0);
    PutFrameInt(q, 11, 2, r.BottomTempBound);
    PutFrameInt(q, 13, 2, r.TopTempBound);
    q[16] = r.DirectLeadOut ? 0 : 1;
    q[18] = uint8_t(r.AlarmCur);
    q[20] = uint8_t(AverageToRegister(r.Average));
    q[22] = uint8_t(newSlaveId);
    PutFrameCRC(q, 23);
}

bool ReadConfiguration(TDeviceSession& s)
{
    if (!s.link.drv || !s.link.drv->IsPortOpen()) {
        s.Messages().Show(kNotConnected, mkInformation, mbOk);
        return false;
    }
    TFrameBuffer request;
    TFrameBuffer answer;
    BuildReadConfigurationRequest(s.Transducer.SlaveID, request);
    if (RunTransaction(s.link, TOperation::ReadConfiguration, request, answer) != TOutcome::Success)
        return false;
    ParseConfigurationAnswer(answer, s.Transducer);
    CopyConfigFields(s.TransducerSnapshot, s.Transducer);
    return true;
}

TRangeCheck CheckTemperatureRange(int bottom, int top)
{
    if (top < bottom)
        return TRangeCheck::OrderWrong;
    if (top - bottom < kMinRangeSpan)
        return TRangeCheck::SpanTooShort;
    return TRangeCheck::Ok;
}

QString RangeCheckMessage(TRangeCheck check)
{
    switch (check) {
    case TRangeCheck::OrderWrong:
        return QStringLiteral("Значание верней границы диапазона меньше нижней!");
    case TRangeCheck::SpanTooShort:
        return QStringLiteral("Длина диапазона не может быть меньше ") + QString::number(kMinRangeSpan)
               + QStringLiteral(" град!");
    case TRangeCheck::Ok:
        break;
    }
    return {};
}

TOutcome WriteConfiguration(TDeviceSession& s, int newSlaveId)
{
    if (!s.link.drv || !s.link.drv->IsPortOpen()) {
        s.Messages().Show(kNotConnected, mkInformation, mbOk);
        return TOutcome::Refused;
    }
    const TRangeCheck range = CheckTemperatureRange(s.Transducer.BottomTempBound, s.Transducer.TopTempBound);
    if (range != TRangeCheck::Ok) {
        s.Messages().ShowError(RangeCheckMessage(range));
        return TOutcome::Refused;
    }
    TFrameBuffer request;
    TFrameBuffer answer;
    BuildWriteConfigurationRequest(s.Transducer, newSlaveId, request);
    const TTransducerData before = s.TransducerSnapshot;
    const TOutcome outcome = RunTransaction(s.link, TOperation::WriteConfiguration, request, answer);
    // Only a confirmed write moves the device to its new address; after a
    // refusal it still listens at the old one.
    // The snapshot follows it too: a declined save at close must not send
    // the program back to an address the device has left.
    if (outcome == TOutcome::Success) {
        s.Transducer.SlaveID = newSlaveId;
        s.TransducerSnapshot.SlaveID = newSlaveId;
        emit s.events.configurationWritten(before, s.Transducer);
        CopyConfigFields(s.TransducerSnapshot, s.Transducer);
    }
    return outcome;
}

void RestoreConfigurationFromSnapshot(TDeviceSession& s)
{
    CopyConfigFields(s.Transducer, s.TransducerSnapshot);
}
