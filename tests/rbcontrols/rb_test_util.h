#pragma once

#include "rbcontrols/RbColors.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>

// Event helpers for driving skinned controls the way the platform does.
namespace rbtest {

inline TRgb At(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return TRgb{p[0], p[1], p[2]};
}

inline void Enter(QWidget* w)
{
    const QPointF p(2, 2);
    QEnterEvent e(p, p, p);
    QApplication::sendEvent(w, &e);
}

inline void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

inline void Mouse(QWidget* w, QEvent::Type t, QPoint pos = {3, 3})
{
    const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(t, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void LeftClick(QWidget* w)
{
    Mouse(w, QEvent::MouseButtonPress);
    Mouse(w, QEvent::MouseButtonRelease);
}

} // namespace rbtest
