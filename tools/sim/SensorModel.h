#pragma once

// Nominal static characteristics of the resistance thermometers the
// transducer reads. Sensor kinds are the codes of configuration register
// 0x0018: 1 platinum alpha 0.00391, 2 platinum alpha 0.00385, 3 copper alpha 0.00428.
enum TSensorKindCode { skPt391 = 1, skPt385 = 2, skCu428 = 3 };

bool IsKnownSensorKind(int kind);

// Resistance in ohms of a sensor with nominal `r0` at temperature `t` (deg C).
// Unknown kinds are treated as platinum 0.00385.
double NominalResistance(int kind, double r0, double t);

// The transducer's maximum measuring range for the kind (whole deg C).
struct TTempLimits {
    int min;
    int max;
};
TTempLimits SensorLimits(int kind);
