#include "device/ReadingStore.h"

#include <QDateTime>

#include <algorithm>

TReadingStore::TReadingStore(int capacity)
    : Now([] { return QDateTime::currentMSecsSinceEpoch(); })
    , m_capacity(std::max(1, capacity))
{
}

void TReadingStore::Add(int state, double temperature, double resistance)
{
    AddAt(Now(), state, temperature, resistance);
}

void TReadingStore::AddAt(qint64 timeMs, int state, double temperature, double resistance)
{
    TReading r;
    r.timeMs = timeMs;
    r.state = state;
    r.temperature = temperature;
    r.resistance = resistance;
    r.afterGap = m_gap;
    m_gap = false;
    if (int(m_readings.size()) >= m_capacity)
        m_readings.pop_front();
    m_readings.push_back(r);
    if (Changed)
        Changed();
}

void TReadingStore::MarkGap()
{
    m_gap = true;
}

void TReadingStore::Clear()
{
    m_readings.clear();
    m_gap = true;
}

QList<TReading> TReadingStore::Readings() const
{
    return QList<TReading>(m_readings.begin(), m_readings.end());
}

qint64 TReadingStore::FirstTime() const
{
    return m_readings.empty() ? 0 : m_readings.front().timeMs;
}

qint64 TReadingStore::LastTime() const
{
    return m_readings.empty() ? 0 : m_readings.back().timeMs;
}

QList<QList<QPointF>> TReadingStore::Segments(TTrendChannel channel, qint64 from, qint64 to, int maxPoints) const
{
    QList<QList<QPointF>> segments;
    const auto byTime = [](const TReading& r, qint64 t) { return r.timeMs < t; };
    const auto first = std::lower_bound(m_readings.begin(), m_readings.end(), from, byTime);
    const auto last = std::upper_bound(m_readings.begin(), m_readings.end(), to,
                                       [](qint64 t, const TReading& r) { return t < r.timeMs; });
    const qint64 inRange = last - first;
    if (inRange <= 0 || to < from)
        return segments;

    const int buckets = std::max(1, maxPoints / 2);
    const bool thin = inRange > maxPoints;
    const qint64 bucketMs = thin ? std::max<qint64>(1, (to - from) / buckets + 1) : 0;
    const qint64 gapMs = std::max(kGapMs, 2 * bucketMs);
    const auto valueOf = [channel](const TReading& r) {
        return channel == TTrendChannel::Temperature ? r.temperature : r.resistance;
    };

    QList<QPointF> current;
    qint64 previousTime = 0;
    bool broken = true;
    // Thinning state: the bucket in progress and its extremes.
    qint64 bucket = -1;
    QPointF low, high;
    bool haveBucket = false;
    const auto flushBucket = [&] {
        if (!haveBucket)
            return;
        if (low.x() <= high.x()) {
            current << low;
            if (high != low)
                current << high;
        } else {
            current << high << low;
        }
        haveBucket = false;
    };
    const auto endSegment = [&] {
        flushBucket();
        if (!current.isEmpty())
            segments << current;
        current.clear();
    };

    for (auto it = first; it != last; ++it) {
        const double v = valueOf(*it);
        if ((it->afterGap && !thin) || (!broken && it->timeMs - previousTime > gapMs))
            broken = true;
        if (!std::isfinite(v)) {
            endSegment();
            broken = true;
            continue;
        }
        if (broken)
            endSegment();
        broken = false;
        previousTime = it->timeMs;
        const QPointF p(double(it->timeMs), v);
        if (!thin) {
            current << p;
            continue;
        }
        const qint64 b = (it->timeMs - from) / bucketMs;
        if (!haveBucket || b != bucket) {
            flushBucket();
            bucket = b;
            low = high = p;
            haveBucket = true;
        } else {
            if (v < low.y())
                low = p;
            if (v > high.y())
                high = p;
        }
    }
    endSegment();
    return segments;
}

QString DiagStateText(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("Неисправностей не обнаружено");
    case 1:
        return QStringLiteral("АЦП не отвечает");
    case 2:
        return QStringLiteral("Настройка не производилась или сбой EEPROM");
    case 3:
        return QStringLiteral("1. Обрыв или короткое замыкание ТС. "
                              "2. Измеренная температура за пределами максимального диапазона измерения.");
    default:
        return QString();
    }
}
