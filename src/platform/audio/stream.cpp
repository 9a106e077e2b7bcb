#include "platform/audio/stream.h"

Stream::Stream(HSTREAM handle, std::unique_ptr<PcmSource> source, DWORD flags, int owner,
               std::size_t ringBytes)
    : m_handle(handle), m_flags(flags), m_owner(owner), m_length(source->length()),
      m_source(std::move(source)) {
    play.ring = ByteRing(ringBytes);
}
