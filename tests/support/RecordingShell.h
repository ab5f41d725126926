#pragma once

// RecordingShellT<Base>: a wording link shell (or a shell interface derived
// from it) that records what an exchange asks of the port's owner.
//
//   RecordingLinkShell shell;                      // plain wording shell
//   class MyShell : public RecordingDeviceShell {  // the device operations' shell
//       bool AskToConnect() override { ... }
//   };
//   shell.drv = &drv;       // a lost device then closes the port, as the controller does
//
//   shell.statusTexts       // every SetStatusText, "" for a clear
//   shell.log               // everything in order: "status:…", "events",
//                           // "deviceLost", "disconnect", "updateStatusBar"
//   shell.disconnects, shell.processEventsCalls, shell.statusBarUpdates
//   shell.lostFaults        // every DeviceLost report, in order
//   shell.exceptionCodes    // the code of every exception answer, in order
//   shell.onProcessEvents   // runs at every ProcessEvents (e.g. QCoreApplication::processEvents)

#include "link/CommPortDriver.h"
#include "device/DeviceSession.h"
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
    // The link's report of a lost device; a plain recording closes the port.
    void DeviceLost(const TLinkFault& fault) override
    {
        lostFaults << fault;
        log << QStringLiteral("deviceLost");
        Disconnected();
    }
    void DeviceException(uint8_t code) override
    {
        exceptionCodes << code;
        Base::DeviceException(code);
    }

    // The last text put into panel 3.
    QString statusText() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    int countOf(const QString& entry) const { return int(log.count(entry)); }
    // How many lost devices an operation reported.
    int lostBy(TOperation op) const
    {
        int n = 0;
        for (const TLinkFault& f : lostFaults)
            n += f.operation == op ? 1 : 0;
        return n;
    }

    void Disconnected()
    {
        ++disconnects;
        log << QStringLiteral("disconnect");
        if (drv)
            drv->ClosePort();
    }

    TCommPortDriver* drv = nullptr;
    std::function<void()> onProcessEvents;
    QStringList statusTexts;
    QStringList log;
    int processEventsCalls = 0;
    int disconnects = 0;
    int statusBarUpdates = 0;
    QList<TLinkFault> lostFaults;
    QList<uint8_t> exceptionCodes;
};

using RecordingLinkShell = RecordingShellT<IWordingShell>;

// The device operations' shell: disconnects and status-bar updates recorded
// too; no offer to connect, the panels ignored unless a test overrides them.
class RecordingDeviceShell : public RecordingShellT<IDeviceShell> {
public:
    void DisconnectDevice() override { Disconnected(); }
    void UpdateStatusBar() override
    {
        ++statusBarUpdates;
        log << QStringLiteral("updateStatusBar");
    }
    bool AskToConnect() override { return false; }
    void SetStatusPanel(int, const QString&) override {}
};
