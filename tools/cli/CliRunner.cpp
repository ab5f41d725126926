#include "CliRunner.h"

#include "device/DeviceMessages.h"
#include "link/CommPortDriver.h"
#include "device/Configuration.h"
#include "common/Cp1251.h"
#include "device/DeviceScan.h"
#include "device/Diagnostics.h"
#include "device/Information.h"
#include "device/TransducerLine.h"
#include "CliHistory.h"

#include <QCoreApplication>
#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cstdio>

namespace {

QString PortNameFromOption(const QString& port)
{
    static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,3})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(port.trimmed());
    if (m.hasMatch() && m.captured(1).toInt() >= 1)
        return ComPortName(m.captured(1).toInt());
    return port;
}

QString SensorCaption(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("ТСП, α = 0,00391");
    case 2:
        return QStringLiteral("ТСП, α = 0,00385");
    case 3:
        return QStringLiteral("ТСМ, α = 0,00428");
    default:
        return QStringLiteral("неизвестен");
    }
}

QString OutputRange(int plType)
{
    return plType == 'M' ? QStringLiteral("4-20 мА") : plType == 'N' ? QStringLiteral("0-5 мА") : QString();
}

QJsonValue DateJson(TDateValue date)
{
    return date ? QJsonValue(DateText(date)) : QJsonValue(QJsonValue::Null);
}

// The first difference between what was written and what came back, as the field's caption.
QString ConfigDifference(const TConfigProfile& a, const TConfigProfile& b)
{
    if (a.SensorKind != b.SensorKind)
        return QStringLiteral("Тип датчика");
    if (a.R0 != b.R0)
        return QStringLiteral("Сопротивление датчика");
    if (a.BottomTempBound != b.BottomTempBound)
        return QStringLiteral("Нижняя граница");
    if (a.TopTempBound != b.TopTempBound)
        return QStringLiteral("Верхняя граница");
    if (a.DirectLeadOut != b.DirectLeadOut)
        return QStringLiteral("Токовый выход");
    if (a.AlarmTenths != b.AlarmTenths)
        return QStringLiteral("Аварийный сигнал");
    if (a.Average != b.Average)
        return QStringLiteral("Усреднение измерений");
    return {};
}

// The sensor text as the device keeps it: its first 24 Windows-1251 characters, trimmed.
QString StoredSensorText(const QString& text)
{
    return fromCp1251(toCp1251(text).left(kSensorTypeWireLength)).trimmed();
}

// The device keeps Windows-1251 text; anything else would come back as '?'.
bool FitsCodePage(const QString& text)
{
    return fromCp1251(toCp1251(text)) == text;
}

const QString kTextOutsideCodePage = QStringLiteral("Тип датчика: символы вне кодовой страницы Windows-1251");

// The device keeps 24 bytes of it; a longer text would be cut without a word.
bool FitsWire(const QString& text)
{
    return toCp1251(text).size() <= kSensorTypeWireLength;
}

QString TextTooLong(const QString& text)
{
    return QStringLiteral("Тип датчика: не более %1 символов, указано %2")
        .arg(kSensorTypeWireLength)
        .arg(toCp1251(text).size());
}

} // namespace

TCliRunner::TCliRunner(const TCliOptions& options)
    : m_o(options)
    , m_drv(new TCommPortDriver())
    , m_shell(*m_drv)
    , m_msgs(options.yes)
{
}

TCliRunner::~TCliRunner()
{
    m_history.reset();
    delete m_drv;
}

void TCliRunner::Error(const QString& text)
{
    PrintMessage(TerminalText(text));
}

void TCliRunner::Print(const QJsonObject& json, const QStringList& lines)
{
    const QByteArray out = m_o.json ? QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n'
                                    : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    m_printed = true;
}

void TCliRunner::SetUpLink()
{
    // The program's settings give the defaults; the command line never writes them.
    QString error;
    if (!LoadSettings(m_settings, &error))
        Error(error);
    m_drv->setPortMap(m_settings.Ports);
    m_drv->SetPortName(m_o.port.isEmpty() ? StartupPortName(m_settings) : PortNameFromOption(m_o.port));
    SetTransducerLine(*m_drv);

    m_session.shell = &m_shell;
    m_shell.SetMessageDialog(&m_msgs);
    m_session.link.drv = m_drv;
    m_session.link.ticks = &m_drv->Ticks();
    m_session.link.shell = &m_shell;
    m_session.link.RepeatNum = m_o.repeat > 0 ? m_o.repeat : m_settings.RepeatNum;
    m_session.link.ReportLinkErrors = true;
    m_session.Transducer.SlaveID = m_o.address > 0 ? m_o.address : m_settings.DefaultSlaveID;
    if (m_o.command == QLatin1String("info") || m_o.command == QLatin1String("config"))
        m_history = std::make_unique<TCliHistoryRecording>(m_session, m_settings);
}

