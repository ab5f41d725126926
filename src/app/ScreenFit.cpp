#include "app/ScreenFit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void TScreenFit::Install(QCoreApplication& app)
{
    app.installEventFilter(new TScreenFit(&app));
}

bool TScreenFit::Fit(QWidget* w)
{
    const QScreen* screen = w->screen();
    if (!screen)
        return false;
    const QRect area = screen->availableGeometry();
    // The frame is the window system's; before the first show it is not known yet.
    const QRect frame = w->frameGeometry();
    const int frameW = std::max(0, frame.width() - w->width());
    const int frameH = std::max(0, frame.height() - w->height());
    const QSize room(area.width() - frameW, area.height() - frameH);
    bool changed = false;
    if (w->width() > room.width() || w->height() > room.height()) {
        const QSize fitted(std::max(w->minimumWidth(), std::min(w->width(), room.width())),
                           std::max(w->minimumHeight(), std::min(w->height(), room.height())));
        if (fitted != w->size()) {
            w->resize(fitted);
            changed = true;
        }
    }
    QRect outer = w->frameGeometry();
    QPoint to = outer.topLeft();
    if (outer.right() > area.right())
        to.setX(area.right() - outer.width() + 1);
    if (outer.bottom() > area.bottom())
        to.setY(area.bottom() - outer.height() + 1);
    to.setX(std::max(to.x(), area.left()));
    to.setY(std::max(to.y(), area.top()));
    if (to != outer.topLeft()) {
        w->move(to);
        changed = true;
    }
    return changed;
}

bool TScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow())
            Fit(w);
    }
    return QObject::eventFilter(watched, event);
}
