#pragma once

#include "link/MessageDialog.h"
#include "link/SerialDevice.h"
#include "link/Transaction.h"

#include <QString>

class TCommPortDriver;

// The words the device operations put before the user. The link reports
// reasons and facts; every text they become is written here, once.

// Status panel 3 during an exchange; empty for Clear.
QString LinkStatusText(TLinkStatus status);

// The message of a failed exchange and the kind of window it is shown in.
QString LinkFaultText(const TLinkFault& fault);
TMessageKind LinkFaultKind(const TLinkFault& fault);
// Shows the fault through `dialog`.
void ShowLinkFault(IMessageDialog& dialog, const TLinkFault& fault);

// Why a port did not open, naming the device; empty for None.
QString PortOpenErrorText(TPortOpenError error, const QString& device);
// The same for the driver's last OpenPort.
QString OpenFailureReason(const TCommPortDriver& driver);
// What follows "Нет соединения c …": the reason on its own line and, when
// access was refused, the command that gives it.
QString OpenFailureDetails(const TCommPortDriver& driver);

// A date field of an answer held no possible date.
QString ImpossibleDateText();

// "Невозможно выполнить комманду" as the operations word it.
enum class TCannotText {
    Plain,            // no full stop
    Stop,             // with the full stop
    R0Deviation,      // the R0 correction: more than 20 °C from 0
    R0Done,           // the R0 correction was already made; the reset question follows
    NSXDone,          // the NSX correction was already made; the reset question follows
    NSXNearZero,      // the NSX correction: less than 20 °C from 0
    NSXDeviation,     // the NSX correction: more than 5 % from the given value
};
QString CannotText(TCannotText variant);
