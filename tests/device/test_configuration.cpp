#include "device/Configuration.h"

#include "ScriptedLink.h"

#include <gtest/gtest.h>

namespace {

using DeviceShell = RecordingDeviceShell;

struct Rig {
    Rig()
    {
        shell.drv = &link.drv;
        link.ctx.shell = &shell;
        session.link = link.ctx;
        session.shell = &shell;
        shell.SetMessageDialog(&link.messages);
        session.Transducer.SlaveID = 1;
    }
    ScriptedLink link;
    DeviceShell shell;
    TDeviceSession session;
};

// Registers 0x0018..0x001F as they travel, without the frame around them.
QByteArray ConfigAnswer(int addr, const char* registers)
{
    return WithCRC(QByteArray(1, char(addr)) + HexBytes("03 10") + HexBytes(registers));
}

} // namespace

TEST(ConfigurationRegisters, AveragingTravelsAs4To178AndReadsBackWithTiesToEven)
{
    EXPECT_EQ(AverageToRegister(0), 0);
    EXPECT_EQ(AverageToRegister(1), 4);
    EXPECT_EQ(AverageToRegister(2), 10);
    EXPECT_EQ(AverageToRegister(30), 178);
    for (int s = 1; s <= 30; ++s)
        EXPECT_EQ(AverageFromRegister(AverageToRegister(s)), s) << s;
    EXPECT_EQ(AverageFromRegister(0), 0);
    EXPECT_EQ(AverageFromRegister(1), 0);   // 0,5 -> 0
    EXPECT_EQ(AverageFromRegister(7), 2);   // 1,5 -> 2
    EXPECT_EQ(AverageFromRegister(13), 2);  // 2,5 -> 2
    EXPECT_EQ(AverageFromRegister(255), 43);
}

TEST(ConfigurationRegisters, ReadAnswerFillsTheRecordByTheRegisterTable)
{
    TTransducerData r;
    r.R0 = 50;
    // kind 2, R0 code 1, bottom -50, top 600, inverse, alarm 3, averaging 178
    const TFrameBuffer a = ToFrameBuffer(ConfigAnswer(1, "00 02 00 01 FF CE 02 58 00 01 00 03 00 B2 00 01"));
    ParseConfigurationAnswer(a, r);
    EXPECT_EQ(r.SensorKind, 2);
    EXPECT_EQ(r.R0, 100);
    EXPECT_EQ(r.BottomTempBound, -50);
    EXPECT_EQ(r.TopTempBound, 600);
    EXPECT_FALSE(r.DirectLeadOut);
    EXPECT_EQ(r.AlarmCur, 3);
    EXPECT_EQ(r.Average, 30);

    // An unknown R0 code leaves R0 alone; a zero direction byte means direct.
    const TFrameBuffer b = ToFrameBuffer(ConfigAnswer(1, "00 07 00 03 00 00 00 19 FF 00 00 01 00 00 00 01"));
    ParseConfigurationAnswer(b, r);
    EXPECT_EQ(r.SensorKind, 7);
    EXPECT_EQ(r.R0, 100);
    EXPECT_TRUE(r.DirectLeadOut);
    EXPECT_EQ(r.Average, 0);
}

TEST(ConfigurationRegisters, WriteRequestCarriesEveryRegisterAndTheNewAddress)
{
    TTransducerData r;
    r.SlaveID = 1;
    r.SensorKind = 3;
    r.R0 = 50;
    r.BottomTempBound = -100;
    r.TopTempBound = -50;
    r.DirectLeadOut = false;
    r.AlarmCur = 2;
    r.Average = 1;
    TFrameBuffer q;
    BuildWriteConfigurationRequest(r, 7, q);
    EXPECT_EQ(FromFrameBuffer(q, 25),
              WithCRC(HexBytes("01 10 00 18 00 08 10 00 03 00 02 FF 9C FF CE 00 01 00 02 00 04 00 07")));

    r.R0 = 75; // neither 100 nor 50
    BuildWriteConfigurationRequest(r, 1, q);
    EXPECT_EQ(q[10], 0);
}

TEST(ConfigurationRanges, SpanAndOrderChecks)
{
    EXPECT_EQ(CheckTemperatureRange(-200, -175), TRangeCheck::Ok);
    EXPECT_EQ(CheckTemperatureRange(-99, -75), TRangeCheck::SpanTooShort);
    EXPECT_EQ(CheckTemperatureRange(10, 10), TRangeCheck::SpanTooShort);
    EXPECT_EQ(CheckTemperatureRange(11, 10), TRangeCheck::OrderWrong);

    TSensorLimits l;
    ASSERT_TRUE(SensorLimits(1, &l));
    EXPECT_EQ(l.topMin, -175);
    EXPECT_EQ(l.topMax, 600);
    EXPECT_EQ(l.bottomMin, -200);
    EXPECT_EQ(l.bottomMax, 575);
    ASSERT_TRUE(SensorLimits(3, &l));
    EXPECT_EQ(l.topMin, -75);
    EXPECT_EQ(l.bottomMax, 175);
    EXPECT_FALSE(SensorLimits(0, &l));
    EXPECT_EQ(TemperatureLimitText(-200), QStringLiteral("-200 °C"));
}

