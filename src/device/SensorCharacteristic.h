#pragma once

// Nominal static characteristics of the resistance thermometers the
// transducer reads, both directions. Sensor kinds are the codes of
// configuration register 0x0018.
//
// Platinum follows Callendar-Van Dusen, R = R0 (1 + A t + B t^2 + C (t - 100) t^3),
// the C term below 0 deg C only; copper is linear above 0 deg C with a cubic
// correction below it.
enum TSensorKindCode { skPt391 = 1, skPt385 = 2, skCu428 = 3 };

bool IsKnownSensorKind(int kind);

// Resistance in ohms of a sensor with nominal `r0` at `t` deg C.
// Unknown kinds are taken as platinum 0.00385.
double NominalResistance(int kind, double r0, double t);

// The temperature at which the sensor has `ohms`: the inverse of
// NominalResistance. NaN for a resistance no temperature of the
// characteristic's domain gives (zero, negative, far out of range).
double NominalTemperature(int kind, double r0, double ohms);

// The transducer's maximum measuring range for the kind (whole deg C).
struct TTempLimits {
    int min;
    int max;
};
TTempLimits SensorSpanLimits(int kind);
