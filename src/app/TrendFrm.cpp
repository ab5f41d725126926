#include "app/TrendFrm.h"

#include "link/MessageDialog.h"
#include "device/ReadingCsv.h"
#include "device/ReadingStore.h"
#include "app/TrendChart.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

TfrmTrend::TfrmTrend(TReadingStore& store, IMessageDialog& messages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_store(store)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("frmTrend"));
    setWindowTitle(QStringLiteral("График измерений"));
    resize(820, 480);

    lbRange = new QLabel(QStringLiteral("Период:"), this);
    cbRange = new QComboBox(this);
    cbRange->setObjectName(QStringLiteral("cbRange"));
    cbRange->addItems({QStringLiteral("последние 5 мин"), QStringLiteral("последний час"), QStringLiteral("всё время")});
    lbRange->setBuddy(cbRange);
    cbRange->setAccessibleName(QStringLiteral("Период"));
    btnSaveCsv = new QPushButton(QStringLiteral("Сохранить в CSV..."), this);
    btnSaveCsv->setObjectName(QStringLiteral("btnSaveCsv"));

    QString error;
    m_chart = CreateTrendChart(this, &error);
    if (m_chart) {
        chartView = m_chart->Widget();
    } else {
        auto* missing = new QLabel(QStringLiteral("График недоступен: %1").arg(error), this);
        missing->setAlignment(Qt::AlignCenter);
        missing->setWordWrap(true);
        chartView = missing;
    }
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setAccessibleName(QStringLiteral("График температуры и сопротивления"));

    auto* top = new QHBoxLayout;
    top->addWidget(lbRange);
    top->addWidget(cbRange);
    top->addStretch();
    top->addWidget(btnSaveCsv);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chartView, 1);

    connect(cbRange, &QComboBox::currentIndexChanged, this, [this](int index) { SetRange(TRange(index)); });
    connect(btnSaveCsv, &QPushButton::clicked, this, &TfrmTrend::btnSaveCsvClick);
    m_store.Changed = [this] { StoreChanged(); };
    Refresh();
}

TfrmTrend::~TfrmTrend()
{
    m_store.Changed = nullptr;
}

void TfrmTrend::SetRange(TRange range)
{
    m_range = range;
    if (cbRange->currentIndex() != int(range))
        cbRange->setCurrentIndex(int(range));
    Refresh();
}

void TfrmTrend::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
}

void TfrmTrend::StoreChanged()
{
    // Readings come once a second; redraw once per turn of the event loop at most.
    if (!isVisible() || m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        Refresh();
    });
}

void TfrmTrend::Refresh()
{
    if (!m_chart)
        return;
    const qint64 now = std::max(m_store.Now(), m_store.LastTime());
    qint64 from = now - 5 * 60 * 1000;
    if (m_range == trHour)
        from = now - 3600 * 1000;
    else if (m_range == trAll)
        from = m_store.Count() ? std::min(m_store.FirstTime(), now - 60 * 1000) : now - 5 * 60 * 1000;

    const int points = std::max(400, chartView->width() * 2);
    TTrendPicture picture;
    picture.temperature = m_store.Segments(TTrendChannel::Temperature, from, now, points);
    picture.resistance = m_store.Segments(TTrendChannel::Resistance, from, now, points);
    picture.fromMs = from;
    picture.toMs = now;
    m_chart->Draw(picture);
}

QList<QLineSeries*> TfrmTrend::TemperatureLines() const
{
    return m_chart ? m_chart->TemperatureLines() : QList<QLineSeries*>();
}

QList<QLineSeries*> TfrmTrend::ResistanceLines() const
{
    return m_chart ? m_chart->ResistanceLines() : QList<QLineSeries*>();
}

void TfrmTrend::btnSaveCsvClick()
{
    if (m_store.Count() == 0) {
        m_messages.Show(QStringLiteral("Нет измерений для сохранения."), mkInformation, mbOk);
        return;
    }
    const QString suggested = QStringLiteral("izmereniya_%1.csv")
                                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmm")));
    const QString path = WithDefaultSuffix(SaveFileName(this, QStringLiteral("Сохранить измерения"), suggested,
                                                        QStringLiteral("Файлы CSV (*.csv);;Все файлы (*)")),
                                           QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveTextFile(path, ReadingsCsv(m_store.Readings()), &error))
        m_messages.ShowError(error);
}
