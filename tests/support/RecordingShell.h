#pragma once

// RecordingShellT<Base>: a wording link shell (or a shell interface derived
// from it) that records what an exchange asks of the main window.
//
//   RecordingLinkShell shell;                      // plain wording shell
//   class MyShell : public RecordingShellT<IDeviceShell> {
//       bool AskToConnect() override { ... }       // add what the base adds
//       void SetStatusPanel(int i, const QString& t) override { ... }
//   };
//   shell.drv = &drv;       // DisconnectDevice then closes the port, as the main window does
//
//   shell.statusTexts       // every SetStatusText, "" for a clear
//   shell.log               // everything in order: "status:…", "events",
//                           // "disconnect", "updateStatusBar", "resetCalibration"
//   shell.disconnects, shell.processEventsCalls, shell.statusBarUpdates, shell.calibrationResets
//   shell.exceptionCodes    // the code of every exception answer, in order
//   shell.onProcessEvents   // runs at every ProcessEvents (e.g. QCoreApplication::processEvents)

#include "link/CommPortDriver.h"
#include "device/WordingShell.h"
#include "link/Transaction.h"

#include <QString>
#include <QStringList>

#include <functional>

template <class Base>
class RecordingShellT : public Base {
public:
    void SetStatusText(const QString& text) override
    {
        statusTexts << text;
        log << QStringLiteral("status:") + text;
    }
    void ProcessEvents() override
    {
        ++processEventsCalls;
        log << QStringLiteral("events");
        if (onProcessEvents)
            onProcessEvents();
    }
    void DisconnectDevice() override
    {
        ++disconnects;
        log << QStringLiteral("disconnect");
        if (drv)
            drv->ClosePort();
    }
    void UpdateStatusBar() override
    {
        ++statusBarUpdates;
        log << QStringLiteral("updateStatusBar");
    }
    void ResetCalibrationStage() override
    {
        ++calibrationResets;
        log << QStringLiteral("resetCalibration");
    }
    void DeviceException(uint8_t code) override
    {
        exceptionCodes << code;
        Base::DeviceException(code);
    }

    // The last text put into panel 3.
    QString statusText() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    int countOf(const QString& entry) const { return int(log.count(entry)); }

    TCommPortDriver* drv = nullptr;
    std::function<void()> onProcessEvents;
    QStringList statusTexts;
    QStringList log;
    int processEventsCalls = 0;
    int disconnects = 0;
    int statusBarUpdates = 0;
    int calibrationResets = 0;
    QList<uint8_t> exceptionCodes;
};

using RecordingLinkShell = RecordingShellT<IWordingShell>;
