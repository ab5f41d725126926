#include "PtyServer.h"

#include "ScpiPty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

int64_t nowMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// The meter and the resistance source.
constexpr size_t kMaxSideLines = 2;

// How often to look for the program while no one holds the slave end.
constexpr int64_t kIdleRetryUs = 10'000;

} // namespace

std::string HexBytes(const uint8_t* data, size_t count)
{
    std::string s;
    char b[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", data[i]);
        s += b;
    }
    return s;
}

TPtyServer::TPtyServer(TSimEngine& engine, const TLineOptions& line)
    : m_engine(engine)
    , m_line(line)
    , m_framer(line.frameGapMs)
{
}

TPtyServer::~TPtyServer()
{
    for (const int fd : {m_watch, m_slaveHold, m_master})
        if (fd >= 0)
            ::close(fd);
}

bool TPtyServer::Open(std::string* error)
{
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = name;
    // On Linux the master's termios calls reach the slave: make the line raw
    // before the program opens it, so nothing is echoed or translated.
    termios t{};
    if (::tcgetattr(m_master, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B1200);
        ::cfsetospeed(&t, B1200);
        ::tcsetattr(m_master, TCSANOW, &t);
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");

    // Without the hold and the watch the server still works, by the master's
    // hang-ups; only a non-root program could not open the port a second time.
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slaveHold >= 0) {
        m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watch < 0 || ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) < 0) {
            if (m_watch >= 0)
                ::close(m_watch);
            ::close(m_slaveHold);
            m_watch = m_slaveHold = -1;
        }
    }
    return true;
}

void TPtyServer::readOpenCloseEvents()
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
                hangUp();
                ::ioctl(m_slaveHold, TIOCNXCL);
            }
            off += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
}

void TPtyServer::SetCommandInput(int fd, std::function<bool(const std::string&)> handler)
{
    m_commandFd = fd;
    m_onCommand = std::move(handler);
}

void TPtyServer::schedule(const TSimBytes& answer, int64_t nowUs)
{
    const std::vector<TOutByte> paced = PaceAnswer(answer, nowUs, m_lineFreeUs, m_line);
    m_out.insert(m_out.end(), paced.begin(), paced.end());
    if (!m_out.empty())
        m_lineFreeUs = m_out.back().dueUs;
}

void TPtyServer::flushDue(int64_t nowUs)
{
    uint8_t chunk[512];
    size_t n = 0;
    while (n < sizeof chunk && n < m_out.size() && m_out[n].dueUs <= nowUs) {
        chunk[n] = m_out[n].byte;
        ++n;
    }
    if (n == 0)
        return;
    const ssize_t w = ::write(m_master, chunk, n);
    if (w > 0)
        m_out.erase(m_out.begin(), m_out.begin() + w);
    else if (w < 0 && errno != EAGAIN && errno != EINTR)
        hangUp(); // the program let go of the port: what was on the way is lost
}

void TPtyServer::handleFrames(int64_t nowUs)
{
    for (const TSimBytes& req : m_framer.Take(nowUs / 1000)) {
        const std::optional<TSimBytes> ans = m_engine.HandleRequest(req, nowUs / 1000);
        if (m_line.verbose)
            std::fprintf(stderr, "<- %s\n-> %s\n", HexBytes(req.data(), req.size()).c_str(),
                         ans ? HexBytes(ans->data(), ans->size()).c_str() : "(silence)");
        // Remember first, answer second: an acknowledged write must survive a crash.
        if (m_engine.TakeStateChanged() && m_onChanged)
            m_onChanged();
        if (ans)
            schedule(*ans, nowUs);
    }
}

void TPtyServer::hangUp()
{
    if (m_peerOpen && m_line.verbose)
        std::fprintf(stderr, "port closed by the program\n");
    m_peerOpen = false;
    m_out.clear(); // what was on the way is lost with the line
    m_lineFreeUs = 0;
    m_retryUs = m_slaveHold >= 0 ? 0 : nowMicros() + kIdleRetryUs;
}

