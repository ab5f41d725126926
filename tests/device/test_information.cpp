#include "device/Information.h"

#include "InfoFrames.h"
#include "ScriptedLink.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class InfoShell : public RecordingDeviceShell {
public:
    bool AskToConnect() override { return drv && drv->IsPortOpen(); }
    void SetStatusPanel(int index, const QString& text) override
    {
        if (index == 2)
            panel2 = text;
    }
    QString panel2 = QStringLiteral("untouched");
};

struct InfoRig {
    InfoRig()
    {
        shell.drv = &link.drv;
        link.ctx.shell = &shell;
        session.link = link.ctx;
        session.shell = &shell;
        shell.SetMessageDialog(&link.messages);
    }
    ScriptedLink link;
    InfoShell shell;
    TDeviceSession session;
};

QByteArray Frame(const TFrameBuffer& b, int n)
{
    return FromFrameBuffer(b, n);
}

} // namespace

TEST(InformationFrames, IdentifyRequestCarriesTheLowByteOfTheAddress)
{
    TFrameBuffer b{};
    BuildIdentifyRequest(1, b);
    EXPECT_EQ(ToHex(Frame(b, 4)), QStringLiteral("01 11 C0 2C"));
    BuildIdentifyRequest(300, b); // 300 = 0x12C
    EXPECT_EQ(ToHex(Frame(b, 2)), QStringLiteral("2C 11"));
    EXPECT_EQ(Frame(b, 4), WithCRC(HexBytes("2C 11")));
    EXPECT_EQ(b[4], 0) << "the rest of the buffer stays zero";
}

TEST(InformationFrames, IdentifyAnswerFillsIdentityAndRecord)
{
    RecordingMessages msgs;
    TTransducerData t;
    t.CalibrDate = 77; // not part of the answer
    ParseIdentifyAnswer(msgs, ToFrameBuffer(SampleIdentifyAnswer()), t);
    EXPECT_EQ(t.PLType, 0x4D);
    EXPECT_EQ(t.PLTypeText, QStringLiteral("ЗЕЛКОР-М"));
    EXPECT_EQ(t.SensorTypeText, QStringLiteral("ТСП 100П")) << "blanks on both sides trimmed";
    EXPECT_EQ(t.SensorNum, 12345);
    EXPECT_EQ(QDateFromDateValue(t.SensorDate), QDate(2005, 3, 15));
    EXPECT_EQ(t.CalibrDate, 77);
    EXPECT_TRUE(msgs.isEmpty());

    // Number FF FF FF FF is -1; type code above 127 stays unsigned.
    ParseIdentifyAnswer(msgs, ToFrameBuffer(IdentifyAnswer(1, 0xC8, "X", "Y", HexBytes("FF FF FF FF"), HexBytes("01 01 07 D0"))),
                        t);
    EXPECT_EQ(t.SensorNum, -1);
    EXPECT_EQ(t.PLType, 200);
    EXPECT_EQ(QDateFromDateValue(t.SensorDate), QDate(2000, 1, 1));
}

TEST(InformationFrames, ZeroDateBytesGiveNoDateAndTheMessage)
{
    RecordingMessages msgs;
    TTransducerData t;
    t.SensorDate = 1234;
    ParseIdentifyAnswer(msgs, ToFrameBuffer(IdentifyAnswer(1, 0x4E, "T", "S", HexBytes("00 00 00 07"), HexBytes("00 00 00 00"))), t);
    EXPECT_EQ(t.SensorDate, 0);
    EXPECT_EQ(t.SensorNum, 7);
    EXPECT_EQ(msgs.texts(), QStringList{QStringLiteral("Неверная дата")});
}

TEST(InformationFrames, WriteRequestLayout)
{
    TTransducerData t;
    t.SlaveID = 0x105; // low byte 05
    t.SensorTypeText = QStringLiteral("ТСП");
    t.SensorNum = 12345;
    t.SensorDate = DateValueFromQDate(QDate(2005, 3, 25));
    TFrameBuffer b{};
    BuildInformationWriteRequest(t, b);
    const QByteArray expected = WithCRC(HexBytes("05 10 00 08 00 10 20"
                                                 "D2 D1 CF 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                                 "00 00 30 39"
                                                 "19 03 07 D5"));
    ASSERT_EQ(expected.size(), kInformationWriteLength);
    EXPECT_EQ(ToHex(Frame(b, kInformationWriteLength)), ToHex(expected));
}

