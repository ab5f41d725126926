#include "instr/InstrumentSettings.h"

#include "common/IniFile.h"
#include "instr/UsbtmcDevice.h"

const QString InstrumentsSection = QStringLiteral("Instruments");

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

QString Key(const QString& prefix, const char* name)
{
    return prefix + QLatin1String(name);
}

void ReadCommon(const TIniFile& ini, const QString& p, TInstrumentConfig& c)
{
    const TInstrumentConfig d;
    c.device = ini.readString(InstrumentsSection, Key(p, "Device")).trimmed();
    const int baud = ini.readInteger(InstrumentsSection, Key(p, "Baud"), int(d.baud));
    c.baud = baud > 0 ? uint32_t(baud) : d.baud;
    const int bits = ini.readInteger(InstrumentsSection, Key(p, "DataBits"), d.dataBits);
    c.dataBits = bits >= 5 && bits <= 8 ? bits : d.dataBits;
    const QString parity = ini.readString(InstrumentsSection, Key(p, "Parity"), QStringLiteral("N")).trimmed().toUpper();
    c.parity = parity == QLatin1String("O") ? 1 : parity == QLatin1String("E") ? 2 : 0;
    const int stop = ini.readInteger(InstrumentsSection, Key(p, "StopBits"), d.stopBits);
    c.stopBits = stop == 2 ? 2 : 1;
    const QString term = ini.readString(InstrumentsSection, Key(p, "Terminator"), d.terminator).trimmed().toUpper();
    c.terminator = term == QLatin1String("CRLF") || term == QLatin1String("CR") ? term : QStringLiteral("LF");
    c.model = ini.readString(InstrumentsSection, Key(p, "Model")).trimmed();
    c.serial = ini.readString(InstrumentsSection, Key(p, "Serial")).trimmed();
    c.certificate = ini.readString(InstrumentsSection, Key(p, "Certificate")).trimmed();
    c.dueDate = QDate::fromString(ini.readString(InstrumentsSection, Key(p, "DueDate")).trimmed(), kDateFormat);
}

void WriteCommon(TIniFile& ini, const QString& p, const TInstrumentConfig& c)
{
    static const char* const parities[] = {"N", "O", "E"};
    ini.writeString(InstrumentsSection, Key(p, "Device"), c.device.trimmed());
    ini.writeInteger(InstrumentsSection, Key(p, "Baud"), int(c.baud));
    ini.writeInteger(InstrumentsSection, Key(p, "DataBits"), c.dataBits);
    ini.writeString(InstrumentsSection, Key(p, "Parity"), QLatin1String(parities[c.parity >= 0 && c.parity <= 2 ? c.parity : 0]));
    ini.writeInteger(InstrumentsSection, Key(p, "StopBits"), c.stopBits);
    ini.writeString(InstrumentsSection, Key(p, "Terminator"), c.terminator);
    ini.writeString(InstrumentsSection, Key(p, "Model"), c.model);
    ini.writeString(InstrumentsSection, Key(p, "Serial"), c.serial);
    ini.writeString(InstrumentsSection, Key(p, "Certificate"), c.certificate);
    ini.writeString(InstrumentsSection, Key(p, "DueDate"), c.dueDate.isValid() ? c.dueDate.toString(kDateFormat) : QString());
}

// A command key left empty by hand falls back to the default, except where
// empty means "send nothing".
QString ReadCommand(const TIniFile& ini, const QString& key, const QString& def, bool emptyAllowed = false)
{
    if (!ini.valueExists(InstrumentsSection, key))
        return def;
    const QString v = ini.readString(InstrumentsSection, key).trimmed();
    return v.isEmpty() && !emptyAllowed ? def : v;
}

} // namespace

TLineSettings TInstrumentConfig::Line() const
{
    TLineSettings l;
    l.baud = baud;
    l.dataBits = dataBits;
    l.parity = parity;
    l.stopBits = stopBits == 2 ? 2 : 0;
    l.rtsOn = true;
    l.dtrOn = true; // many bench meters talk only with DTR raised
    return l;
}

void ReadInstrumentSettings(const TIniFile& ini, TInstrumentSettings& s)
{
    s = {};
    const QString m = QStringLiteral("Meter");
    const QString r = QStringLiteral("Source");
    ReadCommon(ini, m, s.meter);
    ReadCommon(ini, r, s.source);
    const TMeterCommands md;
    s.meter.commands.identify = ReadCommand(ini, Key(m, "Identify"), md.identify);
    s.meter.commands.configure = ReadCommand(ini, Key(m, "Configure"), md.configure, true);
    s.meter.commands.read = ReadCommand(ini, Key(m, "Read"), md.read);
    s.meter.autoRead = ini.readBool(InstrumentsSection, Key(m, "AutoRead"), false);
    const TSourceCommands sd;
    s.source.commands.identify = ReadCommand(ini, Key(r, "Identify"), sd.identify);
    s.source.commands.setResistance = ReadCommand(ini, Key(r, "SetResistance"), sd.setResistance);
    s.source.commands.outputOn = ReadCommand(ini, Key(r, "OutputOn"), sd.outputOn);
    s.source.commands.outputOff = ReadCommand(ini, Key(r, "OutputOff"), sd.outputOff);
    s.source.commands.confirm = ReadCommand(ini, Key(r, "Confirm"), sd.confirm, true);
}

