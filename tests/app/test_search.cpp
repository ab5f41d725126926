// The device search on the controller over a scripted line and a virtual
// clock, the connect dialog that starts it, and what of it is the main window's.
#include "MainRig.h"
#include "PageRig.h"

#include "app/COMChoiceFrm.h"
#include "app/ConnectFrm.h"
#include "FitCheck.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "app/ViewStatusFrm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kNoneFound = QStringLiteral("Ниодного прибора не найдено.");

QString SearchText(int address)
{
    return QStringLiteral("Поиск прибора до первого найденного\nСОМ-порт СОМ1 адрес %1.").arg(address);
}

// What the status window showed at each identification request.
struct SearchLog {
    QList<int> addresses;      // byte 0 of each function-17 request
    QStringList texts;         // Label1 at that moment
    QList<uint32_t> timeouts;  // the driver's input time-out then
    QList<int> positions;      // the progress bar then
    bool barShown = true;
    bool stopShown = true;
};

// Logs every identification; `device` (0: none) answers as the sample device.
void ScriptSearch(SearchRig& rig, SearchLog& log, uint8_t device = 0)
{
    SearchRig* r = &rig;
    rig.onPort = [&log, r, device](ScriptedPort& p) {
        if (device)
            AnswerAsDevice(p, device);
        p.answerAlways([](const QByteArray& q) { return q.size() == 4 && q[1] == 0x11; },
                       [&log, r](const QByteArray& q) {
                           TfrmViewStatus* status = r->status();
                           log.addresses << uint8_t(q[0]);
                           log.texts << status->Text();
                           log.timeouts << r->ctrl->Driver()->InputTimeout;
                           log.positions << status->RbProgressBar->Position();
                           log.barShown = log.barShown && status->RbProgressBar->isVisible();
                           log.stopShown = log.stopShown && status->btnStop->isVisible();
                           return QByteArray();
                       });
    };
}

} // namespace

// The full scan alone, as a line with slow devices runs it.
const QByteArray kFullScanOnly = "[Defaults]\r\nQuickSearch=0\r\n";

TEST(DeviceSearch, FindsTheDeviceAtAddress5)
{
    SearchRig rig(kFullScanOnly);
    SearchLog log;
    ScriptSearch(rig, log, 5);
    rig.make();
    rig.ctrl->SearchFirstDevice();

    ASSERT_TRUE(rig.ctrl->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(rig.comChoices, 1) << "the port was known by name only";
    EXPECT_EQ(log.addresses, (QList<int>{1, 1, 2, 2, 3, 3, 4, 4})) << "each empty address tried RepeatNum times";
    EXPECT_EQ(log.texts.last(), SearchText(4));
    EXPECT_EQ(log.timeouts, QList<uint32_t>(8, 500));
    EXPECT_EQ(log.positions.first(), 2);
    EXPECT_EQ(log.positions.last(), 5);
    EXPECT_TRUE(log.barShown);
    EXPECT_TRUE(log.stopShown);

    // Found: the connection identifies again and reads the configuration.
    QList<QByteArray> at5;
    for (const TRecordedWrite& w : rig.port()->writes())
        if (uint8_t(w.bytes[0]) == 5)
            at5 << w.bytes.left(2);
    ASSERT_GE(at5.size(), 3);
    EXPECT_EQ(at5[0], HexBytes("05 11"));
    EXPECT_EQ(at5[1], HexBytes("05 11"));
    EXPECT_EQ(at5[2], HexBytes("05 03"));
    EXPECT_EQ(rig.status()->Text(), SearchText(5)) << "address 5 was shown last";
    EXPECT_FALSE(rig.status()->isVisible());
    EXPECT_FALSE(rig.status()->RbProgressBar->isVisibleTo(rig.status()));
    EXPECT_FALSE(rig.status()->btnStop->isVisibleTo(rig.status()));
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
    EXPECT_EQ(rig.session().Transducer.SlaveID, 5);
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
    // Four empty addresses of two 1,5 s attempts each before the device.
    for (const TRecordedWrite& w : rig.port()->writes()) {
        if (w.bytes.left(2) == HexBytes("05 11")) {
            EXPECT_NEAR(w.atMs(), 4 * 2 * 1500, 100);
            break;
        }
    }
}

// The menu's "find the first" searches and renames the connect action.
TEST(DeviceSearch, FindFirstActionConnectsAndNamesTheDisconnect)
{
    MainRig rig(kFullScanOnly);
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p, 3); };
    auto frm = rig.make();
    QAction* connect = frm->findChild<QAction*>(QStringLiteral("actConnect"));
    EXPECT_NE(connect->text(), QStringLiteral("Разорвать соединение"));
    frm->findChild<QAction*>(QStringLiteral("actFindFirst"))->trigger();
    ASSERT_TRUE(frm->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 3);
    EXPECT_EQ(rig.comChoices, 1);
    EXPECT_EQ(connect->text(), QStringLiteral("Разорвать соединение"));
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

