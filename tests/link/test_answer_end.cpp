// When the read of an attempt ends: at the last byte of a complete answer, or
// by the idle time-out for everything else; and the first-byte window of the
// search's quick pass.
#include "ScriptedLink.h"

#include <gtest/gtest.h>

namespace {

const QString kRepeat = QStringLiteral("Повторный запрос");
constexpr double kCharMs = 11 * 1000.0 / 1200.0; // 8N2 at 1200 bit/s

TFrameBuffer Request(TOperation op, uint8_t function, uint8_t address = 0x01)
{
    TFrameBuffer b{};
    b[0] = address;
    b[1] = function;
    PutFrameCRC(b, RequestLength(op) - 2);
    return b;
}

QByteArray ConfigAnswer(uint8_t address = 0x01)
{
    QByteArray a = HexBytes("01 03 10");
    a[0] = char(address);
    for (int i = 0; i < 16; ++i)
        a += char(0x30 + i);
    return WithCRC(a);
}

QByteArray IdentifyAnswer()
{
    QByteArray a = HexBytes("01 11 34");
    a += QByteArray(50, 'x');
    return WithCRC(a);
}

class AnswerEndTest : public ::testing::Test {
protected:
    AnswerEndTest() { link.port.setLineRate(1200); }
    TOutcome run(TOperation op, const TFrameBuffer& request)
    {
        return RunTransaction(link.ctx, op, request, answer, &count);
    }

    ScriptedLink link;
    TFrameBuffer answer{};
    int count = -1;
};

} // namespace

TEST_F(AnswerEndTest, CompleteAnswersEndTheReadAtTheirLastByte)
{
    link.port.answerOnce({}, ConfigAnswer(), 20);
    EXPECT_EQ(run(TOperation::ReadConfiguration, Request(TOperation::ReadConfiguration, 0x03)), TOutcome::Success);
    EXPECT_EQ(count, 21);
    EXPECT_EQ(FromFrameBuffer(answer, 21), ConfigAnswer());
    EXPECT_NEAR(link.clock.elapsedMs(), 20 + 21 * kCharMs, 1);
    EXPECT_EQ(link.clock.sleepCalls(), 0) << "blocked in the port's wait, no 1 ms turns";

    const double t1 = link.clock.elapsedMs();
    link.port.answerOnce({}, IdentifyAnswer(), 20);
    EXPECT_EQ(run(TOperation::IdentifyDevice, Request(TOperation::IdentifyDevice, 0x11)), TOutcome::Success);
    EXPECT_EQ(count, 55);
    EXPECT_NEAR(link.clock.elapsedMs() - t1, 20 + 55 * kCharMs, 1);

    // The calibration stage's answer, under its 2000 ms input time-out.
    const double t2 = link.clock.elapsedMs();
    link.port.answerOnce({}, WithCRC(HexBytes("01 4D 00")), 20);
    EXPECT_EQ(run(TOperation::SendCalibrationStage, Request(TOperation::SendCalibrationStage, 0x4D)),
              TOutcome::Success);
    EXPECT_NEAR(link.clock.elapsedMs() - t2, 20 + 5 * kCharMs, 1);
    EXPECT_EQ(link.drv.InputTimeout, 1000u);

    EXPECT_EQ(link.port.writeCount(), 3);
    EXPECT_TRUE(link.messages.isEmpty());
    EXPECT_EQ(link.clock.sleepCalls(), 0);
}

