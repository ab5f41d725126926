#pragma once

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>

// The program's CSV as a spreadsheet reads it: UTF-8 with a byte-order mark,
// CRLF line ends, and where the locale's decimal mark is a comma the
// separator is ';', else ','.
struct TCsvFormat {
    QChar separator = QLatin1Char(',');
    QChar decimalMark = QLatin1Char('.');

    static TCsvFormat ForLocale(const QLocale& locale);
};

// A field quoted when it holds the separator, a quote or a line end.
QString CsvField(QString text, QChar separator);

// The finished text as the file's bytes.
QByteArray CsvBytes(const QString& text);
