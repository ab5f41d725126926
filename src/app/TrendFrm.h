#pragma once

#include "app/SaveFileHook.h"

#include <QList>
#include <QWidget>

class ITrendChart;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class IMessageDialog;
class TReadingStore;

// "График измерений": temperature and resistance against time, live while
// diagnostics runs, with gaps where readings are missing. The chart itself
// comes from the module zelkor_trend (TrendChart.h); without it the window
// says why in the chart's place.
class TfrmTrend : public QWidget {
    Q_OBJECT
public:
    enum TRange { trFiveMinutes, trHour, trAll };

    TfrmTrend(TReadingStore& store, IMessageDialog& messages, QWidget* parent = nullptr);
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
    QWidget* chartView; // the chart, or the label saying why there is none

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StoreChanged();

    TReadingStore& m_store;
    IMessageDialog& m_messages;
    TRange m_range = trFiveMinutes;
    ITrendChart* m_chart; // null without the module
    bool m_refreshPending = false;
};
