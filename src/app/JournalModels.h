#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QString>

#include <optional>

// What the journal's list of transducers is narrowed to.
struct TJournalFilter {
    QString sensorNumber;   // digits the number starts with; empty: any
    QString type;           // "M", "N"; empty: any
    QDate from, to;         // both ends included; invalid: open
};

// The transducers in the history, newest activity first: type, sensor
// number, last event and its time, last verdict. Rows are fetched as the
// view scrolls.
class THistoryUnitsModel : public QSqlQueryModel {
    Q_OBJECT
public:
    enum Column { colType, colNumber, colEvent, colTime, colVerdict, colLastId, colCount };
    using QSqlQueryModel::QSqlQueryModel;

    bool Load(const QSqlDatabase& db, const TJournalFilter& filter, QString* error = nullptr);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

// One transducer's events, newest first, including those recorded under
// the numbers it carried before a number change.
class THistoryTimelineModel : public QSqlQueryModel {
    Q_OBJECT
public:
    enum Column { colId, colTime, colEvent, colAddress, colPort, colVerdict, colCount };
    using QSqlQueryModel::QSqlQueryModel;

    bool Load(const QSqlDatabase& db, qint64 sensorNumber, const QString& type, const TJournalFilter& filter,
              QString* error = nullptr);
    qint64 RecordId(int row) const;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

QString VerdictText(const QVariant& verdict); // "годен", "не годен", "" for none
