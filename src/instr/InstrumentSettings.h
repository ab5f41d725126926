#pragma once

#include "device/VerificationTypes.h"
#include "instr/ScpiClient.h"
#include "instr/ScpiMeter.h"
#include "instr/ScpiSource.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TIniFile;

enum class TInstrumentRole { Meter, Source };

// One reference instrument: where it is, how its line runs, and what its
// certificate names.
struct TInstrumentConfig {
    QString device;            // empty: none
    uint32_t baud = 9600;
    int dataBits = 8;
    int parity = 0;            // 0 none, 1 odd, 2 even
    int stopBits = 1;          // 1 or 2
    QString terminator = QStringLiteral("LF"); // LF, CRLF or CR
    QString model;
    QString serial;
    QString certificate;
    QDate dueDate;             // of the certificate; invalid: not given

    bool Configured() const { return !device.trimmed().isEmpty(); }
    TLineSettings Line() const;
};

struct TMeterConfig : TInstrumentConfig {
    TMeterCommands commands;
    bool autoRead = false; // read by itself when a calibration stage wants a current
};

struct TSourceConfig : TInstrumentConfig {
    TSourceCommands commands;
};

struct TInstrumentSettings {
    TMeterConfig meter;
    TSourceConfig source;
};

extern const QString InstrumentsSection; // "Instruments"

// A missing key gives the default; a damaged one too.
void ReadInstrumentSettings(const TIniFile& ini, TInstrumentSettings& settings);
void WriteInstrumentSettings(TIniFile& ini, const TInstrumentSettings& settings);
// Nothing set beyond the defaults: a settings file without the section stays without it.
bool IsDefaultInstrumentSettings(const TInstrumentSettings& settings);

// "Мультиметр" / "Источник сопротивления".
QString InstrumentName(TInstrumentRole role);

// The due date has passed (a certificate valid through its due date).
bool CertificateOverdue(const TInstrumentConfig& config, const QDate& today);

// The overdue warning, once per instrument and run.
class TDueDateWarnings {
public:
    // Warnings not given yet for the configured instruments (the source only
    // when `withSource`); each is given once.
    QStringList Take(const TInstrumentSettings& settings, const QDate& today, bool withSource = true);

private:
    bool m_meterWarned = false;
    bool m_sourceWarned = false;
};

// What a certificate prints about the instrument.
TInstrumentInfo InstrumentInfoOf(TInstrumentRole role, const TInstrumentConfig& config);

using TDeviceFactory = std::function<std::unique_ptr<ISerialDevice>(const QString& path)>;
// MakeInstrumentDevice: USBTMC by its path, else the serial device.
TDeviceFactory SystemDeviceFactory();

// Model and serial from *IDN? when the settings have no model yet; an
// instrument that does not answer it keeps them empty (nothing is reported:
// its readings decide whether it works).
void FillIdentity(TScpiClient& client, const QString& command, TInstrumentConfig& config);

// Opens the instrument's line; null with a reason when it cannot.
std::unique_ptr<TScpiClient> OpenInstrument(TInstrumentRole role, const TInstrumentConfig& config, ITickSource& ticks,
                                            const TDeviceFactory& factory, QString* error);
