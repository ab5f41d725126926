#pragma once

#include "link/LinkObserver.h"

#include <QByteArray>
#include <QString>

// The verdict in words, e.g. "исключение 2: Некорректный номер регистра данных.".
QString VerdictText(const TLinkEvent& event);
// The bytes as upper-case hex pairs separated by blanks.
QString HexText(const QByteArray& bytes);
