#include "SimEngine.h"

#include "device/OutputCurrent.h"
#include "device/SensorCharacteristic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr uint8_t fnRead = 0x03;
constexpr uint8_t fnWrite = 0x10;
constexpr uint8_t fnIdentify = 0x11;
constexpr uint8_t fnCalibrate = 0x4D;
constexpr uint8_t fnCorrectR0 = 0x4E;
constexpr uint8_t fnCorrectNsx = 0x4F;

constexpr uint16_t kInfoBlock = 0x0008, kInfoCount = 16;
constexpr uint16_t kConfigBlock = 0x0018, kConfigCount = 8;
constexpr uint16_t kMeasureBlock = 0x0020, kMeasureCount = 5;

// The output current the program reports back at stages 5 and 6, in uA.
struct TCurrentWindow {
    int min, max;
};
TCurrentWindow currentWindow(uint8_t typeCode, int stage)
{
    if (typeCode == 'N')
        return stage == 5 ? TCurrentWindow{30, 170} : TCurrentWindow{4800, 5200};
    return stage == 5 ? TCurrentWindow{3600, 4400} : TCurrentWindow{19200, 20800};
}

// The currents the output drives, untrimmed, while stages 5 and 6 wait for
// what was measured (the calibration texts name them), in mA.
struct TTrimPoints {
    double low, high;
};
TTrimPoints trimPoints(uint8_t typeCode)
{
    return typeCode == 'N' ? TTrimPoints{0.1, 5.0} : TTrimPoints{4.0, 20.0};
}

// The alarm current a fault drives, by the alarm code.
double alarmCurrent(uint8_t typeCode, uint8_t code)
{
    if (typeCode == 'N')
        return code == 2 ? 5.5 : 0.0;
    switch (code) {
    case 2: return 3.6;
    case 3: return 21.0;
    case 4: return 22.0;
    default: return 3.2;
    }
}

void putPadded(TSimBytes& frame, const QByteArray& text, int width)
{
    for (int i = 0; i < width; ++i)
        frame.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

void putDate(TSimBytes& frame, const TSimDateBytes& d)
{
    frame.insert(frame.end(), d.begin(), d.end());
}

bool averageCodeValid(uint8_t code)
{
    return code == 0 || ((code + 2) % 6 == 0 && (code + 2) / 6 >= 1 && (code + 2) / 6 <= 30);
}

int clampRound(double v, int lo, int hi)
{
    return int(std::clamp<long>(std::lround(v), lo, hi));
}

} // namespace

TSimEngine::TSimEngine(const TSimState& state, const TSimFaults& faults, double noise, uint32_t seed,
                       const TSimOutputError& output)
    : m_state(state)
    , m_faults(faults)
    , m_output(output)
    , m_noise(std::max(0.0, noise))
    , m_rng(seed ? seed : 1)
{
}

bool TSimEngine::TakeStateChanged()
{
    const bool c = m_changed;
    m_changed = false;
    return c;
}

void TSimEngine::SetTemperature(double t)
{
    m_reference.reset();
    m_state.temperature = t;
    m_changed = true;
}

bool TSimEngine::SetReferenceResistance(double ohms)
{
    const double t = NominalTemperature(m_state.sensorKind, SimR0Ohms(m_state), ohms);
    if (!std::isfinite(t))
        return false;
    m_reference = ohms;
    m_state.temperature = t;
    m_changed = true;
    return true;
}

// The same resistance means another temperature to another sensor.
void TSimEngine::followReference()
{
    if (!m_reference)
        return;
    const double t = NominalTemperature(m_state.sensorKind, SimR0Ohms(m_state), *m_reference);
    if (std::isfinite(t))
        m_state.temperature = t;
    else
        m_reference.reset();
}

double TSimEngine::driven(double setMa) const
{
    return setMa * (1.0 + m_output.gainPpm * 1e-6) + m_output.offsetUa / 1000.0;
}

// The set current that makes the trimmed output drive `targetMa`: the two
// measured points say what the loop really gives at the two calibration points.
double TSimEngine::trimmedSetting(double targetMa) const
{
    if (!m_state.outputTrimmed || m_state.trimHighUa <= m_state.trimLowUa)
        return targetMa;
    const TTrimPoints p = trimPoints(m_state.typeCode);
    const double low = m_state.trimLowUa / 1000.0;
    const double high = m_state.trimHighUa / 1000.0;
    return p.low + (targetMa - low) * (p.high - p.low) / (high - low);
}

