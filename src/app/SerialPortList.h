#pragma once

#include "app/ProgSettings.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Serial devices and the COM numbers the program shows for them. A device
// keeps its number across runs: a device named in [Ports] has the number of
// its key, /dev/ttySk is COM(k+1) when that number is free, and any other
// device gets the smallest free number, which is then stored in [Ports]
// (by its /dev/serial/by-id link where it has one, so a USB adapter keeps its
// number when it comes back under another ttyUSB name).

struct TSerialDevice {
    QString path;        // shown to the user: /dev/ttyUSB0, or the path as mapped
    QString byId;        // /dev/serial/by-id/... link, empty when none
    QString description; // from the system, may be empty
    QStringList aliases; // other names of the same device (its resolved path)
};

struct TComEntry {
    int number = 0;
    QString device;
    QString description;
    QString text() const; // "COMn: /dev/ttyUSB0 (description)"
};

struct TPortAssignment {
    QVector<TComEntry> entries; // by number
    TComPortMap ports;          // the map with the new devices added
    bool mapChanged = false;
    QStringList texts() const;
};

// Highest COM number the settings can hold.
constexpr int MaxComPortNumber = 255;

// Numbers the devices found; no system access.
TPortAssignment AssignComNumbers(const QVector<TSerialDevice>& found, const TComPortMap& ports);

// The serial devices present: the system's list (without the phantom ttyS
// ports that have no UART) and every device named in `ports` that exists.
QVector<TSerialDevice> FindSerialDevices(const TComPortMap& ports);

// Clears `list` and fills it with one "COMn: device (description)" entry per
// device present; new devices are added to `ports`.
void ListSerialPorts(QStringList& list, TComPortMap& ports);
// The same over a given device list (tests, or a cached scan).
void ListSerialPorts(QStringList& list, TComPortMap& ports, const QVector<TSerialDevice>& found);

// The number in a port text: the characters from the fourth on, up to a
// colon if there is one ("COM3" -> 3, "COM12: /dev/ttyUSB0 (...)" -> 12).
// 0 with *ok false when no number can be read.
int PortNumberOf(const QString& text, bool* ok = nullptr);
