#include "platform/audio/core/attributeramp.h"

#include <algorithm>

void AttributeRamp::start(float from, float to, std::uint32_t frames) {
    m_from = from;
    m_to = to;
    m_total = frames;
    m_done = 0;
    m_active = frames > 0;
}

float AttributeRamp::advance(std::uint32_t frames) {
    m_done = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(m_done) + frames, m_total));
    if (m_done >= m_total) {
        m_active = false;
        return m_to;
    }
    const double t = static_cast<double>(m_done) / m_total;
    return static_cast<float>(m_from + (m_to - m_from) * t);
}
