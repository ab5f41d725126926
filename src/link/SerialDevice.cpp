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

QString PortOpenErrorText(TPortOpenError error, const QString& device)
{
    switch (error) {
    case TPortOpenError::None:
        return QString();
    case TPortOpenError::NotFound:
        return QStringLiteral("Порт %1 не найден. Проверьте, что преобразователь интерфейса подключён, "
                              "или выберите другой COM-порт.").arg(device);
    case TPortOpenError::Busy:
        return QStringLiteral("Порт %1 занят другой программой. Закройте её и повторите попытку.").arg(device);
    case TPortOpenError::AccessDenied:
        return QStringLiteral("Нет доступа к порту %1. Добавьте пользователя в группу dialout "
                              "и войдите в систему заново.").arg(device);
    case TPortOpenError::BadSettings:
        return QStringLiteral("Порт %1 не принимает параметры линии (скорость, формат символа).").arg(device);
    case TPortOpenError::Other:
        break;
    }
    return QStringLiteral("Не удалось открыть порт %1.").arg(device);
}
