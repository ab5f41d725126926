#include "ScriptedPort.h"

#include <algorithm>

QByteArray HexBytes(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

QString ToHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray WithCRC(const QByteArray& frame)
{
    const TCrc16 crc = CalcCRC16(reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()));
    QByteArray f = frame;
    f.append(char(crc.lo));
    f.append(char(crc.hi));
    return f;
}

QByteArray WithBadCRC(const QByteArray& frame)
{
    QByteArray f = WithCRC(frame);
    f[f.size() - 1] = char(f[f.size() - 1] ^ 0x5A);
    return f;
}

TFrameBuffer ToFrameBuffer(const QByteArray& bytes)
{
    TFrameBuffer b{};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kFrameBufferSize), b.begin());
    return b;
}

QByteArray FromFrameBuffer(const TFrameBuffer& buffer, int count)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), count);
}

namespace {

ScriptedPort::TMatcher PrefixMatcher(const QByteArray& prefix)
{
    return [prefix](const QByteArray& request) { return request.startsWith(prefix); };
}

} // namespace

ScriptedPort::ScriptedPort(VirtualClock& clock) : m_clock(clock) {}

ScriptedPort& ScriptedPort::answerOnce(const QByteArray& requestPrefix, const QByteArray& answer, uint32_t delayMs)
{
    return answerOnceInPieces(requestPrefix, {{delayMs, answer}});
}

ScriptedPort& ScriptedPort::answerOnceInPieces(const QByteArray& requestPrefix, const QList<TAnswerPiece>& pieces)
{
    m_once.push_back({PrefixMatcher(requestPrefix), {}, pieces});
    return *this;
}

ScriptedPort& ScriptedPort::ignoreOnce(const QByteArray& requestPrefix)
{
    return answerOnceInPieces(requestPrefix, {});
}

ScriptedPort& ScriptedPort::answerAlways(const QByteArray& requestPrefix, const TResponder& responder,
                                         uint32_t delayMs)
{
    return answerAlways(PrefixMatcher(requestPrefix), responder, delayMs);
}

ScriptedPort& ScriptedPort::answerAlways(const TMatcher& matcher, const TResponder& responder, uint32_t delayMs)
{
    m_always.push_back({matcher, responder, {{delayMs, {}}}});
    return *this;
}

void ScriptedPort::clearRules()
{
    m_once.clear();
    m_always.clear();
}

void ScriptedPort::deliver(const QByteArray& bytes, uint32_t delayMs)
{
    schedule(m_clock.nowUs(), delayMs, bytes);
}

void ScriptedPort::setLineRate(uint32_t baud, int bitsPerChar)
{
    m_charUs = baud == 0 ? 0 : uint64_t(bitsPerChar) * 1000000u / baud;
}

void ScriptedPort::failWrite(int nth, int accept)
{
    m_faults.push_back({std::max(1, nth), accept});
}

int ScriptedPort::queuedBytes()
{
    settle();
    return int(m_queued.size());
}

int ScriptedPort::bytesOnTheLine() const
{
    int n = 0;
    for (const TChunk& c : m_line)
        n += int(c.bytes.size());
    return n;
}

TPortOpenError ScriptedPort::open(const QString& path)
{
    if (m_unplugged)
        return TPortOpenError::NotFound;
    m_path = path;
    if (m_openError != TPortOpenError::None)
        return m_openError;
    m_open = true;
    ++m_openCount;
    m_queued.clear();
    m_line.clear();
    return TPortOpenError::None;
}

void ScriptedPort::close()
{
    m_open = false;
    m_queued.clear();
    m_line.clear();
}

TPortOpenError ScriptedPort::applyLineSettings(const TLineSettings& settings)
{
    if (!m_open || m_unplugged)
        return TPortOpenError::Other;
    if (m_applyError != TPortOpenError::None)
        return m_applyError;
    m_settings = settings;
    ++m_applyCount;
    return TPortOpenError::None;
}

int ScriptedPort::inputQueued()
{
    if (!m_open || m_unplugged)
        return -1;
    settle();
    return int(m_queued.size());
}

int ScriptedPort::outputQueued()
{
    if (!m_open || m_unplugged)
        return -1;
    return m_outputBlocked ? (1 << 20) : 0; // bytes leave at once unless blocked
}

int ScriptedPort::read(uint8_t* buffer, int count)
{
    if (!m_open || m_unplugged)
        return -1;
    settle();
    const int n = std::min<int>(count, int(m_queued.size()));
    std::copy_n(m_queued.constData(), n, buffer);
    m_queued.remove(0, n);
    return n;
}

int ScriptedPort::write(const uint8_t* data, int count)
{
    if (!m_open || m_unplugged)
        return -1;
    if (m_outputBlocked)
        return 0;
    int accept = count;
    bool faulted = false;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        if (--it->nth == 0) {
            if (!faulted)
                accept = it->accept;
            faulted = true;
            it = m_faults.erase(it);
        } else {
            ++it;
        }
    }
    if (accept < 0)
        return -1;
    accept = std::min(accept, count);
    const QByteArray bytes(reinterpret_cast<const char*>(data), accept);
    m_writes.push_back({m_clock.nowUs(), bytes});
    if (accept > 0)
        respondTo(bytes);
    return accept;
}

bool ScriptedPort::purge(bool input, bool output)
{
    if (!m_open || m_unplugged)
        return false;
    if (input) {
        settle();
        m_queued.clear();
        ++m_purgeIn;
    }
    if (output)
        ++m_purgeOut;
    return true;
}

int ScriptedPort::modemStatus()
{
    return m_open && !m_unplugged ? m_modemStatus : -1;
}

void ScriptedPort::waitReadable(uint32_t ms)
{
    settle();
    if (!m_queued.isEmpty() || ms == 0)
        return;
    uint64_t target = m_clock.nowUs() + uint64_t(ms) * 1000;
    if (!m_line.empty())
        target = std::min(target, m_line.front().atUs);
    m_clock.advanceToUs(target);
    settle();
}

void ScriptedPort::settle()
{
    const uint64_t now = m_clock.nowUs();
    while (!m_line.empty() && m_line.front().atUs <= now) {
        m_queued += m_line.front().bytes;
        m_line.pop_front();
    }
}

void ScriptedPort::schedule(uint64_t fromUs, uint32_t delayMs, const QByteArray& bytes)
{
    uint64_t at = fromUs + uint64_t(delayMs) * 1000;
    auto insert = [this](uint64_t when, const QByteArray& b) {
        auto it = std::upper_bound(m_line.begin(), m_line.end(), when,
                                   [](uint64_t t, const TChunk& c) { return t < c.atUs; });
        m_line.insert(it, TChunk{when, b});
    };
    if (m_charUs == 0) {
        if (!bytes.isEmpty())
            insert(at, bytes);
        return;
    }
    for (char c : bytes) {
        at += m_charUs; // a character is queued once its stop bit is in
        insert(at, QByteArray(1, c));
    }
}

void ScriptedPort::respondTo(const QByteArray& request)
{
    const uint64_t now = m_clock.nowUs();
    for (auto it = m_once.begin(); it != m_once.end(); ++it) {
        if (it->matches(request)) {
            const QList<TAnswerPiece> pieces = it->pieces;
            m_once.erase(it);
            for (const TAnswerPiece& p : pieces)
                schedule(now, p.delayMs, p.bytes);
            return;
        }
    }
    for (const TRule& rule : m_always) {
        if (rule.matches(request)) {
            schedule(now, rule.pieces.front().delayMs, rule.respond(request));
            return;
        }
    }
}
