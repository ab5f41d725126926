#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

// One event in a transducer's history, as it is appended.
struct THistoryEvent {
    QString kind;            // "connected", "configurationWritten", ... (see HistoryKinds.h)
    QDateTime time;          // when it happened; stored as UTC
    QString programVersion;
    QString port;
    int address = 0;
    QString transducerType;  // the type code as read, "M" or "N"
    qint64 sensorNumber = 0; // as read
    QJsonObject data;        // what the kind carries
};

// A stored event: its place in the chain and the text its hash covers.
struct THistoryRecord : THistoryEvent {
    qint64 id = 0;
    QByteArray content;      // canonical JSON, exactly as hashed
    QString prevHash;        // hex SHA-256 of the record before (zeros for the first)
    QString hash;            // hex SHA-256 of prevHash + content
};

inline const QString kNoPreviousHash = QString(64, QLatin1Char('0'));

// The canonical text of an event at position `id`: compact JSON with sorted keys.
QByteArray CanonicalContent(qint64 id, const THistoryEvent& event);
// SHA-256 (hex) of the previous hash followed by the content.
QString ChainHash(const QString& prevHash, const QByteArray& content);
// The event back from its canonical text; false when it is not one.
bool ParseContent(const QByteArray& content, qint64* id, THistoryEvent* event);

// The version every record carries.
QString ProgramVersion();
// Stored time: UTC, ISO 8601 with milliseconds.
QString HistoryTimeText(const QDateTime& time);
