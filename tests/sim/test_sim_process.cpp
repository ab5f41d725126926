// The zelkor-sim program itself on its pseudo-terminal, talked to with raw
// bytes (the driver's end-to-end run is elsewhere).
#include "SimProcess.h"
#include "SimTestUtil.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
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
