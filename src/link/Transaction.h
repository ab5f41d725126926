#pragma once

#include "Frame.h"

#include <QString>

class TCommPortDriver;
class ITickSource;

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
// and `answerCount` (optional) its length.
TOutcome RunTransaction(TLinkContext& ctx, TOperation op, const TFrameBuffer& request, TFrameBuffer& answer,
                        int* answerCount = nullptr);

// Waits until `length` bytes are queued or 1000 ms pass.
void AnswerWait(TLinkContext& ctx, int length);
