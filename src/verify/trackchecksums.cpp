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
    addSamples(bytes, size / 4);
    bytes += size / 4 * 4;
    size %= 4;
    for (; size > 0; ++bytes, --size)
        addByte(*bytes);
}

// Most samples of a track count for both sums and lie outside sector 450: those take the short
// way, one multiplication each.
void TrackChecksums::addSamples(const uchar* bytes, qint64 count) {
    const qint64 first = m_position + 1;
    const qint64 last = m_position + count;
    const bool plain =
        first >= m_first && last <= m_last && (last <= kFrame450First || first > kFrame450End);
    if (!plain) {
        for (qint64 k = 0; k < count; ++k)
            addSample(qFromLittleEndian<quint32>(bytes + 4 * k));
        return;
    }
    quint32 v1 = m_sums.v1;
    quint32 v2 = m_sums.v2;
    for (qint64 k = 0; k < count; ++k) {
        const quint64 product = quint64(first + k) * qFromLittleEndian<quint32>(bytes + 4 * k);
        v1 += quint32(product);
        v2 += quint32(product) + quint32(product >> 32);
    }
    m_sums.v1 = v1;
    m_sums.v2 = v2;
    m_position = last;
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
