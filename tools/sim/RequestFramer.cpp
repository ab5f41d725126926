#include "RequestFramer.h"

TRequestFramer::TRequestFramer(int gapMs)
    : m_gapMs(gapMs)
{
}

void TRequestFramer::Feed(const uint8_t* data, size_t count, int64_t nowMs)
{
    if (count == 0)
        return;
    m_buffer.insert(m_buffer.end(), data, data + count);
    m_lastByte = nowMs;
}

std::vector<TSimBytes> TRequestFramer::Take(int64_t nowMs)
{
    std::vector<TSimBytes> out;
    while (!m_buffer.empty()) {
        const int len = ExpectedRequestLength(m_buffer.data(), m_buffer.size());
        if (len > 0 && m_buffer.size() >= size_t(len) && SimCrcValid(m_buffer.data(), size_t(len))) {
            out.emplace_back(m_buffer.begin(), m_buffer.begin() + len);
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + len);
            continue;
        }
        // An overlong run of garbage is cut so the buffer cannot grow without end.
        if (nowMs - m_lastByte >= m_gapMs || m_buffer.size() > kMaxRequest) {
            out.push_back(std::move(m_buffer));
            m_buffer.clear();
        }
        break;
    }
    return out;
}

int64_t TRequestFramer::Deadline() const
{
    return m_buffer.empty() ? -1 : m_lastByte + m_gapMs;
}

void TRequestFramer::Reset()
{
    m_buffer.clear();
}
