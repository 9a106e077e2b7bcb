#include "platform/audio/core/stream.h"

Stream::Stream(HSTREAM handle, std::unique_ptr<PcmSource> source, DWORD flags, int owner,
               std::size_t ringBytes)
    : m_handle(handle), m_flags(flags), m_owner(owner), m_length(source->length()),
      m_source(std::move(source)) {
    play.ring = ByteRing(ringBytes);
}

void Stream::releaseSource() {
    m_freed = true;
    const std::unique_lock guard(m_sourceMutex, std::try_to_lock);
    if (guard.owns_lock())
        m_source.reset();
}
