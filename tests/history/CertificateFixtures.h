#pragma once

// A history holding a whole session of one transducer: connection, as-found
// verification, the adjustment with its stages, as-left verification.

#include "HistoryFixtures.h"

#include "passport/DeviceJson.h"

#include <QProcess>

inline TTransducerData SampleUnit()
{
    TTransducerData t;
    t.SlaveID = 3;
    t.PLType = 'M';
    t.PLTypeText = QStringLiteral("ЗЕЛКОР-М");
    t.SensorTypeText = QStringLiteral("ТСП 100П");
    t.SensorNum = 104233;
    t.SensorDate = DateValueFromQDate(QDate(2024, 5, 17));
    t.CalibrDate = DateValueFromQDate(QDate(2026, 12, 9));
    t.SensorKind = 1;
    t.R0 = 100;
    t.BottomTempBound = -50;
    t.TopTempBound = 150;
    t.DirectLeadOut = true;
    return t;
}

inline TVerificationResult SampleVerification(TVerifyStage stage, int points, double offset)
{
    TVerificationResult v;
    v.transducer = SampleUnit();
    v.stage = stage;
    v.tolerancePct = 0.25;
    v.decisionRule = QStringLiteral("простое принятие: |погрешность| ≤ допуск");
    for (int i = 0; i < points; ++i) {
        TVerifyPoint p;
        p.temperature = -50 + 200.0 * i / std::max(1, points - 1);
        p.resistance = 100 + 0.391 * p.temperature;
        p.expectedCurrent = 4 + 16 * (p.temperature + 50) / 200;
        p.reading = p.temperature + offset;
        p.current = p.expectedCurrent + offset / 12.5;
        p.digitalError = offset;
        p.digitalErrorPct = offset / 2;
        p.outputError = offset / 12.5;
        p.outputErrorPct = offset / 2;
        p.pass = std::abs(offset / 2) <= v.tolerancePct;
        p.digitalPass = p.outputPass = p.pass;
        v.points << p;
    }
    v.instruments << TInstrumentInfo{QStringLiteral("meter"), QStringLiteral("/dev/usbtmc0"), QStringLiteral("Мультиметр В7-78/1"),
                                     QStringLiteral("SN-5521"), QStringLiteral("С-ГСХ/12-2026"), QDate(2027, 6, 30)};
    v.instruments << TInstrumentInfo{QStringLiteral("source"), QStringLiteral("/dev/ttyUSB1"), QStringLiteral("Магазин сопротивлений МСР-60М"),
                                     QStringLiteral("7788"), QStringLiteral("С-ГСХ/13-2026"), QDate(2027, 3, 1)};
    v.started = QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC);
    v.finished = v.started.addSecs(600);
    v.complete = true;
    v.pass = std::abs(offset / 2) <= v.tolerancePct;
    return v;
}

inline THistoryEvent UnitEvent(const QString& kind, const QJsonObject& data, int minute)
{
    THistoryEvent e = SampleEvent(kind, 104233, minute);
    e.address = 3;
    e.data = data;
    return e;
}

// Connection, as found (out of tolerance), stages 1..7, calibration, as left.
inline void AppendSession(THistoryStore& store, int points = 5)
{
    store.Append(UnitEvent(QStringLiteral("connected"), {{QStringLiteral("identity"), IdentityJson(SampleUnit())},
                                                        {QStringLiteral("configuration"), ConfigurationJson(SampleUnit())}}, 0));
    store.Append(UnitEvent(QStringLiteral("verification"), VerificationJson(SampleVerification(TVerifyStage::vsAsFound, points, 0.9)), 1));
    for (int stage = 1; stage <= 7; ++stage) {
        QJsonObject d{{QStringLiteral("stage"), stage}, {QStringLiteral("accepted"), true}};
        if (stage == 5)
            d[QStringLiteral("currentUa")] = 4012;
        if (stage == 6)
            d[QStringLiteral("currentUa")] = 19987;
        store.Append(UnitEvent(QStringLiteral("calibrationStage"), d, 2 + stage));
    }
    TCalibrationRecord c;
    c.transducer = SampleUnit();
    c.current5 = 4012;
    c.current6 = 19987;
    c.started = QDateTime(QDate(2026, 12, 9), QTime(9, 15), Qt::UTC);
    c.finished = c.started.addSecs(300);
    store.Append(UnitEvent(QStringLiteral("calibration"), CalibrationJson(c), 10));
    store.Append(UnitEvent(QStringLiteral("verification"), VerificationJson(SampleVerification(TVerifyStage::vsAsLeft, points, 0.1)), 11));
}

// The text of a PDF, pages split at form feeds.
inline QStringList PdfPages(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    while (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
