#include "instr/UsbtmcDevice.h"

#include "link/FdIo.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/usb/tmc.h>
#endif

namespace {

class UsbtmcDevice final : public ISerialDevice {
public:
    explicit UsbtmcDevice(uint32_t timeoutMs) : m_timeoutMs(timeoutMs) {}
    ~UsbtmcDevice() override { close(); }

    TPortOpenError open(const QString& path) override
    {
        close();
        const QByteArray p = QFile::encodeName(path);
        const int fd = ::open(p.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return PortOpenErrorFromErrno(errno);
#ifdef USBTMC_IOCTL_SET_TIMEOUT
        __u32 t = m_timeoutMs;
        ::ioctl(fd, USBTMC_IOCTL_SET_TIMEOUT, &t); // older drivers keep their own 5 s
#endif
        m_fd = fd;
        return TPortOpenError::None;
    }
    void close() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool isOpen() const override { return m_fd >= 0; }
    TPortOpenError applyLineSettings(const TLineSettings&) override
    {
        return m_fd >= 0 ? TPortOpenError::None : TPortOpenError::Other;
    }
    int inputQueued() override { return m_fd >= 0 ? 0 : -1; }
    int outputQueued() override { return m_fd >= 0 ? 0 : -1; }
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
    bool purge(bool, bool) override { return m_fd >= 0; } // message based: nothing queues
    int modemStatus() override { return -1; }
    void waitReadable(uint32_t) override {} // the read itself waits

private:
    uint32_t m_timeoutMs;
    int m_fd = -1;
};

} // namespace

std::unique_ptr<ISerialDevice> MakeUsbtmcDevice(uint32_t readTimeoutMs)
{
    return std::make_unique<UsbtmcDevice>(readTimeoutMs);
}

bool IsUsbtmcPath(const QString& path)
{
    return path.trimmed().startsWith(QLatin1String("/dev/usbtmc"));
}

std::unique_ptr<ISerialDevice> MakeInstrumentDevice(const QString& path)
{
    if (IsUsbtmcPath(path))
        return MakeUsbtmcDevice();
    return MakeSystemSerialDevice();
}
