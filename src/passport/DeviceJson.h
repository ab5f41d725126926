#pragma once

#include "device/CalibrationProtocol.h"
#include "device/TransducerData.h"
#include "device/VerificationTypes.h"

#include <QJsonArray>
#include <QJsonObject>

// The device layer's records as the history stores them. Dates are ISO
// (yyyy-MM-dd) or null, times ISO 8601 UTC, a missing reading null.

QString TypeCodeText(int plType); // "M", "N", or "0x41" for anything else

QJsonObject IdentityJson(const TTransducerData& t);
QJsonObject ConfigurationJson(const TTransducerData& t);
// Identity and configuration back into a record (fields absent stay as they are).
void TransducerFromJson(const QJsonObject& identity, const QJsonObject& configuration, TTransducerData* t);

// Each field that differs: [{"field": ..., "old": ..., "new": ...}].
QJsonArray InformationChanges(const TTransducerData& before, const TTransducerData& after);
QJsonArray ConfigurationChanges(const TTransducerData& before, const TTransducerData& after);

QJsonObject CalibrationJson(const TCalibrationRecord& record);
bool CalibrationFromJson(const QJsonObject& o, TCalibrationRecord* record);

QJsonObject VerificationJson(const TVerificationResult& result);
bool VerificationFromJson(const QJsonObject& o, TVerificationResult* result);

QString StageName(TVerifyStage stage); // "alone", "asFound", "asLeft"
