#include "device/ErrCodes.h"

#include "link/MessageDialog.h"

const TErrCode ErrCodeTable[kErrCodeCount] = {
    {0x01, "Неизвестная команда."},
    {0x02, "Некорректный номер регистра данных."},
    {0x03, "Некорректный запрос."},
    {0x0A, "Измеряемое значение АЦП выходит за пределы диапазона."},
    {0x0B, "Некорректные данные в запросе."},
    {0x0C, "Измеренная температура отклонилась от 0 °С более чем на 20 °С."},
    {0x0D, "Корректировка R0 уже проводилась. Необходимо сбросить значение корректирокки R0."},
    {0x0E, "Корректировка НСХ уже проводилась. Нужно сбросить результат ранее проведенной корректировки."},
    {0x0F, "Измеренная температура выходит за пределы диапазона допустимых значений."},
    {0x10, "Заданная температура отличается от измеряемой более чем на 5%."},
};

QString DeviceExceptionText(uint8_t code)
{
    for (const TErrCode& row : ErrCodeTable) {
        if (row.Code == code)
            return QString::fromUtf8(row.Message);
    }
    return QString();
}

QString UnknownRefusalText(int code)
{
    return QStringLiteral("Прибор отказал в выполнении команды (код %1).").arg(code);
}

void ShowDeviceException(IMessageDialog& dialog, uint8_t code)
{
    const QString text = DeviceExceptionText(code);
    dialog.ShowError(text.isEmpty() ? UnknownRefusalText(code) : text);
}
