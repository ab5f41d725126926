// Every transaction operation against whatever comes back on the line:
// pieces of answers, at any delay, over several attempts.

#include "FuzzApp.h"
#include "FuzzInput.h"
#include "ScriptedLink.h"

namespace {

constexpr TOperation kOperations[] = {
    TOperation::IdentifyDevice,       TOperation::WriteInformation, TOperation::ReadConfiguration,
    TOperation::WriteConfiguration,   TOperation::SendCalibrationStage, TOperation::CorrectR0,
    TOperation::SendNSXStep,
};
constexpr uint8_t kFunctions[] = {0x11, 0x10, 0x03, 0x10, 'M', 'N', 'O'};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApp();
    FuzzInput in(data, size);
    const int which = in.byte() % 7;
    const TOperation op = kOperations[which];

    ScriptedLink link;
    link.ctx.RepeatNum = 1 + in.byte() % 3;
    link.ctx.ReportLinkErrors = in.byte() & 1;
    // Half the time the answers come from the addressed device, so the
    // classification gets past the address and function checks.
    const bool shaped = in.byte() & 1;
    for (int attempt = 0; attempt < link.ctx.RepeatNum && !in.empty(); ++attempt) {
        const int pieces = 1 + in.byte() % 3;
        QList<TAnswerPiece> list;
        uint32_t at = 0;
        for (int p = 0; p < pieces; ++p) {
            at += uint32_t(in.byte()) * 8; // up to about 2 s
            QByteArray bytes = in.bytes(in.byte() % 64);
            if (shaped && p == 0 && bytes.size() >= 2) {
                bytes[0] = 1;
                bytes[1] = char(kFunctions[which] | (bytes[1] & 0x80));
            }
            if (shaped && p == pieces - 1 && bytes.size() >= 3)
                bytes = WithCRC(bytes.left(bytes.size() - 2));
            list.append({at, bytes});
        }
        link.port.answerOnceInPieces({}, list);
    }

    TFrameBuffer request{};
    request[0] = 1;
    request[1] = kFunctions[which];
    PutFrameCRC(request, RequestLength(op) - 2);
    TFrameBuffer answer{};
    int count = -1;
    const TOutcome outcome = RunTransaction(link.ctx, op, request, answer, &count);

    FUZZ_CHECK(count >= 0 && count <= kMaxReadCount);
    if (outcome == TOutcome::Success) {
        FUZZ_CHECK(count == AnswerLength(op));
        FUZZ_CHECK(AnswerCRCValid(answer, count));
    }
    const bool lost = outcome == TOutcome::NoAnswer || outcome == TOutcome::NoLink;
    FUZZ_CHECK(lost == (link.shell.disconnects > 0));
    FUZZ_CHECK(link.port.writeCount() <= link.ctx.RepeatNum);
    return 0;
}
