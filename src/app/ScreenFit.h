#pragma once

#include <QObject>

class QCoreApplication;
class QWidget;

// No window opens larger than the screen's available area (a large scale
// factor makes the trend window wider than a small screen): a window about
// to show is made to fit, as far as its minimum size allows, and moved
// inside the area.
class TScreenFit : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches every window the application shows.
    static void Install(QCoreApplication& app);
    // Fits one window now; true when it had to change.
    static bool Fit(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
