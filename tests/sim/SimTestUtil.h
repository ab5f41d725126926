#pragma once

// Requests for the simulator built with the program's own frame codec, so the
// simulator's CRC is checked against an independent implementation.

#include "common/Cp1251.h"
#include "link/Frame.h"
#include "SimEngine.h"

#include <initializer_list>
#include <optional>

inline TSimBytes Req(std::initializer_list<int> bytes)
{
    TSimBytes f;
    for (int b : bytes)
        f.push_back(uint8_t(b));
    const TCrc16 crc = CalcCRC16(f.data(), int(f.size()));
    f.push_back(crc.lo);
    f.push_back(crc.hi);
    return f;
}

inline TSimBytes WithCrc(TSimBytes f)
{
    const TCrc16 crc = CalcCRC16(f.data(), int(f.size()));
    f.push_back(crc.lo);
    f.push_back(crc.hi);
    return f;
}

// The answer without its CRC; empty when there was none or the CRC is wrong.
inline TSimBytes Body(const std::optional<TSimBytes>& answer)
{
    if (!answer || !FrameCRCValid(answer->data(), int(answer->size())))
        return {};
    return TSimBytes(answer->begin(), answer->end() - 2);
}

inline TSimBytes Bytes(std::initializer_list<int> bytes)
{
    TSimBytes f;
    for (int b : bytes)
        f.push_back(uint8_t(b));
    return f;
}

// A transducer with every field away from the defaults.
inline TSimState SampleState()
{
    TSimState s = DefaultSimState();
    s.address = 5;
    s.typeCode = 'M';
    s.typeText = "ZK-M";
    s.sensorTypeText = toCp1251(QStringLiteral("ТСМ 50"));
    s.sensorNumber = -1;
    s.sensorDate = MakeSimDate(15, 3, 2005);
    s.sensorKind = 3;
    s.r0Code = 2;
    s.bottomBound = -50;
    s.topBound = 150;
    s.outputCode = 1;
    s.alarmCode = 2;
    s.averageCode = 178;
    s.calibrDate = MakeSimDate(25, 3, 2005);
    s.temperature = 100.0;
    return s;
}