TEST(ConfigurationExchange, ReadFillsRecordAndSnapshot)
{
    Rig rig;
    rig.link.port.answerOnce(HexBytes("01 03 00 18 00 08"),
                             ConfigAnswer(1, "00 01 00 02 FF 38 00 C8 00 00 00 01 00 0A 00 05"));
    ASSERT_TRUE(ReadConfiguration(rig.session));
    EXPECT_EQ(rig.link.port.writes().first().bytes, WithCRC(HexBytes("01 03 00 18 00 08")));
    EXPECT_EQ(rig.session.Transducer.R0, 50);
    EXPECT_EQ(rig.session.TransducerSnapshot.BottomTempBound, -200);
    EXPECT_EQ(rig.session.TransducerSnapshot.TopTempBound, 200);
    EXPECT_EQ(rig.session.TransducerSnapshot.Average, 2);
    EXPECT_TRUE(rig.link.messages.isEmpty());
}

TEST(ConfigurationExchange, ExceptionOnReadShowsItsMessageOnceAndKeepsTheRecord)
{
    Rig rig;
    rig.session.Transducer.SensorKind = 1;
    rig.link.port.answerOnce(HexBytes("01 03"), WithCRC(HexBytes("01 83 02")));
    EXPECT_FALSE(ReadConfiguration(rig.session));
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Некорректный номер регистра данных.")});
    EXPECT_EQ(rig.session.Transducer.SensorKind, 1);
    EXPECT_EQ(rig.link.port.writeCount(), 1);
    EXPECT_TRUE(rig.link.drv.IsPortOpen());
}

TEST(ConfigurationExchange, ReadOnAClosedPortAsksNothingOfTheDevice)
{
    Rig rig;
    rig.link.drv.ClosePort();
    EXPECT_FALSE(ReadConfiguration(rig.session));
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Соединение не установлено")});
    EXPECT_EQ(rig.link.port.writeCount(), 0);
}

TEST(ConfigurationExchange, AddressMovesOnlyWhenTheWriteIsConfirmed)
{
    Rig rig;
    TTransducerData& r = rig.session.Transducer;
    r.SensorKind = 1;
    r.R0 = 100;
    r.BottomTempBound = 0;
    r.TopTempBound = 100;
    r.AlarmCur = 1;

    // Refused: an exception answer keeps the device at its old address.
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 90 03")));
    EXPECT_EQ(WriteConfiguration(rig.session, 7), TOutcome::Refused);
    EXPECT_EQ(r.SlaveID, 1);
    EXPECT_EQ(uint8_t(rig.link.port.lastWrite()[22]), 7);

    // A wrong echo: refused as well.
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 11 00 18 00 08")));
    EXPECT_EQ(WriteConfiguration(rig.session, 7), TOutcome::Refused);
    EXPECT_EQ(r.SlaveID, 1);
    EXPECT_TRUE(rig.link.messages.contains(QStringLiteral("Невозможно выполнить комманду.")));

    // Confirmed: sent to 1 with 7 inside, every later request goes to 7.
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 10 00 18 00 08")));
    EXPECT_EQ(WriteConfiguration(rig.session, 7), TOutcome::Success);
    EXPECT_EQ(uint8_t(rig.link.port.lastWrite()[0]), 1);
    EXPECT_EQ(r.SlaveID, 7);
    rig.link.port.answerOnce(HexBytes("07 03"), ConfigAnswer(7, "00 01 00 01 00 00 00 64 00 00 00 01 00 00 00 07"));
    EXPECT_TRUE(ReadConfiguration(rig.session));
    EXPECT_EQ(uint8_t(rig.link.port.lastWrite()[0]), 7);
}

// A refused write must not look like a done one: the code is shown once,
// and nothing about a missing answer follows.
TEST(ConfigurationExchange, UnknownExceptionCodeOnWriteIsShownWithItsCode)
{
    Rig rig;
    rig.session.Transducer.TopTempBound = 100;
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 90 04")));
    EXPECT_EQ(WriteConfiguration(rig.session, 1), TOutcome::Refused);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Прибор отказал в выполнении команды (код 4).")});
    EXPECT_EQ(rig.link.messages.last().kind, mkError);
    EXPECT_EQ(rig.link.messages.last().buttons, mbOk);
    EXPECT_EQ(rig.shell.disconnects, 0);
    EXPECT_EQ(rig.link.port.writeCount(), 1); // not repeated
}

TEST(ConfigurationExchange, BadRangeIsRefusedBeforeAnythingIsSent)
{
    Rig rig;
    rig.session.Transducer.BottomTempBound = 50;
    rig.session.Transducer.TopTempBound = 50;
    EXPECT_EQ(WriteConfiguration(rig.session, 1), TOutcome::Refused);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Длина диапазона не может быть меньше 25 град!")});
    rig.session.Transducer.TopTempBound = 40;
    EXPECT_EQ(WriteConfiguration(rig.session, 1), TOutcome::Refused);
    EXPECT_EQ(rig.link.messages.last().text, QStringLiteral("Значание верней границы диапазона меньше нижней!"));
    EXPECT_EQ(rig.link.port.writeCount(), 0);
}
