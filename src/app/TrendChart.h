#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

class QLineSeries;
class QWidget;

// What the trend draws: the unbroken stretches of each channel (x in ms
// since the epoch) over the time range shown.
struct TTrendPicture {
    QList<QList<QPointF>> temperature;
    QList<QList<QPointF>> resistance;
    qint64 fromMs = 0;
    qint64 toMs = 0;
};

// The chart of the trend window. It lives in a module of its own (Qt Charts
// and OpenGL with it), loaded when the trend is first opened: the program's
// start does not pay for a window most sessions never show. Header only, so
// the module needs nothing of the program.
class ITrendChart {
public:
    virtual ~ITrendChart() = default;
    // The chart widget, a child of the parent it was made for.
    virtual QWidget* Widget() = 0;
    virtual void Draw(const TTrendPicture& picture) = 0;
    // The lines drawn now (visible series only).
    virtual QList<QLineSeries*> TemperatureLines() const = 0;
    virtual QList<QLineSeries*> ResistanceLines() const = 0;
};

// The module's one export; the number changes with the interface above.
using TCreateTrendChart = ITrendChart* (*)(QWidget* parent);
inline constexpr const char* kCreateTrendChartSymbol = "zelkor_CreateTrendChart_1";

// A new chart for `parent` from the module beside the program (or in its
// library folder); null with `error` set when the module cannot be loaded.
ITrendChart* CreateTrendChart(QWidget* parent, QString* error);
// Where the module is looked for, in order.
QStringList TrendChartModulePaths();
