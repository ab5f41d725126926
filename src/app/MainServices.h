#pragma once

#include <QList>

class QString;
class QWidget;
class TRbCustomControl;

// What the pages and dialogs ask of the main window beyond the device
// session and its shell (IDeviceShell).
class IMainServices {
public:
    virtual ~IMainServices() = default;
    virtual bool IsConnected() const = 0;
    virtual void ConnectDevice() = 0;
    virtual void SearchFirstDevice() = 0;
    // Around a write or read: the diagnostics poll must not fall inside it.
    virtual bool PauseDiagnosticsTimer() = 0;
    virtual void ResumeDiagnosticsTimer(bool wasRunning) = 0;
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
