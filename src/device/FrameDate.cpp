#include "device/FrameDate.h"

#include "device/DeviceMessages.h"

TDateValue ReadFrameDate(const TFrameBuffer& buffer, int position)
{
    bool valid = true;
    const TDateValue date = GetFrameDate(buffer, position, &valid);
    if (!valid)
        ShowError(ImpossibleDateText());
    return date;
}
