#include "device/DeviceMessages.h"
#include "device/WordingShell.h"
#include "link/CommPortDriver.h"
#include "RecordingMessages.h"
#include "ScriptedLink.h"

#include <gtest/gtest.h>

namespace {

struct TFaultCase {
    TOperation op;
    TLinkReason reason;
    const char* text;
};

// Each operation's failures as the program has always worded them.
const TFaultCase kFaults[] = {
    {TOperation::WriteInformation, TLinkReason::WrongFunction, "Невозможно выполнить комманду"},
    {TOperation::WriteInformation, TLinkReason::NoAnswer, "Не получен ответ от прибора."},
    {TOperation::WriteInformation, TLinkReason::NoLink, "Нет связи с прибором!"},
    {TOperation::ReadConfiguration, TLinkReason::NoAnswer, "Не получен ответ от прибора"},
    {TOperation::ReadConfiguration, TLinkReason::NoLink, "Нет связи с прибором"},
    {TOperation::WriteConfiguration, TLinkReason::WrongFunction, "Невозможно выполнить комманду."},
    {TOperation::WriteConfiguration, TLinkReason::NoAnswer, "Не получен ответ от прибора."},
    {TOperation::WriteConfiguration, TLinkReason::NoLink, "Нет связи с прибором."},
    {TOperation::SendCalibrationStage, TLinkReason::NoAnswer, "Не получен ответ от прибора."},
    {TOperation::SendCalibrationStage, TLinkReason::NoLink, "Нет связи с прибором."},
    {TOperation::CorrectR0, TLinkReason::NoAnswer, "Не получен ответ от прибора"},
    {TOperation::CorrectR0, TLinkReason::NoLink, "Нет связи с прибором"},
    {TOperation::SendNSXStep, TLinkReason::NoAnswer, "Не получен ответ от прибора"},
    {TOperation::SendNSXStep, TLinkReason::NoLink, "Нет связи с прибором"},
};

class StatusShell : public IWordingShell {
public:
    void SetStatusText(const QString& text) override { texts << text; }
    void ProcessEvents() override {}
    void DeviceLost(const TLinkFault&) override {}
    QStringList texts;
};

} // namespace

TEST(DeviceMessages, EveryLinkFaultWordedAsBefore)
{
    for (const TFaultCase& c : kFaults) {
        const TLinkFault fault{c.reason, c.op, 1};
        EXPECT_EQ(LinkFaultText(fault), QString::fromUtf8(c.text)) << int(c.op) << " " << int(c.reason);
        EXPECT_EQ(LinkFaultKind(fault), mkError) << c.text;
    }
    const TLinkFault notFound{TLinkReason::NotFound, TOperation::IdentifyDevice, 17};
    EXPECT_EQ(LinkFaultText(notFound), QStringLiteral("Прибор номер 17 не найден."));
    EXPECT_EQ(LinkFaultKind(notFound), mkWarning);
}

TEST(DeviceMessages, StatusTextsAndTheShellThatShowsThem)
{
    StatusShell shell;
    for (TLinkStatus s : {TLinkStatus::Reading, TLinkStatus::Writing, TLinkStatus::Repeat, TLinkStatus::Clear})
        shell.LinkStatus(s);
    EXPECT_EQ(shell.texts, (QStringList{QStringLiteral("Чтение данных из памяти прибора"),
                                        QStringLiteral("Запись данных в память прибора"),
                                        QStringLiteral("Повторный запрос"), QString()}));

    // A fault goes to the dialog the shell was given.
    RecordingMessages given;
    shell.SetMessageDialog(&given);
    shell.LinkFault({TLinkReason::NotFound, TOperation::IdentifyDevice, 3});
    ASSERT_EQ(given.count(), 1);
    EXPECT_EQ(given.last().text, QStringLiteral("Прибор номер 3 не найден."));
    EXPECT_EQ(given.last().kind, mkWarning);
    EXPECT_EQ(given.last().buttons, mbOk);
}

TEST(DeviceMessages, CannotExecuteVariantsKeepTheirPunctuation)
{
    const QString plain = QStringLiteral("Невозможно выполнить комманду");
    EXPECT_EQ(CannotText(TCannotText::Plain), plain);
    EXPECT_EQ(CannotText(TCannotText::Stop), plain + QStringLiteral("."));
    EXPECT_EQ(CannotText(TCannotText::R0Deviation),
              QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется от 0 более чем на 20°С"));
    EXPECT_EQ(CannotText(TCannotText::R0Done),
              QStringLiteral("Невозможно выполнить комманду.\n\rКорректировка R0 уже проводилась.\n\rСбросить корректировку R0?"));
    EXPECT_EQ(CannotText(TCannotText::NSXDone),
              QStringLiteral("Невозможно выполнить комманду.\n\rКорркектировка НСХ уже проводилась.\n\rСбросить?"));
    EXPECT_EQ(CannotText(TCannotText::NSXNearZero),
              QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется от 0 менее чем на 20°С."));
    EXPECT_EQ(CannotText(TCannotText::NSXDeviation),
              QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется указанной более чем 5%."));
}

TEST(DeviceMessages, PortOpenFailuresNameTheDevice)
{
    const QString dev = QStringLiteral("/dev/ttyS9");
    EXPECT_EQ(PortOpenErrorText(TPortOpenError::Busy, dev),
              QStringLiteral("Порт /dev/ttyS9 занят другой программой. Закройте её и повторите попытку."));
    EXPECT_EQ(PortOpenErrorText(TPortOpenError::Other, dev), QStringLiteral("Не удалось открыть порт /dev/ttyS9."));
    EXPECT_TRUE(PortOpenErrorText(TPortOpenError::None, dev).isEmpty());

    // The driver's failure is worded with the device it resolved.
    ScriptedLink link(0, false);
    link.drv.setPortMap({{1, QStringLiteral("/dev/ttyUSB4")}});
    link.port.setOpenError(TPortOpenError::NotFound);
    EXPECT_FALSE(link.drv.OpenPort());
    EXPECT_EQ(OpenFailureReason(link.drv),
              QStringLiteral("Порт /dev/ttyUSB4 не найден. Проверьте, что преобразователь интерфейса подключён, "
                             "или выберите другой COM-порт."));
    EXPECT_EQ(ImpossibleDateText(), QStringLiteral("Неверная дата"));
}
