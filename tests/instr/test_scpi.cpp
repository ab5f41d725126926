#include "instr/ScpiClient.h"
#include "instr/ScpiMeter.h"
#include "instr/ScpiReply.h"
#include "instr/ScpiSource.h"

#include "ScriptedPort.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

namespace {

struct Rig {
    VirtualClock clock;
    ScriptedPort* port = nullptr;
    std::unique_ptr<TScpiClient> client;

    explicit Rig(const QString& name = QStringLiteral("Мультиметр"))
    {
        auto owned = std::make_unique<ScriptedPort>(clock);
        port = owned.get();
        client = std::make_unique<TScpiClient>(name, std::move(owned), clock);
        TLineSettings line;
        EXPECT_TRUE(client->Open(QStringLiteral("/dev/ttyACM0"), line));
    }
    QStringList written() const
    {
        QStringList out;
        for (const TRecordedWrite& w : port->writes())
            out << QString::fromLatin1(w.bytes);
        return out;
    }
};

} // namespace

TEST(ScpiReply, IdentityFieldsAndRefusals)
{
    TScpiIdentity id;
    ASSERT_TRUE(ParseScpiIdentity(QStringLiteral("Metrix Lab, MX-3458 ,SN0042,1.07\r"), id));
    EXPECT_EQ(id.maker, QStringLiteral("Metrix Lab"));
    EXPECT_EQ(id.model, QStringLiteral("MX-3458"));
    EXPECT_EQ(id.serial, QStringLiteral("SN0042"));
    EXPECT_EQ(id.firmware, QStringLiteral("1.07"));
    ASSERT_TRUE(ParseScpiIdentity(QStringLiteral("ACME,R100,0,2"), id));
    EXPECT_TRUE(id.serial.isEmpty()) << "0 stands for no serial number";

    QString why;
    for (const char* bad : {"", "   ", "garbage", ",model,1,2", "a,b,c,d,e", "maker,,1,2"}) {
        EXPECT_FALSE(ParseScpiIdentity(QString::fromLatin1(bad), id, &why)) << bad;
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(ScpiReply, NumbersStrictlyParsed)
{
    double v = 0;
    EXPECT_TRUE(ParseScpiNumber(QStringLiteral("+4.00012E-03"), v));
    EXPECT_DOUBLE_EQ(v, 4.00012e-3);
    EXPECT_TRUE(ParseScpiNumber(QStringLiteral(" -0.5 \r"), v));
    EXPECT_DOUBLE_EQ(v, -0.5);
    EXPECT_TRUE(ParseScpiNumber(QStringLiteral(".25"), v));
    EXPECT_DOUBLE_EQ(v, 0.25);

    v = 123;
    QString why;
    for (const char* bad : {"", "abc", "4.0 mA", "4,0", "1e", "0x10", "nan", "inf", "1.0,2.0", "--1", "1e9999"}) {
        EXPECT_FALSE(ParseScpiNumber(QString::fromLatin1(bad), v, &why)) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
    EXPECT_EQ(v, 123) << "a refused reply leaves the value alone";

    EXPECT_FALSE(ParseScpiNumber(QStringLiteral("+9.90000000E+37"), v, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("перегрузка"))) << why.toStdString();
    EXPECT_FALSE(ParseScpiNumber(QStringLiteral("-9.9E37"), v, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("9.9E37")));
}

TEST(ScpiClient, QuerySendsTerminatorAndStripsLineEnd)
{
    Rig rig;
    rig.client->Terminator = "\r\n";
    rig.port->answerOnce("*IDN?", "ACME,DMM-1,77,1.0\r\n", 30);
    QString reply, error;
    ASSERT_TRUE(rig.client->Query(QStringLiteral("*IDN?"), reply, &error)) << error.toStdString();
    EXPECT_EQ(reply, QStringLiteral("ACME,DMM-1,77,1.0"));
    EXPECT_EQ(rig.written(), QStringList{QStringLiteral("*IDN?\r\n")});
    EXPECT_LT(rig.clock.elapsedMs(), 100);
}

TEST(ScpiClient, ReplyInPiecesIsOneLine)
{
    Rig rig;
    rig.port->answerOnceInPieces("READ?", {{10, "+4.0"}, {400, "01E-03"}, {900, "\n"}});
    double v = 0;
    QString error;
    ASSERT_TRUE(rig.client->QueryNumber(QStringLiteral("READ?"), v, &error)) << error.toStdString();
    EXPECT_DOUBLE_EQ(v, 4.001e-3);
}

TEST(ScpiClient, StaleInputIsNotTakenForTheReply)
{
    Rig rig;
    rig.port->deliver("+1.0E-03\n", 0);
    rig.clock.advanceMs(5);
    rig.port->answerOnce("READ?", "+2.0E-03\n", 20);
    double v = 0;
    ASSERT_TRUE(rig.client->QueryNumber(QStringLiteral("READ?"), v));
    EXPECT_DOUBLE_EQ(v, 2.0e-3);
}

TEST(ScpiClient, SilenceEndsAfterTheTimeOutNamingTheInstrument)
{
    Rig rig;
    rig.client->TimeoutMs = 2500;
    int idles = 0;
    rig.client->Idle = [&] { ++idles; };
    QString reply, error;
    EXPECT_FALSE(rig.client->Query(QStringLiteral("READ?"), reply, &error));
    EXPECT_NEAR(rig.clock.elapsedMs(), 2500, 25);
    EXPECT_GT(idles, 10) << "the window gets its turns while waiting";
    EXPECT_TRUE(error.startsWith(QStringLiteral("Мультиметр (/dev/ttyACM0)"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("нет ответа на «READ?»"))) << error.toStdString();
}

TEST(ScpiClient, UnfinishedLineAndEndlessNoiseAreRefused)
{
    Rig rig;
    rig.port->answerOnce("READ?", "+4.0E-0", 10);
    QString reply, error;
    EXPECT_FALSE(rig.client->Query(QStringLiteral("READ?"), reply, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("не закончен"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("+4.0E-0")));

    rig.port->answerOnce("READ?", QByteArray(5000, 'x'), 10);
    EXPECT_FALSE(rig.client->Query(QStringLiteral("READ?"), reply, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("слишком длинный"))) << error.toStdString();
    EXPECT_LT(rig.clock.elapsedMs(), 3200) << "the long reply is refused without waiting out the time-out";
}

TEST(ScpiClient, InstrumentGoneIsReportedAtOnce)
{
    Rig rig;
    rig.port->unplug();
    QString reply, error;
    EXPECT_FALSE(rig.client->Query(QStringLiteral("READ?"), reply, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("связь потеряна"))) << error.toStdString();
    EXPECT_LT(rig.clock.elapsedMs(), 10);
}

TEST(ScpiClient, OpenFailureNamesDevice)
{
    VirtualClock clock;
    auto owned = std::make_unique<ScriptedPort>(clock);
    owned->setOpenError(TPortOpenError::NotFound);
    TScpiClient client(QStringLiteral("Мультиметр"), std::move(owned), clock);
    QString error;
    EXPECT_FALSE(client.Open(QStringLiteral("/dev/ttyUSB7"), TLineSettings{}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Мультиметр"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("/dev/ttyUSB7"))) << error.toStdString();
    EXPECT_FALSE(client.IsOpen());
    EXPECT_FALSE(client.Write(QStringLiteral("READ?"), &error));
}

TEST(ScpiMeter, ConfiguresAndReadsMilliamperes)
{
    Rig rig;
    TScpiMeter meter(*rig.client);
    rig.port->answerAlways("READ?", [](const QByteArray&) { return QByteArray("+4.00150E-03\n"); });
    QString error;
    ASSERT_TRUE(meter.Configure(&error));
    double ma = 0;
    ASSERT_TRUE(meter.ReadCurrent(ma, &error)) << error.toStdString();
    EXPECT_NEAR(ma, 4.0015, 1e-9);
    EXPECT_EQ(rig.written(), (QStringList{QStringLiteral("CONF:CURR:DC 0.1\n"), QStringLiteral("READ?\n")}));
}

TEST(ScpiMeter, OverloadGarbageAndWrongFunctionRefused)
{
    Rig rig;
    TScpiMeter meter(*rig.client);
    double ma = -1;
    QString error;
    rig.port->answerOnce("READ?", "+9.90000000E+37\n");
    EXPECT_FALSE(meter.ReadCurrent(ma, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("перегрузка"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("Мультиметр")));
    rig.port->answerOnce("READ?", "ERR -113\n");
    EXPECT_FALSE(meter.ReadCurrent(ma, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ERR -113"))) << error.toStdString();
    rig.port->answerOnce("READ?", "+2.5E+00\n"); // volts, not amperes
    EXPECT_FALSE(meter.ReadCurrent(ma, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("режим"))) << error.toStdString();
    EXPECT_EQ(ma, -1);
}

TEST(ScpiMeter, CustomCommandsAreUsed)
{
    Rig rig;
    TMeterCommands c;
    c.configure.clear();
    c.read = QStringLiteral("MEAS:CURR:DC?");
    TScpiMeter meter(*rig.client, c);
    rig.port->answerOnce("MEAS:CURR:DC?", "0.020\n");
    double ma = 0;
    ASSERT_TRUE(meter.Configure());
    ASSERT_TRUE(meter.ReadCurrent(ma));
    EXPECT_DOUBLE_EQ(ma, 20.0);
    EXPECT_EQ(rig.written(), QStringList{QStringLiteral("MEAS:CURR:DC?\n")}) << "no configure command sent";
}

TEST(ScpiMeter, SettledMeanAndSpread)
{
    Rig rig;
    TScpiMeter meter(*rig.client);
    // A loop current that swings in, then holds within a microampere.
    const QList<double> amps = {4.30e-3, 4.12e-3, 4.04e-3, 4.0011e-3, 4.0008e-3, 4.0012e-3, 4.0009e-3, 4.0010e-3};
    int n = 0;
    rig.port->answerAlways("READ?", [&](const QByteArray&) {
        const double a = amps[std::min<qsizetype>(n++, amps.size() - 1)];
        return QByteArray::number(a, 'E', 6) + '\n';
    });
    TSettledValue out;
    QString error;
    ASSERT_TRUE(meter.ReadSettled(rig.clock, MeterSettlingRule(), TSettleLimits{}, out, &error)) << error.toStdString();
    EXPECT_EQ(out.readings, 8);
    EXPECT_NEAR(out.mean, 4.0010, 1e-6);
    EXPECT_NEAR(out.spread, 0.0004, 1e-6);
}

TEST(ScpiMeter, BadReadingMidwayGivesNoMean)
{
    Rig rig;
    TScpiMeter meter(*rig.client);
    int n = 0;
    rig.port->answerAlways("READ?", [&](const QByteArray&) {
        return ++n == 3 ? QByteArray("9.9E37\n") : QByteArray("4.000E-03\n");
    });
    TSettledValue out;
    out.mean = -7;
    QString error;
    EXPECT_FALSE(meter.ReadSettled(rig.clock, MeterSettlingRule(), TSettleLimits{}, out, &error));
    EXPECT_EQ(out.mean, -7);
    EXPECT_EQ(n, 3) << "no reading after the bad one";
    EXPECT_TRUE(error.startsWith(QStringLiteral("Мультиметр"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("перегрузка")));
}

TEST(ScpiSource, SetsResistanceAndConfirms)
{
    Rig rig(QStringLiteral("Источник сопротивления"));
    TScpiSource source(*rig.client);
    rig.port->answerAlways("*OPC?", [](const QByteArray&) { return QByteArray("1\n"); });
    QString error;
    ASSERT_TRUE(source.SetResistance(138.51, &error)) << error.toStdString();
    ASSERT_TRUE(source.OutputOn(&error));
    ASSERT_TRUE(source.OutputOff(&error));
    EXPECT_EQ(rig.written(), (QStringList{"SOUR:RES 138.510\n", "*OPC?\n", "OUTP ON\n", "*OPC?\n", "OUTP OFF\n",
                                          "*OPC?\n"}));
}

TEST(ScpiSource, RefusedOrSilentConfirmationFails)
{
    Rig rig(QStringLiteral("Источник сопротивления"));
    TScpiSource source(*rig.client);
    rig.port->answerOnce("*OPC?", "0\n");
    QString error;
    EXPECT_FALSE(source.SetResistance(100, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("\"0\" вместо 1"))) << error.toStdString();
    EXPECT_FALSE(source.SetResistance(100, &error)); // and now nothing answers
    EXPECT_TRUE(error.contains(QStringLiteral("нет ответа на «*OPC?»"))) << error.toStdString();
    EXPECT_TRUE(error.startsWith(QStringLiteral("Источник сопротивления")));
    EXPECT_FALSE(source.SetResistance(-5, &error));
}

TEST(ScpiSource, ResistanceCommandTemplate)
{
    EXPECT_EQ(ResistanceCommand(QStringLiteral("SOUR:RES <ohms>"), 60.256), QStringLiteral("SOUR:RES 60.256"));
    EXPECT_EQ(ResistanceCommand(QStringLiteral("RES"), 0.5), QStringLiteral("RES 0.500"));
    EXPECT_EQ(ResistanceCommand(QStringLiteral("R <ohms>;OUTP ON"), 1000), QStringLiteral("R 1000.000;OUTP ON"));
}