// "Ok" on the port the window shows is a choice: the search that follows
// does not ask again when it has found the device and connects to it.
TEST(DeviceSearch, PortWindowOkWithTheShownEntryIsAskedOnce)
{
    MainRig rig;
    rig.onPort = [](ScriptedPort& p) {
        MainRig::AnswerAsDevice(p, 2);
        p.answerAlways([](const QByteArray& q) { return q.size() == 4 && q[1] == 0x11; },
                       [](const QByteArray&) { return QByteArray(); });
    };
    rig.comChoicePort = 0; // the window's own choice, not the rig's
    rig.onComChoice = [](TfrmMain& f) {
        TfrmCOMChoice* dlg = f.COMChoice();
        dlg->DeviceSource = [](const TComPortMap&) { return QVector<TSerialDevice>{{"/dev/ttyS0", {}, {}, {}}}; };
        QTimer::singleShot(0, dlg, [dlg] { dlg->Button1->click(); });
        dlg->exec();
    };
    auto frm = rig.make();
    frm->findChild<QAction*>(QStringLiteral("actFindFirst"))->trigger();
    ASSERT_TRUE(frm->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(rig.comChoices, 1);
    EXPECT_EQ(frm->cpDRV()->Port(), 1);
}

TEST(DeviceSearch, NoDeviceScansAll255AddressesInAbout13Minutes)
{
    SearchRig rig("[Defaults]\r\nDefaultSlaveID=9\r\nRepeatNum=2\r\nQuickSearch=0\r\n");
    SearchLog log;
    ScriptSearch(rig, log);
    rig.make();
    const double start = rig.clock.elapsedMs();
    rig.ctrl->SearchFirstDevice();

    ASSERT_EQ(log.addresses.size(), 510);
    QList<int> expected;
    QStringList texts;
    for (int a = 1; a <= 255; ++a) {
        expected << a << a;
        texts << SearchText(a) << SearchText(a);
    }
    EXPECT_EQ(log.addresses, expected);
    EXPECT_EQ(log.texts, texts);
    EXPECT_EQ(log.positions.last(), 255);
    EXPECT_EQ(rig.msgs.texts(), QStringList{kNoneFound});
    EXPECT_EQ(rig.msgs.last().kind, mkWarning);
    EXPECT_EQ(rig.session().Transducer.SlaveID, 9) << "the last good address";
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_FALSE(rig.status()->isVisible());
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
    const double minutes = (rig.clock.elapsedMs() - start) / 60000.0;
    EXPECT_NEAR(minutes, 12.75, 0.25) << "255 addresses x 2 attempts x (1000 ms wait + 500 ms read)";
}

TEST(DeviceSearch, StopDuringAddress17)
{
    SearchRig rig(kFullScanOnly);
    int tries17 = 0;
    rig.onPort = [&rig, &tries17](ScriptedPort& p) {
        p.answerAlways(HexBytes("11 11"), [&rig, &tries17](const QByteArray&) {
            if (++tries17 == 1)
                rig.status()->btnStop->Click();
            return QByteArray();
        });
    };
    rig.make();
    rig.ctrl->SearchFirstDevice();

    EXPECT_EQ(tries17, 2) << "the try of 17 completes";
    EXPECT_EQ(rig.port()->lastWrite().left(2), HexBytes("11 11")) << "18 is never tried";
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
    EXPECT_EQ(rig.session().Transducer.SlaveID, 17);
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
    EXPECT_FALSE(rig.status()->isVisible());
    EXPECT_FALSE(rig.status()->btnStop->isVisibleTo(rig.status()));
    EXPECT_FALSE(rig.ctrl->IsConnected());

    // A new search starts afresh.
    rig.port()->clearRules();
    AnswerAsDevice(*rig.port(), 1);
    rig.ctrl->SearchFirstDevice();
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.session().Transducer.SlaveID, 1);
}

