#include "device/DeviceMessages.h"
#include "ScriptedLink.h"

#include <gtest/gtest.h>

// The driver's rules that do not need a real tty, on the scripted device.

TEST(DriverProperties, DefaultsAndClamping)
{
    VirtualClock clock;
    TCommPortDriver drv(&clock, std::make_unique<ScriptedPort>(clock));
    EXPECT_EQ(drv.Port(), pnCOM2);
    EXPECT_EQ(drv.PortName(), QStringLiteral("\\\\.\\COM2"));
    EXPECT_EQ(drv.BaudRate(), br9600);
    EXPECT_EQ(drv.BaudRateValue(), 9600u);
    EXPECT_EQ(drv.HwFlow(), hfNONERTSON);
    EXPECT_EQ(drv.PollingDelay(), 50);
    EXPECT_EQ(drv.InputTimeout, 200u);
    EXPECT_EQ(drv.OutputTimeout, 500);
    EXPECT_TRUE(drv.EnableDTROnOpen);

    drv.SetPollingDelay(2);
    EXPECT_EQ(drv.PollingDelay(), 5);
    drv.SetInBufSize(100);
    EXPECT_EQ(drv.InBufSize(), 128u);
    drv.SetInBufSize(10000);
    EXPECT_EQ(drv.InBufSize(), 8192u);
    drv.SetOutBufSize(0);
    EXPECT_EQ(drv.OutBufSize(), 128u);

    drv.SetPort(3);
    EXPECT_EQ(drv.PortName(), QStringLiteral("\\\\.\\COM3"));
    drv.SetPort(17); // beyond the enumeration: a plain number
    EXPECT_EQ(drv.Port(), 17);
    EXPECT_EQ(drv.PortName(), QStringLiteral("\\\\.\\COM17"));
    drv.SetPortName(QStringLiteral("//./COM4"));
    EXPECT_EQ(drv.Port(), pnCustom);

    drv.SetBaudRate(br1200);
    EXPECT_EQ(drv.BaudRateValue(), 1200u);
    drv.SetBaudRateValue(1200);
    EXPECT_EQ(drv.BaudRate(), brCustom);
    drv.SetBaudRate(br256000);
    EXPECT_EQ(drv.BaudRateValue(), 256000u);
}

TEST(DriverProperties, OpenPortFreezesNameAndBuffersButReappliesLine)
{
    ScriptedLink link;
    ASSERT_TRUE(link.drv.IsPortOpen());
    EXPECT_EQ(link.port.openedPath(), QStringLiteral("/dev/ttyS0"));
    const TLineSettings& s = link.port.lineSettings();
    EXPECT_EQ(s.baud, 1200u);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 2);
    EXPECT_EQ(s.parity, 0);
    EXPECT_TRUE(s.rtsOn);
    EXPECT_FALSE(s.dtrOn);
    EXPECT_FALSE(s.rtsCts);

    link.drv.SetPort(5);
    link.drv.SetPortName(QStringLiteral("/dev/ttyUSB7"));
    link.drv.SetInBufSize(4096);
    EXPECT_EQ(link.drv.PortName(), QStringLiteral("//./COM1"));
    EXPECT_EQ(link.drv.Port(), pnCustom);
    EXPECT_EQ(link.drv.InBufSize(), 2048u);

    const int applied = link.port.applyCount();
    link.drv.SetParity(ptEVEN);
    EXPECT_EQ(link.port.applyCount(), applied + 1);
    EXPECT_EQ(link.port.lineSettings().parity, 2);
    EXPECT_TRUE(link.drv.OpenPort()); // already open: true, nothing reopened
    EXPECT_EQ(link.port.openCount(), 1);
}

TEST(DriverClosed, QueuesAndTransfers)
{
    ScriptedLink link(0, false);
    uint8_t buf[16] = {};
    EXPECT_EQ(link.drv.InputQueueCount(), 65535);
    EXPECT_EQ(link.drv.OutputFreeSpace(), 65535);
    EXPECT_EQ(link.drv.WriteBytes(buf, 4), 0);
    EXPECT_EQ(link.drv.ReadBytes(buf, 4), 0);
    EXPECT_FALSE(link.drv.PurgeBuffers(false, false));
    EXPECT_FALSE(link.drv.PurgeBuffers(true, true));
    EXPECT_FALSE(link.drv.ApplyPortSettings());
    EXPECT_EQ(link.drv.ModemLineStatus(), 0);
    EXPECT_EQ(link.port.writeCount(), 0);
}

