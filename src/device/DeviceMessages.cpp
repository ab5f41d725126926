#include "device/DeviceMessages.h"

#include "link/CommPortDriver.h"

namespace {

// Functions, not QString globals: callers may run during static initialisation.
QString Cannot() { return QStringLiteral("Невозможно выполнить комманду"); }
QString CannotStop() { return Cannot() + QStringLiteral("."); }

QString NoAnswer() { return QStringLiteral("Не получен ответ от прибора"); }
QString NoAnswerStop() { return NoAnswer() + QStringLiteral("."); }

QString NoLink() { return QStringLiteral("Нет связи с прибором"); }
QString NoLinkStop() { return NoLink() + QStringLiteral("."); }
QString NoLinkBang() { return NoLink() + QStringLiteral("!"); }

// The operations have worded their failures differently since their first
// release; users and the service notes quote them as they are.
struct TFaultWords {
    QString (*wrongFunction)();
    QString (*noAnswer)();
    QString (*noLink)();
};

TFaultWords WordsOf(TOperation op)
{
    switch (op) {
    case TOperation::WriteInformation:
        return {Cannot, NoAnswerStop, NoLinkBang};
    case TOperation::WriteConfiguration:
        return {CannotStop, NoAnswerStop, NoLinkStop};
    case TOperation::SendCalibrationStage:
        return {CannotStop, NoAnswerStop, NoLinkStop};
    case TOperation::IdentifyDevice:
    case TOperation::ReadConfiguration:
    case TOperation::CorrectR0:
    case TOperation::SendNSXStep:
        break;
    }
    return {Cannot, NoAnswer, NoLink};
}

} // namespace

QString LinkStatusText(TLinkStatus status)
{
    switch (status) {
    case TLinkStatus::Clear:
        break;
    case TLinkStatus::Reading:
        return QStringLiteral("Чтение данных из памяти прибора");
    case TLinkStatus::Writing:
        return QStringLiteral("Запись данных в память прибора");
    case TLinkStatus::Repeat:
        return QStringLiteral("Повторный запрос");
    }
    return QString();
}

QString LinkFaultText(const TLinkFault& fault)
{
    const TFaultWords words = WordsOf(fault.operation);
    switch (fault.reason) {
    case TLinkReason::WrongFunction:
        return words.wrongFunction();
    case TLinkReason::NoAnswer:
        return words.noAnswer();
    case TLinkReason::NoLink:
        return words.noLink();
    case TLinkReason::NotFound:
        break;
    }
    return QStringLiteral("Прибор номер %1 не найден.").arg(fault.address);
}

TMessageKind LinkFaultKind(const TLinkFault& fault)
{
    return fault.reason == TLinkReason::NotFound ? mkWarning : mkError;
}

void ShowLinkFault(IMessageDialog& dialog, const TLinkFault& fault)
{
    dialog.MessageDlg(LinkFaultText(fault), LinkFaultKind(fault), 0, mbOk);
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

QString OpenFailureReason(const TCommPortDriver& driver)
{
    return PortOpenErrorText(driver.lastOpenError(), driver.lastOpenErrorDevice());
}

QString OpenFailureDetails(const TCommPortDriver& driver)
{
    QString text;
    const QString reason = OpenFailureReason(driver);
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    if (driver.lastOpenError() == TPortOpenError::AccessDenied)
        text += QStringLiteral("\nsudo usermod -aG dialout $USER");
    return text;
}

QString ImpossibleDateText()
{
    return QStringLiteral("Неверная дата");
}

QString CannotText(TCannotText variant)
{
    switch (variant) {
    case TCannotText::Plain:
        break;
    case TCannotText::Stop:
        return CannotStop();
    case TCannotText::R0Deviation:
        return CannotStop() + QStringLiteral(" Измеренная температура отличется от 0 более чем на 20°С");
    case TCannotText::R0Done:
        return CannotStop() + QStringLiteral("\n\rКорректировка R0 уже проводилась.\n\rСбросить корректировку R0?");
    case TCannotText::NSXDone:
        return CannotStop() + QStringLiteral("\n\rКорркектировка НСХ уже проводилась.\n\rСбросить?");
    case TCannotText::NSXNearZero:
        return CannotStop() + QStringLiteral(" Измеренная температура отличется от 0 менее чем на 20°С.");
    case TCannotText::NSXDeviation:
        return CannotStop() + QStringLiteral(" Измеренная температура отличется указанной более чем 5%.");
    }
    return Cannot();
}
