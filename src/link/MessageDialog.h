#pragma once

#include <QString>

// The program's one message window, seen from below the windows: the device
// code reports through this interface; the application hands the real dialog
// to the controller and the windows, tests hand over a recorder that answers
// from a script.

enum TMessageKind { mkWarning = 0, mkError = 1, mkInformation = 2, mkConfirmation = 3 };

// Button bits and results.
enum : int { mbYes = 1, mbNo = 2, mbOk = 4 };
enum : int { mrOk = 1, mrYes = 6, mrNo = 7 };

class IMessageDialog {
public:
    virtual ~IMessageDialog() = default;
    virtual int MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons) = 0;
    // Always stores the field's value in `value`, also when the user cancelled.
    virtual int EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue) = 0;

    int Show(const QString& text, TMessageKind kind, int buttons) { return MessageDlg(text, kind, 0, buttons); }
    void ShowError(const QString& text) { MessageDlg(text, mkError, 0, mbOk); }
};

// Where no dialog was handed over: messages are logged to stderr and
// answered Ok / No.
IMessageDialog& UnattendedMessages();
