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

} // namespace

IMessageDialog& UnattendedMessages()
{
    static StderrMessages unattended;
    return unattended;
}
