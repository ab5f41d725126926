#include "history/HistoryStore.h"

#include "history/HistorySchema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

namespace {

QAtomicInt g_connectionCounter;

const QByteArray kSqliteHeader("SQLite format 3\0", 16);

QString SqlError(const QSqlError& e)
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return text.trimmed();
}

bool Exec(QSqlDatabase& db, const QString& statement, QString* error)
{
    QSqlQuery q(db);
    if (q.exec(statement))
        return true;
    if (error)
        *error = SqlError(q.lastError());
    return false;
}

const char* kSelectColumns = "SELECT id, time, kind, sensor_number, type, verdict, content, prev_hash, hash FROM events";

bool ReadRow(const QSqlQuery& q, THistoryRecord* r)
{
    r->id = q.value(0).toLongLong();
    r->content = q.value(6).toString().toUtf8();
    r->prevHash = q.value(7).toString();
    r->hash = q.value(8).toString();
    qint64 id = 0;
    if (!ParseContent(r->content, &id, r))
        return false;
    return id == r->id;
}

} // namespace

QString TChainCheck::Text() const
{
    if (ok)
        return QStringLiteral("Журнал цел: проверено записей %1").arg(checked);
    if (firstBad > 0)
        return QStringLiteral("Цепочка записей нарушена: запись %1 — %2").arg(firstBad).arg(reason);
    return QStringLiteral("Журнал не проверен: %1").arg(reason);
}

QString THistoryStore::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zelkor/history.sqlite");
}

