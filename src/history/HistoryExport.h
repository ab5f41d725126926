#pragma once

#include "history/HistoryRecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QString>

// The event's name as the journal shows it ("Подключение", ...).
QString EventKindText(const QString& kind);
// One line about what the event carries.
QString EventSummary(const THistoryRecord& record);
// Local time as the journal shows it, DD.MM.YYYY HH:MM:SS.
QString EventTimeText(const QDateTime& time);

QJsonObject RecordJson(const THistoryRecord& record);
// {"records": [...]} as indented JSON.
QByteArray HistoryJson(const QList<THistoryRecord>& records);
// The trend's CSV conventions: UTF-8 with a byte-order mark, a header row,
// local time in ISO 8601, CRLF, ';' where the decimal mark is a comma.
QByteArray HistoryCsv(const QList<THistoryRecord>& records, const QLocale& locale = QLocale());
