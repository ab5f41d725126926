#include "SimWire.h"

uint16_t SimCrc16(const uint8_t* data, size_t count)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

void AppendSimCrc(TSimBytes& frame)
{
    const uint16_t crc = SimCrc16(frame.data(), frame.size());
    frame.push_back(uint8_t(crc & 0xFF));
    frame.push_back(uint8_t(crc >> 8));
}

bool SimCrcValid(const uint8_t* data, size_t count)
{
    if (count < 3)
        return false;
    const uint16_t crc = SimCrc16(data, count - 2);
    return data[count - 2] == uint8_t(crc & 0xFF) && data[count - 1] == uint8_t(crc >> 8);
}

void PutBE16(TSimBytes& frame, uint16_t value)
{
    frame.push_back(uint8_t(value >> 8));
    frame.push_back(uint8_t(value));
}

void PutBE32(TSimBytes& frame, uint32_t value)
{
    PutBE16(frame, uint16_t(value >> 16));
    PutBE16(frame, uint16_t(value));
}

int ExpectedRequestLength(const uint8_t* data, size_t count)
{
    if (count < 2)
        return 0;
    switch (data[1]) {
    case 0x11: return 4;
    case 0x03: return 8;
    case 0x4D: return 9;
    case 0x4E: return 5;
    case 0x4F: return 7;
    case 0x10: return count < 7 ? 0 : 9 + data[6];
    default: return -1;
    }
}
