#include "history/HistorySchema.h"

QStringList HistorySchemaV1()
{
    return {
        QStringLiteral("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE events ("
                       " id INTEGER PRIMARY KEY,"
                       " time TEXT NOT NULL,"
                       " kind TEXT NOT NULL,"
                       " sensor_number INTEGER NOT NULL,"
                       " type TEXT NOT NULL,"
                       " content TEXT NOT NULL,"
                       " prev_hash TEXT NOT NULL,"
                       " hash TEXT NOT NULL)"),
        QStringLiteral("PRAGMA user_version = 1"),
    };
}

QStringList HistoryMigration(int from)
{
    switch (from) {
    case 1:
        // The verdict of a verification beside it, so the journal finds a
        // unit's last verdict without reading contents; the indexes the
        // journal's queries walk; certificate numbers; and triggers that keep
        // the table append-only for anyone who writes to it by mistake.
        return {
            QStringLiteral("ALTER TABLE events ADD COLUMN verdict INTEGER"),
            QStringLiteral("UPDATE events SET verdict = CASE json_extract(content, '$.data.pass')"
                           " WHEN 1 THEN 1 WHEN 0 THEN 0 END WHERE kind = 'verification'"),
            QStringLiteral("CREATE INDEX events_unit ON events (sensor_number, type, id)"),
            QStringLiteral("CREATE INDEX events_verdict ON events (sensor_number, type, id) WHERE verdict IS NOT NULL"),
            QStringLiteral("CREATE INDEX events_time ON events (time)"),
            QStringLiteral("CREATE TABLE certificate_numbers ("
                           " year INTEGER NOT NULL, seq INTEGER NOT NULL, reserved TEXT NOT NULL,"
                           " PRIMARY KEY (year, seq))"),
            QStringLiteral("CREATE TRIGGER events_no_update BEFORE UPDATE ON events"
                           " BEGIN SELECT RAISE(ABORT, 'history records are never changed'); END"),
            QStringLiteral("CREATE TRIGGER events_no_delete BEFORE DELETE ON events"
                           " BEGIN SELECT RAISE(ABORT, 'history records are never removed'); END"),
            QStringLiteral("PRAGMA user_version = 2"),
        };
    default:
        return {};
    }
}
