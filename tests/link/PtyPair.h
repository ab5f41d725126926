#pragma once

// A pseudo-terminal pair for driver tests: the test holds the master side
// and plays the device; the driver opens the slave by its path.

#include <QByteArray>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            if (const char* name = ptsname(m_master))
                m_slavePath = QString::fromLocal8Bit(name);
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString slavePath() const { return m_slavePath; }
    int master() const { return m_master; }

    void send(const QByteArray& bytes) const { [[maybe_unused]] auto n = ::write(m_master, bytes.constData(), size_t(bytes.size())); }

    // What the driver wrote, waiting up to `ms` for `count` bytes.
    QByteArray receive(int count, int ms = 2000) const
    {
        QByteArray got;
        while (got.size() < count) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0)
                break;
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, int(n));
        }
        return got;
    }

    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};
