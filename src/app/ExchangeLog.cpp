#include "app/ExchangeLog.h"

#include "device/FrameVerdictText.h"

#include "link/TickSource.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

TExchangeLog::TExchangeLog(QObject* parent)
    : QAbstractTableModel(parent)
    , m_fixedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))
{
    m_fixedFont.setPointSizeF(QGuiApplication::font().pointSizeF());
}

void TExchangeLog::LinkEvent(const TLinkEvent& event)
{
    // Ticks wrap at 2^32: the time is summed from differences on 64 bits.
    if (!m_started) {
        m_started = true;
        m_lastTime = 0;
    } else {
        m_lastTime += qint64(TicksSince(event.tick, m_lastTick));
    }
    m_lastTick = event.tick;
    m_queued.push_back({event, m_lastTime});
    if (int(m_queued.size()) > kMaxLines)
        m_queued.pop_front(); // only while no event loop takes them in
    if (!m_flushPosted) {
        m_flushPosted = true;
        QTimer::singleShot(0, this, [this] { Flush(); });
    }
}

void TExchangeLog::Flush()
{
    m_flushPosted = false;
    if (m_queued.empty())
        return;
    const int incoming = int(m_queued.size());
    const int drop = std::min(int(m_lines.size()), int(m_lines.size()) + incoming - kMaxLines);
    if (drop > 0) {
        beginRemoveRows({}, 0, drop - 1);
        m_lines.erase(m_lines.begin(), m_lines.begin() + drop);
        endRemoveRows();
    }
    const int first = int(m_lines.size());
    beginInsertRows({}, first, first + incoming - 1);
    m_lines.insert(m_lines.end(), std::make_move_iterator(m_queued.begin()), std::make_move_iterator(m_queued.end()));
    m_queued.clear();
    endInsertRows();
}

void TExchangeLog::Clear()
{
    beginResetModel();
    m_lines.clear();
    m_queued.clear();
    m_started = false;
    endResetModel();
}

int TExchangeLog::LineCount() const
{
    FlushNow();
    return int(m_lines.size());
}

const TLinkEvent& TExchangeLog::Event(int row) const
{
    FlushNow();
    return m_lines[size_t(row)].event;
}

qint64 TExchangeLog::TimeMs(int row) const
{
    FlushNow();
    return m_lines[size_t(row)].time;
}

QString TExchangeLog::Cell(int row, int column) const
{
    // No flush here: the views ask while they paint.
    const TLine& line = m_lines[size_t(row)];
    const TLinkEvent& e = line.event;
    switch (column) {
    case colTime:
        return QString::number(line.time);
    case colDirection:
        return e.outgoing ? QStringLiteral("передача") : QStringLiteral("приём");
    case colBytes:
        return HexText(e.bytes);
    case colVerdict:
        return VerdictText(e);
    default:
        return QString();
    }
}

QString TExchangeLog::Text(const QList<int>& rows) const
{
    FlushNow();
    QString text;
    const auto add = [&](int row) {
        QStringList cells;
        for (int c = 0; c < colCount; ++c)
            cells << Cell(row, c);
        text += cells.join(QLatin1Char('\t'));
        text += QLatin1Char('\n');
    };
    if (rows.isEmpty()) {
        for (int row = 0; row < int(m_lines.size()); ++row)
            add(row);
    } else {
        for (int row : rows) {
            if (row >= 0 && row < int(m_lines.size()))
                add(row);
        }
    }
    return text;
}

QString TExchangeLog::HeaderLine() const
{
    QStringList names;
    for (int c = 0; c < colCount; ++c)
        names << headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return names.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

int TExchangeLog::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int TExchangeLog::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QVariant TExchangeLog::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_lines.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == colTime)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == colBytes)
        return Cell(index.row(), index.column()); // the whole frame, when the column cuts it
    if (role == Qt::FontRole && index.column() == colBytes)
        return m_fixedFont;
    return {};
}

QVariant TExchangeLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case colTime:
        return QStringLiteral("Время, мс");
    case colDirection:
        return QStringLiteral("Направление");
    case colBytes:
        return QStringLiteral("Байты");
    case colVerdict:
        return QStringLiteral("Результат");
    default:
        return {};
    }
}
