#include "device/ReadingCsv.h"
#include "device/ReadingStore.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kNaN = std::nan("");

qint64 Local(int h, int m, int s)
{
    return QDateTime(QDate(2026, 3, 5), QTime(h, m, s)).toMSecsSinceEpoch();
}

QList<int> Sizes(const QList<QList<QPointF>>& segments)
{
    QList<int> sizes;
    for (const auto& s : segments)
        sizes << int(s.size());
    return sizes;
}

} // namespace

TEST(TrendStore, BreaksAtMissedReadingsMissingValuesAndRestarts)
{
    TReadingStore store;
    const qint64 t0 = Local(10, 0, 0);
    for (int i = 0; i < 10; ++i)
        store.AddAt(t0 + i * 1000, 0, 20 + i, 100 + i);
    // Late answers a little over a second apart are no gap ...
    store.AddAt(t0 + 11200, 0, 30, 110);
    // ... five missed seconds are.
    for (int i = 16; i < 20; ++i)
        store.AddAt(t0 + i * 1000, 0, 20, 100);
    // A sensor fault carries no values.
    store.AddAt(t0 + 20000, 3, kNaN, kNaN);
    store.AddAt(t0 + 21000, 0, 21, 101);
    // Stopped and started again at once: still a gap.
    store.MarkGap();
    store.AddAt(t0 + 22000, 0, 22, 102);
    store.AddAt(t0 + 23000, 0, 22, 102);

    ASSERT_EQ(store.Count(), 19);
    EXPECT_TRUE(store.At(0).afterGap);
    EXPECT_FALSE(store.At(1).afterGap);
    EXPECT_TRUE(store.At(17).afterGap);

    const auto t = store.Segments(TTrendChannel::Temperature, t0, t0 + 60000);
    EXPECT_EQ(Sizes(t), (QList<int>{11, 4, 1, 2}));
    EXPECT_EQ(t[0].last(), QPointF(double(t0 + 11200), 30));
    const auto r = store.Segments(TTrendChannel::Resistance, t0, t0 + 60000);
    EXPECT_EQ(Sizes(r), Sizes(t));
    EXPECT_EQ(r[3].first(), QPointF(double(t0 + 22000), 102));

    // Only what lies in the range.
    EXPECT_EQ(Sizes(store.Segments(TTrendChannel::Temperature, t0 + 17000, t0 + 18000)), QList<int>{2});
    EXPECT_TRUE(store.Segments(TTrendChannel::Temperature, t0 + 100000, t0 + 200000).isEmpty());
}

TEST(TrendStore, ThinsLongRunsKeepingPeaksAndMergingTinyGaps)
{
    TReadingStore store;
    const qint64 t0 = Local(0, 0, 0);
    for (int i = 0; i < 24 * 3600; ++i) {
        if (i % 600 == 300) {
            store.MarkGap(); // a missed reading every ten minutes
            continue;
        }
        const double t = i == 40000 ? 95.5 : i == 50000 ? -12.0 : 20.0 + (i % 7) * 0.1;
        store.AddAt(t0 + qint64(i) * 1000, 0, t, 100);
    }
    const auto day = store.Segments(TTrendChannel::Temperature, t0, t0 + 24 * 3600 * 1000, 1000);
    // At a day's width a missed second is narrower than a pixel column.
    ASSERT_EQ(day.size(), 1);
    EXPECT_LE(day[0].size(), 1000);
    double high = -1e9, low = 1e9;
    for (const QPointF& p : day[0]) {
        high = std::max(high, p.y());
        low = std::min(low, p.y());
    }
    EXPECT_EQ(high, 95.5);
    EXPECT_EQ(low, -12.0);
    for (qsizetype i = 1; i < day[0].size(); ++i)
        ASSERT_LT(day[0][i - 1].x(), day[0][i].x()) << "points out of time order at " << i;

    // Zoomed in to a quarter of an hour, the same gap shows again.
    const auto zoom = store.Segments(TTrendChannel::Temperature, t0, t0 + 900 * 1000, 1000);
    EXPECT_EQ(Sizes(zoom), (QList<int>{300, 599}));
}

TEST(TrendStore, KeepsTheNewestWithinItsCapacity)
{
    TReadingStore store(5);
    for (int i = 0; i < 7; ++i)
        store.AddAt(1000 * i, 0, i, i);
    ASSERT_EQ(store.Count(), 5);
    EXPECT_EQ(store.At(0).temperature, 2);
    EXPECT_EQ(store.FirstTime(), 2000);
    EXPECT_EQ(store.LastTime(), 6000);
}

TEST(CsvExport, CommaLocaleUsesSemicolonsAndDecimalCommas)
{
    const QList<TReading> readings = {
        {Local(14, 7, 9), 23.5, 109.35, 0, true},
        {Local(14, 7, 10), kNaN, kNaN, 3, false},
        {Local(14, 7, 11), -20.0, 92.15, 0, false},
        {Local(14, 7, 12), kNaN, kNaN, 2, false},
        {Local(14, 7, 13), kNaN, kNaN, 9, true},
    };
    const QByteArray csv = ReadingsCsv(readings, QLocale(QLocale::Russian, QLocale::Russia));
    const QString expected = QStringLiteral(
        "Время;Температура, °C;Сопротивление, Ом;Код состояния;Состояние\r\n"
        "2026-03-05T14:07:09;23,5;109,35;0;Неисправностей не обнаружено\r\n"
        "2026-03-05T14:07:10;;;3;1. Обрыв или короткое замыкание ТС. 2. Измеренная температура за пределами "
        "максимального диапазона измерения.\r\n"
        "2026-03-05T14:07:11;-20,0;92,15;0;Неисправностей не обнаружено\r\n"
        "2026-03-05T14:07:12;;;2;Настройка не производилась или сбой EEPROM\r\n"
        "2026-03-05T14:07:13;;;9;\r\n");
    EXPECT_EQ(csv, QByteArray("\xEF\xBB\xBF") + expected.toUtf8());
}

TEST(CsvExport, PointLocaleUsesCommasAndQuotesFieldsHoldingThem)
{
    const QList<TReading> readings = {
        {Local(9, 0, 0), 1234.5, 0.05, 0, true},
    };
    const QByteArray csv = ReadingsCsv(readings, QLocale(QLocale::English, QLocale::UnitedStates));
    const QString expected = QStringLiteral(
        "Время,\"Температура, °C\",\"Сопротивление, Ом\",Код состояния,Состояние\r\n"
        "2026-03-05T09:00:00,1234.5,0.05,0,Неисправностей не обнаружено\r\n");
    EXPECT_EQ(csv, QByteArray("\xEF\xBB\xBF") + expected.toUtf8());
    // No thousands separators in either locale: they would split the number.
    EXPECT_TRUE(ReadingsCsv(readings, QLocale(QLocale::German, QLocale::Germany)).contains("1234,5;0,05"));
}

TEST(CsvExport, SaveWritesWholeFileOrReportsWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.csv"));
    QString error;
    ASSERT_TRUE(SaveTextFile(path, "abc\r\n", &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("abc\r\n"));

    EXPECT_FALSE(SaveTextFile(dir.filePath(QStringLiteral("no/such/dir/m.csv")), "x", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no/such/dir/m.csv"))) << error.toStdString();
}
