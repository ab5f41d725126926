#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251 is the single-byte code page of the transducer's texts and of
// every file the program reads and writes. Own table: no codec plugins needed.

// Characters without a place in the code page become '?'.
QByteArray toCp1251(const QString& text);
QString fromCp1251(const QByteArray& bytes);
QChar cp1251ToUnicode(unsigned char byte);
