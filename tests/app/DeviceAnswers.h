#pragma once

// A scripted transducer: what its answers look like to the pages and the window.

#include "ConfigFrames.h"
#include "InfoFrames.h"
#include "ScriptedPort.h"

// The measurement block (0x0020 x 5): 23,5 °C, 109,35 Ом, no fault, calibrated 15.03.2005.
inline void AnswerMeasurements(ScriptedPort& p, uint8_t address = 1)
{
    const char a = char(address);
    p.answerAlways(QByteArray() + a + HexBytes("03 00 20 00 05"), [a](const QByteArray&) {
        return WithCRC(QByteArray() + a + HexBytes("03 0A 00 EB 2A B7 00 00 0F 03 07 D5"));
    });
}

// The device at `address` answers identifications, configuration reads and write requests.
inline void AnswerAsDevice(ScriptedPort& p, uint8_t address = 1)
{
    const char a = char(address);
    AnswerConfigurationReads(p, address);
    p.answerAlways(QByteArray() + a + char(0x11), [address](const QByteArray&) { return SampleIdentifyAnswer(address); });
    AnswerMeasurements(p, address);
    p.answerAlways(QByteArray() + a + char(0x10),
                   [a](const QByteArray&) { return WithCRC(QByteArray() + a + HexBytes("10 00 08 00 10")); });
}
