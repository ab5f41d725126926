#include "MainRig.h"
#include "FieldExit.h"
#include "app/DiagnosticPage.h"
#include "Tap.h"

#include "app/COMChoiceFrm.h"
#include "link/CommPortDriver.h"
#include "app/ConnectFrm.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"
#include "app/InformationPage.h"
#include "device/TransducerData.h"
#include "app/ViewStatusFrm.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kNotConnected = QStringLiteral("Соединение не установленно");
const QString kConnected = QStringLiteral("Соединение установленно");
const QString kAskConnect = QStringLiteral("Соединение с прибором не установлено.\n\rУстановить соединение?");

// Started without a settings file, then connected to the device at address 1.
std::unique_ptr<TfrmMain> Connected(MainRig& rig)
{
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p); };
    auto frm = rig.make();
    frm->Session().link.ReportLinkErrors = true;
    frm->ConnectDevice();
    return frm;
}

} // namespace

TEST(MainWindowStartup, WithoutSettingsFile)
{
    MainRig rig;
    auto frm = rig.make();
    EXPECT_FALSE(frm->IsConnected());
    EXPECT_EQ(rig.port()->openCount(), 0) << "no connection without ConnectBeforeRun";
    EXPECT_EQ(rig.comChoices, 0);
    EXPECT_EQ(frm->MainPageCtrl()->currentWidget(), frm->tsInformation());
    EXPECT_EQ(frm->StatusPanelText(0), kNotConnected);
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Установить соединение"));
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 1);
    EXPECT_EQ(frm->cpDRV()->PortName(), QStringLiteral("//./COM1"));
    EXPECT_EQ(frm->cpDRV()->Port(), int(pnCustom));
    EXPECT_EQ(frm->size(), QSize(583, 367));
    EXPECT_TRUE(frm->findChild<QToolBar*>(QStringLiteral("ActionToolBar1"))->isVisibleTo(frm.get()));
    EXPECT_TRUE(rig.msgs.isEmpty());
    EXPECT_TRUE(rig.errorBoxes.isEmpty());

    ASSERT_EQ(frm->MainPageCtrl()->count(), 4);
    EXPECT_EQ(frm->MainPageCtrl()->tabText(0), QStringLiteral("Информация"));
    EXPECT_EQ(frm->MainPageCtrl()->tabText(1), QStringLiteral("Конфигурация"));
    EXPECT_EQ(frm->MainPageCtrl()->tabText(2), QStringLiteral("Настройка"));
    EXPECT_EQ(frm->MainPageCtrl()->tabToolTip(2), QStringLiteral(" Калибровка "));
    EXPECT_EQ(frm->MainPageCtrl()->tabText(3), QStringLiteral("Диагностика "));

    frm->close();
    const QByteArray ini = rig.iniContent();
    EXPECT_TRUE(ini.startsWith("[Defaults]\r\nConnectBeforeRun=0\r\nConnectionType=toNum\r\nDefaultSlaveID=1\r\n"))
        << ini.constData();
}

