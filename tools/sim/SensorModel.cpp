#include "SensorModel.h"

namespace {

struct TPlatinum {
    double a, b, c;
};

// Callendar-Van Dusen coefficients of the industrial platinum thermometers.
constexpr TPlatinum kPt385 = {3.9083e-3, -5.775e-7, -4.183e-12};
constexpr TPlatinum kPt391 = {3.9690e-3, -5.841e-7, -4.330e-12};

double platinum(const TPlatinum& k, double r0, double t)
{
    double w = 1.0 + k.a * t + k.b * t * t;
    if (t < 0)
        w += k.c * (t - 100.0) * t * t * t;
    return r0 * w;
}

// Copper, alpha 0.00428: linear above 0 deg C, a cubic correction below.
double copper(double r0, double t)
{
    constexpr double a = 4.28e-3;
    constexpr double b = -6.2032e-7;
    constexpr double c = 8.5154e-10;
    if (t >= 0)
        return r0 * (1.0 + a * t);
    return r0 * (1.0 + a * t + b * t * (t + 6.7) + c * t * t * t);
}

} // namespace

bool IsKnownSensorKind(int kind)
{
    return kind == skPt391 || kind == skPt385 || kind == skCu428;
}

double NominalResistance(int kind, double r0, double t)
{
    switch (kind) {
    case skPt391: return platinum(kPt391, r0, t);
    case skCu428: return copper(r0, t);
    default: return platinum(kPt385, r0, t);
    }
}

TTempLimits SensorLimits(int kind)
{
    if (kind == skCu428)
        return {-100, 200};
    return {-200, 600};
}
