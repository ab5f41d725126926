#include "ScpiInstruments.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ParseValue(const std::string& text, double* v)
{
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(t.c_str(), &end);
    if (errno != 0 || !std::isfinite(d) || Trim(end).size() != 0)
        return false;
    *v = d;
    return true;
}

} // namespace

std::string ShortScpiHeader(const std::string& header)
{
    // SCPI's short form is the mnemonic's first four letters (three when
    // the fourth is a vowel); a query mark stays.
    std::string out;
    std::string word;
    auto flush = [&] {
        if (word.empty())
            return;
        std::string w = word;
        if (w.size() > 4) {
            const char fourth = w[3];
            w = w.substr(0, std::string("AEIOU").find(fourth) != std::string::npos ? 3 : 4);
        }
        out += w;
        word.clear();
    };
    for (const char c : header) {
        if (c == ':' || c == '?') {
            flush();
            out += c;
        } else {
            word += c;
        }
    }
    flush();
    return out;
}

std::optional<std::string> TSimScpiInstrument::Handle(const std::string& line)
{
    const std::string text = Trim(line);
    if (text.empty())
        return std::nullopt;
    const size_t blank = text.find_first_of(" \t");
    std::string header = Upper(text.substr(0, blank));
    const std::string argument = blank == std::string::npos ? std::string() : Trim(text.substr(blank));
    if (!header.empty() && header[0] == ':')
        header.erase(0, 1);
    if (header == "*IDN?")
        return identity();
    if (header == "*OPC?")
        return std::string("1");
    if (header == "*RST" || header == "*CLS") {
        m_error.clear();
        return std::nullopt;
    }
    const std::string shortHeader = ShortScpiHeader(header);
    if (shortHeader == "SYST:ERR?" || shortHeader == "SYST:ERR:NEXT?") {
        std::string e = m_error.empty() ? std::string("+0,\"No error\"") : m_error;
        m_error.clear();
        return e;
    }
    return command(shortHeader, argument);
}

void TSimScpiInstrument::pushError(int code, const char* text)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%+d,\"%s\"", code, text);
    m_error = buf;
}

TSimMeter::TSimMeter(std::function<double()> currentMa, double noiseUa, uint32_t seed)
    : m_current(std::move(currentMa))
    , m_noiseUa(noiseUa)
    , m_rng(seed ? seed : 1)
{
}

std::string TSimMeter::identity() const
{
    return "SIMLAB,SDM-4020,SL-20451,1.03";
}

double TSimMeter::noise()
{
    m_rng = m_rng * 1664525u + 1013904223u;
    return (double(m_rng >> 8) / double(1u << 24) * 2.0 - 1.0) * m_noiseUa;
}

std::optional<std::string> TSimMeter::command(const std::string& header, const std::string& argument)
{
    if (header == "CONF:CURR:DC" || header == "CONF:CURR" || header == "FUNC" || header == "SENS:FUNC") {
        if (header == "FUNC" || header == "SENS:FUNC")
            m_currentMode = Upper(argument).find("CURR") != std::string::npos;
        else
            m_currentMode = true;
        return std::nullopt;
    }
    if (header.rfind("CONF:", 0) == 0) {
        m_currentMode = false;
        return std::nullopt;
    }
    if (header == "READ?" || header == "MEAS:CURR:DC?" || header == "MEAS:CURR?" || header == "FETC?") {
        if (header.rfind("MEAS:", 0) == 0)
            m_currentMode = true;
        if (!m_currentMode)
            return std::string("+9.90000000E+37");
        const double amps = (m_current() + noise() / 1000.0) / 1000.0;
        char buf[40];
        std::snprintf(buf, sizeof buf, "%+.8E", amps);
        return std::string(buf);
    }
    pushError(-113, "Undefined header");
    return std::nullopt;
}

TSimSource::TSimSource(std::function<bool(double)> apply)
    : m_apply(std::move(apply))
{
}

std::string TSimSource::identity() const
{
    return "SIMLAB,SRC-1000,SL-31877,2.10";
}

std::optional<std::string> TSimSource::command(const std::string& header, const std::string& argument)
{
    if (header == "SOUR:RES" || header == "RES") {
        double v = 0;
        if (!ParseValue(argument, &v) || v < 0 || v > 100000) {
            pushError(-222, "Data out of range");
            return std::nullopt;
        }
        m_ohms = v;
        if (m_on && !m_apply(v))
            pushError(-222, "Data out of range");
        return std::nullopt;
    }
    if (header == "SOUR:RES?" || header == "RES?") {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%+.6E", m_ohms);
        return std::string(buf);
    }
    if (header == "OUTP" || header == "OUTP:STAT") {
        const std::string a = Upper(argument);
        if (a == "ON" || a == "1") {
            m_on = true;
            if (!m_apply(m_ohms))
                pushError(-222, "Data out of range");
        } else if (a == "OFF" || a == "0") {
            m_on = false; // the input is left at the last value: an open input is not played
        } else {
            pushError(-224, "Illegal parameter value");
        }
        return std::nullopt;
    }
    if (header == "OUTP?" || header == "OUTP:STAT?")
        return std::string(m_on ? "1" : "0");
    pushError(-113, "Undefined header");
    return std::nullopt;
}
