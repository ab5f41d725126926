#pragma once

#include "passport/Certificate.h"

#include <QFont>
#include <QString>

QString CertificateTitle(const QString& number);
// The statement every certificate carries.
QString CertificateStatement();

// Prints the certificate to an A4 PDF in the given font: the number and
// "стр. N из M" on every page, as many pages as it takes. False with a
// readable reason; `pages` gets the page count.
bool WriteCertificatePdf(const QString& path, const TCertificateData& data, const QFont& font, QString* error,
                         int* pages = nullptr);
