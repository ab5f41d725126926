#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// The operating system's side of a serial port, under TCommPortDriver. The
// driver keeps the properties, the time-outs and the polling; a backend only
// moves bytes and line settings. The POSIX backend talks to a tty device;
// tests plug in a scripted one bound to a virtual clock.

enum class TPortOpenError { None, NotFound, Busy, AccessDenied, BadSettings, Other };

// The one place where an errno of open/ioctl/flock/tcsetattr becomes a reason.
TPortOpenError PortOpenErrorFromErrno(int err);

// Modem line bits of ModemLineStatus.
enum : int { mlCTS = 1, mlDSR = 2, mlRING = 4, mlRLSD = 8 };

struct TLineSettings {
    uint32_t baud = 9600;
    int dataBits = 8;   // 5..8
    int stopBits = 0;   // 0: 1 bit, 1: 1.5 bits, 2: 2 bits
    int parity = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space
    bool rtsOn = true;  // RTS raised (ignored with rtsCts)
    bool rtsCts = false;
    bool dtrOn = false;
    bool xonXoff = false;
};

class ISerialDevice {
public:
    virtual ~ISerialDevice() = default;
    // Opens the device for exclusive use; None on success.
    virtual TPortOpenError open(const QString& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // BadSettings / Other when the line refuses them; calls a device does not
    // support (a pseudo-terminal's modem lines) are not failures.
    virtual TPortOpenError applyLineSettings(const TLineSettings& settings) = 0;
    // Bytes waiting; -1 when the device failed.
    virtual int inputQueued() = 0;
    virtual int outputQueued() = 0;
    // Never block. Return the bytes moved (0 when nothing could move), -1 on a device error.
    virtual int read(uint8_t* buffer, int count) = 0;
    virtual int write(const uint8_t* data, int count) = 0;
    virtual bool purge(bool input, bool output) = 0;
    // mlCTS | mlDSR | mlRING | mlRLSD, or -1 when the device cannot tell.
    virtual int modemStatus() = 0;
    // Blocks until input is readable or `ms` milliseconds pass; on a virtual
    // clock this advances the clock instead.
    virtual void waitReadable(uint32_t ms) = 0;
};

// The backend of this platform (the POSIX tty one on UNIX).
std::unique_ptr<ISerialDevice> MakeSystemSerialDevice();
