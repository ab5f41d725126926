// The verify command: the window's verification from a script. Each point's
// resistance is printed, Enter (or the current itself) is read from stdin,
// the transducer's reading is taken until it settles, the table printed.
#include "CliRunner.h"

#include "device/Configuration.h"
#include "device/PointReader.h"
#include "device/Verification.h"
#include "instr/InstrumentReaders.h"
#include "link/CommPortDriver.h"
#include "link/TickSource.h"

#include <QJsonArray>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include <unistd.h>

namespace {

QString Fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

// Rounded past what the instruments resolve, so 0.1 does not print as 0.09999999999999964.
QJsonValue Number(double v, int decimals)
{
    if (!std::isfinite(v))
        return QJsonValue(QJsonValue::Null);
    const double scale = std::pow(10.0, decimals);
    return QJsonValue(std::round(v * scale) / scale);
}

QString StageName(TVerifyStage stage)
{
    switch (stage) {
    case TVerifyStage::vsAsFound: return QStringLiteral("asFound");
    case TVerifyStage::vsAsLeft: return QStringLiteral("asLeft");
    default: return QStringLiteral("alone");
    }
}

// One line of stdin without its line end; nothing at the end of the input.
std::optional<QString> ReadLine()
{
    char buffer[256];
    if (!std::fgets(buffer, sizeof buffer, stdin))
        return std::nullopt;
    QString line = QString::fromLocal8Bit(buffer);
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line.trimmed();
}

std::optional<double> CurrentFrom(QString text)
{
    bool ok = false;
    const double v = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

int TCliRunner::Verify()
{
    if (!ReadConfiguration(m_session))
        return FailureExit();

    TVerifyPlan plan;
    plan.count = m_o.points > 0 ? m_o.points : m_settings.VerifyPoints;
    plan.temperatures = m_o.at;
    const double tolerance = m_o.tolerance > 0 ? m_o.tolerance : m_settings.VerifyTolerancePct;
    const TDecisionRule rule = m_settings.VerifyDecisionRule == 1 ? TDecisionRule::drGuarded : TDecisionRule::drSimple;
    TVerification v;
    QString error;
    if (!v.Begin(m_session.Transducer, plan, tolerance, rule, TVerifyStage::vsAlone, &error)) {
        Error(error);
        return exCheckFailed;
    }

    // --meter and --source: SCPI instruments on the line settings and
    // commands of the settings file, for this run.
    std::unique_ptr<TMeterCurrentReader> meter;
    std::unique_ptr<TSourceResistance> source;
    if (!m_o.source.isEmpty() && m_o.meter.isEmpty()) {
        Error(QStringLiteral("--source работает только вместе с --meter"));
        return exUsage;
    }
    if (!m_o.meter.isEmpty()) {
        TMeterConfig cfg = m_settings.Instruments.meter;
        cfg.device = m_o.meter;
        if (auto client = OpenInstrument(TInstrumentRole::Meter, cfg, *m_session.link.ticks, SystemDeviceFactory(),
                                         &error)) {
            FillIdentity(*client, cfg.commands.identify, cfg);
            meter = std::make_unique<TMeterCurrentReader>(std::move(client), cfg);
            if (!meter->Prepare(&error))
                meter.reset();
        }
        if (!meter) {
            Error(error);
            return exPortFailed;
        }
        m_meter = meter.get();
    }
    if (!m_o.source.isEmpty()) {
        TSourceConfig cfg = m_settings.Instruments.source;
        cfg.device = m_o.source;
        auto client = OpenInstrument(TInstrumentRole::Source, cfg, *m_session.link.ticks, SystemDeviceFactory(), &error);
        if (!client) {
            Error(error);
            return exPortFailed;
        }
        FillIdentity(*client, cfg.commands.identify, cfg);
        source = std::make_unique<TSourceResistance>(std::move(client), cfg);
        m_source = source.get();
    }
    // Whatever ends the run, the source is left switched off at its last
    // value, and the runner keeps no pointer to what goes out of scope here.
    struct TRunEnd {
        TCliRunner& runner;
        TSourceResistance* source;
        bool owned;
        ~TRunEnd()
        {
            if (source && source->On())
                source->SwitchOff();
            if (owned)
                runner.SetVerifyInstruments(nullptr, nullptr);
        }
    } runEnd{*this, source.get(), meter != nullptr};

    // Prompts go where a person reads them; with --json stdout carries the result alone.
    FILE* prompt = m_o.json ? stderr : stdout;
    auto say = [prompt](const QString& text) {
        std::fputs(text.toUtf8().constData(), prompt);
        std::fflush(prompt);
    };

    std::optional<double> typed;
    TTypedCurrentReader stdinCurrent;
    stdinCurrent.Typed = [&typed](const TVerifyPoint&) { return typed; };
    ICurrentReader& current = m_meter ? *m_meter : stdinCurrent;
    TPointReader reader(m_session, current);
    reader.SetRules(v.Result().readingRule, v.Result().currentRule);
    ITickSource& ticks = *m_session.link.ticks;
    if (m_meter && m_meter->Instrument())
        v.Result().instruments << *m_meter->Instrument();
    if (m_source && m_source->Instrument())
        v.Result().instruments << *m_source->Instrument();
    // A terminal echoes the line end; piped input does not.
    const bool echoed = ::isatty(::fileno(stdin));
    auto readLine = [&]() {
        std::optional<QString> line = ReadLine();
        if (!line || !echoed)
            say(QStringLiteral("\n"));
        return line;
    };
    const QString inputEnded = QStringLiteral("Ввод закончился до конца проверки");

    for (int i = 0; i < v.PointCount(); ++i) {
        const TVerifyPoint& p = v.Point(i);
        const QString where = QStringLiteral("Точка %1 из %2: %3 °C (ожидается %4 мА)")
                                  .arg(i + 1)
                                  .arg(v.PointCount())
                                  .arg(Fixed(p.temperature, 1), Fixed(p.expectedCurrent, 3));
        std::optional<QString> line = QString(); // Enter, or the current typed at once
        if (m_source) {
            say(where + QStringLiteral(", %1 Ом\n").arg(Fixed(p.resistance, 2)));
            QString why;
            if (!m_source->SetResistance(p.resistance, &why)) {
                Error(why);
                return exRefused;
            }
        } else {
            say(where + QStringLiteral(". Установите %1 Ом и нажмите Enter: ").arg(Fixed(p.resistance, 2)));
            line = readLine();
        }
        if (!m_meter) {
            if (line && line->isEmpty()) {
                say(QStringLiteral("Измеренный ток, мА: "));
                line = readLine();
            }
            if (!line) {
                Error(inputEnded);
                return exCheckFailed;
            }
            typed = CurrentFrom(*line);
            if (!typed) {
                Error(QStringLiteral("Неверное значение тока: «%1»").arg(*line));
                return exCheckFailed;
            }
        } else if (!line) {
            Error(inputEnded);
            return exCheckFailed;
        }
        if (!reader.Start(p)) {
            Error(reader.Error());
            return exCheckFailed;
        }
        while (reader.Step() == TPointStatus::Sampling)
            ticks.Sleep(TPointReader::kSampleIntervalMs);
        if (reader.Status() == TPointStatus::Failed) {
            if (m_shell.Lost())
                return exNoAnswer;
            Error(reader.Error());
            // A meter that failed is named in its reason; no point is taken from it.
            if (meter && reader.Error().startsWith(meter->Client().Name()))
                return exCheckFailed;
            return reader.Error().contains(QStringLiteral("не установились")) ? exCheckFailed : exRefused;
        }
        v.SetMeasurement(i, reader.Reading(), reader.ReadingJudge().Spread(), reader.Current());
        const TVerifyPoint& done = v.Point(i);
        say(QStringLiteral("  показание %1 °C (%2 %), ток %3 мА (%4 %): %5\n")
                .arg(Fixed(done.reading, 2), Fixed(done.digitalErrorPct, 3), Fixed(done.current, 3),
                     Fixed(done.outputErrorPct, 3), done.pass ? QStringLiteral("годен") : QStringLiteral("не годен")));
    }
    v.Finish(&m_session.events);
    const TVerificationResult& r = v.Result();
    const QString verdict = r.pass ? QStringLiteral("ГОДЕН") : QStringLiteral("НЕ ГОДЕН");

    QJsonArray points;
    QStringList lines;
    const int widths[] = {8, 9, 10, 10, 8, 8, 8};
    lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7  Итог")
                 .arg(QStringLiteral("T, °C"), widths[0])
                 .arg(QStringLiteral("R, Ом"), widths[1])
                 .arg(QStringLiteral("Iожид, мА"), widths[2])
                 .arg(QStringLiteral("Показание"), widths[3])
                 .arg(QStringLiteral("ΔT, %"), widths[4])
                 .arg(QStringLiteral("I, мА"), widths[5])
                 .arg(QStringLiteral("ΔI, %"), widths[6]);
    for (const TVerifyPoint& p : r.points) {
        QJsonObject o;
        o[QStringLiteral("temperature")] = Number(p.temperature, 3);
        o[QStringLiteral("resistance")] = Number(p.resistance, 3);
        o[QStringLiteral("expectedCurrent")] = Number(p.expectedCurrent, 4);
        o[QStringLiteral("reading")] = Number(p.reading, 3);
        o[QStringLiteral("current")] = Number(p.current, 4);
        o[QStringLiteral("digitalError")] = Number(p.digitalError, 3);
        o[QStringLiteral("digitalErrorPct")] = Number(p.digitalErrorPct, 4);
        o[QStringLiteral("outputError")] = Number(p.outputError, 4);
        o[QStringLiteral("outputErrorPct")] = Number(p.outputErrorPct, 4);
        o[QStringLiteral("pass")] = p.pass;
        points << o;
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                     .arg(Fixed(p.temperature, 1), widths[0])
                     .arg(Fixed(p.resistance, 2), widths[1])
                     .arg(Fixed(p.expectedCurrent, 3), widths[2])
                     .arg(Fixed(p.reading, 2), widths[3])
                     .arg(Fixed(p.digitalErrorPct, 3), widths[4])
                     .arg(Fixed(p.current, 3), widths[5])
                     .arg(Fixed(p.outputErrorPct, 3), widths[6])
                     .arg(p.pass ? QStringLiteral("годен") : QStringLiteral("не годен"));
    }
    lines << QStringLiteral("Допуск: %1 % диапазона, %2").arg(Fixed(r.tolerancePct, 3), r.decisionRule)
          << verdict;
    QJsonObject o;
    o[QStringLiteral("command")] = QStringLiteral("verify");
    o[QStringLiteral("address")] = m_session.Transducer.SlaveID;
    o[QStringLiteral("stage")] = StageName(r.stage);
    o[QStringLiteral("points")] = points;
    QJsonArray instruments;
    for (const TInstrumentInfo& info : r.instruments) {
        QJsonObject i;
        i[QStringLiteral("role")] = info.role;
        i[QStringLiteral("device")] = info.device;
        i[QStringLiteral("model")] = info.model;
        i[QStringLiteral("serial")] = info.serial;
        i[QStringLiteral("certificate")] = info.certificate;
        i[QStringLiteral("dueDate")] = info.dueDate.isValid() ? info.dueDate.toString(Qt::ISODate) : QString();
        instruments << i;
    }
    if (!instruments.isEmpty())
        o[QStringLiteral("instruments")] = instruments;
    o[QStringLiteral("tolerance")] = r.tolerancePct;
    o[QStringLiteral("decisionRule")] = r.decisionRule;
    o[QStringLiteral("verdict")] = verdict;
    Print(o, lines);
    return r.pass ? exDone : exNotPassed;
}
