#pragma once

#include "link/LinkObserver.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QStringList>

#include <deque>

// The exchange monitor's lines: every frame the link reports, the newest
// last, at most kMaxLines. Kept in memory only. Recording a frame only
// queues it: the views hear of new lines once per turn of the event loop,
// and formatting happens when a line is shown or copied, so the exchange
// that reports the frame is not slowed down.
class TExchangeLog : public QAbstractTableModel, public ILinkObserver {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;
    enum TColumn { colTime, colDirection, colBytes, colVerdict, colCount };

    explicit TExchangeLog(QObject* parent = nullptr);

    // ILinkObserver
    void LinkEvent(const TLinkEvent& event) override;

    void Clear();
    // Takes the queued frames in now (the accessors below do it themselves).
    void Flush();
    int LineCount() const;
    const TLinkEvent& Event(int row) const;
    // Milliseconds since the first line after the last clear.
    qint64 TimeMs(int row) const;
    // A row as LineCount() last counted them.
    QString Cell(int row, int column) const;
    // Rows as tab-separated text, one line each (all rows when empty).
    QString Text(const QList<int>& rows = {}) const;
    // The column names as one such line.
    QString HeaderLine() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct TLine {
        TLinkEvent event;
        qint64 time;              // ms since the first line after a clear
    };
    void FlushNow() const { const_cast<TExchangeLog*>(this)->Flush(); }

    std::deque<TLine> m_lines;
    std::deque<TLine> m_queued;
    bool m_flushPosted = false;
    QFont m_fixedFont;
    bool m_started = false;
    uint32_t m_lastTick = 0;
    qint64 m_lastTime = 0;
};
