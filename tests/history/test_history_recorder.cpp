#include "DiagRig.h"
#include "HistoryFixtures.h"

#include "device/Configuration.h"
#include "device/Information.h"
#include "passport/DeviceJson.h"
#include "passport/HistoryRecorder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A session on a scripted port, a history file, and the recorder between them.
class RecorderTest : public ::testing::Test {
protected:
    RecorderTest()
        : store(dir.path() + QStringLiteral("/history.sqlite"))
    {
        EXPECT_TRUE(store.Open()) << store.Error().toStdString();
        TTransducerData& t = rig.session.Transducer;
        t.SlaveID = 1;
        t.PLType = 'M';
        t.PLTypeText = QStringLiteral("ЗЕЛКОР-М");
        t.SensorTypeText = QStringLiteral("ТСП 100П");
        t.SensorNum = 12345;
        t.SensorDate = DateValueFromQDate(QDate(2005, 3, 15));
        t.SensorKind = 1;
        t.R0 = 100;
        t.BottomTempBound = -50;
        t.TopTempBound = 150;
        t.DirectLeadOut = true;
        t.AlarmCur = 1;
        rig.session.TransducerSnapshot = t;
        recorder.Now = [] { return QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC); };
        QObject::connect(&recorder, &THistoryRecorder::failed, [this](const QString& text) { failures << text; });
    }

    QList<THistoryRecord> records(const QString& kind = {})
    {
        THistoryFilter f;
        f.kind = kind;
        return store.Records(f);
    }

    QTemporaryDir dir;
    DiagRig rig;
    THistoryStore store;
    THistoryRecorder recorder{rig.session, &store};
    QStringList failures;
};

QJsonObject Change(const THistoryRecord& r, const QString& field)
{
    for (const QJsonValue& v : r.data.value(QStringLiteral("changes")).toArray()) {
        if (v.toObject().value(QStringLiteral("field")).toString() == field)
            return v.toObject();
    }
    return {};
}

TEST_F(RecorderTest, EveryRecordCarriesItsContext)
{
    emit rig.session.events.connected(rig.session.Transducer);
    const QList<THistoryRecord> all = records();
    ASSERT_EQ(all.size(), 1);
    const THistoryRecord& r = all[0];
    EXPECT_EQ(r.kind, QStringLiteral("connected"));
    EXPECT_EQ(r.time, QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(r.programVersion, ProgramVersion());
    EXPECT_FALSE(r.programVersion.isEmpty());
    EXPECT_EQ(r.port, rig.link.drv.PortName());
    EXPECT_EQ(r.address, 1);
    EXPECT_EQ(r.transducerType, QStringLiteral("M"));
    EXPECT_EQ(r.sensorNumber, 12345);
    const QJsonObject id = r.data.value(QStringLiteral("identity")).toObject();
    EXPECT_EQ(id.value(QStringLiteral("sensorType")).toString(), QStringLiteral("ТСП 100П"));
    EXPECT_EQ(id.value(QStringLiteral("sensorDate")).toString(), QStringLiteral("2005-03-15"));
    const QJsonObject conf = r.data.value(QStringLiteral("configuration")).toObject();
    EXPECT_EQ(conf.value(QStringLiteral("top")).toInt(), 150);
    EXPECT_EQ(conf.value(QStringLiteral("r0")).toInt(), 100);
}

TEST_F(RecorderTest, InformationWriteRecordsEachChangedFieldAndTheNewNumber)
{
    rig.link.port.answerAlways(HexBytes("01 10 00 08"), [](const QByteArray&) { return WithCRC(HexBytes("01 10 00 08 00 10")); });
    rig.session.Transducer.SensorNum = 104233;
    rig.session.Transducer.SensorTypeText = QStringLiteral("ТСП 50П");
    ASSERT_EQ(WriteInformation(rig.session), TOutcome::Success);

    const QList<THistoryRecord> all = records();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].kind, QStringLiteral("sensorNumberChanged"));
    EXPECT_EQ(all[0].sensorNumber, 104233);
    EXPECT_EQ(all[0].data.value(QStringLiteral("from")).toInt(), 12345);
    EXPECT_EQ(all[0].data.value(QStringLiteral("to")).toInt(), 104233);
    EXPECT_EQ(all[1].kind, QStringLiteral("informationWritten"));
    EXPECT_EQ(all[1].sensorNumber, 104233);
    EXPECT_EQ(Change(all[1], QStringLiteral("sensorType")).value(QStringLiteral("old")).toString(), QStringLiteral("ТСП 100П"));
    EXPECT_EQ(Change(all[1], QStringLiteral("sensorType")).value(QStringLiteral("new")).toString(), QStringLiteral("ТСП 50П"));
    EXPECT_TRUE(Change(all[1], QStringLiteral("sensorDate")).isEmpty()); // unchanged fields are not listed

    // A second write compares with what the first one left in the device.
    rig.session.Transducer.SensorTypeText = QStringLiteral("ТСП 100П");
    ASSERT_EQ(WriteInformation(rig.session), TOutcome::Success);
    const QList<THistoryRecord> again = records(QStringLiteral("informationWritten"));
    ASSERT_EQ(again.size(), 2);
    EXPECT_EQ(Change(again[1], QStringLiteral("sensorType")).value(QStringLiteral("old")).toString(), QStringLiteral("ТСП 50П"));
    EXPECT_TRUE(Change(again[1], QStringLiteral("sensorNumber")).isEmpty());
    EXPECT_EQ(records(QStringLiteral("sensorNumberChanged")).size(), 1);
}