TEST(DeviceSearch, ClosingTheWindowEndsTheScan)
{
    MainRig rig(kFullScanOnly);
    TfrmMain* raw = nullptr;
    int tries9 = 0;
    rig.onPort = [&raw, &tries9](ScriptedPort& p) {
        p.answerAlways(HexBytes("09 11"), [&raw, &tries9](const QByteArray&) {
            if (++tries9 == 1)
                raw->close();
            return QByteArray();
        });
    };
    auto frm = rig.make();
    raw = frm.get();
    frm->show();
    frm->SearchFirstDevice();
    EXPECT_EQ(rig.port()->lastWrite().left(2), HexBytes("09 11")) << "10 is never tried";
    EXPECT_FALSE(frm->isVisible());
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
}

TEST(DeviceSearch, WhileConnectedAsksFirst)
{
    SearchRig rig;
    rig.onPort = [](ScriptedPort& p) {
        AnswerAsDevice(p, 1);
        // Address 2 refuses the identification: an answer all the same.
        p.answerAlways(HexBytes("02 11"), [](const QByteArray&) { return WithCRC(HexBytes("02 91 01")); });
        AnswerConfigurationReads(p, 2);
    };
    rig.make();
    ASSERT_TRUE(rig.connect());
    const int writes = rig.port()->writeCount();
    rig.msgs.answer(mrNo);
    rig.ctrl->SearchFirstDevice();
    EXPECT_EQ(rig.msgs.texts(), QStringList{QStringLiteral("Разорвать установленное соединение?")});
    EXPECT_EQ(rig.msgs.last().kind, mkConfirmation);
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.port()->writeCount(), writes);

    // "Да", and the device at 1 is gone: the refusal at 2 ends the search.
    rig.msgs.clear();
    rig.port()->clearRules();
    rig.port()->answerAlways(HexBytes("02 11"), [](const QByteArray&) { return WithCRC(HexBytes("02 91 01")); });
    AnswerConfigurationReads(*rig.port(), 2);
    rig.msgs.answer(mrYes);
    rig.ctrl->SearchFirstDevice();
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.session().Transducer.SlaveID, 2);
    EXPECT_FALSE(rig.msgs.contains(kNoneFound));
}

TEST(DeviceSearch, AtStartupWithToFirst)
{
    MainRig rig("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toFirst\r\n");
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p, 2); };
    auto frm = rig.make();
    EXPECT_TRUE(frm->IsConnected());
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 2);
    EXPECT_EQ(frm->Settings().DefaultSlaveID, 2);
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
    EXPECT_EQ(frm->findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Разорвать соединение"));
}

