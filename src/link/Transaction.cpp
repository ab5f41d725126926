#include "link/Transaction.h"

#include "link/CommPortDriver.h"
#include "link/LinkObserver.h"
#include "link/TickSource.h"

#include <algorithm>

namespace {

constexpr uint32_t kAnswerWaitMs = 1000;
constexpr uint32_t kCalibrationInputTimeout = 2000;
// A line that keeps delivering stray 5-byte frames must not hold the window
// forever: past this many in one attempt, the attempt has failed.
constexpr int kMaxIgnoredPerAttempt = 8;

enum TPurgeOnRepeat { puBoth, puOutput };

struct TOperationRow {
    int requestLength;
    int answerLength;
    int successFunction;   // byte 1 of a good answer; -1: the length alone decides
    TPurgeOnRepeat purge;
    bool calibrationTimeout;
    bool keepsStatusPanel; // the caller owns panel 3
    TLinkStatus status;    // shown while the exchange runs, unless the caller owns the panel
};

const TOperationRow& RowOf(TOperation op)
{
    static const TOperationRow rows[] = {
        {4, 55, -1, puBoth, false, false, TLinkStatus::Reading},
        {41, 8, 0x10, puOutput, false, false, TLinkStatus::Writing},
        {8, 21, -1, puBoth, false, false, TLinkStatus::Reading},
        {25, 8, 0x10, puOutput, false, false, TLinkStatus::Writing},
        {9, 5, 0x4D, puOutput, true, false, TLinkStatus::Writing},
        {5, 5, 0x4E, puOutput, false, true, TLinkStatus::Clear},
        {7, 5, 0x4F, puOutput, false, true, TLinkStatus::Clear},
    };
    return rows[int(op)];
}

ITickSource& TicksOf(const TLinkContext& ctx)
{
    return ctx.ticks ? *ctx.ticks : ctx.drv->Ticks();
}

// What one attempt received.
struct TReceived {
    int count = 0;
    bool silent = false; // no byte within the first-byte window
};

// Line time of `chars` characters in whole milliseconds, rounded up or down.
uint32_t LineTimeMs(const TCommPortDriver& drv, int chars, bool roundUp = true)
{
    return uint32_t((uint64_t(drv.CharacterTimeUs()) * uint64_t(chars) + (roundUp ? 999 : 0)) / 1000);
}

// The wait and the read of one attempt as one step. Bytes are taken as they
// arrive, so a complete answer ends it at once; otherwise the wait lasts until
// the answer's length has arrived or 1000 ms have passed, and the read then
// ends the driver's input time-out after the last byte.
TReceived ReceiveAnswer(TLinkContext& ctx, TOperation op, const TFrameBuffer& request, TFrameBuffer& answer)
{
    const TOperationRow& row = RowOf(op);
    TCommPortDriver& drv = *ctx.drv;
    ITickSource& ticks = TicksOf(ctx);
    TReceived rx;
    const bool windowed = ctx.FirstByteWindow != 0 && op == TOperation::IdentifyDevice;
    const uint32_t window = windowed ? ctx.FirstByteWindow + LineTimeMs(drv, row.requestLength) : 0;
    const uint32_t t0 = ticks.GetTickCount();
    for (;;) {
        if (rx.count < kMaxReadCount) {
            rx.count += drv.ReadQueued(answer.data() + rx.count, kMaxReadCount - rx.count);
            if (AnswerComplete(op, request, answer, rx.count))
                return rx;
        }
        if (rx.count >= row.answerLength || rx.count >= kMaxReadCount)
            break;
        const uint32_t elapsed = TicksSince(ticks.GetTickCount(), t0);
        const bool windowOpen = window != 0 && rx.count == 0;
        if (windowOpen && elapsed >= window) {
            rx.silent = true;
            return rx;
        }
        if (elapsed >= kAnswerWaitMs)
            break;
        uint32_t limit = kAnswerWaitMs - elapsed;
        if (windowOpen)
            limit = std::min(limit, window - elapsed);
        drv.WaitReadable(limit); // everything queued has been taken
    }
    const int base = rx.count;
    rx.count += drv.ReadBytes(answer.data() + base, kMaxReadCount - base,
                              [&](int got) { return AnswerComplete(op, request, answer, base + got); });
    return rx;
}

enum class TJudgement { Done, Ignored, Failed, Unanswered };

// The one place where an attempt is judged: an outcome, an ignored frame, a
// failed attempt, or silence within the first-byte window (no repeat).
TJudgement Judge(ILinkShell* shell, TOperation op, const TFrameBuffer& request, const TFrameBuffer& answer,
                 const TReceived& rx, TOutcome& outcome)
{
    const TOperationRow& row = RowOf(op);
    if (rx.silent) {
        outcome = TOutcome::NoAnswer;
        return TJudgement::Unanswered;
    }
    const int count = rx.count;
    const bool isShort = count == 5;
    if (!isShort && count != row.answerLength)
        return TJudgement::Failed;
    // A damaged frame is no answer: repeat as for a wrong length.
    if (!AnswerCRCValid(answer, count))
        return TJudgement::Failed;
    if (row.answerLength == 5) {
        outcome = answer[1] == row.successFunction ? TOutcome::Success : TOutcome::Refused;
        return TJudgement::Done;
    }
    if (isShort) {
        if (!(answer[1] & 0x80))
            return TJudgement::Ignored;
        if (shell)
            shell->DeviceException(answer[2]);
        outcome = TOutcome::Refused;
        return TJudgement::Done;
    }
    if (row.successFunction < 0 || answer[1] == row.successFunction) {
        outcome = TOutcome::Success;
    } else {
        if (shell)
            shell->LinkFault({TLinkReason::WrongFunction, op, request[0]});
        outcome = TOutcome::Refused;
    }
    return TJudgement::Done;
}

// How the monitor names one read.
TFrameVerdict VerdictOf(const TOperationRow& row, int count, TJudgement j, TOutcome outcome)
{
    if (j == TJudgement::Ignored)
        return TFrameVerdict::Ignored;
    if (j == TJudgement::Failed)
        return (count == 5 || count == row.answerLength) ? TFrameVerdict::DamagedCRC : TFrameVerdict::WrongLength;
    if (outcome == TOutcome::Success)
        return TFrameVerdict::Answer;
    if (row.answerLength == 5)
        return TFrameVerdict::Refused;
    return count == 5 ? TFrameVerdict::Exception : TFrameVerdict::WrongFunction;
}

} // namespace

