#pragma once

#include "indicator/LiquidIndicator.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QWidget>

#include <memory>

// A parent window with indicators on it, set up as the diagnostics page does.
struct TIndPage {
    std::unique_ptr<QWidget> page = std::make_unique<QWidget>();

    TIndPage() { page->resize(600, 400); }

    TLiquidIndicator* Default()
    {
        auto* ind = new TLiquidIndicator(page.get());
        ind->Loaded();
        return ind;
    }

    // indT: 209 x 49, five cells, purple, thick.
    TLiquidIndicator* IndT(const QByteArray& text = {})
    {
        auto* ind = new TLiquidIndicator(page.get());
        ind->move(60, 16);
        ind->SetSignNumber(5);
        ind->SetIndicatorWidth(209);
        ind->SetIndicatorHeight(49);
        ind->SetNumberForeColor(0x800080);
        ind->SetIndicatorStyle(isThick);
        ind->SetIndicatorstring(text);
        ind->Loaded();
        return ind;
    }
};

// Runs the rebuild the writes have posted.
inline void Flush(TLiquidIndicator* ind)
{
    QCoreApplication::sendPostedEvents(ind, TLiquidIndicator::CM_REBUILDINDICATOR);
}

inline unsigned Px(const TLiquidIndicator* ind, int x, int y)
{
    return ind->Image().pixel(x, y) & 0xFFFFFFu;
}

inline void MouseEnter(TLiquidIndicator* ind)
{
    QEnterEvent e(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(ind, &e);
}

inline void MouseLeave(TLiquidIndicator* ind)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(ind, &e);
}

inline QImage Solid(int w, int h, int r, int g, int b)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(r, g, b));
    return img;
}