TEST(MainWindowStartup, ConnectsToTheConfiguredAddress)
{
    MainRig rig("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\nDefaultSlaveID=5\r\nDefaultComPortNum=3\r\n");
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p, 5); };
    rig.comChoicePort = 3;
    QString statusText;
    bool statusShown = false;
    int statusHeight = 0;
    rig.onComChoice = [&](TfrmMain& frm) {
        EXPECT_FALSE(frm.cpDRV()->IsPortOpen()) << "the port choice comes before the port opens";
        statusText = frm.ViewStatus()->Text();
        statusShown = frm.ViewStatus()->isVisible();
        statusHeight = frm.ViewStatus()->WindowHeight();
    };
    auto frm = rig.make();
    EXPECT_EQ(rig.comChoices, 1);
    EXPECT_EQ(statusText, QStringLiteral("Производится установка соединения с прибором номер 5 подключенному к порту "
                                         "СОМ3.\nПожалуйста подождите."));
    EXPECT_TRUE(statusShown);
    EXPECT_EQ(statusHeight, 120);
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
    EXPECT_EQ(frm->ViewStatus()->WindowHeight(), 170);

    ASSERT_TRUE(frm->IsConnected());
    EXPECT_EQ(frm->MainPageCtrl()->currentWidget(), frm->tsInformation());
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Разорвать соединение"));
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->toolTip(), QStringLiteral("Разорвать соединение"));
    EXPECT_EQ(frm->StatusPanelText(0), kConnected);
    EXPECT_EQ(frm->StatusPanelText(1), QStringLiteral("COM3"));
    EXPECT_EQ(frm->StatusPanelText(2), QString());
    EXPECT_EQ(frm->tsInformation()->edSlaveID->text(), QStringLiteral("5"));
    EXPECT_EQ(frm->tsInformation()->edPLType->text(), QStringLiteral("ЗЕЛКОР-М"));
    EXPECT_EQ(frm->tsInformation()->edSensorType->text(), QStringLiteral("ТСП 100П"));
    EXPECT_EQ(frm->tsInformation()->edSensorNum->text(), QStringLiteral("12345"));
    EXPECT_EQ(frm->tsInformation()->meSensorDate->text(), QStringLiteral("15.03.2005"));
    EXPECT_FALSE(frm->Session().Transducer.InfModified);
    EXPECT_EQ(frm->Settings().DefaultSlaveID, 5);
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(MainWindowStartup, ModesThatDoNotConnect)
{
    for (const char* type : {"FindAll", ""}) {
        MainRig rig(QByteArray("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=") + type + "\r\n");
        auto frm = rig.make();
        EXPECT_EQ(rig.comChoices, 0) << type;
        EXPECT_EQ(rig.port()->openCount(), 0) << type;
        EXPECT_FALSE(frm->ViewStatus()->isVisible());
    }
    {
        MainRig rig("[Defaults]\r\nConnectBeforeRun=1\r\n");
        rig.comChoiceAccepts = false; // the port dialog closed with its close box
        auto frm = rig.make();
        EXPECT_EQ(rig.comChoices, 1);
        EXPECT_EQ(rig.port()->openCount(), 0);
        EXPECT_TRUE(rig.msgs.isEmpty());
        EXPECT_EQ(frm->StatusPanelText(0), kNotConnected);
    }
}

TEST(MainWindowStartup, ColourSchemeThatDoesNotLoadCutsItShort)
{
    const QByteArray ini = "[Defaults]\r\nConnectBeforeRun=1\r\nViewToolBar=0\r\n";
    {
        MainRig rig(ini, QByteArray()); // no scheme file
        auto frm = rig.make();
        EXPECT_EQ(rig.errorBoxes, QStringList{QStringLiteral("File not exists!")});
        EXPECT_EQ(rig.comChoices, 0);
        EXPECT_EQ(rig.port()->openCount(), 0);
        EXPECT_TRUE(frm->StartupCutShort());
        EXPECT_EQ(frm->MainPageCtrl()->currentWidget(), frm->tsDiagnostic());
        EXPECT_TRUE(frm->findChild<QToolBar*>(QStringLiteral("ActionToolBar1"))->isVisibleTo(frm.get())) << "the toolbar stays, whatever the settings say";
    }
    {
        MainRig rig(ini, "[Other]\r\nFormColor=0\r\n"); // no RbControls keys
        auto frm = rig.make();
        EXPECT_EQ(rig.errorBoxes, QStringList{QStringLiteral("Empty or invalid file")});
        EXPECT_EQ(rig.port()->openCount(), 0);
    }
}

TEST(MainWindowToolBar, HiddenBySettingsAndToggled)
{
    MainRig rig("[Defaults]\r\nViewToolBar=0\r\n");
    auto frm = rig.make();
    EXPECT_FALSE(frm->findChild<QToolBar*>(QStringLiteral("ActionToolBar1"))->isVisibleTo(frm.get()));
    EXPECT_EQ(frm->height(), 367 - 42);
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actViewToolBar"))->text(), QStringLiteral("Показать панель инструментов"));

    frm->findChild<QAction*>(QStringLiteral("actViewToolBar"))->trigger();
    EXPECT_TRUE(frm->findChild<QToolBar*>(QStringLiteral("ActionToolBar1"))->isVisibleTo(frm.get()));
    EXPECT_EQ(frm->height(), 367);
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actViewToolBar"))->text(), QStringLiteral("Убрать панель инструментов"));
    EXPECT_TRUE(frm->Settings().ViewToolBar);

    frm->findChild<QAction*>(QStringLiteral("actViewToolBar"))->trigger();
    EXPECT_EQ(frm->height(), 367 - 42);
    EXPECT_FALSE(frm->Settings().ViewToolBar);
    frm->close();
    EXPECT_TRUE(rig.iniContent().contains("ViewToolBar=0"));
}

