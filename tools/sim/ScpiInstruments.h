#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The bench instruments the simulator can play beside the transducer: a
// DC current meter in its output loop and a resistance source at its input.
// Each takes one SCPI command line and gives the reply line, if any; the
// pseudo-terminal around them is TScpiPty.

class TSimScpiInstrument {
public:
    virtual ~TSimScpiInstrument() = default;
    // One command line without its line end; nothing for commands without a reply.
    std::optional<std::string> Handle(const std::string& line);

protected:
    // Upper-cased header (e.g. "CONF:CURR:DC"), the rest of the line as given.
    virtual std::optional<std::string> command(const std::string& header, const std::string& argument) = 0;
    virtual std::string identity() const = 0;
    void pushError(int code, const char* text);

private:
    std::string m_error; // SYST:ERR? gives it and forgets it
};

// Reads `current` (mA) as amperes, with a uniform noise of +-noiseUa.
class TSimMeter : public TSimScpiInstrument {
public:
    TSimMeter(std::function<double()> currentMa, double noiseUa, uint32_t seed);

protected:
    std::optional<std::string> command(const std::string& header, const std::string& argument) override;
    std::string identity() const override;

private:
    double noise();
    std::function<double()> m_current;
    double m_noiseUa;
    uint32_t m_rng;
    bool m_currentMode = true; // anything but DC current reads as an overload
};

// SOUR:RES sets the resistance; it reaches the transducer while the output is on.
class TSimSource : public TSimScpiInstrument {
public:
    // `apply` returns false when the transducer's sensor has no temperature for the value.
    explicit TSimSource(std::function<bool(double ohms)> apply);
    double Resistance() const { return m_ohms; }
    bool OutputOn() const { return m_on; }

protected:
    std::optional<std::string> command(const std::string& header, const std::string& argument) override;
    std::string identity() const override;

private:
    std::function<bool(double)> m_apply;
    double m_ohms = 100.0;
    bool m_on = false;
};

// Long SCPI forms shortened to the short ones: "SOURCE:RESISTANCE" -> "SOUR:RES".
std::string ShortScpiHeader(const std::string& header);
