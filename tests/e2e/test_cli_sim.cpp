// zelkor-cli against the simulated transducer on a pty.
#include "SimProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliBench : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString link = tmp.filePath(QStringLiteral("com1"));
    std::unique_ptr<SimProcess> sim;

    bool startSim(QStringList extra = {})
    {
        sim = std::make_unique<SimProcess>(QStringList{QStringLiteral("--link"), link, QStringLiteral("--state"),
                                                       tmp.filePath(QStringLiteral("sim.ini")),
                                                       QStringLiteral("--no-pacing"), QStringLiteral("--noise"),
                                                       QStringLiteral("0")}
                                           + extra);
        return sim->start();
    }
    // The program's folder is a temporary one, so no settings file of the build tree is read.
    CliResult run(const QStringList& args, const QString& program = QStringLiteral(ZELKOR_CLI_PATH))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("cfg")));
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    CliResult cli(const QStringList& args) { return run(QStringList{QStringLiteral("--port"), link} + args); }
    static QJsonObject json(const CliResult& r)
    {
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    }
    void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
};

} // namespace

TEST_F(CliBench, IdentifyPrintsTheIdentityAsJson)
{
    ASSERT_TRUE(startSim({QStringLiteral("--address"), QStringLiteral("7"), QStringLiteral("--type"), QStringLiteral("N")}))
        << sim->error().toStdString();
    const CliResult r = cli({QStringLiteral("--address"), QStringLiteral("7"), QStringLiteral("--json"),
                             QStringLiteral("identify")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = json(r);
    EXPECT_EQ(o.value(QStringLiteral("command")).toString(), QStringLiteral("identify"));
    EXPECT_EQ(o.value(QStringLiteral("address")).toInt(), 7);
    EXPECT_EQ(o.value(QStringLiteral("type")).toString(), QStringLiteral("N"));
    EXPECT_EQ(o.value(QStringLiteral("output")).toString(), QStringLiteral("0-5 мА"));
    EXPECT_TRUE(r.out.endsWith('\n'));
    EXPECT_EQ(r.out.count('\n'), 1); // one object per command
}

TEST_F(CliBench, ProfileIsWrittenAndReadBackAndACheckFailureWritesNothing)
{
    ASSERT_TRUE(startSim()) << sim->error().toStdString();
    const QString profile = tmp.filePath(QStringLiteral("line.zcf"));
    write(profile, "[Configuration]\r\nSensor=cu428\r\nR0=50\r\nBottom=-40\r\nTop=120\r\n"
                   "Output=inverse\r\nAlarm=3.6\r\nAverage=12\r\n");
    CliResult r = cli({QStringLiteral("--json"), QStringLiteral("config"), QStringLiteral("--load"), profile,
                       QStringLiteral("--write")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonObject o = json(r);
    EXPECT_TRUE(o.value(QStringLiteral("written")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("sensor")).toString(), QStringLiteral("cu428"));
    EXPECT_EQ(o.value(QStringLiteral("top")).toInt(), 120);

    // A range the copper sensor cannot have: refused before anything is sent.
    r = cli({QStringLiteral("config"), QStringLiteral("--set"), QStringLiteral("top=300"), QStringLiteral("--write")});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Верхняя граница: значение 300 вне пределов -75..200"))) << r.err.toStdString();

    // A separate run reads what the device keeps.
    r = cli({QStringLiteral("--json"), QStringLiteral("config")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    o = json(r);
    EXPECT_FALSE(o.value(QStringLiteral("written")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("sensor")).toString(), QStringLiteral("cu428"));
    EXPECT_EQ(o.value(QStringLiteral("r0")).toInt(), 50);
    EXPECT_EQ(o.value(QStringLiteral("bottom")).toInt(), -40);
    EXPECT_EQ(o.value(QStringLiteral("top")).toInt(), 120);
    EXPECT_EQ(o.value(QStringLiteral("output")).toString(), QStringLiteral("inverse"));
    EXPECT_DOUBLE_EQ(o.value(QStringLiteral("alarm")).toDouble(), 3.6);
    EXPECT_EQ(o.value(QStringLiteral("average")).toInt(), 12);

    // --save stores what was read and changed; the address never goes into it.
    const QString saved = tmp.filePath(QStringLiteral("saved.zcf"));
    r = cli({QStringLiteral("config"), QStringLiteral("--set"), QStringLiteral("average=off"), QStringLiteral("--save"), saved});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile f(saved);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("Sensor=cu428\r\n"));
    EXPECT_TRUE(bytes.contains("Average=off\r\n"));
    EXPECT_FALSE(bytes.contains("ddress"));
}

TEST_F(CliBench, DeviceRefusalNoDeviceAndMissingPortHaveTheirExitCodes)
{
    ASSERT_TRUE(startSim({QStringLiteral("--exception"), QStringLiteral("16:2")})) << sim->error().toStdString();
    CliResult r = cli({QStringLiteral("config"), QStringLiteral("--set"), QStringLiteral("average=3"), QStringLiteral("--write")});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("код 2: Некорректный номер регистра данных."))) << r.err.toStdString();

    // Nobody at address 9; the JSON object of a failure carries the status and the messages.
    r = cli({QStringLiteral("--address"), QStringLiteral("9"), QStringLiteral("--repeat"), QStringLiteral("1"),
             QStringLiteral("--json"), QStringLiteral("identify")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Прибор номер 9 не найден."))) << r.err.toStdString();
    EXPECT_EQ(json(r).value(QStringLiteral("exit")).toInt(), 3) << r.out.toStdString();
    EXPECT_EQ(json(r).value(QStringLiteral("messages")).toArray().first().toString(),
              QStringLiteral("Прибор номер 9 не найден."));

    r = run({QStringLiteral("--port"), tmp.filePath(QStringLiteral("nothing")), QStringLiteral("identify")});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Нет соединения c "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("не найден"))) << r.err.toStdString();

    r = run({QStringLiteral("config"), QStringLiteral("--count"), QStringLiteral("3")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Неизвестный параметр --count команды config")));
}

TEST_F(CliBench, MeasureCsvGivesThreeReadings)
{
    ASSERT_TRUE(startSim({QStringLiteral("--temperature"), QStringLiteral("36.6")})) << sim->error().toStdString();
    const CliResult r = cli({QStringLiteral("measure"), QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("time,temperature,resistance,state,calibration_date"));
    for (int i = 1; i < 4; ++i) {
        const QStringList cells = lines[i].split(',');
        ASSERT_EQ(cells.size(), 5) << lines[i].toStdString();
        EXPECT_EQ(cells[1], QStringLiteral("36.6"));
        EXPECT_GT(cells[2].toDouble(), 100.0);
        EXPECT_EQ(cells[3], QStringLiteral("0"));
    }
}

TEST_F(CliBench, ComPortResolvesThroughTheProgramSettingsWhichStayUntouched)
{
    ASSERT_TRUE(startSim()) << sim->error().toStdString();
    // A copy of the program in a folder of its own, with the settings file beside it.
    const QString prog = tmp.filePath(QStringLiteral("prog"));
    ASSERT_TRUE(QDir().mkpath(prog));
    const QString exe = prog + QStringLiteral("/zelkor-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELKOR_CLI_PATH), exe));
    const QByteArray ini = "[Defaults]\r\nDefaultSlaveID=1\r\nDefaultComPortNum=4\r\nRepeatNum=1\r\n[Ports]\r\nCOM3="
                           + link.toLocal8Bit() + "\r\n";
    write(prog + QStringLiteral("/Zelkor.ini"), ini);

    CliResult r = run({QStringLiteral("--port"), QStringLiteral("COM3"), QStringLiteral("--json"), QStringLiteral("identify")}, exe);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(json(r).value(QStringLiteral("address")).toInt(), 1);

    // Without --port the settings' COM4 is used, which has no device behind it.
    r = run({QStringLiteral("identify")}, exe);
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Нет соединения c COM4"))) << r.err.toStdString();

    QFile f(prog + QStringLiteral("/Zelkor.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), ini);
}

TEST_F(CliBench, SearchFindsTheTransducerAtAddress3)
{
    ASSERT_TRUE(startSim({QStringLiteral("--address"), QStringLiteral("3")})) << sim->error().toStdString();
    const CliResult r = cli({QStringLiteral("--repeat"), QStringLiteral("1"), QStringLiteral("--json"),
                             QStringLiteral("search"), QStringLiteral("--quick")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(json(r).value(QStringLiteral("command")).toString(), QStringLiteral("search"));
    EXPECT_EQ(json(r).value(QStringLiteral("address")).toInt(), 3);
}

TEST_F(CliBench, InfoIsWrittenAndReadBackAndBadValuesAreRefused)
{
    ASSERT_TRUE(startSim()) << sim->error().toStdString();
    CliResult r = cli({QStringLiteral("--json"), QStringLiteral("info"), QStringLiteral("--text"), QStringLiteral("ТСМ 50М"),
                       QStringLiteral("--number"), QStringLiteral("42"), QStringLiteral("--date"), QStringLiteral("15.03.2024")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonObject o = json(r);
    EXPECT_TRUE(o.value(QStringLiteral("written")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("sensorType")).toString(), QStringLiteral("ТСМ 50М"));
    EXPECT_EQ(o.value(QStringLiteral("sensorNumber")).toInt(), 42);
    EXPECT_EQ(o.value(QStringLiteral("sensorDate")).toString(), QStringLiteral("15.03.2024"));

    r = cli({QStringLiteral("info"), QStringLiteral("--number"), QStringLiteral("-5")});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Недопустимое значение номера датчика")));
    r = cli({QStringLiteral("info"), QStringLiteral("--date"), QStringLiteral("31.02.2024")});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Неправильно указана дата.")));
    r = cli({QStringLiteral("info"), QStringLiteral("--text"), QStringLiteral("温度")});
    EXPECT_EQ(r.exitCode, 6);

    // None of the refusals reached the device.
    r = cli({QStringLiteral("--json"), QStringLiteral("info")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    o = json(r);
    EXPECT_FALSE(o.value(QStringLiteral("written")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("sensorNumber")).toInt(), 42);
    EXPECT_EQ(o.value(QStringLiteral("sensorType")).toString(), QStringLiteral("ТСМ 50М"));
}

// A refusal the table does not know, and a text the device cannot keep:
// both fail loudly; and --quiet drops only the progress lines.
TEST_F(CliBench, UnknownRefusalOverlongTextAndQuietSearch)
{
    ASSERT_TRUE(startSim({QStringLiteral("--exception"), QStringLiteral("16:4")})) << sim->error().toStdString();
    const QString refused = QStringLiteral("Прибор отказал в выполнении команды (код 4).");
    CliResult r = cli({QStringLiteral("--json"), QStringLiteral("config"), QStringLiteral("--set"),
                       QStringLiteral("average=3"), QStringLiteral("--write")});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains(refused)) << r.err.toStdString();
    EXPECT_TRUE(json(r).value(QStringLiteral("messages")).toArray().contains(refused)) << r.out.toStdString();

    const QString text25 = QStringLiteral("ТСП 100П класс А, 3 пров.");
    r = cli({QStringLiteral("info"), QStringLiteral("--text"), text25});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("не более 24 символов"))) << r.err.toStdString();
    // 24 characters pass the check and reach the device, which refuses every write here.
    r = cli({QStringLiteral("info"), QStringLiteral("--text"), text25.left(24)});
    EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(refused)) << r.err.toStdString();

    r = cli({QStringLiteral("search"), QStringLiteral("--quick")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Поиск прибора: адрес 1"))) << r.err.toStdString();
    r = cli({QStringLiteral("--quiet"), QStringLiteral("search"), QStringLiteral("--quick")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Адрес: 1"))) << r.out.toStdString();
}
