#include "device/DeviceMessages.h"
#include "link/CommPortDriver.h"
#include "PtyPair.h"
#include "link/TickSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>

// The driver on a real pseudo-terminal; the test holds the master side.
// Only lower bounds of durations are asserted; upper bounds are loose.

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 2000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        SystemTicks().Sleep(1);
    }
    return true;
}

class PtyDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        drv.SetPortName(pty.slavePath());
        drv.SetBaudRateValue(1200);
        drv.SetStopBits(sb2BITS);
        drv.EnableDTROnOpen = false;
        drv.InputTimeout = 100;
        ASSERT_TRUE(drv.OpenPort()) << qPrintable(OpenFailureReason(drv));
    }

    PtyPair pty;
    TCommPortDriver drv;
};

} // namespace

TEST_F(PtyDriverTest, RawLineSettings)
{
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master(), &t), 0); // the pair shares one termios
    EXPECT_EQ(cfgetospeed(&t), speed_t(B1200));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & HUPCL);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_GE(drv.ModemLineStatus(), 0); // a pty has no modem lines: empty, not a failure

    // Rates termios cannot express are refused.
    drv.SetBaudRate(br14400);
    EXPECT_FALSE(drv.ApplyPortSettings());
    EXPECT_EQ(drv.lastOpenError(), TPortOpenError::BadSettings);
}

TEST_F(PtyDriverTest, IdleTimeoutAndExactCountRead)
{
    uint8_t buf[100] = {};
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(drv.ReadBytes(buf, 100), 0);
    EXPECT_GE(t.elapsed(), 100);
    EXPECT_LT(t.elapsed(), 1500);

    pty.send(QByteArray(20, '\x33'));
    t.restart();
    EXPECT_EQ(drv.ReadBytes(buf, 15), 15);
    EXPECT_LT(t.elapsed(), 100); // returned with the fifteenth byte, not by the time-out
    EXPECT_EQ(buf[14], 0x33);
    ASSERT_TRUE(WaitUntil([&] { return drv.InputQueueCount() == 5; }));
    EXPECT_EQ(drv.ReadBytes(buf, 100), 5);
}

TEST_F(PtyDriverTest, QueueCountsWriteAndPurge)
{
    pty.send(QByteArray("\x01\x02\x03\x04\x05\x06\x07", 7));
    ASSERT_TRUE(WaitUntil([&] { return drv.InputQueueCount() == 7; }));
    EXPECT_TRUE(drv.PurgeBuffers(true, false));
    EXPECT_EQ(drv.InputQueueCount(), 0);
    EXPECT_TRUE(drv.PurgeBuffers(false, false));

    EXPECT_GT(drv.OutputFreeSpace(), 0);
    EXPECT_LE(drv.OutputFreeSpace(), int(drv.OutBufSize()));
    const uint8_t req[4] = {0x01, 0x11, 0xC0, 0x2C};
    EXPECT_EQ(drv.WriteBytes(req, 4), 4);
    EXPECT_EQ(pty.receive(4), QByteArray("\x01\x11\xC0\x2C", 4));
}

TEST_F(PtyDriverTest, PollingDeliversAndDropsWhileDetached)
{
    drv.SetPollingDelay(10);
    QByteArray received;
    drv.OnReceiveData = [&](TCommPortDriver*, const uint8_t* data, int size) {
        received.append(reinterpret_cast<const char*>(data), size);
    };
    pty.send(QByteArray("\x01\x03\x0A", 3));
    EXPECT_TRUE(WaitUntil([&] { return received.size() == 3; }));
    EXPECT_EQ(received, QByteArray("\x01\x03\x0A", 3));

    drv.OnReceiveData = nullptr;
    pty.send(QByteArray("\x55\x66", 2));
    // The bytes arrive and are taken away by a tick, delivered to nobody.
    EXPECT_TRUE(WaitUntil([&] { return drv.InputQueueCount() == 0; }));
    SystemTicks().Sleep(30);
    QCoreApplication::processEvents();
    EXPECT_EQ(drv.InputQueueCount(), 0);
    EXPECT_EQ(received.size(), 3);
}

TEST_F(PtyDriverTest, HungUpLineEndsReadsAndFailsWrites)
{
    pty.closeMaster();
    uint8_t buf[16] = {};
    EXPECT_EQ(drv.ReadBytes(buf, 16), 0);
    const uint8_t req[4] = {1, 2, 3, 4};
    EXPECT_LT(drv.WriteBytes(req, 4), 4);
}

TEST(PtyDriverOpen, MissingDevice)
{
    TCommPortDriver drv;
    drv.SetPortName(QStringLiteral("/dev/zelkor-no-such-port"));
    EXPECT_FALSE(drv.OpenPort());
    EXPECT_EQ(drv.lastOpenError(), TPortOpenError::NotFound);
    EXPECT_FALSE(OpenFailureReason(drv).isEmpty());

    // A COM name without a device behind it.
    drv.setPortMap({{9, QStringLiteral("/dev/zelkor-missing-usb")}});
    drv.SetPortName(QStringLiteral("//./COM9"));
    EXPECT_FALSE(drv.OpenPort());
    EXPECT_EQ(drv.lastDevicePath(), QStringLiteral("/dev/zelkor-missing-usb"));
    EXPECT_EQ(drv.lastOpenError(), TPortOpenError::NotFound);
}

TEST(PtyDriverOpen, PortHeldElsewhereIsBusy)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());

    // Another process holds the port the way serial programs do.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? '1' : '0';
        [[maybe_unused]] auto n = ::write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    TCommPortDriver drv;
    drv.SetPortName(pty.slavePath());
    EXPECT_FALSE(drv.OpenPort());
    EXPECT_EQ(drv.lastOpenError(), TPortOpenError::Busy);
    EXPECT_TRUE(OpenFailureReason(drv).contains(QStringLiteral("занят")));

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_TRUE(drv.OpenPort()) << qPrintable(OpenFailureReason(drv));

    // A second driver in this process is kept out as well, until the first closes.
    TCommPortDriver second;
    second.SetPortName(pty.slavePath());
    EXPECT_FALSE(second.OpenPort());
    EXPECT_EQ(second.lastOpenError(), TPortOpenError::Busy);
    drv.ClosePort();
    EXPECT_TRUE(second.OpenPort());
}
