#include "link/MessageDialog.h"

#include <QDebug>

namespace {

class StderrMessages final : public IMessageDialog {
public:
    int MessageDlg(const QString& text, TMessageKind, int, int buttons) override
    {
        qWarning().noquote() << text;
        return (buttons & mbOk) ? mrOk : mrNo;
    }
    int EnterValue(const QString& prompt, double& value, int, double def) override
    {
        qWarning().noquote() << prompt;
        value = def;
        return mrNo;
    }
};

StderrMessages g_fallback;
IMessageDialog* g_messages = nullptr;

} // namespace

IMessageDialog* Messages()
{
    return g_messages ? g_messages : &g_fallback;
}

void SetMessages(IMessageDialog* dialog)
{
    g_messages = dialog;
}

int MessageDlg(const QString& text, TMessageKind kind, int buttons)
{
    return Messages()->MessageDlg(text, kind, 0, buttons);
}

void ShowError(const QString& text)
{
    Messages()->MessageDlg(text, mkError, 0, mbOk);
}
