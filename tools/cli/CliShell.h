#pragma once

#include "device/DeviceSession.h"
#include "link/MessageDialog.h"

#include <QStringList>

#include <functional>

class TCommPortDriver;

// The device operations' window services without a window: status texts go
// nowhere, a lost device closes the port and is remembered.
class TCliShell : public IDeviceShell {
public:
    explicit TCliShell(TCommPortDriver& driver);

    void SetStatusText(const QString&) override {}
    void ProcessEvents() override;
    void DisconnectDevice() override;
    void DeviceLost(const TLinkFault&) override { DisconnectDevice(); }
    void UpdateStatusBar() override {}
    bool AskToConnect() override;
    void SetStatusPanel(int, const QString&) override {}

    // True once an exchange lost the device (no answer, or not written in full).
    bool Lost() const { return m_lost; }
    // Runs before the port closes (the measuring loop stops there).
    std::function<void()> OnDisconnect;

private:
    TCommPortDriver& m_driver;
    bool m_lost = false;
};

// The message dialog of the command line: every message to stderr, questions
// answered "Нет" (or "Да" with --yes), value prompts cancelled. A device
// exception from the table is printed with its code.
class TCliMessages : public IMessageDialog {
public:
    explicit TCliMessages(bool answerYes);

    int MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons) override;
    int EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue) override;

    // The exception code of the last device refusal shown; -1 when none.
    int LastDeviceCode() const { return m_lastCode; }
    int Count() const { return m_count; }

private:
    bool m_yes;
    int m_lastCode = -1;
    int m_count = 0;
};

// Writes a message line to stderr and keeps it for the JSON failure report.
void PrintMessage(const QString& line);
const QStringList& PrintedMessages();

// The text as one terminal line block: the program's "\n\r" and "\r\n" become "\n".
QString TerminalText(const QString& text);
