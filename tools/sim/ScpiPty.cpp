#include "ScpiPty.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// No command line is this long; what is, is noise and dropped.
constexpr size_t kMaxLine = 1024;

} // namespace

TScpiPty::TScpiPty(const char* name, TSimScpiInstrument& instrument, bool verbose)
    : m_name(name)
    , m_instrument(instrument)
    , m_verbose(verbose)
{
}

TScpiPty::~TScpiPty()
{
    Close();
}

bool TScpiPty::Open(std::string* error)
{
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(m_name) + ": " + what + ": " + std::strerror(errno);
        Close();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = name;
    termios t{};
    if (::tcgetattr(m_master, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        ::tcsetattr(m_master, TCSANOW, &t);
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slaveHold >= 0) {
        m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watch >= 0 && ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0) {
            ::close(m_watch);
            m_watch = -1;
        }
    }
    return true;
}

void TScpiPty::Close()
{
    for (int* fd : {&m_watch, &m_slaveHold, &m_master})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    m_buffer.clear();
}

void TScpiPty::OnWatchReadable()
{
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t r = ::read(m_watch, buf, sizeof buf);
        if (r <= 0)
            return;
        for (ssize_t off = 0; off < r;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + off);
            if (e->mask & IN_OPEN) {
                ++m_openers;
            } else if ((e->mask & IN_CLOSE) && m_openers > 0 && --m_openers == 0) {
                m_buffer.clear();
                ::ioctl(m_slaveHold, TIOCNXCL);
            }
            off += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
}

void TScpiPty::reply(const std::string& line)
{
    const std::string out = line + "\n";
    size_t sent = 0;
    while (sent < out.size()) {
        const ssize_t w = ::write(m_master, out.data() + sent, out.size() - sent);
        if (w > 0)
            sent += size_t(w);
        else if (w < 0 && errno != EINTR)
            return; // nobody reads: the reply is lost, as on a real line
    }
}

void TScpiPty::OnMasterReadable()
{
    char buf[256];
    for (;;) {
        const ssize_t r = ::read(m_master, buf, sizeof buf);
        if (r <= 0)
            return;
        m_buffer.append(buf, size_t(r));
        size_t end;
        while ((end = m_buffer.find_first_of("\r\n")) != std::string::npos) {
            const std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (line.empty())
                continue;
            const std::optional<std::string> answer = m_instrument.Handle(line);
            if (m_verbose)
                std::fprintf(stderr, "%s <- %s\n%s -> %s\n", m_name, line.c_str(), m_name,
                             answer ? answer->c_str() : "(no reply)");
            if (answer)
                reply(*answer);
        }
        if (m_buffer.size() > kMaxLine)
            m_buffer.clear();
    }
}
