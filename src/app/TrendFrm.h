#pragma once

#include "app/SaveFileHook.h"

#include <QList>
#include <QWidget>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;
class TReadingStore;

// "График измерений": temperature and resistance against time, live while
// diagnostics runs, with gaps where readings are missing.
class TfrmTrend : public QWidget {
    Q_OBJECT
public:
    enum TRange { trFiveMinutes, trHour, trAll };

    explicit TfrmTrend(TReadingStore& store, QWidget* parent = nullptr);
    ~TfrmTrend() override;

    void SetRange(TRange range);
    TRange Range() const { return m_range; }
    // Redraws from the store; runs by itself when readings arrive while shown.
    void Refresh();
    void btnSaveCsvClick();

    // The lines drawn now (visible series only), for each channel.
    QList<QLineSeries*> TemperatureLines() const;
    QList<QLineSeries*> ResistanceLines() const;

    TSaveFileNameHook SaveFileName = AskSaveFileName;

    QLabel* lbRange;
    QComboBox* cbRange;
    QPushButton* btnSaveCsv;
    QChartView* chartView;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StoreChanged();
    void Fill(QList<QLineSeries*>& pool, const QList<QList<QPointF>>& segments, QValueAxis* axis, const QColor& color);

    TReadingStore& m_store;
    TRange m_range = trFiveMinutes;
    QChart* m_chart;
    QDateTimeAxis* m_axisTime;
    QValueAxis* m_axisT;
    QValueAxis* m_axisR;
    QList<QLineSeries*> m_tLines;
    QList<QLineSeries*> m_rLines;
    bool m_refreshPending = false;
};
