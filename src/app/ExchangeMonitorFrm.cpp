#include "app/ExchangeMonitorFrm.h"

#include "app/ExchangeLog.h"
#include "link/MessageDialog.h"
#include "device/ReadingCsv.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

TfrmExchangeMonitor::TfrmExchangeMonitor(TExchangeLog& log, IMessageDialog& messages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
    , m_messages(messages)
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

    btnFollow = new QPushButton(QStringLiteral("Следить"), this);
    btnFollow->setObjectName(QStringLiteral("btnFollow"));
    btnFollow->setCheckable(true);
    btnFollow->setChecked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnFollow);
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
    // A row picked to be read must not scroll away under the new frames.
    connect(lvExchange->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (lvExchange->selectionModel()->hasSelection())
            btnFollow->setChecked(false);
    });
    connect(btnFollow, &QPushButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        m_follow = true;
        lvExchange->scrollToBottom();
    });
    QScrollBar* bar = lvExchange->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { m_follow = value >= bar->maximum(); });
}

void TfrmExchangeMonitor::RowsAdded()
{
    // Scrolled once per turn of the event loop, not once per frame: the
    // frames arrive inside an exchange, whose timing must not change.
    if (!m_follow || !btnFollow->isChecked() || !isVisible() || m_scrollPending)
        return;
    m_scrollPending = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollPending = false;
        lvExchange->scrollToBottom();
    });
}

QString TfrmExchangeMonitor::SaveTitle(const QDateTime& when) const
{
    QString title = QStringLiteral("Обмен с прибором, %1").arg(when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    const QString link = LinkDescription ? LinkDescription() : QString();
    if (!link.isEmpty())
        title += QStringLiteral(", ") + link;
    return title;
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
    const QString path =
        WithDefaultSuffix(SaveFileName(this, QStringLiteral("Сохранить обмен с прибором"), QStringLiteral("obmen.txt"),
                                       QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)")),
                          QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    const QString title = SaveTitle(QDateTime::currentDateTime()) + QLatin1Char('\n');
    if (!SaveTextFile(path, (title + m_log.HeaderLine() + m_log.Text()).toUtf8(), &error))
        m_messages.ShowError(error);
}
