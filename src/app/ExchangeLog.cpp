#include "ExchangeLog.h"

#include "TickSource.h"

#include <QFontDatabase>

TExchangeLog::TExchangeLog(QObject* parent)
    : QAbstractTableModel(parent)
{
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
    if (int(m_lines.size()) >= kMaxLines) {
        beginRemoveRows({}, 0, 0);
        m_lines.pop_front();
        m_times.pop_front();
        endRemoveRows();
    }
    const int row = int(m_lines.size());
    beginInsertRows({}, row, row);
    m_lines.push_back(event);
    m_times.push_back(m_lastTime);
    endInsertRows();
}

void TExchangeLog::Clear()
{
    beginResetModel();
    m_lines.clear();
    m_times.clear();
    m_started = false;
    endResetModel();
}

qint64 TExchangeLog::TimeMs(int row) const
{
    return m_times[size_t(row)];
}

QString TExchangeLog::Cell(int row, int column) const
{
    const TLinkEvent& e = Event(row);
    switch (column) {
    case colTime:
        return QString::number(TimeMs(row));
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
    QString text;
    const auto add = [&](int row) {
        QStringList cells;
        for (int c = 0; c < colCount; ++c)
            cells << Cell(row, c);
        text += cells.join(QLatin1Char('\t'));
        text += QLatin1Char('\n');
    };
    if (rows.isEmpty()) {
        for (int row = 0; row < LineCount(); ++row)
            add(row);
    } else {
        for (int row : rows) {
            if (row >= 0 && row < LineCount())
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
    return parent.isValid() ? 0 : LineCount();
}

int TExchangeLog::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QVariant TExchangeLog::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= LineCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == colTime)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::FontRole && index.column() == colBytes)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
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
