#include "ScriptedLink.h"

#include <gtest/gtest.h>

namespace {

const QString kRead = QStringLiteral("Чтение данных из памяти прибора");
const QString kWrite = QStringLiteral("Запись данных в память прибора");
const QString kRepeat = QStringLiteral("Повторный запрос");

// A request of the operation's length: address 1, function, zero data, CRC.
TFrameBuffer Request(TOperation op, uint8_t function)
{
    TFrameBuffer b{};
    b[0] = 0x01;
    b[1] = function;
    PutFrameCRC(b, RequestLength(op) - 2);
    return b;
}

const TFrameBuffer kReadConfig = Request(TOperation::ReadConfiguration, 0x03);
const TFrameBuffer kWriteInfo = Request(TOperation::WriteInformation, 0x10);
const TFrameBuffer kIdentify = Request(TOperation::IdentifyDevice, 0x11);
const TFrameBuffer kCalibr = Request(TOperation::SendCalibrationStage, 0x4D);

QByteArray ConfigAnswer()
{
    QByteArray a = HexBytes("01 03 10");
    for (int i = 0; i < 16; ++i)
        a += char(0x20 + i);
    return WithCRC(a);
}

QByteArray WriteAnswer(uint8_t function = 0x10)
{
    QByteArray a = HexBytes("01 00 00 08 00 10");
    a[1] = char(function);
    return WithCRC(a);
}

class TransactionTest : public ::testing::Test {
protected:
    TOutcome run(TOperation op, const TFrameBuffer& request)
    {
        return RunTransaction(link.ctx, op, request, answer, &count);
    }
    double writeAt(int i) const { return link.port.writes()[i].atMs(); }

    ScriptedLink link;
    TFrameBuffer answer{};
    int count = -1;
};

} // namespace

TEST_F(TransactionTest, NoAnswerTwoAttempts)
{
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::NoAnswer);

    ASSERT_EQ(link.port.writeCount(), 2);
    EXPECT_EQ(link.port.writes()[0].bytes, FromFrameBuffer(kReadConfig, 8));
    EXPECT_EQ(link.port.writes()[1].bytes, FromFrameBuffer(kReadConfig, 8));
    // One attempt: the 1000 ms wait plus the 1000 ms idle end of the read.
    EXPECT_NEAR(writeAt(1) - writeAt(0), 2000, 5);
    EXPECT_NEAR(link.clock.elapsedMs(), 4000, 10);
    EXPECT_EQ(link.shell.statusTexts, (QStringList{kRead, kRepeat, QString()}));
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора")});
    EXPECT_EQ(link.messages.last().kind, mkError);
    EXPECT_EQ(link.shell.disconnects, 1);
    EXPECT_FALSE(link.drv.IsPortOpen());
    EXPECT_EQ(count, 0);
    // The message comes before the disconnect; the repeat purged both queues.
    EXPECT_EQ(link.shell.log.last(), QStringLiteral("disconnect"));
    EXPECT_GE(link.port.purgeInputCount(), 2);
}

TEST_F(TransactionTest, NoAnswerSingleAttempt)
{
    link.ctx.RepeatNum = 1;
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::NoAnswer);
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_FALSE(link.shell.statusTexts.contains(kRepeat));
    EXPECT_NEAR(link.clock.elapsedMs(), 2000, 5);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора.")});
    EXPECT_EQ(link.shell.disconnects, 1);
}

TEST_F(TransactionTest, AnswerCompleteAt990ms)
{
    link.port.answerOnce({}, ConfigAnswer(), 990);
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::Success);
    EXPECT_EQ(count, 21);
    EXPECT_EQ(FromFrameBuffer(answer, 21), ConfigAnswer());
    EXPECT_EQ(answer[21], 0);
    // Complete at 990 ms: the answer is used at once.
    EXPECT_NEAR(link.clock.elapsedMs(), 990, 5);
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_TRUE(link.messages.isEmpty());
    EXPECT_EQ(link.shell.disconnects, 0);
    EXPECT_EQ(link.shell.statusTexts, (QStringList{kRead, QString()}));
}