QString TCliRunner::OpenFailureText() const
{
    const int number = PortNumberOfName(m_drv->PortName());
    const QString head = number > 0 ? QStringLiteral("Нет соединения c COM%1").arg(number)
                                    : QStringLiteral("Нет соединения c %1").arg(m_drv->PortName());
    return head + OpenFailureDetails(*m_drv);
}

int TCliRunner::OpenAndIdentify()
{
    if (!m_drv->OpenPort()) {
        Error(OpenFailureText());
        return exPortFailed;
    }
    const TOutcome outcome = IdentifyDevice(m_session, m_session.Transducer.SlaveID);
    return outcome == TOutcome::Success ? exDone : FailureExit();
}

int TCliRunner::Run()
{
    const int status = RunCommand();
    // A failed command still gives its one JSON object: the status and the messages.
    if (m_o.json && status != exDone && !m_printed) {
        QJsonObject o;
        o[QStringLiteral("command")] = m_o.command;
        o[QStringLiteral("exit")] = status;
        o[QStringLiteral("messages")] = QJsonArray::fromStringList(PrintedMessages());
        Print(o, {});
    }
    return status;
}

int TCliRunner::RunCommand()
{
    if (m_o.command == QLatin1String("history") || m_o.command == QLatin1String("certificate")) {
        m_printed = true; // it prints its own result, failures too
        return RunHistoryCommand(m_o);
    }
    SetUpLink();
    if (m_o.command == QLatin1String("search"))
        return Search();
    const int opened = OpenAndIdentify();
    if (opened != exDone)
        return opened;
    if (m_o.command == QLatin1String("identify"))
        return Identify();
    if (m_o.command == QLatin1String("info"))
        return Info();
    if (m_o.command == QLatin1String("config"))
        return Config();
    if (m_o.command == QLatin1String("verify"))
        return Verify();
    return Measure();
}

// ---------------------------------------------------------------- identify, info

QJsonObject TCliRunner::IdentityJson() const
{
    const TTransducerData& t = m_session.Transducer;
    QJsonObject o;
    o[QStringLiteral("address")] = t.SlaveID;
    o[QStringLiteral("type")] = QString(QChar(t.PLType));
    o[QStringLiteral("typeText")] = t.PLTypeText;
    o[QStringLiteral("output")] = OutputRange(t.PLType);
    o[QStringLiteral("sensorType")] = t.SensorTypeText;
    o[QStringLiteral("sensorNumber")] = t.SensorNum;
    o[QStringLiteral("sensorDate")] = DateJson(t.SensorDate);
    return o;
}

QStringList TCliRunner::IdentityLines() const
{
    const TTransducerData& t = m_session.Transducer;
    return {QStringLiteral("Адрес: %1").arg(t.SlaveID),
            QStringLiteral("Тип преобразователя: %1 (выход %2)").arg(t.PLTypeText, OutputRange(t.PLType)),
            QStringLiteral("Тип датчика: %1").arg(t.SensorTypeText),
            QStringLiteral("Номер датчика: %1").arg(t.SensorNum),
            QStringLiteral("Дата: %1").arg(DateText(t.SensorDate))};
}

int TCliRunner::Identify()
{
    QJsonObject o = IdentityJson();
    o[QStringLiteral("command")] = QStringLiteral("identify");
    Print(o, IdentityLines());
    return exDone;
}

