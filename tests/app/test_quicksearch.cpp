// The device search's quick first pass (on by default) and its fallback to the
// full scan, on a scripted line and a virtual clock.
#include "MainRig.h"

#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "app/ViewStatusFrm.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

constexpr double kQuickTryMs = 250 + 4 * 11 * 1000.0 / 1200.0; // window + the request on the line
const QString kNoneFound = QStringLiteral("Ниодного прибора не найдено.");

QString SearchText(int address)
{
    return QStringLiteral("Поиск прибора до первого найденного\nСОМ-порт СОМ1 адрес %1.").arg(address);
}

struct Tries {
    QList<int> addresses;  // byte 0 of each identification request
    QList<double> at;      // its virtual time, ms
    QStringList texts;     // the status window's text then
    QList<int> positions;  // the progress bar then
    int of(int address) const { return int(addresses.count(address)); }
};

// Every identification is logged; only `device` (0: none) answers, `delayMs` after the request.
void Script(MainRig& rig, Tries& log, TfrmMain** frm, uint8_t device = 0, uint32_t delayMs = 20,
            std::function<void(int address)> onTry = {})
{
    rig.onPort = [&log, frm, device, delayMs, onTry](ScriptedPort& p) {
        auto logIt = [&log, frm, &p, onTry](const QByteArray& q) {
            TfrmViewStatus* status = (*frm)->ViewStatus();
            log.addresses << uint8_t(q[0]);
            log.at << p.clock().elapsedMs();
            log.texts << status->Text();
            log.positions << status->RbProgressBar->Position();
            if (onTry)
                onTry(uint8_t(q[0]));
        };
        auto identify = [](const QByteArray& q) { return q.size() == 4 && q[1] == 0x11; };
        if (device) {
            AnswerConfigurationReads(p, device);
            MainRig::AnswerMeasurements(p, device);
            p.answerAlways([identify, device](const QByteArray& q) { return identify(q) && uint8_t(q[0]) == device; },
                           [logIt, device](const QByteArray& q) {
                               logIt(q);
                               return SampleIdentifyAnswer(device);
                           },
                           delayMs);
        }
        p.answerAlways(identify, [logIt](const QByteArray& q) {
            logIt(q);
            return QByteArray();
        });
    };
}

} // namespace

TEST(QuickSearch, SkipsSilentAddressesAndFindsTheDevice)
{
    MainRig rig;
    Tries log;
    TfrmMain* raw = nullptr;
    Script(rig, log, &raw, 5);
    auto frm = rig.make();
    raw = frm.get();
    EXPECT_TRUE(frm->Settings().QuickSearch) << "on by default";
    frm->findChild<QAction*>(QStringLiteral("actFindFirst"))->trigger();

    ASSERT_TRUE(frm->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    // One request per empty address; 5 is found, then identified again by the connection.
    EXPECT_EQ(log.addresses, (QList<int>{1, 2, 3, 4, 5, 5}));
    for (int i = 1; i < 5; ++i)
        EXPECT_NEAR(log.at[i] - log.at[i - 1], kQuickTryMs, 2) << "address " << log.addresses[i];
    EXPECT_EQ(log.texts.mid(0, 5), (QStringList{SearchText(1), SearchText(2), SearchText(3), SearchText(4),
                                                SearchText(5)}));
    EXPECT_EQ(log.positions.mid(0, 5), (QList<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 5);
    EXPECT_EQ(frm->cpDRV()->InputTimeout, 1000u);
    EXPECT_EQ(frm->Session().link.FirstByteWindow, 0u) << "later exchanges wait as usual";
    EXPECT_FALSE(frm->ViewStatus()->isVisible());
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(QuickSearch, ASlowDeviceIsFoundByTheFullScanAfterAnEmptyQuickPass)
{
    MainRig rig;
    Tries log;
    TfrmMain* raw = nullptr;
    Script(rig, log, &raw, 3, 400); // begins answering after the quick window
    auto frm = rig.make();
    raw = frm.get();
    frm->SearchFirstDevice();

    ASSERT_TRUE(frm->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    QList<int> expected;
    for (int a = 1; a <= 255; ++a)
        expected << a;
    expected << 1 << 1 << 2 << 2 << 3 << 3;
    EXPECT_EQ(log.addresses, expected);
    EXPECT_NEAR(log.at[255], 255 * kQuickTryMs, 255 * 2) << "the quick pass over all addresses";
    EXPECT_EQ(log.positions[255], 2) << "the bar starts again for the full scan";
    EXPECT_EQ(log.texts[255], SearchText(1));
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 3);
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(QuickSearch, NothingInEitherPassEndsWithTheMessage)
{
    MainRig rig("[Defaults]\r\nDefaultSlaveID=9\r\nRepeatNum=2\r\n");
    Tries log;
    TfrmMain* raw = nullptr;
    Script(rig, log, &raw);
    auto frm = rig.make();
    raw = frm.get();
    frm->SearchFirstDevice();

    EXPECT_EQ(log.addresses.size(), 255 + 2 * 255);
    EXPECT_EQ(log.of(255), 3);
    EXPECT_EQ(rig.msgs.texts(), QStringList{kNoneFound});
    EXPECT_EQ(frm->Session().Transducer.SlaveID, 9);
    EXPECT_FALSE(frm->IsConnected());
    EXPECT_EQ(frm->cpDRV()->InputTimeout, 1000u);
}

TEST(QuickSearch, StopInEitherPass)
{
    // In the quick pass: the try of 17 completes, nothing follows.
    {
        MainRig rig;
        Tries log;
        TfrmMain* raw = nullptr;
        Script(rig, log, &raw, 0, 20, [&raw](int address) {
            if (address == 17)
                raw->ViewStatus()->btnStop->Click();
        });
        auto frm = rig.make();
        raw = frm.get();
        frm->SearchFirstDevice();
        EXPECT_EQ(log.addresses.size(), 17);
        EXPECT_EQ(log.addresses.last(), 17);
        EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
        EXPECT_EQ(frm->Session().Transducer.SlaveID, 17);
        EXPECT_EQ(frm->cpDRV()->InputTimeout, 1000u);
        EXPECT_EQ(frm->Session().link.FirstByteWindow, 0u);
        EXPECT_FALSE(frm->ViewStatus()->isVisible());
    }
    // In the full scan: address 2's second round completes (both attempts), then the search ends.
    {
        MainRig rig;
        Tries log;
        TfrmMain* raw = nullptr;
        int tries2 = 0;
        Script(rig, log, &raw, 0, 20, [&raw, &tries2](int address) {
            if (address == 2 && ++tries2 == 2)
                raw->ViewStatus()->btnStop->Click();
        });
        auto frm = rig.make();
        raw = frm.get();
        frm->SearchFirstDevice();
        EXPECT_EQ(log.addresses.size(), 255 + 4);
        EXPECT_EQ(log.of(2), 3);
        EXPECT_EQ(log.addresses.last(), 2);
        EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
        EXPECT_EQ(frm->Session().Transducer.SlaveID, 2);
        EXPECT_FALSE(frm->IsConnected());
    }
}
