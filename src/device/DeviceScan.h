#pragma once

#include "device/DeviceSession.h"

#include <functional>

// The search for a transducer on the port: the addresses 1 to 255 in turn
// until one answers the identification. Windows show its progress through
// the hooks; the command line runs it bare.
struct TScanHooks {
    // Looked at once per address, before the address is tried.
    std::function<bool()> StopRequested;
    // The address about to be tried (status text, progress).
    std::function<void(int address)> Trying;
    // The identification; default: IdentifyDevice on the session.
    std::function<TOutcome(int address)> Identify;
    // A pass over the addresses begins (the quick one, then the full scan).
    std::function<void()> PassStarted;
};

enum class TScanResult { Found, Exhausted, Stopped };

constexpr int kScanFirstAddress = 1;
constexpr int kScanLastAddress = 255;

// Opens the port and identifies address after address with ReportLinkErrors
// off, so an address without a device closes the port again silently. Found:
// the port stays open and SlaveID is the device's address; otherwise SlaveID
// is the address tried last. The driver's input time-out is 500 ms during the
// scan and 1000 ms after it. With `quickPass` every address is first tried
// with a short answer window (an address whose answer has not begun 250 ms
// after the request left the line is passed over), and the full scan follows
// only when that finds nothing, for devices slower to answer.
TScanResult ScanForDevice(TDeviceSession& session, const TScanHooks& hooks, bool quickPass = false);
