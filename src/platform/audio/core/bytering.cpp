#include "platform/audio/core/bytering.h"

#include <algorithm>
#include <cstring>

ByteRing::ByteRing(std::size_t capacity) : m_data(capacity) {}

std::size_t ByteRing::write(const char* data, std::size_t n) {
    n = std::min(n, space());
    const std::size_t tail = (m_head + m_size) % std::max<std::size_t>(capacity(), 1);
    const std::size_t first = std::min(n, capacity() - tail);
    std::memcpy(m_data.data() + tail, data, first);
    std::memcpy(m_data.data(), data + first, n - first);
    m_size += n;
    return n;
}

std::size_t ByteRing::read(char* out, std::size_t n) {
    n = std::min(n, m_size);
    const std::size_t first = std::min(n, capacity() - m_head);
    std::memcpy(out, m_data.data() + m_head, first);
    std::memcpy(out + first, m_data.data(), n - first);
    m_head = n == 0 ? m_head : (m_head + n) % capacity();
    m_size -= n;
    return n;
}

void ByteRing::clear() {
    m_head = 0;
    m_size = 0;
}
