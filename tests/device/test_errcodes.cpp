#include "device/ErrCodes.h"
#include "RecordingMessages.h"

#include <gtest/gtest.h>

TEST(DeviceExceptions, TableLookupAndMessage)
{
    RecordingMessages msgs;
    ShowDeviceException(msgs, 2);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text, QStringLiteral("Некорректный номер регистра данных."));
    EXPECT_EQ(msgs.last().kind, mkError);
    EXPECT_EQ(msgs.last().buttons, mbOk);

    ShowDeviceException(msgs, 0x10);
    EXPECT_EQ(msgs.last().text, QStringLiteral("Заданная температура отличается от измеряемой более чем на 5%."));
    ShowDeviceException(msgs, 0x0C);
    EXPECT_EQ(msgs.last().text, QStringLiteral("Измеренная температура отклонилась от 0 °С более чем на 20 °С."));

    // Codes outside the table are refusals all the same, named by their number.
    msgs.clear();
    for (uint8_t code : {0, 4, 9, 17, 0x83, 0xFF})
        ShowDeviceException(msgs, code);
    EXPECT_EQ(msgs.texts(), (QStringList{QStringLiteral("Прибор отказал в выполнении команды (код 0)."),
                                         QStringLiteral("Прибор отказал в выполнении команды (код 4)."),
                                         QStringLiteral("Прибор отказал в выполнении команды (код 9)."),
                                         QStringLiteral("Прибор отказал в выполнении команды (код 17)."),
                                         QStringLiteral("Прибор отказал в выполнении команды (код 131)."),
                                         QStringLiteral("Прибор отказал в выполнении команды (код 255).")}));
    for (const TRecordedMessage& m : msgs.all()) {
        EXPECT_EQ(m.kind, mkError);
        EXPECT_EQ(m.buttons, mbOk);
    }
}

TEST(DeviceExceptions, TableOrderAndCodes)
{
    const uint8_t codes[] = {1, 2, 3, 10, 11, 12, 13, 14, 15, 16};
    for (int i = 0; i < kErrCodeCount; ++i) {
        EXPECT_EQ(ErrCodeTable[i].Code, codes[i]);
        EXPECT_FALSE(DeviceExceptionText(codes[i]).isEmpty());
    }
}
