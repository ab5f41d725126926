#include "app/JournalModels.h"

#include "history/HistoryExport.h"

#include <QColor>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <limits>

namespace {

QString LocalTime(const QVariant& utc)
{
    return EventTimeText(QDateTime::fromString(utc.toString(), Qt::ISODateWithMs));
}

// The period's conditions on `time`, with their values.
void PeriodConditions(const TJournalFilter& f, QStringList* where, QVariantList* values)
{
    if (f.from.isValid()) {
        *where << QStringLiteral("time >= ?");
        *values << f.from.startOfDay().toUTC().toString(Qt::ISODateWithMs);
    }
    if (f.to.isValid()) {
        *where << QStringLiteral("time < ?");
        *values << f.to.addDays(1).startOfDay().toUTC().toString(Qt::ISODateWithMs);
    }
}

bool Run(QSqlQueryModel& model, const QSqlDatabase& db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        model.clear();
        return false;
    }
    model.setQuery(std::move(q));
    return true;
}

// How the journal shows a cell of the time, event or verdict column; an
// invalid value leaves the cell to the query model.
enum class TJournalColumn { Other, Time, Event, Verdict };

QVariant JournalCell(TJournalColumn column, const QVariant& raw, int role)
{
    if (role == Qt::DisplayRole) {
        switch (column) {
        case TJournalColumn::Time: return LocalTime(raw);
        case TJournalColumn::Event: return EventKindText(raw.toString());
        case TJournalColumn::Verdict: return VerdictText(raw);
        case TJournalColumn::Other: break;
        }
    }
    if (role == Qt::ForegroundRole && column == TJournalColumn::Verdict && !raw.isNull())
        return raw.toInt() ? QColor(0, 110, 0) : QColor(170, 0, 0);
    return {};
}

// A model's cell: its time, event and verdict columns formatted, the rest as read.
QVariant JournalData(const QSqlQueryModel& model, const QModelIndex& index, int role, int colTime, int colEvent,
                     int colVerdict)
{
    const int c = index.column();
    const TJournalColumn column = c == colTime      ? TJournalColumn::Time
                                  : c == colEvent   ? TJournalColumn::Event
                                  : c == colVerdict ? TJournalColumn::Verdict
                                                    : TJournalColumn::Other;
    const QVariant shown = JournalCell(column, model.QSqlQueryModel::data(index, Qt::DisplayRole), role);
    return shown.isValid() ? shown : model.QSqlQueryModel::data(index, role);
}

} // namespace

QString VerdictText(const QVariant& verdict)
{
    if (verdict.isNull())
        return {};
    return verdict.toInt() ? QStringLiteral("годен") : QStringLiteral("не годен");
}

bool THistoryUnitsModel::Load(const QSqlDatabase& db, const TJournalFilter& f, QString* error)
{
    QStringList where;
    QVariantList values;
    if (!f.sensorNumber.trimmed().isEmpty()) {
        where << QStringLiteral("CAST(sensor_number AS TEXT) LIKE ?");
        values << f.sensorNumber.trimmed() + QLatin1Char('%');
    }
    if (!f.type.isEmpty()) {
        where << QStringLiteral("type = ?");
        values << f.type;
    }
    PeriodConditions(f, &where, &values);
    const QString sql =
        QStringLiteral("SELECT u.type, u.sensor_number, e.kind, e.time,"
                       " (SELECT v.verdict FROM events v WHERE v.sensor_number = u.sensor_number AND v.type = u.type"
                       "  AND v.verdict IS NOT NULL ORDER BY v.id DESC LIMIT 1) AS verdict,"
                       " u.last_id"
                       " FROM (SELECT type, sensor_number, MAX(id) AS last_id FROM events %1"
                       "  GROUP BY sensor_number, type) u"
                       " JOIN events e ON e.id = u.last_id ORDER BY u.last_id DESC")
            .arg(where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")));
    return Run(*this, db, sql, values, error);
}

QVariant THistoryUnitsModel::data(const QModelIndex& index, int role) const
{
    return JournalData(*this, index, role, colTime, colEvent, colVerdict);
}

QVariant THistoryUnitsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        static const char16_t* names[] = {u"Тип", u"Номер датчика", u"Последнее событие", u"Время", u"Вывод", u"Запись"};
        if (section >= 0 && section < colCount)
            return QString::fromUtf16(names[section]);
    }
    return QSqlQueryModel::headerData(section, orientation, role);
}

bool THistoryTimelineModel::Load(const QSqlDatabase& db, qint64 number, const QString& type, const TJournalFilter& f,
                                 QString* error)
{
    // The numbers the unit carried before: each change leads to the number
    // it came from, whose events count up to the change.
    QStringList unit;
    QVariantList values;
    unit << QStringLiteral("(sensor_number = ? AND type = ?)");
    values << number << type;
    qint64 current = number;
    qint64 before = std::numeric_limits<qint64>::max();
    QList<qint64> seen{number};
    for (int depth = 0; depth < 32; ++depth) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT id, json_extract(content, '$.data.from') FROM events"
                                 " WHERE kind = 'sensorNumberChanged' AND sensor_number = ? AND type = ? AND id < ?"
                                 " ORDER BY id DESC LIMIT 1"));
        q.addBindValue(current);
        q.addBindValue(type);
        q.addBindValue(before);
        if (!q.exec() || !q.next())
            break;
        before = q.value(0).toLongLong();
        current = q.value(1).toLongLong();
        if (seen.contains(current))
            break;
        seen << current;
        unit << QStringLiteral("(sensor_number = ? AND type = ? AND id < ?)");
        values << current << type << before;
    }
    QStringList where{QStringLiteral("(") + unit.join(QStringLiteral(" OR ")) + QStringLiteral(")")};
    PeriodConditions(f, &where, &values);
    // The address and the port are in the content only.
    const QString sql = QStringLiteral("SELECT id, time, kind, json_extract(content, '$.address'),"
                                       " json_extract(content, '$.port'), verdict FROM events WHERE %1 ORDER BY id DESC")
                            .arg(where.join(QStringLiteral(" AND ")));
    return Run(*this, db, sql, values, error);
}

qint64 THistoryTimelineModel::RecordId(int row) const
{
    return QSqlQueryModel::data(index(row, colId)).toLongLong();
}

QVariant THistoryTimelineModel::data(const QModelIndex& index, int role) const
{
    return JournalData(*this, index, role, colTime, colEvent, colVerdict);
}

QVariant THistoryTimelineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        static const char16_t* names[] = {u"Запись", u"Время", u"Событие", u"Адрес", u"Порт", u"Вывод"};
        if (section >= 0 && section < colCount)
            return QString::fromUtf16(names[section]);
    }
    return QSqlQueryModel::headerData(section, orientation, role);
}
