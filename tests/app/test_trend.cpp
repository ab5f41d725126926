#include "app/ExchangeLog.h"
#include "device/ReadingCsv.h"
#include "app/Records.h"
#include "app/TrendFrm.h"
#include "DiagRig.h"
#include "PageRig.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kStart = 1'780'000'000'000; // some afternoon in 2026

// Pages on a connected controller, the driver's polling (every 500 ms) and
// the diagnostics timer (every 1000 ms, after a polling of the same
// instant) played on the virtual clock.
struct Measuring {
    Measuring()
    {
        rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
        rig.make();
        rig.connect();
        rig.port()->clearRules(); // the measurements are the test's
    }

    void start()
    {
        m_now = 0;
        rig.ctrl->StartDiagnostics();
    }
    void run(int ms)
    {
        for (int done = 0; done < ms; done += 250) {
            rig.clock.advanceMs(250);
            m_now += 250;
            if (m_now % 500 == 0)
                rig.ctrl->Driver()->PollTimerTick();
            if (m_now % 1000 == 0 && rig.ctrl->DiagnosticsTimer()->isActive())
                rig.ctrl->PollDiagnostics();
        }
    }

    PageRig rig;

private:
    int m_now = 0;
};

} // namespace

TEST(TrendRecords, KeepsReadingsAcrossADiagnosticsStopAndRestart)
{
    Measuring m;
    PageRig& rig = m.rig;
    TRecords records(*rig.ctrl, nullptr);
    records.Store().Now = [&] { return kStart + qint64(rig.clock.nowUs() / 1000); };

    int tenths = 200;
    rig.port()->answerAlways(HexBytes("01 03 00 20"), [&](const QByteArray&) { return Measurement(tenths++, 10800, 0); },
                           300);
    m.start();
    m.run(3000);
    rig.ctrl->StopDiagnostics();
    const int firstRun = records.Store().Count();
    EXPECT_EQ(firstRun, 3);
    ASSERT_GE(records.Log().LineCount(), 2) << "the exchange monitor's log follows the controller's frames";
    EXPECT_EQ(records.Log().Event(0).bytes, kMeasurementRequest);
    EXPECT_EQ(records.Log().Event(1).verdict, TFrameVerdict::Answer);

    m.run(5000); // nothing is measured while stopped
    EXPECT_EQ(records.Store().Count(), firstRun);

    rig.port()->clearRules();
    rig.port()->answerAlways(HexBytes("01 03 00 20"), [&](const QByteArray&) { return Measurement(0, 0, 3); }, 300);
    m.start();
    m.run(2000);
    ASSERT_EQ(records.Store().Count(), firstRun + 2);

    const TReadingStore& store = records.Store();
    EXPECT_TRUE(store.At(0).afterGap);
    EXPECT_FALSE(store.At(1).afterGap);
    EXPECT_DOUBLE_EQ(store.At(2).temperature, 20.2);
    EXPECT_DOUBLE_EQ(store.At(2).resistance, 108.0);
    EXPECT_TRUE(store.At(firstRun).afterGap) << "the restart is a gap";
    EXPECT_EQ(store.At(firstRun).state, 3);
    EXPECT_TRUE(std::isnan(store.At(firstRun).temperature));
    EXPECT_GE(store.At(firstRun).timeMs - store.At(firstRun - 1).timeMs, 5000);
}

TEST(TrendWindow, DrawsOneLinePerUnbrokenStretchInTheChosenRange)
{
    TReadingStore store;
    store.Now = [] { return kStart + 3600 * 1000; };
    for (int i = 0; i < 3600; ++i) {
        if (i == 1800)
            store.MarkGap(); // stopped and started again
        if (i >= 1800 && i < 1900)
            continue;
        store.AddAt(kStart + qint64(i) * 1000, 0, 20 + (i % 60) / 10.0, 107.8 + (i % 60) / 25.0);
    }
    RecordingMessages messages;
    TfrmTrend trend(store, messages);
    trend.resize(800, 480);

    trend.SetRange(TfrmTrend::trHour);
    EXPECT_EQ(trend.TemperatureLines().size(), 2);
    EXPECT_EQ(trend.ResistanceLines().size(), 2);
    EXPECT_EQ(trend.cbRange->currentIndex(), int(TfrmTrend::trHour));

    trend.SetRange(TfrmTrend::trFiveMinutes);
    ASSERT_EQ(trend.TemperatureLines().size(), 1);
    const QLineSeries* last = trend.TemperatureLines().first();
    EXPECT_EQ(last->count(), 300);
    EXPECT_EQ(last->at(last->count() - 1), QPointF(double(kStart + 3599 * 1000), 20 + 59 / 10.0));

    // A reading arriving later: shown at the next refresh, in the same line.
    store.AddAt(kStart + 3600 * 1000, 0, 30, 110);
    trend.Refresh();
    ASSERT_EQ(trend.TemperatureLines().size(), 1);
    EXPECT_EQ(trend.TemperatureLines().first()->count(), 301);
    EXPECT_EQ(trend.TemperatureLines().first()->at(300).y(), 30);

    // While shown, the window follows the store by itself.
    trend.show();
    store.AddAt(kStart + 3601 * 1000, 0, 31, 110);
    QCoreApplication::processEvents();
    EXPECT_EQ(trend.TemperatureLines().last()->at(trend.TemperatureLines().last()->count() - 1).y(), 31);
}

TEST(TrendWindow, SavesCsvThroughTheFileSeam)
{
    RecordingMessages messages;
    TReadingStore store;
    TfrmTrend trend(store, messages);
    int asked = 0;
    QString path;
    trend.SaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
        ++asked;
        EXPECT_TRUE(suggested.endsWith(QStringLiteral(".csv")));
        return path;
    };
    trend.btnSaveCsvClick(); // nothing measured yet: said so, nothing asked
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Нет измерений для сохранения."));

    store.AddAt(kStart, 0, 21.5, 108.4);
    store.AddAt(kStart + 1000, 3, std::nan(""), std::nan(""));
    QTemporaryDir dir;
    path = dir.filePath(QStringLiteral("m.csv"));
    trend.btnSaveCsvClick();
    EXPECT_EQ(asked, 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), ReadingsCsv(store.Readings()));

    path = dir.filePath(QStringLiteral("missing/m.csv"));
    trend.btnSaveCsvClick();
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().kind, mkError);
}
