#pragma once

// The transducer's current output: 4-20 mA on type 'M', 0-5 mA on type 'N'.
struct TOutputRange {
    double low = 4.0;   // mA at the range's lower bound (direct output)
    double high = 20.0; // mA at its upper bound
    double Span() const { return high - low; }
};

// 'N' gives 0..5 mA, every other type code 4..20 mA.
TOutputRange OutputRangeOf(int plType);

// What a perfect transducer configured for bottom..top deg C drives at `t`:
// rising with t on a direct output, falling on an inverse one. Not limited
// to the range, so a point outside it shows how far out it is. NaN when
// the range is empty.
double ExpectedCurrent(int plType, bool direct, double bottom, double top, double t);
