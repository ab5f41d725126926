// The trend's chart, built as the module zelkor_trend: everything of Qt
// Charts the program uses is here.
#include "app/TrendChart.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

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

QList<QLineSeries*> Visible(const QList<QLineSeries*>& pool)
{
    QList<QLineSeries*> lines;
    for (QLineSeries* s : pool)
        if (s->isVisible())
            lines << s;
    return lines;
}

class TTrendChartView final : public QChartView, public ITrendChart {
public:
    explicit TTrendChartView(QWidget* parent)
        : QChartView(parent)
        , m_chart(new QChart)
    {
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
        setChart(m_chart);
        setRenderHint(QPainter::Antialiasing);
    }

    QWidget* Widget() override { return this; }

    void Draw(const TTrendPicture& picture) override
    {
        Fill(m_tLines, picture.temperature, m_axisT, kTemperatureColor);
        Fill(m_rLines, picture.resistance, m_axisR, kResistanceColor);
        FitAxis(m_axisT, picture.temperature, 0, 100);
        FitAxis(m_axisR, picture.resistance, 100, 140);
        m_axisTime->setFormat(picture.toMs - picture.fromMs > 6 * 3600 * 1000 ? QStringLiteral("dd.MM HH:mm")
                                                                              : QStringLiteral("HH:mm:ss"));
        m_axisTime->setRange(QDateTime::fromMSecsSinceEpoch(picture.fromMs), QDateTime::fromMSecsSinceEpoch(picture.toMs));
    }

    QList<QLineSeries*> TemperatureLines() const override { return Visible(m_tLines); }
    QList<QLineSeries*> ResistanceLines() const override { return Visible(m_rLines); }

private:
    void Fill(QList<QLineSeries*>& pool, const QList<QList<QPointF>>& segments, QValueAxis* axis, const QColor& color)
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

    QChart* m_chart;
    QDateTimeAxis* m_axisTime;
    QValueAxis* m_axisT;
    QValueAxis* m_axisR;
    QList<QLineSeries*> m_tLines;
    QList<QLineSeries*> m_rLines;
};

} // namespace

extern "C" Q_DECL_EXPORT ITrendChart* zelkor_CreateTrendChart_1(QWidget* parent)
{
    return new TTrendChartView(parent);
}
