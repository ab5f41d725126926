#pragma once

#include <QList>

class QString;
class QWidget;
class TRbCustomControl;

// The program's look as the pages and dialogs take it: the platform's error
// box and the colour scheme the windows follow.
class ILookServices {
public:
    virtual ~ILookServices() = default;
    // The platform's standard error box.
    virtual void ShowPlatformError(const QString& text) = 0;
    // A window that takes the program's look: its skinned controls styled
    // by the main style manager, its background the scheme's colour.
    virtual void AdoptSchemeLook(QWidget* window) = 0;
    // The same where only the `styled` controls follow the scheme and the
    // `workArea` widgets take the work-area colour with the window.
    virtual void AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>& styled,
                                 const QList<QWidget*>& workArea) = 0;
};
