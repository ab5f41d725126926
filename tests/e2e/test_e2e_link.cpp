// The driver and the transaction against a running zelkor-sim. Every
// exchange lasts one input time-out (1 s) after the answer, so these are few.
#include "SimProcess.h"

#include "device/DeviceMessages.h"
#include "device/TransducerLine.h"
#include "link/CommPortDriver.h"
#include "common/Cp1251.h"
#include "link/Frame.h"
#include "RecordingMessages.h"
#include "RecordingShell.h"
#include "link/TickSource.h"
#include "link/Transaction.h"

#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The driver as the program sets it up.
void SetUpLikeTheProgram(TCommPortDriver& drv, const QString& port)
{
    drv.SetPortName(port);
    SetTransducerLine(drv);
}

struct Link {
    TCommPortDriver drv;
    RecordingLinkShell shell;
    RecordingMessages messages;
    TLinkContext ctx;
    TFrameBuffer answer{};
    int count = -1;

    explicit Link(const QString& port)
    {
        SetUpLikeTheProgram(drv, port);
        shell.drv = &drv;
        shell.SetMessageDialog(&messages);
        ctx.drv = &drv;
        ctx.ticks = &SystemTicks();
        ctx.shell = &shell;
        ctx.RepeatNum = 2;
        ctx.ReportLinkErrors = true;
    }

    TOutcome identify(uint8_t address)
    {
        TFrameBuffer req{};
        req[0] = address;
        req[1] = 0x11;
        PutFrameCRC(req, 2);
        return RunTransaction(ctx, TOperation::IdentifyDevice, req, answer, &count);
    }

    QString text(int position, int width) const
    {
        return fromCp1251(TrimFrameText(GetFrameString(answer, position, width)));
    }
};

} // namespace

TEST(EndToEndLink, IdentificationThroughTheDriver)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    // paced at the line rate, as a real transducer answers
    SimProcess sim({QStringLiteral("--link"), link, QStringLiteral("--address"), QStringLiteral("3")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();

    Link l(link);
    ASSERT_TRUE(l.drv.OpenPort()) << OpenFailureReason(l.drv).toStdString();
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(l.identify(3), TOutcome::Success);
    const qint64 ms = t.elapsed();

    EXPECT_EQ(l.count, 55);
    EXPECT_EQ(l.answer[3], 'M');
    EXPECT_EQ(l.text(5, 16), QStringLiteral("Зелкор-М 4-20мА"));
    EXPECT_EQ(l.text(21, 24), QStringLiteral("ТСП 100П"));
    EXPECT_EQ(GetFrameInt32(l.answer, 45), 1234);
    EXPECT_EQ(QDateFromDateValue(GetFrameDate(l.answer, 49)), QDate(2005, 2, 1));
    EXPECT_TRUE(l.messages.isEmpty()) << l.messages.texts().join('|').toStdString();
    EXPECT_EQ(l.shell.disconnects, 0);
    EXPECT_EQ(l.shell.countOf(QStringLiteral("status:Повторный запрос")), 0);
    // 55 characters at 1200 bit/s (504 ms); the complete answer ends the read
    // without the idle end (1000 ms more).
    EXPECT_GE(ms, 504);
    EXPECT_LT(ms, 1500);

    // Another address stays silent: both attempts, then the message and the disconnect.
    ASSERT_EQ(l.identify(4), TOutcome::NoAnswer);
    EXPECT_TRUE(l.messages.contains(QStringLiteral("Прибор номер 4 не найден.")));
    EXPECT_EQ(l.shell.disconnects, 1);
    EXPECT_FALSE(l.drv.IsPortOpen());

    EXPECT_TRUE(sim.stop()) << sim.error().toStdString();
}

TEST(EndToEndLink, WrittenValuesSurviveARestartOfTheTransducer)
{
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("sim.ini"));
    const QStringList args = {QStringLiteral("--no-pacing"), QStringLiteral("--state"), state};
    {
        SimProcess sim(args);
        ASSERT_TRUE(sim.start()) << sim.error().toStdString();
        Link l(sim.devicePath());
        ASSERT_TRUE(l.drv.OpenPort()) << OpenFailureReason(l.drv).toStdString();

        TFrameBuffer info{};
        const uint8_t head[] = {1, 0x10, 0x00, 0x08, 0x00, 0x10, 0x20};
        std::copy(std::begin(head), std::end(head), info.begin());
        PutFrameString(info, 7, 24, toCp1251(QStringLiteral("ТСМ 50М №7")));
        PutFrameInt(info, 31, 4, -5);
        PutFrameDate(info, 35, DateValueFromQDate(QDate(2024, 6, 30)));
        PutFrameCRC(info, 39);
        ASSERT_EQ(RunTransaction(l.ctx, TOperation::WriteInformation, info, l.answer, &l.count), TOutcome::Success);

        // copper, 50 ohm, -50..150, direct, alarm 3, averaging 10 s, moving to address 7
        TFrameBuffer conf{};
        const uint8_t regs[] = {1, 0x10, 0, 0x18, 0, 8, 0x10, 0, 3, 0, 2, 0xFF, 0xCE, 0, 150, 0, 0, 0, 3, 0, 58, 0, 7};
        std::copy(std::begin(regs), std::end(regs), conf.begin());
        PutFrameCRC(conf, 23);
        ASSERT_EQ(RunTransaction(l.ctx, TOperation::WriteConfiguration, conf, l.answer, &l.count), TOutcome::Success);
        EXPECT_EQ(l.answer[0], 1) << "the echo comes from the old address";
        EXPECT_TRUE(l.messages.isEmpty()) << l.messages.texts().join('|').toStdString();
        ASSERT_TRUE(sim.stop()) << sim.error().toStdString();
    }

    SimProcess again(args);
    ASSERT_TRUE(again.start()) << again.error().toStdString();
    Link l(again.devicePath());
    ASSERT_TRUE(l.drv.OpenPort());
    ASSERT_EQ(l.identify(7), TOutcome::Success) << l.messages.texts().join('|').toStdString();
    EXPECT_EQ(l.text(21, 24), QStringLiteral("ТСМ 50М №7"));
    EXPECT_EQ(GetFrameInt32(l.answer, 45), -5);
    EXPECT_EQ(QDateFromDateValue(GetFrameDate(l.answer, 49)), QDate(2024, 6, 30));
    EXPECT_TRUE(again.stop());
}