double TSimEngine::OutputCurrentMilliamps() const
{
    const TTrimPoints points = trimPoints(m_state.typeCode);
    if (m_calibrProgress == 4)
        return driven(points.low);
    if (m_calibrProgress == 5)
        return driven(points.high);

    double target = 0;
    const uint8_t state = effectiveState();
    if (state == 1 || state == 3) {
        target = alarmCurrent(m_state.typeCode, m_state.alarmCode);
    } else {
        // The measured temperature without its noise: a meter integrates that away.
        const double t = (m_state.temperature - m_state.r0Offset) * m_state.nsxGain;
        target = ExpectedCurrent(m_state.typeCode, m_state.outputCode == 0, m_state.bottomBound, m_state.topBound, t);
        if (!std::isfinite(target))
            target = alarmCurrent(m_state.typeCode, m_state.alarmCode);
        // Past the range's ends the output stops a little beyond the range.
        const bool n = m_state.typeCode == 'N';
        target = std::clamp(target, n ? 0.0 : 3.8, n ? 5.1 : 20.5);
    }
    return driven(trimmedSetting(target));
}

void TSimEngine::SetDiagState(uint8_t s)
{
    m_state.diagState = s;
    m_changed = true;
}

std::optional<TSimBytes> TSimEngine::HandleRequest(const TSimBytes& req, int64_t nowMs)
{
    // What a slave on a shared line does: damaged frames and frames for
    // someone else pass by without a word.
    if (req.size() < 4 || !SimCrcValid(req.data(), req.size()) || req[0] != m_state.address)
        return std::nullopt;
    if (m_dropped < m_faults.dropFirst) {
        ++m_dropped;
        return std::nullopt;
    }
    if (m_faults.silent)
        return std::nullopt;
    m_now = nowMs;

    const auto forced = m_faults.exceptions.find(req[1]);
    TSimBytes out = forced != m_faults.exceptions.end() ? exception(req[1], uint8_t(forced->second)) : answer(req);
    if (m_faults.badCrc || m_corrupted < m_faults.badCrcFirst) {
        ++m_corrupted;
        out.back() ^= 0x5A;
    }
    return out;
}

TSimBytes TSimEngine::answer(const TSimBytes& req)
{
    switch (req[1]) {
    case fnIdentify:
        return req.size() == 4 ? identification() : exception(fnIdentify, scIllegalValue);
    case fnRead: return readRegisters(req);
    case fnWrite: return writeRegisters(req);
    case fnCalibrate: return calibrationStage(req);
    case fnCorrectR0: return correctR0(req);
    case fnCorrectNsx: return nsxStep(req);
    default: return exception(req[1], scIllegalFunction);
    }
}

TSimBytes TSimEngine::exception(uint8_t function, uint8_t code) const
{
    TSimBytes f{m_state.address, uint8_t(function | 0x80), code};
    AppendSimCrc(f);
    return f;
}

// A private function answers with its own code on success and with the
// code's bit 7 set and a result code on refusal.
TSimBytes TSimEngine::privateResult(uint8_t function, uint8_t code) const
{
    if (code != 0)
        return exception(function, code);
    TSimBytes f{m_state.address, function, 0};
    AppendSimCrc(f);
    return f;
}

TSimBytes TSimEngine::identification() const
{
    TSimBytes f{m_state.address, fnIdentify, 50, m_state.typeCode, 0xFF};
    putPadded(f, m_state.typeText, 16);
    putPadded(f, m_state.sensorTypeText, 24);
    PutBE32(f, uint32_t(m_state.sensorNumber));
    putDate(f, m_state.sensorDate);
    AppendSimCrc(f);
    return f;
}

TSimBytes TSimEngine::readRegisters(const TSimBytes& req)
{
    if (req.size() != 8)
        return exception(fnRead, scIllegalValue);
    const uint16_t start = GetBE16(&req[2]);
    const uint16_t count = GetBE16(&req[4]);
    if (count < 1 || count > 125)
        return exception(fnRead, scIllegalValue);

    TSimBytes f{m_state.address, fnRead, uint8_t(count * 2)};
    if (start == kConfigBlock && count == kConfigCount) {
        PutBE16(f, m_state.sensorKind);
        PutBE16(f, m_state.r0Code);
        PutBE16(f, uint16_t(m_state.bottomBound));
        PutBE16(f, uint16_t(m_state.topBound));
        PutBE16(f, m_state.outputCode);
        PutBE16(f, m_state.alarmCode);
        PutBE16(f, m_state.averageCode);
        PutBE16(f, m_state.address);
    } else if (start == kMeasureBlock && count == kMeasureCount) {
        const TSimMeasurement m = Measure(m_now);
        PutBE16(f, uint16_t(int16_t(clampRound(m.temperature * 10, -32768, 32767))));
        PutBE16(f, uint16_t(clampRound(m.resistance * 100, 0, 65535)));
        PutBE16(f, m.state);
        putDate(f, m_state.calibrDate);
    } else {
        return exception(fnRead, scIllegalAddress);
    }
    AppendSimCrc(f);
    return f;
}