TEST_F(RecorderTest, RefusedWritesAreNotRecordedAsWrites)
{
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 90 03")));
    rig.session.Transducer.SensorNum = 7;
    EXPECT_EQ(WriteInformation(rig.session), TOutcome::Refused);
    rig.link.port.answerOnce(HexBytes("01 10"), WithCRC(HexBytes("01 90 03")));
    rig.session.Transducer.TopTempBound = 200;
    EXPECT_EQ(WriteConfiguration(rig.session, 1), TOutcome::Refused);
    EXPECT_TRUE(records().isEmpty());
}

TEST_F(RecorderTest, ConfigurationWriteRecordsOldAndNewValuesAndTheAddress)
{
    rig.link.port.answerOnce(HexBytes("01 10 00 18"), WithCRC(HexBytes("01 10 00 18 00 08")));
    rig.session.Transducer.TopTempBound = 300;
    rig.session.Transducer.Average = 5;
    ASSERT_EQ(WriteConfiguration(rig.session, 7), TOutcome::Success);
    const QList<THistoryRecord> all = records();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].kind, QStringLiteral("configurationWritten"));
    EXPECT_EQ(all[0].address, 7);
    const QJsonArray changes = all[0].data.value(QStringLiteral("changes")).toArray();
    EXPECT_EQ(changes.size(), 3);
    EXPECT_EQ(Change(all[0], QStringLiteral("top")).value(QStringLiteral("old")).toInt(), 150);
    EXPECT_EQ(Change(all[0], QStringLiteral("top")).value(QStringLiteral("new")).toInt(), 300);
    EXPECT_EQ(Change(all[0], QStringLiteral("average")).value(QStringLiteral("new")).toInt(), 5);
    EXPECT_EQ(Change(all[0], QStringLiteral("address")).value(QStringLiteral("old")).toInt(), 1);
    EXPECT_EQ(Change(all[0], QStringLiteral("address")).value(QStringLiteral("new")).toInt(), 7);
}

