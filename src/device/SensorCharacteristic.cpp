#include "device/SensorCharacteristic.h"

#include <cmath>
#include <limits>

namespace {

struct TCoefficients {
    double a, b, c;
};

// Platinum coefficients; alpha 0.00385 is the one of IEC 60751.
constexpr TCoefficients kPt385 = {3.9083e-3, -5.775e-7, -4.183e-12};
constexpr TCoefficients kPt391 = {3.9690e-3, -5.841e-7, -4.330e-12};
// Copper alpha 0.00428; b and c act below 0 deg C only.
constexpr TCoefficients kCu428 = {4.28e-3, -6.2032e-7, 8.5154e-10};

// Where the inverse looks: a little beyond the standards' ranges, so a
// reading just past a bound still maps back.
struct TDomain {
    double lo, hi;
};
constexpr TDomain kPlatinumDomain = {-220.0, 900.0};
constexpr TDomain kCopperDomain = {-200.0, 250.0};

const TCoefficients& coefficients(int kind)
{
    switch (kind) {
    case skPt391: return kPt391;
    case skCu428: return kCu428;
    default: return kPt385;
    }
}

// Resistance ratio W = R/R0 and its derivative dW/dt.
double ratio(int kind, double t, double* slope)
{
    const TCoefficients& k = coefficients(kind);
    if (kind == skCu428) {
        if (t >= 0) {
            *slope = k.a;
            return 1.0 + k.a * t;
        }
        *slope = k.a + k.b * (2 * t + 6.7) + 3 * k.c * t * t;
        return 1.0 + k.a * t + k.b * t * (t + 6.7) + k.c * t * t * t;
    }
    double w = 1.0 + k.a * t + k.b * t * t;
    double d = k.a + 2 * k.b * t;
    if (t < 0) {
        w += k.c * (t - 100.0) * t * t * t;
        d += k.c * (4 * t * t * t - 300.0 * t * t);
    }
    *slope = d;
    return w;
}

} // namespace

bool IsKnownSensorKind(int kind)
{
    return kind == skPt391 || kind == skPt385 || kind == skCu428;
}

double NominalResistance(int kind, double r0, double t)
{
    double slope = 0;
    return r0 * ratio(kind, t, &slope);
}

double NominalTemperature(int kind, double r0, double ohms)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    if (!(r0 > 0) || !(ohms > 0) || !std::isfinite(ohms))
        return kNaN;
    const double w = ohms / r0;
    const TCoefficients& k = coefficients(kind);
    const TDomain dom = kind == skCu428 ? kCopperDomain : kPlatinumDomain;
    double slope = 0;
    if (w < ratio(kind, dom.lo, &slope) || w > ratio(kind, dom.hi, &slope))
        return kNaN;
    if (w >= 1.0) {
        // Above 0 deg C both have a closed form.
        if (kind == skCu428)
            return (w - 1.0) / k.a;
        return (std::sqrt(k.a * k.a - 4 * k.b * (1.0 - w)) - k.a) / (2 * k.b);
    }
    // Below 0 Newton's method on the monotonic curve, from the linear guess;
    // a few steps reach far below a micro-degree.
    double t = (w - 1.0) / k.a;
    for (int i = 0; i < 50; ++i) {
        const double f = ratio(kind, t, &slope) - w;
        const double step = f / slope;
        t -= step;
        if (std::fabs(step) < 1e-10)
            return t;
    }
    return kNaN;
}

TTempLimits SensorSpanLimits(int kind)
{
    if (kind == skCu428)
        return {-100, 200};
    return {-200, 600};
}
