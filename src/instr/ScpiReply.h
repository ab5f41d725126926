#pragma once

#include <QString>

// What an instrument's *IDN? names: maker, model, serial number, firmware.
struct TScpiIdentity {
    QString maker;
    QString model;
    QString serial;
    QString firmware;
    QString text; // the answer as it came
};

// Reads "maker,model,serial,firmware"; at least maker and model must be
// there. False with a reason for anything else.
bool ParseScpiIdentity(const QString& reply, TScpiIdentity& identity, QString* why = nullptr);

// Meters report an overload or an invalid reading as 9.9E37 (or -9.9E37).
constexpr double kScpiOverload = 9.9e37;

// A reply that is one plain number and nothing else ("+1.234567E-03").
// Empty replies, text, units, several values, NaN/infinity and the overload
// value are refused with a reason that quotes the reply.
bool ParseScpiNumber(const QString& reply, double& value, QString* why = nullptr);

// A reply for the user: control characters shown, long ones cut.
QString QuoteReply(const QString& reply);