void WriteInstrumentSettings(TIniFile& ini, const TInstrumentSettings& s)
{
    const QString m = QStringLiteral("Meter");
    const QString r = QStringLiteral("Source");
    WriteCommon(ini, m, s.meter);
    ini.writeString(InstrumentsSection, Key(m, "Identify"), s.meter.commands.identify);
    ini.writeString(InstrumentsSection, Key(m, "Configure"), s.meter.commands.configure);
    ini.writeString(InstrumentsSection, Key(m, "Read"), s.meter.commands.read);
    ini.writeBool(InstrumentsSection, Key(m, "AutoRead"), s.meter.autoRead);
    WriteCommon(ini, r, s.source);
    ini.writeString(InstrumentsSection, Key(r, "Identify"), s.source.commands.identify);
    ini.writeString(InstrumentsSection, Key(r, "SetResistance"), s.source.commands.setResistance);
    ini.writeString(InstrumentsSection, Key(r, "OutputOn"), s.source.commands.outputOn);
    ini.writeString(InstrumentsSection, Key(r, "OutputOff"), s.source.commands.outputOff);
    ini.writeString(InstrumentsSection, Key(r, "Confirm"), s.source.commands.confirm);
}

bool IsDefaultInstrumentSettings(const TInstrumentSettings& settings)
{
    TIniFile given(QString{});
    TIniFile defaults(QString{});
    WriteInstrumentSettings(given, settings);
    WriteInstrumentSettings(defaults, TInstrumentSettings{});
    return given.content() == defaults.content();
}

QString InstrumentName(TInstrumentRole role)
{
    return role == TInstrumentRole::Meter ? QStringLiteral("Мультиметр") : QStringLiteral("Источник сопротивления");
}

bool CertificateOverdue(const TInstrumentConfig& config, const QDate& today)
{
    return config.dueDate.isValid() && today.isValid() && config.dueDate < today;
}

QStringList TDueDateWarnings::Take(const TInstrumentSettings& s, const QDate& today, bool withSource)
{
    QStringList out;
    auto check = [&](TInstrumentRole role, const TInstrumentConfig& c, bool& warned) {
        if (warned || !c.Configured() || !CertificateOverdue(c, today))
            return;
        warned = true;
        QString what = InstrumentName(role);
        if (!c.model.isEmpty())
            what += QLatin1Char(' ') + c.model;
        if (!c.serial.isEmpty())
            what += QStringLiteral(" № %1").arg(c.serial);
        QString cert = c.certificate.isEmpty() ? QString() : QStringLiteral(" № %1").arg(c.certificate);
        out << QStringLiteral("%1: срок действия свидетельства о поверке%2 истёк %3.")
                   .arg(what, cert, c.dueDate.toString(kDateFormat));
    };
    check(TInstrumentRole::Meter, s.meter, m_meterWarned);
    if (withSource)
        check(TInstrumentRole::Source, s.source, m_sourceWarned);
    return out;
}

TInstrumentInfo InstrumentInfoOf(TInstrumentRole role, const TInstrumentConfig& c)
{
    TInstrumentInfo info;
    info.role = role == TInstrumentRole::Meter ? QStringLiteral("meter") : QStringLiteral("source");
    info.device = c.device;
    info.model = c.model;
    info.serial = c.serial;
    info.certificate = c.certificate;
    info.dueDate = c.dueDate;
    return info;
}

void FillIdentity(TScpiClient& client, const QString& command, TInstrumentConfig& config)
{
    if (!config.model.isEmpty())
        return;
    TScpiIdentity id;
    if (!IdentifyInstrument(client, command, id, nullptr))
        return;
    config.model = id.maker.isEmpty() ? id.model : id.maker + QLatin1Char(' ') + id.model;
    if (config.serial.isEmpty())
        config.serial = id.serial;
}

TDeviceFactory SystemDeviceFactory()
{
    return [](const QString& path) { return MakeInstrumentDevice(path); };
}

std::unique_ptr<TScpiClient> OpenInstrument(TInstrumentRole role, const TInstrumentConfig& config, ITickSource& ticks,
                                            const TDeviceFactory& factory, QString* error)
{
    const QString name = InstrumentName(role);
    if (!config.Configured()) {
        if (error)
            *error = QStringLiteral("%1: не указано устройство").arg(name);
        return nullptr;
    }
    auto client = std::make_unique<TScpiClient>(name, factory ? factory(config.device) : MakeInstrumentDevice(config.device),
                                                ticks);
    client->Terminator = TerminatorBytes(config.terminator);
    if (!client->Open(config.device, config.Line(), error))
        return nullptr;
    return client;
}
