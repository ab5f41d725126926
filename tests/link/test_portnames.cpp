#include "link/PortNames.h"
#include "link/SerialDevice.h"
#include "device/DeviceMessages.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

TEST(PortNames, ComNamesAndTheirNumbers)
{
    EXPECT_EQ(PortNumberOfName(QStringLiteral("//./COM1")), 1);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("\\\\.\\COM12")), 12);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("//./com3")), 3);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("//./COM0")), 0);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("//./COM")), 0);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("//./COM2x")), 0);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("COM2")), 0);
    EXPECT_EQ(PortNumberOfName(QStringLiteral("/dev/ttyUSB0")), 0);
    EXPECT_EQ(ComPortName(7), QStringLiteral("\\\\.\\COM7"));
    EXPECT_EQ(PortNumberOfName(ComPortName(7)), 7);
}

TEST(PortNames, ResolutionThroughThePortsSection)
{
    const TPortMap map{{3, QStringLiteral("/dev/ttyUSB0")}, {4, QStringLiteral("  ")}};
    EXPECT_EQ(ResolvePortDevice(QStringLiteral("//./COM3"), map), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ResolvePortDevice(QStringLiteral("\\\\.\\COM3"), map), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ResolvePortDevice(QStringLiteral("//./COM1"), map), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ResolvePortDevice(QStringLiteral("//./COM4"), map), QStringLiteral("/dev/ttyS3")); // blank value
    EXPECT_EQ(ResolvePortDevice(QStringLiteral("/dev/pts/5"), map), QStringLiteral("/dev/pts/5"));
}

TEST(PortOpenErrors, ErrnoMapping)
{
    EXPECT_EQ(PortOpenErrorFromErrno(ENOENT), TPortOpenError::NotFound);
    EXPECT_EQ(PortOpenErrorFromErrno(ENXIO), TPortOpenError::NotFound);
    EXPECT_EQ(PortOpenErrorFromErrno(EBUSY), TPortOpenError::Busy);
    EXPECT_EQ(PortOpenErrorFromErrno(EWOULDBLOCK), TPortOpenError::Busy);
    EXPECT_EQ(PortOpenErrorFromErrno(EACCES), TPortOpenError::AccessDenied);
    EXPECT_EQ(PortOpenErrorFromErrno(EINVAL), TPortOpenError::BadSettings);
    EXPECT_EQ(PortOpenErrorFromErrno(EIO), TPortOpenError::Other);
    for (TPortOpenError e : {TPortOpenError::NotFound, TPortOpenError::Busy, TPortOpenError::AccessDenied,
                             TPortOpenError::BadSettings, TPortOpenError::Other})
        EXPECT_TRUE(PortOpenErrorText(e, QStringLiteral("/dev/ttyS9")).contains(QStringLiteral("/dev/ttyS9")));
    EXPECT_TRUE(PortOpenErrorText(TPortOpenError::None, QStringLiteral("/dev/ttyS9")).isEmpty());
}

TEST(PortNames, PortNumberOfEveryFormTheProgramMeets)
{
    const TPortMap none;
    EXPECT_EQ(PortNumber(QStringLiteral("COM4"), none), 4);
    EXPECT_EQ(PortNumber(QStringLiteral("com12"), none), 12);
    EXPECT_EQ(PortNumber(QStringLiteral("\\\\.\\COM3"), none), 3);
    EXPECT_EQ(PortNumber(QStringLiteral("//./COM123"), none), 123); // three digits are still one number
    EXPECT_EQ(PortNumber(QStringLiteral("\\\\.\\COM0"), none), 0);
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyS2"), none), 3); // COM3's default device
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyUSB0"), none), 0);
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/pts/7"), none), 0);
    EXPECT_EQ(PortNumber(QString(), none), 0);
    EXPECT_EQ(PortNumber(QStringLiteral("adapter"), none), 0);

    // Through the [Ports] section, and a COM number sent elsewhere no longer
    // owns its default device.
    const TPortMap map{{5, QStringLiteral("/dev/ttyUSB0")}, {3, QStringLiteral("/dev/ttyUSB1")}};
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyUSB0"), map), 5);
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyUSB1"), map), 3);
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyS2"), map), 0);
    EXPECT_EQ(PortNumber(QStringLiteral("/dev/ttyUSB7"), map), 0);
}

TEST(PortNames, PortNumberFollowsLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString link = dir.filePath(QStringLiteral("by-id-adapter"));
    ASSERT_TRUE(QFile::link(target, link));

    // The map names the device by its link, the user by its target, or the other way round.
    EXPECT_EQ(PortNumber(target, TPortMap{{2, link}}), 2);
    EXPECT_EQ(PortNumber(link, TPortMap{{6, target}}), 6);
    EXPECT_EQ(PortNumber(link, TPortMap{}), 0);
}

TEST(PortNames, StatusBarLabel)
{
    EXPECT_EQ(PortLabel(QStringLiteral("\\\\.\\COM3")), QStringLiteral("COM3"));
    EXPECT_EQ(PortLabel(QStringLiteral("//./COM12")), QStringLiteral("COM12"));
    EXPECT_EQ(PortLabel(QStringLiteral("COM7")), QStringLiteral("COM7"));
    EXPECT_EQ(PortLabel(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(PortLabel(QStringLiteral("/dev/serial/by-id/usb-adapter-if00")), QStringLiteral("usb-adapter-if00"));
}