TEST(DriverOpen, FailureReasonsAreKept)
{
    ScriptedLink link(0, false);
    link.port.setOpenError(TPortOpenError::Busy);
    EXPECT_FALSE(link.drv.OpenPort());
    EXPECT_EQ(link.drv.lastOpenError(), TPortOpenError::Busy);
    EXPECT_TRUE(OpenFailureReason(link.drv).contains(QStringLiteral("/dev/ttyS0")));
    EXPECT_TRUE(OpenFailureReason(link.drv).contains(QStringLiteral("занят")));

    link.port.setOpenError(TPortOpenError::None);
    link.port.setApplyError(TPortOpenError::BadSettings);
    EXPECT_FALSE(link.drv.OpenPort());
    EXPECT_FALSE(link.drv.IsPortOpen()); // closed again after the refused settings
    EXPECT_EQ(link.drv.lastOpenError(), TPortOpenError::BadSettings);

    link.port.setApplyError(TPortOpenError::None);
    link.drv.setPortMap({{1, QStringLiteral("/dev/ttyUSB0")}});
    EXPECT_TRUE(link.drv.OpenPort());
    EXPECT_EQ(link.drv.lastOpenError(), TPortOpenError::None);
    EXPECT_EQ(link.port.openedPath(), QStringLiteral("/dev/ttyUSB0"));
}

TEST(DriverRead, IdleTimeoutAndExactCount)
{
    ScriptedLink link;
    link.drv.InputTimeout = 200;
    uint8_t buf[100] = {};

    EXPECT_EQ(link.drv.ReadBytes(buf, 100), 0);
    EXPECT_NEAR(link.clock.elapsedMs(), 200, 2);

    // 55 bytes at the line rate: the read ends one time-out after the last.
    link.port.setLineRate(1200);
    QByteArray bytes(55, '\x5A');
    link.port.deliver(bytes, 0);
    const double t0 = link.clock.elapsedMs();
    EXPECT_EQ(link.drv.ReadBytes(buf, 100), 55);
    EXPECT_NEAR(link.clock.elapsedMs() - t0, 55 * 11 / 1.2 + 200, 3);

    // An exact count returns with the last byte.
    link.port.deliver(QByteArray(20, '\x01'), 0);
    const double t1 = link.clock.elapsedMs();
    EXPECT_EQ(link.drv.ReadBytes(buf, 15), 15);
    EXPECT_NEAR(link.clock.elapsedMs() - t1, 15 * 11 / 1.2, 2);
    EXPECT_EQ(link.drv.PollingPauseCount(), 0);
}

TEST(DriverWrite, OutputTimeoutAndShortWrites)
{
    ScriptedLink link;
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    link.port.failWrite(1, 3); // the device takes 3, then the rest
    EXPECT_EQ(link.drv.WriteBytes(data, 8), 8);
    ASSERT_EQ(link.port.writeCount(), 2);
    EXPECT_EQ(link.port.writes()[0].bytes.size() + link.port.writes()[1].bytes.size(), 8);

    link.port.setOutputBlocked(true);
    const double t0 = link.clock.elapsedMs();
    EXPECT_EQ(link.drv.WriteBytesTimed(data, 8, 300), 0);
    EXPECT_NEAR(link.clock.elapsedMs() - t0, 300, 3);
}

TEST(DriverPolling, DeliveryDropAndSuspension)
{
    ScriptedLink link;
    QByteArray received;
    link.drv.OnReceiveData = [&](TCommPortDriver* sender, const uint8_t* data, int size) {
        EXPECT_EQ(sender, &link.drv);
        received.append(reinterpret_cast<const char*>(data), size);
    };
    link.port.deliver(HexBytes("01 03 0A"));
    link.drv.PollTimerTick();
    EXPECT_EQ(received, HexBytes("01 03 0A"));

    link.drv.SuspendPolling();
    link.port.deliver(HexBytes("AA"));
    link.drv.PollTimerTick();
    EXPECT_EQ(link.port.queuedBytes(), 1); // left for the running read
    link.drv.ResumePolling();
    link.drv.PollTimerTick();
    EXPECT_EQ(received, HexBytes("01 03 0A AA"));

    link.drv.OnReceiveData = nullptr; // detached: the next tick drops the bytes
    link.port.deliver(HexBytes("BB CC"));
    link.drv.PollTimerTick();
    EXPECT_EQ(link.port.queuedBytes(), 0);
    EXPECT_EQ(received.size(), 4);
}
