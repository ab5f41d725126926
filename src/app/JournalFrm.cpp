#include "app/JournalFrm.h"

#include "device/ReadingCsv.h"
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"
#include "link/MessageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView* MakeTable(QWidget* parent, const QString& name, const QString& accessible)
{
    auto* t = new QTableView(parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(20);
    t->horizontalHeader()->setHighlightSections(false);
    t->setWordWrap(false);
    return t;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}

} // namespace

TfrmJournal::TfrmJournal(THistoryStore& store, IMessageDialog& messages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_store(store)
    , m_messages(messages)
    , m_units(new THistoryUnitsModel(this))
    , m_timeline(new THistoryTimelineModel(this))
{
    setObjectName(QStringLiteral("frmJournal"));
    setWindowTitle(QStringLiteral("Журнал приборов"));
    resize(1000, 600);

    auto* filterRow = new QHBoxLayout;
    auto* lbNumber = new QLabel(QStringLiteral("Номер датчика:"), this);
    edSensorNum = new QLineEdit(this);
    edSensorNum->setObjectName(QStringLiteral("edSensorNum"));
    edSensorNum->setAccessibleName(QStringLiteral("Номер датчика"));
    edSensorNum->setPlaceholderText(QStringLiteral("все"));
    edSensorNum->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), edSensorNum));
    edSensorNum->setFixedWidth(110);
    edSensorNum->setClearButtonEnabled(true);
    lbNumber->setBuddy(edSensorNum);
    auto* lbType = new QLabel(QStringLiteral("Тип:"), this);
    cbType = new QComboBox(this);
    cbType->setObjectName(QStringLiteral("cbType"));
    cbType->setAccessibleName(QStringLiteral("Тип преобразователя"));
    cbType->addItem(QStringLiteral("все"), QString());
    cbType->addItem(QStringLiteral("M (4–20 мА)"), QStringLiteral("M"));
    cbType->addItem(QStringLiteral("N (0–5 мА)"), QStringLiteral("N"));
    lbType->setBuddy(cbType);
    cbPeriod = new QCheckBox(QStringLiteral("Период с"), this);
    cbPeriod->setObjectName(QStringLiteral("cbPeriod"));
    cbPeriod->setAccessibleName(QStringLiteral("Только за период"));
    deFrom = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    deFrom->setObjectName(QStringLiteral("deFrom"));
    deFrom->setAccessibleName(QStringLiteral("Начало периода"));
    deFrom->setCalendarPopup(true);
    auto* lbTo = new QLabel(QStringLiteral("по"), this);
    deTo = new QDateEdit(QDate::currentDate(), this);
    deTo->setObjectName(QStringLiteral("deTo"));
    deTo->setAccessibleName(QStringLiteral("Конец периода"));
    deTo->setCalendarPopup(true);
    lbTo->setBuddy(deTo);
    for (QDateEdit* d : {deFrom, deTo}) {
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setEnabled(false);
    }
    filterRow->addWidget(lbNumber);
    filterRow->addWidget(edSensorNum);
    filterRow->addSpacing(12);
    filterRow->addWidget(lbType);
    filterRow->addWidget(cbType);
    filterRow->addSpacing(12);
    filterRow->addWidget(cbPeriod);
    filterRow->addWidget(deFrom);
    filterRow->addWidget(lbTo);
    filterRow->addWidget(deTo);
    filterRow->addStretch(1);

    tvUnits = MakeTable(this, QStringLiteral("tvUnits"), QStringLiteral("Преобразователи"));
    tvUnits->setSelectionMode(QAbstractItemView::SingleSelection);
    tvUnits->setModel(m_units);
    tvTimeline = MakeTable(this, QStringLiteral("tvTimeline"), QStringLiteral("События преобразователя"));
    tvTimeline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvTimeline->setModel(m_timeline);
    meDetails = new QPlainTextEdit(this);
    meDetails->setObjectName(QStringLiteral("meDetails"));
    meDetails->setAccessibleName(QStringLiteral("Подробности события"));
    meDetails->setReadOnly(true);
    meDetails->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(tvTimeline);
    right->addWidget(meDetails);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("spJournal"));
    split->addWidget(tvUnits);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({470, 530});

    auto* buttons = new QHBoxLayout;
    lbStatus = new QLabel(this);
    lbStatus->setObjectName(QStringLiteral("lbStatus"));
    btnVerify = MakeButton(this, QStringLiteral("btnVerify"), QStringLiteral("Проверить журнал"));
    btnCertificate = MakeButton(this, QStringLiteral("btnCertificate"), QStringLiteral("Выдать сертификат..."));
    btnExportCsv = MakeButton(this, QStringLiteral("btnExportCsv"), QStringLiteral("Экспорт CSV..."));
    btnExportJson = MakeButton(this, QStringLiteral("btnExportJson"), QStringLiteral("Экспорт JSON..."));
    buttons->addWidget(lbStatus, 1);
    for (QPushButton* b : {btnVerify, btnCertificate, btnExportCsv, btnExportJson})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(edSensorNum, &QLineEdit::editingFinished, this, &TfrmJournal::Refresh);
    connect(edSensorNum, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            Refresh();
    });
    connect(cbType, &QComboBox::currentIndexChanged, this, &TfrmJournal::Refresh);
    connect(cbPeriod, &QCheckBox::toggled, this, [this](bool on) {
        deFrom->setEnabled(on);
        deTo->setEnabled(on);
        Refresh();
    });
    connect(deFrom, &QDateEdit::dateChanged, this, [this] {
        if (cbPeriod->isChecked())
            Refresh();
    });
    connect(deTo, &QDateEdit::dateChanged, this, [this] {
        if (cbPeriod->isChecked())
            Refresh();
    });
    connect(tvUnits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectUnit(current.row()); });
    connect(tvTimeline->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectEvent(current.row()); });
    connect(btnExportCsv, &QPushButton::clicked, this, &TfrmJournal::btnExportCsvClick);
    connect(btnExportJson, &QPushButton::clicked, this, &TfrmJournal::btnExportJsonClick);
    connect(btnCertificate, &QPushButton::clicked, this, &TfrmJournal::btnCertificateClick);
    connect(btnVerify, &QPushButton::clicked, this, &TfrmJournal::btnVerifyClick);
    btnCertificate->setEnabled(false);

    Refresh();
    tvUnits->setColumnHidden(THistoryUnitsModel::colLastId, true);
    tvUnits->setColumnWidth(THistoryUnitsModel::colType, 40);
    tvUnits->setColumnWidth(THistoryUnitsModel::colNumber, 100);
    tvUnits->setColumnWidth(THistoryUnitsModel::colEvent, 130);
    tvUnits->setColumnWidth(THistoryUnitsModel::colTime, 120);
    tvUnits->horizontalHeader()->setStretchLastSection(true);
}

