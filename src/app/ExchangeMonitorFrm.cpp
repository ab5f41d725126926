#include "app/ExchangeMonitorFrm.h"

#include "app/ExchangeLog.h"
#include "link/MessageDialog.h"
#include "device/ReadingCsv.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

TfrmExchangeMonitor::TfrmExchangeMonitor(TExchangeLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
{
    setObjectName(QStringLiteral("frmExchangeMonitor"));
    setWindowTitle(QStringLiteral("Обмен с прибором"));
    resize(760, 420);

    lvExchange = new QTableView(this);
    lvExchange->setObjectName(QStringLiteral("lvExchange"));
    lvExchange->setAccessibleName(QStringLiteral("Кадры обмена с прибором"));
    lvExchange->setModel(&m_log);
    lvExchange->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvExchange->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvExchange->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvExchange->setWordWrap(false);
    lvExchange->verticalHeader()->hide();
    // Fixed row heights and column widths: nothing is measured per frame.
    lvExchange->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvExchange->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    lvExchange->horizontalHeader()->setStretchLastSection(true);
    lvExchange->setColumnWidth(TExchangeLog::colTime, 80);
    lvExchange->setColumnWidth(TExchangeLog::colDirection, 90);
    lvExchange->setColumnWidth(TExchangeLog::colBytes, 400);

    btnClear = new QPushButton(QStringLiteral("Очистить"), this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnCopy = new QPushButton(QStringLiteral("Копировать"), this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnSave = new QPushButton(QStringLiteral("Сохранить..."), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClear);
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnSave);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvExchange);
    layout->addLayout(buttons);

    connect(btnClear, &QPushButton::clicked, this, &TfrmExchangeMonitor::btnClearClick);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmExchangeMonitor::btnCopyClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmExchangeMonitor::btnSaveClick);
    connect(&m_log, &QAbstractItemModel::rowsInserted, this, &TfrmExchangeMonitor::RowsAdded);
    QScrollBar* bar = lvExchange->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { m_follow = value >= bar->maximum(); });
}

void TfrmExchangeMonitor::RowsAdded()
{
    // Scrolled once per turn of the event loop, not once per frame: the
    // frames arrive inside an exchange, whose timing must not change.
    if (!m_follow || !isVisible() || m_scrollPending)
        return;
    m_scrollPending = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollPending = false;
        lvExchange->scrollToBottom();
    });
}

void TfrmExchangeMonitor::btnClearClick()
{
    m_log.Clear();
    m_follow = true;
}

void TfrmExchangeMonitor::btnCopyClick()
{
    QList<int> rows;
    for (const QModelIndex& index : lvExchange->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(m_log.Text(rows));
}

void TfrmExchangeMonitor::btnSaveClick()
{
    const QString path = SaveFileName(this, QStringLiteral("Сохранить обмен с прибором"), QStringLiteral("obmen.txt"),
                                      QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveTextFile(path, (m_log.HeaderLine() + m_log.Text()).toUtf8(), &error))
        ShowError(error);
}
