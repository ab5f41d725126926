#include "app/TrendFrm.h"

#include "link/MessageDialog.h"
#include "device/ReadingCsv.h"
#include "device/ReadingStore.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

const QColor kTemperatureColor(200, 40, 30);
const QColor kResistanceColor(30, 80, 200);

// Rounds the axis out to whole steps so the labels read well.
void FitAxis(QValueAxis* axis, const QList<QList<QPointF>>& segments, double emptyLow, double emptyHigh)
{
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const auto& segment : segments) {
        for (const QPointF& p : segment) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    }
    if (low > high) {
        low = emptyLow;
        high = emptyHigh;
    }
    const double margin = std::max((high - low) * 0.1, 0.5);
    axis->setRange(low - margin, high + margin);
    axis->applyNiceNumbers();
}

} // namespace

TfrmTrend::TfrmTrend(TReadingStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_store(store)
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

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_axisTime = new QDateTimeAxis(m_chart);
    m_axisTime->setTitleText(QStringLiteral("Время"));
    m_axisTime->setTickCount(7);
    m_axisT = new QValueAxis(m_chart);
    m_axisT->setTitleText(QStringLiteral("Температура, °C"));
    m_axisT->setLabelFormat(QStringLiteral("%.1f"));
    m_axisT->setTitleBrush(kTemperatureColor);
    m_axisT->setLabelsColor(kTemperatureColor);
    m_axisR = new QValueAxis(m_chart);
    m_axisR->setTitleText(QStringLiteral("Сопротивление, Ом"));
    m_axisR->setLabelFormat(QStringLiteral("%.2f"));
    m_axisR->setTitleBrush(kResistanceColor);
    m_axisR->setLabelsColor(kResistanceColor);
    m_chart->addAxis(m_axisTime, Qt::AlignBottom);
    m_chart->addAxis(m_axisT, Qt::AlignLeft);
    m_chart->addAxis(m_axisR, Qt::AlignRight);

    chartView = new QChartView(m_chart, this);
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setAccessibleName(QStringLiteral("График температуры и сопротивления"));
    chartView->setRenderHint(QPainter::Antialiasing);

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
    const qint64 now = std::max(m_store.Now(), m_store.LastTime());
    qint64 from = now - 5 * 60 * 1000;
    if (m_range == trHour)
        from = now - 3600 * 1000;
    else if (m_range == trAll)
        from = m_store.Count() ? std::min(m_store.FirstTime(), now - 60 * 1000) : now - 5 * 60 * 1000;

    const int points = std::max(400, chartView->width() * 2);
    const auto tSegments = m_store.Segments(TTrendChannel::Temperature, from, now, points);
    const auto rSegments = m_store.Segments(TTrendChannel::Resistance, from, now, points);
    Fill(m_tLines, tSegments, m_axisT, kTemperatureColor);
    Fill(m_rLines, rSegments, m_axisR, kResistanceColor);
    FitAxis(m_axisT, tSegments, 0, 100);
    FitAxis(m_axisR, rSegments, 100, 140);
    m_axisTime->setFormat(now - from > 6 * 3600 * 1000 ? QStringLiteral("dd.MM HH:mm")
                                                        : QStringLiteral("HH:mm:ss"));
    m_axisTime->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(now));
}

void TfrmTrend::Fill(QList<QLineSeries*>& pool, const QList<QList<QPointF>>& segments, QValueAxis* axis,
                     const QColor& color)
{
    // One series per unbroken stretch; series are kept and reused.
    while (pool.size() < segments.size()) {
        auto* series = new QLineSeries(m_chart);
        QPen pen(color);
        pen.setWidthF(1.5);
        series->setPen(pen);
        m_chart->addSeries(series);
        series->attachAxis(m_axisTime);
        series->attachAxis(axis);
        pool << series;
    }
    for (qsizetype i = 0; i < pool.size(); ++i) {
        if (i < segments.size()) {
            pool[i]->replace(segments[i]);
            pool[i]->setVisible(true);
        } else if (pool[i]->isVisible() || pool[i]->count()) {
            pool[i]->clear();
            pool[i]->setVisible(false);
        }
    }
}

QList<QLineSeries*> TfrmTrend::TemperatureLines() const
{
    QList<QLineSeries*> lines;
    for (QLineSeries* s : m_tLines)
        if (s->isVisible())
            lines << s;
    return lines;
}

QList<QLineSeries*> TfrmTrend::ResistanceLines() const
{
    QList<QLineSeries*> lines;
    for (QLineSeries* s : m_rLines)
        if (s->isVisible())
            lines << s;
    return lines;
}

void TfrmTrend::btnSaveCsvClick()
{
    if (m_store.Count() == 0) {
        MessageDlg(QStringLiteral("Нет измерений для сохранения."), mkInformation, mbOk);
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
        ShowError(error);
}
