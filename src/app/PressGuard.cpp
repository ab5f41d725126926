#include "app/PressGuard.h"

#include "link/TickSource.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

TPressGuard::TPressGuard(ITickSource* ticks, QObject* parent)
    : QObject(parent)
    , m_ticks(ticks ? ticks : &SystemTicks())
{
}

void TPressGuard::Guard(QWidget* button)
{
    button->installEventFilter(this);
}

bool TPressGuard::Accepts()
{
    if (Busy())
        return false;
    if (m_holding && TicksSince(m_ticks->GetTickCount(), m_changedAt) < kHoldMs)
        return false;
    m_holding = false; // past the hold; a tick counter that wraps cannot bring it back
    return true;
}

void TPressGuard::Changed()
{
    m_changedAt = m_ticks->GetTickCount();
    m_holding = true;
}

bool TPressGuard::eventFilter(QObject* watched, QEvent* event)
{
    bool press = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        press = true;
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
        break;
    }
    default:
        break;
    }
    if (press && !Accepts()) {
        // Dropped whole: without its press the release clicks nothing.
        ++m_dropped;
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
