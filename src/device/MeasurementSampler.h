#pragma once

#include "device/DeviceSession.h"

#include <limits>

struct TMeasurementSample {
    bool lost = false;      // the request could not be written: the link is gone
    bool answered = false;  // a whole measurement answer came
    int state = -1;         // self-diagnostic state
    double temperature = std::numeric_limits<double>::quiet_NaN(); // deg C, state 0 only
    double resistance = std::numeric_limits<double>::quiet_NaN();  // ohm, state 0 only
};

// One measurement request (registers 0x0020..0x0024) and its answer,
// waited for: the readings of a verification point. No repeat and no
// message: a missing answer is a missing sample, the caller counts them.
class TMeasurementSampler {
public:
    explicit TMeasurementSampler(TDeviceSession& session);
    TMeasurementSample Take();

private:
    TDeviceSession& m_session;
};
