#include "link/SerialDevice.h"

#include "link/FdIo.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Only the rates termios names; the others of the baud-rate list (14400,
// 56000, 128000, 256000) are refused with BadSettings rather than silently
// run at a neighbour the device would not understand.
speed_t SpeedOf(uint32_t baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

// A pseudo-terminal and some adapters do not know modem-control or queue
// calls; those answers are not failures of the line.
bool Unsupported(int err)
{
    return err == ENOTTY || err == EINVAL;
}

void SleepOneMs()
{
    timespec ts{0, 1000000L};
    nanosleep(&ts, nullptr);
}

class PosixSerialDevice final : public ISerialDevice {
public:
    ~PosixSerialDevice() override { close(); }

    TPortOpenError open(const QString& path) override
    {
        close();
        const QByteArray p = QFile::encodeName(path);
        const int fd = ::open(p.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return PortOpenErrorFromErrno(errno);
        // TIOCEXCL keeps other users out, but root passes it; the advisory
        // lock is what other serial programs (and a second copy of this one) honour.
        if (::ioctl(fd, TIOCEXCL) != 0 && !Unsupported(errno)) {
            const int err = errno;
            ::close(fd);
            return PortOpenErrorFromErrno(err);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return PortOpenErrorFromErrno(err);
        }
        termios t{};
        if (::tcgetattr(fd, &t) != 0) {
            const int err = errno;
            ::close(fd);
            return err == ENOTTY ? TPortOpenError::Other : PortOpenErrorFromErrno(err);
        }
        m_fd = fd;
        return TPortOpenError::None;
    }

    void close() override
    {
        if (m_fd < 0)
            return;
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd); // releases the lock
        m_fd = -1;
    }

    bool isOpen() const override { return m_fd >= 0; }

    TPortOpenError applyLineSettings(const TLineSettings& s) override
    {
        if (m_fd < 0)
            return TPortOpenError::Other;
        const speed_t speed = SpeedOf(s.baud);
        if (speed == B0)
            return TPortOpenError::BadSettings;
        termios t{};
        if (::tcgetattr(m_fd, &t) != 0)
            return PortOpenErrorFromErrno(errno);
        ::cfmakeraw(&t);
        t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNPAR | PARMRK);
        if (s.xonXoff)
            t.c_iflag |= IXON | IXOFF;
        t.c_cflag &= ~tcflag_t(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
        t.c_cflag |= CLOCAL | CREAD;
        static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
        t.c_cflag |= sizes[std::clamp(s.dataBits, 5, 8) - 5];
        if (s.stopBits != 0)
            t.c_cflag |= CSTOPB; // 1.5 stop bits: the UART's 2-bit setting, as 5-bit lines use it
        switch (s.parity) {
        case 1: t.c_cflag |= PARENB | PARODD; break;
        case 2: t.c_cflag |= PARENB; break;
        case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case 4: t.c_cflag |= PARENB | CMSPAR; break;
        default: break;
        }
        if (s.rtsCts)
            t.c_cflag |= CRTSCTS;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        if (::tcsetattr(m_fd, TCSANOW, &t) != 0)
            return PortOpenErrorFromErrno(errno);
        if (!setLine(TIOCM_RTS, s.rtsOn || s.rtsCts) || !setLine(TIOCM_DTR, s.dtrOn))
            return TPortOpenError::Other;
        return TPortOpenError::None;
    }

    int inputQueued() override { return queueCount(FIONREAD); }
    int outputQueued() override { return queueCount(TIOCOUTQ); }

    int read(uint8_t* buffer, int count) override
    {
        if (m_fd < 0)
            return -1;
        return FdReadSome(m_fd, buffer, count);
    }

    int write(const uint8_t* data, int count) override
    {
        if (m_fd < 0)
            return -1;
        return FdWriteSome(m_fd, data, count);
    }

    bool purge(bool input, bool output) override
    {
        if (m_fd < 0)
            return false;
        const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(m_fd, which) == 0 || Unsupported(errno);
    }

    int modemStatus() override
    {
        int bits = 0;
        if (m_fd < 0 || ::ioctl(m_fd, TIOCMGET, &bits) != 0)
            return -1;
        return ((bits & TIOCM_CTS) ? mlCTS : 0) | ((bits & TIOCM_DSR) ? mlDSR : 0)
             | ((bits & TIOCM_RNG) ? mlRING : 0) | ((bits & TIOCM_CAR) ? mlRLSD : 0);
    }

    void waitReadable(uint32_t ms) override
    {
        if (m_fd < 0 || ms == 0)
            return;
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(std::min<uint32_t>(ms, INT_MAX)));
        // A hung-up line polls ready at once without data: do not spin on it.
        if (r > 0 && !(p.revents & POLLIN))
            SleepOneMs();
    }

private:
    bool setLine(int line, bool on)
    {
        if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0)
            return true;
        return Unsupported(errno);
    }

    int queueCount(unsigned long request)
    {
        if (m_fd < 0)
            return -1;
        int n = 0;
        if (::ioctl(m_fd, request, &n) == 0)
            return n;
        return Unsupported(errno) ? 0 : -1;
    }

    int m_fd = -1;
};

} // namespace

std::unique_ptr<ISerialDevice> MakeSystemSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}
