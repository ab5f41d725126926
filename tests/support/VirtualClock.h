#pragma once

// VirtualClock: an ITickSource whose time moves only when code waits on it.
//
//   VirtualClock clock;                  // starts at tick 0
//   VirtualClock clock(0xFFFFFC00u);     // starts 1024 ms before the 32-bit wrap
//   TCommPortDriver drv(&clock, std::make_unique<ScriptedPort>(clock));
//   ... run the code under test ...
//   EXPECT_NEAR(clock.elapsedMs(), 4000, 20);
//
// Time is kept in microseconds. GetTickCount() is (start + µs / 1000) cut to
// 32 bits, so the wrap past 2^32 can be tested. Sleep(ms) advances the clock
// by ms (Sleep(0) by 1 µs, so a loop that only yields still makes progress).
// ScriptedPort advances it too while the driver waits for input.

#include "link/TickSource.h"

#include <cstdint>

class VirtualClock : public ITickSource {
public:
    explicit VirtualClock(uint32_t startTick = 0) : m_startTick(startTick) {}

    uint32_t GetTickCount() override { return uint32_t(m_startTick + m_us / 1000); }
    void Sleep(uint32_t ms) override
    {
        ++m_sleepCalls;
        advanceUs(ms == 0 ? 1 : uint64_t(ms) * 1000);
    }

    // Microseconds since construction.
    uint64_t nowUs() const { return m_us; }
    double elapsedMs() const { return double(m_us) / 1000.0; }
    void advanceUs(uint64_t us) { m_us += us; }
    void advanceMs(uint32_t ms) { advanceUs(uint64_t(ms) * 1000); }
    // Moves to `us` (since construction); never backwards.
    void advanceToUs(uint64_t us)
    {
        if (us > m_us)
            m_us = us;
    }
    int sleepCalls() const { return m_sleepCalls; }

private:
    uint64_t m_startTick;
    uint64_t m_us = 0;
    int m_sleepCalls = 0;
};
