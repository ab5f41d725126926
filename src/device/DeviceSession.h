#pragma once

#include "device/DeviceEvents.h"
#include "device/ErrCodes.h"
#include "link/MessageDialog.h"
#include "link/Transaction.h"
#include "device/TransducerData.h"
#include "device/WordingShell.h"

#include <QString>

// Program-wide state of the running operations.
struct TOperationState {
    bool DiagRunning = false;
    bool DiagAwaiting = false;
    int DiagMissCount = 0;
    int CalibrStage = 0;
    double CalibrCurrent = 0;
};

// What the device operations need from their owner beyond one exchange.
class IDeviceShell : public IWordingShell {
public:
    virtual void DisconnectDevice() = 0;
    virtual void UpdateStatusBar() = 0;
    virtual bool AskToConnect() = 0;
    virtual void SetStatusPanel(int index, const QString& text) = 0; // panels 0..3
    // A value the user types in the middle of an operation; mrYes when given.
    virtual int EnterValue(const QString& prompt, double& value, double defaultValue)
    {
        return MessageDialog().EnterValue(prompt, value, 0, defaultValue);
    }
    // An exception answer shows the table's message.
    void DeviceException(uint8_t code) override { ShowDeviceException(MessageDialog(), code); }
};

// Everything a device operation works on: the link, the record and its
// snapshot, the operation state. The transducer controller owns one.
struct TDeviceSession {
    TLinkContext link;
    IDeviceShell* shell = nullptr;
    TTransducerData Transducer;
    TTransducerData TransducerSnapshot;
    TOperationState State;
    TDeviceEvents events;

    // The shell's message dialog.
    IMessageDialog& Messages() const { return shell ? shell->MessageDialog() : UnattendedMessages(); }
};