TEST_F(TransactionTest, AnswerAtLineRateAndInPieces)
{
    link.port.setLineRate(1200);
    link.port.answerOnce({}, ConfigAnswer(), 30);
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::Success);
    // 21 characters of 11 bits at 1200 bit/s; complete with the last one.
    EXPECT_NEAR(link.clock.elapsedMs(), 30 + 21 * 11 / 1.2, 5);

    // A gap shorter than the input time-out keeps the answer whole ...
    ScriptedLink l2;
    const QByteArray a = ConfigAnswer();
    l2.port.answerOnceInPieces({}, {{100, a.left(10)}, {900, a.mid(10)}});
    EXPECT_EQ(RunTransaction(l2.ctx, TOperation::ReadConfiguration, kReadConfig, answer), TOutcome::Success);

    // ... a longer one splits it into two failed attempts.
    ScriptedLink l3;
    l3.port.answerOnceInPieces({}, {{100, a.left(10)}, {2500, a.mid(10)}});
    EXPECT_EQ(RunTransaction(l3.ctx, TOperation::ReadConfiguration, kReadConfig, answer), TOutcome::NoAnswer);
}

TEST_F(TransactionTest, FiveByteNonExceptionIsIgnored)
{
    link.ctx.RepeatNum = 1;
    link.port.answerOnce({}, WithCRC(HexBytes("01 10 00")), 20);
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::NoAnswer);
    // Read again without sending: wait + read of the 5 bytes, then wait + empty read.
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_NEAR(link.clock.elapsedMs(), 4000, 10);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора.")});

    // With a real answer following, the ignored frame does no harm.
    ScriptedLink l2;
    l2.port.answerOnceInPieces({}, {{20, WithCRC(HexBytes("01 10 00"))}, {2500, WriteAnswer()}});
    EXPECT_EQ(RunTransaction(l2.ctx, TOperation::WriteInformation, kWriteInfo, answer), TOutcome::Success);
    EXPECT_EQ(l2.port.writeCount(), 1);
}

TEST_F(TransactionTest, EndlessStrayFramesEndTheAttempt)
{
    // A babbling device: a stray 5-byte frame every 2,1 s, each read on its own.
    link.ctx.RepeatNum = 2;
    for (int i = 0; i < 1000; ++i)
        link.port.deliver(WithCRC(HexBytes("01 10 00")), 20 + 2100 * i);
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::NoAnswer);
    EXPECT_EQ(link.port.writeCount(), 2);
    EXPECT_LT(link.clock.elapsedMs(), 60000);
    EXPECT_EQ(link.shell.disconnects, 1);
}

TEST_F(TransactionTest, ExceptionAnswerIsShownOnce)
{
    // The code goes to the shell, once; the link itself shows nothing.
    link.port.answerOnce({}, WithCRC(HexBytes("01 90 03")));
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::Refused);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(link.shell.exceptionCodes, QList<uint8_t>{3});
    EXPECT_TRUE(link.messages.isEmpty());
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_EQ(link.shell.disconnects, 0);
    EXPECT_TRUE(link.drv.IsPortOpen());

    link.port.answerOnce({}, WithCRC(HexBytes("01 83 04")));
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::Refused);
    EXPECT_EQ(link.shell.exceptionCodes, (QList<uint8_t>{3, 4}));
    EXPECT_EQ(link.port.writeCount(), 2);
}

TEST_F(TransactionTest, WrongFunctionByteIsRefused)
{
    link.port.answerOnce({}, WriteAnswer(0x03));
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::Refused);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Невозможно выполнить комманду")});
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_TRUE(link.drv.IsPortOpen());

    link.messages.clear();
    link.port.answerOnce({}, WriteAnswer(0x06));
    EXPECT_EQ(run(TOperation::WriteConfiguration, Request(TOperation::WriteConfiguration, 0x10)),
              TOutcome::Refused);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Невозможно выполнить комманду.")});
}

