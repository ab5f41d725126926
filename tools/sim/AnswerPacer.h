#pragma once

#include "SimWire.h"

#include <cstdint>
#include <vector>

struct TLineOptions {
    int replyDelayMs = 20;
    bool pacing = true;   // 1200 bit/s, 11 bits per character
    int pieces = 1;
    int pieceGapMs = 200;
    int frameGapMs = 40;  // silence that ends a request of unknown length
    bool verbose = false;
};

struct TOutByte {
    int64_t dueUs; // when the byte has fully arrived at the other end
    uint8_t byte;
};

// One character on the line: start bit, 8 data bits, 2 stop bits at 1200 bit/s.
constexpr double kCharMicros = 11.0 * 1e6 / 1200.0;

// The time table of one answer whose request was complete at `nowUs`. An
// answer starts after the reply delay, and never before the line is free
// again at `lineFreeUs` from the answer before it.
std::vector<TOutByte> PaceAnswer(const TSimBytes& answer, int64_t nowUs, int64_t lineFreeUs,
                                 const TLineOptions& line);
