#pragma once

#include "instr/ScpiClient.h"
#include "instr/ScpiReply.h"
#include "instr/SettledReading.h"

// The commands a current meter is driven with; the settings may change them.
struct TMeterCommands {
    QString identify = QStringLiteral("*IDN?");
    QString configure = QStringLiteral("CONF:CURR:DC 0.1"); // empty: none sent
    QString read = QStringLiteral("READ?");                 // reply in amperes
};

// How an output current is judged settled, in mA: a loop current that moves
// less than 2 µA between readings and drifts less than 2 µA a second.
TSettlingRule MeterSettlingRule();

// A DC current meter on a SCPI line.
class TScpiMeter {
public:
    TScpiMeter(TScpiClient& client, const TMeterCommands& commands = {});

    TScpiClient& Client() { return m_client; }
    bool Identify(TScpiIdentity& identity, QString* error = nullptr);
    // Sends the configure command (once after opening).
    bool Configure(QString* error = nullptr);
    // One reading, in mA.
    bool ReadCurrent(double& milliamperes, QString* error = nullptr);
    // Readings until they settle; the mean and spread in mA.
    bool ReadSettled(ITickSource& ticks, const TSettlingRule& rule, const TSettleLimits& limits, TSettledValue& out,
                     QString* error = nullptr, const std::function<bool()>& cancelled = {});

private:
    TScpiClient& m_client;
    TMeterCommands m_commands;
};

// Asks *IDN? through `client` with the given command.
bool IdentifyInstrument(TScpiClient& client, const QString& command, TScpiIdentity& identity, QString* error);