TEST(InformationFrames, WriteRequestCutsLongTextAndKeepsNegativeNumbers)
{
    TTransducerData t;
    t.SlaveID = 1;
    t.SensorTypeText = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"); // 30 characters
    t.SensorNum = -1;
    t.SensorDate = DateValueFromQDate(QDate(2020, 12, 31));
    TFrameBuffer b{};
    BuildInformationWriteRequest(t, b);
    EXPECT_EQ(Frame(b, 41).mid(7, 24), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWX"));
    // The number read as FF FF FF FF goes back as it came, not as 00 00 FF FF.
    EXPECT_EQ(ToHex(Frame(b, 41).mid(31, 4)), QStringLiteral("FF FF FF FF"));
    EXPECT_EQ(ToHex(Frame(b, 41).mid(35, 4)), QStringLiteral("1F 0C 07 E4"));
}

TEST(InformationOperations, IdentifyFillsRecordAndSnapshot)
{
    InfoRig rig;
    rig.session.Transducer.SlaveID = 9;
    rig.session.link.ReportLinkErrors = false;
    rig.link.port.answerOnce(HexBytes("03 11"), SampleIdentifyAnswer(3));
    EXPECT_EQ(IdentifyDevice(rig.session, 3), TOutcome::Success);
    EXPECT_EQ(rig.session.Transducer.SlaveID, 3);
    EXPECT_EQ(rig.session.Transducer.SensorNum, 12345);
    EXPECT_EQ(rig.session.TransducerSnapshot.SensorNum, 12345);
    EXPECT_EQ(rig.session.TransducerSnapshot.SensorTypeText, QStringLiteral("ТСП 100П"));
    EXPECT_EQ(rig.session.TransducerSnapshot.PLTypeText, QString()) << "only the information group is copied";
    EXPECT_TRUE(rig.session.link.ReportLinkErrors);
    EXPECT_GE(rig.shell.statusBarUpdates, 1);
    EXPECT_TRUE(rig.link.drv.IsPortOpen());
    EXPECT_TRUE(rig.link.messages.isEmpty());
}

TEST(InformationOperations, IdentifyRefusedOrUnanswered)
{
    {
        InfoRig rig;
        rig.session.Transducer.SensorNum = 55;
        rig.link.port.answerOnce(HexBytes("01 11"), WithCRC(HexBytes("01 91 02")));
        EXPECT_EQ(IdentifyDevice(rig.session, 1), TOutcome::Refused);
        EXPECT_TRUE(rig.link.drv.IsPortOpen()) << "an exception answer keeps the connection";
        EXPECT_EQ(rig.session.Transducer.SensorNum, 55);
        EXPECT_EQ(rig.link.messages.count(), 1);
        EXPECT_EQ(rig.shell.disconnects, 0);
    }
    {
        InfoRig rig; // silence, errors not reported
        rig.session.link.ReportLinkErrors = false;
        EXPECT_EQ(IdentifyDevice(rig.session, 4), TOutcome::NoAnswer);
        EXPECT_TRUE(rig.link.messages.isEmpty());
        EXPECT_EQ(rig.shell.disconnects, 1);
        EXPECT_FALSE(rig.link.drv.IsPortOpen());
        EXPECT_TRUE(rig.session.link.ReportLinkErrors) << "set again at the end";
    }
    {
        InfoRig rig; // silence, reported
        EXPECT_EQ(IdentifyDevice(rig.session, 4), TOutcome::NoAnswer);
        EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Прибор номер 4 не найден.")});
        EXPECT_EQ(rig.link.messages.last().kind, mkWarning);
    }
}

TEST(InformationOperations, WriteNeedsADateAndChecksTheEcho)
{
    InfoRig rig;
    TTransducerData& t = rig.session.Transducer;
    t.SlaveID = 1;
    t.SensorTypeText = QStringLiteral("T");
    t.SensorDate = 0;
    EXPECT_EQ(WriteInformation(rig.session), TOutcome::Refused);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Вы забыли указать дату.")});
    EXPECT_EQ(rig.link.messages.last().kind, mkError);
    EXPECT_EQ(rig.link.port.writeCount(), 0) << "nothing sent without a date";

    rig.link.messages.clear();
    t.SensorDate = DateValueFromQDate(QDate(2024, 5, 6));
    rig.link.port.answerOnce(HexBytes("01 10 00 08"), WithCRC(HexBytes("01 10 00 08 00 10")));
    EXPECT_EQ(WriteInformation(rig.session), TOutcome::Success);
    EXPECT_TRUE(rig.link.messages.isEmpty());
    ASSERT_EQ(rig.link.port.writeCount(), 1);
    EXPECT_EQ(rig.link.port.lastWrite().size(), 41);

    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 03 00 08 00 10")));
    EXPECT_EQ(WriteInformation(rig.session), TOutcome::Refused);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Невозможно выполнить комманду")});
    EXPECT_TRUE(rig.link.drv.IsPortOpen());
}

TEST(InformationOperations, ModifiedFlagsShareOnePanel)
{
    InfoRig rig;
    SetInfoModified(rig.session, true);
    EXPECT_TRUE(rig.session.Transducer.InfModified);
    EXPECT_EQ(rig.shell.panel2, QStringLiteral("Mod"));
    SetConfigModified(rig.session, false);
    EXPECT_EQ(rig.shell.panel2, QString()) << "the last call decides";
    EXPECT_TRUE(rig.session.Transducer.InfModified);
    EXPECT_FALSE(rig.session.Transducer.ConfModified);
}

TEST(InformationOperations, ConfirmSavePrompts)
{
    int shown = 0;
    auto show = [&shown] { ++shown; };
    {
        InfoRig rig; // nothing changed: nothing asked
        ConfirmSaveInformation(rig.session, show);
        EXPECT_TRUE(rig.link.messages.isEmpty());
    }
    {
        InfoRig rig;
        rig.link.drv.ClosePort();
        SetInfoModified(rig.session, true);
        ConfirmSaveInformation(rig.session, show);
        EXPECT_EQ(rig.link.messages.texts(),
                  QStringList{QStringLiteral("Соединение не установлено. Изменения не сохранены.")});
        EXPECT_EQ(rig.link.messages.last().kind, mkInformation);
        EXPECT_FALSE(rig.session.Transducer.InfModified);
    }
    {
        InfoRig rig; // declined: the last read values come back
        TTransducerData& t = rig.session.Transducer;
        rig.session.TransducerSnapshot.SensorTypeText = QStringLiteral("read");
        rig.session.TransducerSnapshot.SensorNum = 10;
        rig.session.TransducerSnapshot.SensorDate = 40000;
        t.SensorTypeText = QStringLiteral("typed");
        t.SensorNum = 99;
        t.SensorDate = 41000;
        SetInfoModified(rig.session, true);
        rig.link.messages.answer(mrNo);
        ConfirmSaveInformation(rig.session, show);
        EXPECT_EQ(rig.link.messages.texts(),
                  QStringList{QStringLiteral("Записать изменения информации в память преобразователя?")});
        EXPECT_EQ(rig.link.messages.last().kind, mkConfirmation);
        EXPECT_EQ(rig.link.messages.last().buttons, mbYes | mbNo);
        EXPECT_EQ(t.SensorTypeText, QStringLiteral("read"));
        EXPECT_EQ(t.SensorNum, 10);
        EXPECT_EQ(t.SensorDate, 40000);
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(rig.link.port.writeCount(), 0);
        EXPECT_FALSE(t.InfModified);
    }
    {
        InfoRig rig; // accepted: written
        rig.session.Transducer.SlaveID = 1;
        rig.session.Transducer.SensorDate = 40000;
        SetInfoModified(rig.session, true);
        rig.link.messages.answer(mrYes);
        rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 10 00 08 00 10")));
        ConfirmSaveInformation(rig.session, show);
        ASSERT_EQ(rig.link.port.writeCount(), 1);
        EXPECT_EQ(rig.link.port.lastWrite().left(2), HexBytes("01 10"));
        EXPECT_GE(rig.shell.processEventsCalls, 1);
        EXPECT_FALSE(rig.session.Transducer.InfModified);
    }
}