TEST_F(AnswerEndTest, CompleteExceptionAnswersEndTheReadAtOnce)
{
    link.port.answerOnce({}, WithCRC(HexBytes("01 90 03")), 20);
    EXPECT_EQ(run(TOperation::WriteInformation, Request(TOperation::WriteInformation, 0x10)), TOutcome::Refused);
    EXPECT_NEAR(link.clock.elapsedMs(), 20 + 5 * kCharMs, 1);
    EXPECT_EQ(link.shell.exceptionCodes, QList<uint8_t>{3});

    // The calibration stage refused with its code in the exception form.
    const double t1 = link.clock.elapsedMs();
    link.port.answerOnce({}, WithCRC(HexBytes("01 CD 0B")), 20);
    EXPECT_EQ(run(TOperation::SendCalibrationStage, Request(TOperation::SendCalibrationStage, 0x4D)),
              TOutcome::Refused);
    EXPECT_EQ(answer[2], 0x0B);
    EXPECT_NEAR(link.clock.elapsedMs() - t1, 20 + 5 * kCharMs, 1);
    EXPECT_EQ(link.port.writeCount(), 2);
    EXPECT_EQ(link.shell.disconnects, 0);
}

// Answers that are not complete keep the old ending: the wait for the answer's
// length (or 1000 ms), then the input time-out after the last byte; and the old
// judgement of the count.
TEST_F(AnswerEndTest, IncompleteDamagedForeignOrLongAnswersEndByTheIdleTimeOut)
{
    const TFrameBuffer request = Request(TOperation::ReadConfiguration, 0x03);
    const double lastByte = 20 + 21 * kCharMs;
    link.ctx.RepeatNum = 1;

    QByteArray damaged = ConfigAnswer();
    damaged[7] = char(damaged[7] ^ 0x01);
    link.port.answerOnce({}, damaged, 20);
    EXPECT_EQ(run(TOperation::ReadConfiguration, request), TOutcome::NoAnswer) << "a bad frame is a failed attempt";
    EXPECT_EQ(count, 21);
    EXPECT_NEAR(link.clock.elapsedMs(), lastByte + 1000, 3);

    ScriptedLink shortOne;
    shortOne.port.setLineRate(1200);
    shortOne.ctx.RepeatNum = 1;
    shortOne.port.answerOnce({}, ConfigAnswer().left(20), 20);
    EXPECT_EQ(RunTransaction(shortOne.ctx, TOperation::ReadConfiguration, request, answer, &count),
              TOutcome::NoAnswer);
    EXPECT_EQ(count, 20);
    EXPECT_NEAR(shortOne.clock.elapsedMs(), 2000, 3) << "1000 ms wait for 21 bytes, then the idle end";

    // Another address: not this request's answer, so the read runs on to its idle end.
    ScriptedLink foreign;
    foreign.port.setLineRate(1200);
    foreign.port.answerOnce({}, ConfigAnswer(0x02), 20);
    RunTransaction(foreign.ctx, TOperation::ReadConfiguration, request, answer, &count);
    EXPECT_EQ(count, 21);
    EXPECT_NEAR(foreign.clock.elapsedMs(), lastByte + 1000, 3);
    EXPECT_EQ(foreign.port.writeCount(), 1);

    // Extra bytes already behind the answer: the whole is read, drained to the
    // idle end and is a failed attempt; the repeat gets a clean answer.
    ScriptedLink longOne;
    longOne.port.answerOnce({}, ConfigAnswer() + HexBytes("00 FF"), 20).answerOnce({}, ConfigAnswer(), 20);
    EXPECT_EQ(RunTransaction(longOne.ctx, TOperation::ReadConfiguration, request, answer, &count),
              TOutcome::Success);
    ASSERT_EQ(longOne.port.writeCount(), 2);
    EXPECT_NEAR(longOne.port.writes()[1].atMs(), 20 + 1000, 3);
    EXPECT_TRUE(longOne.shell.statusTexts.contains(kRepeat));
    EXPECT_EQ(count, 21);
    EXPECT_EQ(answer[21], 0) << "the repeat's answer alone";
}

TEST_F(AnswerEndTest, AnswerSplitByAPauseIsJoinedBeforeItEnds)
{
    // The first half stops the wait from ending the read; the second half completes it.
    const QByteArray a = ConfigAnswer();
    link.port.setLineRate(0);
    link.port.answerOnceInPieces({}, {{50, a.left(12)}, {700, a.mid(12)}});
    EXPECT_EQ(run(TOperation::ReadConfiguration, Request(TOperation::ReadConfiguration, 0x03)), TOutcome::Success);
    EXPECT_NEAR(link.clock.elapsedMs(), 700, 1);
    EXPECT_EQ(FromFrameBuffer(answer, 21), a);
}

