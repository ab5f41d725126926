// The information page on a scripted device: what it shows, its checks,
// the modified mark, the read and write buttons and the diagnostics pause.
#include "PageRig.h"
#include "FieldExit.h"
#include "Tap.h"

#include "app/InformationPage.h"
#include "device/TransducerData.h"
#include "link/MessageDialog.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kAskConnect = QStringLiteral("Соединение с прибором не установлено.\n\rУстановить соединение?");

// Pages on the device at address 1, connected.
void Connected(PageRig& rig)
{
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    rig.connect();
}

} // namespace

TEST(InformationPage, ClearDeviceFieldsKeepsTheRecord)
{
    PageRig rig;
    Connected(rig);
    TInformationPage* page = rig.pages->tsInformation();
    ASSERT_EQ(page->edPLType->text(), QStringLiteral("ЗЕЛКОР-М"));
    rig.pages->ClearDeviceFields();
    for (QLineEdit* e : {page->edSlaveID, page->edPLType, page->edSensorType, page->edSensorNum})
        EXPECT_EQ(e->text(), QString()) << e->objectName().toStdString();
    EXPECT_EQ(page->meSensorDate->displayText(), QStringLiteral("  .  .    "));
    EXPECT_EQ(rig.session().Transducer.PLTypeText, QStringLiteral("ЗЕЛКОР-М"));
    EXPECT_TRUE(rig.ctrl->IsConnected()) << "clearing the page is not a disconnect";
}

