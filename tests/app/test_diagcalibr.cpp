// The diagnostics and calibration pages on a controller, offscreen, on a
// scripted port and a virtual clock.

#include "PageRig.h"
#include "DiagRig.h"

#include "app/CalibrationPage.h"
#include "common/Cp1251.h"
#include "app/DiagnosticPage.h"
#include "indicator/LiquidIndicator.h"
#include "Tap.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString Shown(const TLiquidIndicator* ind)
{
    return fromCp1251(ind->Indicatorstring());
}

enum class TTint { Green, Red, Other };

// The colour that rules the middle of the button's picture.
TTint Tint(const TRbButton* button)
{
    const QImage& g = button->Glyph();
    if (g.isNull())
        return TTint::Other;
    const QColor c = g.pixelColor(g.width() / 2, g.height() * 13 / 16); // inside the disc, below the sign
    if (c.green() > 2 * c.red() && c.green() > 2 * c.blue())
        return TTint::Green;
    if (c.red() > 2 * c.green() && c.red() > 2 * c.blue())
        return TTint::Red;
    return TTint::Other;
}

int WritesStartingWith(const ScriptedPort& port, const char* hex)
{
    int n = 0;
    for (const TRecordedWrite& w : port.writes())
        n += w.bytes.startsWith(HexBytes(hex)) ? 1 : 0;
    return n;
}

// Connected pages whose device answers the identification, every
// measurement request with `measurement`, and every calibration stage.
struct Connected {
    explicit Connected(QByteArray measurement = Measurement(235, 10935, 0, 15, 3, 2005))
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        rig.onPort = [measurement](ScriptedPort& p) {
            // Ahead of the rig's device, whose own measurement rule would come first otherwise.
            p.answerAlways(HexBytes("01 03 00 20 00 05"), [measurement](const QByteArray&) { return measurement; });
            p.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
            AnswerAsDevice(p);
        };
        rig.make();
        rig.ctrl->Connect();
        diag = rig.pages->tsDiagnostic();
        cal = rig.pages->tsCalobration();
    }
    ~Connected() { QLocale::setDefault(QLocale::c()); }

    // The driver's polling after `ms` of virtual time.
    void poll(uint32_t ms = 500)
    {
        rig.clock.advanceMs(ms);
        rig.ctrl->Driver()->PollTimerTick();
    }

    PageRig rig;
    TDiagnosticPage* diag = nullptr;
    TCalibrationPage* cal = nullptr;
};

TEST(DiagnosticPageOnController, ConnectionReadsTheCalibrationDateOnce)
{
    Connected c;
    ASSERT_TRUE(c.rig.ctrl->IsConnected());
    EXPECT_EQ(Shown(c.diag->indCalibrDate), QStringLiteral("15.03.2005"));
    EXPECT_TRUE(Shown(c.diag->indT).isEmpty());
    EXPECT_EQ(WritesStartingWith(*c.rig.port(), "01 03 00 20 00 05"), 1);
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
    EXPECT_FALSE(c.rig.ctrl->DiagnosticsTimer()->isActive());

    Connected silent{QByteArray()}; // an empty answer is silence
    EXPECT_TRUE(silent.rig.ctrl->IsConnected());
    EXPECT_EQ(silent.rig.msgs.texts(), QStringList{QStringLiteral("Не удалось прочитать дату последней настройки.")});
    EXPECT_TRUE(Shown(silent.diag->indCalibrDate).isEmpty());
}

TEST(DiagnosticPageOnController, PagesGoneLeaveTheOperationsRunningOnNothing)
{
    Connected c;
    QList<TMeasurement> readings;
    QObject::connect(c.rig.ctrl.get(), &TTransducerController::measurement,
                     [&](const TMeasurement& m) { readings << m; });
    delete c.rig.pages; // both pages detach from the controller as they go
    c.rig.pages = nullptr;

    c.rig.ctrl->StartDiagnostics();
    c.poll();
    c.rig.ctrl->StopDiagnostics();
    c.rig.ctrl->NextCalibrationStage();
    c.rig.ctrl->NextCalibrationStage();
    ASSERT_EQ(readings.size(), 1);
    EXPECT_DOUBLE_EQ(readings[0].temperature, 23.5);
    EXPECT_DOUBLE_EQ(readings[0].resistance, 109.35);
    EXPECT_EQ(WritesStartingWith(*c.rig.port(), "01 4D 01"), 1);
    EXPECT_EQ(c.rig.ctrl->CalibrationStage(), 2);
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
}