TSimBytes TSimEngine::writeRegisters(const TSimBytes& req)
{
    if (req.size() < 9)
        return exception(fnWrite, scIllegalValue);
    const uint16_t start = GetBE16(&req[2]);
    const uint16_t count = GetBE16(&req[4]);
    const size_t bytes = req[6];
    if (count < 1 || count > 123 || bytes != size_t(count) * 2 || req.size() != 9 + bytes)
        return exception(fnWrite, scIllegalValue);

    // The echo goes out from the address the request was sent to, even when
    // the write moves the transducer to another one.
    TSimBytes echo(req.begin(), req.begin() + 6);
    AppendSimCrc(echo);

    const uint8_t* regs = &req[7];
    if (start == kInfoBlock && count == kInfoCount) {
        QByteArray text(reinterpret_cast<const char*>(regs), 24);
        while (!text.isEmpty() && text.back() == '\0')
            text.chop(1);
        m_state.sensorTypeText = text;
        m_state.sensorNumber = int32_t(GetBE32(regs + 24));
        m_state.sensorDate = {regs[28], regs[29], regs[30], regs[31]};
        m_changed = true;
        return echo;
    }
    if (start == kConfigBlock && count == kConfigCount)
        return writeConfiguration(regs) ? echo : exception(fnWrite, scIllegalValue);
    return exception(fnWrite, scIllegalAddress);
}

// All or nothing: a block with one value out of place changes nothing.
bool TSimEngine::writeConfiguration(const uint8_t* regs)
{
    const uint8_t kind = regs[1];
    const uint8_t r0 = regs[3];
    const auto bottom = int16_t(GetBE16(regs + 4));
    const auto top = int16_t(GetBE16(regs + 6));
    const uint8_t output = regs[9];
    const uint8_t alarm = regs[11];
    const uint8_t average = regs[13];
    const uint8_t address = regs[15];

    if (!IsKnownSensorKind(kind) || (r0 != 1 && r0 != 2) || output > 1 || !averageCodeValid(average) || address == 0)
        return false;
    const TTempLimits lim = SensorSpanLimits(kind);
    if (bottom < lim.min || top > lim.max || top - bottom < 25)
        return false;
    const int alarmCodes = m_state.typeCode == 'N' ? 2 : 4;
    if (alarm < 1 || alarm > alarmCodes)
        return false;

    m_state.sensorKind = kind;
    m_state.r0Code = r0;
    m_state.bottomBound = bottom;
    m_state.topBound = top;
    m_state.outputCode = output;
    m_state.alarmCode = alarm;
    m_state.averageCode = average;
    m_state.address = address;
    followReference();
    m_changed = true;
    return true;
}

TSimBytes TSimEngine::calibrationStage(const TSimBytes& req)
{
    if (req.size() != 9)
        return exception(fnCalibrate, scIllegalValue);
    const int stage = req[2];
    if (stage == 0) { // cancel
        m_calibrProgress = 0;
        return privateResult(fnCalibrate, 0);
    }
    // Stages run in order; one may be repeated, and stage 1 always starts afresh.
    if (stage > 7 || (stage != 1 && stage != m_calibrProgress && stage != m_calibrProgress + 1))
        return privateResult(fnCalibrate, scBadData);

    if (stage <= 4) {
        if (m_state.diagState == 1)
            return privateResult(fnCalibrate, scAdcOutOfRange);
    } else if (stage <= 6) {
        const int current = int16_t(GetBE16(&req[5]));
        const TCurrentWindow w = currentWindow(m_state.typeCode, stage);
        if (current < w.min || current > w.max)
            return privateResult(fnCalibrate, scBadData);
        // Stage 5 brings what the low point really was, stage 6 the high
        // one; the trim is kept with the date, as the whole calibration is.
        (stage == 5 ? m_trimLowUa : m_trimHighUa) = current;
    } else {
        const TSimDateBytes date{req[3], req[4], req[5], req[6]};
        if (!SimDateValid(date))
            return privateResult(fnCalibrate, scBadData);
        m_state.calibrDate = date;
        m_state.outputTrimmed = true;
        m_state.trimLowUa = m_trimLowUa;
        m_state.trimHighUa = m_trimHighUa;
        if (m_state.diagState == 2)
            m_state.diagState = 0;
        m_changed = true;
        m_calibrProgress = 0;
        return privateResult(fnCalibrate, 0);
    }
    m_calibrProgress = stage;
    return privateResult(fnCalibrate, 0);
}

