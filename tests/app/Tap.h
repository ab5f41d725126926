#pragma once

// Two ways a click reaches a widget. Slow: QTest's press, then its release,
// each delivered in full before the next. Queued: both waiting together, as
// a touchpad tap or an automation tool delivers them, so anything that lets
// pending events run inside the press handling sees the release early.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <qtestspontaneevent.h>

enum class TTapKind { Slow, Queued };

inline const char* TapName(TTapKind kind)
{
    return kind == TTapKind::Slow ? "slow" : "queued";
}

inline void Tap(QWidget* w, TTapKind kind, QPoint pos = {})
{
    if (pos.isNull())
        pos = w->rect().center();
    if (kind == TTapKind::Slow) {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, pos);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pos);
        return;
    }
    const QPointF global = w->mapToGlobal(QPointF(pos));
    auto* press = new QMouseEvent(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                                  Qt::NoModifier);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                                    Qt::NoModifier);
    // Spontaneous, as from the window system: the press moves the focus first.
    QSpontaneKeyEvent::setSpontaneous(press);
    QSpontaneKeyEvent::setSpontaneous(release);
    QCoreApplication::postEvent(w, press);
    QCoreApplication::postEvent(w, release);
    QCoreApplication::processEvents();
}
