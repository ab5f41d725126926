#pragma once

#include "device/DeviceSession.h"

#include <QString>

// The configuration block, registers 0x0018..0x001F: sensor kind, R0, range,
// output direction, alarm current, averaging time and the slave address.

// Limits of the range fields by sensor kind; the span between bounds is at least 25 °C.
struct TSensorLimits {
    int topMin = 0;
    int topMax = 0;
    int bottomMin = 0;
    int bottomMax = 0;
};
constexpr int kMinRangeSpan = 25;
bool SensorLimits(int sensorKind, TSensorLimits* limits); // false for an unknown kind
QString TemperatureLimitText(int degrees);                // "600 °C"

// Averaging seconds <-> register low byte (1..30 s travel as 4..178).
int AverageToRegister(int seconds);
int AverageFromRegister(int byte);

// Integer rounding with ties to even, as every real-to-integer step of the page.
int RoundHalfEven(double value);

void BuildReadConfigurationRequest(int slaveId, TFrameBuffer& request);
// Takes registers 0x0018..0x001F of a 21-byte answer into the record.
void ParseConfigurationAnswer(const TFrameBuffer& answer, TTransducerData& record);
void BuildWriteConfigurationRequest(const TTransducerData& record, int newSlaveId, TFrameBuffer& request);

// Reads the block into the record and the snapshot. True when the record was
// filled; every failure has shown its message (and disconnected when the
// device is lost).
bool ReadConfiguration(TDeviceSession& session);

enum class TRangeCheck { Ok, OrderWrong, SpanTooShort };
TRangeCheck CheckTemperatureRange(int bottom, int top);
// The page's message for a failed range check; empty for Ok.
QString RangeCheckMessage(TRangeCheck check);

// Checks the record's range, then writes the block with `newSlaveId` in its
// address register. The request goes to the current address; SlaveID takes
// the new address only once the device confirmed the write.
TOutcome WriteConfiguration(TDeviceSession& session, int newSlaveId);

// The eight configuration fields back from the snapshot (a declined save).
void RestoreConfigurationFromSnapshot(TDeviceSession& session);
