#include "SimState.h"

#include "common/Cp1251.h"
#include "common/IniFile.h"

#include <QDate>
#include <QStringList>

#include <cmath>

namespace {

const QString kIdentity = QStringLiteral("Identity");
const QString kInformation = QStringLiteral("Information");
const QString kConfiguration = QStringLiteral("Configuration");
const QString kCalibration = QStringLiteral("Calibration");
const QString kCorrections = QStringLiteral("Corrections");
const QString kBench = QStringLiteral("Bench");

QString dateText(const TSimDateBytes& d)
{
    return QStringLiteral("%1.%2.%3")
        .arg(d[0], 2, 10, QLatin1Char('0'))
        .arg(d[1], 2, 10, QLatin1Char('0'))
        .arg((d[2] << 8) | d[3], 4, 10, QLatin1Char('0'));
}

// The raw bytes are kept even when they form no calendar date: a transducer
// that was never set up reports 00.00.0000 and the program must see that.
bool parseDate(const QString& text, TSimDateBytes* out)
{
    const QStringList parts = text.trimmed().split('.');
    if (parts.size() != 3)
        return false;
    bool ok1 = false, ok2 = false, ok3 = false;
    const int d = parts[0].toInt(&ok1), m = parts[1].toInt(&ok2), y = parts[2].toInt(&ok3);
    if (!ok1 || !ok2 || !ok3 || d < 0 || d > 255 || m < 0 || m > 255 || y < 0 || y > 65535)
        return false;
    *out = {uint8_t(d), uint8_t(m), uint8_t(y >> 8), uint8_t(y)};
    return true;
}

int readInt(const TIniFile& ini, const QString& section, const QString& key, int def, int min, int max)
{
    const int v = ini.readInteger(section, key, def);
    return v < min || v > max ? def : v;
}

double readReal(const TIniFile& ini, const QString& section, const QString& key, double def)
{
    bool ok = false;
    const double v = ini.readString(section, key).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : def;
}

QString realText(double v)
{
    return QString::number(v, 'g', 12);
}

// Quoted, so that leading or trailing spaces of a text survive the file.
QString quoted(const QByteArray& bytes)
{
    return '"' + EscapeStateText(bytes) + '"';
}

} // namespace

TSimDateBytes MakeSimDate(int day, int month, int year)
{
    return {uint8_t(day), uint8_t(month), uint8_t(year >> 8), uint8_t(year)};
}

bool SimDateValid(const TSimDateBytes& d)
{
    const int year = (d[2] << 8) | d[3];
    return year >= 1 && year <= 9999 && QDate::isValid(year, d[1], d[0]);
}

QByteArray DefaultTypeText(uint8_t typeCode)
{
    return toCp1251(typeCode == 'N' ? QStringLiteral("Зелкор-Н 0-5мА") : QStringLiteral("Зелкор-М 4-20мА"));
}

TSimState DefaultSimState()
{
    TSimState s;
    s.typeText = DefaultTypeText(s.typeCode);
    s.sensorTypeText = toCp1251(QStringLiteral("ТСП 100П"));
    s.sensorNumber = 1234;
    s.sensorDate = MakeSimDate(1, 2, 2005);
    s.calibrDate = MakeSimDate(25, 3, 2005);
    return s;
}

double SimR0Ohms(const TSimState& s)
{
    return s.r0Code == 2 ? 50.0 : 100.0;
}

int SimAverageSeconds(const TSimState& s)
{
    return s.averageCode == 0 ? 0 : (s.averageCode + 2) / 6;
}

QString EscapeStateText(const QByteArray& bytes)
{
    QByteArray safe;
    for (const char c : bytes) {
        const auto b = uint8_t(c);
        if (b < 0x20 || b == '\\' || b == 0x7F)
            safe += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0')).toLatin1();
        else
            safe += c;
    }
    return fromCp1251(safe);
}

QByteArray UnescapeStateText(const QString& text)
{
    const QByteArray in = toCp1251(text);
    QByteArray out;
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            const int b = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out += char(b);
                i += 3;
                continue;
            }
        }
        out += in[i];
    }
    return out;
}