TJournalFilter TfrmJournal::Filter() const
{
    TJournalFilter f;
    f.sensorNumber = edSensorNum->text().trimmed();
    f.type = cbType->currentData().toString();
    if (cbPeriod->isChecked()) {
        f.from = deFrom->date();
        f.to = deTo->date();
    }
    return f;
}

void TfrmJournal::Refresh()
{
    if (!m_store.IsOpen()) {
        lbStatus->setText(m_store.Error());
        return;
    }
    QString error;
    if (!m_units->Load(m_store.Database(), Filter(), &error)) {
        lbStatus->setText(QStringLiteral("Журнал не читается: %1").arg(error));
        return;
    }
    lbStatus->setText(QStringLiteral("Записей в журнале: %1").arg(m_store.Count()));
    // The unit chosen stays chosen if it is still listed.
    int row = -1;
    for (int i = 0; i < m_units->rowCount() && row < 0; ++i) {
        if (m_units->data(m_units->index(i, THistoryUnitsModel::colNumber)).toLongLong() == m_sensor
            && m_units->data(m_units->index(i, THistoryUnitsModel::colType)).toString() == m_type)
            row = i;
    }
    if (row >= 0)
        tvUnits->selectRow(row);
    else
        SelectUnit(-1);
}

void TfrmJournal::SelectUnit(int row)
{
    if (row < 0 || row >= m_units->rowCount()) {
        m_sensor = -1;
        m_type.clear();
        m_timeline->clear();
        meDetails->clear();
        btnCertificate->setEnabled(false);
        return;
    }
    if (tvUnits->currentIndex().row() != row)
        tvUnits->selectRow(row);
    m_sensor = m_units->data(m_units->index(row, THistoryUnitsModel::colNumber)).toLongLong();
    m_type = m_units->data(m_units->index(row, THistoryUnitsModel::colType)).toString();
    btnCertificate->setEnabled(m_certificatesOffered);
    LoadTimeline();
}

void TfrmJournal::LoadTimeline()
{
    QString error;
    if (!m_timeline->Load(m_store.Database(), m_sensor, m_type, Filter(), &error))
        lbStatus->setText(QStringLiteral("Журнал не читается: %1").arg(error));
    tvTimeline->setColumnWidth(THistoryTimelineModel::colId, 50);
    tvTimeline->setColumnWidth(THistoryTimelineModel::colTime, 120);
    tvTimeline->setColumnWidth(THistoryTimelineModel::colEvent, 140);
    tvTimeline->setColumnWidth(THistoryTimelineModel::colAddress, 45);
    tvTimeline->setColumnWidth(THistoryTimelineModel::colPort, 100);
    tvTimeline->horizontalHeader()->setStretchLastSection(true);
    SelectEvent(m_timeline->rowCount() > 0 ? 0 : -1);
}