THistoryStore::THistoryStore(const QString& path)
    : m_path(path)
    , m_connection(QStringLiteral("zelkor-history-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

THistoryStore::~THistoryStore()
{
    Close();
}

void THistoryStore::Close()
{
    if (QSqlDatabase::contains(m_connection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_open = false;
    m_writable = false;
}

QSqlDatabase THistoryStore::Database() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool THistoryStore::Fail(const QString& text)
{
    m_error = text;
    return false;
}

bool THistoryStore::Open(bool readOnly)
{
    Close();
    m_error.clear();
    if (OpenFile(readOnly))
        return true;
    Close(); // every handle on the connection is gone by now
    return false;
}

bool THistoryStore::OpenFile(bool readOnly)
{
    const QString unusable = QStringLiteral("Журнал приборов %1 не используется: %2. Файл оставлен без изменений.");
    const QFileInfo info(m_path);
    const bool exists = info.exists();
    if (exists) {
        if (!info.isFile())
            return Fail(unusable.arg(m_path, QStringLiteral("это не файл")));
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return Fail(unusable.arg(m_path, QStringLiteral("файл не читается (%1)").arg(file.errorString())));
        const QByteArray head = file.read(100);
        // An empty file is what a crash during creation leaves; anything else must be a database.
        if (!head.isEmpty() && (head.size() < 100 || !head.startsWith(kSqliteHeader)))
            return Fail(unusable.arg(m_path, QStringLiteral("это не файл базы данных SQLite или он повреждён")));
        m_writable = !readOnly && info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
    } else {
        if (readOnly)
            return Fail(QStringLiteral("Журнал приборов %1 ещё не создан").arg(m_path));
        if (!QDir().mkpath(info.absolutePath()))
            return Fail(QStringLiteral("Не удалось создать папку журнала приборов %1").arg(info.absolutePath()));
        m_writable = true;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Fail(QStringLiteral("Журнал приборов недоступен: нет драйвера SQLite для Qt (пакет libqt6sql6-sqlite)"));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        // A writer elsewhere (zelkor-cli) holds the lock for milliseconds; the GUI waits at most 2 s.
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000");
        if (!m_writable)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open())
            return Fail(unusable.arg(m_path, SqlError(db.lastError())));
    }
    m_open = true;
    bool fresh = false;
    if (!Inspect(&fresh))
        return false;

    QSqlDatabase db = Database();
    if (m_writable) {
        QString error;
        // Committed records survive the process being killed at any moment:
        // WAL never rewrites committed pages in place.
        if (!Exec(db, QStringLiteral("PRAGMA journal_mode = WAL"), &error)
            || !Exec(db, QStringLiteral("PRAGMA synchronous = NORMAL"), &error))
            return Fail(unusable.arg(m_path, error));
        if (fresh && !CreateSchema())
            return false;
        if (m_version < kSchemaVersion && !Migrate(m_version))
            return false;
    } else {
        if (m_version < kSchemaVersion)
            return Fail(unusable.arg(m_path, QStringLiteral("старая версия журнала, а файл нельзя изменить")));
        if (!readOnly)
            m_error = QStringLiteral("Журнал приборов %1 доступен только для чтения: события не записываются").arg(m_path);
    }
    return true;
}

bool THistoryStore::Inspect(bool* fresh)
{
    QString reason;
    {
        QSqlDatabase db = Database();
        QSqlQuery q(db);
        auto read = [&](const QString& sql, QVariant* value) {
            if (q.exec(sql) && q.next()) {
                *value = q.value(0);
                return true;
            }
            reason = QStringLiteral("файл повреждён (%1)").arg(SqlError(q.lastError()));
            return false;
        };
        QVariant appId, version, objects, events;
        if (read(QStringLiteral("PRAGMA application_id"), &appId) && read(QStringLiteral("PRAGMA user_version"), &version)
            && read(QStringLiteral("SELECT count(*) FROM sqlite_master"), &objects)) {
            m_version = version.toInt();
            *fresh = objects.toInt() == 0 && m_version == 0 && appId.toInt() == 0;
            if (*fresh) {
                if (!m_writable)
                    reason = QStringLiteral("файл пуст, а изменить его нельзя");
            } else if (appId.toInt() != kApplicationId || m_version < 1) {
                reason = QStringLiteral("это база данных другой программы");
            } else if (m_version > kSchemaVersion) {
                reason = QStringLiteral("журнал создан более новой версией программы (схема %1)").arg(m_version);
            } else {
                // The table must be there and readable; a damaged page shows up here.
                read(QStringLiteral("SELECT count(*) FROM events"), &events);
            }
        }
    }
    if (reason.isEmpty())
        return true;
    return Fail(QStringLiteral("Журнал приборов %1 не используется: %2. Файл оставлен без изменений.").arg(m_path, reason));
}

bool THistoryStore::CreateSchema()
{
    QSqlDatabase db = Database();
    QString error;
    if (!db.transaction())
        return Fail(QStringLiteral("Не удалось создать журнал приборов %1: %2").arg(m_path, SqlError(db.lastError())));
    QStringList statements = HistorySchemaV1();
    statements << QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId);
    for (const QString& s : statements) {
        if (!Exec(db, s, &error)) {
            db.rollback();
            return Fail(QStringLiteral("Не удалось создать журнал приборов %1: %2").arg(m_path, error));
        }
    }
    if (!db.commit())
        return Fail(QStringLiteral("Не удалось создать журнал приборов %1: %2").arg(m_path, SqlError(db.lastError())));
    m_version = 1;
    return true;
}

bool THistoryStore::Migrate(int from)
{
    QSqlDatabase db = Database();
    QString error;
    for (int v = from; v < kSchemaVersion; ++v) {
        const QStringList steps = HistoryMigration(v);
        if (steps.isEmpty() || !db.transaction())
            return Fail(QStringLiteral("Журнал приборов %1 не обновлён со схемы %2").arg(m_path).arg(v));
        for (const QString& s : steps) {
            if (!Exec(db, s, &error)) {
                db.rollback();
                return Fail(QStringLiteral("Журнал приборов %1 не обновлён со схемы %2: %3. Файл оставлен без изменений.")
                                .arg(m_path)
                                .arg(v)
                                .arg(error));
            }
        }
        if (!db.commit())
            return Fail(QStringLiteral("Журнал приборов %1 не обновлён: %2").arg(m_path, SqlError(db.lastError())));
        m_version = v + 1;
    }
    return true;
}

QString THistoryStore::Meta(const QString& key) const
{
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT value FROM meta WHERE key = ?"));
    q.addBindValue(key);
    if (q.exec() && q.next())
        return q.value(0).toString();
    return {};
}

bool THistoryStore::SetMeta(const QString& key, const QString& value)
{
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("INSERT INTO meta (key, value) VALUES (?, ?)"
                             " ON CONFLICT(key) DO UPDATE SET value = excluded.value"));
    q.addBindValue(key);
    q.addBindValue(value);
    return q.exec();
}

bool THistoryStore::Append(const THistoryEvent& event, qint64* newId, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = QStringLiteral("Событие не записано в журнал приборов: %1").arg(text);
        return false;
    };
    if (!CanWrite())
        return fail(m_error.isEmpty() ? QStringLiteral("журнал не открыт") : m_error);
    QSqlDatabase db = Database();
    QSqlQuery q(db);
    // IMMEDIATE: the program and zelkor-cli may append at the same time; the
    // last record is read under the write lock.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(SqlError(q.lastError()));
    auto rollback = [&](const QString& text) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(text);
    };
    qint64 lastId = 0;
    QString lastHash = kNoPreviousHash;
    if (!q.exec(QStringLiteral("SELECT id, hash FROM events ORDER BY id DESC LIMIT 1")))
        return rollback(SqlError(q.lastError()));
    if (q.next()) {
        lastId = q.value(0).toLongLong();
        lastHash = q.value(1).toString();
    }
    q.finish();
    THistoryEvent e = event;
    if (!e.time.isValid())
        e.time = QDateTime::currentDateTimeUtc();
    if (e.programVersion.isEmpty())
        e.programVersion = ProgramVersion();
    const qint64 id = lastId + 1;
    const QByteArray content = CanonicalContent(id, e);
    const QString hash = ChainHash(lastHash, content);
    QVariant verdict;
    if (e.kind == QLatin1String("verification"))
        verdict = e.data.value(QStringLiteral("pass")).toBool() ? 1 : 0;
    q.prepare(QStringLiteral("INSERT INTO events (id, time, kind, sensor_number, type, verdict, content, prev_hash, hash)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(id);
    q.addBindValue(HistoryTimeText(e.time));
    q.addBindValue(e.kind);
    q.addBindValue(e.sensorNumber);
    q.addBindValue(e.transducerType);
    q.addBindValue(verdict);
    q.addBindValue(QString::fromUtf8(content));
    q.addBindValue(lastHash);
    q.addBindValue(hash);
    if (!q.exec())
        return rollback(SqlError(q.lastError()));
    // The head lets a check notice records removed from the end.
    if (!SetMeta(QStringLiteral("head_id"), QString::number(id)) || !SetMeta(QStringLiteral("head_hash"), hash))
        return rollback(SqlError(db.lastError()));
    if (!q.exec(QStringLiteral("COMMIT")))
        return rollback(SqlError(q.lastError()));
    if (newId)
        *newId = id;
    return true;
}

QList<THistoryRecord> THistoryStore::Records(const THistoryFilter& f, QString* error) const
{
    QList<THistoryRecord> out;
    if (!m_open) {
        if (error)
            *error = m_error;
        return out;
    }
    QStringList where;
    QVariantList values;
    if (f.sensorNumber) {
        where << QStringLiteral("sensor_number = ?");
        values << *f.sensorNumber;
    }
    if (!f.transducerType.isEmpty()) {
        where << QStringLiteral("type = ?");
        values << f.transducerType;
    }
    if (!f.kind.isEmpty()) {
        where << QStringLiteral("kind = ?");
        values << f.kind;
    }
    if (f.since.isValid()) {
        where << QStringLiteral("time >= ?");
        values << HistoryTimeText(f.since);
    }
    if (f.until.isValid()) {
        where << QStringLiteral("time < ?");
        values << HistoryTimeText(f.until);
    }
    QString sql = QString::fromLatin1(kSelectColumns);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += f.limit > 0 ? QStringLiteral(" ORDER BY id DESC LIMIT %1").arg(f.limit) : QStringLiteral(" ORDER BY id");
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = SqlError(q.lastError());
        return out;
    }
    while (q.next()) {
        THistoryRecord r;
        if (ReadRow(q, &r))
            out << r;
    }
    if (f.limit > 0)
        std::reverse(out.begin(), out.end());
    return out;
}