bool LoadSimState(const QString& fileName, TSimState& s, QString* error)
{
    TIniFile ini(fileName);
    if (!ini.load(error))
        return false;
    const TSimState d = s;

    s.address = uint8_t(readInt(ini, kIdentity, QStringLiteral("Address"), d.address, 1, 255));
    const QString type = ini.readString(kIdentity, QStringLiteral("TypeCode")).trimmed().toUpper();
    if (type == QLatin1String("M") || type == QLatin1String("N"))
        s.typeCode = uint8_t(type[0].toLatin1());
    if (ini.valueExists(kIdentity, QStringLiteral("TypeText")))
        s.typeText = UnescapeStateText(ini.readString(kIdentity, QStringLiteral("TypeText"))).left(16);

    if (ini.valueExists(kInformation, QStringLiteral("SensorType")))
        s.sensorTypeText = UnescapeStateText(ini.readString(kInformation, QStringLiteral("SensorType"))).left(24);
    int number = 0;
    if (parseProfileInt(ini.readString(kInformation, QStringLiteral("SensorNumber")), &number))
        s.sensorNumber = number;
    parseDate(ini.readString(kInformation, QStringLiteral("SensorDate")), &s.sensorDate);

    s.sensorKind = uint8_t(readInt(ini, kConfiguration, QStringLiteral("SensorKind"), d.sensorKind, 0, 255));
    s.r0Code = uint8_t(readInt(ini, kConfiguration, QStringLiteral("R0Code"), d.r0Code, 0, 255));
    s.bottomBound = int16_t(readInt(ini, kConfiguration, QStringLiteral("BottomBound"), d.bottomBound, -32768, 32767));
    s.topBound = int16_t(readInt(ini, kConfiguration, QStringLiteral("TopBound"), d.topBound, -32768, 32767));
    s.outputCode = uint8_t(readInt(ini, kConfiguration, QStringLiteral("OutputCode"), d.outputCode, 0, 255));
    s.alarmCode = uint8_t(readInt(ini, kConfiguration, QStringLiteral("AlarmCode"), d.alarmCode, 0, 255));
    s.averageCode = uint8_t(readInt(ini, kConfiguration, QStringLiteral("AverageCode"), d.averageCode, 0, 255));

    parseDate(ini.readString(kCalibration, QStringLiteral("Date")), &s.calibrDate);
    s.outputTrimmed = ini.readBool(kCalibration, QStringLiteral("OutputTrimmed"), d.outputTrimmed);
    s.trimLowUa = readInt(ini, kCalibration, QStringLiteral("TrimLow"), d.trimLowUa, -32768, 32767);
    s.trimHighUa = readInt(ini, kCalibration, QStringLiteral("TrimHigh"), d.trimHighUa, -32768, 32767);
    if (s.trimHighUa <= s.trimLowUa)
        s.outputTrimmed = false; // no line through two such points

    s.r0Corrected = ini.readBool(kCorrections, QStringLiteral("R0Done"), d.r0Corrected);
    s.r0Offset = readReal(ini, kCorrections, QStringLiteral("R0Offset"), d.r0Offset);
    s.nsxCorrected = ini.readBool(kCorrections, QStringLiteral("NSXDone"), d.nsxCorrected);
    s.nsxGain = readReal(ini, kCorrections, QStringLiteral("NSXGain"), d.nsxGain);
    if (s.nsxGain <= 0)
        s.nsxGain = 1.0;

    s.temperature = readReal(ini, kBench, QStringLiteral("Temperature"), d.temperature);
    s.diagState = uint8_t(readInt(ini, kBench, QStringLiteral("DiagState"), d.diagState, 0, 255));
    return true;
}

bool SaveSimState(const QString& fileName, const TSimState& s, QString* error)
{
    TIniFile ini(fileName);
    ini.writeInteger(kIdentity, QStringLiteral("Address"), s.address);
    ini.writeString(kIdentity, QStringLiteral("TypeCode"), QString(QChar(s.typeCode)));
    ini.writeString(kIdentity, QStringLiteral("TypeText"), quoted(s.typeText));

    ini.writeString(kInformation, QStringLiteral("SensorType"), quoted(s.sensorTypeText));
    ini.writeInteger(kInformation, QStringLiteral("SensorNumber"), s.sensorNumber);
    ini.writeString(kInformation, QStringLiteral("SensorDate"), dateText(s.sensorDate));

    ini.writeInteger(kConfiguration, QStringLiteral("SensorKind"), s.sensorKind);
    ini.writeInteger(kConfiguration, QStringLiteral("R0Code"), s.r0Code);
    ini.writeInteger(kConfiguration, QStringLiteral("BottomBound"), s.bottomBound);
    ini.writeInteger(kConfiguration, QStringLiteral("TopBound"), s.topBound);
    ini.writeInteger(kConfiguration, QStringLiteral("OutputCode"), s.outputCode);
    ini.writeInteger(kConfiguration, QStringLiteral("AlarmCode"), s.alarmCode);
    ini.writeInteger(kConfiguration, QStringLiteral("AverageCode"), s.averageCode);

    ini.writeString(kCalibration, QStringLiteral("Date"), dateText(s.calibrDate));
    ini.writeBool(kCalibration, QStringLiteral("OutputTrimmed"), s.outputTrimmed);
    ini.writeInteger(kCalibration, QStringLiteral("TrimLow"), s.trimLowUa);
    ini.writeInteger(kCalibration, QStringLiteral("TrimHigh"), s.trimHighUa);

    ini.writeBool(kCorrections, QStringLiteral("R0Done"), s.r0Corrected);
    ini.writeString(kCorrections, QStringLiteral("R0Offset"), realText(s.r0Offset));
    ini.writeBool(kCorrections, QStringLiteral("NSXDone"), s.nsxCorrected);
    ini.writeString(kCorrections, QStringLiteral("NSXGain"), realText(s.nsxGain));

    ini.writeString(kBench, QStringLiteral("Temperature"), realText(s.temperature));
    ini.writeInteger(kBench, QStringLiteral("DiagState"), s.diagState);
    return ini.save(error);
}
