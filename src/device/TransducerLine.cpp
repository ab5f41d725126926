#include "device/TransducerLine.h"

#include "link/CommPortDriver.h"

void SetTransducerLine(TCommPortDriver& drv)
{
    drv.SetBaudRateValue(1200);
    drv.SetDataBits(db8BITS);
    drv.SetStopBits(sb2BITS);
    drv.SetParity(ptNONE);
    drv.SetHwFlow(hfNONERTSON);
    drv.SetSwFlow(sfNONE);
    drv.SetPollingDelay(500);
    drv.EnableDTROnOpen = false;
    drv.OutputTimeout = 1000;
    drv.InputTimeout = 1000;
}
