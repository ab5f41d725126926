#include "device/WordingShell.h"

#include "device/DeviceMessages.h"
#include "link/MessageDialog.h"

void IWordingShell::LinkStatus(TLinkStatus status)
{
    SetStatusText(LinkStatusText(status));
}

void IWordingShell::LinkFault(const TLinkFault& fault)
{
    ShowLinkFault(MessageDialog(), fault);
}

IMessageDialog& IWordingShell::MessageDialog() const
{
    return m_dialog ? *m_dialog : UnattendedMessages();
}
