#pragma once

#include "passport/Certificate.h"

#include <QFont>
#include <QString>

#include <functional>

class TDeviceEvents;
class THistoryStore;

struct TIssuedCertificate {
    QString number;
    QString path;
    QString fileSha256;
    QString dataSha256;
    int pages = 0;
};

// Issues a certificate: reserves its number in the history, prints it to
// the file `pathFor(number)` names, and records it (number, the SHA-256 of
// the file and of the certified data) so the file can be checked later.
// `events`, when given, hears certificateIssued. False with a reason.
bool IssueCertificate(THistoryStore& store, TCertificateData data, const std::function<QString(const QString&)>& pathFor,
                      const QFont& font, TIssuedCertificate* issued, QString* error, TDeviceEvents* events = nullptr);

QString FileSha256(const QString& path, QString* error = nullptr);

enum class TCertificateCheck { Genuine, Unknown, Altered, Unreadable };
// Whether `path` is a certificate this history issued, unchanged, and
// whether the records it certifies are still as they were. `text` says so.
TCertificateCheck CheckCertificateFile(const THistoryStore& store, const QString& path, QString* text);