TEST(ConnectDialog, ListsTheAddressesAndSelectsTheCurrentOne)
{
    SearchRig rig;
    rig.make();
    auto* dlg = new TfrmConnect(*rig.ctrl, rig.look, rig.window.get());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Установка соединения"));

    rig.session().Transducer.SlaveID = 0;
    dlg->FormShow();
    ASSERT_EQ(dlg->cbPL_ID->count(), 255);
    EXPECT_EQ(dlg->cbPL_ID->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(dlg->cbPL_ID->itemText(254), QStringLiteral("255"));
    EXPECT_EQ(dlg->cbPL_ID->currentIndex(), -1);

    rig.session().Transducer.SlaveID = 17;
    dlg->FormShow();
    EXPECT_EQ(dlg->cbPL_ID->count(), 255) << "refilled, not added to";
    EXPECT_EQ(dlg->cbPL_ID->currentText(), QStringLiteral("17"));
}

TEST(ConnectDialog, RefusesAnAddressThatIsNoNumberAndStaysOpen)
{
    SearchRig rig;
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p, 12); };
    rig.make();
    auto* dlg = new TfrmConnect(*rig.ctrl, rig.look, rig.window.get());
    int refusals = 0;
    QTimer::singleShot(0, [&] {
        for (const char* text : {"abc", "", "12x", "0", "256"}) {
            dlg->cbPL_ID->setEditText(QString::fromLatin1(text));
            dlg->btnFindClick();
            if (dlg->isVisible())
                ++refusals;
        }
        dlg->cbPL_ID->setEditText(QStringLiteral(" 12 "));
        dlg->btnFindClick();
    });
    const int result = dlg->exec();

    EXPECT_EQ(refusals, 5) << "the dialog stayed open each time";
    ASSERT_EQ(rig.msgs.count(), 5);
    EXPECT_TRUE(rig.msgs.all()[0].text.contains(QStringLiteral("от 1 до 255"))) << rig.msgs.all()[0].text.toStdString();
    EXPECT_EQ(rig.msgs.all()[0].kind, mkError);
    EXPECT_EQ(result, int(QDialog::Accepted));
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.session().Transducer.SlaveID, 12);
    EXPECT_EQ(rig.port()->writes().first().bytes.left(2), HexBytes("0C 11")) << "no request before a good address";
}

TEST(ConnectDialog, FindFirstClosesTheDialogThenSearches)
{
    SearchRig rig;
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p, 1); };
    rig.make();
    auto* dlg = new TfrmConnect(*rig.ctrl, rig.look, rig.window.get());
    bool dialogShownDuringSearch = true;
    QTimer::singleShot(0, [&] { dlg->btnFindFirst->Click(); });
    rig.onComChoice = [&] { dialogShownDuringSearch = dlg->isVisible(); };
    dlg->exec();
    EXPECT_EQ(rig.comChoices, 1);
    EXPECT_FALSE(dialogShownDuringSearch) << "the status window's Стоп! must be reachable";
    EXPECT_TRUE(rig.ctrl->IsConnected());
}

TEST(ConnectDialog, TextsFitAtTheProgramFont)
{
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    {
        SearchRig rig;
        rig.make();
        auto* dlg = new TfrmConnect(*rig.ctrl, rig.look, rig.window.get());
        dlg->show();
        QCoreApplication::processEvents();
        const QStringList bad = TextsThatDoNotFit(dlg);
        EXPECT_TRUE(bad.isEmpty()) << bad.join(QStringLiteral(" | ")).toStdString();
        SaveShot(dlg, QStringLiteral("connect.png"));
        dlg->hide();

        // The status window as the search shows it at its longest address.
        TfrmViewStatus* status = rig.status();
        status->SetText(SearchText(255));
        status->RbProgressBar->SetMax(255);
        status->RbProgressBar->SetMin(1);
        status->RbProgressBar->SetPosition(128);
        status->RbProgressBar->show();
        status->btnStop->show();
        status->ShowStatus();
        QCoreApplication::processEvents();
        const QStringList badStatus = TextsThatDoNotFit(status);
        EXPECT_TRUE(badStatus.isEmpty()) << badStatus.join(QStringLiteral(" | ")).toStdString();
        EXPECT_LE(status->Label1->geometry().bottom(), status->RbProgressBar->geometry().top());
        SaveShot(status, QStringLiteral("search-status.png"));
        status->hide();
    }
    QApplication::setFont(before);
}