TEST(MainWindowConnection, ConnectAndDisconnect)
{
    MainRig rig;
    auto frm = Connected(rig);
    ASSERT_TRUE(frm->IsConnected());
    EXPECT_EQ(rig.comChoices, 1) << "the port was known by name only";
    EXPECT_EQ(frm->StatusPanelText(1), QStringLiteral("COM1"));
    EXPECT_EQ(frm->tsInformation()->edSensorNum->text(), QStringLiteral("12345"));

    // Known by number now: the next connection does not ask again.
    frm->DisconnectDevice();
    frm->ConnectDevice();
    EXPECT_EQ(rig.comChoices, 1);
    ASSERT_TRUE(frm->IsConnected());

    // actConnect while connected: disconnect without a question.
    frm->findChild<QAction*>(QStringLiteral("actConnect"))->trigger();
    EXPECT_FALSE(frm->IsConnected());
    EXPECT_TRUE(rig.msgs.isEmpty());
    EXPECT_EQ(frm->StatusPanelText(0), kNotConnected);
    EXPECT_EQ(frm->StatusPanelText(1), QString());
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Установить соединение"));
    EXPECT_EQ(frm->tsInformation()->edSlaveID->text(), QString());
    EXPECT_EQ(frm->tsInformation()->edSensorNum->text(), QString());
    EXPECT_EQ(frm->tsInformation()->meSensorDate->displayText(), QStringLiteral("  .  .    "));
    EXPECT_EQ(frm->Session().Transducer.SensorNum, 12345) << "the record keeps its values";

    // actConnect while closed: the connect dialog, "Найти" with the address shown.
    QTimer::singleShot(0, [&frm] { frm->ConnectDialog()->btnFindClick(); });
    frm->findChild<QAction*>(QStringLiteral("actConnect"))->trigger();
    EXPECT_TRUE(frm->IsConnected());
}

TEST(MainWindowConnection, COMChoiceWhileConnectedAsksFirst)
{
    MainRig rig;
    auto frm = Connected(rig);
    ASSERT_TRUE(frm->IsConnected());
    rig.msgs.answer(mrNo);
    frm->findChild<QAction*>(QStringLiteral("actCOMSet"))->trigger();
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Разорвать установленное соединение?")});
    EXPECT_EQ(rig.msgs.last().kind, mkConfirmation);
    EXPECT_TRUE(frm->IsConnected());
    EXPECT_EQ(rig.comChoices, 1);

    rig.msgs.answer(mrYes);
    frm->findChild<QAction*>(QStringLiteral("actCOMSet"))->trigger();
    EXPECT_FALSE(frm->IsConnected());
    EXPECT_EQ(rig.comChoices, 2);
}

TEST(MainWindowConnection, COMChoiceFrameTakesTheProgramsScheme)
{
    MainRig rig;
    auto frm = rig.make();
    (&frm->StyleManager())->SetPanelColor(0x123456);
    TfrmCOMChoice* dlg = frm->COMChoice();
    EXPECT_EQ(dlg->RbPanel1->RbStyleManager(), static_cast<IRbStyleRegistry*>((&frm->StyleManager())));
    EXPECT_EQ(dlg->RbPanel1->Color(), 0x123456) << "the scheme is applied when the window is created";
    (&frm->StyleManager())->SetPanelColor(0x654321);
    (&frm->StyleManager())->ApplyStyle();
    EXPECT_EQ(dlg->RbPanel1->Color(), 0x654321) << "and follows a scheme applied later";
}