TEST_F(RecorderTest, CalibrationRecordsEveryStageTheCurrentsTheDateAndTheOutcome)
{
    rig.calib.Today = [] { return QDate(2026, 12, 9); };
    rig.link.port.answerAlways(HexBytes("01 4D"), [](const QByteArray&) { return ShortAnswer(0x4D); });
    for (int i = 0; i < 5; ++i)
        rig.calib.BeginPressed(); // to stage 5
    rig.calView.current = 4.012;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    rig.calView.current = 19.987;
    rig.calib.CheckMeasuredCurrent();
    rig.calib.BeginPressed();
    rig.calib.BeginPressed(); // stage 7 with today's date
    ASSERT_EQ(rig.session.State.CalibrStage, 0);

    const QList<THistoryRecord> stages = records(QStringLiteral("calibrationStage"));
    ASSERT_EQ(stages.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(stages[i].data.value(QStringLiteral("stage")).toInt(), i + 1);
        EXPECT_TRUE(stages[i].data.value(QStringLiteral("accepted")).toBool());
    }
    EXPECT_EQ(stages[4].data.value(QStringLiteral("currentUa")).toInt(), 4012);
    EXPECT_EQ(stages[5].data.value(QStringLiteral("currentUa")).toInt(), 19987);
    EXPECT_EQ(stages[6].data.value(QStringLiteral("calibrationDate")).toString(), QStringLiteral("2026-12-09"));

    const QList<THistoryRecord> done = records(QStringLiteral("calibration"));
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done[0].data.value(QStringLiteral("current5")).toInt(), 4012);
    EXPECT_EQ(done[0].data.value(QStringLiteral("current6")).toInt(), 19987);
    EXPECT_EQ(done[0].data.value(QStringLiteral("calibrationDate")).toString(), QStringLiteral("2026-12-09"));
}

TEST_F(RecorderTest, RefusedStageAndCancelAreRecorded)
{
    rig.link.port.answerOnce(HexBytes("01 4D 01"), ShortAnswer(0xCD, 10));
    rig.link.port.answerAlways(HexBytes("01 4D 00"), [](const QByteArray&) { return ShortAnswer(0x4D); });
    rig.calib.BeginPressed();
    rig.calib.BeginPressed(); // stage 1 refused
    ASSERT_EQ(rig.session.State.CalibrStage, 1);
    rig.calib.CancelCalibration();

    const QList<THistoryRecord> all = records();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].kind, QStringLiteral("calibrationStage"));
    EXPECT_EQ(all[0].data.value(QStringLiteral("stage")).toInt(), 1);
    EXPECT_FALSE(all[0].data.value(QStringLiteral("accepted")).toBool());
    EXPECT_EQ(all[1].kind, QStringLiteral("calibrationCancelled"));
    EXPECT_EQ(all[1].data.value(QStringLiteral("stage")).toInt(), 1);
    EXPECT_EQ(all[2].kind, QStringLiteral("calibrationStage")); // the cancel request itself
    EXPECT_EQ(all[2].data.value(QStringLiteral("stage")).toInt(), 0);
}

TEST_F(RecorderTest, CorrectionsAndTheirResetsAreRecorded)
{
    rig.start();
    rig.link.port.answerOnce(HexBytes("01 4E 01"), ShortAnswer(0xCE, 13));
    rig.link.port.answerOnce(HexBytes("01 4E 00"), ShortAnswer(0x4E, 0));
    rig.link.messages.answer(mrYes); // reset the earlier correction
    rig.diag.CorrectR0(true);

    rig.link.port.answerOnce(HexBytes("01 4F 01 00 00"), ShortAnswer(0x4F, 0));
    rig.link.port.answerOnce(HexBytes("01 4F 02"), ShortAnswer(0x4F, 0));
    rig.link.messages.answerValue(mrYes, 99.5);
    rig.diag.CorrectNSX();

    const QList<THistoryRecord> all = records(QStringLiteral("correction"));
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].data.value(QStringLiteral("correction")).toString(), QStringLiteral("R0"));
    EXPECT_FALSE(all[0].data.value(QStringLiteral("reset")).toBool());
    EXPECT_EQ(all[0].data.value(QStringLiteral("result")).toInt(), 13);
    EXPECT_TRUE(all[1].data.value(QStringLiteral("reset")).toBool());
    EXPECT_TRUE(all[1].data.value(QStringLiteral("accepted")).toBool());
    EXPECT_EQ(all[2].data.value(QStringLiteral("correction")).toString(), QStringLiteral("NSX"));
    EXPECT_TRUE(all[2].data.value(QStringLiteral("accepted")).toBool());
    EXPECT_DOUBLE_EQ(all[2].data.value(QStringLiteral("enteredTemperature")).toDouble(), 99.5);
}

