#pragma once

#include <QByteArray>
#include <QDate>

#include <array>
#include <cstdint>

// One RTU frame: address, function, data, CRC-16 (low byte first).
// Every request is built in a zero-filled buffer and every answer read into one.
constexpr int kFrameBufferSize = 128;
constexpr int kMaxReadCount = 100;
using TFrameBuffer = std::array<uint8_t, kFrameBufferSize>;

// Dates are day counts (day 1 = 31.12.1899, as in the design's date values); 0 = no date.
using TDateValue = int32_t;
TDateValue DateValueFromQDate(const QDate& date); // invalid date -> 0
QDate QDateFromDateValue(TDateValue value);       // 0 -> invalid QDate

struct TCrc16 {
    uint8_t lo = 0;
    uint8_t hi = 0;
};

TCrc16 CalcCRC16(const uint8_t* buffer, int count);
// Stores the CRC of the first `count` bytes at count, count+1; returns the frame length.
int PutFrameCRC(TFrameBuffer& buffer, int count);
// True when the last two of `length` bytes are the CRC of the ones before.
bool FrameCRCValid(const uint8_t* buffer, int length);

// Big-endian field of 1, 2 or 4 bytes; negative values as two's complement of the width.
void PutFrameInt(TFrameBuffer& buffer, int position, int width, int32_t value);
// Windows-1251 bytes, at most `width`; the rest keeps the zero fill.
void PutFrameString(TFrameBuffer& buffer, int position, int width, const QByteArray& text);
// Day, month, year high, year low.
void PutFrameDate(TFrameBuffer& buffer, int position, TDateValue date);

// The raw bytes of the field, zero bytes included.
QByteArray GetFrameString(const TFrameBuffer& buffer, int position, int count);
// Leading and trailing bytes <= 0x20 removed.
QByteArray TrimFrameText(const QByteArray& text);
int16_t GetFrameInt16(const TFrameBuffer& buffer, int position);
int32_t GetFrameInt32(const TFrameBuffer& buffer, int position);
// 0 for an impossible date, and then `valid` (when given) is false; the caller
// tells the user.
TDateValue GetFrameDate(const TFrameBuffer& buffer, int position, bool* valid = nullptr);