TEST(DiagnosticPageOnController, StartStopAndLiveReadouts)
{
    Connected c;
    TDiagnosticPage& page = *c.diag;
    EXPECT_EQ(ButtonCaption(page.btnBeginDiagnostics), QStringLiteral(" Начать измерения"));
    EXPECT_EQ(Tint(page.btnBeginDiagnostics), TTint::Green);

    page.btnBeginDiagnostics->Click();
    EXPECT_TRUE(c.rig.session().State.DiagRunning);
    EXPECT_TRUE(c.rig.ctrl->DiagnosticsTimer()->isActive());
    EXPECT_EQ(c.rig.ctrl->DiagnosticsTimer()->interval(), 1000);
    EXPECT_EQ(ButtonCaption(page.btnBeginDiagnostics), QStringLiteral("Завершить измерения"));
    EXPECT_EQ(Tint(page.btnBeginDiagnostics), TTint::Red);
    EXPECT_EQ(c.rig.statusBar->PanelText(3), QStringLiteral("Режим диагностики"));

    // Neither the tick nor the delivery waits: the virtual clock stands still in both.
    c.poll();
    EXPECT_EQ(Shown(page.indT), QStringLiteral("23,5"));
    EXPECT_EQ(Shown(page.indR), QStringLiteral("109,35"));
    EXPECT_EQ(page.lbDiagInf->text(), QStringLiteral("Неисправностей не обнаружено"));
    const uint64_t before = c.rig.clock.nowUs();
    ASSERT_TRUE(QMetaObject::invokeMethod(c.rig.ctrl->DiagnosticsTimer(), "timeout", Qt::DirectConnection)); // one tick
    EXPECT_EQ(c.rig.clock.nowUs(), before);
    EXPECT_EQ(WritesStartingWith(*c.rig.port(), "01 03 00 20"), 3);
    c.rig.clock.advanceMs(400);
    const uint64_t beforeDelivery = c.rig.clock.nowUs();
    c.rig.ctrl->Driver()->PollTimerTick();
    EXPECT_EQ(c.rig.clock.nowUs(), beforeDelivery);

    page.btnBeginDiagnostics->Click();
    EXPECT_FALSE(c.rig.session().State.DiagRunning);
    EXPECT_FALSE(c.rig.ctrl->DiagnosticsTimer()->isActive());
    EXPECT_EQ(ButtonCaption(page.btnBeginDiagnostics), QStringLiteral("Начать измерения"));
    EXPECT_EQ(Tint(page.btnBeginDiagnostics), TTint::Green);
    EXPECT_TRUE(Shown(page.indT).isEmpty());
    EXPECT_TRUE(page.lbDiagInf->text().isEmpty());
    EXPECT_EQ(Shown(page.indCalibrDate), QStringLiteral("15.03.2005"));
    EXPECT_TRUE(c.rig.statusBar->PanelText(3).isEmpty());
}

TEST(DiagnosticPageOnController, FaultTextOnSeparateLines)
{
    Connected c(Measurement(0, 0, 3));
    c.diag->btnBeginDiagnostics->Click();
    c.poll();
    EXPECT_EQ(Shown(c.diag->indT), QStringLiteral("----"));
    const QString text = c.diag->lbDiagInf->text();
    EXPECT_EQ(text.count(QLatin1Char('\n')), 1);
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_TRUE(text.startsWith(QStringLiteral("1. Обрыв")));
}

