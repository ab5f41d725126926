#pragma once

#include "instr/ScpiClient.h"
#include "instr/ScpiReply.h"

// The commands a resistance source is driven with; the settings may change them.
struct TSourceCommands {
    QString identify = QStringLiteral("*IDN?");
    // "<ohms>" stands for the value; without it the value follows after a blank.
    QString setResistance = QStringLiteral("SOUR:RES <ohms>");
    QString outputOn = QStringLiteral("OUTP ON");
    QString outputOff = QStringLiteral("OUTP OFF");
    // Asked after every setting; "1" means done. Empty: nothing asked (and a
    // source that went away shows only when writing fails).
    QString confirm = QStringLiteral("*OPC?");
};

// "SOUR:RES 138.510" from the template and the value.
QString ResistanceCommand(const QString& pattern, double ohms);

// A resistance source (decade box, calibrator) on a SCPI line.
class TScpiSource {
public:
    TScpiSource(TScpiClient& client, const TSourceCommands& commands = {});

    TScpiClient& Client() { return m_client; }
    bool Identify(TScpiIdentity& identity, QString* error = nullptr);
    bool SetResistance(double ohms, QString* error = nullptr);
    bool OutputOn(QString* error = nullptr);
    bool OutputOff(QString* error = nullptr);

private:
    bool Command(const QString& command, QString* error);

    TScpiClient& m_client;
    TSourceCommands m_commands;
};
