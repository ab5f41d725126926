// zelkor-cli history and certificate on a history file of the test's own.
#include "CertificateFixtures.h"
#include "SimProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray raw; // stdout as written
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

class HistoryCli : public ::testing::Test {
protected:
    QString dbPath() const { return tmp.filePath(QStringLiteral("data/zelkor/history.sqlite")); }

    CliResult run(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), tmp.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("cfg")));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(tmp.path());
        p.start(QStringLiteral(ZELKOR_CLI_PATH), args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
        }
        const QByteArray out = p.readAllStandardOutput();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(out),
                QString::fromUtf8(p.readAllStandardError()), out};
    }
    void MakeHistory()
    {
        QDir().mkpath(QFileInfo(dbPath()).absolutePath());
        THistoryStore store(dbPath());
        ASSERT_TRUE(store.Open());
        AppendSession(store);
        store.Append(SampleEvent(QStringLiteral("connected"), 555, 100));
    }

    QTemporaryDir tmp;
};

TEST_F(HistoryCli, ListsFiltersAndExports)
{
    CliResult r = run({QStringLiteral("history")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Событий нет")));
    EXPECT_FALSE(QFileInfo::exists(dbPath())); // listing creates nothing

    MakeHistory();
    r = run({QStringLiteral("--json"), QStringLiteral("history"), QStringLiteral("--number"), QStringLiteral("104233")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray records = r.json().value(QStringLiteral("records")).toArray();
    ASSERT_EQ(records.size(), 11);
    EXPECT_EQ(records[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("connected"));
    EXPECT_EQ(records[10].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("verification"));
    EXPECT_EQ(records[10].toObject().value(QStringLiteral("sensor")).toInt(), 104233);

    // SampleEvent's minutes: the session runs 10:00..10:11 on 01.03.2026, the other unit at 11:40.
    r = run({QStringLiteral("--json"), QStringLiteral("history"), QStringLiteral("--since"), QStringLiteral("02.03.2026")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.json().value(QStringLiteral("records")).toArray().size(), 0);
    r = run({QStringLiteral("history"), QStringLiteral("--since"), QStringLiteral("31.02.2026")});
    EXPECT_EQ(r.exitCode, 2);

    r = run({QStringLiteral("history"), QStringLiteral("--csv")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.raw.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(r.out.count(QStringLiteral("\r\n")), 13); // header and 12 records
    EXPECT_TRUE(r.out.contains(QStringLiteral("Настройка завершена")));

    r = run({QStringLiteral("history")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Поверка: после настройки, точек 5: годен"))) << r.out.toStdString();
}

TEST_F(HistoryCli, VerifyNamesTheFirstBadRecordWithExit8)
{
    MakeHistory();
    CliResult r = run({QStringLiteral("history"), QStringLiteral("--verify")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("проверено записей 12")));
    const QByteArray before = FileSha(dbPath());
    {
        SqlClient client(dbPath());
        client.exec(QStringLiteral("DROP TRIGGER events_no_delete"));
        ASSERT_EQ(client.exec(QStringLiteral("DELETE FROM events WHERE id = 7")), QString());
    }
    r = run({QStringLiteral("--json"), QStringLiteral("history"), QStringLiteral("--verify")});
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_EQ(r.json().value(QStringLiteral("firstBad")).toInt(), 7);
    r = run({QStringLiteral("history"), QStringLiteral("--verify")});
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_TRUE(r.out.contains(QStringLiteral("запись 7"))) << r.out.toStdString();
    EXPECT_NE(FileSha(dbPath()), before); // the client's change, and nothing of ours undid it
}

TEST_F(HistoryCli, CertificateIsIssuedAndChecked)
{
    MakeHistory();
    const QString out = tmp.filePath(QStringLiteral("c.pdf"));
    CliResult r = run({QStringLiteral("--json"), QStringLiteral("certificate"), QStringLiteral("--number"), QStringLiteral("104233"),
                       QStringLiteral("--out"), out, QStringLiteral("--temperature"), QStringLiteral("21,5"),
                       QStringLiteral("--humidity"), QStringLiteral("40"), QStringLiteral("--technician"),
                       QStringLiteral("Петров П. П.")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString number = r.json().value(QStringLiteral("number")).toString();
    EXPECT_EQ(number, QStringLiteral("%1-0001").arg(QDate::currentDate().year()));
    const QString text = PdfPages(out).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("№ ") + number));
    EXPECT_TRUE(text.contains(QStringLiteral("21,5 °C")));
    EXPECT_TRUE(text.contains(QStringLiteral("40 %")));
    EXPECT_TRUE(text.contains(QStringLiteral("Петров П. П.")));

    r = run({QStringLiteral("certificate"), QStringLiteral("--verify"), out});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(number));

    QFile::copy(out, tmp.filePath(QStringLiteral("forged.pdf")));
    {
        QFile f(tmp.filePath(QStringLiteral("forged.pdf")));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("%% appended\n");
    }
    r = run({QStringLiteral("certificate"), QStringLiteral("--verify"), tmp.filePath(QStringLiteral("forged.pdf"))});
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_TRUE(r.out.contains(QStringLiteral("подделка")));

    r = run({QStringLiteral("certificate"), QStringLiteral("--number"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("№ 1")));
    r = run({QStringLiteral("certificate"), QStringLiteral("--number"), QStringLiteral("104233"), QStringLiteral("--humidity"),
             QStringLiteral("140")});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(HistoryCli, DamagedFileIsReportedAndLeftAsItIs)
{
    QDir().mkpath(QFileInfo(dbPath()).absolutePath());
    {
        QFile f(dbPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'z'));
    }
    const QByteArray before = FileSha(dbPath());
    CliResult r = run({QStringLiteral("history")});
    EXPECT_EQ(r.exitCode, 9);
    EXPECT_TRUE(r.err.contains(dbPath())) << r.err.toStdString();
    r = run({QStringLiteral("certificate"), QStringLiteral("--number"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 9);
    EXPECT_EQ(FileSha(dbPath()), before);
}

TEST_F(HistoryCli, WritesByTheCommandLineAreRecorded)
{
    SimProcess sim({QStringLiteral("--link"), tmp.filePath(QStringLiteral("com1")), QStringLiteral("--state"),
                    tmp.filePath(QStringLiteral("sim.ini")), QStringLiteral("--no-pacing"), QStringLiteral("--noise"),
                    QStringLiteral("0")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    CliResult r = run({QStringLiteral("--port"), tmp.filePath(QStringLiteral("com1")), QStringLiteral("info"),
                       QStringLiteral("--number"), QStringLiteral("777001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = run({QStringLiteral("--json"), QStringLiteral("history"), QStringLiteral("--number"), QStringLiteral("777001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray records = r.json().value(QStringLiteral("records")).toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("sensorNumberChanged"));
    EXPECT_EQ(records[1].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("informationWritten"));
    EXPECT_EQ(records[1].toObject().value(QStringLiteral("port")).toString(), tmp.filePath(QStringLiteral("com1")));
}

} // namespace
