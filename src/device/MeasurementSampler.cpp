#include "device/MeasurementSampler.h"

#include "device/Diagnostics.h"
#include "link/CommPortDriver.h"
#include "link/LinkObserver.h"

namespace {

constexpr int kAnswerLength = 15;
constexpr uint8_t kFnRead = 0x03;

} // namespace

TMeasurementSampler::TMeasurementSampler(TDeviceSession& session)
    : m_session(session)
{
}

TMeasurementSample TMeasurementSampler::Take()
{
    TMeasurementSample s;
    TCommPortDriver* drv = m_session.link.drv;
    TFrameBuffer request;
    const int length = BuildMeasurementRequest(request, m_session.Transducer.SlaveID);
    int written = 0;
    if (drv && drv->IsPortOpen()) {
        drv->PurgeBuffers(true, true);
        written = drv->WriteBytes(request.data(), length);
        NotifySent(m_session.link, request.data(), length, written);
    }
    if (written < length) {
        s.lost = true;
        return s;
    }
    AnswerWait(m_session.link, kAnswerLength);
    TFrameBuffer answer{};
    const int count = drv->ReadBytes(answer.data(), kAnswerLength);
    TFrameVerdict verdict = TFrameVerdict::Answer;
    if (count == 0)
        verdict = TFrameVerdict::NoAnswer;
    else if (count != kAnswerLength)
        verdict = TFrameVerdict::WrongLength;
    else if (!AnswerCRCValid(answer, count))
        verdict = TFrameVerdict::DamagedCRC;
    else if (answer[1] != kFnRead)
        verdict = TFrameVerdict::WrongFunction;
    NotifyReceived(m_session.link, answer.data(), count, verdict, answer[2], kAnswerLength);
    if (verdict != TFrameVerdict::Answer)
        return s;
    s.answered = true;
    s.state = answer[8];
    if (s.state == 0) {
        s.temperature = int16_t(uint16_t(answer[3] << 8 | answer[4])) / 10.0;
        s.resistance = uint16_t(answer[5] << 8 | answer[6]) / 100.0;
        m_session.Transducer.Temperature = s.temperature;
        m_session.Transducer.Resistance = s.resistance;
    }
    return s;
}