TSimBytes TSimEngine::correctR0(const TSimBytes& req)
{
    if (req.size() != 5)
        return exception(fnCorrectR0, scIllegalValue);
    if (req[2] == 0) {
        m_state.r0Corrected = false;
        m_state.r0Offset = 0;
        m_changed = true;
        return privateResult(fnCorrectR0, 0);
    }
    if (req[2] != 1)
        return privateResult(fnCorrectR0, scBadData);
    if (effectiveState() != 0)
        return privateResult(fnCorrectR0, scAdcOutOfRange);
    if (m_state.r0Corrected)
        return privateResult(fnCorrectR0, scR0Done);
    const double raw = rawReading(m_now);
    if (std::fabs(raw * m_state.nsxGain) > 20.0)
        return privateResult(fnCorrectR0, scR0TooFar);
    // The sensor stands at 0 deg C: whatever it shows now is its R0 error.
    m_state.r0Corrected = true;
    m_state.r0Offset = raw;
    m_changed = true;
    return privateResult(fnCorrectR0, 0);
}

TSimBytes TSimEngine::nsxStep(const TSimBytes& req)
{
    if (req.size() != 7)
        return exception(fnCorrectNsx, scIllegalValue);
    const int step = req[2];
    const int value = int16_t(GetBE16(&req[3]));
    if (step == 1 && value == 1) { // reset
        m_state.nsxCorrected = false;
        m_state.nsxGain = 1.0;
        m_nsxPending = false;
        m_changed = true;
        return privateResult(fnCorrectNsx, 0);
    }
    if (effectiveState() != 0)
        return privateResult(fnCorrectNsx, scAdcOutOfRange);
    const double reading = rawReading(m_now) - m_state.r0Offset;
    if (step == 1 && value == 0) {
        if (m_state.nsxCorrected)
            return privateResult(fnCorrectNsx, scNsxDone);
        if (std::fabs(reading) < 20.0)
            return privateResult(fnCorrectNsx, scNsxTooNear);
        m_nsxPending = true;
        return privateResult(fnCorrectNsx, 0);
    }
    if (step != 2 || !m_nsxPending)
        return privateResult(fnCorrectNsx, scBadData);
    m_nsxPending = false;
    // The bench may have moved since step 1; near 0 (and at 0 exactly) no scale can be taken.
    if (std::fabs(reading) < 20.0)
        return privateResult(fnCorrectNsx, scNsxTooNear);
    const double truth = value / 10.0;
    if (std::fabs(truth - reading) > 0.05 * std::fabs(reading))
        return privateResult(fnCorrectNsx, scNsxMismatch);
    m_state.nsxCorrected = true;
    m_state.nsxGain = truth / reading;
    m_changed = true;
    return privateResult(fnCorrectNsx, 0);
}

uint8_t TSimEngine::effectiveState() const
{
    if (m_state.diagState != 0)
        return m_state.diagState;
    if (!std::isfinite(m_state.temperature))
        return 3;
    const TTempLimits lim = SensorSpanLimits(m_state.sensorKind);
    if (m_state.temperature < lim.min || m_state.temperature > lim.max)
        return 3;
    return 0;
}

double TSimEngine::noiseSample()
{
    // xorshift32: deterministic for a seed, so tests can rely on it
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        m_rng ^= m_rng << 13;
        m_rng ^= m_rng >> 17;
        m_rng ^= m_rng << 5;
        sum += m_rng / 4294967296.0 * 2.0 - 1.0;
    }
    return sum / 3.0;
}

double TSimEngine::rawReading(int64_t nowMs)
{
    if (m_noise == 0)
        return m_state.temperature;
    // A slow wander plus jitter; averaging smooths the jitter as it would on the device.
    const int avg = SimAverageSeconds(m_state);
    const double jitter = noiseSample() * m_noise / std::sqrt(double(std::max(1, avg)));
    const double wander = 0.5 * m_noise * std::sin(2.0 * std::numbers::pi * double(nowMs % 60000) / 60000.0);
    return m_state.temperature + wander + jitter;
}

TSimMeasurement TSimEngine::Measure(int64_t nowMs)
{
    TSimMeasurement m;
    m.state = effectiveState();
    if (m.state == 1 || m.state == 3)
        return m; // nothing sensible to report without a converter or a sensor
    const double raw = rawReading(nowMs);
    m.resistance = NominalResistance(m_state.sensorKind, SimR0Ohms(m_state), raw);
    m.temperature = (raw - m_state.r0Offset) * m_state.nsxGain;
    return m;
}
