#pragma once

#include "device/TransducerData.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>

// What a finished calibration leaves for its protocol.
struct TCalibrationRecord {
    TTransducerData transducer;   // identity and the date stored at stage 7
    int current5 = 0;             // µA sent with stage 5 (-1: refused entry)
    int current6 = 0;             // µA sent with stage 6
    QDateTime started;            // the first stage request
    QDateTime finished;           // stage 7 accepted
};

struct TProtocolLine {
    QString label;
    QString value;
};

// The protocol's title and its lines, in page order.
QString ProtocolTitle();
QList<TProtocolLine> ProtocolLines(const TCalibrationRecord& record);

// Prints the protocol to a one-page A4 PDF in the given font, which the
// writer embeds. False with a readable reason.
bool WriteProtocolPdf(const QString& path, const TCalibrationRecord& record, const QFont& font, QString* error);
