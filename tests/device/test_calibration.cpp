#include "DiagRig.h"

#include <gtest/gtest.h>

namespace {

QString ResistanceStep(int ohms)
{
    return QStringLiteral("Установите сопротивление %1 Ом и нажмите кнопку \"Продолжить\"").arg(ohms);
}

QString CurrentStep(const char* mA)
{
    return QStringLiteral("Установлен выходной ток %1 мА. Введите измеренное значение тока и нажмите кнопку \"Продолжить\"")
        .arg(QLatin1String(mA));
}

QByteArray Stage(const char* hex)
{
    return WithCRC(HexBytes("01 4D") + HexBytes(hex));
}

void AcceptEveryStage(DiagRig& rig)
{
    rig.link.port.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
}

QList<QByteArray> WrittenFrames(const DiagRig& rig)
{
    QList<QByteArray> frames;
    for (const TRecordedWrite& w : rig.link.port.writes())
        frames << w.bytes;
    return frames;
}

TEST(Calibration, WholeSequenceTypeM)
{
    DiagRig rig;
    rig.calib.Today = [] { return QDate(2005, 3, 25); };
    AcceptEveryStage(rig);
    RecordingCalibrView& v = rig.calView;
    int& stage = rig.session.State.CalibrStage;

    rig.calib.BeginPressed(); // stage 0 sends nothing
    EXPECT_EQ(rig.link.port.writeCount(), 0);
    EXPECT_EQ(v.stage, ResistanceStep(0));
    EXPECT_EQ(v.caption, QStringLiteral("Продолжить"));
    EXPECT_TRUE(v.cancelVisible);
    EXPECT_EQ(v.color, scGreen);
    EXPECT_EQ(stage, 1);

    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, ResistanceStep(500));
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, ResistanceStep(250));
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, ResistanceStep(500));
    EXPECT_FALSE(v.currentVisible);
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, CurrentStep("4,000"));
    EXPECT_TRUE(v.currentVisible);
    EXPECT_DOUBLE_EQ(v.current, 4.0);
    EXPECT_EQ(stage, 5);

    v.current = 4.012;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, CurrentStep("20,000"));
    EXPECT_DOUBLE_EQ(v.current, 20.0);
    EXPECT_EQ(rig.session.State.CalibrCurrent, 20000);

    v.current = 19.987;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    EXPECT_FALSE(v.currentVisible);
    EXPECT_EQ(v.stage, QStringLiteral("Введите дату настройки"));
    EXPECT_TRUE(v.dateVisible);
    EXPECT_EQ(v.dateText, QStringLiteral("25.03.2005"));
    EXPECT_EQ(stage, 7);

    rig.calib.DateEntered();
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, QStringLiteral("Настройка успешно завершена"));
    EXPECT_EQ(v.indicatorDate, QStringLiteral("25.03.2005"));
    EXPECT_FALSE(v.dateVisible);
    EXPECT_FALSE(v.cancelVisible);
    EXPECT_EQ(v.caption, QStringLiteral("Начать настройку"));
    EXPECT_EQ(stage, 0);

    const QList<QByteArray> expected = {
        Stage("01 00 00 00 00"), Stage("02 00 00 00 00"), Stage("03 00 00 00 00"), Stage("04 00 00 00 00"),
        Stage("05 00 00 0F AC"), // 4012 µA
        Stage("06 00 00 4E 13"), // 19987 µA
        Stage("07 19 03 07 D5"), // 25.03.2005
    };
    EXPECT_EQ(WrittenFrames(rig), expected);
    EXPECT_TRUE(rig.link.messages.isEmpty()) << rig.link.messages.texts().join('|').toStdString();
    EXPECT_TRUE(rig.shell.statusTexts.contains(QStringLiteral("Запись данных в память прибора")));
}

TEST(Calibration, WholeSequenceTypeN)
{
    DiagRig rig;
    rig.session.Transducer.PLType = 'N';
    rig.calib.Today = [] { return QDate(2024, 12, 31); };
    AcceptEveryStage(rig);
    RecordingCalibrView& v = rig.calView;
    for (int i = 0; i < 5; ++i)
        rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, CurrentStep("0,100"));
    EXPECT_DOUBLE_EQ(v.current, 0.1);
    EXPECT_EQ(rig.session.State.CalibrCurrent, 100);
    v.current = 0.150;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    EXPECT_EQ(v.stage, CurrentStep("5,000"));
    EXPECT_DOUBLE_EQ(v.current, 5.0);
    v.current = 5.100;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    rig.calib.BeginPressed(); // today's date, unedited
    EXPECT_EQ(rig.session.State.CalibrStage, 0);
    EXPECT_EQ(v.indicatorDate, QStringLiteral("31.12.2024"));

    const QList<QByteArray> frames = WrittenFrames(rig);
    ASSERT_EQ(frames.size(), 7);
    EXPECT_EQ(frames[4], Stage("05 00 00 00 96"));
    EXPECT_EQ(frames[5], Stage("06 00 00 13 EC"));
    EXPECT_EQ(frames[6], Stage("07 1F 0C 07 E8"));
    EXPECT_TRUE(rig.link.messages.isEmpty());
}

