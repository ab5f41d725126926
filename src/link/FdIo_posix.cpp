#include "link/FdIo.h"

#include <cerrno>
#include <cstddef>

#include <unistd.h>

namespace {

int Outcome(ssize_t n)
{
    if (n >= 0)
        return int(n);
    return errno == EAGAIN || errno == ETIMEDOUT ? 0 : -1;
}

} // namespace

int FdReadSome(int fd, uint8_t* buffer, int count)
{
    ssize_t n;
    do
        n = ::read(fd, buffer, size_t(count));
    while (n < 0 && errno == EINTR);
    return Outcome(n);
}

int FdWriteSome(int fd, const uint8_t* data, int count)
{
    ssize_t n;
    do
        n = ::write(fd, data, size_t(count));
    while (n < 0 && errno == EINTR);
    return Outcome(n);
}
