#include "link/SerialDevice.h"

#include <cerrno>

TPortOpenError PortOpenErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return TPortOpenError::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return TPortOpenError::NotFound;
    case EBUSY:
    case EWOULDBLOCK:
        return TPortOpenError::Busy;
    case EACCES:
    case EPERM:
    case EROFS:
        return TPortOpenError::AccessDenied;
    case EINVAL:
        return TPortOpenError::BadSettings;
    default:
        return TPortOpenError::Other;
    }
}
