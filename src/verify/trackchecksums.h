#pragma once

// The checksums of one ripped track, computed on its PCM as it is read: the copy's CRC32 and
// the AccurateRip v1, v2 and frame-450 checksums.

#include <QByteArrayView>
#include <QtGlobal>

struct TrackSums {
    quint32 crc32 = 0;
    quint32 v1 = 0;
    quint32 v2 = 0;
    quint32 frame450 = 0;

    bool operator==(const TrackSums&) const = default;
};

class TrackChecksums {
public:
    // samples: the track's length in stereo samples (4 bytes each). AccurateRip leaves out the
    // first 2939 samples of the disc's first audio track and the last 2940 of its last one,
    // which a drive's read offset may push past the disc's ends.
    TrackChecksums(qint64 samples, bool firstAudioTrack, bool lastAudioTrack);

    // 16-bit stereo little-endian PCM, in blocks of any size, odd ones included.
    void add(QByteArrayView pcm);

    TrackSums sums() const;

private:
    void addByte(uchar byte);
    void addSample(quint32 sample);
    void addSamples(const uchar* bytes, qint64 count);

    qint64 m_samples;
    qint64 m_first; // the first and last 1-based positions AccurateRip counts
    qint64 m_last;
    qint64 m_position = 0;
    quint32 m_partial = 0; // the bytes of a sample split between two blocks
    int m_partialBytes = 0;
    TrackSums m_sums;
    quint32 m_frame450 = 0;
};
