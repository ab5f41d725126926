#pragma once

#include "device/ReadingStore.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

// The readings as a spreadsheet reads them: UTF-8 with a byte-order mark, a
// header row, local time in ISO 8601, CRLF line ends. Where the locale's
// decimal mark is a comma the separator is ';', else ','.
QByteArray ReadingsCsv(const QList<TReading>& readings, const QLocale& locale = QLocale());

// Writes the text to `path` in one go (a temporary file renamed into place,
// so a failed write leaves no half file). False with a readable reason.
bool SaveTextFile(const QString& path, const QByteArray& data, QString* error);
