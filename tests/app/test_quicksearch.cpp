// The device search's quick first pass (on by default) and its fallback to the
// full scan, on the controller over a scripted line and a virtual clock.
#include "PageRig.h"

#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "app/ViewStatusFrm.h"

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
void Script(SearchRig& rig, Tries& log, uint8_t device = 0, uint32_t delayMs = 20,
            std::function<void(int address)> onTry = {})
{
    SearchRig* r = &rig;
    rig.onPort = [&log, r, device, delayMs, onTry](ScriptedPort& p) {
        auto logIt = [&log, r, &p, onTry](const QByteArray& q) {
            TfrmViewStatus* status = r->status();
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
            AnswerMeasurements(p, device);
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
    SearchRig rig;
    Tries log;
    Script(rig, log, 5);
    rig.make();
    EXPECT_TRUE(rig.settings.QuickSearch) << "on by default";
    rig.ctrl->SearchFirstDevice();

    ASSERT_TRUE(rig.ctrl->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    // One request per empty address; 5 is found, then identified again by the connection.
    EXPECT_EQ(log.addresses, (QList<int>{1, 2, 3, 4, 5, 5}));
    for (int i = 1; i < 5; ++i)
        EXPECT_NEAR(log.at[i] - log.at[i - 1], kQuickTryMs, 2) << "address " << log.addresses[i];
    EXPECT_EQ(log.texts.mid(0, 5), (QStringList{SearchText(1), SearchText(2), SearchText(3), SearchText(4),
                                                SearchText(5)}));
    EXPECT_EQ(log.positions.mid(0, 5), (QList<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(rig.session().Transducer.SlaveID, 5);
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
    EXPECT_EQ(rig.session().link.FirstByteWindow, 0u) << "later exchanges wait as usual";
    EXPECT_FALSE(rig.status()->isVisible());
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(QuickSearch, ASlowDeviceIsFoundByTheFullScanAfterAnEmptyQuickPass)
{
    SearchRig rig;
    Tries log;
    Script(rig, log, 3, 400); // begins answering after the quick window
    rig.make();
    rig.ctrl->SearchFirstDevice();

    ASSERT_TRUE(rig.ctrl->IsConnected()) << rig.msgs.texts().join('|').toStdString();
    QList<int> expected;
    for (int a = 1; a <= 255; ++a)
        expected << a;
    expected << 1 << 1 << 2 << 2 << 3 << 3;
    EXPECT_EQ(log.addresses, expected);
    EXPECT_NEAR(log.at[255], 255 * kQuickTryMs, 255 * 2) << "the quick pass over all addresses";
    EXPECT_EQ(log.positions[255], 2) << "the bar starts again for the full scan";
    EXPECT_EQ(log.texts[255], SearchText(1));
    EXPECT_EQ(rig.session().Transducer.SlaveID, 3);
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(QuickSearch, NothingInEitherPassEndsWithTheMessage)
{
    SearchRig rig("[Defaults]\r\nDefaultSlaveID=9\r\nRepeatNum=2\r\n");
    Tries log;
    Script(rig, log);
    rig.make();
    rig.ctrl->SearchFirstDevice();

    EXPECT_EQ(log.addresses.size(), 255 + 2 * 255);
    EXPECT_EQ(log.of(255), 3);
    EXPECT_EQ(rig.msgs.texts(), QStringList{kNoneFound});
    EXPECT_EQ(rig.session().Transducer.SlaveID, 9);
    EXPECT_FALSE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
}

TEST(QuickSearch, StopInEitherPass)
{
    // In the quick pass: the try of 17 completes, nothing follows.
    {
        SearchRig rig;
        Tries log;
        Script(rig, log, 0, 20, [&rig](int address) {
            if (address == 17)
                rig.status()->btnStop->Click();
        });
        rig.make();
        rig.ctrl->SearchFirstDevice();
        EXPECT_EQ(log.addresses.size(), 17);
        EXPECT_EQ(log.addresses.last(), 17);
        EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
        EXPECT_EQ(rig.session().Transducer.SlaveID, 17);
        EXPECT_EQ(rig.ctrl->Driver()->InputTimeout, 1000u);
        EXPECT_EQ(rig.session().link.FirstByteWindow, 0u);
        EXPECT_FALSE(rig.status()->isVisible());
    }
    // In the full scan: address 2's second round completes (both attempts), then the search ends.
    {
        SearchRig rig;
        Tries log;
        int tries2 = 0;
        Script(rig, log, 0, 20, [&rig, &tries2](int address) {
            if (address == 2 && ++tries2 == 2)
                rig.status()->btnStop->Click();
        });
        rig.make();
        rig.ctrl->SearchFirstDevice();
        EXPECT_EQ(log.addresses.size(), 255 + 4);
        EXPECT_EQ(log.of(2), 3);
        EXPECT_EQ(log.addresses.last(), 2);
        EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
        EXPECT_EQ(rig.session().Transducer.SlaveID, 2);
        EXPECT_FALSE(rig.ctrl->IsConnected());
    }
}