bool AnswerCRCValid(const TFrameBuffer& answer, int count)
{
    return count >= 3 && count <= kFrameBufferSize && FrameCRCValid(answer.data(), count);
}

int RequestLength(TOperation op)
{
    return RowOf(op).requestLength;
}

int AnswerLength(TOperation op)
{
    return RowOf(op).answerLength;
}

bool AnswerComplete(TOperation op, const TFrameBuffer& request, const TFrameBuffer& answer, int count)
{
    if (count < 5 || answer[0] != request[0])
        return false;
    const bool whole = count == RowOf(op).answerLength && answer[1] == request[1];
    const bool exception = count == 5 && answer[1] == (request[1] | 0x80);
    return (whole || exception) && AnswerCRCValid(answer, count);
}

void AnswerWait(TLinkContext& ctx, int length)
{
    TCommPortDriver& drv = *ctx.drv;
    ITickSource& ticks = TicksOf(ctx);
    const uint32_t t0 = ticks.GetTickCount();
    int before = 0;
    for (;;) {
        const int queued = drv.InputQueueCount();
        if (queued >= length)
            return;
        const uint32_t elapsed = TicksSince(ticks.GetTickCount(), t0);
        if (elapsed >= kAnswerWaitMs)
            return;
        const uint32_t remaining = kAnswerWaitMs - elapsed;
        if (queued == 0) {
            drv.WaitForInput(remaining); // blocks until the first byte
        } else {
            // The bytes cannot be looked at without taking them; while they
            // flow, sleep until all but the last missing one can be in.
            uint32_t nap = 1;
            if (queued > before && length - queued > 1)
                nap = std::max<uint32_t>(1, LineTimeMs(drv, length - queued - 1, false));
            ticks.Sleep(std::min(nap, remaining));
        }
        before = queued;
    }
}

