#pragma once

#include "SimEngine.h"

#include <optional>
#include <string>

struct TSimOptions {
    std::string linkPath;                 // symlink to the pty slave, removed on exit
    std::string stateFile;                // empty: nothing is kept across runs
    std::optional<int> address;           // these four override the state file
    std::optional<char> typeCode;
    std::optional<double> temperature;
    std::optional<int> diagState;
    double noise = 0.05;                  // deg C
    int replyDelayMs = 20;
    bool pacing = true;                   // 1200 bit/s, 11 bits per character
    int pieces = 1;
    int pieceGapMs = 200;
    TSimFaults faults;
    TSimOutputError output;               // the current loop's untrimmed error
    std::string meterLink;                // a SCPI current meter in the output loop
    std::string sourceLink;               // a SCPI resistance source at the input
    double meterNoiseUa = 0.5;            // the meter's reading noise, uA
    bool verbose = false;
    bool control = false;                 // read commands from stdin
    bool help = false;
};

// False with a reason on a bad command line.
bool ParseSimOptions(int argc, const char* const* argv, TSimOptions& options, std::string* error);
std::string SimHelpText();