TEST(InformationPage, SensorNumberValidation)
{
    PageRig rig;
    Connected(rig);
    TInformationPage* page = rig.pages->tsInformation();
    const QString bad = QStringLiteral("Недопустимое значение номера датчика");
    for (const char* text : {"-5", "abc", "2147483648", ""}) {
        rig.msgs.clear();
        page->edSensorNum->setText(QString::fromLatin1(text));
        Leave(page->edSensorNum);
        EXPECT_EQ(rig.msgs.texts(), QStringList{bad}) << text;
        EXPECT_EQ(rig.session().Transducer.SensorNum, 12345) << text;
    }
    EXPECT_EQ(rig.msgs.last().kind, mkError);
    rig.msgs.clear();
    page->edSensorNum->setText(QStringLiteral("2147483647"));
    Leave(page->edSensorNum);
    EXPECT_TRUE(rig.msgs.isEmpty());
    EXPECT_EQ(rig.session().Transducer.SensorNum, 2147483647);

    // The window losing the focus is no exit.
    page->edSensorNum->setText(QStringLiteral("-1"));
    Leave(page->edSensorNum, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(rig.msgs.isEmpty());

    // Not connected: nothing is checked or stored.
    rig.ctrl->Disconnect();
    page->edSensorNum->setText(QStringLiteral("-1"));
    Leave(page->edSensorNum);
    EXPECT_TRUE(rig.msgs.isEmpty());
    EXPECT_EQ(rig.session().Transducer.SensorNum, 2147483647);
}

// A tap on "Записать" right after typing a sensor number: the number is
// judged first; a refused one is reported once and nothing is written.
TEST(InformationPage, TapOnWriteAfterTypingTheNumber)
{
    for (const TTapKind kind : {TTapKind::Slow, TTapKind::Queued}) {
        SCOPED_TRACE(TapName(kind));
        PageRig rig;
        Connected(rig);
        TInformationPage* page = rig.pages->tsInformation();
        rig.window->show();
        QApplication::setActiveWindow(rig.window.get());
        page->edSensorNum->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        if (!page->edSensorNum->hasFocus())
            GTEST_SKIP() << "no keyboard focus on this platform";
        const auto infoWrites = [&rig] {
            int n = 0;
            for (const TRecordedWrite& w : rig.port()->writes())
                n += w.bytes.size() > 2 && uint8_t(w.bytes[1]) == 0x10 ? 1 : 0;
            return n;
        };
        rig.msgs.clear();
        page->edSensorNum->selectAll();
        QTest::keyClicks(page->edSensorNum, QStringLiteral("-5"));
        Tap(page->btnInfWrite, kind);
        QApplication::processEvents();
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Недопустимое значение номера датчика")});
        EXPECT_EQ(infoWrites(), 0);
        EXPECT_FALSE(page->btnInfWrite->Pressed());

        page->edSensorNum->setFocus(Qt::MouseFocusReason);
        page->edSensorNum->selectAll();
        QTest::keyClicks(page->edSensorNum, QStringLiteral("777"));
        rig.clock.advanceMs(1000); // a person types for longer than the button's hold
        Tap(page->btnInfWrite, kind);
        QApplication::processEvents();
        EXPECT_EQ(rig.msgs.count(), 1);
        EXPECT_EQ(infoWrites(), 1);
        EXPECT_EQ(rig.session().Transducer.SensorNum, 777);
        rig.window->hide();
    }
}

TEST(InformationPage, DateAndTypeValidation)
{
    PageRig rig;
    Connected(rig);
    TInformationPage* page = rig.pages->tsInformation();
    const QString bad = QStringLiteral("Неправильно указана дата.");

    page->meSensorDate->setText(QString()); // shows "  .  .    "
    Leave(page->meSensorDate);
    EXPECT_EQ(rig.msgs.texts(), QStringList{bad});
    EXPECT_EQ(rig.session().Transducer.SensorDate, 0);

    rig.msgs.clear();
    page->meSensorDate->setText(QStringLiteral("31.02.2020"));
    Leave(page->meSensorDate);
    EXPECT_EQ(rig.msgs.texts(), QStringList{bad});

    rig.msgs.clear();
    page->meSensorDate->setText(QStringLiteral("01.09.2023"));
    Leave(page->meSensorDate);
    EXPECT_TRUE(rig.msgs.isEmpty());
    EXPECT_EQ(QDateFromDateValue(rig.session().Transducer.SensorDate), QDate(2023, 9, 1));

    page->edSensorType->setText(QStringLiteral(" Pt 100 "));
    Leave(page->edSensorType);
    EXPECT_EQ(rig.session().Transducer.SensorTypeText, QStringLiteral(" Pt 100 ")) << "stored as typed";
}

TEST(InformationPage, EditsMarkThePage)
{
    PageRig rig;
    Connected(rig);
    TInformationPage* page = rig.pages->tsInformation();
    EXPECT_EQ(rig.statusBar->PanelText(2), QString());
    QTest::keyClicks(page->edSensorType, QStringLiteral("x"));
    EXPECT_TRUE(rig.session().Transducer.InfModified);
    EXPECT_EQ(rig.statusBar->PanelText(2), QStringLiteral("Mod"));

    rig.ctrl->SetInfoModified(false);
    rig.pages->tsInformation()->ShowInformation(); // filling is not an edit
    EXPECT_FALSE(rig.session().Transducer.InfModified);

    rig.ctrl->Disconnect(); // edits while disconnected mark the page too
    QTest::keyClicks(page->edSensorNum, QStringLiteral("7"));
    EXPECT_TRUE(rig.session().Transducer.InfModified);
}

TEST(InformationPage, ButtonsWhileDisconnected)
{
    PageRig rig;
    rig.make();
    rig.pages->tsInformation()->btnInfWrite->Click();
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Соединение не установлено.")});
    EXPECT_EQ(rig.msgs.last().kind, mkInformation);

    rig.msgs.clear();
    rig.msgs.answer(mrNo);
    rig.pages->tsInformation()->btnInfRead->Click();
    EXPECT_EQ(rig.msgs.texts(), QStringList{kAskConnect});
    EXPECT_EQ(rig.port()->openCount(), 0);
}

TEST(InformationPage, TodayThenWriteSendsTodaysDate)
{
    PageRig rig;
    Connected(rig);
    rig.session().State.DiagRunning = true;
    rig.ctrl->DiagnosticsTimer()->start();
    rig.port()->clearWrites();
    rig.pages->tsInformation()->btnNow->Click();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(rig.pages->tsInformation()->meSensorDate->text(), today.toString(QStringLiteral("dd.MM.yyyy")));
    EXPECT_EQ(rig.statusBar->PanelText(2), QStringLiteral("Mod"));
    rig.pages->tsInformation()->btnInfWrite->Click();
    ASSERT_EQ(rig.port()->writeCount(), 1);
    const QByteArray req = rig.port()->lastWrite();
    ASSERT_EQ(req.size(), 41);
    EXPECT_EQ(uint8_t(req[35]), today.day());
    EXPECT_EQ(uint8_t(req[36]), today.month());
    EXPECT_EQ((uint8_t(req[37]) << 8) | uint8_t(req[38]), today.year());
    EXPECT_EQ(req.mid(7, 8), QByteArray("\xD2\xD1\xCF 100\xCF", 8)) << "the sensor type as read";
    EXPECT_FALSE(rig.session().Transducer.InfModified);
    EXPECT_TRUE(rig.ctrl->DiagnosticsTimer()->isActive()) << "the timer gets its state back";
    EXPECT_TRUE(rig.msgs.isEmpty());

    // "Прочитать" reads the record again and clears the mark.
    rig.ctrl->SetInfoModified(true);
    rig.pages->tsInformation()->btnInfRead->Click();
    EXPECT_EQ(rig.port()->lastWrite().left(2), HexBytes("01 11"));
    EXPECT_FALSE(rig.session().Transducer.InfModified);
}

TEST(InformationPage, WriteThatLosesTheDeviceLeavesDiagnosticsOff)
{
    PageRig rig;
    Connected(rig);
    rig.session().State.DiagRunning = true;
    rig.ctrl->DiagnosticsTimer()->start();
    rig.pages->tsInformation()->btnNow->Click();
    rig.port()->clearRules(); // the device falls silent
    rig.pages->tsInformation()->btnInfWrite->Click();
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_TRUE(rig.msgs.contains(QStringLiteral("Не получен ответ от прибора.")));
    EXPECT_FALSE(rig.ctrl->DiagnosticsTimer()->isActive()) << "no polling of a closed port";
}
