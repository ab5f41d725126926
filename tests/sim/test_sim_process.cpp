// The zelkor-sim program itself on its pseudo-terminal, talked to with raw
// bytes (the driver's end-to-end run is elsewhere).
#include "SimProcess.h"
#include "SimTestUtil.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

class RawPort {
public:
    explicit RawPort(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios t{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~RawPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }

    // Sends a request and collects the answer until the line is quiet for `quietMs`.
    TSimBytes exchange(const TSimBytes& request, int quietMs = 300)
    {
        if (::write(m_fd, request.data(), request.size()) != ssize_t(request.size()))
            return {};
        TSimBytes got;
        for (;;) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0)
                break;
            uint8_t buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

private:
    int m_fd = -1;
};

} // namespace

TEST(SimProcess, ServesThroughItsLinkAcrossReopensAndCleansUp)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    SimProcess sim({QStringLiteral("--no-pacing"), QStringLiteral("--address"), QStringLiteral("12"),
                    QStringLiteral("--link"), link});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    EXPECT_TRUE(sim.devicePath().startsWith(QStringLiteral("/dev/pts/")));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.devicePath());

    for (int round = 0; round < 2; ++round) { // the program closes and opens the port again
        RawPort port(link);
        ASSERT_TRUE(port.ok());
        const TSimBytes id = port.exchange(Req({12, 0x11}));
        ASSERT_EQ(id.size(), 55u) << "round " << round;
        EXPECT_TRUE(FrameCRCValid(id.data(), 55));
        EXPECT_EQ(id[0], 12);
        EXPECT_TRUE(port.exchange(Req({1, 0x11})).empty()) << "not its address";
    }
    EXPECT_TRUE(sim.stop()) << sim.error().toStdString();
    EXPECT_FALSE(QFileInfo::exists(link)) << "the link goes with the simulator";
}

// A pty keeps the exclusive flag after the program closed it; a user without
// root rights could then never connect a second time.
TEST(SimProcess, AnExclusiveOpenDoesNotLockOutTheNextOne)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    SimProcess sim({QStringLiteral("--no-pacing")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    const QByteArray path = sim.devicePath().toLocal8Bit();
    ASSERT_EQ(::chmod(path.constData(), 0666), 0);
    const TSimBytes request = Req({1, 0x11});

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // nothing but system calls in here
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        for (int round = 0; round < 2; ++round) {
            int fd = -1;
            for (int tries = 0; tries < 200 && fd < 0; ++tries) {
                fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                if (fd < 0)
                    ::usleep(10'000);
            }
            if (fd < 0)
                ::_exit(20 + round);
            termios t{};
            ::tcgetattr(fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
            ::ioctl(fd, TIOCEXCL);
            if (::write(fd, request.data(), request.size()) != ssize_t(request.size()))
                ::_exit(30);
            size_t got = 0;
            uint8_t buf[64];
            while (got < 55) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 2000) <= 0)
                    ::_exit(40 + round);
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0)
                    ::_exit(50);
                got += size_t(n);
            }
            ::close(fd);
        }
        ::_exit(0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "20/21: open refused in round 1/2, 40/41: no answer";
    EXPECT_TRUE(sim.stop());
}

TEST(SimProcess, PiecesArriveApart)
{
    SimProcess sim({QStringLiteral("--no-pacing"), QStringLiteral("--pieces"), QStringLiteral("2"),
                    QStringLiteral("--piece-gap"), QStringLiteral("600")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    RawPort port(sim.devicePath());
    ASSERT_TRUE(port.ok());
    // With a 600 ms gap between the halves, a 200 ms quiet read stops after the first.
    const TSimBytes first = port.exchange(Req({1, 0x11}), 200);
    EXPECT_EQ(first.size(), 28u);
    EXPECT_TRUE(sim.stop());
}

TEST(SimProcess, DecadeBoxAndOutputFromTheControlInput)
{
    SimProcess sim({QStringLiteral("--no-pacing"), QStringLiteral("--noise"), QStringLiteral("0"),
                    QStringLiteral("--control"), QStringLiteral("--output-offset"), QStringLiteral("100")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    // Default range -50..150 on a Pt100 0.00385: 100 deg C drives 16 mA, plus the offset.
    const QString state = sim.command("r 138,51");
    EXPECT_TRUE(state.contains(QStringLiteral("resistance 138.510"))) << state.toStdString();
    EXPECT_NEAR(SimProcess::outputCurrent(state), 16.1, 0.001) << state.toStdString();

    RawPort port(sim.devicePath());
    ASSERT_TRUE(port.ok());
    const TSimBytes m = port.exchange(Req({1, 3, 0, 0x20, 0, 5}));
    ASSERT_EQ(m.size(), 15u);
    EXPECT_EQ(int16_t((m[3] << 8) | m[4]), 1000) << "100.0 deg C";
    EXPECT_EQ((m[5] << 8) | m[6], 13851);
    EXPECT_TRUE(sim.stop());
}

TEST(SimProcess, CommandLineErrorsAndHelp)
{
    QProcess bad;
    bad.start(SimProcess::binary(), {QStringLiteral("--address"), QStringLiteral("0")});
    ASSERT_TRUE(bad.waitForFinished(5000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("--address"));

    QProcess help;
    help.start(SimProcess::binary(), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--drop-first"));
}
