#include "verify/trackchecksums.h"

#include "common/disctoc.h"

#include <QtEndian>

#include <zlib.h>

namespace {

constexpr qint64 kSkippedAtDiscEdge = 2940;
// The sector 450 of the track, which AccurateRip keeps a checksum of for offset finding.
constexpr qint64 kFrame450First = 450 * kSamplesPerSector;
constexpr qint64 kFrame450End = kFrame450First + kSamplesPerSector;

} // namespace

TrackChecksums::TrackChecksums(qint64 samples, bool firstAudioTrack, bool lastAudioTrack)
    : m_samples(samples), m_first(firstAudioTrack ? kSkippedAtDiscEdge : 1),
      m_last(lastAudioTrack ? samples - kSkippedAtDiscEdge : samples) {
    m_sums.crc32 = quint32(crc32_z(0, nullptr, 0));
}

void TrackChecksums::add(QByteArrayView pcm) {
    const auto* bytes = reinterpret_cast<const uchar*>(pcm.data());
    qsizetype size = pcm.size();
    m_sums.crc32 = quint32(crc32_z(m_sums.crc32, bytes, size_t(size)));
    for (; size > 0 && m_partialBytes > 0; ++bytes, --size)
        addByte(*bytes);
    for (; size >= 4; bytes += 4, size -= 4)
        addSample(qFromLittleEndian<quint32>(bytes));
    for (; size > 0; ++bytes, --size)
        addByte(*bytes);
}

void TrackChecksums::addByte(uchar byte) {
    m_partial |= quint32(byte) << (8 * m_partialBytes);
    if (++m_partialBytes == 4) {
        addSample(m_partial);
        m_partial = 0;
        m_partialBytes = 0;
    }
}

void TrackChecksums::addSample(quint32 sample) {
    const qint64 i = ++m_position;
    if (i >= m_first && i <= m_last) {
        const quint64 product = quint64(i) * sample;
        m_sums.v1 += quint32(product);
        m_sums.v2 += quint32(product) + quint32(product >> 32);
    }
    const qint64 index = i - 1;
    if (index >= kFrame450First && index < kFrame450End)
        m_frame450 += quint32(index - kFrame450First + 1) * sample;
}

TrackSums TrackChecksums::sums() const {
    TrackSums sums = m_sums;
    sums.frame450 = m_samples >= kFrame450End ? m_frame450 : 0;
    return sums;
}
