#pragma once

#include "link/SerialDevice.h"
#include "link/TickSource.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// One SCPI instrument on a line: a command goes out with its terminator, a
// query waits for one reply line. The line is a serial device (a tty, a
// USB-CDC adapter, a pseudo-terminal) or a USBTMC device; tests hand in a
// scripted one on a virtual clock. Every failure comes back as a text that
// names the instrument and what it said.
class TScpiClient {
public:
    // `name`: how messages call it ("Мультиметр").
    TScpiClient(const QString& name, std::unique_ptr<ISerialDevice> device, ITickSource& ticks);
    ~TScpiClient();
    TScpiClient(const TScpiClient&) = delete;
    TScpiClient& operator=(const TScpiClient&) = delete;

    const QString& Name() const { return m_name; }
    const QString& Path() const { return m_path; }

    bool Open(const QString& path, const TLineSettings& line, QString* error = nullptr);
    void Close();
    bool IsOpen() const;

    // Sent after every command; a reply ends at a line feed (or a carriage
    // return when that is the terminator).
    QByteArray Terminator = "\n";
    // The longest wait for a reply; a few seconds at most.
    uint32_t TimeoutMs = 3000;
    // Runs every few milliseconds while a reply is awaited (the window keeps
    // painting); may be empty.
    std::function<void()> Idle;

    bool Write(const QString& command, QString* error = nullptr);
    // The reply line without its line end.
    bool Query(const QString& command, QString& reply, QString* error = nullptr);
    // A query whose reply must be one plain number.
    bool QueryNumber(const QString& command, double& value, QString* error = nullptr);

    // "Мультиметр (/dev/ttyUSB0): <what>"
    QString Describe(const QString& what) const;

private:
    bool ReadLine(const QString& command, QByteArray& line, QString* error);
    bool Fail(QString* error, const QString& what) const;

    QString m_name;
    QString m_path;
    std::unique_ptr<ISerialDevice> m_device;
    ITickSource& m_ticks;
};

// "\n", "\r\n" or "\r" from the settings' names "LF", "CRLF", "CR" (LF otherwise).
QByteArray TerminatorBytes(const QString& name);
