#include "device/DeviceScan.h"

#include "link/CommPortDriver.h"
#include "device/Information.h"

namespace {

constexpr uint32_t kSearchInputTimeout = 500;
constexpr uint32_t kInputTimeout = 1000;
constexpr uint32_t kQuickFirstByteWindow = 250;

void ProcessEvents(TDeviceSession& s)
{
    if (s.shell)
        s.shell->ProcessEvents();
}

TScanResult ScanPass(TDeviceSession& s, const TScanHooks& hooks, uint32_t firstByteWindow)
{
    TCommPortDriver* drv = s.link.drv;
    if (hooks.PassStarted)
        hooks.PassStarted();
    for (int address = kScanFirstAddress; address <= kScanLastAddress && !drv->IsPortOpen(); ++address) {
        ProcessEvents(s);
        if (hooks.StopRequested && hooks.StopRequested())
            return TScanResult::Stopped;
        if (hooks.Trying)
            hooks.Trying(address);
        s.Transducer.SlaveID = address;
        s.link.ReportLinkErrors = false; // an address without a device is passed over silently
        // A port that does not open makes the identification fail at once.
        drv->OpenPort();
        s.link.FirstByteWindow = firstByteWindow;
        if (hooks.Identify)
            hooks.Identify(address);
        else
            IdentifyDevice(s, address);
        s.link.FirstByteWindow = 0;
        ProcessEvents(s);
    }
    return drv->IsPortOpen() ? TScanResult::Found : TScanResult::Exhausted;
}

} // namespace

TScanResult ScanForDevice(TDeviceSession& s, const TScanHooks& hooks, bool quickPass)
{
    TCommPortDriver* drv = s.link.drv;
    drv->InputTimeout = kSearchInputTimeout;
    TScanResult result = TScanResult::Exhausted;
    if (quickPass)
        result = ScanPass(s, hooks, kQuickFirstByteWindow);
    if (result == TScanResult::Exhausted)
        result = ScanPass(s, hooks, 0);
    drv->InputTimeout = kInputTimeout;
    return result;
}
