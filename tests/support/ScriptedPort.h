#pragma once

// ScriptedPort: a serial device (ISerialDevice) played by a script, on a
// VirtualClock. Hand it to a TCommPortDriver; keep a raw pointer to script it.
//
//   VirtualClock clock;
//   auto owned = std::make_unique<ScriptedPort>(clock);
//   ScriptedPort& port = *owned;
//   TCommPortDriver drv(&clock, std::move(owned));   // or use ScriptedLink
//
//   // after the next write starting 01 11, answer 40 ms later:
//   port.answerOnce(HexBytes("01 11"), WithCRC(HexBytes("01 11 ...")), 40);
//   // every write starting 01 03 gets what the responder returns (empty: silence):
//   port.answerAlways(HexBytes("01 03"), [](const QByteArray& req) { return WithCRC(...); });
//   // in pieces, each at its own delay after the write:
//   port.answerOnceInPieces({}, {{30, part1}, {600, part2}});
//   port.ignoreOnce();                 // the next write goes unanswered
//   port.setLineRate(1200);            // answers arrive a character every 9.17 ms
//   port.deliver(bytes, 250);          // unsolicited bytes, 250 ms from now
//   port.failWrite(2);                 // the second write from now fails (device error)
//   port.failWrite(1, 3);              // the next write takes only 3 bytes
//   port.setOutputBlocked(true);       // the output queue stays full
//   port.setOpenError(TPortOpenError::Busy);
//
//   port.writes()                      // every write: virtual time and bytes
//
// Rules: one-shot rules are used in the order given, the first that matches
// a write; standing rules only when no one-shot rule matches. Silence is the
// default. Input becomes "queued" only when the virtual time reaches its
// delivery time; the driver's waits advance the clock to the next delivery.
// Purging input drops what has arrived, not what is still on the line.
// Closing the port drops everything, including bytes still on the line.

#include "link/SerialDevice.h"
#include "VirtualClock.h"

#include "link/Frame.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <functional>

// "01 11 C0 2C" -> bytes (spaces optional).
QByteArray HexBytes(const char* hex);
// Bytes -> "01 11 C0 2C", for failure messages.
QString ToHex(const QByteArray& bytes);
// The frame with its CRC-16 appended, low byte first.
QByteArray WithCRC(const QByteArray& frame);
// The frame with a CRC that does not match.
QByteArray WithBadCRC(const QByteArray& frame);
TFrameBuffer ToFrameBuffer(const QByteArray& bytes);
QByteArray FromFrameBuffer(const TFrameBuffer& buffer, int count);

struct TRecordedWrite {
    uint64_t atUs;
    QByteArray bytes;
    double atMs() const { return double(atUs) / 1000.0; }
};

struct TAnswerPiece {
    uint32_t delayMs; // after the write
    QByteArray bytes;
};

class ScriptedPort : public ISerialDevice {
public:
    using TResponder = std::function<QByteArray(const QByteArray& request)>;
    using TMatcher = std::function<bool(const QByteArray& request)>;

    explicit ScriptedPort(VirtualClock& clock);

    // Script. An empty prefix matches every write.
    ScriptedPort& answerOnce(const QByteArray& requestPrefix, const QByteArray& answer, uint32_t delayMs = 20);
    ScriptedPort& answerOnceInPieces(const QByteArray& requestPrefix, const QList<TAnswerPiece>& pieces);
    ScriptedPort& ignoreOnce(const QByteArray& requestPrefix = {});
    ScriptedPort& answerAlways(const QByteArray& requestPrefix, const TResponder& responder, uint32_t delayMs = 20);
    ScriptedPort& answerAlways(const TMatcher& matcher, const TResponder& responder, uint32_t delayMs = 20);
    void clearRules();
    void deliver(const QByteArray& bytes, uint32_t delayMs = 0);
    // Paces answers at the line rate (0: each piece arrives at once).
    void setLineRate(uint32_t baud, int bitsPerChar = 11);

    // Faults.
    void failWrite(int nth = 1, int accept = -1);
    void setOutputBlocked(bool blocked) { m_outputBlocked = blocked; }
    void setOpenError(TPortOpenError error) { m_openError = error; }
    void setApplyError(TPortOpenError error) { m_applyError = error; }
    void setModemStatus(int bits) { m_modemStatus = bits; }
    // The device vanished: every call fails from now on, as with an unplugged adapter.
    void unplug() { m_unplugged = true; }

    // Inspection.
    const QList<TRecordedWrite>& writes() const { return m_writes; }
    int writeCount() const { return int(m_writes.size()); }
    QByteArray lastWrite() const { return m_writes.isEmpty() ? QByteArray() : m_writes.last().bytes; }
    void clearWrites() { m_writes.clear(); }
    int purgeInputCount() const { return m_purgeIn; }
    int purgeOutputCount() const { return m_purgeOut; }
    QString openedPath() const { return m_path; }
    int openCount() const { return m_openCount; }
    const TLineSettings& lineSettings() const { return m_settings; }
    int applyCount() const { return m_applyCount; }
    int queuedBytes();      // arrived and unread
    int bytesOnTheLine() const; // still to arrive
    VirtualClock& clock() { return m_clock; }

    // ISerialDevice
    TPortOpenError open(const QString& path) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    TPortOpenError applyLineSettings(const TLineSettings& settings) override;
    int inputQueued() override;
    int outputQueued() override;
    int read(uint8_t* buffer, int count) override;
    int write(const uint8_t* data, int count) override;
    bool purge(bool input, bool output) override;
    int modemStatus() override;
    void waitReadable(uint32_t ms) override;

private:
    struct TRule {
        TMatcher matches;
        TResponder respond;              // standing rules
        QList<TAnswerPiece> pieces;      // one-shot rules
    };
    struct TChunk {
        uint64_t atUs;
        QByteArray bytes;
    };
    struct TWriteFault {
        int nth;
        int accept;
    };

    void settle();
    void schedule(uint64_t fromUs, uint32_t delayMs, const QByteArray& bytes);
    void respondTo(const QByteArray& request);

    VirtualClock& m_clock;
    std::deque<TRule> m_once;
    QList<TRule> m_always;
    std::deque<TChunk> m_line; // sorted by delivery time
    QByteArray m_queued;
    QList<TRecordedWrite> m_writes;
    QList<TWriteFault> m_faults;
    uint64_t m_charUs = 0;
    bool m_open = false;
    bool m_outputBlocked = false;
    bool m_unplugged = false;
    TPortOpenError m_openError = TPortOpenError::None;
    TPortOpenError m_applyError = TPortOpenError::None;
    int m_modemStatus = mlCTS | mlDSR;
    int m_purgeIn = 0;
    int m_purgeOut = 0;
    int m_openCount = 0;
    int m_applyCount = 0;
    QString m_path;
    TLineSettings m_settings;
};
