#pragma once

#include "device/CurrentReader.h"
#include "instr/InstrumentSettings.h"

#include <memory>

// The meter as the verification's current reader: every call a fresh
// reading, judged for settling like the transducer's own.
class TMeterCurrentReader : public ICurrentReader {
public:
    TMeterCurrentReader(std::unique_ptr<TScpiClient> client, const TMeterConfig& config);

    // Sends the configure command; false with the meter's reason.
    bool Prepare(QString* error);
    bool ReadCurrent(const TVerifyPoint& point, double* milliamps, QString* error) override;
    bool Live() const override { return true; }
    std::optional<TInstrumentInfo> Instrument() const override { return m_info; }
    TScpiClient& Client() { return *m_client; }

private:
    std::unique_ptr<TScpiClient> m_client;
    TScpiMeter m_meter;
    TInstrumentInfo m_info;
};

// The source as the verification's resistance: set, then switched on.
class TSourceResistance : public IResistanceSource {
public:
    TSourceResistance(std::unique_ptr<TScpiClient> client, const TSourceConfig& config);

    bool SetResistance(double ohms, QString* error) override;
    std::optional<TInstrumentInfo> Instrument() const override { return m_info; }
    // Off at the last value; false when the source did not take it.
    bool SwitchOff(QString* error = nullptr);
    bool On() const { return m_on; }
    TScpiClient& Client() { return *m_client; }

private:
    std::unique_ptr<TScpiClient> m_client;
    TScpiSource m_source;
    TInstrumentInfo m_info;
    bool m_on = false;
};
