#pragma once

#include "SimWire.h"

#include <cstdint>
#include <vector>

// Cuts the incoming byte stream into requests. A request whose function
// tells its length is complete as soon as that many bytes carry a valid CRC;
// anything else (unknown function, wrong length, damage) ends with the line
// falling silent for `gapMs`, as RTU frames do.
class TRequestFramer {
public:
    explicit TRequestFramer(int gapMs = 40);

    void Feed(const uint8_t* data, size_t count, int64_t nowMs);
    // The requests complete at `nowMs`, in arrival order.
    std::vector<TSimBytes> Take(int64_t nowMs);
    // When a pending partial request is next due to be closed by the gap; -1 when none is pending.
    int64_t Deadline() const;
    void Reset();
    bool Pending() const { return !m_buffer.empty(); }

private:
    static constexpr size_t kMaxRequest = 256;
    int m_gapMs;
    TSimBytes m_buffer;
    int64_t m_lastByte = 0;
};
