#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>

// One measurement of the diagnostics mode. Values are NaN when the state
// carried none (3: sensor fault, 1 and 2: the mode ended).
struct TReading {
    qint64 timeMs = 0;       // milliseconds since the epoch, UTC
    double temperature = std::nan("");
    double resistance = std::nan("");
    int state = 0;           // the self-diagnostic state byte
    bool afterGap = false;   // readings were missed, or the mode stopped, before this one
};

enum class TTrendChannel { Temperature, Resistance };

// The readings of the session, oldest first. Keeps a week at one a second
// and drops the oldest beyond that, so a forgotten session cannot eat the
// memory.
class TReadingStore {
public:
    static constexpr int kDefaultCapacity = 7 * 24 * 3600;
    // Two intervals of the one-second poll without a reading count as a gap.
    static constexpr qint64 kGapMs = 2500;

    explicit TReadingStore(int capacity = kDefaultCapacity);

    void Add(int state, double temperature, double resistance);
    void AddAt(qint64 timeMs, int state, double temperature, double resistance);
    // A reading was missed or the mode stopped: a gap before the next reading.
    void MarkGap();
    void Clear();

    int Count() const { return int(m_readings.size()); }
    const TReading& At(int index) const { return m_readings[size_t(index)]; }
    QList<TReading> Readings() const;
    qint64 FirstTime() const;
    qint64 LastTime() const;

    // The channel's lines between from and to (ms since the epoch), one list
    // of points per unbroken stretch; x is the time in ms. A stretch breaks
    // at a missing value, a marked gap, or a pause longer than kGapMs; when
    // thinned, only at pauses wider than two buckets, which would not show. More than maxPoints readings
    // are thinned to the lowest and highest of each time bucket, so peaks
    // survive.
    QList<QList<QPointF>> Segments(TTrendChannel channel, qint64 from, qint64 to, int maxPoints = 2000) const;

    // The clock Add() stamps with; tests fix it.
    std::function<qint64()> Now;
    // Called after every added reading.
    std::function<void()> Changed;

private:
    std::deque<TReading> m_readings;
    int m_capacity;
    bool m_gap = true;
};

// The self-diagnostic state in words, on one line; empty for unknown states.
QString DiagStateText(int state);
