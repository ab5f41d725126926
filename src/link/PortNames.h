#pragma once

#include <QMap>
#include <QString>

// Port names as the program stores them are Windows device paths of a COM
// port: "//./COMn" or "\\.\COMn" (n >= 1). Here they name a tty device: the
// [Ports] section of the settings file may map COMn to any path (key COMn,
// value e.g. /dev/ttyUSB0); without a key COMn is /dev/ttyS(n-1).
// Any other name is taken as a device path as it stands.

// COM number -> device path, from the [Ports] section.
using TPortMap = QMap<int, QString>;

// n of "//./COMn" or "\\.\COMn" (letters in any case), 0 for any other name.
int PortNumberOfName(const QString& name);

// The COM number a port name stands for, whatever form it has: n of "COMn",
// "//./COMn" or "\\.\COMn"; for a device path (or a link to one) the COM
// number that resolves to the same device through `map` or the default
// /dev/ttyS(n-1); 0 when no COM number leads there.
int PortNumber(const QString& name, const TPortMap& map);

// The short name of a port for the status bar: "COMn" for a COM name, the
// file name of a device path.
QString PortLabel(const QString& name);

// The device path to open for `name`.
QString ResolvePortDevice(const QString& name, const TPortMap& map);

// "\\.\COMn", the name the driver gives port n.
QString ComPortName(int n);