TEST(DiagnosticPageOnController, DisconnectEndsDiagnosticsAndCancelsCalibration)
{
    Connected c;
    for (int i = 0; i < 3; ++i)
        c.cal->btnBeginCalibr->Click();
    ASSERT_EQ(c.rig.session().State.CalibrStage, 3);
    c.diag->btnBeginDiagnostics->Click(); // allowed while calibrating
    c.poll();
    ASSERT_EQ(Shown(c.diag->indT), QStringLiteral("23,5"));
    c.rig.port()->clearWrites();

    c.rig.ctrl->Disconnect();
    EXPECT_FALSE(c.rig.ctrl->IsConnected());
    EXPECT_FALSE(c.rig.session().State.DiagRunning);
    EXPECT_FALSE(c.rig.ctrl->DiagnosticsTimer()->isActive());
    EXPECT_EQ(c.rig.session().State.CalibrStage, 0);
    ASSERT_GE(c.rig.port()->writeCount(), 1);
    EXPECT_EQ(c.rig.port()->writes().first().bytes, WithCRC(HexBytes("01 4D 00 00 00 00 00")));
    EXPECT_EQ(c.cal->lbStage->text(), QStringLiteral("Настройка завершена по желанию пользователя"));
    EXPECT_EQ(c.cal->lbStage->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    EXPECT_TRUE(c.cal->btnCancelCalibr->isHidden());
    EXPECT_TRUE(Shown(c.diag->indT).isEmpty());
    EXPECT_TRUE(Shown(c.diag->indR).isEmpty());
    EXPECT_TRUE(Shown(c.diag->indCalibrDate).isEmpty());
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();

    // Connecting again clears the leftover texts.
    c.rig.ctrl->Connect();
    EXPECT_TRUE(c.cal->lbStage->text().isEmpty());
    EXPECT_TRUE(c.diag->lbDiagInf->text().isEmpty());
}

TEST(CalibrationPageOnController, EntriesTakenWhenTheButtonIsPressed)
{
    Connected c;
    TCalibrationPage& page = *c.cal;
    EXPECT_TRUE(page.rseCalibrCur->isHidden());
    EXPECT_TRUE(page.meCalibrNewDate->isHidden());
    EXPECT_TRUE(page.btnCancelCalibr->isHidden());
    EXPECT_EQ(ButtonCaption(page.btnBeginCalibr), QStringLiteral("Начать настройку"));

    for (int i = 0; i < 5; ++i)
        page.btnBeginCalibr->Click();
    EXPECT_FALSE(page.rseCalibrCur->isHidden());
    EXPECT_FALSE(page.btnCancelCalibr->isHidden());
    EXPECT_EQ(ButtonCaption(page.btnBeginCalibr), QStringLiteral("Продолжить"));
    EXPECT_DOUBLE_EQ(page.rseCalibrCur->value(), 4.0);
    EXPECT_EQ(page.lbStage->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    // Typed, and the press comes without the field losing the focus first.
    page.rseCalibrCur->setValue(4.2);
    page.btnBeginCalibr->Click();
    EXPECT_EQ(c.rig.port()->lastWrite(), WithCRC(HexBytes("01 4D 05 00 00 10 68")));
    page.btnBeginCalibr->Click(); // 20,000 mA unedited
    EXPECT_EQ(c.rig.port()->lastWrite(), WithCRC(HexBytes("01 4D 06 00 00 4E 20")));
    EXPECT_TRUE(page.rseCalibrCur->isHidden());
    EXPECT_FALSE(page.meCalibrNewDate->isHidden());
    EXPECT_EQ(page.meCalibrNewDate->displayText(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));

    page.meCalibrNewDate->setCursorPosition(0);
    QTest::keyClicks(page.meCalibrNewDate, QStringLiteral("25032005"));
    ASSERT_EQ(page.meCalibrNewDate->displayText(), QStringLiteral("25.03.2005"));
    page.btnBeginCalibr->Click();
    EXPECT_EQ(c.rig.port()->lastWrite(), WithCRC(HexBytes("01 4D 07 19 03 07 D5")));
    EXPECT_EQ(page.lbStage->text(), QStringLiteral("Настройка успешно завершена"));
    EXPECT_EQ(Shown(c.diag->indCalibrDate), QStringLiteral("25.03.2005"));
    EXPECT_TRUE(page.meCalibrNewDate->isHidden());
    EXPECT_TRUE(page.btnCancelCalibr->isHidden());
    EXPECT_TRUE(c.rig.msgs.isEmpty()) << c.rig.msgs.texts().join('|').toStdString();
}

TEST(CalibrationPageOnController, LeavingTheFieldsChecksThem)
{
    Connected c;
    TCalibrationPage& page = *c.cal;
    c.rig.pages->setCurrentWidget(&page);
    c.rig.window->show();
    QApplication::setActiveWindow(c.rig.window.get());
    for (int i = 0; i < 5; ++i)
        page.btnBeginCalibr->Click();
    page.rseCalibrCur->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    if (!page.rseCalibrCur->hasFocus())
        GTEST_SKIP() << "no keyboard focus on this platform";
    page.rseCalibrCur->setValue(4.401);
    page.btnBeginCalibr->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(c.rig.msgs.texts(), QStringList{QStringLiteral("Диапазон возможных значений\r\nот 3,600 мА до 4,400 мА")});
    EXPECT_EQ(c.rig.session().State.CalibrCurrent, -1);
    page.btnBeginCalibr->Click();
    EXPECT_EQ(c.rig.port()->lastWrite(), WithCRC(HexBytes("01 4D 05 00 00 FF FF")));
    EXPECT_EQ(c.rig.msgs.count(), 1); // the refused value was already judged
}

TEST(CalibrationPageOnController, RefusedWhileDiagnosticsRuns)
{
    Connected c;
    c.diag->btnBeginDiagnostics->Click();
    c.rig.port()->clearWrites();
    c.cal->btnBeginCalibr->Click();
    EXPECT_EQ(c.rig.msgs.texts(), QStringList{QStringLiteral("В режиме диагностики настройку проводить нельзя!")});
    EXPECT_EQ(c.rig.session().State.CalibrStage, 0);
    EXPECT_TRUE(c.cal->lbStage->text().isEmpty());
    EXPECT_EQ(WritesStartingWith(*c.rig.port(), "01 4D"), 0);
}

// A tap on "Продолжить" right after typing the measured current: the entry
// is judged before anything is sent, and a refused one refuses the press.
TEST(CalibrationPageOnController, TapAfterTypingTheCurrentChecksItFirst)
{
    for (const TTapKind kind : {TTapKind::Slow, TTapKind::Queued}) {
        SCOPED_TRACE(TapName(kind));
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        PageRig rig;
        rig.onPort = [](ScriptedPort& p) {
            p.answerAlways(HexBytes("01 11"), [](const QByteArray&) {
                return IdentifyAnswer(1, 'N', "ZELKOR", "Pt100", HexBytes("00 00 00 07"), HexBytes("01 02 07 D0"));
            });
            p.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
            AnswerAsDevice(p);
        };
        rig.make();
        rig.ctrl->Connect();
        TCalibrationPage& page = *rig.pages->tsCalobration();
        rig.pages->setCurrentWidget(&page);
        rig.window->show();
        QApplication::setActiveWindow(rig.window.get());
        for (int i = 0; i < 5; ++i)
            page.btnBeginCalibr->Click();
        ASSERT_EQ(rig.session().State.CalibrStage, 5);
        page.rseCalibrCur->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        if (!page.rseCalibrCur->hasFocus())
            GTEST_SKIP() << "no keyboard focus on this platform";

        int currentAtMessage = 0;
        int stage5SentAtMessage = -1;
        rig.msgs.setOnMessage([&](const TRecordedMessage&) {
            currentAtMessage = int(rig.session().State.CalibrCurrent);
            stage5SentAtMessage = WritesStartingWith(*rig.port(), "01 4D 05");
        });
        rig.port()->clearWrites();
        page.rseCalibrCur->selectAll();
        QTest::keyClicks(page.rseCalibrCur, QStringLiteral("5,100"));
        rig.clock.advanceMs(1000); // a person types for longer than the button's hold
        Tap(page.btnBeginCalibr, kind);
        QApplication::processEvents();
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Диапазон возможных значений\r\nот 0,030 мА до 0,170 мА")});
        EXPECT_EQ(currentAtMessage, -1);
        EXPECT_EQ(stage5SentAtMessage, 0);
        EXPECT_EQ(WritesStartingWith(*rig.port(), "01 4D 05"), 0) << "a refused entry refuses the press";
        EXPECT_EQ(rig.session().State.CalibrStage, 5);
        EXPECT_FALSE(page.btnBeginCalibr->Pressed());

        // Corrected, the next tap sends it.
        page.rseCalibrCur->setFocus(Qt::MouseFocusReason);
        page.rseCalibrCur->selectAll();
        QTest::keyClicks(page.rseCalibrCur, QStringLiteral("0,150"));
        rig.clock.advanceMs(1000);
        Tap(page.btnBeginCalibr, kind);
        QApplication::processEvents();
        EXPECT_EQ(rig.port()->lastWrite(), WithCRC(HexBytes("01 4D 05 00 00 00 96")));
        EXPECT_EQ(rig.msgs.count(), 1);
        EXPECT_EQ(rig.session().State.CalibrStage, 6);
        EXPECT_FALSE(page.btnBeginCalibr->Pressed());
        rig.msgs.setOnMessage(nullptr);
        rig.window->hide();
        QLocale::setDefault(QLocale::c());
    }
}

} // namespace
