#pragma once

#include "link/SerialDevice.h"

#include <memory>

// A USBTMC instrument (/dev/usbtmcN) behind the serial-device interface: a
// plain descriptor, no line settings, each read fetches one reply message
// and waits at most the driver's time-out.
std::unique_ptr<ISerialDevice> MakeUsbtmcDevice(uint32_t readTimeoutMs = 500);

// True for /dev/usbtmc* paths.
bool IsUsbtmcPath(const QString& path);

// The device for `path`: USBTMC or the platform's serial device.
std::unique_ptr<ISerialDevice> MakeInstrumentDevice(const QString& path);
