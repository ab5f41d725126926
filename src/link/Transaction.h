#pragma once

#include "link/Frame.h"

#include <QString>

class TCommPortDriver;
class ITickSource;
class ILinkObserver;

enum class TOperation {
    IdentifyDevice,
    WriteInformation,
    ReadConfiguration,
    WriteConfiguration,
    SendCalibrationStage,
    CorrectR0,
    SendNSXStep,
};

enum class TOutcome { Success, Refused, NoAnswer, NoLink };

// What status panel 3 says while an exchange runs; Clear empties it.
enum class TLinkStatus { Clear, Reading, Writing, Repeat };

// Why an exchange failed in a way the user is told about.
enum class TLinkReason {
    WrongFunction, // a write answer of the right length named another function
    NoAnswer,      // every attempt went unanswered or was damaged
    NoLink,        // the request could not be written in full
    NotFound,      // an identification found nobody at the address
};

// The facts of one failure; the device layer words them.
struct TLinkFault {
    TLinkReason reason = TLinkReason::NoAnswer;
    TOperation operation = TOperation::IdentifyDevice;
    int address = 0; // byte 0 of the request
};

// What the owner of the port provides to every exchange.
class ILinkShell {
public:
    virtual ~ILinkShell() = default;
    virtual void LinkStatus(TLinkStatus status) = 0;    // status panel 3
    virtual void LinkFault(const TLinkFault& fault) = 0; // tell the user, before the disconnect
    virtual void ProcessEvents() = 0;                     // let pending window messages run once
    // The exchange found no device (after its LinkFault, if any): whoever owns
    // the port closes it; the fault names the operation that lost it.
    virtual void DeviceLost(const TLinkFault& fault) = 0;
    // A 5-byte exception answer carried `code`. What a code means is the
    // device's knowledge; the link alone shows nothing.
    virtual void DeviceException(uint8_t code) { (void)code; }
};

struct TLinkContext {
    TCommPortDriver* drv = nullptr;
    ITickSource* ticks = nullptr;
    ILinkShell* shell = nullptr;
    int RepeatNum = 2;            // total attempts, 1..10
    bool ReportLinkErrors = false;
    // ms after the request has left the line within which the first byte of
    // an answer must arrive, else the exchange ends at once as NoAnswer
    // without a repeat (the search's quick pass); 0: no such window.
    // Applies to identifications only.
    uint32_t FirstByteWindow = 0;
    ILinkObserver* observer = nullptr; // sees every frame; none by default
};

// One request: purge, send, wait, read, classify, repeat; the reports and the
// disconnect on a lost device included. `answer` holds the last answer read
// and `answerCount` (optional) its length. The request is the operation's
// fixed length (RequestLength) with its CRC in place.
//
// The read of an attempt ends as soon as the bytes received form a complete
// answer to the request (the operation's length, the request's address and
// function, a valid CRC) or a complete exception answer (5 bytes, function
// | 0x80, valid CRC). Anything else ends as before: the wait for the answer's
// length (at most 1000 ms), then the driver's input time-out after the last
// byte, and is judged by its length.
//
// Every answer's CRC is checked: a damaged frame of the expected length (or a
// damaged 5-byte exception / private-function answer) is a failed attempt
// and is repeated like an answer of a wrong length.
//
// Outcomes: Success (answer valid), Refused (the device answered but refused:
// an exception answer went to shell->DeviceException, a write answer's
// function byte was wrong and went to shell->LinkFault as WrongFunction, or a
// private function ('M', 'N', 'O') answered with a code in byte 2 that the
// caller interprets), NoAnswer, NoLink. On NoAnswer/NoLink shell->LinkFault
// has been told and shell->DeviceLost() has run with the same fault.
//
// IdentifyDevice: LinkFault(NotFound) only while ctx.ReportLinkErrors, then
// DeviceLost(NotFound) in every case. The closing step of an
// identification — UpdateStatusBar and ReportLinkErrors := true in every
// case — is NOT done here: IdentifyDevice does it after it has used the answer.
TOutcome RunTransaction(TLinkContext& ctx, TOperation op, const TFrameBuffer& request, TFrameBuffer& answer,
                        int* answerCount = nullptr);

// Waits until `length` bytes are queued or 1000 ms pass, without reading
// them; blocks in the driver while nothing is queued and sleeps the line time
// of the missing characters while some are. No window messages run meanwhile.
void AnswerWait(TLinkContext& ctx, int length);

// True when the first `count` bytes of `answer` are a complete answer to
// `request` for `op`, or a complete exception answer to it.
bool AnswerComplete(TOperation op, const TFrameBuffer& request, const TFrameBuffer& answer, int count);

// True when the first `count` bytes of `answer` end in their own CRC
// (for answers read outside RunTransaction, e.g. the diagnostics poll).
bool AnswerCRCValid(const TFrameBuffer& answer, int count);

// The operation table's request and normal answer lengths.
int RequestLength(TOperation op);
int AnswerLength(TOperation op);
