#include "app/ProgSettings.h"

#include "common/SchemeFolders.h"
#include "common/IniFile.h"
#include "device/TransducerController.h"
#include "link/CommPortDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

const QString SettingsFileBaseName = QStringLiteral("Zelkor.ini");

namespace {

const QString kDefaults = QStringLiteral("Defaults");
const QString kPorts = QStringLiteral("Ports");
const QString kHistory = QStringLiteral("History");

uint8_t readByte(const TIniFile& ini, const QString& key, int def)
{
    return uint8_t(ini.readInteger(kDefaults, key, def) & 0xFF);
}

// n of a [Ports] key "COMn", 0 for anything else.
int comKeyNumber(const QString& key)
{
    static const QRegularExpression re(QStringLiteral("^COM([0-9]{1,3})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(key.trimmed());
    if (!m.hasMatch())
        return 0;
    const int n = m.captured(1).toInt();
    return n >= 1 && n <= 255 ? n : 0;
}

} // namespace

void SplitExePath(const QString& path, QString& progDir, QString& exeName)
{
    const int slash = path.lastIndexOf('/');
    progDir = slash < 0 ? QString() : path.left(slash);
    exeName = slash < 0 ? path : path.mid(slash + 1);
}

QString UserConfigDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/zelkor");
}

TSettingsLocation LocateSettings(const QString& progDir, const QString& userConfigDir, bool progDirWritable)
{
    const QString besideExe = progDir + '/' + SettingsFileBaseName;
    if (progDirWritable)
        return {besideExe, besideExe};
    const QString own = userConfigDir + '/' + SettingsFileBaseName;
    if (!QFileInfo::exists(own) && QFileInfo::exists(besideExe))
        return {own, besideExe};
    return {own, own};
}

namespace {

const QString kVerification = QStringLiteral("Verification");
const TProgSettings kVerifyDefaults;

void ReadVerificationSettings(const TIniFile& ini, TProgSettings& s)
{
    bool ok = false;
    QString text = ini.readString(kVerification, QStringLiteral("Tolerance")).trimmed();
    const double tolerance = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    s.VerifyTolerancePct = ok && tolerance > 0 && tolerance <= 100 ? tolerance : kVerifyDefaults.VerifyTolerancePct;
    const int rule = ini.readInteger(kVerification, QStringLiteral("DecisionRule"), 0);
    s.VerifyDecisionRule = rule == 1 ? 1 : 0;
    const int points = ini.readInteger(kVerification, QStringLiteral("Points"), kVerifyDefaults.VerifyPoints);
    s.VerifyPoints = points >= 2 && points <= 11 ? points : kVerifyDefaults.VerifyPoints;
}

// A file that never had the section gets none while the values are the defaults.
void WriteVerificationSettings(TIniFile& ini, const TProgSettings& s)
{
    const bool defaults = s.VerifyTolerancePct == kVerifyDefaults.VerifyTolerancePct
                          && s.VerifyDecisionRule == kVerifyDefaults.VerifyDecisionRule
                          && s.VerifyPoints == kVerifyDefaults.VerifyPoints;
    if (defaults && ini.sectionKeys(kVerification).isEmpty())
        return;
    ini.writeString(kVerification, QStringLiteral("Tolerance"), QString::number(s.VerifyTolerancePct, 'g', 6));
    ini.writeInteger(kVerification, QStringLiteral("DecisionRule"), s.VerifyDecisionRule);
    ini.writeInteger(kVerification, QStringLiteral("Points"), s.VerifyPoints);
}

} // namespace

void ReadSettings(const TIniFile& ini, TProgSettings& s)
{
    s.ConnectBeforeRun = ini.readBool(kDefaults, QStringLiteral("ConnectBeforeRun"), false);
    const QString type = ini.readString(kDefaults, QStringLiteral("ConnectionType"), QStringLiteral("toNum"));
    s.ConnectToNum = type.compare(QStringLiteral("toNum"), Qt::CaseInsensitive) == 0;
    s.ConnectToFirst = type.compare(QStringLiteral("toFirst"), Qt::CaseInsensitive) == 0;
    s.ConnectToLast = type.compare(QStringLiteral("toLast"), Qt::CaseInsensitive) == 0;
    s.DefaultSlaveID = readByte(ini, QStringLiteral("DefaultSlaveID"), 1);
    s.DefaultComPortNum = readByte(ini, QStringLiteral("DefaultComPortNum"), 1);
    s.RepeatNum = readByte(ini, QStringLiteral("RepeatNum"), 2);
    s.ColorShema = ini.readString(kDefaults, QStringLiteral("ColorShema"), QStringLiteral("Standart.rbs"));
    s.ViewToolBar = ini.readBool(kDefaults, QStringLiteral("ViewToolBar"), true);
    s.QuickSearch = ini.readBool(kDefaults, QStringLiteral("QuickSearch"), true);
    s.HistoryRecording = ini.readBool(kHistory, QStringLiteral("Recording"), true);
    s.OrgName = ini.readString(kHistory, QStringLiteral("OrgName"));
    s.OrgAddress = ini.readString(kHistory, QStringLiteral("OrgAddress"));
    s.Technician = ini.readString(kHistory, QStringLiteral("Technician"));
    s.Approver = ini.readString(kHistory, QStringLiteral("Approver"));
    ReadVerificationSettings(ini, s);
    ReadInstrumentSettings(ini, s.Instruments);

    s.Ports.clear();
    for (const QString& key : ini.sectionKeys(kPorts)) {
        const int n = comKeyNumber(key);
        const QString device = ini.readString(kPorts, key).trimmed();
        if (n > 0 && !device.isEmpty() && !s.Ports.contains(n))
            s.Ports.insert(n, device);
    }
}

void WriteSettings(TIniFile& ini, const TProgSettings& s)
{
    QString type;
    if (s.ConnectToNum)
        type = QStringLiteral("toNum");
    if (s.ConnectToFirst)
        type = QStringLiteral("toFirst");
    if (s.ConnectToLast)
        type = QStringLiteral("toLast");
    ini.writeBool(kDefaults, QStringLiteral("ConnectBeforeRun"), s.ConnectBeforeRun);
    ini.writeString(kDefaults, QStringLiteral("ConnectionType"), type);
    ini.writeInteger(kDefaults, QStringLiteral("DefaultSlaveID"), s.DefaultSlaveID);
    ini.writeInteger(kDefaults, QStringLiteral("DefaultComPortNum"), s.DefaultComPortNum);
    ini.writeInteger(kDefaults, QStringLiteral("RepeatNum"), s.RepeatNum);
    ini.writeString(kDefaults, QStringLiteral("ColorShema"), s.ColorShema);
    ini.writeBool(kDefaults, QStringLiteral("ViewToolBar"), s.ViewToolBar);
    ini.writeBool(kDefaults, QStringLiteral("QuickSearch"), s.QuickSearch);
    // [History] appears once something in it differs from the defaults.
    if (!s.HistoryRecording || ini.valueExists(kHistory, QStringLiteral("Recording")))
        ini.writeBool(kHistory, QStringLiteral("Recording"), s.HistoryRecording);
    const std::pair<const char*, const QString*> texts[] = {
        {"OrgName", &s.OrgName}, {"OrgAddress", &s.OrgAddress}, {"Technician", &s.Technician}, {"Approver", &s.Approver}};
    for (const auto& [key, value] : texts) {
        if (!value->isEmpty() || ini.valueExists(kHistory, QLatin1String(key)))
            ini.writeString(kHistory, QLatin1String(key), *value);
    }
    WriteVerificationSettings(ini, s);
    if (ini.sectionExists(InstrumentsSection) || !IsDefaultInstrumentSettings(s.Instruments))
        WriteInstrumentSettings(ini, s.Instruments);

    // Keys of the map are rewritten, stale COMn keys dropped, anything else kept.
    for (const QString& key : ini.sectionKeys(kPorts)) {
        const int n = comKeyNumber(key);
        if (n > 0 && !s.Ports.contains(n))
            ini.deleteKey(kPorts, key);
    }
    for (auto it = s.Ports.cbegin(); it != s.Ports.cend(); ++it)
        if (it.key() >= 1 && !it.value().trimmed().isEmpty())
            ini.writeString(kPorts, QStringLiteral("COM%1").arg(it.key()), it.value().trimmed());
}

bool LoadSettings(TProgSettings& s, const QString& exePath, const QString& userConfigDir, QString* error)
{
    s = TProgSettings{};
    SplitExePath(exePath, s.ProgDir, s.ExeName);
    const TSettingsLocation where = LocateSettings(s.ProgDir, userConfigDir, IsFolderWritable(s.ProgDir));
    s.IniFileName = where.iniFileName;
    s.SourceFileName = where.sourceFileName;

    bool ok = true;
    TIniFile ini(QString{});
    ini.setFileName(s.SourceFileName);
    QString reason;
    if (!ini.loadText(kMaxSettingsFileSize, &reason)) {
        ok = false;
        s.UnusableFile = s.SourceFileName;
        if (error)
            *error = QStringLiteral("Файл настроек %1 не прочитан: %2.\n"
                                    "Программа работает с настройками по умолчанию и не изменит этот файл.")
                         .arg(QDir::toNativeSeparators(s.SourceFileName), reason);
    }
    ReadSettings(ini, s);
    s.ColorSchemePath = ColorSchemeFile(s.ColorShema, s.ProgDir);
    return ok;
}

bool LoadSettings(TProgSettings& settings, QString* error)
{
    return LoadSettings(settings, QCoreApplication::applicationFilePath(), UserConfigDir(), error);
}

bool SaveSettingsTo(TIniFile& ini, TProgSettings& s, int slaveID, int comPortNum, const TIniWriter& extra,
                    QString* error)
{
    s.DefaultSlaveID = uint8_t(slaveID & 0xFF);
    s.DefaultComPortNum = uint8_t(comPortNum & 0xFF);

    // Re-read what is on disk now, so keys written by hand or by other parts
    // of the program survive; an unreadable file is not overwritten.
    QString reason;
    if (!ini.loadText(kMaxSettingsFileSize, &reason)) {
        if (error)
            *error = QStringLiteral("Настройки не сохранены: файл %1 не прочитан (%2). Файл оставлен без изменений.")
                         .arg(QDir::toNativeSeparators(ini.fileName()), reason);
        return false;
    }
    if (!ini.existsOnDisk() && !s.SourceFileName.isEmpty() && s.SourceFileName != ini.fileName()
        && s.SourceFileName != s.UnusableFile) {
        TIniFile source(QString{});
        source.setFileName(s.SourceFileName);
        if (source.loadText(kMaxSettingsFileSize))
            ini.setContent(source.content());
    }
    WriteSettings(ini, s);
    if (extra)
        extra(ini);

    const QString folder = QFileInfo(ini.fileName()).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Не удалось создать папку %1").arg(folder);
        return false;
    }
    if (!ini.save(&reason)) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл настроек %1: %2").arg(QDir::toNativeSeparators(ini.fileName()), reason);
        return false;
    }
    return true;
}

bool SaveSettings(TProgSettings& s, int slaveID, int comPortNum, const TIniWriter& extra, QString* error)
{
    if (s.IniFileName.isEmpty()) {
        if (error)
            *error = QStringLiteral("Файл настроек не задан");
        return false;
    }
    if (!s.UnusableFile.isEmpty() && s.UnusableFile == s.IniFileName)
        return true; // kept for the user, as the start-up message said
    TIniFile ini(QString{});
    ini.setFileName(s.IniFileName);
    return SaveSettingsTo(ini, s, slaveID, comPortNum, extra, error);
}

QString StartupPortName(const TProgSettings& s)
{
    return QStringLiteral("//./COM%1").arg(s.DefaultComPortNum);
}

void ApplyStartupSettings(TTransducerController& ctrl, const TProgSettings& settings)
{
    ctrl.Session().Transducer.SlaveID = settings.DefaultSlaveID;
    ctrl.Driver()->setPortMap(settings.Ports);
    ctrl.Driver()->SetPortName(StartupPortName(settings));
    ctrl.Session().link.RepeatNum = settings.RepeatNum;
}
