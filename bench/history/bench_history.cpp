// What the history costs the program.
//   QT_QPA_PLATFORM=offscreen bench_history
// Recording runs on the GUI thread inside the device operations: each
// recorded event should stay under 2 ms. The journal must show its first
// rows from a 100 000-event history in under 300 ms.

#include "app/JournalFrm.h"
#include "device/DeviceSession.h"
#include "history/HistoryStore.h"
#include "link/MessageDialog.h"
#include "passport/DeviceJson.h"
#include "passport/HistoryRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

TTransducerData Unit(int n)
{
    TTransducerData t;
    t.SlaveID = 1 + n % 255;
    t.PLType = n % 3 ? 'M' : 'N';
    t.PLTypeText = QStringLiteral("ЗЕЛКОР-М");
    t.SensorTypeText = QStringLiteral("ТСП 100П");
    t.SensorNum = 100000 + n;
    t.SensorKind = 1;
    t.R0 = 100;
    t.BottomTempBound = -50;
    t.TopTempBound = 150 + n % 7;
    return t;
}

// A history of `events` valid records over `units` transducers, in one transaction.
QString BigHistory(const QString& folder, int events, int units)
{
    const QString path = folder + QStringLiteral("/history-%1.sqlite").arg(events);
    if (QFile::exists(path))
        return path;
    THistoryStore store(path);
    if (!store.Open())
        return {};
    QSqlDatabase db = store.Database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO events (id, time, kind, sensor_number, type, verdict, content, prev_hash, hash)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QString prev = kNoPreviousHash;
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-400);
    for (int i = 1; i <= events; ++i) {
        const TTransducerData t = Unit(i % units);
        THistoryEvent e;
        e.kind = i % 10 == 0 ? QStringLiteral("verification") : QStringLiteral("configurationWritten");
        e.time = start.addSecs(i * 300);
        e.programVersion = ProgramVersion();
        e.port = QStringLiteral("/dev/ttyUSB0");
        e.address = t.SlaveID;
        e.transducerType = TypeCodeText(t.PLType);
        e.sensorNumber = t.SensorNum;
        e.data = i % 10 == 0 ? QJsonObject{{QStringLiteral("pass"), i % 20 == 0}, {QStringLiteral("points"), QJsonArray()}}
                             : QJsonObject{{QStringLiteral("changes"), ConfigurationChanges(Unit(i), t)},
                                           {QStringLiteral("configuration"), ConfigurationJson(t)}};
        const QByteArray content = CanonicalContent(i, e);
        const QString hash = ChainHash(prev, content);
        q.addBindValue(i);
        q.addBindValue(HistoryTimeText(e.time));
        q.addBindValue(e.kind);
        q.addBindValue(e.sensorNumber);
        q.addBindValue(e.transducerType);
        q.addBindValue(i % 10 == 0 ? QVariant(i % 20 == 0 ? 1 : 0) : QVariant());
        q.addBindValue(QString::fromUtf8(content));
        q.addBindValue(prev);
        q.addBindValue(hash);
        q.exec();
        prev = hash;
    }
    QSqlQuery(db).exec(QStringLiteral("INSERT OR REPLACE INTO meta VALUES ('head_id', '%1'), ('head_hash', '%2')")
                           .arg(events)
                           .arg(prev));
    db.commit();
    return path;
}

QTemporaryDir& Folder()
{
    static QTemporaryDir dir;
    return dir;
}

// One configuration write recorded, as the GUI thread pays for it.
void RecordEvent(benchmark::State& state, const QString& path)
{
    THistoryStore store(path);
    if (!store.Open()) {
        state.SkipWithError(store.Error().toUtf8().constData());
        return;
    }
    TDeviceSession session;
    THistoryRecorder recorder(session, &store);
    recorder.PortName = [] { return QStringLiteral("/dev/ttyUSB0"); };
    int n = 0;
    for (auto _ : state) {
        const TTransducerData before = Unit(n);
        const TTransducerData after = Unit(++n);
        emit session.events.configurationWritten(before, after);
    }
    if (recorder.RecordedCount() != int(state.iterations()))
        state.SkipWithError("not every event was recorded");
}

void BM_RecordEvent(benchmark::State& state)
{
    RecordEvent(state, Folder().path() + QStringLiteral("/record.sqlite"));
}
BENCHMARK(BM_RecordEvent)->Iterations(500)->Unit(benchmark::kMicrosecond);

void BM_RecordEventInto100kHistory(benchmark::State& state)
{
    const QString big = BigHistory(Folder().path(), 100000, 2000);
    const QString copy = Folder().path() + QStringLiteral("/record-big.sqlite");
    QFile::remove(copy);
    QFile::copy(big, copy);
    RecordEvent(state, copy);
}
BENCHMARK(BM_RecordEventInto100kHistory)->Iterations(500)->Unit(benchmark::kMicrosecond);

// From opening the file to the first rows of the list and of the first unit's timeline.
void BM_JournalFirstRows100k(benchmark::State& state)
{
    const QString path = BigHistory(Folder().path(), 100000, 2000);
    for (auto _ : state) {
        THistoryStore store(path);
        if (!store.Open(true)) {
            state.SkipWithError(store.Error().toUtf8().constData());
            return;
        }
        TfrmJournal journal(store, UnattendedMessages());
        journal.SelectUnit(0);
        const QVariant first = journal.UnitsModel()->data(journal.UnitsModel()->index(0, THistoryUnitsModel::colNumber));
        const QVariant event = journal.TimelineModel()->data(journal.TimelineModel()->index(0, 0));
        if (!first.isValid() || !event.isValid())
            state.SkipWithError("no rows");
        benchmark::DoNotOptimize(first);
        state.counters["units"] = journal.UnitsModel()->rowCount();
    }
}
BENCHMARK(BM_JournalFirstRows100k)->Iterations(10)->Unit(benchmark::kMillisecond);

// The full chain check zelkor-cli history --verify makes.
void BM_VerifyChain100k(benchmark::State& state)
{
    const QString path = BigHistory(Folder().path(), 100000, 2000);
    THistoryStore store(path);
    store.Open(true);
    for (auto _ : state) {
        const TChainCheck check = store.VerifyChain();
        if (!check.ok)
            state.SkipWithError(check.Text().toUtf8().constData());
    }
}
BENCHMARK(BM_VerifyChain100k)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