TEST_F(TransactionTest, WriteFailingOnTheRepeat)
{
    link.port.failWrite(2);
    EXPECT_EQ(run(TOperation::WriteInformation, kWriteInfo), TOutcome::NoLink);
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_NEAR(link.clock.elapsedMs(), 2000, 5); // stopped at once, no second wait
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Нет связи с прибором!")});
    EXPECT_EQ(link.shell.disconnects, 1);
    EXPECT_EQ(link.shell.statusText(), QString());
}

TEST_F(TransactionTest, FirstWriteFailing)
{
    link.port.failWrite(1, 3); // a short write, then the device goes away
    link.port.failWrite(2);
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::NoLink);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Нет связи с прибором")});
    EXPECT_EQ(link.shell.statusText(), kRead); // the failed exchange stays named
    EXPECT_EQ(link.shell.disconnects, 1);

    // A closed port: the first write fails.
    ScriptedLink closed(0, false);
    EXPECT_EQ(RunTransaction(closed.ctx, TOperation::WriteConfiguration,
                             Request(TOperation::WriteConfiguration, 0x10), answer),
              TOutcome::NoLink);
    EXPECT_EQ(closed.messages.texts(), QStringList{QStringLiteral("Нет связи с прибором.")});
    EXPECT_LT(closed.clock.elapsedMs(), 1);
}

TEST_F(TransactionTest, OutputQueueStuckFull)
{
    link.port.setOutputBlocked(true);
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::NoLink);
    EXPECT_NEAR(link.clock.elapsedMs(), 1000, 5); // OutputTimeout
}

TEST_F(TransactionTest, BadCrcIsAFailedAttempt)
{
    QByteArray damaged = ConfigAnswer();
    damaged[5] = char(damaged[5] ^ 0x04);
    link.port.answerOnce({}, damaged).answerOnce({}, ConfigAnswer());
    EXPECT_EQ(run(TOperation::ReadConfiguration, kReadConfig), TOutcome::Success);
    EXPECT_EQ(link.port.writeCount(), 2);
    EXPECT_TRUE(link.shell.statusTexts.contains(kRepeat));
    EXPECT_EQ(FromFrameBuffer(answer, 21), ConfigAnswer());
    EXPECT_TRUE(link.messages.isEmpty());

    // Damaged every time: no answer.
    ScriptedLink l2;
    l2.port.answerAlways(QByteArray(), [&](const QByteArray&) { return damaged; });
    EXPECT_EQ(RunTransaction(l2.ctx, TOperation::ReadConfiguration, kReadConfig, answer), TOutcome::NoAnswer);
    EXPECT_EQ(l2.shell.disconnects, 1);

    // Damaged exception and private answers are not believed either.
    ScriptedLink l3;
    l3.ctx.RepeatNum = 1;
    l3.port.answerOnce({}, WithBadCRC(HexBytes("01 90 02")));
    EXPECT_EQ(RunTransaction(l3.ctx, TOperation::WriteInformation, kWriteInfo, answer), TOutcome::NoAnswer);
    EXPECT_FALSE(l3.messages.contains(QStringLiteral("Некорректный номер")));

    ScriptedLink l4;
    l4.ctx.RepeatNum = 1;
    l4.port.answerOnce({}, WithBadCRC(HexBytes("01 4D 00")));
    EXPECT_EQ(RunTransaction(l4.ctx, TOperation::SendCalibrationStage, kCalibr, answer), TOutcome::NoAnswer);
}

TEST_F(TransactionTest, TickCounterWrapDuringTheWait)
{
    ScriptedLink wrap(0xFFFFFFFFu - 500);
    wrap.ctx.RepeatNum = 1;
    EXPECT_EQ(RunTransaction(wrap.ctx, TOperation::ReadConfiguration, kReadConfig, answer), TOutcome::NoAnswer);
    EXPECT_NEAR(wrap.clock.elapsedMs(), 2000, 5);
    EXPECT_LT(wrap.clock.GetTickCount(), 2000u); // it did wrap

    ScriptedLink wrap2(0xFFFFFFFFu - 100);
    wrap2.port.answerOnce({}, ConfigAnswer(), 400);
    EXPECT_EQ(RunTransaction(wrap2.ctx, TOperation::ReadConfiguration, kReadConfig, answer), TOutcome::Success);
    EXPECT_NEAR(wrap2.clock.elapsedMs(), 400, 5);
}

