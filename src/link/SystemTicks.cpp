#include "link/TickSource.h"

#include <cerrno>
#include <ctime>

namespace {

// CLOCK_MONOTONIC milliseconds cut to 32 bits: wraps after 49.7 days, like
// the tick counter the waits were designed around.
class SystemTickSource final : public ITickSource {
public:
    uint32_t GetTickCount() override
    {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
    }

    void Sleep(uint32_t ms) override
    {
        timespec ts{};
        ts.tv_sec = time_t(ms / 1000);
        ts.tv_nsec = long(ms % 1000) * 1000000L;
        if (ms == 0)
            ts.tv_nsec = 100000; // a tenth of a millisecond: yields without spinning
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

ITickSource& SystemTicks()
{
    static SystemTickSource ticks;
    return ticks;
}
