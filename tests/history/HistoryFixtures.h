#pragma once

// Helpers for the history tests: events to append, a second connection to
// the same file playing a SQLite client, the bytes of a file.

#include "history/HistoryStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

inline THistoryEvent SampleEvent(const QString& kind, qint64 sensor = 104233, int n = 0)
{
    THistoryEvent e;
    e.kind = kind;
    e.time = QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC).addSecs(60 * n);
    e.programVersion = QStringLiteral("0.1");
    e.port = QStringLiteral("/dev/ttyUSB0");
    e.address = 1;
    e.transducerType = QStringLiteral("M");
    e.sensorNumber = sensor;
    e.data = QJsonObject{{QStringLiteral("n"), n}};
    return e;
}

inline QByteArray FileSha(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

// Another program writing to the file behind the store's back.
class SqlClient {
public:
    explicit SqlClient(const QString& path)
        : m_name(QStringLiteral("client-%1").arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~SqlClient()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    // Empty when it worked, else the error.
    QString exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) ? QString() : q.lastError().text();
    }
    QVariant value(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }

private:
    QString m_name;
};
