#pragma once

#include "link/TickSource.h"

// The system's tick counter, but a sleep lets the window's events run
// meanwhile: an instrument's reading takes seconds, and the window must keep
// painting and take "Стоп" during them.
class TPumpingTicks : public ITickSource {
public:
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
};

// One for the program.
TPumpingTicks& PumpingTicks();
