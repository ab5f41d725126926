#include "app/SerialPortList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

TSerialDevice dev(const QString& path, const QString& byId = {}, const QString& description = {})
{
    return TSerialDevice{path, byId, description, {}};
}

const QString kFtdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9XK3-if00-port0";

// A pseudo-terminal that lives as long as the object.
struct Pty {
    int fd = -1;
    QString path;
    Pty()
    {
        fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd >= 0 && ::grantpt(fd) == 0 && ::unlockpt(fd) == 0)
            path = QString::fromLocal8Bit(::ptsname(fd));
    }
    ~Pty()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

TEST(PortNumberOf, ReadsTheNumberAfterThreeCharactersUpToAColon)
{
    struct Case {
        const char* text;
        int number;
        bool ok;
    };
    const Case cases[] = {
        {"COM3", 3, true},
        {"COM12", 12, true},
        {"COM3:", 3, true},
        {"COM12: /dev/ttyUSB0 (FT232R USB UART)", 12, true},
        {"com7", 7, true},
        {"xyz7", 7, true},      // the first three characters are skipped whatever they are
        {"COM 5", 5, true},
        {"COM3:x", 3, true},
        {"", 0, false},
        {"COM", 0, false},
        {"comX", 0, false},
        {"COM:5", 0, false},    // nothing before the colon, and ":5" is no number
        {"COM-2", -2, true},    // read as written; the window refuses it
    };
    for (const Case& c : cases) {
        bool ok = !c.ok;
        EXPECT_EQ(PortNumberOf(QString::fromUtf8(c.text), &ok), c.number) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    // Every entry of a list reads back as its own number.
    const TPortAssignment a = AssignComNumbers({dev("/dev/ttyS0"), dev("/dev/ttyUSB0", kFtdi, "FT232R USB UART")}, {});
    for (const TComEntry& e : a.entries)
        EXPECT_EQ(PortNumberOf(e.text()), e.number) << e.text().toStdString();
}

TEST(ComNumbers, OnboardPortsTakeTheirOwnNumberAndOthersTheSmallestFree)
{
    const TComPortMap ports{{1, "/tmp/zelkor-sim"}, {3, "/dev/serial/by-id/usb-absent-today"}};
    TSerialDevice sim = dev("/tmp/zelkor-sim", {}, "псевдотерминал");
    sim.aliases << "/dev/pts/4";
    const QVector<TSerialDevice> found{dev("/dev/ttyUSB0", kFtdi, "FT232R USB UART"), dev("/dev/ttyS1"),
                                       dev("/dev/ttyACM0", {}, "Arduino Uno"), sim};
    const TPortAssignment a = AssignComNumbers(found, ports);
    EXPECT_EQ(a.texts(), (QStringList{"COM1: /tmp/zelkor-sim (псевдотерминал)", "COM2: /dev/ttyS1",
                                      "COM4: /dev/ttyUSB0 (FT232R USB UART)", "COM5: /dev/ttyACM0 (Arduino Uno)"}));
    // New devices are remembered, the adapter by its by-id link; the absent
    // device keeps its number; /dev/ttyS1 needs no entry.
    EXPECT_TRUE(a.mapChanged);
    EXPECT_EQ(a.ports, (TComPortMap{{1, "/tmp/zelkor-sim"}, {3, "/dev/serial/by-id/usb-absent-today"},
                                    {4, kFtdi}, {5, "/dev/ttyACM0"}}));

    // Tomorrow: the adapter comes back as ttyUSB3, the Arduino is unplugged,
    // a new device shows up. Nobody changes number.
    const TPortAssignment b = AssignComNumbers(
        {dev("/dev/ttyUSB3", kFtdi, "FT232R USB UART"), dev("/dev/ttyS1"), dev("/dev/ttyUSB1", {}, "CP2102")}, a.ports);
    EXPECT_EQ(b.texts(), (QStringList{"COM2: /dev/ttyS1", "COM4: /dev/ttyUSB3 (FT232R USB UART)",
                                      "COM6: /dev/ttyUSB1 (CP2102)"}));
    EXPECT_EQ(b.ports.value(6), "/dev/ttyUSB1");
    EXPECT_EQ(b.ports.value(5), "/dev/ttyACM0");

    // Nothing new: the map is unchanged.
    const TPortAssignment c = AssignComNumbers({dev("/dev/ttyUSB3", kFtdi)}, b.ports);
    EXPECT_FALSE(c.mapChanged);
    EXPECT_EQ(c.ports, b.ports);
}

TEST(ComNumbers, OnboardPortWhoseNumberIsTakenIsMappedElsewhere)
{
    // COM1 belongs to an adapter, so ttyS0 cannot be COM1.
    const TPortAssignment a = AssignComNumbers({dev("/dev/ttyS0"), dev("/dev/ttyS2")}, {{1, kFtdi}});
    EXPECT_EQ(a.texts(), (QStringList{"COM2: /dev/ttyS0", "COM3: /dev/ttyS2"}));
    EXPECT_EQ(a.ports, (TComPortMap{{1, kFtdi}, {2, "/dev/ttyS0"}}));

    // A mapping written by the user with the kernel name also holds.
    const TPortAssignment b = AssignComNumbers({dev("/dev/ttyUSB0", kFtdi)}, {{8, "/dev/ttyUSB0"}});
    EXPECT_EQ(b.texts(), QStringList{"COM8: /dev/ttyUSB0"});
    EXPECT_FALSE(b.mapChanged);

    // Every number taken: the new device is not offered and nothing is invented.
    TComPortMap full;
    for (int n = 1; n <= MaxComPortNumber; ++n)
        full.insert(n, QString("/dev/absent%1").arg(n));
    const TPortAssignment c = AssignComNumbers({dev("/dev/ttyUSB0")}, full);
    EXPECT_TRUE(c.entries.isEmpty());
    EXPECT_EQ(c.ports, full);
}

TEST(ComNumbers, MappedDevicesThatExistAreListed)
{
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    QTemporaryDir tmp;
    const QString link = tmp.path() + "/zelkor-com";
    ASSERT_TRUE(QFile::link(pty.path, link));
    const QString plainFile = tmp.path() + "/not-a-device";
    QFile f(plainFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    TComPortMap ports{{200, link}, {201, tmp.path() + "/gone"}, {202, plainFile}};
    QStringList list{"stale entry"};
    ListSerialPorts(list, ports);
    EXPECT_FALSE(list.contains("stale entry"));
    EXPECT_TRUE(list.contains(QString("COM200: %1 (псевдотерминал)").arg(link))) << list.join('|').toStdString();
    for (const QString& e : list) {
        EXPECT_FALSE(e.startsWith("COM201:"));
        EXPECT_FALSE(e.startsWith("COM202:"));
    }
    // The same pty named twice is one device, under the lower key.
    ports = {{200, link}, {210, pty.path}};
    const QVector<TSerialDevice> found = FindSerialDevices(ports);
    int matches = 0;
    for (const TSerialDevice& d : found)
        matches += d.path == link || d.path == pty.path || d.aliases.contains(pty.path);
    EXPECT_EQ(matches, 1);
    const TPortAssignment a = AssignComNumbers(found, ports);
    int listed = 0;
    for (const TComEntry& e : a.entries)
        listed += e.number == 200 || e.number == 210;
    EXPECT_EQ(listed, 1);
}
