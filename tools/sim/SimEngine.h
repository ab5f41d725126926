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

// The current loop's own error before any trim: what it drives for a set
// current I is I x (1 + gain) + offset.
struct TSimOutputError {
    double offsetUa = 0;
    double gainPpm = 0;
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
                        uint32_t seed = 1, const TSimOutputError& output = {});

    // The answer, or nothing when a real slave would stay silent.
    std::optional<TSimBytes> HandleRequest(const TSimBytes& request, int64_t nowMs);

    const TSimState& State() const { return m_state; }
    // True once after every change of the remembered state.
    bool TakeStateChanged();

    // The sensor at `t` deg C; a decade box in its place is taken away.
    void SetTemperature(double t);
    // A decade box in place of the sensor: the temperature is what the
    // configured sensor's characteristic gives for `ohms`, and follows a
    // change of sensor kind or R0. False (nothing changed) when no
    // temperature of the characteristic gives that resistance.
    bool SetReferenceResistance(double ohms);
    std::optional<double> ReferenceResistance() const { return m_reference; }
    // What a meter in the current loop reads now, mA: the output the
    // measured temperature, the configuration and the trim drive (the
    // alarm current in a fault, the bare calibration points while stages
    // 5 and 6 wait for their measured currents), through the loop's error.
    double OutputCurrentMilliamps() const;
    const TSimOutputError& OutputError() const { return m_output; }
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
    double driven(double setMa) const;      // through the loop's error
    double trimmedSetting(double targetMa) const;
    void followReference();
    double rawReading(int64_t nowMs); // sensor temperature plus noise
    double noiseSample();

    TSimState m_state;
    TSimFaults m_faults;
    TSimOutputError m_output;
    std::optional<double> m_reference; // ohms of the decade box, when one stands in for the sensor
    double m_noise;
    uint32_t m_rng;
    int64_t m_now = 0;
    bool m_changed = false;
    int m_dropped = 0;
    int m_corrupted = 0;
    int m_calibrProgress = 0; // last calibration stage done, 0 = none running
    bool m_nsxPending = false; // step 1 accepted, waiting for the true temperature
    int m_trimLowUa = 0;       // stage 5's and 6's measured currents, kept at stage 7
    int m_trimHighUa = 0;
};
