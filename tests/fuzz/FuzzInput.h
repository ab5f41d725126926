#pragma once

// Reads a fuzzer's bytes as a sequence of small fields; past the end every
// read gives zeros, so a target never has to check lengths itself.

#include <QByteArray>

#include <cstddef>
#include <cstdint>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // Up to `n` bytes (fewer at the end).
    QByteArray bytes(size_t n)
    {
        const size_t take = std::min(n, m_size - std::min(m_pos, m_size));
        QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(take));
        m_pos += take;
        return out;
    }
    QByteArray rest() { return bytes(m_size); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