int TCliRunner::Info()
{
    TTransducerData& t = m_session.Transducer;
    const bool writing = m_o.hasText || m_o.hasNumber || m_o.hasDate;
    if (writing) {
        // The information page's own checks.
        TTransducerData wanted = t;
        if (m_o.hasText) {
            if (!FitsCodePage(m_o.text)) {
                Error(kTextOutsideCodePage);
                return exCheckFailed;
            }
            if (!FitsWire(m_o.text)) {
                Error(TextTooLong(m_o.text));
                return exCheckFailed;
            }
            wanted.SensorTypeText = m_o.text;
        }
        if (m_o.hasNumber) {
            bool ok = false;
            const qlonglong n = m_o.number.trimmed().toLongLong(&ok, 10);
            if (!ok || n < 0 || n > 2147483647) {
                Error(InfoText::BadSensorNum);
                return exCheckFailed;
            }
            wanted.SensorNum = int32_t(n);
        }
        if (m_o.hasDate) {
            wanted.SensorDate = m_o.date == QLatin1String("today") ? DateValueFromQDate(QDate::currentDate())
                                                                   : DateFromText(m_o.date);
            if (wanted.SensorDate == 0) {
                Error(InfoText::BadDate);
                return exCheckFailed;
            }
        }
        if (wanted.SensorDate == 0) {
            Error(InfoText::NoDate);
            return exCheckFailed;
        }
        CopyInfoFields(t, wanted);
        if (WriteInformation(m_session) != TOutcome::Success)
            return FailureExit();
        if (IdentifyDevice(m_session, t.SlaveID) != TOutcome::Success)
            return FailureExit();
        if (t.SensorTypeText != StoredSensorText(wanted.SensorTypeText) || t.SensorNum != wanted.SensorNum
            || t.SensorDate != wanted.SensorDate) {
            Error(QStringLiteral("Прочитанная информация отличается от записанной"));
            Print(IdentityJson(), IdentityLines());
            return exRefused;
        }
    }
    QJsonObject o = IdentityJson();
    o[QStringLiteral("command")] = QStringLiteral("info");
    o[QStringLiteral("written")] = writing;
    Print(o, IdentityLines());
    return exDone;
}

// ---------------------------------------------------------------- config

QJsonObject TCliRunner::ConfigJson(const TConfigProfile& p, int address) const
{
    QJsonObject o;
    o[QStringLiteral("address")] = address;
    o[QStringLiteral("type")] = QString(QChar(m_session.Transducer.PLType));
    o[QStringLiteral("sensor")] = SensorKindName(p.SensorKind);
    o[QStringLiteral("r0")] = p.R0;
    o[QStringLiteral("bottom")] = p.BottomTempBound;
    o[QStringLiteral("top")] = p.TopTempBound;
    o[QStringLiteral("output")] = p.DirectLeadOut ? QStringLiteral("direct") : QStringLiteral("inverse");
    o[QStringLiteral("alarm")] = p.AlarmTenths < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(p.AlarmTenths / 10.0);
    o[QStringLiteral("average")] = p.Average;
    return o;
}

QStringList TCliRunner::ConfigLines(const TConfigProfile& p, int address) const
{
    return {QStringLiteral("Тип датчика: %1 (%2)").arg(SensorKindName(p.SensorKind), SensorCaption(p.SensorKind)),
            QStringLiteral("Сопротивление датчика: %1 Ом").arg(p.R0),
            QStringLiteral("Диапазон измерения: %1..%2 °C").arg(p.BottomTempBound).arg(p.TopTempBound),
            QStringLiteral("Токовый выход: %1").arg(p.DirectLeadOut ? QStringLiteral("прямой") : QStringLiteral("инверсный")),
            QStringLiteral("Аварийный сигнал: %1").arg(p.AlarmTenths < 0 ? QStringLiteral("не задан")
                                                                           : AlarmValueText(p.AlarmTenths) + QStringLiteral(" мА")),
            QStringLiteral("Усреднение измерений: %1").arg(p.Average ? QStringLiteral("%1 сек.").arg(p.Average)
                                                                     : QStringLiteral("выключено")),
            QStringLiteral("Адрес: %1").arg(address)};
}

