#pragma once

#include "link/MessageDialog.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QVector>

#include <deque>
#include <functional>

class QLabel;
class QDoubleSpinBox;
class QEventLoop;
class TRbButton;
class IRbStyleRegistry;

using TMessageButton = TRbButton;

// The program's one message window. Every message and the one value prompt
// go through it, so they look like the rest of the program.
//
// Calls never nest the window: a call that arrives while a message is shown
// (a timer firing inside the modal loop) is queued. The window stays up and
// shows the queued message as soon as the current one is answered; the late
// caller blocks in its own event loop until its message has been answered and
// gets that answer. Messages therefore reach the user in call order, and
// every caller gets the button the user actually pressed for its message.
class TfrmMessage : public QDialog, public IMessageDialog {
    Q_OBJECT
public:
    explicit TfrmMessage(QWidget* parent = nullptr);
    ~TfrmMessage() override;

    // Results: mrOk, mrYes or mrNo (the button pressed).
    int MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons) override;
    // Buttons "Ok" (mrYes) and "Отмена" (mrNo); the field's value is stored
    // in `value` whichever was pressed.
    int EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue) override;

    // The window the dialog is centred over; without one, the active window.
    void SetOwnerWindow(QWidget* owner) { m_owner = owner; }
    // The buttons take the program's colour scheme from this manager.
    void SetStyleManager(IRbStyleRegistry* manager);

    // Messages waiting behind the one on screen.
    int QueuedCount() const;
    bool IsShowingMessage() const { return m_current != nullptr; }

    // The controls, named as in the design.
    QLabel* lbMess = nullptr;
    QLabel* Image1 = nullptr;
    TMessageButton* btnOk = nullptr;
    TMessageButton* btnYes = nullptr;
    TMessageButton* btnNo = nullptr;
    QDoubleSpinBox* rseVal = nullptr;
    // 0 information, 1 question, 2 warning, 3 error.
    QVector<QPixmap> ImageList1;

    // The icon index for a message kind, -1 for an unknown kind.
    static int IconIndexOf(TMessageKind kind);
    // Line breaks as the program writes them ("\n\r", "\r\n", "\r") made plain "\n".
    static QString NormalizeLineBreaks(const QString& text);

signals:
    // Each time the window comes up (the main window applies the scheme colours).
    void schemeColorsWanted();
    // Each time a message has been put on screen, before the user can answer
    // it. Widget tests press the buttons from here.
    void presented(TfrmMessage& dialog);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Request {
        QString text;
        TMessageKind kind = mkInformation;
        int buttons = mbOk;
        bool valueEntry = false;
        double value = 0;
        int result = 0;
        bool done = false;
        QEventLoop* loop = nullptr;
    };

    int run(Request& request);
    void presentNext();
    void answer(int result);
    void resetLayout();
    void fitText();
    void placeOverOwner();
    int cancelResult() const;

    QPointer<QWidget> m_owner;
    std::deque<Request*> m_queue; // front is on screen once presented
    Request* m_current = nullptr;
};
