#include "app/CalibrationPage.h"
#include "app/Records.h"
#include "DiagRig.h"
#include "PageRig.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ProtocolPage, OfferedAfterStageSevenUntilTheNextCalibrationStarts)
{
    PageRig rig;
    rig.onPort = [](ScriptedPort& p) {
        p.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
        AnswerAsDevice(p);
    };
    rig.make();
    ASSERT_TRUE(rig.connect());
    rig.session().Transducer.SensorNum = 40512;
    rig.session().Transducer.SensorTypeText = QStringLiteral("ТСП 100П");
    TCalibrationPage& page = *rig.pages->tsCalobration();
    rig.ctrl->Calibration().Today = [] { return QDate(2026, 12, 9); };
    rig.ctrl->Calibration().Now = [] { return QDateTime(QDate(2026, 12, 9), QTime(10, 30)); };
    QList<TCalibrationRecord> saved;
    QObject::connect(&page, &TCalibrationPage::protocolSaveRequested, [&](const TCalibrationRecord& r) { saved << r; });
    EXPECT_TRUE(page.btnSaveProtocol->isHidden());

    for (int press = 0; press < 5; ++press)
        page.btnBeginCalibrClick();
    page.rseCalibrCur->setValue(4.012); // measured at the 4 mA point
    page.rseCalibrCurExit();
    page.btnBeginCalibrClick();
    EXPECT_TRUE(page.btnSaveProtocol->isHidden()) << "not before stage 7 is accepted";
    page.btnBeginCalibrClick();
    page.btnBeginCalibrClick();
    ASSERT_EQ(rig.session().State.CalibrStage, 0);
    EXPECT_FALSE(page.btnSaveProtocol->isHidden());

    page.btnSaveProtocol->Click();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0].current5, 4012);
    EXPECT_EQ(saved[0].current6, 20000);
    EXPECT_EQ(saved[0].transducer.SensorNum, 40512);
    EXPECT_EQ(saved[0].transducer.CalibrDate, DateValueFromQDate(QDate(2026, 12, 9)));
    EXPECT_EQ(saved[0].finished, QDateTime(QDate(2026, 12, 9), QTime(10, 30)));

    page.btnBeginCalibrClick(); // a new calibration starts
    EXPECT_TRUE(page.btnSaveProtocol->isHidden());
    EXPECT_FALSE(rig.ctrl->HasCalibrationProtocol());

    // Stages 1 to 6 accepted, stage 7 refused: no protocol.
    rig.port()->clearRules();
    for (int press = 0; press < 6; ++press) {
        rig.port()->answerOnce(HexBytes("01 4D"), ShortAnswer(0x4D));
        page.btnBeginCalibrClick();
    }
    rig.port()->answerOnce(HexBytes("01 4D"), ShortAnswer(0x00, 11));
    page.btnBeginCalibrClick();
    EXPECT_EQ(rig.session().State.CalibrStage, 7);
    EXPECT_TRUE(page.btnSaveProtocol->isHidden());
}

TEST(ProtocolPage, RecordsWriteThePdfWhereTheUserChose)
{
    RecordingMessages messages;
    VirtualClock clock;
    TTransducerController ctrl(&clock, std::make_unique<ScriptedPort>(clock));
    ctrl.SetMessageDialog(&messages);
    TRecords records(ctrl, nullptr);
    QTemporaryDir dir;
    QString path;
    QString suggestedName;
    records.SaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
        suggestedName = suggested;
        return path;
    };
    TCalibrationRecord record;
    record.transducer.SensorNum = 7;
    record.transducer.PLType = 'M';
    record.finished = QDateTime(QDate(2026, 12, 9), QTime(11, 0));

    EXPECT_FALSE(records.SaveProtocol(record)); // cancelled
    EXPECT_EQ(suggestedName, QStringLiteral("protokol_7_20261209.pdf"));

    path = dir.filePath(suggestedName);
    ASSERT_TRUE(records.SaveProtocol(record));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
    EXPECT_TRUE(messages.isEmpty());

    path = dir.filePath(QStringLiteral("missing/p.pdf"));
    EXPECT_FALSE(records.SaveProtocol(record));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().kind, mkError);
}
