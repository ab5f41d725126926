#include "HistoryFixtures.h"

#include "history/HistorySchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class HistoryStoreTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/zelkor/history.sqlite"); }

    // A file with `count` records, closed again.
    void MakeHistory(int count)
    {
        THistoryStore store(path());
        ASSERT_TRUE(store.Open()) << store.Error().toStdString();
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(store.Append(SampleEvent(QStringLiteral("connected"), 104233, i)));
    }

    // Triggers off, as someone with a SQLite client would first do.
    static void DropGuards(SqlClient& client)
    {
        ASSERT_EQ(client.exec(QStringLiteral("DROP TRIGGER events_no_update")), QString());
        ASSERT_EQ(client.exec(QStringLiteral("DROP TRIGGER events_no_delete")), QString());
    }

    TChainCheck Check()
    {
        THistoryStore store(path());
        EXPECT_TRUE(store.Open()) << store.Error().toStdString();
        return store.VerifyChain();
    }

    QTemporaryDir m_dir;
};

TEST_F(HistoryStoreTest, NewFileGetsTheCurrentSchemaInWalMode)
{
    THistoryStore store(path());
    ASSERT_TRUE(store.Open()) << store.Error().toStdString();
    EXPECT_TRUE(store.CanWrite());
    EXPECT_TRUE(store.Error().isEmpty());
    EXPECT_EQ(store.SchemaVersion(), THistoryStore::kSchemaVersion);
    store.Close();

    SqlClient client(path());
    EXPECT_EQ(client.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(client.value(QStringLiteral("PRAGMA user_version")).toInt(), THistoryStore::kSchemaVersion);
    EXPECT_EQ(client.value(QStringLiteral("PRAGMA application_id")).toInt(), THistoryStore::kApplicationId);
}

TEST_F(HistoryStoreTest, DefaultPathFollowsXdgDataHome)
{
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit());
    EXPECT_EQ(THistoryStore::DefaultPath(), m_dir.path() + QStringLiteral("/zelkor/history.sqlite"));
    if (old.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", old);
}

TEST_F(HistoryStoreTest, RecordsComeBackAsAppendedAndChained)
{
    THistoryStore store(path());
    ASSERT_TRUE(store.Open());
    THistoryEvent first = SampleEvent(QStringLiteral("connected"), 104233, 0);
    first.data = QJsonObject{{QStringLiteral("text"), QStringLiteral("ТСП 100П \"α\"")}};
    qint64 id1 = 0, id2 = 0;
    ASSERT_TRUE(store.Append(first, &id1));
    ASSERT_TRUE(store.Append(SampleEvent(QStringLiteral("configurationWritten"), 555, 1), &id2));
    EXPECT_EQ(id1, 1);
    EXPECT_EQ(id2, 2);

    const QList<THistoryRecord> all = store.Records({});
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].kind, QStringLiteral("connected"));
    EXPECT_EQ(all[0].time, first.time);
    EXPECT_EQ(all[0].port, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(all[0].sensorNumber, 104233);
    EXPECT_EQ(all[0].data.value(QStringLiteral("text")).toString(), QStringLiteral("ТСП 100П \"α\""));
    EXPECT_EQ(all[0].prevHash, kNoPreviousHash);
    EXPECT_EQ(all[0].hash, ChainHash(kNoPreviousHash, all[0].content));
    EXPECT_EQ(all[1].prevHash, all[0].hash);

    THistoryFilter bySensor;
    bySensor.sensorNumber = 555;
    ASSERT_EQ(store.Records(bySensor).size(), 1);
    EXPECT_EQ(store.Records(bySensor)[0].kind, QStringLiteral("configurationWritten"));
    THistoryFilter since;
    since.since = first.time.addSecs(30);
    EXPECT_EQ(store.Records(since).size(), 1);

    const TChainCheck check = store.VerifyChain();
    EXPECT_TRUE(check.ok) << check.Text().toStdString();
    EXPECT_EQ(check.checked, 2);
}