int TCliRunner::Config()
{
    TTransducerData& t = m_session.Transducer;
    if (t.PLType != 'M' && t.PLType != 'N') {
        Error(QStringLiteral("Прибор не поддерживается программой"));
        return exRefused;
    }
    if (!ReadConfiguration(m_session))
        return FailureExit();
    TConfigProfile profile = ProfileFromRecord(t);
    int address = t.SlaveID;
    QString error;
    if (!m_o.load.isEmpty()) {
        TConfigProfile loaded;
        if (!LoadConfigProfile(m_o.load, &loaded, &error)) {
            Error(error);
            return exCheckFailed;
        }
        profile = loaded;
    }
    for (const QString& pair : m_o.sets) {
        const QString key = pair.section('=', 0, 0).trimmed();
        const QString value = pair.section('=', 1);
        if (key.compare(QLatin1String("address"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int a = value.trimmed().toInt(&ok, 10);
            if (!ok || a < 1 || a > 255) {
                Error(QStringLiteral("Адрес (1..255): недопустимое значение «%1»").arg(value));
                return exCheckFailed;
            }
            address = a;
        } else if (!SetProfileValue(profile, key, value, &error)) {
            Error(error);
            return exCheckFailed;
        }
    }
    if (!CheckConfigProfile(profile, t.PLType, &error)) {
        Error(error);
        return exCheckFailed;
    }
    if (!m_o.save.isEmpty() && !SaveConfigProfile(m_o.save, profile, &error)) {
        Error(error);
        return exCheckFailed;
    }
    if (m_o.write && profile.HasSensorText && !FitsWire(profile.SensorTypeText)) {
        Error(TextTooLong(profile.SensorTypeText));
        return exCheckFailed;
    }
    if (m_o.write && profile.HasSensorText && t.SensorDate == 0) {
        Error(InfoText::NoDate); // the information write would refuse after the configuration was written
        return exCheckFailed;
    }
    if (m_o.write) {
        ApplyProfileToRecord(profile, t);
        if (WriteConfiguration(m_session, address) != TOutcome::Success)
            return FailureExit();
        if (profile.HasSensorText) {
            // The profile's sensor text goes into the information record the device keeps.
            t.SensorTypeText = profile.SensorTypeText;
            if (WriteInformation(m_session) != TOutcome::Success)
                return FailureExit();
            if (IdentifyDevice(m_session, t.SlaveID) != TOutcome::Success)
                return FailureExit();
            if (t.SensorTypeText != StoredSensorText(profile.SensorTypeText)) {
                Error(QStringLiteral("Прочитанная информация отличается от записанной"));
                return exRefused;
            }
        }
        if (!ReadConfiguration(m_session))
            return FailureExit();
        const TConfigProfile back = ProfileFromRecord(t);
        const QString diff = ConfigDifference(profile, back);
        if (!diff.isEmpty()) {
            Error(QStringLiteral("Прочитанная конфигурация отличается от записанной: %1").arg(diff));
            Print(ConfigJson(back, t.SlaveID), ConfigLines(back, t.SlaveID));
            return exRefused;
        }
        profile = back;
        address = t.SlaveID;
    }
    QJsonObject o = ConfigJson(profile, address);
    o[QStringLiteral("command")] = QStringLiteral("config");
    o[QStringLiteral("written")] = m_o.write;
    if (!m_o.save.isEmpty())
        o[QStringLiteral("saved")] = m_o.save;
    Print(o, ConfigLines(profile, address));
    return exDone;
}

// ---------------------------------------------------------------- search

int TCliRunner::Search()
{
    // A port that does not open would make every address fail at once.
    if (!m_drv->OpenPort()) {
        Error(OpenFailureText());
        return exPortFailed;
    }
    m_drv->ClosePort();
    TScanHooks hooks;
    hooks.Trying = [this](int address) {
        if (!m_o.json && !m_o.quiet)
            Error(QStringLiteral("Поиск прибора: адрес %1").arg(address));
    };
    if (m_o.all)
        return SearchAll(hooks);
    const TScanResult result = ScanForDevice(m_session, hooks, m_o.quick);
    if (result != TScanResult::Found) {
        Error(QStringLiteral("Ниодного прибора не найдено."));
        return exNoAnswer;
    }
    // An exception answer also ends the scan; the identity comes from a second identification.
    if (IdentifyDevice(m_session, m_session.Transducer.SlaveID) != TOutcome::Success)
        return FailureExit();
    QJsonObject o = IdentityJson();
    o[QStringLiteral("command")] = QStringLiteral("search");
    Print(o, IdentityLines());
    return exDone;
}

int TCliRunner::SearchAll(TScanHooks hooks)
{
    // Every address in turn: one that answers is noted and let go, so the
    // scan goes on. The full pass after a quick one only when that found none.
    QJsonArray devices;
    QStringList lines;
    int passes = 0;
    hooks.PassStarted = [&passes] { ++passes; };
    hooks.StopRequested = [&] { return passes > 1 && !devices.isEmpty(); };
    hooks.Identify = [&](int address) {
        const TOutcome outcome = IdentifyDevice(m_session, address);
        if (!m_drv->IsPortOpen())
            return outcome; // nobody there
        QJsonObject d;
        if (outcome == TOutcome::Success) {
            d = IdentityJson();
            if (!lines.isEmpty())
                lines << QString();
            lines << IdentityLines();
        } else {
            // An exception answer: a device is there, its identity unknown.
            d[QStringLiteral("address")] = address;
            d[QStringLiteral("refused")] = true;
            if (!lines.isEmpty())
                lines << QString();
            lines << QStringLiteral("Адрес: %1 (прибор отказал в идентификации)").arg(address);
        }
        devices.append(d);
        m_drv->ClosePort();
        return outcome;
    };
    ScanForDevice(m_session, hooks, m_o.quick);
    if (devices.isEmpty()) {
        Error(QStringLiteral("Ниодного прибора не найдено."));
        return exNoAnswer;
    }
    QJsonObject o;
    o[QStringLiteral("command")] = QStringLiteral("search");
    o[QStringLiteral("devices")] = devices;
    Print(o, lines);
    return exDone;
}