void TPtyServer::readMaster(int64_t nowUs)
{
    uint8_t buf[256];
    for (;;) {
        const ssize_t r = ::read(m_master, buf, sizeof buf);
        if (r > 0) {
            if (!m_peerOpen && m_line.verbose)
                std::fprintf(stderr, "port opened by the program\n");
            m_peerOpen = true;
            m_framer.Feed(buf, size_t(r), nowUs / 1000);
            continue;
        }
        if (r < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        hangUp(); // EIO (or end of file): no one holds the slave end
        return;
    }
}

bool TPtyServer::readCommands()
{
    char buf[256];
    const ssize_t r = ::read(m_commandFd, buf, sizeof buf);
    if (r <= 0) {
        if (r < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        m_commandFd = -1; // end of input: keep serving without commands
        return true;
    }
    m_commandBuffer.append(buf, size_t(r));
    size_t nl;
    while ((nl = m_commandBuffer.find('\n')) != std::string::npos) {
        const std::string line = m_commandBuffer.substr(0, nl);
        m_commandBuffer.erase(0, nl + 1);
        if (m_onCommand && !m_onCommand(line))
            return false;
    }
    if (m_commandBuffer.size() > 4096)
        m_commandBuffer.clear();
    return true;
}

int TPtyServer::waitMs(int64_t nowUs, bool watchingMaster) const
{
    int64_t next = nowUs + 1'000'000;
    if (!m_out.empty())
        next = std::min(next, m_out.front().dueUs);
    const int64_t gap = m_framer.Deadline();
    if (gap >= 0)
        next = std::min(next, gap * 1000);
    if (!watchingMaster)
        next = std::min(next, m_retryUs);
    const int64_t us = next - nowUs;
    return us <= 0 ? 0 : int((us + 999) / 1000);
}

void TPtyServer::Run(const volatile std::sig_atomic_t* stop, int wakeFd)
{
    m_retryUs = nowMicros();
    while (!*stop && !m_quit) {
        int64_t now = nowMicros();
        flushDue(now);
        handleFrames(now);
        flushDue(now); // an answer without delay goes out at once

        pollfd fds[4 + 2 * kMaxSideLines];
        nfds_t n = 0;
        // While the slave end is closed the master reports a hang-up without
        // end; leave it out of the wait until the next look.
        const bool watchMaster = m_peerOpen || now >= m_retryUs;
        int masterIndex = -1, wakeIndex = -1, commandIndex = -1, watchIndex = -1;
        if (watchMaster) {
            masterIndex = int(n);
            fds[n++] = {m_master, POLLIN, 0};
        }
        if (wakeFd >= 0) {
            wakeIndex = int(n);
            fds[n++] = {wakeFd, POLLIN, 0};
        }
        if (m_commandFd >= 0) {
            commandIndex = int(n);
            fds[n++] = {m_commandFd, POLLIN, 0};
        }
        if (m_watch >= 0) {
            watchIndex = int(n);
            fds[n++] = {m_watch, POLLIN, 0};
        }
        const nfds_t sideFirst = n;
        for (size_t i = 0; i < m_sideLines.size() && i < kMaxSideLines; ++i) {
            fds[n++] = {m_sideLines[i]->MasterFd(), POLLIN, 0}; // -1 once closed: poll skips it
            fds[n++] = {m_sideLines[i]->WatchFd(), POLLIN, 0};
        }
        const int rc = ::poll(fds, n, waitMs(now, watchMaster));
        if (rc < 0 && errno != EINTR)
            break;
        if (rc <= 0)
            continue;
        now = nowMicros();
        if (wakeIndex >= 0 && fds[wakeIndex].revents)
            continue; // the loop condition decides
        if (commandIndex >= 0 && fds[commandIndex].revents && !readCommands())
            m_quit = true;
        // Bytes first: a request written just before the close is still
        // carried out, as a transducer on a real line would.
        if (masterIndex >= 0) {
            const short ev = fds[masterIndex].revents;
            if (ev & POLLIN)
                readMaster(now);
            else if (ev & (POLLHUP | POLLERR))
                hangUp();
        }
        if (watchIndex >= 0 && fds[watchIndex].revents)
            readOpenCloseEvents();
        for (size_t i = 0; i < m_sideLines.size() && i < kMaxSideLines; ++i) {
            const pollfd& master = fds[sideFirst + 2 * i];
            const pollfd& watch = fds[sideFirst + 2 * i + 1];
            if (master.fd >= 0 && (master.revents & POLLIN))
                m_sideLines[i]->OnMasterReadable();
            if (watch.fd >= 0 && watch.revents)
                m_sideLines[i]->OnWatchReadable();
        }
    }
}
