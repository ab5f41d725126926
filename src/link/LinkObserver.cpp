#include "link/LinkObserver.h"

#include "link/CommPortDriver.h"
#include "link/TickSource.h"
#include "link/Transaction.h"

namespace {

uint32_t TickOf(TLinkContext& ctx)
{
    if (ctx.ticks)
        return ctx.ticks->GetTickCount();
    return ctx.drv ? ctx.drv->Ticks().GetTickCount() : 0;
}

} // namespace

void NotifySent(TLinkContext& ctx, const uint8_t* data, int length, int written)
{
    if (!ctx.observer)
        return;
    TLinkEvent e;
    e.tick = TickOf(ctx);
    e.outgoing = true;
    e.bytes = QByteArray(reinterpret_cast<const char*>(data), std::max(0, std::min(written, length)));
    e.verdict = written >= length ? TFrameVerdict::Request : TFrameVerdict::RequestShort;
    e.expected = length;
    ctx.observer->LinkEvent(e);
}

void NotifyReceived(TLinkContext& ctx, const uint8_t* data, int count, TFrameVerdict verdict, int code, int expected)
{
    if (!ctx.observer)
        return;
    TLinkEvent e;
    e.tick = TickOf(ctx);
    e.outgoing = false;
    if (count > 0)
        e.bytes = QByteArray(reinterpret_cast<const char*>(data), count);
    e.verdict = count > 0 ? verdict : TFrameVerdict::NoAnswer;
    e.code = code;
    e.expected = expected;
    ctx.observer->LinkEvent(e);
}
