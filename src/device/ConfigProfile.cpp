#include "device/ConfigProfile.h"

#include "device/Configuration.h"
#include "common/IniFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

const QString ConfigProfileSuffix = QStringLiteral("zcf");

namespace {

const QString kSection = QStringLiteral("Configuration");
const QString kInfoSection = QStringLiteral("Information");
const QString kSensorTextKey = QStringLiteral("SensorType");

// A profile is a few lines; anything much larger is not one.
constexpr qint64 kMaxProfileSize = 64 * 1024;

struct TKey {
    const char* key;
    const char* field; // the caption of the page's control
};

const TKey kKeys[] = {
    {"Sensor", "Тип датчика"},
    {"R0", "Сопротивление датчика"},
    {"Bottom", "Нижняя граница"},
    {"Top", "Верхняя граница"},
    {"Output", "Токовый выход"},
    {"Alarm", "Аварийный сигнал"},
    {"Average", "Усреднение измерений"},
};

const char* const kSensorNames[] = {"pt391", "pt385", "cu428"};

// Alarm currents in 0.1 mA, by code 1..4 of each transducer type.
const int kAlarmM[] = {32, 36, 210, 220};
const int kAlarmN[] = {0, 55};

QString FieldOf(const QString& key)
{
    for (const TKey& k : kKeys)
        if (key.compare(QLatin1String(k.key), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(k.field);
    return key;
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool FailField(QString* error, const QString& key, const QString& reason)
{
    return Fail(error, FieldOf(key) + QStringLiteral(": ") + reason);
}

QString Unknown(const QString& value, const QString& allowed)
{
    return QStringLiteral("неизвестное значение «%1» (допустимо: %2)").arg(value, allowed);
}

bool ParseWhole(const QString& text, int* value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        *value = v;
    return ok;
}

// "3.2" or "3,2" mA in tenths; false for anything that is not a whole tenth.
bool ParseTenths(const QString& text, int* tenths)
{
    QString t = text.trimmed();
    t.replace(',', '.');
    bool ok = false;
    const double mA = t.toDouble(&ok);
    if (!ok || !std::isfinite(mA) || std::fabs(mA) > 1000)
        return false;
    const double scaled = mA * 10;
    const double whole = std::round(scaled);
    if (std::fabs(scaled - whole) > 1e-6)
        return false;
    *tenths = int(whole);
    return true;
}

QString LimitsReason(int value, int min, int max)
{
    return QStringLiteral("значение %1 вне пределов %2..%3 для выбранного типа датчика").arg(value).arg(min).arg(max);
}

} // namespace

QStringList ConfigProfileKeys()
{
    QStringList keys;
    for (const TKey& k : kKeys)
        keys << QString::fromLatin1(k.key);
    return keys;
}

QString SensorKindName(int kind)
{
    return kind >= 1 && kind <= 3 ? QString::fromLatin1(kSensorNames[kind - 1]) : QString();
}

QString AlarmValueText(int tenths)
{
    if (tenths < 0)
        return {};
    return tenths % 10 == 0 ? QString::number(tenths / 10) : QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString AverageValueText(int seconds)
{
    return seconds == 0 ? QStringLiteral("off") : QString::number(seconds);
}

int AlarmCodeOf(int tenths, int plType)
{
    if (plType == 'M') {
        for (int i = 0; i < 4; ++i)
            if (kAlarmM[i] == tenths)
                return i + 1;
    } else if (plType == 'N') {
        for (int i = 0; i < 2; ++i)
            if (kAlarmN[i] == tenths)
                return i + 1;
    }
    return 0;
}

int AlarmTenthsOf(int code, int plType)
{
    if (plType == 'M' && code >= 1 && code <= 4)
        return kAlarmM[code - 1];
    if (plType == 'N' && code >= 1 && code <= 2)
        return kAlarmN[code - 1];
    return -1;
}

int AlarmTypeOf(int tenths)
{
    if (AlarmCodeOf(tenths, 'M'))
        return 'M';
    if (AlarmCodeOf(tenths, 'N'))
        return 'N';
    return 0;
}

bool SetProfileValue(TConfigProfile& p, const QString& key, const QString& rawValue, QString* error)
{
    const QString value = rawValue.trimmed();
    const QString k = key.trimmed().toLower();
    if (value.isEmpty())
        return FailField(error, key, QStringLiteral("нет значения"));
    if (k == QLatin1String("sensor")) {
        for (int i = 0; i < 3; ++i)
            if (value.compare(QLatin1String(kSensorNames[i]), Qt::CaseInsensitive) == 0) {
                p.SensorKind = i + 1;
                return true;
            }
        return FailField(error, key, Unknown(value, QStringLiteral("pt391, pt385, cu428")));
    }
    if (k == QLatin1String("r0")) {
        if (value == QLatin1String("100") || value == QLatin1String("50")) {
            p.R0 = value.toInt();
            return true;
        }
        return FailField(error, key, Unknown(value, QStringLiteral("100, 50")));
    }
    if (k == QLatin1String("bottom") || k == QLatin1String("top")) {
        int v = 0;
        // Four characters fit the page's fields; larger numbers are no range.
        if (!ParseWhole(value, &v) || v < -9999 || v > 9999)
            return FailField(error, key, QStringLiteral("«%1» не целое число градусов").arg(value));
        (k == QLatin1String("top") ? p.TopTempBound : p.BottomTempBound) = v;
        return true;
    }
    if (k == QLatin1String("output")) {
        if (value.compare(QLatin1String("direct"), Qt::CaseInsensitive) == 0)
            p.DirectLeadOut = true;
        else if (value.compare(QLatin1String("inverse"), Qt::CaseInsensitive) == 0)
            p.DirectLeadOut = false;
        else
            return FailField(error, key, Unknown(value, QStringLiteral("direct, inverse")));
        return true;
    }
    if (k == QLatin1String("alarm")) {
        int tenths = 0;
        if (!ParseTenths(value, &tenths) || AlarmTypeOf(tenths) == 0)
            return FailField(error, key, Unknown(value, QStringLiteral("3.2, 3.6, 21, 22, 0, 5.5 мА")));
        p.AlarmTenths = tenths;
        return true;
    }
    if (k == QLatin1String("average")) {
        int v = 0;
        if (value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
            v = 0;
        else if (!ParseWhole(value, &v) || v < 0 || v > 30)
            return FailField(error, key, Unknown(value, QStringLiteral("off, 1..30")));
        p.Average = v;
        return true;
    }
    return Fail(error, QStringLiteral("Неизвестный параметр «%1»").arg(key));
}

bool CheckConfigProfile(const TConfigProfile& p, int plType, QString* error)
{
    TSensorLimits limits;
    if (!SensorLimits(p.SensorKind, &limits))
        return FailField(error, QStringLiteral("Sensor"), QStringLiteral("не выбран"));
    if (p.R0 != 100 && p.R0 != 50)
        return FailField(error, QStringLiteral("R0"), QStringLiteral("не выбрано"));
    if (p.TopTempBound < limits.topMin || p.TopTempBound > limits.topMax)
        return FailField(error, QStringLiteral("Top"), LimitsReason(p.TopTempBound, limits.topMin, limits.topMax));
    if (p.BottomTempBound < limits.bottomMin || p.BottomTempBound > limits.bottomMax)
        return FailField(error, QStringLiteral("Bottom"),
                         LimitsReason(p.BottomTempBound, limits.bottomMin, limits.bottomMax));
    const TRangeCheck range = CheckTemperatureRange(p.BottomTempBound, p.TopTempBound);
    if (range != TRangeCheck::Ok)
        return FailField(error, QStringLiteral("Top"), RangeCheckMessage(range));
    if (p.AlarmTenths < 0)
        return FailField(error, QStringLiteral("Alarm"), QStringLiteral("не выбран"));
    const bool knownType = plType == 'M' || plType == 'N';
    if (knownType ? AlarmCodeOf(p.AlarmTenths, plType) == 0 : AlarmTypeOf(p.AlarmTenths) == 0)
        return FailField(error, QStringLiteral("Alarm"),
                         QStringLiteral("%1 мА не предусмотрено для преобразователя с выходом %2")
                             .arg(AlarmValueText(p.AlarmTenths),
                                  plType == 'N' ? QStringLiteral("0-5 мА") : QStringLiteral("4-20 мА")));
    if (p.Average < 0 || p.Average > 30)
        return FailField(error, QStringLiteral("Average"), Unknown(QString::number(p.Average), QStringLiteral("off, 1..30")));
    return true;
}

bool ParseConfigProfile(const TIniFile& ini, TConfigProfile* profile, QString* error)
{
    if (!ini.sectionExists(kSection))
        return Fail(error, QStringLiteral("Файл не является профилем конфигурации: нет раздела [%1]").arg(kSection));
    TConfigProfile p;
    for (const QString& key : ConfigProfileKeys()) {
        if (!ini.valueExists(kSection, key))
            return FailField(error, key, QStringLiteral("нет значения"));
        if (!SetProfileValue(p, key, ini.readString(kSection, key), error))
            return false;
    }
    if (ini.valueExists(kInfoSection, kSensorTextKey)) {
        p.HasSensorText = true;
        p.SensorTypeText = ini.readString(kInfoSection, kSensorTextKey);
    }
    *profile = p;
    return true;
}

bool LoadConfigProfile(const QString& path, TConfigProfile* profile, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Fail(error, QStringLiteral("Файл «%1» не найден").arg(path));
    // A pipe or a device would block the read or never end it.
    if (!info.isFile() || info.size() > kMaxProfileSize)
        return Fail(error, QStringLiteral("Файл «%1» не является профилем конфигурации").arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(path, f.errorString()));
    const QByteArray bytes = f.read(kMaxProfileSize + 1);
    if (bytes.size() > kMaxProfileSize || bytes.contains('\0'))
        return Fail(error, QStringLiteral("Файл «%1» не является профилем конфигурации").arg(path));
    TIniFile ini(QString{});
    ini.setContent(bytes);
    QString reason;
    if (!ParseConfigProfile(ini, profile, &reason))
        return Fail(error, QStringLiteral("Профиль «%1»: %2").arg(info.fileName(), reason));
    return true;
}

void WriteConfigProfile(TIniFile& ini, const TConfigProfile& p)
{
    const QStringList keys = ConfigProfileKeys();
    const QString values[] = {SensorKindName(p.SensorKind),
                              QString::number(p.R0),
                              QString::number(p.BottomTempBound),
                              QString::number(p.TopTempBound),
                              p.DirectLeadOut ? QStringLiteral("direct") : QStringLiteral("inverse"),
                              AlarmValueText(p.AlarmTenths),
                              AverageValueText(p.Average)};
    for (int i = 0; i < keys.size(); ++i)
        ini.writeString(kSection, keys[i], values[i]);
    if (p.HasSensorText)
        ini.writeString(kInfoSection, kSensorTextKey, p.SensorTypeText);
}

bool SaveConfigProfile(const QString& path, const TConfigProfile& profile, QString* error)
{
    const QFileInfo info(path);
    // The save renames a new file over the target: that must never replace a device or a pipe.
    if (path.isEmpty() || (info.exists() && !info.isFile()))
        return Fail(error, QStringLiteral("Нельзя записать профиль в «%1»: это не обычный файл").arg(path));
    TIniFile ini(path); // a regular file or none: reading it cannot block
    ini.setContent(QByteArray());
    WriteConfigProfile(ini, profile);
    QString reason;
    if (!ini.save(&reason))
        return Fail(error, QStringLiteral("Не удалось записать профиль «%1»: %2").arg(path, reason));
    return true;
}

TConfigProfile ProfileFromRecord(const TTransducerData& r)
{
    TConfigProfile p;
    p.SensorKind = r.SensorKind;
    p.R0 = r.R0;
    p.BottomTempBound = r.BottomTempBound;
    p.TopTempBound = r.TopTempBound;
    p.DirectLeadOut = r.DirectLeadOut;
    p.AlarmTenths = AlarmTenthsOf(r.AlarmCur, r.PLType);
    p.Average = r.Average;
    return p;
}

void ApplyProfileToRecord(const TConfigProfile& p, TTransducerData& r)
{
    r.SensorKind = p.SensorKind;
    r.R0 = p.R0;
    r.BottomTempBound = p.BottomTempBound;
    r.TopTempBound = p.TopTempBound;
    r.DirectLeadOut = p.DirectLeadOut;
    const int type = (r.PLType == 'M' || r.PLType == 'N') ? r.PLType : AlarmTypeOf(p.AlarmTenths);
    r.AlarmCur = AlarmCodeOf(p.AlarmTenths, type);
    r.Average = p.Average;
}
