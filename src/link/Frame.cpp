#include "link/Frame.h"

namespace {
const QDate kDateZero(1899, 12, 30);
}

TDateValue DateValueFromQDate(const QDate& date)
{
    return date.isValid() ? TDateValue(kDateZero.daysTo(date)) : 0;
}

QDate QDateFromDateValue(TDateValue value)
{
    return value == 0 ? QDate() : kDateZero.addDays(value);
}

TCrc16 CalcCRC16(const uint8_t* buffer, int count)
{
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= buffer[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return {uint8_t(crc & 0xFF), uint8_t(crc >> 8)};
}

int PutFrameCRC(TFrameBuffer& buffer, int count)
{
    const TCrc16 crc = CalcCRC16(buffer.data(), count);
    buffer[count] = crc.lo;
    buffer[count + 1] = crc.hi;
    return count + 2;
}

bool FrameCRCValid(const uint8_t* buffer, int length)
{
    if (length < 3)
        return false;
    const TCrc16 crc = CalcCRC16(buffer, length - 2);
    return buffer[length - 2] == crc.lo && buffer[length - 1] == crc.hi;
}

void PutFrameInt(TFrameBuffer& buffer, int position, int width, int32_t value)
{
    // Two's complement cut to the field: -1 in four bytes is FF FF FF FF, so a
    // value read from the device goes back unchanged.
    const uint32_t n = uint32_t(value);
    for (int i = 0; i < width; ++i)
        buffer[position + i] = uint8_t(n >> (8 * (width - 1 - i)));
}

void PutFrameString(TFrameBuffer& buffer, int position, int width, const QByteArray& text)
{
    const int n = std::min<int>(width, text.size());
    for (int i = 0; i < n; ++i)
        buffer[position + i] = uint8_t(text[i]);
}

void PutFrameDate(TFrameBuffer& buffer, int position, TDateValue date)
{
    const QDate d = QDateFromDateValue(date);
    buffer[position] = uint8_t(d.isValid() ? d.day() : 0);
    buffer[position + 1] = uint8_t(d.isValid() ? d.month() : 0);
    const int year = d.isValid() ? d.year() : 0;
    buffer[position + 2] = uint8_t(year >> 8);
    buffer[position + 3] = uint8_t(year);
}

QByteArray GetFrameString(const TFrameBuffer& buffer, int position, int count)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data() + position), count);
}

QByteArray TrimFrameText(const QByteArray& text)
{
    int b = 0;
    int e = text.size();
    while (b < e && uint8_t(text[b]) <= 0x20)
        ++b;
    while (e > b && uint8_t(text[e - 1]) <= 0x20)
        --e;
    return text.mid(b, e - b);
}

int16_t GetFrameInt16(const TFrameBuffer& buffer, int position)
{
    return int16_t(uint16_t(buffer[position] << 8 | buffer[position + 1]));
}

int32_t GetFrameInt32(const TFrameBuffer& buffer, int position)
{
    return int32_t(uint32_t(buffer[position]) << 24 | uint32_t(buffer[position + 1]) << 16
                   | uint32_t(buffer[position + 2]) << 8 | uint32_t(buffer[position + 3]));
}

TDateValue GetFrameDate(const TFrameBuffer& buffer, int position, bool* valid)
{
    const int day = buffer[position];
    const int month = buffer[position + 1];
    const int year = buffer[position + 2] * 256 + buffer[position + 3];
    const QDate d(year, month, day);
    const bool ok = year >= 1 && year <= 9999 && d.isValid();
    if (valid)
        *valid = ok;
    if (!ok)
        return 0;
    return DateValueFromQDate(d);
}
