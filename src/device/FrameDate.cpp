#include "device/FrameDate.h"

#include "device/DeviceMessages.h"
#include "link/MessageDialog.h"

TDateValue ReadFrameDate(IMessageDialog& dialog, const TFrameBuffer& buffer, int position)
{
    bool valid = true;
    const TDateValue date = GetFrameDate(buffer, position, &valid);
    if (!valid)
        dialog.ShowError(ImpossibleDateText());
    return date;
}
