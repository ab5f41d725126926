#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The simulator's own view of the wire. It keeps its CRC apart from the
// program's frame codec on purpose: an end-to-end run then checks one
// implementation against the other instead of a codec against itself.
using TSimBytes = std::vector<uint8_t>;

uint16_t SimCrc16(const uint8_t* data, size_t count);
// Appends the CRC of the whole frame, low byte first.
void AppendSimCrc(TSimBytes& frame);
// True when the last two bytes are the CRC of the ones before (at least 3 bytes).
bool SimCrcValid(const uint8_t* data, size_t count);

void PutBE16(TSimBytes& frame, uint16_t value);
void PutBE32(TSimBytes& frame, uint32_t value);
inline uint16_t GetBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t GetBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Length of the request that starts at `data` as far as its function tells:
// > 0 the full length, 0 when more bytes are needed to know, -1 for a function
// without a known length (framed by the silence after it).
int ExpectedRequestLength(const uint8_t* data, size_t count);
