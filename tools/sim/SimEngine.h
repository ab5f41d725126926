#pragma once

#include "SimState.h"
#include "SimWire.h"

#include <cstdint>
#include <map>
#include <optional>

// Misbehaviour on demand, to see how the program copes.
struct TSimFaults {
    bool silent = false;            // never answer
    int dropFirst = 0;              // ignore the first N requests addressed to us
    std::map<int, int> exceptions;  // function code -> exception code to answer with
    bool badCrc = false;            // corrupt the CRC of every answer
    int badCrcFirst = 0;            // ... or of the first N answers only
};

// Exception and private-function result codes.
enum TSimCode : uint8_t {
    scIllegalFunction = 1,
    scIllegalAddress = 2,
    scIllegalValue = 3,
    scAdcOutOfRange = 10,
    scBadData = 11,
    scR0TooFar = 12,
    scR0Done = 13,
    scNsxDone = 14,
    scNsxTooNear = 15,
    scNsxMismatch = 16,
};

struct TSimMeasurement {
    double temperature = 0; // as the transducer reports it, deg C
    double resistance = 0;  // ohms
    uint8_t state = 0;      // self-diagnostic state
};

// One transducer as seen from the line: request bytes in, answer bytes out.
// No clock and no I/O of its own; `nowMs` is whatever time base the caller
// runs on and only moves the measurement noise.
class TSimEngine {
public:
    explicit TSimEngine(const TSimState& state, const TSimFaults& faults = {}, double noise = 0.05,
                        uint32_t seed = 1);

    // The answer, or nothing when a real slave would stay silent.
    std::optional<TSimBytes> HandleRequest(const TSimBytes& request, int64_t nowMs);

    const TSimState& State() const { return m_state; }
    // True once after every change of the remembered state.
    bool TakeStateChanged();

    void SetTemperature(double t);
    void SetDiagState(uint8_t s);
    int CalibrationProgress() const { return m_calibrProgress; }

    // What the transducer measures now: noise, corrections and the state included.
    TSimMeasurement Measure(int64_t nowMs);

private:
    TSimBytes answer(const TSimBytes& req);
    TSimBytes identification() const;
    TSimBytes readRegisters(const TSimBytes& req);
    TSimBytes writeRegisters(const TSimBytes& req);
    TSimBytes calibrationStage(const TSimBytes& req);
    TSimBytes correctR0(const TSimBytes& req);
    TSimBytes nsxStep(const TSimBytes& req);
    bool writeConfiguration(const uint8_t* regs);
    TSimBytes exception(uint8_t function, uint8_t code) const;
    TSimBytes privateResult(uint8_t function, uint8_t code) const;
    uint8_t effectiveState() const;
    double rawReading(int64_t nowMs); // sensor temperature plus noise
    double noiseSample();

    TSimState m_state;
    TSimFaults m_faults;
    double m_noise;
    uint32_t m_rng;
    int64_t m_now = 0;
    bool m_changed = false;
    int m_dropped = 0;
    int m_corrupted = 0;
    int m_calibrProgress = 0; // last calibration stage done, 0 = none running
    bool m_nsxPending = false; // step 1 accepted, waiting for the true temperature
};