TEST_F(TransactionTest, IdentifyNotFound)
{
    EXPECT_EQ(run(TOperation::IdentifyDevice, kIdentify), TOutcome::NoAnswer);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Прибор номер 1 не найден.")});
    EXPECT_EQ(link.messages.last().kind, mkWarning);
    EXPECT_EQ(link.messages.last().buttons, mbOk);
    EXPECT_EQ(link.shell.disconnects, 1);
    EXPECT_EQ(link.shell.statusBarUpdates, 0); // IdentifyDevice's own closing step

    // Silent while link errors are not reported; the disconnect happens anyway.
    ScriptedLink quiet;
    quiet.ctx.ReportLinkErrors = false;
    quiet.port.failWrite(1);
    EXPECT_EQ(RunTransaction(quiet.ctx, TOperation::IdentifyDevice, kIdentify, answer), TOutcome::NoLink);
    EXPECT_TRUE(quiet.messages.isEmpty());
    EXPECT_EQ(quiet.shell.disconnects, 1);
    EXPECT_EQ(quiet.shell.statusText(), QString()); // identification clears the panel
}

TEST_F(TransactionTest, CalibrationStageTimeoutAndReset)
{
    link.ctx.RepeatNum = 1;
    EXPECT_EQ(run(TOperation::SendCalibrationStage, kCalibr), TOutcome::NoAnswer);
    EXPECT_NEAR(link.clock.elapsedMs(), 3000, 5); // 1000 ms wait + 2000 ms idle read
    EXPECT_EQ(link.drv.InputTimeout, 1000u);
    // One lost device, named by the stage request: its owner puts the stage back before it disconnects.
    ASSERT_EQ(link.shell.lostFaults.size(), 1);
    EXPECT_EQ(link.shell.lostBy(TOperation::SendCalibrationStage), 1);
    EXPECT_EQ(link.shell.lostFaults.first().reason, TLinkReason::NoAnswer);
    EXPECT_EQ(link.shell.countOf(QStringLiteral("deviceLost")), 1);
    EXPECT_EQ(link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора.")});
    EXPECT_EQ(link.shell.statusTexts.first(), kWrite);
}

TEST_F(TransactionTest, PrivateFunctionAnswers)
{
    link.port.answerOnce({}, WithCRC(HexBytes("01 4D 00")), 1500); // late but within the 2000 ms read
    EXPECT_EQ(run(TOperation::SendCalibrationStage, kCalibr), TOutcome::Success);

    link.port.answerOnce({}, WithCRC(HexBytes("01 00 0B")));
    EXPECT_EQ(run(TOperation::SendCalibrationStage, kCalibr), TOutcome::Refused);
    EXPECT_EQ(answer[2], 0x0B);        // the caller's error code
    EXPECT_TRUE(link.messages.isEmpty());
    EXPECT_TRUE(link.shell.lostFaults.isEmpty());

    // The corrections leave panel 3 to their caller.
    link.shell.statusTexts.clear();
    link.port.answerOnce({}, WithCRC(HexBytes("01 4E 00")));
    EXPECT_EQ(run(TOperation::CorrectR0, Request(TOperation::CorrectR0, 0x4E)), TOutcome::Success);
    link.port.answerOnce({}, WithCRC(HexBytes("01 4F 00")));
    EXPECT_EQ(run(TOperation::SendNSXStep, Request(TOperation::SendNSXStep, 0x4F)), TOutcome::Success);
    EXPECT_TRUE(link.shell.statusTexts.isEmpty());
}

TEST(AnswerWait, EndsWhenEnoughBytesAreQueued)
{
    ScriptedLink link;
    link.port.deliver(HexBytes("01 02 03"), 100);
    link.port.deliver(HexBytes("04 05"), 300);
    AnswerWait(link.ctx, 5);
    EXPECT_NEAR(link.clock.elapsedMs(), 300, 2);
    AnswerWait(link.ctx, 15);
    EXPECT_NEAR(link.clock.elapsedMs(), 1300, 2);
}
