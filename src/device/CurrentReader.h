#pragma once

#include "device/VerificationTypes.h"

#include <QString>

#include <functional>
#include <optional>

// Where the measured output current of a verification point comes from.
// The engineer's typed value is the plain case; a meter on the bus reads it
// by itself and may be asked again and again while the reading settles.
class ICurrentReader {
public:
    virtual ~ICurrentReader() = default;
    // The output current now, mA; false with a reason when there is none.
    virtual bool ReadCurrent(const TVerifyPoint& point, double* milliamps, QString* error) = 0;
    // True when every call is a fresh reading (a meter): the current is
    // then judged for settling like the transducer's own reading.
    virtual bool Live() const { return false; }
    // The instrument behind the values, when there is one to name.
    virtual std::optional<TInstrumentInfo> Instrument() const { return std::nullopt; }
};

// The value the engineer typed: `Typed` gives it (nothing: not typed yet).
class TTypedCurrentReader : public ICurrentReader {
public:
    std::function<std::optional<double>(const TVerifyPoint& point)> Typed;

    bool ReadCurrent(const TVerifyPoint& point, double* milliamps, QString* error) override;
};

// Where the reference resistance of a point is set. By default the engineer
// sets it on a decade box from what the window shows; a programmable source
// sets it by itself.
class IResistanceSource {
public:
    virtual ~IResistanceSource() = default;
    // False with a reason when the resistance could not be set.
    virtual bool SetResistance(double ohms, QString* error) = 0;
    virtual std::optional<TInstrumentInfo> Instrument() const { return std::nullopt; }
};
