#pragma once

#include <cstdint>

// The 32-bit millisecond tick counter and the short sleep behind the waits.
// Elapsed times are differences modulo 2^32, so a wrap does not disturb them.
class ITickSource {
public:
    virtual ~ITickSource() = default;
    virtual uint32_t GetTickCount() = 0;
    // Yields the CPU for at most `ms` milliseconds (0: just give up the slice).
    virtual void Sleep(uint32_t ms) = 0;
};

ITickSource& SystemTicks();

inline uint32_t TicksSince(uint32_t now, uint32_t start)
{
    return now - start; // unsigned arithmetic wraps modulo 2^32
}
