#pragma once

#include <cstdint>

// One read or write on a POSIX descriptor, tried again when a signal cuts it
// short. Returns the bytes moved; 0 when nothing can move now (a non-blocking
// descriptor with nothing ready, or the driver's own time-out); -1 on a fault,
// errno telling which.
int FdReadSome(int fd, uint8_t* buffer, int count);
int FdWriteSome(int fd, const uint8_t* data, int count);
