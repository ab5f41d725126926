#include "link/PortNames.h"
#include "link/SerialDevice.h"

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
