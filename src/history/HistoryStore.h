#pragma once

#include "history/HistoryRecord.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

// Which records a listing takes.
struct THistoryFilter {
    std::optional<qint64> sensorNumber;
    QString transducerType;  // empty: any
    QString kind;            // empty: any
    QDateTime since;         // invalid: from the start
    QDateTime until;         // invalid: to the end
    int limit = -1;          // newest first when set
};

// The result of a chain check: the first record that does not match, and why.
struct TChainCheck {
    bool ok = true;
    qint64 checked = 0;   // records read
    qint64 firstBad = 0;  // 0 when ok (or when the file itself failed)
    QString reason;
    QString Text() const;
};

// The history of every transducer the program and zelkor-cli have seen, in
// one SQLite file. Records are only ever appended; each carries the hash of
// its own content and of the record before it. A file that is not ours, is
// damaged, is newer than this program or cannot be written is never changed:
// opening it fails (or gives a read-only store) with a message saying why.
class THistoryStore {
public:
    static constexpr int kSchemaVersion = 2;
    static constexpr qint32 kApplicationId = 0x5A4C4B52; // "ZLKR"

    // $XDG_DATA_HOME/zelkor/history.sqlite (~/.local/share/zelkor/history.sqlite).
    static QString DefaultPath();

    explicit THistoryStore(const QString& path = DefaultPath());
    ~THistoryStore();
    THistoryStore(const THistoryStore&) = delete;
    THistoryStore& operator=(const THistoryStore&) = delete;

    // Opens the file, creating it (and its folder) when missing unless
    // `readOnly`. False with Error() set when it cannot be used at all; a
    // file that can be read but not written opens read-only with Error() set.
    bool Open(bool readOnly = false);
    void Close();
    bool IsOpen() const { return m_open; }
    bool CanWrite() const { return m_open && m_writable; }
    QString Error() const { return m_error; }
    QString Path() const { return m_path; }
    int SchemaVersion() const { return m_version; }

    // Appends one record in its own transaction. The id is the new record's.
    bool Append(const THistoryEvent& event, qint64* id = nullptr, QString* error = nullptr);

    QList<THistoryRecord> Records(const THistoryFilter& filter, QString* error = nullptr) const;
    bool Record(qint64 id, THistoryRecord* record) const;
    qint64 Count() const;

    // The whole chain from the first record.
    TChainCheck VerifyChain() const;
    // Only what was added since the last check that passed, which it then
    // remembers (when the file can be written).
    TChainCheck VerifyNew();

    // The next certificate number of `year`, "YYYY-NNNN", reserved for good.
    QString ReserveCertificateNumber(int year, QString* error = nullptr);

    // For read-only views on the same connection (the journal's models).
    QSqlDatabase Database() const;

private:
    bool OpenFile(bool readOnly);
    bool Fail(const QString& text); // sets the error; Open closes what failed
    bool Inspect(bool* fresh);
    bool CreateSchema();
    bool Migrate(int from);
    TChainCheck VerifyFrom(qint64 afterId, const QString& afterHash) const;
    QString Meta(const QString& key) const;
    bool SetMeta(const QString& key, const QString& value);

    QString m_path;
    QString m_connection;
    QString m_error;
    bool m_open = false;
    bool m_writable = false;
    int m_version = 0;
};
