#include "DiagRig.h"

#include <gtest/gtest.h>

namespace {

const QString kFaultText = QStringLiteral("1. Обрыв или короткое замыкание ТС.\r\n"
                                          "2. Измеренная температура за пределами максимального диапазона измерения.");

TEST(DiagnosticsFrames, RequestsAndNSXValueEncoding)
{
    TFrameBuffer f;
    EXPECT_EQ(BuildMeasurementRequest(f, 7), 8);
    EXPECT_EQ(FromFrameBuffer(f, 8), WithCRC(HexBytes("07 03 00 20 00 05")));
    BuildR0Request(f, 7, true);
    EXPECT_EQ(FromFrameBuffer(f, 5), WithCRC(HexBytes("07 4E 01")));
    BuildR0Request(f, 7, false);
    EXPECT_EQ(FromFrameBuffer(f, 5), WithCRC(HexBytes("07 4E 00")));

    struct Case {
        double value;
        const char* field;
    } cases[] = {{100.0, "03 E8"}, {-12.5, "FF 83"}, {0.1, "00 01"}, {0.0, "00 00"},
                 {0.25, "00 02"},  {0.35, "00 04"}, {-3276.8, "80 00"}, {3276.7, "7F FF"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(BuildNSXRequest(f, 1, 2, c.value)) << c.value;
        EXPECT_EQ(FromFrameBuffer(f, 7), WithCRC(HexBytes("01 4F 02") + HexBytes(c.field))) << c.value;
    }
    // Beyond the 16-bit field the value would wrap to another temperature.
    EXPECT_FALSE(BuildNSXRequest(f, 1, 2, 3276.8));
    EXPECT_FALSE(BuildNSXRequest(f, 1, 2, -3276.9));
}

TEST(DiagnosticsReadouts, FixedNotationWithoutDigitGroups)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(TemperatureText(1234.5), QStringLiteral("1234,5"));
    EXPECT_EQ(TemperatureText(-3276.8), QStringLiteral("-3276,8"));
    EXPECT_EQ(TemperatureText(-20.0), QStringLiteral("-20,0"));
    EXPECT_EQ(ResistanceText(655.35), QStringLiteral("655,35"));
    EXPECT_EQ(ResistanceText(0.0), QStringLiteral("0,00"));
    QLocale::setDefault(QLocale::c());
}

TEST(Diagnostics, StartSendsAtOnceAndShowsTheAnswer)
{
    DiagRig rig;
    rig.link.port.answerOnce(HexBytes("01 03 00 20"), Measurement(-200, 10935, 0), 300);
    rig.start();
    EXPECT_TRUE(rig.session.State.DiagRunning);
    EXPECT_TRUE(rig.view.running);
    EXPECT_TRUE(rig.view.timer);
    ASSERT_EQ(rig.link.port.writeCount(), 1);
    EXPECT_EQ(rig.link.port.lastWrite(), kMeasurementRequest);
    EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Режим диагностики"));

    rig.run(500); // the driver's polling delivers it
    EXPECT_EQ(rig.view.t, QStringLiteral("-20,0"));
    EXPECT_EQ(rig.view.r, QStringLiteral("109,35"));
    EXPECT_EQ(rig.view.info, QStringLiteral("Неисправностей не обнаружено"));
    EXPECT_EQ(rig.view.date, QStringLiteral("15.03.2005"));
    EXPECT_DOUBLE_EQ(rig.session.Transducer.Temperature, -20.0);
    EXPECT_DOUBLE_EQ(rig.session.Transducer.Resistance, 109.35);
    EXPECT_EQ(QDateFromDateValue(rig.session.Transducer.CalibrDate), QDate(2005, 3, 15));
    EXPECT_FALSE(rig.session.State.DiagAwaiting);

    // Every tick asks again; the stop clears the readouts but keeps the date.
    rig.link.port.answerAlways(HexBytes("01 03 00 20"), [](const QByteArray&) { return Measurement(235, 10900, 0); });
    rig.run(1000);
    EXPECT_EQ(rig.link.port.writeCount(), 2);
    EXPECT_EQ(rig.view.t, QStringLiteral("23,5"));
    rig.diag.ToggleDiagnostics();
    EXPECT_FALSE(rig.session.State.DiagRunning);
    EXPECT_FALSE(rig.view.timer);
    EXPECT_FALSE(rig.view.running);
    EXPECT_TRUE(rig.view.t.isEmpty());
    EXPECT_TRUE(rig.view.r.isEmpty());
    EXPECT_TRUE(rig.view.info.isEmpty());
    EXPECT_EQ(rig.view.date, QStringLiteral("15.03.2005"));
    EXPECT_EQ(rig.shell.statusText(), QString());
    EXPECT_FALSE(rig.diag.ReceiveHandlerAttached());
    EXPECT_TRUE(rig.link.messages.isEmpty()) << rig.link.messages.texts().join('|').toStdString();
}

TEST(Diagnostics, AnswerInPiecesIsAssembled)
{
    // 10 bytes, then 5: two deliveries of the driver's polling.
    DiagRig rig;
    const QByteArray a = Measurement(235, 10935, 0);
    rig.link.port.answerOnceInPieces(HexBytes("01 03"), {{100, a.left(10)}, {600, a.mid(10)}});
    rig.start();
    rig.run(500);
    EXPECT_TRUE(rig.view.t.isEmpty());
    EXPECT_TRUE(rig.session.State.DiagAwaiting);
    rig.run(500);
    EXPECT_EQ(rig.view.t, QStringLiteral("23,5"));
    EXPECT_EQ(rig.session.State.DiagMissCount, 1);
    EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Режим диагностики"));

    // The rest still on its way when the tick comes: taken from the queue, not missed.
    DiagRig late;
    late.pollPhase = 250; // polls at 250, 750, 1250 ...; the tick at 1000
    const QByteArray b = Measurement(-5, 10000, 0);
    late.link.port.answerOnceInPieces(HexBytes("01 03"), {{100, b.left(1)}, {900, b.mid(1)}});
    late.start();
    late.run(1000);
    EXPECT_EQ(late.view.t, QStringLiteral("-0,5"));
    EXPECT_EQ(late.session.State.DiagMissCount, 1);
    EXPECT_NE(late.shell.statusText(), QStringLiteral("Повторный запрос"));
    EXPECT_EQ(late.link.port.writeCount(), 2);
}

TEST(Diagnostics, SelfDiagnosticStates)
{
    {   // 3: sensor fault, measuring goes on, readings kept in the record
        DiagRig rig;
        rig.link.port.answerOnce(HexBytes("01 03"), Measurement(235, 10935, 0));
        rig.link.port.answerOnce(HexBytes("01 03"), Measurement(999, 99, 3, 1, 2, 2010));
        rig.start();
        rig.run(1500);
        EXPECT_EQ(rig.view.t, QStringLiteral("----"));
        EXPECT_EQ(rig.view.r, QStringLiteral("----"));
        EXPECT_EQ(rig.view.info, kFaultText);
        EXPECT_EQ(rig.view.date, QStringLiteral("01.02.2010"));
        EXPECT_DOUBLE_EQ(rig.session.Transducer.Temperature, 23.5);
        EXPECT_TRUE(rig.session.State.DiagRunning);
        rig.run(500);
        EXPECT_EQ(rig.link.port.writeCount(), 3);
    }
    struct Case {
        int state;
        QString text;
    } ending[] = {{1, QStringLiteral("АЦП не отвечает")},
                  {2, QStringLiteral("Настройка не производилась или сбой EEPROM")},
                  {9, QString()}};
    for (const Case& c : ending) {
        DiagRig rig;
        rig.link.port.answerOnce(HexBytes("01 03"), Measurement(235, 10935, c.state));
        rig.start();
        rig.run(3000);
        EXPECT_FALSE(rig.session.State.DiagRunning) << c.state;
        EXPECT_FALSE(rig.view.timer) << c.state;
        EXPECT_EQ(rig.view.info, c.text) << c.state;
        EXPECT_TRUE(rig.view.t.isEmpty()) << c.state;
        EXPECT_EQ(rig.link.port.writeCount(), 1) << c.state;
        EXPECT_EQ(rig.shell.disconnects, 0) << c.state;
        EXPECT_TRUE(rig.link.messages.isEmpty()) << c.state;
    }
}

TEST(Diagnostics, MissCountingAgainstRepeatNum)
{
    DiagRig rig(3);
    rig.start(); // silent device
    rig.run(1000);
    EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Повторный запрос"));
    EXPECT_EQ(rig.link.port.writeCount(), 2);
    rig.run(1000);
    EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Повторный запрос"));
    EXPECT_EQ(rig.link.port.writeCount(), 3);
    EXPECT_TRUE(rig.link.messages.isEmpty());
    rig.run(1000);
    EXPECT_EQ(rig.link.port.writeCount(), 3);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора")});
    EXPECT_EQ(rig.link.messages.last().kind, mkError);
    EXPECT_EQ(rig.shell.disconnects, 1);
    EXPECT_FALSE(rig.session.State.DiagRunning);
    EXPECT_FALSE(rig.link.drv.IsPortOpen());

    // One answered tick in between starts the count again.
    DiagRig again(2);
    again.link.port.ignoreOnce(HexBytes("01 03"));
    again.link.port.answerOnce(HexBytes("01 03"), Measurement(1, 1, 0));
    again.start();
    again.run(1000); // miss 1: repeat
    EXPECT_EQ(again.shell.statusText(), QStringLiteral("Повторный запрос"));
    again.run(1000); // answered, then silence
    EXPECT_EQ(again.view.t, QStringLiteral("0,1"));
    EXPECT_EQ(again.shell.statusText(), QStringLiteral("Режим диагностики"));
    again.run(1000);
    EXPECT_TRUE(again.session.State.DiagRunning);
    again.run(1000);
    EXPECT_FALSE(again.session.State.DiagRunning);
    EXPECT_EQ(again.shell.disconnects, 1);
}

TEST(Diagnostics, WrongAnswersCountAsMisses)
{
    const QByteArray wrong[] = {
        WithCRC(HexBytes("01 83 02")),                           // exception answer
        WithBadCRC(Measurement(235, 10935, 0).left(13)),          // damaged frame
        WithCRC(HexBytes("01 04 0A 00 EB 2A B7 00 00 0F 03 07 D5")), // another function
        Measurement(235, 10935, 0).left(14),                     // cut short
    };
    for (const QByteArray& answer : wrong) {
        DiagRig rig(2);
        rig.link.port.answerOnce(HexBytes("01 03"), answer, 100);
        rig.start();
        rig.run(1000);
        EXPECT_TRUE(rig.view.t.isEmpty()) << ToHex(answer).toStdString();
        EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Повторный запрос")) << ToHex(answer).toStdString();
        rig.run(1000);
        EXPECT_FALSE(rig.session.State.DiagRunning) << ToHex(answer).toStdString();
        EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора")});
    }
}

TEST(Diagnostics, StrayBytesAndRefusals)
{
    DiagRig rig;
    // Nothing asked: a frame that looks like a measurement is no reading.
    rig.link.port.deliver(Measurement(500, 10000, 0), 10);
    rig.run(500);
    EXPECT_TRUE(rig.view.t.isEmpty());
    EXPECT_TRUE(rig.view.infoHistory.isEmpty());

    // Corrections need the mode, everything needs the port.
    rig.diag.CorrectR0(true);
    rig.diag.CorrectNSX();
    EXPECT_EQ(rig.link.messages.countOf(QStringLiteral("Сначала нужно запустить процесс диагностики")), 2);
    EXPECT_EQ(rig.link.port.writeCount(), 0);
    rig.link.drv.ClosePort();
    rig.link.messages.clear();
    rig.diag.StartDiagnostics();
    rig.diag.CorrectR0(true);
    EXPECT_EQ(rig.link.messages.countOf(QStringLiteral("Соединение не установлено")), 2);
    EXPECT_EQ(rig.link.messages.last().kind, mkInformation);
    EXPECT_FALSE(rig.session.State.DiagRunning);
    EXPECT_EQ(rig.link.port.writeCount(), 0);
}

TEST(Diagnostics, RequestNotWrittenEndsModeAndConnection)
{
    DiagRig rig;
    rig.link.port.answerOnce(HexBytes("01 03"), Measurement(1, 1, 0));
    rig.start();
    rig.link.port.failWrite(1); // the device fails the write
    rig.run(1000);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Нет связи с прибором.")});
    EXPECT_FALSE(rig.session.State.DiagRunning);
    EXPECT_FALSE(rig.view.timer);
    EXPECT_EQ(rig.shell.disconnects, 1);
}

TEST(Diagnostics, WrongDateReportedOncePerRun)
{
    DiagRig rig;
    rig.link.port.answerAlways(HexBytes("01 03"), [](const QByteArray&) { return Measurement(1, 1, 0, 31, 2, 2005); });
    rig.start();
    rig.run(3000);
    EXPECT_EQ(rig.link.messages.countOf(QStringLiteral("Неверная дата")), 1);
    EXPECT_EQ(rig.session.Transducer.CalibrDate, 0);
    EXPECT_TRUE(rig.view.date.isEmpty());
    EXPECT_TRUE(rig.session.State.DiagRunning);
    EXPECT_EQ(rig.view.t, QStringLiteral("0,1"));
}

TEST(DiagnosticsOneShot, ReadsTheCalibrationDate)
{
    DiagRig rig;
    rig.link.port.answerOnce(HexBytes("01 03 00 20 00 05"), Measurement(1, 1, 0, 15, 3, 2005), 150);
    rig.diag.PollDiagnostics();
    EXPECT_EQ(rig.view.date, QStringLiteral("15.03.2005"));
    EXPECT_EQ(QDateFromDateValue(rig.session.Transducer.CalibrDate), QDate(2005, 3, 15));
    EXPECT_TRUE(rig.view.t.isEmpty()); // only the date
    EXPECT_TRUE(rig.shell.statusTexts.isEmpty());
    EXPECT_TRUE(rig.link.messages.isEmpty());

    // Silence, an exception or a damaged frame: one message, no retry, connection kept.
    const QByteArray failing[] = {QByteArray(), WithCRC(HexBytes("01 83 02")),
                                  WithBadCRC(Measurement(1, 1, 0).left(13))};
    for (const QByteArray& answer : failing) {
        DiagRig r;
        if (!answer.isEmpty())
            r.link.port.answerOnce(HexBytes("01 03"), answer);
        r.diag.PollDiagnostics();
        EXPECT_EQ(r.link.messages.texts(), QStringList{QStringLiteral("Не удалось прочитать дату последней настройки.")});
        EXPECT_EQ(r.link.port.writeCount(), 1);
        EXPECT_TRUE(r.link.drv.IsPortOpen());
        EXPECT_EQ(r.view.date, QString());
    }
}

// ---- corrections ----

TEST(DiagnosticsCorrection, DrainTakesThePendingAnswerFirst)
{
    DiagRig rig;
    rig.link.port.answerOnce(HexBytes("01 03"), Measurement(0, 1, 0));
    rig.start();
    rig.run(500);
    // This tick's answer is queued but not yet polled when the button is pressed.
    rig.link.port.answerOnce(HexBytes("01 03"), Measurement(123, 10000, 0), 40);
    rig.link.port.answerOnce(HexBytes("01 4E"), ShortAnswer(0x4E, 0));
    rig.run(500);
    rig.link.clock.advanceMs(200);
    ASSERT_TRUE(rig.session.State.DiagAwaiting);
    rig.diag.CorrectR0(true);
    EXPECT_EQ(rig.view.infoHistory.mid(rig.view.infoHistory.size() - 2),
              (QStringList{QStringLiteral("Неисправностей не обнаружено"), QStringLiteral("Операция успешно выполнена.")}));
    EXPECT_EQ(rig.view.t, QStringLiteral("12,3"));
    EXPECT_EQ(rig.link.port.lastWrite(), WithCRC(HexBytes("01 4E 01")));
    EXPECT_FALSE(rig.session.State.DiagAwaiting);
    EXPECT_TRUE(rig.view.timer);
    EXPECT_EQ(rig.shell.statusText(), QStringLiteral("Режим диагностики"));
    EXPECT_TRUE(rig.shell.statusTexts.contains(QStringLiteral("Запись данных в память прибора")));
    EXPECT_TRUE(rig.link.messages.isEmpty());
}

TEST(DiagnosticsCorrection, R0ResultCodes)
{
    {   // 12: too far from 0 °C
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4E"), ShortAnswer(0xCE, 12));
        rig.diag.CorrectR0(true);
        EXPECT_EQ(rig.link.messages.texts(),
                  QStringList{QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется от 0 более чем на 20°С")});
        EXPECT_TRUE(rig.view.timer);
        EXPECT_EQ(rig.link.port.writeCount(), 2);
    }
    {   // 13 and "Да": the reset runs as a whole operation of its own
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4E 01"), ShortAnswer(0xCE, 13));
        rig.link.port.answerOnce(HexBytes("01 4E 00"), ShortAnswer(0x4E, 0));
        rig.link.messages.answer(mrYes);
        rig.link.messages.setOnMessage([&](const TRecordedMessage&) { EXPECT_FALSE(rig.view.timer); });
        rig.diag.CorrectR0(true);
        ASSERT_EQ(rig.link.messages.count(), 1);
        EXPECT_EQ(rig.link.messages.last().text,
                  QStringLiteral("Невозможно выполнить комманду.\n\rКорректировка R0 уже проводилась.\n\rСбросить корректировку R0?"));
        EXPECT_EQ(rig.link.messages.last().kind, mkError);
        EXPECT_EQ(rig.link.messages.last().buttons, mbYes | mbNo);
        EXPECT_EQ(rig.link.port.lastWrite(), WithCRC(HexBytes("01 4E 00")));
        EXPECT_EQ(rig.view.infoHistory.mid(rig.view.infoHistory.size() - 3),
                  (QStringList{QStringLiteral("Сброс корректировки R0"), QStringLiteral("Операция успешно выполнена."),
                               QStringLiteral("Корректировка R0 сброшена.")}));
        EXPECT_TRUE(rig.view.timer);
    }
    {   // 13 and "Нет": nothing more is sent
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4E"), ShortAnswer(0xCE, 13));
        rig.link.messages.answer(mrNo);
        rig.diag.CorrectR0(true);
        EXPECT_EQ(rig.writesStartingWith("01 4E"), 1);
        EXPECT_FALSE(rig.view.infoHistory.contains(QStringLiteral("Корректировка R0 сброшена.")));
    }
    {   // 13, "Да", and the reset itself refused: no claim that it was reset
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4E 01"), ShortAnswer(0xCE, 13));
        rig.link.port.answerOnce(HexBytes("01 4E 00"), ShortAnswer(0xCE, 7));
        rig.link.messages.answer(mrYes);
        rig.diag.CorrectR0(true);
        EXPECT_EQ(rig.link.messages.texts().last(), QStringLiteral("Невозможно выполнить комманду"));
        EXPECT_FALSE(rig.view.infoHistory.contains(QStringLiteral("Корректировка R0 сброшена.")));
    }
}

TEST(DiagnosticsCorrection, LostDeviceLeavesTheTimerOff)
{
    DiagRig rig;
    rig.start();
    rig.diag.CorrectR0(true); // silent: RepeatNum 2 attempts
    EXPECT_EQ(rig.writesStartingWith("01 4E"), 2);
    EXPECT_EQ(rig.link.messages.texts(), QStringList{QStringLiteral("Не получен ответ от прибора")});
    EXPECT_EQ(rig.shell.disconnects, 1);
    EXPECT_FALSE(rig.session.State.DiagRunning);
    EXPECT_FALSE(rig.view.timer);
    EXPECT_NE(rig.shell.statusText(), QStringLiteral("Режим диагностики"));

    // The nested reset losing the device: the outer correction does not revive the timer.
    DiagRig nested;
    nested.start();
    nested.link.port.answerOnce(HexBytes("01 4E 01"), ShortAnswer(0xCE, 13));
    nested.link.messages.answer(mrYes);
    nested.diag.CorrectR0(true);
    EXPECT_EQ(nested.shell.disconnects, 1);
    EXPECT_FALSE(nested.view.timer);
    EXPECT_FALSE(nested.view.infoHistory.contains(QStringLiteral("Корректировка R0 сброшена.")));
}

TEST(DiagnosticsCorrection, NSXDialogue)
{
    struct Case {
        double entered;
        const char* field;
    } cases[] = {{100.0, "03 E8"}, {-12.5, "FF 83"}};
    for (const Case& c : cases) {
        DiagRig rig;
        rig.link.port.answerOnce(HexBytes("01 03"), Measurement(215, 10800, 0));
        rig.start();
        rig.run(500);
        rig.link.port.answerOnce(HexBytes("01 4F 01 00 00"), ShortAnswer(0x4F, 0));
        rig.link.port.answerOnce(HexBytes("01 4F 02"), ShortAnswer(0x4F, 0));
        rig.link.messages.answerValue(mrYes, c.entered);
        rig.diag.CorrectNSX();
        ASSERT_EQ(rig.link.messages.count(), 1);
        EXPECT_TRUE(rig.link.messages.last().enterValue);
        EXPECT_EQ(rig.link.messages.last().text, QStringLiteral("Введите действительное значение температуры."));
        EXPECT_DOUBLE_EQ(rig.link.messages.last().defaultValue, 21.5);
        EXPECT_EQ(rig.link.port.lastWrite(), WithCRC(HexBytes("01 4F 02") + HexBytes(c.field)));
        EXPECT_EQ(rig.view.info, QStringLiteral("Операция успешно выполнена."));
        EXPECT_TRUE(rig.view.timer);
    }
    {   // cancelled: step 2 is not sent
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4F"), ShortAnswer(0x4F, 0));
        rig.link.messages.answerValue(mrNo, 50);
        rig.diag.CorrectNSX();
        EXPECT_EQ(rig.writesStartingWith("01 4F"), 1);
        EXPECT_TRUE(rig.view.timer);
    }
}

TEST(DiagnosticsCorrection, NSXDefaultWithoutANumberOnIndT)
{
    DiagRig rig;
    rig.link.port.answerOnce(HexBytes("01 03"), Measurement(-73, 9700, 0));
    rig.link.port.answerOnce(HexBytes("01 03"), Measurement(0, 0, 3));
    rig.start();
    rig.run(1500);
    ASSERT_EQ(rig.view.t, QStringLiteral("----"));
    EXPECT_DOUBLE_EQ(rig.diag.NSXDefaultValue(), -7.3);

    DiagRig none;
    none.link.port.answerOnce(HexBytes("01 03"), Measurement(0, 0, 3));
    none.start();
    none.run(500);
    ASSERT_EQ(none.view.t, QStringLiteral("----"));
    EXPECT_DOUBLE_EQ(none.diag.NSXDefaultValue(), 0.0);
}

TEST(DiagnosticsCorrection, NSXResultCodes)
{
    for (int code : {1, 14}) {
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4F 01 00 00"), ShortAnswer(0xCF, code));
        rig.link.port.answerOnce(HexBytes("01 4F 01 00 01"), ShortAnswer(0x4F, 0));
        rig.link.messages.answer(mrYes);
        rig.diag.CorrectNSX();
        ASSERT_EQ(rig.link.messages.count(), 1) << code; // the question, no value dialogue
        EXPECT_EQ(rig.link.messages.last().text,
                  QStringLiteral("Невозможно выполнить комманду.\n\rКорркектировка НСХ уже проводилась.\n\rСбросить?"));
        EXPECT_EQ(rig.link.messages.last().buttons, mbYes | mbNo);
        EXPECT_EQ(rig.link.port.lastWrite(), WithCRC(HexBytes("01 4F 01 00 01"))) << code;
        EXPECT_EQ(rig.view.infoHistory.mid(rig.view.infoHistory.size() - 2),
                  (QStringList{QStringLiteral("Сброс корректировки НСХ"), QStringLiteral("Корркектировка НСХ сброшена.")}));
        EXPECT_TRUE(rig.view.timer);
    }
    struct Case {
        int code;
        QString text;
    } refusals[] = {
        {15, QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется от 0 менее чем на 20°С.")},
        {16, QStringLiteral("Невозможно выполнить комманду. Измеренная температура отличется указанной более чем 5%.")},
        {3, QStringLiteral("Невозможно выполнить комманду")},
    };
    for (const Case& c : refusals) {
        // Code at step 2, after the value was entered.
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4F 01"), ShortAnswer(0x4F, 0));
        rig.link.port.answerOnce(HexBytes("01 4F 02"), ShortAnswer(0xCF, c.code));
        rig.link.messages.answerValue(mrYes, 20);
        rig.diag.CorrectNSX();
        EXPECT_EQ(rig.link.messages.texts().last(), c.text) << c.code;
        EXPECT_EQ(rig.link.messages.last().kind, mkError);
        EXPECT_NE(rig.view.info, QStringLiteral("Операция успешно выполнена."));
        EXPECT_TRUE(rig.view.timer);
    }
    {   // a value that does not fit the field is not sent
        DiagRig rig;
        rig.start();
        rig.link.port.answerOnce(HexBytes("01 4F 01"), ShortAnswer(0x4F, 0));
        rig.link.messages.answerValue(mrYes, 5000);
        rig.diag.CorrectNSX();
        EXPECT_EQ(rig.writesStartingWith("01 4F"), 1);
        EXPECT_TRUE(rig.link.messages.texts().last().startsWith(QStringLiteral("Значение температуры")));
    }
}

} // namespace
