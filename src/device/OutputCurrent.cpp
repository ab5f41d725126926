#include "device/OutputCurrent.h"

#include <limits>

TOutputRange OutputRangeOf(int plType)
{
    if (plType == 'N')
        return {0.0, 5.0};
    return {4.0, 20.0};
}

double ExpectedCurrent(int plType, bool direct, double bottom, double top, double t)
{
    if (!(top > bottom))
        return std::numeric_limits<double>::quiet_NaN();
    const TOutputRange r = OutputRangeOf(plType);
    const double fraction = (t - bottom) / (top - bottom);
    return direct ? r.low + r.Span() * fraction : r.high - r.Span() * fraction;
}