TEST_F(HistoryStoreTest, VersionOneFileIsMigratedAndKeepsItsChain)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    {
        // A file as the first version wrote it: a verification and a connection.
        SqlClient client(path());
        for (const QString& s : HistorySchemaV1())
            ASSERT_EQ(client.exec(s), QString());
        ASSERT_EQ(client.exec(QStringLiteral("PRAGMA application_id = %1").arg(THistoryStore::kApplicationId)), QString());
        QString prev = kNoPreviousHash;
        for (int id = 1; id <= 2; ++id) {
            THistoryEvent e = SampleEvent(id == 1 ? QStringLiteral("verification") : QStringLiteral("connected"), 42, id);
            if (id == 1)
                e.data = QJsonObject{{QStringLiteral("pass"), true}, {QStringLiteral("points"), QJsonArray()}};
            const QByteArray content = CanonicalContent(id, e);
            const QString hash = ChainHash(prev, content);
            ASSERT_EQ(client.exec(QStringLiteral("INSERT INTO events VALUES (%1, '%2', '%3', 42, 'M', '%4', '%5', '%6')")
                                      .arg(id)
                                      .arg(HistoryTimeText(e.time), e.kind, QString::fromUtf8(content), prev, hash)),
                      QString());
            prev = hash;
        }
    }
    THistoryStore store(path());
    ASSERT_TRUE(store.Open()) << store.Error().toStdString();
    EXPECT_EQ(store.SchemaVersion(), 2);
    EXPECT_TRUE(store.VerifyChain().ok) << store.VerifyChain().Text().toStdString();
    ASSERT_TRUE(store.Append(SampleEvent(QStringLiteral("connected"), 42, 3)));
    EXPECT_TRUE(store.VerifyChain().ok);
    EXPECT_FALSE(store.ReserveCertificateNumber(2026).isEmpty());
    store.Close();

    SqlClient client(path());
    EXPECT_EQ(client.value(QStringLiteral("SELECT verdict FROM events WHERE id = 1")).toInt(), 1);
    EXPECT_TRUE(client.value(QStringLiteral("SELECT verdict FROM events WHERE id = 2")).isNull());
    // Append-only from now on, even for a client that tries.
    EXPECT_NE(client.exec(QStringLiteral("UPDATE events SET kind = 'x' WHERE id = 1")), QString());
    EXPECT_NE(client.exec(QStringLiteral("DELETE FROM events WHERE id = 1")), QString());
}

TEST_F(HistoryStoreTest, ChainCheckNamesTheFirstRecordThatDoesNotMatch)
{
    struct Case {
        const char* name;
        QStringList sql;
        qint64 firstBad;
    };
    const QList<Case> cases = {
        {"content altered", {QStringLiteral("UPDATE events SET content = replace(content, '\"n\":3', '\"n\":7') WHERE id = 4")}, 4},
        {"column altered", {QStringLiteral("UPDATE events SET sensor_number = 1 WHERE id = 3")}, 3},
        {"removed in the middle", {QStringLiteral("DELETE FROM events WHERE id = 2")}, 2},
        {"removed at the end", {QStringLiteral("DELETE FROM events WHERE id = 5")}, 5},
        {"inserted", {QStringLiteral("INSERT INTO events (id, time, kind, sensor_number, type, content, prev_hash, hash)"
                                     " SELECT 6, time, kind, sensor_number, type, content, prev_hash, hash FROM events WHERE id = 5")},
         6},
        {"renumbered", {QStringLiteral("UPDATE events SET id = 10 WHERE id = 5")}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        QFile::remove(path() + QStringLiteral("-wal"));
        QFile::remove(path() + QStringLiteral("-shm"));
        MakeHistory(5);
        ASSERT_TRUE(Check().ok);
        {
            SqlClient client(path());
            DropGuards(client);
            for (const QString& s : c.sql)
                ASSERT_EQ(client.exec(s), QString()) << s.toStdString();
        }
        const TChainCheck check = Check();
        EXPECT_FALSE(check.ok);
        EXPECT_EQ(check.firstBad, c.firstBad) << check.Text().toStdString();
        EXPECT_TRUE(check.Text().contains(QStringLiteral("запись %1").arg(c.firstBad))) << check.Text().toStdString();
    }
}

TEST_F(HistoryStoreTest, RecordAlteredWithItsOwnHashRecomputedBreaksTheNextLink)
{
    MakeHistory(5);
    THistoryRecord third;
    {
        THistoryStore store(path());
        ASSERT_TRUE(store.Open());
        ASSERT_TRUE(store.Record(3, &third));
    }
    QByteArray forged = third.content;
    forged.replace("\"n\":2", "\"n\":9");
    ASSERT_NE(forged, third.content);
    {
        SqlClient client(path());
        DropGuards(client);
        ASSERT_EQ(client.exec(QStringLiteral("UPDATE events SET content = '%1', hash = '%2' WHERE id = 3")
                                  .arg(QString::fromUtf8(forged), ChainHash(third.prevHash, forged))),
                  QString());
    }
    const TChainCheck check = Check();
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.firstBad, 4);
    EXPECT_TRUE(check.Text().contains(QStringLiteral("запись 3 изменена"))) << check.Text().toStdString();
}

TEST_F(HistoryStoreTest, StartCheckCoversOnlyNewRecordsButNoticesAnOldOneChanged)
{
    MakeHistory(3);
    {
        THistoryStore store(path());
        ASSERT_TRUE(store.Open());
        const TChainCheck first = store.VerifyNew();
        EXPECT_TRUE(first.ok);
        EXPECT_EQ(first.checked, 3);
        ASSERT_TRUE(store.Append(SampleEvent(QStringLiteral("connected"), 1, 9)));
        const TChainCheck second = store.VerifyNew();
        EXPECT_TRUE(second.ok);
        EXPECT_EQ(second.checked, 1);
    }
    {
        SqlClient client(path());
        DropGuards(client);
        ASSERT_EQ(client.exec(QStringLiteral("UPDATE events SET hash = 'x' WHERE id = 4")), QString());
    }
    THistoryStore store(path());
    ASSERT_TRUE(store.Open());
    const TChainCheck check = store.VerifyNew();
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.firstBad, 4);
}