TEST_F(AnswerEndTest, FirstByteWindowOfTheQuickPass)
{
    const TFrameBuffer identify = Request(TOperation::IdentifyDevice, 0x11);
    const double window = 250 + 4 * kCharMs; // the 4-byte request leaves the line first
    link.ctx.FirstByteWindow = 250;
    link.ctx.ReportLinkErrors = false;

    // Silence: one request, given up when the window closes, no repeat.
    EXPECT_EQ(run(TOperation::IdentifyDevice, identify), TOutcome::NoAnswer);
    EXPECT_EQ(link.port.writeCount(), 1);
    EXPECT_NEAR(link.clock.elapsedMs(), window, 1.5);
    EXPECT_FALSE(link.shell.statusTexts.contains(kRepeat));
    EXPECT_EQ(link.shell.disconnects, 1);
    EXPECT_TRUE(link.messages.isEmpty());

    // An answer beginning inside the window is read to its end as usual.
    ScriptedLink inTime;
    inTime.port.setLineRate(1200);
    inTime.ctx.FirstByteWindow = 250;
    inTime.port.answerOnce({}, IdentifyAnswer(), 240);
    EXPECT_EQ(RunTransaction(inTime.ctx, TOperation::IdentifyDevice, identify, answer, &count), TOutcome::Success);
    EXPECT_EQ(count, 55);
    EXPECT_NEAR(inTime.clock.elapsedMs(), 240 + 55 * kCharMs, 1);

    // One beginning after it is missed.
    ScriptedLink late;
    late.port.setLineRate(1200);
    late.ctx.FirstByteWindow = 250;
    late.ctx.ReportLinkErrors = false;
    late.port.answerOnce({}, IdentifyAnswer(), 300);
    EXPECT_EQ(RunTransaction(late.ctx, TOperation::IdentifyDevice, identify, answer), TOutcome::NoAnswer);
    EXPECT_EQ(late.port.writeCount(), 1);

    // Other operations do not use the window.
    ScriptedLink other;
    other.ctx.FirstByteWindow = 250;
    other.port.answerOnce({}, ConfigAnswer(), 600);
    EXPECT_EQ(RunTransaction(other.ctx, TOperation::ReadConfiguration, Request(TOperation::ReadConfiguration, 0x03),
                             answer),
              TOutcome::Success);
}

TEST(AnswerWaitFlow, FewSleepsWhileAnAnswerArrives)
{
    ScriptedLink link;
    link.port.setLineRate(1200);
    link.port.deliver(WithCRC(HexBytes("01 03 0A 00 EB 2A B7 00 00 0F 03 07 D5")), 20);
    AnswerWait(link.ctx, 15);
    EXPECT_EQ(link.port.queuedBytes(), 15);
    EXPECT_NEAR(link.clock.elapsedMs(), 20 + 15 * kCharMs, 1.5) << "ends at the last byte";
    EXPECT_LE(link.clock.sleepCalls(), 15) << "not a 1 ms turn per millisecond";
}

TEST(DriverLineTime, CharacterTimeFollowsTheLineSettings)
{
    ScriptedLink link;
    EXPECT_EQ(link.drv.CharacterTimeUs(), 9167u); // 1 + 8 + 2 bits at 1200 bit/s
    link.drv.SetStopBits(sb1HALFBITS);
    link.drv.SetParity(ptEVEN);
    EXPECT_EQ(link.drv.CharacterTimeUs(), 9584u); // 11.5 bits
    link.drv.SetBaudRateValue(9600);
    link.drv.SetStopBits(sb1BITS);
    link.drv.SetParity(ptNONE);
    EXPECT_EQ(link.drv.CharacterTimeUs(), 1042u);
}
