#include "instr/ScpiSource.h"

#include "instr/ScpiMeter.h"

#include <cmath>

QString ResistanceCommand(const QString& pattern, double ohms)
{
    const QString value = QString::number(ohms, 'f', 3);
    const QString p = pattern.trimmed();
    if (p.contains(QLatin1String("<ohms>")))
        return QString(p).replace(QLatin1String("<ohms>"), value);
    return p + QLatin1Char(' ') + value;
}

TScpiSource::TScpiSource(TScpiClient& client, const TSourceCommands& commands)
    : m_client(client)
    , m_commands(commands)
{
}

bool TScpiSource::Identify(TScpiIdentity& identity, QString* error)
{
    return IdentifyInstrument(m_client, m_commands.identify, identity, error);
}

bool TScpiSource::Command(const QString& command, QString* error)
{
    if (!m_client.Write(command, error))
        return false;
    const QString confirm = m_commands.confirm.trimmed();
    if (confirm.isEmpty())
        return true;
    QString reply;
    if (!m_client.Query(confirm, reply, error))
        return false;
    const QString r = reply.trimmed();
    if (r != QLatin1String("1") && r != QLatin1String("+1")) {
        if (error)
            *error = m_client.Describe(QStringLiteral("после «%1» на «%2» ответ %3 вместо 1")
                                           .arg(command, confirm, QuoteReply(reply)));
        return false;
    }
    return true;
}

bool TScpiSource::SetResistance(double ohms, QString* error)
{
    if (!std::isfinite(ohms) || ohms < 0) {
        if (error)
            *error = m_client.Describe(QStringLiteral("сопротивление %1 Ом не задаётся").arg(ohms));
        return false;
    }
    return Command(ResistanceCommand(m_commands.setResistance, ohms), error);
}

bool TScpiSource::OutputOn(QString* error)
{
    return Command(m_commands.outputOn.trimmed(), error);
}

bool TScpiSource::OutputOff(QString* error)
{
    return Command(m_commands.outputOff.trimmed(), error);
}