TEST_F(HistoryStoreTest, FilesThatAreNotOursAreRefusedAndLeftAsTheyAre)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    struct Case {
        const char* name;
        std::function<void()> make;
        const char* reason;
    };
    const QList<Case> cases = {
        {"text", [&] {
             QFile f(path());
             f.open(QIODevice::WriteOnly);
             f.write(QByteArray("[Defaults]\nRepeatNum=2\n").repeated(10));
         }, "не файл базы данных"},
        {"short", [&] {
             QFile f(path());
             f.open(QIODevice::WriteOnly);
             f.write("SQLite format 3");
         }, "не файл базы данных"},
        {"another program's database", [&] {
             SqlClient client(path());
             client.exec(QStringLiteral("CREATE TABLE contacts (name TEXT)"));
             client.exec(QStringLiteral("INSERT INTO contacts VALUES ('Иванов')"));
         }, "другой программы"},
        {"newer schema", [&] {
             MakeHistory(2);
             SqlClient client(path());
             client.exec(QStringLiteral("PRAGMA user_version = 9"));
         }, "более новой версией"},
        {"damaged schema page", [&] {
             MakeHistory(20);
             { SqlClient client(path()); client.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")); }
             QFile f(path());
             f.open(QIODevice::ReadWrite);
             f.seek(100);
             f.write(QByteArray(400, '\xA5'));
         }, "повреждён"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path() + suffix);
        c.make();
        const QByteArray before = FileSha(path());
        THistoryStore store(path());
        EXPECT_FALSE(store.Open());
        EXPECT_FALSE(store.CanWrite());
        EXPECT_TRUE(store.Error().contains(path())) << store.Error().toStdString();
        EXPECT_TRUE(store.Error().contains(QString::fromUtf8(c.reason))) << store.Error().toStdString();
        QString error;
        EXPECT_FALSE(store.Append(SampleEvent(QStringLiteral("connected")), nullptr, &error));
        EXPECT_FALSE(error.isEmpty());
        store.Close();
        EXPECT_EQ(FileSha(path()), before);
    }
}

TEST_F(HistoryStoreTest, ReadOnlyOpenListsButNeverWrites)
{
    MakeHistory(3);
    { SqlClient client(path()); client.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")); }
    const QByteArray before = FileSha(path());
    THistoryStore store(path());
    ASSERT_TRUE(store.Open(/*readOnly=*/true)) << store.Error().toStdString();
    EXPECT_FALSE(store.CanWrite());
    EXPECT_EQ(store.Records({}).size(), 3);
    EXPECT_TRUE(store.VerifyChain().ok);
    EXPECT_FALSE(store.Append(SampleEvent(QStringLiteral("connected"))));
    EXPECT_TRUE(store.ReserveCertificateNumber(2026).isEmpty());
    store.Close();
    EXPECT_EQ(FileSha(path()), before);

    THistoryStore missing(m_dir.path() + QStringLiteral("/none.sqlite"));
    EXPECT_FALSE(missing.Open(true));
    EXPECT_FALSE(QFileInfo::exists(m_dir.path() + QStringLiteral("/none.sqlite")));
}

TEST_F(HistoryStoreTest, CertificateNumbersRunByYear)
{
    THistoryStore store(path());
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReserveCertificateNumber(2026), QStringLiteral("2026-0001"));
    EXPECT_EQ(store.ReserveCertificateNumber(2026), QStringLiteral("2026-0002"));
    EXPECT_EQ(store.ReserveCertificateNumber(2027), QStringLiteral("2027-0001"));
    THistoryStore other(path()); // a second program on the same file
    ASSERT_TRUE(other.Open());
    EXPECT_EQ(other.ReserveCertificateNumber(2026), QStringLiteral("2026-0003"));
}

TEST_F(HistoryStoreTest, KillingTheWriterLosesNoCommittedRecordAndLeavesNoHalfRecord)
{
    qint64 lastReported = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(HISTORY_WRITER), {path()});
        ASSERT_TRUE(writer.waitForStarted());
        // Until it has committed something new, then a little longer.
        QByteArray out;
        while (!out.contains('\n') && writer.waitForReadyRead(5000))
            out += writer.readAllStandardOutput();
        QThread::msleep(20 + QRandomGenerator::global()->bounded(60));
        writer.kill(); // SIGKILL: no chance to finish anything
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray& line : lines) {
            if (!line.trimmed().isEmpty())
                lastReported = std::max(lastReported, line.trimmed().toLongLong());
        }
        ASSERT_GT(lastReported, 0) << writer.readAllStandardError().toStdString();

        THistoryStore store(path());
        ASSERT_TRUE(store.Open()) << store.Error().toStdString();
        const TChainCheck check = store.VerifyChain();
        EXPECT_TRUE(check.ok) << check.Text().toStdString();
        EXPECT_GE(store.Count(), lastReported);
    }
}

} // namespace
