#pragma once

// Hand-built identification answers for the information tests.

#include "ScriptedPort.h"

#include <QByteArray>

// A 55-byte function-17 answer (CRC appended). Texts are raw Windows-1251
// bytes, padded here with blanks to their field widths.
inline QByteArray IdentifyAnswer(uint8_t address, uint8_t typeCode, const QByteArray& typeText,
                                 const QByteArray& sensorText, const QByteArray& number4, const QByteArray& date4)
{
    QByteArray a;
    a.append(char(address));
    a.append(char(0x11));
    a.append(char(0x32)); // byte count, not interpreted
    a.append(char(typeCode));
    a.append(char(0xFF)); // not interpreted
    a.append(typeText.leftJustified(16, ' ', true));
    a.append(sensorText.leftJustified(24, ' ', true));
    a.append(number4);
    a.append(date4);
    return WithCRC(a);
}

// Address 1, type 'M' "ЗЕЛКОР-М", sensor " ТСП 100П " (blanks around it),
// number 12345, date 15.03.2005.
inline QByteArray SampleIdentifyAnswer(uint8_t address = 1)
{
    return IdentifyAnswer(address, 0x4D, HexBytes("C7 C5 CB CA CE D0 2D CC"), HexBytes("20 D2 D1 CF 20 31 30 30 CF 20"),
                          HexBytes("00 00 30 39"), HexBytes("0F 03 07 D5"));
}
