#include "app/DeferredMessageDialog.h"

TDeferredMessageDialog::TDeferredMessageDialog(TMake make, QObject* parent)
    : QObject(parent)
    , m_make(std::move(make))
{
}

IMessageDialog& TDeferredMessageDialog::Target() const
{
    IMessageDialog* dialog = m_make ? m_make() : nullptr;
    return dialog ? *dialog : UnattendedMessages();
}

int TDeferredMessageDialog::MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons)
{
    return Target().MessageDlg(text, kind, helpContext, buttons);
}

int TDeferredMessageDialog::EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue)
{
    return Target().EnterValue(prompt, value, helpContext, defaultValue);
}
