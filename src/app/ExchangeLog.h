#pragma once

#include "LinkObserver.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <deque>

// The exchange monitor's lines: every frame the link reports, the newest
// last, at most kMaxLines. Kept in memory only; formatting happens when a
// line is shown or copied, so recording a frame stays cheap.
class TExchangeLog : public QAbstractTableModel, public ILinkObserver {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;
    enum TColumn { colTime, colDirection, colBytes, colVerdict, colCount };

    explicit TExchangeLog(QObject* parent = nullptr);

    // ILinkObserver
    void LinkEvent(const TLinkEvent& event) override;

    void Clear();
    int LineCount() const { return int(m_lines.size()); }
    const TLinkEvent& Event(int row) const { return m_lines[size_t(row)]; }
    // Milliseconds since the first line after the last clear.
    qint64 TimeMs(int row) const;
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
    std::deque<TLinkEvent> m_lines;
    std::deque<qint64> m_times;  // ms since the first line after a clear
    bool m_started = false;
    uint32_t m_lastTick = 0;
    qint64 m_lastTime = 0;
};
