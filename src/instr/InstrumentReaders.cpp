#include "instr/InstrumentReaders.h"

TMeterCurrentReader::TMeterCurrentReader(std::unique_ptr<TScpiClient> client, const TMeterConfig& config)
    : m_client(std::move(client))
    , m_meter(*m_client, config.commands)
    , m_info(InstrumentInfoOf(TInstrumentRole::Meter, config))
{
}

bool TMeterCurrentReader::Prepare(QString* error)
{
    return m_meter.Configure(error);
}

bool TMeterCurrentReader::ReadCurrent(const TVerifyPoint&, double* milliamps, QString* error)
{
    double ma = 0;
    if (!m_meter.ReadCurrent(ma, error))
        return false;
    if (milliamps)
        *milliamps = ma;
    return true;
}

TSourceResistance::TSourceResistance(std::unique_ptr<TScpiClient> client, const TSourceConfig& config)
    : m_client(std::move(client))
    , m_source(*m_client, config.commands)
    , m_info(InstrumentInfoOf(TInstrumentRole::Source, config))
{
}

bool TSourceResistance::SetResistance(double ohms, QString* error)
{
    if (!m_source.SetResistance(ohms, error))
        return false;
    if (!m_on && !m_source.OutputOn(error))
        return false;
    m_on = true;
    return true;
}

bool TSourceResistance::SwitchOff(QString* error)
{
    if (!m_source.OutputOff(error))
        return false;
    m_on = false;
    return true;
}