void TfrmJournal::SelectEvent(int row)
{
    THistoryRecord r;
    if (row < 0 || !m_store.Record(m_timeline->RecordId(row), &r)) {
        meDetails->clear();
        return;
    }
    if (tvTimeline->currentIndex().row() != row)
        tvTimeline->selectRow(row);
    QStringList lines;
    lines << QStringLiteral("Запись %1: %2").arg(r.id).arg(EventKindText(r.kind))
          << QStringLiteral("Время: %1").arg(EventTimeText(r.time))
          << QStringLiteral("Преобразователь: %1, датчик № %2, адрес %3, порт %4")
                 .arg(r.transducerType)
                 .arg(r.sensorNumber)
                 .arg(r.address)
                 .arg(r.port.isEmpty() ? QStringLiteral("—") : r.port)
          << QStringLiteral("Программа: версия %1").arg(r.programVersion)
          << QStringLiteral("Итог: %1").arg(EventSummary(r))
          << QStringLiteral("SHA-256 записи: %1").arg(r.hash)
          << QStringLiteral("SHA-256 предыдущей: %1").arg(r.prevHash) << QString()
          << QString::fromUtf8(QJsonDocument(r.data).toJson(QJsonDocument::Indented));
    meDetails->setPlainText(lines.join(QLatin1Char('\n')));
}

QList<qint64> TfrmJournal::SelectedRecordIds()
{
    QList<qint64> ids;
    if (m_sensor >= 0) {
        QModelIndexList rows = tvTimeline->selectionModel() ? tvTimeline->selectionModel()->selectedRows() : QModelIndexList();
        if (rows.size() <= 1) {
            // One row is where the cursor is; the export takes the whole timeline.
            while (m_timeline->canFetchMore())
                m_timeline->fetchMore();
            for (int i = 0; i < m_timeline->rowCount(); ++i)
                ids << m_timeline->RecordId(i);
        } else {
            for (const QModelIndex& index : rows)
                ids << m_timeline->RecordId(index.row());
        }
    } else {
        const TJournalFilter f = Filter();
        THistoryFilter filter;
        if (!f.type.isEmpty())
            filter.transducerType = f.type;
        if (f.from.isValid())
            filter.since = f.from.startOfDay();
        if (f.to.isValid())
            filter.until = f.to.addDays(1).startOfDay();
        for (const THistoryRecord& r : m_store.Records(filter)) {
            if (f.sensorNumber.isEmpty() || QString::number(r.sensorNumber).startsWith(f.sensorNumber))
                ids << r.id;
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool TfrmJournal::Export(const QString& caption, const QString& suggested, const QString& filter, bool csv)
{
    const QList<qint64> ids = SelectedRecordIds();
    if (ids.isEmpty()) {
        m_messages.Show(QStringLiteral("Нет событий для экспорта."), mkInformation, mbOk);
        return false;
    }
    const QString path = SaveFileName(this, caption, suggested, filter);
    if (path.isEmpty())
        return false;
    QList<THistoryRecord> records;
    for (qint64 id : ids) {
        THistoryRecord r;
        if (m_store.Record(id, &r))
            records << r;
    }
    QString error;
    if (!SaveTextFile(path, csv ? HistoryCsv(records) : HistoryJson(records), &error)) {
        m_messages.ShowError(error);
        return false;
    }
    lbStatus->setText(QStringLiteral("Сохранено событий: %1 (%2)").arg(records.size()).arg(path));
    return true;
}

void TfrmJournal::btnExportCsvClick()
{
    const QString name = m_sensor >= 0 ? QStringLiteral("zhurnal_%1.csv").arg(m_sensor) : QStringLiteral("zhurnal.csv");
    Export(QStringLiteral("Экспорт журнала в CSV"), name, QStringLiteral("Таблицы CSV (*.csv)"), true);
}

void TfrmJournal::btnExportJsonClick()
{
    const QString name = m_sensor >= 0 ? QStringLiteral("zhurnal_%1.json").arg(m_sensor) : QStringLiteral("zhurnal.json");
    Export(QStringLiteral("Экспорт журнала в JSON"), name, QStringLiteral("Файлы JSON (*.json)"), false);
}

void TfrmJournal::btnCertificateClick()
{
    if (m_sensor >= 0 && m_certificatesOffered) {
        emit certificateRequested(m_sensor);
        Refresh();
    }
}

void TfrmJournal::btnVerifyClick()
{
    const TChainCheck check = m_store.VerifyChain();
    lbStatus->setText(check.Text());
    if (!check.ok)
        m_messages.Show(check.Text(), mkError, mbOk);
}