TEST(MainWindowConnection, AskToConnect)
{
    {
        MainRig rig;
        rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p); };
        auto frm = rig.make();
        rig.msgs.answer(mrNo);
        EXPECT_FALSE(frm->AskToConnect());
        EXPECT_EQ(rig.msgs.texts(), QStringList{kAskConnect});
        EXPECT_EQ(rig.msgs.last().kind, mkWarning);
        EXPECT_EQ(rig.port()->openCount(), 0);

        rig.msgs.clear();
        rig.msgs.answer(mrYes);
        EXPECT_TRUE(frm->AskToConnect());
        EXPECT_TRUE(frm->IsConnected());
        EXPECT_EQ(rig.msgs.count(), 1);
        EXPECT_EQ(frm->StatusPanelText(0), kConnected);

        rig.msgs.clear();
        EXPECT_TRUE(frm->AskToConnect()) << "connected: no question";
        EXPECT_TRUE(rig.msgs.isEmpty());
    }
    {
        MainRig rig; // the port is missing
        rig.onPort = [](ScriptedPort& p) { p.setOpenError(TPortOpenError::NotFound); };
        rig.comChoicePort = 4;
        auto frm = rig.make();
        frm->Session().Transducer.SlaveID = 17;
        rig.msgs.answer(mrYes);
        EXPECT_FALSE(frm->AskToConnect());
        ASSERT_EQ(rig.msgs.count(), 2) << rig.msgs.texts().join('|').toStdString();
        EXPECT_EQ(rig.msgs.all()[1].text,
                  QStringLiteral("Не удалось установить соединение с прибором\n\r номер 17 подключенному к порту СОМ4.\n\r"
                                 " Попробуйте установить соединение с другим номером."));
        EXPECT_EQ(rig.msgs.all()[1].kind, mkWarning);
        EXPECT_FALSE(rig.msgs.contains(QStringLiteral("Нет соединения")));
    }
}

TEST(MainWindowConnection, PortThatDoesNotOpenNamesTheCause)
{
    struct Case {
        TPortOpenError error;
        const char* part;
    };
    for (const Case& c : {Case{TPortOpenError::NotFound, "не найден"}, Case{TPortOpenError::Busy, "занят"},
                          Case{TPortOpenError::AccessDenied, "dialout"}}) {
        MainRig rig;
        rig.onPort = [&c](ScriptedPort& p) { p.setOpenError(c.error); };
        rig.comChoicePort = 2;
        auto frm = rig.make();
        frm->Session().link.ReportLinkErrors = true;
        frm->ConnectDevice();
        EXPECT_FALSE(frm->IsConnected());
        ASSERT_EQ(rig.msgs.count(), 1);
        const QStringList lines = rig.msgs.last().text.split('\n');
        EXPECT_EQ(lines.first(), QStringLiteral("Нет соединения c COM2"));
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(lines.mid(1).join(' ').contains(QString::fromUtf8(c.part))) << rig.msgs.last().text.toStdString();
        EXPECT_EQ(rig.msgs.last().kind, mkWarning);
        if (c.error == TPortOpenError::AccessDenied) {
            EXPECT_TRUE(rig.msgs.last().text.contains(QStringLiteral("usermod -aG dialout")));
        }
    }
    {
        MainRig rig; // a port typed by name ("com7": Port stays pnCustom) still shows its number
        rig.onPort = [](ScriptedPort& p) { p.setOpenError(TPortOpenError::NotFound); };
        rig.comChoicePort = 0;
        auto frm = rig.make();
        frm->cpDRV()->SetPortName(QStringLiteral("\\\\.\\COM7"));
        frm->Session().link.ReportLinkErrors = true;
        frm->ConnectDevice();
        ASSERT_EQ(rig.msgs.count(), 1);
        EXPECT_TRUE(rig.msgs.last().text.startsWith(QStringLiteral("Нет соединения c COM7\n")))
            << rig.msgs.last().text.toStdString();
    }
}

