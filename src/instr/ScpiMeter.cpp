#include "instr/ScpiMeter.h"

#include <cmath>

TSettlingRule MeterSettlingRule()
{
    TSettlingRule r;
    r.samples = 5;
    r.spread = 0.002;
    r.slope = 0.002;
    return r;
}

bool IdentifyInstrument(TScpiClient& client, const QString& command, TScpiIdentity& identity, QString* error)
{
    QString reply;
    if (!client.Query(command, reply, error))
        return false;
    QString why;
    if (!ParseScpiIdentity(reply, identity, &why)) {
        if (error)
            *error = client.Describe(why);
        return false;
    }
    return true;
}

TScpiMeter::TScpiMeter(TScpiClient& client, const TMeterCommands& commands)
    : m_client(client)
    , m_commands(commands)
{
}

bool TScpiMeter::Identify(TScpiIdentity& identity, QString* error)
{
    return IdentifyInstrument(m_client, m_commands.identify, identity, error);
}

bool TScpiMeter::Configure(QString* error)
{
    if (m_commands.configure.trimmed().isEmpty())
        return true;
    return m_client.Write(m_commands.configure.trimmed(), error);
}

bool TScpiMeter::ReadCurrent(double& milliamperes, QString* error)
{
    double amperes = 0;
    if (!m_client.QueryNumber(m_commands.read, amperes, error))
        return false;
    // A loop current beyond 1 A is no reading of a 0–20 mA output: a wrong
    // function or range on the meter.
    if (std::fabs(amperes) > 1.0) {
        if (error)
            *error = m_client.Describe(QStringLiteral("на «%1» ответ %2 А: это не ток выхода (проверьте режим прибора)")
                                           .arg(m_commands.read)
                                           .arg(amperes, 0, 'g', 6));
        return false;
    }
    milliamperes = amperes * 1000.0;
    return true;
}

bool TScpiMeter::ReadSettled(ITickSource& ticks, const TSettlingRule& rule, const TSettleLimits& limits,
                             TSettledValue& out, QString* error, const std::function<bool()>& cancelled)
{
    QString why;
    const bool ok = ::ReadSettled([this](double& v, QString* e) { return ReadCurrent(v, e); }, ticks, rule, limits,
                                  out, &why, cancelled);
    if (!ok && error)
        *error = why.startsWith(m_client.Name()) ? why : m_client.Describe(why);
    return ok;
}
