#include "CliHistory.h"

#include "CliShell.h"
#include "app/ProgSettings.h"
#include "device/DeviceSession.h"
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"
#include "passport/CertificateIssuer.h"
#include "passport/HistoryRecorder.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <cstdio>

namespace {

void Out(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Error(const QString& text)
{
    PrintMessage(TerminalText(text));
}

// A result as one JSON object (--json) or as lines.
void Print(const TCliOptions& o, const QJsonObject& json, const QStringList& lines)
{
    Out(o.json ? QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n'
               : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

int Failure(const TCliOptions& o, int status, const QString& text)
{
    Error(text);
    if (o.json)
        Print(o, {{QStringLiteral("command"), o.command}, {QStringLiteral("exit"), status},
                  {QStringLiteral("messages"), QJsonArray{text}}},
              {});
    return status;
}

QDate ParseDate(const QString& text)
{
    QDate d = QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid())
        d = QDate::fromString(text.trimmed(), Qt::ISODate);
    return d;
}

bool ParseNumber(const QString& text, qint64* value)
{
    bool ok = false;
    *value = text.trimmed().toLongLong(&ok, 10);
    return ok && *value >= 0 && *value <= 2147483647;
}

bool ParseReal(const QString& text, double* value)
{
    if (text.isEmpty())
        return true;
    bool ok = false;
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    *value = t.toDouble(&ok);
    return ok && std::isfinite(*value);
}

int History(const TCliOptions& o, THistoryStore& store)
{
    if (o.verify) {
        const TChainCheck check = store.VerifyChain();
        QJsonObject json{{QStringLiteral("command"), QStringLiteral("history")},
                         {QStringLiteral("verified"), check.ok},
                         {QStringLiteral("checked"), check.checked},
                         {QStringLiteral("file"), store.Path()}};
        if (!check.ok) {
            json[QStringLiteral("firstBad")] = check.firstBad;
            json[QStringLiteral("reason")] = check.reason;
        }
        Print(o, json, {check.Text()});
        return check.ok ? exDone : exNotGenuine;
    }
    THistoryFilter filter;
    if (o.hasNumber) {
        qint64 n = 0;
        if (!ParseNumber(o.number, &n))
            return Failure(o, exUsage, QStringLiteral("Недопустимый номер датчика «%1»").arg(o.number));
        filter.sensorNumber = n;
    }
    if (!o.since.isEmpty()) {
        const QDate d = ParseDate(o.since);
        if (!d.isValid())
            return Failure(o, exUsage, QStringLiteral("Неправильно указана дата «%1» (ДД.ММ.ГГГГ)").arg(o.since));
        filter.since = d.startOfDay();
    }
    QString error;
    const QList<THistoryRecord> records = store.Records(filter, &error);
    if (!error.isEmpty())
        return Failure(o, exNoHistory, error);
    if (o.csv) {
        Out(HistoryCsv(records));
    } else if (o.json) {
        QJsonArray list;
        for (const THistoryRecord& r : records)
            list.append(RecordJson(r));
        Print(o, {{QStringLiteral("command"), QStringLiteral("history")}, {QStringLiteral("records"), list}}, {});
    } else {
        QStringList lines;
        for (const THistoryRecord& r : records)
            lines << QStringLiteral("%1  %2  %3 № %4  адрес %5  %6: %7")
                         .arg(r.id, 6)
                         .arg(EventTimeText(r.time), r.transducerType)
                         .arg(r.sensorNumber)
                         .arg(r.address)
                         .arg(EventKindText(r.kind), EventSummary(r));
        if (lines.isEmpty())
            lines << QStringLiteral("Событий нет");
        Print(o, {}, lines);
    }
    return exDone;
}

QFont CertificateFont()
{
    const QStringList families = QFontDatabase::families();
    for (const QString& name : {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
        if (families.contains(name))
            return QFont(name, 10);
    }
    return QGuiApplication::font();
}

int Certificate(const TCliOptions& o, THistoryStore& store)
{
    if (o.verify) {
        QString text;
        const TCertificateCheck check = CheckCertificateFile(store, o.verifyFile, &text);
        Print(o, {{QStringLiteral("command"), QStringLiteral("certificate")},
                  {QStringLiteral("genuine"), check == TCertificateCheck::Genuine},
                  {QStringLiteral("message"), text}},
              {text});
        return check == TCertificateCheck::Genuine ? exDone
               : check == TCertificateCheck::Unreadable ? exCheckFailed
                                                        : exNotGenuine;
    }
    qint64 number = 0;
    if (!o.hasNumber || !ParseNumber(o.number, &number))
        return Failure(o, exUsage, QStringLiteral("Укажите номер датчика: certificate --number N"));
    TProgSettings settings;
    QString error;
    if (!LoadSettings(settings, &error))
        Error(error);
    TCertificateData data;
    if (!CertificateFromHistory(store, number, &data, &error))
        return Failure(o, exCheckFailed, error);
    data.input.organisation = settings.OrgName;
    data.input.organisationAddress = settings.OrgAddress;
    data.input.technician = o.technician.isEmpty() ? settings.Technician : o.technician;
    data.input.approver = o.approver.isEmpty() ? settings.Approver : o.approver;
    if (!ParseReal(o.ambientTemperature, &data.input.ambientTemperature))
        return Failure(o, exUsage, QStringLiteral("Недопустимая температура воздуха «%1»").arg(o.ambientTemperature));
    if (!ParseReal(o.humidity, &data.input.humidity) || (std::isfinite(data.input.humidity)
                                                         && (data.input.humidity < 0 || data.input.humidity > 100)))
        return Failure(o, exUsage, QStringLiteral("Недопустимая влажность «%1» (0..100 %)").arg(o.humidity));
    TIssuedCertificate issued;
    const auto pathFor = [&](const QString& n) {
        return o.out.isEmpty() ? QDir::current().filePath(QStringLiteral("sertifikat_%1.pdf").arg(n)) : o.out;
    };
    if (!IssueCertificate(store, data, pathFor, CertificateFont(), &issued, &error))
        return Failure(o, exCheckFailed, error);
    Print(o, {{QStringLiteral("command"), QStringLiteral("certificate")}, {QStringLiteral("number"), issued.number},
              {QStringLiteral("file"), issued.path}, {QStringLiteral("pages"), issued.pages},
              {QStringLiteral("sha256"), issued.fileSha256}, {QStringLiteral("dataSha256"), issued.dataSha256}},
          {QStringLiteral("Сертификат № %1: %2 (страниц: %3)").arg(issued.number, issued.path).arg(issued.pages),
           QStringLiteral("SHA-256 файла: %1").arg(issued.fileSha256)});
    return exDone;
}

} // namespace

int RunHistoryCommand(const TCliOptions& o)
{
    const bool issuing = o.command == QLatin1String("certificate") && !o.verify;
    if (issuing && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Failure(o, exUsage, QStringLiteral("Сертификат печатается только с графической подсистемой Qt"));
    THistoryStore store;
    if (!issuing && !QFileInfo::exists(store.Path())) {
        // Nothing recorded yet: an empty history, not a failure.
        if (o.command == QLatin1String("history")) {
            Print(o, {{QStringLiteral("command"), QStringLiteral("history")}, {QStringLiteral("records"), QJsonArray()}},
                  {QStringLiteral("Событий нет (журнал %1 ещё не создан)").arg(store.Path())});
            return exDone;
        }
        return Failure(o, exNotGenuine, QStringLiteral("Журнал приборов %1 ещё не создан: сертификат не выдавался").arg(store.Path()));
    }
    // Listing and checking never change the file.
    if (!store.Open(/*readOnly=*/!issuing))
        return Failure(o, exNoHistory, store.Error());
    if (issuing && !store.CanWrite())
        return Failure(o, exNoHistory, store.Error());
    return o.command == QLatin1String("history") ? History(o, store) : Certificate(o, store);
}

TCliHistoryRecording::TCliHistoryRecording(TDeviceSession& session, const TProgSettings& settings)
{
    if (!settings.HistoryRecording)
        return;
    m_store = std::make_unique<THistoryStore>();
    if (!m_store->Open() || !m_store->CanWrite()) {
        Error(m_store->Error() + QStringLiteral("\nСобытия в журнал приборов не записываются."));
        return;
    }
    m_recorder = std::make_unique<THistoryRecorder>(session, m_store.get());
    QObject::connect(m_recorder.get(), &THistoryRecorder::failed, [](const QString& text) { Error(text); });
}

TCliHistoryRecording::~TCliHistoryRecording() = default;