TEST(MainWindowConnection, IdentificationRefusedOrUnanswered)
{
    {
        MainRig rig; // exception answers: the device stays connected
        rig.onPort = [](ScriptedPort& p) {
            p.answerAlways(HexBytes("01 11"), [](const QByteArray&) { return WithCRC(HexBytes("01 91 01")); });
            // The configuration read is refused too (a shown configuration needs a known type).
            p.answerAlways(HexBytes("01 03 00 18"), [](const QByteArray&) { return WithCRC(HexBytes("01 83 02")); });
            MainRig::AnswerMeasurements(p, 1);
        };
        auto frm = rig.make();
        frm->Session().link.ReportLinkErrors = true;
        frm->ConnectDevice();
        EXPECT_TRUE(frm->IsConnected());
        EXPECT_EQ(rig.msgs.count(), 2);
        EXPECT_EQ(rig.msgs.last().kind, mkError);
        EXPECT_EQ(frm->tsInformation()->edSlaveID->text(), QString()) << "nothing shown from a refusal";
        EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Разорвать соединение"));
    }
    {
        MainRig rig; // silence: message, disconnect, empty page
        auto frm = rig.make();
        frm->Session().link.ReportLinkErrors = true;
        frm->ConnectDevice();
        EXPECT_FALSE(frm->IsConnected());
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Прибор номер 1 не найден.")});
        EXPECT_EQ(frm->StatusPanelText(0), kNotConnected);
        EXPECT_EQ(frm->tsInformation()->meSensorDate->displayText(), QStringLiteral("  .  .    "));
        EXPECT_EQ(rig.port()->writeCount(), 2) << "RepeatNum 2";
    }
}

TEST(MainWindowConnection, PortNumberFromName)
{
    MainRig rig;
    auto frm = rig.make();
    EXPECT_EQ(frm->PortNumberFromName(), 1);
    frm->cpDRV()->SetPortName(QStringLiteral("//./COM12"));
    EXPECT_EQ(frm->PortNumberFromName(), 12);
    frm->cpDRV()->SetPort(3);
    EXPECT_EQ(frm->PortNumberFromName(), 3);
    frm->cpDRV()->SetPortName(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(frm->PortNumberFromName(), 0) << "a name without a COM number";
}

TEST(MainWindowClose, PromptsThenSavesSettings)
{
    {
        MainRig rig; // changed while disconnected
        auto frm = rig.make();
        frm->SetInfoModified(true);
        frm->close();
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Соединение не установлено. Изменения не сохранены.")});
        EXPECT_TRUE(rig.iniContent().contains("[Defaults]"));
    }
    {
        MainRig rig; // declined: the last read values are put back
        auto frm = Connected(rig);
        frm->tsInformation()->edSensorType->setText(QStringLiteral("другой"));
        Leave(frm->tsInformation()->edSensorType);
        frm->SetInfoModified(true);
        rig.msgs.answer(mrNo);
        const int writes = rig.port()->writeCount();
        frm->close();
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Записать изменения информации в память преобразователя?")});
        EXPECT_EQ(frm->tsInformation()->edSensorType->text(), QStringLiteral("ТСП 100П"));
        EXPECT_EQ(rig.port()->writeCount(), writes);
    }
    {
        MainRig rig; // accepted: written, then the settings
        auto frm = Connected(rig);
        frm->Session().Transducer.SlaveID = 1;
        frm->SetInfoModified(true);
        rig.msgs.answer(mrYes);
        frm->close();
        EXPECT_EQ(rig.port()->lastWrite().left(2), HexBytes("01 10"));
        EXPECT_TRUE(rig.iniContent().contains("DefaultSlaveID=1"));
    }
}

TEST(MainWindowClose, TypedFieldThatWasNotLeftIsWrittenOnYes)
{
    {
        MainRig rig; // the number typed last goes out with the write the user confirmed
        auto frm = Connected(rig);
        TInformationPage* page = frm->tsInformation();
        QTest::keyClicks(page->edSensorType, QStringLiteral("-B"));
        Leave(page->edSensorType);
        page->edSensorNum->clear();
        QTest::keyClicks(page->edSensorNum, QStringLiteral("4242"));
        rig.msgs.answer(mrYes);
        frm->close();
        EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Записать изменения информации в память преобразователя?")});
        const QByteArray req = rig.port()->lastWrite();
        ASSERT_EQ(req.size(), 41);
        EXPECT_EQ(req.mid(31, 4), HexBytes("00 00 10 92"));
        EXPECT_EQ(req.mid(7, 10), QByteArray("\xD2\xD1\xCF 100\xCF-B", 10)) << "the field left before stays";
    }
    {
        MainRig rig; // a typed date that is no date: its own message, then the write refuses
        auto frm = Connected(rig);
        TInformationPage* page = frm->tsInformation();
        page->meSensorDate->clear();
        QTest::keyClicks(page->meSensorDate, QStringLiteral("3102"));
        rig.msgs.answer(mrOk);
        rig.msgs.answer(mrYes);
        const int writes = rig.port()->writeCount();
        frm->close();
        EXPECT_EQ(rig.msgs.texts(), (QStringList{QStringLiteral("Неправильно указана дата."),
                                                 QStringLiteral("Записать изменения информации в память преобразователя?"),
                                                 QStringLiteral("Вы забыли указать дату.")}));
        EXPECT_EQ(rig.port()->writeCount(), writes);
    }
    {
        MainRig rig; // the field is checked as on leaving it; "Нет" still puts the values read back
        auto frm = Connected(rig);
        TInformationPage* page = frm->tsInformation();
        page->edSensorNum->clear();
        QTest::keyClicks(page->edSensorNum, QStringLiteral("abc"));
        rig.msgs.answer(mrOk);
        rig.msgs.answer(mrNo);
        frm->close();
        EXPECT_EQ(rig.msgs.texts(), (QStringList{QStringLiteral("Недопустимое значение номера датчика"),
                                                 QStringLiteral("Записать изменения информации в память преобразователя?")}));
        EXPECT_EQ(page->edSensorNum->text(), QStringLiteral("12345"));
    }
}

TEST(MainWindowClose, UnusableSettingsFileIsToldAtStartAndLeftAlone)
{
    for (const bool pipe : {true, false}) {
        MainRig rig;
        QByteArray junk("[Defaults]\r\nConnectBeforeRun=1\r\n\0\0\x01", 35);
        if (pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(rig.iniPath()).constData(), 0600), 0);
        else
            MainRig::writeFile(rig.iniPath(), junk);
        auto frm = rig.make(); // a pipe without a writer would hang here
        ASSERT_EQ(rig.msgs.texts().size(), 1);
        EXPECT_TRUE(rig.msgs.last().text.contains(rig.iniPath())) << rig.msgs.last().text.toStdString();
        EXPECT_TRUE(rig.msgs.last().text.contains(pipe ? QStringLiteral("канал") : QStringLiteral("не текст")));
        EXPECT_EQ(rig.comChoices, 0) << "defaults: no connection at start";
        EXPECT_EQ(frm->cpDRV()->PortName(), QStringLiteral("//./COM1"));
        frm->close();
        EXPECT_EQ(rig.msgs.texts().size(), 1) << "nothing more to say at close";
        if (pipe)
            EXPECT_FALSE(QFileInfo(rig.iniPath()).isFile());
        else
            EXPECT_EQ(rig.iniContent(), junk);
    }
}

