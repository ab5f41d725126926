#pragma once

#include "device/CalibrationProtocol.h"
#include "device/VerificationTypes.h"

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cmath>
#include <limits>
#include <optional>

class THistoryStore;

// What is typed or taken from the settings when a certificate is issued.
struct TCertificateInput {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    QString organisation;
    QString organisationAddress;
    double ambientTemperature = kNone; // °C
    double humidity = kNone;           // %
    QString technician;
    QString approver;
};

// One stage of the adjustment as the history saw it.
struct TAdjustmentStage {
    int stage = 0;
    int currentUa = -1; // stages 5 and 6
    bool accepted = false;
};

// Everything a certificate states, gathered from the history.
struct TCertificateData {
    QString number;                 // "YYYY-NNNN"
    QDate issued;
    TCertificateInput input;
    TTransducerData item;           // as last read
    std::optional<TVerificationResult> asFound;
    std::optional<TCalibrationRecord> adjustment;
    QList<TAdjustmentStage> stages;
    std::optional<TVerificationResult> asLeft; // also a verification run on its own
    QList<qint64> recordIds;        // the history records certified
    QStringList recordHashes;
    QString programVersion;

    // The certified data as canonical JSON, and its SHA-256 (hex).
    QJsonObject Json() const;
    QString DataSha256() const;
    // "соответствует", "не соответствует", or why there is no verdict.
    QString VerdictText() const;
    bool HasVerdict() const;
};

// The latest verification or calibration of the sensor and what belongs with
// it: the as-found results before an adjustment, the adjustment and its
// stages, the as-left results after it. False with a reason when the
// history holds nothing to certify.
bool CertificateFromHistory(const THistoryStore& store, qint64 sensorNumber, TCertificateData* data, QString* error);