TOutcome RunTransaction(TLinkContext& ctx, TOperation op, const TFrameBuffer& request, TFrameBuffer& answer,
                        int* answerCount)
{
    const TOperationRow& row = RowOf(op);
    TCommPortDriver& drv = *ctx.drv;
    const int n = row.requestLength;
    int count = 0;
    bool outcomeSet = false;
    TOutcome outcome = TOutcome::NoAnswer;
    bool clearStatus = !row.keepsStatusPanel;

    if (!row.keepsStatusPanel)
        ctx.shell->LinkStatus(row.status);
    ctx.shell->ProcessEvents();

    drv.PurgeBuffers(true, true);
    const int firstWritten = drv.WriteBytes(request.data(), n);
    NotifySent(ctx, request.data(), n, firstWritten);
    if (firstWritten < n) {
        outcome = TOutcome::NoLink;
        outcomeSet = true;
        if (op != TOperation::IdentifyDevice)
            clearStatus = false; // the failed exchange stays named
    }

    int attempt = 1;
    int ignored = 0;
    while (!outcomeSet && attempt <= ctx.RepeatNum) {
        answer.fill(0);
        const uint32_t savedTimeout = drv.InputTimeout;
        if (row.calibrationTimeout)
            drv.InputTimeout = kCalibrationInputTimeout;
        const TReceived rx = ReceiveAnswer(ctx, op, request, answer);
        count = rx.count;
        if (row.calibrationTimeout)
            drv.InputTimeout = savedTimeout;

        const TJudgement j = Judge(ctx.shell, op, request, answer, rx, outcome);
        NotifyReceived(ctx, answer.data(), rx.count,
                       j == TJudgement::Unanswered ? TFrameVerdict::NoAnswer : VerdictOf(row, rx.count, j, outcome),
                       answer[2], row.answerLength);
        if (j == TJudgement::Done || j == TJudgement::Unanswered) {
            outcomeSet = true;
            break;
        }
        if (j == TJudgement::Ignored && ++ignored < kMaxIgnoredPerAttempt)
            continue;
        ignored = 0;
        ++attempt;
        if (attempt > ctx.RepeatNum)
            break;
        ctx.shell->LinkStatus(TLinkStatus::Repeat);
        ctx.shell->ProcessEvents();
        drv.PurgeBuffers(row.purge == puBoth, true);
        const int written = drv.WriteBytes(request.data(), n);
        NotifySent(ctx, request.data(), n, written);
        if (written < n) {
            outcome = TOutcome::NoLink;
            outcomeSet = true;
        }
    }
    if (!outcomeSet)
        outcome = TOutcome::NoAnswer;

    if (clearStatus)
        ctx.shell->LinkStatus(TLinkStatus::Clear);

    if (outcome == TOutcome::NoAnswer || outcome == TOutcome::NoLink) {
        TLinkFault fault{outcome == TOutcome::NoAnswer ? TLinkReason::NoAnswer : TLinkReason::NoLink, op, request[0]};
        if (op == TOperation::IdentifyDevice)
            fault.reason = TLinkReason::NotFound;
        if (op != TOperation::IdentifyDevice || ctx.ReportLinkErrors)
            ctx.shell->LinkFault(fault);
        ctx.shell->DeviceLost(fault);
    }
    if (answerCount)
        *answerCount = count;
    return outcome;
}
