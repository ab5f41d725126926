#pragma once

#include "device/SettlingJudge.h"
#include "device/VerificationTypes.h"
#include "link/TickSource.h"

#include <QList>
#include <QString>

#include <functional>

struct TSettledValue {
    double mean = 0;
    double spread = 0;
    double slope = 0;
    int readings = 0; // taken in all, the settled window included
};

struct TSettleLimits {
    uint32_t intervalMs = 200;   // between readings
    int maxReadings = 40;        // then "did not settle"
};

// Takes readings from `sample` until they settle. Any failed reading ends it
// at once with that reading's reason: no mean is made from a bad reading.
// `cancelled` (may be empty) is asked between readings.
bool ReadSettled(const std::function<bool(double&, QString*)>& sample, ITickSource& ticks,
                 const TSettlingRule& rule, const TSettleLimits& limits, TSettledValue& out, QString* error,
                 const std::function<bool()>& cancelled = {});
