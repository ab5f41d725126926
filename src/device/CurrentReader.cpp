#include "device/CurrentReader.h"

#include <cmath>

bool TTypedCurrentReader::ReadCurrent(const TVerifyPoint& point, double* milliamps, QString* error)
{
    const std::optional<double> v = Typed ? Typed(point) : std::nullopt;
    if (!v || !std::isfinite(*v)) {
        if (error)
            *error = QStringLiteral("Введите измеренное значение тока.");
        return false;
    }
    // Nothing a 4-20 or 0-5 mA output drives comes near this; a typing slip does.
    if (*v < 0 || *v > 30) {
        if (error)
            *error = QStringLiteral("Измеренный ток должен быть от 0 до 30 мА.");
        return false;
    }
    *milliamps = *v;
    return true;
}