TEST_F(RecorderTest, VerificationIsRecordedWithEverythingItCarries)
{
    TVerificationResult v;
    v.transducer = rig.session.Transducer;
    v.stage = TVerifyStage::vsAsFound;
    v.decisionRule = QStringLiteral("|погрешность| ≤ допуск");
    TVerifyPoint p;
    p.temperature = 0;
    p.resistance = 100;
    p.expectedCurrent = 5.0;
    p.reading = 0.1;
    p.current = 5.01; // digitalError and the rest stay unknown
    p.pass = true;
    v.points << p;
    v.instruments << TInstrumentInfo{QStringLiteral("meter"), QStringLiteral("/dev/usbtmc0"), QStringLiteral("В7-78"),
                                     QStringLiteral("123"), QStringLiteral("С-1/2026"), QDate(2027, 1, 31)};
    v.complete = true;
    v.pass = true;
    emit rig.session.events.verificationDone(v);

    const QList<THistoryRecord> all = records();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].kind, QStringLiteral("verification"));
    EXPECT_TRUE(all[0].data.value(QStringLiteral("pass")).toBool());
    TVerificationResult back;
    ASSERT_TRUE(VerificationFromJson(all[0].data, &back));
    EXPECT_EQ(back.stage, TVerifyStage::vsAsFound);
    EXPECT_EQ(back.decisionRule, v.decisionRule);
    ASSERT_EQ(back.points.size(), 1);
    EXPECT_DOUBLE_EQ(back.points[0].current, 5.01);
    EXPECT_TRUE(std::isnan(back.points[0].digitalError));
    ASSERT_EQ(back.instruments.size(), 1);
    EXPECT_EQ(back.instruments[0].dueDate, QDate(2027, 1, 31));
    EXPECT_EQ(back.transducer.SensorNum, 12345);
    EXPECT_EQ(back.transducer.TopTempBound, 150);
}

TEST_F(RecorderTest, OffInTheSettingsRecordsNothing)
{
    recorder.SetEnabled(false);
    emit rig.session.events.connected(rig.session.Transducer);
    EXPECT_TRUE(records().isEmpty());
}

TEST_F(RecorderTest, AFailingStoreIsReportedOnceAndThenLeftAlone)
{
    THistoryStore readOnly(store.Path());
    ASSERT_TRUE(readOnly.Open(true));
    // A store that refuses writes is not recording at all: nothing to report per event.
    recorder.SetStore(&readOnly);
    EXPECT_FALSE(recorder.IsRecording());
    emit rig.session.events.connected(rig.session.Transducer);
    EXPECT_TRUE(failures.isEmpty());

    // One that fails underneath: the first failure is told, the rest are not tried.
    recorder.SetStore(&store);
    {
        SqlClient client(store.Path());
        ASSERT_EQ(client.exec(QStringLiteral("BEGIN EXCLUSIVE")), QString());
        store.Database().exec(QStringLiteral("PRAGMA busy_timeout = 10"));
        emit rig.session.events.connected(rig.session.Transducer);
        emit rig.session.events.connected(rig.session.Transducer);
        client.exec(QStringLiteral("ROLLBACK"));
    }
    EXPECT_EQ(failures.size(), 1);
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(recorder.RecordedCount(), 0);
}

} // namespace
