#pragma once

#include "Frame.h"

#include <QString>

class TCommPortDriver;
class ITickSource;
class ILinkObserver;

// What the main window provides to every exchange.
class ILinkShell {
public:
    virtual ~ILinkShell() = default;
    virtual void SetStatusText(const QString& text) = 0; // status panel 3
    virtual void ProcessEvents() = 0;                     // let pending window messages run once
    virtual void DisconnectDevice() = 0;
    virtual void UpdateStatusBar() = 0;
    virtual void ResetCalibrationStage() = 0;             // a calibration stage lost its device
};

struct TLinkContext {
    TCommPortDriver* drv = nullptr;
    ITickSource* ticks = nullptr;
    ILinkShell* shell = nullptr;
    int RepeatNum = 2;            // total attempts, 1..10
    bool ReportLinkErrors = false;
    ILinkObserver* observer = nullptr; // sees every frame; none by default
};

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

// One request: purge, send, wait, read, classify, repeat; messages and the
// disconnect on a lost device included. `answer` holds the last answer read
// and `answerCount` (optional) its length. The request is the operation's
// fixed length (RequestLength) with its CRC in place.
//
// Every answer's CRC is checked: a damaged frame of the expected length (or a
// damaged 5-byte exception / private-function answer) is a failed attempt
// and is repeated like an answer of a wrong length.
//
// Outcomes: Success (answer valid), Refused (the device answered but refused:
// an exception answer was shown from the error table, a write answer's
// function byte was wrong and "Невозможно выполнить комманду" was shown, or a
// private function ('M', 'N', 'O') answered with a code in byte 2 that the
// caller interprets), NoAnswer, NoLink. On NoAnswer/NoLink the operation's
// message has been shown and shell->DisconnectDevice() has run
// (SendCalibrationStage: ResetCalibrationStage() first).
//
// IdentifyDevice: "Прибор номер <request byte 0> не найден." only while
// ctx.ReportLinkErrors, then the disconnect. The closing step of an
// identification — UpdateStatusBar and ReportLinkErrors := true in every
// case — is NOT done here: IdentifyDevice does it after it has used the answer.
TOutcome RunTransaction(TLinkContext& ctx, TOperation op, const TFrameBuffer& request, TFrameBuffer& answer,
                        int* answerCount = nullptr);

// Waits until `length` bytes are queued or 1000 ms pass, sleeping in the
// driver rather than spinning; no window messages run meanwhile.
void AnswerWait(TLinkContext& ctx, int length);

// True when the first `count` bytes of `answer` end in their own CRC
// (for answers read outside RunTransaction, e.g. the diagnostics poll).
bool AnswerCRCValid(const TFrameBuffer& answer, int count);

// The operation table's request and normal answer lengths.
int RequestLength(TOperation op);
int AnswerLength(TOperation op);
