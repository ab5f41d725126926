#include "instr/ScpiClient.h"

#include "instr/ScpiReply.h"

#include "device/DeviceMessages.h"

#include <algorithm>

namespace {

// No instrument sends a reply line this long: it is noise on the line.
constexpr int kMaxReply = 4096;
constexpr uint32_t kWriteTimeoutMs = 1000;
constexpr uint32_t kIdleStepMs = 20;

QString Seconds(uint32_t ms)
{
    return QString::number(ms / 1000.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

QByteArray TerminatorBytes(const QString& name)
{
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("CRLF"))
        return "\r\n";
    if (n == QLatin1String("CR"))
        return "\r";
    return "\n";
}

TScpiClient::TScpiClient(const QString& name, std::unique_ptr<ISerialDevice> device, ITickSource& ticks)
    : m_name(name)
    , m_device(std::move(device))
    , m_ticks(ticks)
{
}

TScpiClient::~TScpiClient()
{
    Close();
}

QString TScpiClient::Describe(const QString& what) const
{
    if (m_path.isEmpty())
        return QStringLiteral("%1: %2").arg(m_name, what);
    return QStringLiteral("%1 (%2): %3").arg(m_name, m_path, what);
}

bool TScpiClient::Fail(QString* error, const QString& what) const
{
    if (error)
        *error = Describe(what);
    return false;
}

bool TScpiClient::Open(const QString& path, const TLineSettings& line, QString* error)
{
    Close();
    m_path = path.trimmed();
    if (m_path.isEmpty())
        return Fail(error, QStringLiteral("не указано устройство"));
    if (!m_device)
        return Fail(error, QStringLiteral("устройство недоступно"));
    TPortOpenError e = m_device->open(m_path);
    if (e == TPortOpenError::None)
        e = m_device->applyLineSettings(line);
    if (e != TPortOpenError::None) {
        m_device->close();
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_name, PortOpenErrorText(e, m_path));
        return false;
    }
    m_device->purge(true, true);
    return true;
}

void TScpiClient::Close()
{
    if (m_device && m_device->isOpen())
        m_device->close();
}

bool TScpiClient::IsOpen() const
{
    return m_device && m_device->isOpen();
}

bool TScpiClient::Write(const QString& command, QString* error)
{
    if (!IsOpen())
        return Fail(error, QStringLiteral("соединение не установлено"));
    const QByteArray bytes = command.toLatin1() + Terminator;
    int sent = 0;
    uint32_t last = m_ticks.GetTickCount();
    while (sent < bytes.size()) {
        const int n = m_device->write(reinterpret_cast<const uint8_t*>(bytes.constData()) + sent,
                                      int(bytes.size()) - sent);
        if (n < 0)
            return Fail(error, QStringLiteral("связь потеряна при передаче «%1»").arg(command));
        if (n > 0) {
            sent += n;
            last = m_ticks.GetTickCount();
            continue;
        }
        if (TicksSince(m_ticks.GetTickCount(), last) > kWriteTimeoutMs)
            return Fail(error, QStringLiteral("команда «%1» не передана").arg(command));
        m_ticks.Sleep(1);
    }
    return true;
}

bool TScpiClient::ReadLine(const QString& command, QByteArray& line, QString* error)
{
    const char end = Terminator == "\r" ? '\r' : '\n';
    line.clear();
    const uint32_t start = m_ticks.GetTickCount();
    uint8_t buf[256];
    for (;;) {
        const int n = m_device->read(buf, int(sizeof buf));
        if (n < 0)
            return Fail(error, QStringLiteral("связь потеряна в ожидании ответа на «%1»").arg(command));
        if (n > 0) {
            line.append(reinterpret_cast<const char*>(buf), n);
            const qsizetype at = line.indexOf(end);
            if (at >= 0) {
                // What follows the line end is left over from an earlier
                // exchange or noise; the next query starts clean anyway.
                line.truncate(at);
                while (line.endsWith('\r') || line.endsWith('\n'))
                    line.chop(1);
                return true;
            }
            if (line.size() > kMaxReply)
                return Fail(error, QStringLiteral("ответ на «%1» слишком длинный: %2")
                                       .arg(command, QuoteReply(QString::fromLatin1(line))));
            continue;
        }
        const uint32_t spent = TicksSince(m_ticks.GetTickCount(), start);
        if (spent >= TimeoutMs) {
            if (line.isEmpty())
                return Fail(error, QStringLiteral("нет ответа на «%1» за %2 с").arg(command, Seconds(TimeoutMs)));
            return Fail(error, QStringLiteral("ответ на «%1» не закончен за %2 с: %3")
                                   .arg(command, Seconds(TimeoutMs), QuoteReply(QString::fromLatin1(line))));
        }
        m_device->waitReadable(std::min(TimeoutMs - spent, kIdleStepMs));
        if (Idle)
            Idle();
    }
}

bool TScpiClient::Query(const QString& command, QString& reply, QString* error)
{
    if (!IsOpen())
        return Fail(error, QStringLiteral("соединение не установлено"));
    // A late reply to an earlier query must not pass for this one.
    m_device->purge(true, false);
    if (!Write(command, error))
        return false;
    QByteArray line;
    if (!ReadLine(command, line, error))
        return false;
    reply = QString::fromLatin1(line);
    return true;
}

bool TScpiClient::QueryNumber(const QString& command, double& value, QString* error)
{
    QString reply;
    if (!Query(command, reply, error))
        return false;
    QString why;
    if (!ParseScpiNumber(reply, value, &why))
        return Fail(error, QStringLiteral("на «%1» %2").arg(command, why));
    return true;
}
