#pragma once

#include "link/Transaction.h"

#include <QString>

class IMessageDialog;

// A link shell that words what the link reports: the status panel gets the
// catalogue's text, a failure is shown in the message dialog.
class IWordingShell : public ILinkShell {
public:
    virtual void SetStatusText(const QString& text) = 0; // status panel 3

    void LinkStatus(TLinkStatus status) override;
    void LinkFault(const TLinkFault& fault) override;

    // The dialog failures and the operations' messages are shown in;
    // stderr when none was handed over.
    void SetMessageDialog(IMessageDialog* dialog) { m_dialog = dialog; }
    IMessageDialog& MessageDialog() const;

private:
    IMessageDialog* m_dialog = nullptr;
};