TEST(Calibration, MeasuredCurrentRanges)
{
    struct Case {
        int type;
        int stage;
        double mA;
        int sent; // µA, -1 refused
    } cases[] = {
        {'M', 5, 3.600, 3600},   {'M', 5, 4.400, 4400},   {'M', 5, 4.401, -1},   {'M', 5, 3.599, -1},
        {'N', 5, 0.030, 30},     {'N', 5, 0.170, 170},    {'N', 5, 0.171, -1},   {'N', 5, 0.029, -1},
        {'M', 6, 19.200, 19200}, {'M', 6, 20.800, 20800}, {'M', 6, 20.801, -1},  {'M', 6, 19.1995, 19200}, // 19199,5: half to even
        {'N', 6, 4.800, 4800},   {'N', 6, 5.200, 5200},   {'N', 6, 5.2005, 5200}, {'N', 6, 4.799, -1},  {'M', 5, 4.4015, -1}, // 4401,5 -> 4402
        {'M', 3, 99.0, 99000},   {'X', 5, 99.0, 99000}, // nothing is checked there
    };
    const QString messages[] = {
        QStringLiteral("Диапазон возможных значений\r\nот 3,600 мА до 4,400 мА"),
        QStringLiteral("Диапазон возможных значений\r\nот 0,030 мА до 0,170 мА"),
        QStringLiteral("Диапазон возможных значений\r\nот 19,200 мА до 20,800 мА"),
        QStringLiteral("Диапазон возможных значений\r\nот 4,800 мА до 5,200 мА"),
    };
    for (const Case& c : cases) {
        DiagRig rig;
        rig.session.Transducer.PLType = c.type;
        rig.session.State.CalibrStage = c.stage;
        rig.calView.current = c.mA;
        rig.calib.CheckMeasuredCurrent();
        const std::string label = std::to_string(c.stage) + " " + char(c.type) + " " + std::to_string(c.mA);
        EXPECT_EQ(rig.session.State.CalibrCurrent, c.sent) << label;
        if (c.sent >= 0) {
            EXPECT_TRUE(rig.link.messages.isEmpty()) << label;
            continue;
        }
        const QString& text = messages[(c.stage == 6 ? 2 : 0) + (c.type == 'N' ? 1 : 0)];
        EXPECT_EQ(rig.link.messages.texts(), QStringList{text}) << label;
        EXPECT_EQ(rig.link.messages.last().kind, mkError) << label;
    }

    // The refused value travels as FF FF.
    DiagRig rig;
    AcceptEveryStage(rig);
    rig.session.State.CalibrStage = 5;
    rig.calView.current = 4.401;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.port.lastWrite(), Stage("05 00 00 FF FF"));
}

TEST(Calibration, RefusedStageIsRepeated)
{
    DiagRig rig;
    rig.session.State.CalibrStage = 5;
    rig.session.State.CalibrCurrent = 4000;
    rig.link.port.answerOnce(HexBytes("01 4D 05"), ShortAnswer(0xCD, 11));
    rig.link.port.answerOnce(HexBytes("01 4D 05"), ShortAnswer(0xCD, 10));
    rig.link.port.answerOnce(HexBytes("01 4D 05"), ShortAnswer(0xCD, 42));
    rig.link.port.answerOnce(HexBytes("01 4D 05"), ShortAnswer(0x4D));
    for (int i = 0; i < 3; ++i) {
        rig.calib.BeginPressed();
        EXPECT_EQ(rig.session.State.CalibrStage, 5);
    }
    // A code of no known meaning is a refusal too, and says so with its number.
    EXPECT_EQ(rig.link.messages.texts(),
              (QStringList{QStringLiteral("Переданные данные не в диапазоне возможных значений"),
                           QStringLiteral("Измеряемое АЦП значение не в диапазоне возможных значений"),
                           QStringLiteral("Прибор отказал в выполнении команды (код 42).")}));
    EXPECT_EQ(rig.link.messages.last().kind, mkError);
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.session.State.CalibrStage, 6);
    EXPECT_EQ(rig.writesStartingWith("01 4D 05 00 00 0F A0"), 4);
    EXPECT_TRUE(rig.link.drv.IsPortOpen());
}

