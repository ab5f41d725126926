// The state file: what a restart of the simulator keeps.
#include "SimTestUtil.h"

#include "common/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void ExpectSameState(const TSimState& a, const TSimState& b)
{
    EXPECT_EQ(a.address, b.address);
    EXPECT_EQ(a.typeCode, b.typeCode);
    EXPECT_EQ(a.typeText, b.typeText);
    EXPECT_EQ(a.sensorTypeText, b.sensorTypeText);
    EXPECT_EQ(a.sensorNumber, b.sensorNumber);
    EXPECT_EQ(a.sensorDate, b.sensorDate);
    EXPECT_EQ(a.sensorKind, b.sensorKind);
    EXPECT_EQ(a.r0Code, b.r0Code);
    EXPECT_EQ(a.bottomBound, b.bottomBound);
    EXPECT_EQ(a.topBound, b.topBound);
    EXPECT_EQ(a.outputCode, b.outputCode);
    EXPECT_EQ(a.alarmCode, b.alarmCode);
    EXPECT_EQ(a.averageCode, b.averageCode);
    EXPECT_EQ(a.calibrDate, b.calibrDate);
    EXPECT_EQ(a.r0Corrected, b.r0Corrected);
    EXPECT_DOUBLE_EQ(a.r0Offset, b.r0Offset);
    EXPECT_EQ(a.nsxCorrected, b.nsxCorrected);
    EXPECT_DOUBLE_EQ(a.nsxGain, b.nsxGain);
    EXPECT_DOUBLE_EQ(a.temperature, b.temperature);
    EXPECT_EQ(a.diagState, b.diagState);
}

} // namespace

TEST(SimStateFile, RoundTripKeepsEveryField)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sim.ini"));
    TSimState s = SampleState();
    s.typeCode = 'N';
    s.typeText = toCp1251(QStringLiteral("Зелкор \"Н\""));
    // leading space, a backslash, a control byte and a byte with no letter
    s.sensorTypeText = QByteArray(" a\\x41") + char(0x01) + char(0x98) + toCp1251(QStringLiteral("ТС Ё "));
    s.sensorNumber = -123456789;
    s.sensorDate = {0, 0, 0, 0}; // never set: the raw bytes must survive
    s.r0Corrected = true;
    s.r0Offset = -0.37;
    s.nsxCorrected = true;
    s.nsxGain = 1.0123456789;
    s.temperature = -12.5;
    s.diagState = 3;
    QString error;
    ASSERT_TRUE(SaveSimState(file, s, &error)) << error.toStdString();

    TSimState back = DefaultSimState();
    ASSERT_TRUE(LoadSimState(file, back, &error));
    ExpectSameState(back, s);
}

TEST(SimStateFile, MissingFileKeepsDefaultsAndDamagedKeysFallBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sim.ini"));
    TSimState s = DefaultSimState();
    QString error;
    ASSERT_TRUE(LoadSimState(file, s, &error));
    ExpectSameState(s, DefaultSimState());

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Identity]\r\nAddress=0\r\nTypeCode=X\r\n[Information]\r\nSensorNumber=12abc\r\n"
            "SensorDate=1.2\r\n[Configuration]\r\nTopBound=99999\r\nR0Code=2\r\n"
            "[Corrections]\r\nNSXGain=-3\r\n[Bench]\r\nTemperature=warm\r\nDiagState=1\r\n");
    f.close();
    TSimState d = DefaultSimState();
    ASSERT_TRUE(LoadSimState(file, d, &error));
    const TSimState def = DefaultSimState();
    EXPECT_EQ(d.address, def.address);
    EXPECT_EQ(d.typeCode, def.typeCode);
    EXPECT_EQ(d.sensorNumber, def.sensorNumber);
    EXPECT_EQ(d.sensorDate, def.sensorDate);
    EXPECT_EQ(d.topBound, def.topBound);
    EXPECT_DOUBLE_EQ(d.nsxGain, 1.0);
    EXPECT_DOUBLE_EQ(d.temperature, def.temperature);
    EXPECT_EQ(d.r0Code, 2) << "good keys are still taken";
    EXPECT_EQ(d.diagState, 1);
}

TEST(SimStateFile, WrittenValuesSurviveARestart)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sim.ini"));
    {
        TSimEngine e(SampleState(), {}, 0.0);
        TSimBytes w = Bytes({5, 0x10, 0x00, 0x08, 0x00, 0x10, 0x20});
        for (char c : toCp1251(QStringLiteral("ТСП 50П")))
            w.push_back(uint8_t(c));
        w.resize(31, 0);
        for (int b : {0x00, 0x00, 0x30, 0x39, 1, 6, 0x07, 0xE8}) // 12345, 01.06.2024
            w.push_back(uint8_t(b));
        ASSERT_EQ(Body(e.HandleRequest(WithCrc(w), 0)).size(), 6u);
        // R0 100 ohm platinum 0.00385, 0..100, and address 9
        ASSERT_EQ(Body(e.HandleRequest(Req({5, 0x10, 0, 0x18, 0, 8, 0x10, 0, 2, 0, 1, 0, 0, 0, 100, 0, 0, 0, 3, 0,
                                            10, 0, 9}),
                                       0))
                      .size(),
                  6u);
        ASSERT_TRUE(e.TakeStateChanged());
        ASSERT_TRUE(SaveSimState(file, e.State(), nullptr));
    }
    TSimState s = DefaultSimState();
    ASSERT_TRUE(LoadSimState(file, s, nullptr));
    TSimEngine again(s, {}, 0.0);
    EXPECT_FALSE(again.HandleRequest(Req({5, 0x11}), 0));
    const TSimBytes id = Body(again.HandleRequest(Req({9, 0x11}), 0));
    ASSERT_EQ(id.size(), 53u);
    EXPECT_EQ(TrimFrameText(QByteArray(reinterpret_cast<const char*>(&id[21]), 24)),
              toCp1251(QStringLiteral("ТСП 50П")));
    EXPECT_EQ(TSimBytes(id.begin() + 45, id.end()), Bytes({0x00, 0x00, 0x30, 0x39, 1, 6, 0x07, 0xE8}));
    EXPECT_EQ(Body(again.HandleRequest(Req({9, 3, 0, 0x18, 0, 8}), 0)),
              Bytes({9, 3, 0x10, 0, 2, 0, 1, 0, 0, 0, 100, 0, 0, 0, 3, 0, 10, 0, 9}));
}

TEST(SimStateFile, SaveKeepsForeignLinesAndReportsFailure)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sim.ini"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; my bench\r\n[Identity]\r\nAddress=3\r\n");
    f.close();
    TSimState s = DefaultSimState();
    ASSERT_TRUE(LoadSimState(file, s, nullptr));
    EXPECT_EQ(s.address, 3);
    ASSERT_TRUE(SaveSimState(file, s, nullptr));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("; my bench\r\n"));
    f.close();

    QString error;
    EXPECT_FALSE(SaveSimState(dir.filePath(QStringLiteral("no/such/dir/sim.ini")), s, &error));
    EXPECT_FALSE(error.isEmpty());
}