TEST(MainWindowClose, FailedSaveIsToldAndTheWindowStillCloses)
{
    MainRig rig("[Defaults]\r\nRepeatNum=3\r\n");
    auto frm = rig.make();
    ASSERT_TRUE(rig.msgs.isEmpty());
    // Replaced by a pipe while the program ran.
    ASSERT_TRUE(QFile::remove(rig.iniPath()));
    ASSERT_EQ(mkfifo(QFile::encodeName(rig.iniPath()).constData(), 0600), 0);
    bool closed = false;
    QObject::connect(frm.get(), &TfrmMain::closed, [&] { closed = true; });
    frm->close();
    EXPECT_TRUE(closed);
    ASSERT_EQ(rig.msgs.texts().size(), 1);
    EXPECT_EQ(rig.msgs.last().kind, mkError);
    EXPECT_TRUE(rig.msgs.last().text.startsWith(QStringLiteral("Настройки не сохранены")));
    EXPECT_TRUE(rig.msgs.last().text.contains(rig.iniPath()));
    EXPECT_FALSE(QFileInfo(rig.iniPath()).isFile());
}

TEST(MainWindowStartup, SchemeErrorSaysWhichFileAndWhy)
{
    MainRig rig({}, QByteArray());
    const QString scheme = rig.progDir + QStringLiteral("/ColorSchemas/Standart.rbs");
    ASSERT_TRUE(QDir().mkdir(scheme));
    auto frm = rig.make();
    ASSERT_EQ(rig.errorBoxes.size(), 1);
    EXPECT_EQ(rig.errorBoxes[0], QStringLiteral("File not exists!\n") + scheme + QStringLiteral(": это папка, а не файл"));
    EXPECT_TRUE(frm->StartupCutShort());
}
