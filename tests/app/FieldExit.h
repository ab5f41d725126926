#pragma once

#include <QCoreApplication>
#include <QFocusEvent>
#include <QWidget>

// Leaving a field; its exit runs once the focus change has been handled.
inline void Leave(QWidget* field, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent out(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(field, &out);
    QCoreApplication::processEvents();
}
