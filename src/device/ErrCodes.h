#pragma once

#include <QString>

#include <cstdint>

// The transducer's exception codes and their messages. A 5-byte answer to a
// standard request with bit 7 of the function byte set carries one of them.
struct TErrCode {
    uint8_t Code;
    const char* Message; // UTF-8
};

constexpr int kErrCodeCount = 10;
extern const TErrCode ErrCodeTable[kErrCodeCount];

class IMessageDialog;

// The table's message for `code`; empty when the code is not in the table.
QString DeviceExceptionText(uint8_t code);
// "Прибор отказал в выполнении команды (код N).": a refusal whose code
// the program does not know, shown so that it is never taken for success.
QString UnknownRefusalText(int code);
// Shows the table's message as an error (Ok); a code not in the table shows
// the unknown-refusal text.
void ShowDeviceException(IMessageDialog& dialog, uint8_t code);
