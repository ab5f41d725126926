#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct TLinkContext;

// What became of one frame on the line.
enum class TFrameVerdict {
    Request,       // a request went out in full
    RequestShort,  // the port took only part of it
    Answer,        // a good answer
    Exception,     // an exception answer; code = exception code
    Refused,       // a private function's refusal; code = result code
    WrongFunction, // right length, wrong function byte
    DamagedCRC,
    WrongLength,
    NoAnswer,      // nothing came within the wait
    Ignored,       // a stray frame, not taken as the answer
};

struct TLinkEvent {
    uint32_t tick = 0;  // the link's millisecond tick counter
    bool outgoing = false;
    QByteArray bytes;
    TFrameVerdict verdict = TFrameVerdict::Answer;
    int code = 0;
    int expected = 0;   // length of the request, or of the expected answer
};

// Watches the link without changing it: called on the GUI thread while an
// exchange runs, so an implementation must be quick and must not process
// events or show anything.
class ILinkObserver {
public:
    virtual ~ILinkObserver() = default;
    virtual void LinkEvent(const TLinkEvent& event) = 0;
};


// Reports to ctx.observer, if any.
void NotifySent(TLinkContext& ctx, const uint8_t* data, int length, int written);
void NotifyReceived(TLinkContext& ctx, const uint8_t* data, int count, TFrameVerdict verdict, int code = 0,
                    int expected = 0);
