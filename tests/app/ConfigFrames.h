#pragma once

// Hand-built configuration answers (function 3, registers 0x0018..0x001F).

#include "ScriptedPort.h"

#include <QByteArray>

struct TConfigRegisters {
    uint8_t sensorKind = 2;  // Pt 0,00385
    uint8_t r0Code = 1;      // 100 ohm
    int16_t bottom = -50;
    int16_t top = 150;
    uint8_t output = 0;      // direct
    uint8_t alarm = 1;
    uint8_t average = 0;     // off
    uint8_t address = 1;     // register 0x001F, not interpreted on reading
};

// The 21-byte answer of the device at `address`, CRC appended.
inline QByteArray ConfigurationAnswer(uint8_t address, const TConfigRegisters& r = {})
{
    QByteArray a;
    a.append(char(address));
    a.append(char(0x03));
    a.append(char(0x10));
    auto reg = [&a](int value) {
        a.append(char((value >> 8) & 0xFF));
        a.append(char(value & 0xFF));
    };
    reg(r.sensorKind);
    reg(r.r0Code);
    reg(uint16_t(r.bottom));
    reg(uint16_t(r.top));
    reg(r.output);
    reg(r.alarm);
    reg(r.average);
    reg(r.address);
    return WithCRC(a);
}

// Every configuration read at `address` gets the answer of `r` (as it is when asked).
inline void AnswerConfigurationReads(ScriptedPort& p, uint8_t address, const TConfigRegisters* r = nullptr)
{
    p.answerAlways(QByteArray() + char(address) + HexBytes("03 00 18 00 08"),
                   [address, r](const QByteArray&) { return ConfigurationAnswer(address, r ? *r : TConfigRegisters{}); });
}
