#include "Transaction.h"

#include "CommPortDriver.h"
#include "ErrCodes.h"
#include "LinkObserver.h"
#include "MessageDialog.h"
#include "TickSource.h"

namespace {

constexpr uint32_t kAnswerWaitMs = 1000;
constexpr uint32_t kCalibrationInputTimeout = 2000;
// A line that keeps delivering stray 5-byte frames must not hold the window
// forever: past this many in one attempt, the attempt has failed.
constexpr int kMaxIgnoredPerAttempt = 8;

// Functions, not QString globals: the table may be built during static initialisation.
QString Reading() { return QStringLiteral("Чтение данных из памяти прибора"); }
QString Writing() { return QStringLiteral("Запись данных в память прибора"); }

enum TPurgeOnRepeat { puBoth, puOutput };

struct TOperationRow {
    int requestLength;
    int answerLength;
    int successFunction;   // byte 1 of a good answer; -1: the length alone decides
    TPurgeOnRepeat purge;
    bool calibrationTimeout;
    bool keepsStatusPanel; // the caller owns panel 3
    QString status;        // empty: the caller has set it
    QString wrongAnswer;   // empty: the caller interprets byte 2
    QString noAnswer;
    QString noLink;
};

const TOperationRow& RowOf(TOperation op)
{
    static const TOperationRow rows[] = {
        // IdentifyDevice: messages are built from the address.
        {4, 55, -1, puBoth, false, false, Reading(), {}, {}, {}},
        {41, 8, 0x10, puOutput, false, false, Writing(), QStringLiteral("Невозможно выполнить комманду"),
         QStringLiteral("Не получен ответ от прибора."), QStringLiteral("Нет связи с прибором!")},
        {8, 21, -1, puBoth, false, false, Reading(), {}, QStringLiteral("Не получен ответ от прибора"),
         QStringLiteral("Нет связи с прибором")},
        {25, 8, 0x10, puOutput, false, false, Writing(), QStringLiteral("Невозможно выполнить комманду."),
         QStringLiteral("Не получен ответ от прибора."), QStringLiteral("Нет связи с прибором.")},
        {9, 5, 0x4D, puOutput, true, false, Writing(), {}, QStringLiteral("Не получен ответ от прибора."),
         QStringLiteral("Нет связи с прибором.")},
        {5, 5, 0x4E, puOutput, false, true, {}, {}, QStringLiteral("Не получен ответ от прибора"),
         QStringLiteral("Нет связи с прибором")},
        {7, 5, 0x4F, puOutput, false, true, {}, {}, QStringLiteral("Не получен ответ от прибора"),
         QStringLiteral("Нет связи с прибором")},
    };
    return rows[int(op)];
}

ITickSource& TicksOf(const TLinkContext& ctx)
{
    return ctx.ticks ? *ctx.ticks : ctx.drv->Ticks();
}

enum class TJudgement { Done, Ignored, Failed };

// Sorts one read into an outcome, an ignored frame or a failed attempt.
TJudgement Judge(const TOperationRow& row, const TFrameBuffer& answer, int count, TOutcome& outcome)
{
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
        ShowDeviceException(answer[2]);
        outcome = TOutcome::Refused;
        return TJudgement::Done;
    }
    if (row.successFunction < 0 || answer[1] == row.successFunction) {
        outcome = TOutcome::Success;
    } else {
        ShowError(row.wrongAnswer);
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

void AnswerWait(TLinkContext& ctx, int length)
{
    ITickSource& ticks = TicksOf(ctx);
    const uint32_t t0 = ticks.GetTickCount();
    for (;;) {
        if (ctx.drv->InputQueueCount() >= length)
            return;
        const uint32_t elapsed = TicksSince(ticks.GetTickCount(), t0);
        if (elapsed >= kAnswerWaitMs)
            return;
        ctx.drv->WaitForInput(kAnswerWaitMs - elapsed);
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

    if (!row.status.isEmpty())
        ctx.shell->SetStatusText(row.status);
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
        AnswerWait(ctx, row.answerLength);
        count = drv.ReadBytes(answer.data(), kMaxReadCount);
        if (row.calibrationTimeout)
            drv.InputTimeout = savedTimeout;

        const TJudgement j = Judge(row, answer, count, outcome);
        NotifyReceived(ctx, answer.data(), count, VerdictOf(row, count, j, outcome), answer[2], row.answerLength);
        if (j == TJudgement::Done) {
            outcomeSet = true;
            break;
        }
        if (j == TJudgement::Ignored && ++ignored < kMaxIgnoredPerAttempt)
            continue;
        ignored = 0;
        ++attempt;
        if (attempt > ctx.RepeatNum)
            break;
        ctx.shell->SetStatusText(QStringLiteral("Повторный запрос"));
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
        ctx.shell->SetStatusText(QString());

    if (outcome == TOutcome::NoAnswer || outcome == TOutcome::NoLink) {
        if (op == TOperation::IdentifyDevice) {
            if (ctx.ReportLinkErrors)
                MessageDlg(QStringLiteral("Прибор номер %1 не найден.").arg(request[0]), mkWarning, mbOk);
        } else {
            ShowError(outcome == TOutcome::NoAnswer ? row.noAnswer : row.noLink);
        }
        if (op == TOperation::SendCalibrationStage)
            ctx.shell->ResetCalibrationStage();
        ctx.shell->DisconnectDevice();
    }
    if (answerCount)
        *answerCount = count;
    return outcome;
}