bool THistoryStore::Record(qint64 id, THistoryRecord* record) const
{
    if (!m_open)
        return false;
    QSqlQuery q(Database());
    q.prepare(QString::fromLatin1(kSelectColumns) + QStringLiteral(" WHERE id = ?"));
    q.addBindValue(id);
    return q.exec() && q.next() && ReadRow(q, record);
}

qint64 THistoryStore::Count() const
{
    QSqlQuery q(Database());
    if (m_open && q.exec(QStringLiteral("SELECT count(*) FROM events")) && q.next())
        return q.value(0).toLongLong();
    return 0;
}

TChainCheck THistoryStore::VerifyChain() const
{
    return VerifyFrom(0, kNoPreviousHash);
}

TChainCheck THistoryStore::VerifyNew()
{
    const qint64 markId = Meta(QStringLiteral("verified_id")).toLongLong();
    const QString markHash = Meta(QStringLiteral("verified_hash"));
    TChainCheck check;
    if (markId > 0) {
        THistoryRecord marked;
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT hash FROM events WHERE id = ?"));
        q.addBindValue(markId);
        if (!q.exec() || !q.next() || q.value(0).toString() != markHash) {
            check.ok = false;
            check.firstBad = markId;
            check.reason = QStringLiteral("запись, проверенная ранее, изменена или удалена");
            return check;
        }
        check = VerifyFrom(markId, markHash);
    } else {
        check = VerifyFrom(0, kNoPreviousHash);
    }
    if (check.ok && CanWrite()) {
        const QString headId = Meta(QStringLiteral("head_id"));
        if (!headId.isEmpty()) {
            SetMeta(QStringLiteral("verified_id"), headId);
            SetMeta(QStringLiteral("verified_hash"), Meta(QStringLiteral("head_hash")));
        }
    }
    return check;
}

