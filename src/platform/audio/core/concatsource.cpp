#include "platform/audio/core/concatsource.h"

#include "common/audiolibrary.h"
#include "platform/audio/core/lasterror.h"

ConcatSource::ConcatSource(std::vector<std::unique_ptr<PcmSource>> parts)
    : m_parts(std::move(parts)) {
    for (const auto& part : m_parts)
        m_length += part->length();
}

// A part that ends hands over to the next one, read from its start.
int ConcatSource::read(char* buffer, int n) {
    while (m_current < m_parts.size()) {
        const int got = m_parts[m_current]->read(buffer, n);
        if (got < 0)
            return fail(m_parts[m_current]->errorCode());
        if (got > 0 || n == 0)
            return got;
        if (++m_current < m_parts.size() && !m_parts[m_current]->seek(0))
            return fail(m_parts[m_current]->errorCode());
    }
    return 0;
}

bool ConcatSource::seek(std::uint64_t byte) {
    if (byte > m_length) {
        fail(BASS_ERROR_POSITION);
        return false;
    }
    m_current = 0;
    while (m_current + 1 < m_parts.size() && byte >= m_parts[m_current]->length()) {
        byte -= m_parts[m_current]->length();
        ++m_current;
    }
    if (m_parts.empty() || m_parts[m_current]->seek(byte))
        return true;
    fail(m_parts[m_current]->errorCode());
    return false;
}

SectorDamage ConcatSource::damage() const {
    SectorDamage total;
    for (const auto& part : m_parts) {
        const SectorDamage damage = part->damage();
        total.skippedSectors += damage.skippedSectors;
        total.readErrors += damage.readErrors;
    }
    return total;
}

int ConcatSource::fail(int code) {
    m_error = code;
    SetLastBassError(code);
    return -1;
}
