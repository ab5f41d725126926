#include "app/PumpingTicks.h"

#include <QCoreApplication>
#include <QEventLoop>

uint32_t TPumpingTicks::GetTickCount()
{
    return SystemTicks().GetTickCount();
}

void TPumpingTicks::Sleep(uint32_t ms)
{
    const uint32_t start = GetTickCount();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const uint32_t spent = TicksSince(GetTickCount(), start);
        if (spent >= ms)
            break;
        SystemTicks().Sleep(std::min<uint32_t>(ms - spent, 5));
    } while (TicksSince(GetTickCount(), start) < ms);
}

TPumpingTicks& PumpingTicks()
{
    static TPumpingTicks ticks;
    return ticks;
}