TChainCheck THistoryStore::VerifyFrom(qint64 afterId, const QString& afterHash) const
{
    TChainCheck c;
    auto bad = [&](qint64 id, const QString& reason) {
        c.ok = false;
        c.firstBad = id;
        c.reason = reason;
        return c;
    };
    if (!m_open) {
        c.ok = false;
        c.reason = m_error;
        return c;
    }
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    q.prepare(QString::fromLatin1(kSelectColumns) + QStringLiteral(" WHERE id > ? ORDER BY id"));
    q.addBindValue(afterId);
    if (!q.exec()) {
        c.ok = false;
        c.reason = SqlError(q.lastError());
        return c;
    }
    qint64 previousId = afterId;
    QString previousHash = afterHash;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        ++c.checked;
        if (id != previousId + 1)
            return bad(previousId + 1, QStringLiteral("запись отсутствует (удалена), следующая — %1").arg(id));
        const QByteArray content = q.value(6).toString().toUtf8();
        const QString prevHash = q.value(7).toString();
        const QString hash = q.value(8).toString();
        if (prevHash != previousHash)
            return bad(id, QStringLiteral("ссылка на предыдущую запись не совпадает с её хешем "
                                          "(запись %1 изменена или эта запись вставлена)")
                               .arg(previousId));
        if (ChainHash(prevHash, content) != hash)
            return bad(id, QStringLiteral("содержимое не совпадает с хешем записи (запись изменена)"));
        THistoryRecord r;
        qint64 contentId = 0;
        if (!ParseContent(content, &contentId, &r) || contentId != id)
            return bad(id, QStringLiteral("содержимое записи не читается"));
        const QVariant verdict = q.value(5);
        const QVariant expectedVerdict = r.kind == QLatin1String("verification")
                                             ? QVariant(r.data.value(QStringLiteral("pass")).toBool() ? 1 : 0)
                                             : QVariant();
        if (q.value(1).toString() != HistoryTimeText(r.time) || q.value(2).toString() != r.kind
            || q.value(3).toLongLong() != r.sensorNumber || q.value(4).toString() != r.transducerType
            || verdict.isNull() != expectedVerdict.isNull()
            || (!verdict.isNull() && verdict.toInt() != expectedVerdict.toInt()))
            return bad(id, QStringLiteral("поля таблицы не совпадают с содержимым записи (запись изменена)"));
        previousId = id;
        previousHash = hash;
    }
    if (q.lastError().isValid()) {
        c.ok = false;
        c.reason = SqlError(q.lastError());
        return c;
    }
    const qint64 headId = Meta(QStringLiteral("head_id")).toLongLong();
    if (headId > previousId)
        return bad(previousId + 1, QStringLiteral("последние записи начиная с этой удалены (всего было %1)").arg(headId));
    if (headId == previousId && headId > 0 && Meta(QStringLiteral("head_hash")) != previousHash)
        return bad(previousId, QStringLiteral("последняя запись заменена"));
    return c;
}

QString THistoryStore::ReserveCertificateNumber(int year, QString* error)
{
    if (!CanWrite()) {
        if (error)
            *error = m_error.isEmpty() ? QStringLiteral("журнал приборов не открыт") : m_error;
        return {};
    }
    QSqlQuery q(Database());
    // One statement: two programs issuing at once still get different numbers.
    q.prepare(QStringLiteral("INSERT INTO certificate_numbers (year, seq, reserved)"
                             " SELECT ?, COALESCE(MAX(seq), 0) + 1, ? FROM certificate_numbers WHERE year = ?"
                             " RETURNING seq"));
    q.addBindValue(year);
    q.addBindValue(HistoryTimeText(QDateTime::currentDateTimeUtc()));
    q.addBindValue(year);
    if (!q.exec() || !q.next()) {
        if (error)
            *error = SqlError(q.lastError());
        return {};
    }
    return QStringLiteral("%1-%2").arg(year).arg(q.value(0).toInt(), 4, 10, QLatin1Char('0'));
}