TEST(Calibration, CancelSendsStageZero)
{
    DiagRig rig;
    AcceptEveryStage(rig);
    for (int i = 0; i < 3; ++i)
        rig.calib.BeginPressed();
    rig.calView.indicatorDate = QStringLiteral("15.03.2005");
    ASSERT_EQ(rig.session.State.CalibrStage, 3);
    rig.calib.CancelCalibration();
    EXPECT_EQ(rig.link.port.lastWrite(), Stage("00 00 00 00 00"));
    EXPECT_EQ(rig.calView.color, scPurple);
    EXPECT_EQ(rig.calView.stage, QStringLiteral("Настройка завершена по желанию пользователя"));
    EXPECT_EQ(rig.calView.indicatorDate, QString());
    EXPECT_EQ(rig.calView.caption, QStringLiteral("Начать настройку"));
    EXPECT_FALSE(rig.calView.cancelVisible);
    EXPECT_FALSE(rig.calView.currentVisible);
    EXPECT_FALSE(rig.calView.dateVisible);
    EXPECT_EQ(rig.session.State.CalibrStage, 0);
    // The next press starts over, green again.
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.calView.color, scGreen);
    EXPECT_EQ(rig.calView.stage, ResistanceStep(0));
}

TEST(Calibration, LostDeviceInTheMiddle)
{
    DiagRig rig;
    AcceptEveryStage(rig);
    for (int i = 0; i < 3; ++i)
        rig.calib.BeginPressed();
    rig.link.port.clearRules(); // the device goes silent at stage 3
    rig.link.port.clearWrites();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора.")});
    EXPECT_EQ(rig.shell.calibrationResets, 1);
    EXPECT_EQ(rig.shell.disconnects, 1);
    EXPECT_EQ(rig.session.State.CalibrStage, 0);
    // Back at 0 before the disconnect: no cancel, the page keeps its texts.
    EXPECT_EQ(WrittenFrames(rig), (QList<QByteArray>{Stage("03 00 00 00 00"), Stage("03 00 00 00 00")}));
    EXPECT_EQ(rig.calView.stage, ResistanceStep(250));
    EXPECT_NE(rig.calView.color, scPurple);
    EXPECT_FALSE(rig.link.drv.IsPortOpen());

    // Not connected now; once connected again the sequence starts over.
    rig.link.messages.clear();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Соединение не установлено")});
    EXPECT_EQ(rig.link.messages.last().kind, mkInformation);
    ASSERT_TRUE(rig.link.drv.OpenPort());
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.calView.stage, ResistanceStep(0));
    EXPECT_EQ(rig.session.State.CalibrStage, 1);

    // A request the driver cannot write in full.
    DiagRig nolink;
    AcceptEveryStage(nolink);
    nolink.calib.BeginPressed();
    nolink.link.port.failWrite(1);
    nolink.calib.BeginPressed();
    EXPECT_EQ(nolink.link.messages.texts(), QStringList{QStringLiteral("Нет связи с прибором.")});
    EXPECT_EQ(nolink.session.State.CalibrStage, 0);
    EXPECT_EQ(nolink.shell.disconnects, 1);
}

TEST(Calibration, RefusedWhileDiagnosticsRuns)
{
    DiagRig rig;
    rig.link.port.answerAlways(HexBytes("01 03"), [](const QByteArray&) { return Measurement(1, 1, 0); });
    rig.start();
    rig.link.port.clearWrites();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("В режиме диагностики настройку проводить нельзя!")});
    EXPECT_EQ(rig.link.messages.last().kind, mkError);
    EXPECT_EQ(rig.session.State.CalibrStage, 0);
    EXPECT_TRUE(rig.calView.stage.isEmpty());
    EXPECT_EQ(rig.link.port.writeCount(), 0);
}

TEST(Calibration, DateEntry)
{
    DiagRig rig;
    AcceptEveryStage(rig);
    rig.session.State.CalibrStage = 7;
    for (const char* bad : {"  .  .    ", "31.02.2005", "1.1.2005x"}) {
        rig.link.messages.clear();
        rig.session.Transducer.CalibrDate = 1000;
        rig.calView.dateText = QString::fromLatin1(bad);
        rig.calib.DateEntered();
        EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Неправильно указана дата")}) << bad;
        EXPECT_EQ(rig.session.Transducer.CalibrDate, 0) << bad;
    }
    // Stage 7 without a date is not sent.
    rig.link.messages.clear();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Неправильно указана дата")});
    EXPECT_EQ(rig.link.port.writeCount(), 0);
    EXPECT_EQ(rig.session.State.CalibrStage, 7);

    rig.calView.dateText = QStringLiteral("01.04.2006");
    rig.calib.DateEntered();
    rig.calib.BeginPressed();
    EXPECT_EQ(rig.link.port.lastWrite(), Stage("07 01 04 07 D6"));
    EXPECT_EQ(rig.calView.indicatorDate, QStringLiteral("01.04.2006"));
    EXPECT_EQ(rig.session.State.CalibrStage, 0);
}

} // namespace
