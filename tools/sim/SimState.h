#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// Day, month, year high byte, year low byte: the shape dates have on the wire.
using TSimDateBytes = std::array<uint8_t, 4>;
TSimDateBytes MakeSimDate(int day, int month, int year);
bool SimDateValid(const TSimDateBytes& date);

// Everything the simulated transducer remembers across a power cycle.
// Configuration fields hold the register values as they travel.
struct TSimState {
    // identity (read-only on the wire)
    uint8_t address = 1;
    uint8_t typeCode = 'M';
    QByteArray typeText;          // Windows-1251, at most 16 bytes

    // information record, registers 0x0008..0x0017
    QByteArray sensorTypeText;    // Windows-1251, at most 24 bytes, no trailing zeros
    int32_t sensorNumber = 0;
    TSimDateBytes sensorDate{};

    // configuration, registers 0x0018..0x001E (0x001F is the address)
    uint8_t sensorKind = 2;
    uint8_t r0Code = 1;           // 1: 100 ohm, 2: 50 ohm
    int16_t bottomBound = -50;
    int16_t topBound = 150;
    uint8_t outputCode = 0;       // 0 direct, 1 inverse
    uint8_t alarmCode = 1;
    uint8_t averageCode = 0;      // 0 off, else seconds * 6 - 2

    TSimDateBytes calibrDate{};
    // output trim of calibration stages 5 and 6: the currents measured while
    // the output drove its low and its high point, in uA
    bool outputTrimmed = false;
    int trimLowUa = 0;
    int trimHighUa = 0;

    // sensor corrections the transducer carried out itself
    bool r0Corrected = false;
    double r0Offset = 0.0;        // deg C subtracted from the reading
    bool nsxCorrected = false;
    double nsxGain = 1.0;         // reading scale after the NSX correction

    // the bench the transducer stands on
    double temperature = 0.0;     // true sensor temperature, deg C: melting ice, where R0 is corrected
    uint8_t diagState = 0;        // set by hand: 0 none, 1 ADC, 2 not calibrated, 3 sensor break
};

QByteArray DefaultTypeText(uint8_t typeCode);
TSimState DefaultSimState();
double SimR0Ohms(const TSimState& s);           // 100 or 50
int SimAverageSeconds(const TSimState& s);      // 0 when off

// A missing file leaves the defaults; damaged keys fall back to them one by one.
bool LoadSimState(const QString& fileName, TSimState& state, QString* error);
bool SaveSimState(const QString& fileName, const TSimState& state, QString* error);

// Texts in the file may hold any byte: control bytes and backslashes go as \xNN.
QString EscapeStateText(const QByteArray& bytes);
QByteArray UnescapeStateText(const QString& text);
