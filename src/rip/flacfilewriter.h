#pragma once

// A FLAC file written block by block with libFLAC: 16-bit 44.1 kHz stereo, the MD5 signature
// of the audio in its stream header, so a player or `flac -t` can prove the copy exact.

#include "rip/tracksink.h"

#include <FLAC/stream_encoder.h>

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class FlacFileWriter final : public TrackSink {
public:
    // level: libFLAC's compression level, 0 (fastest) to 8 (smallest). samples: the track's
    // length in samples per channel, for the header (0 when not known). shownName: how the file
    // is named in a failure.
    std::optional<RipFailure> create(const QString& path, const QString& shownName, int level,
                                     quint64 samples);
    std::optional<RipFailure> append(const char* data, qsizetype n) override;
    std::optional<RipFailure> finish() override;

private:
    struct EncoderDeleter {
        void operator()(FLAC__StreamEncoder* encoder) const {
            FLAC__stream_encoder_delete(encoder);
        }
    };
    RipFailure EncoderFailure(const QString& action) const;

    std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> m_encoder;
    QString m_fileName;
    QByteArray m_partialFrame; // bytes of a stereo frame a block ended inside
    std::vector<FLAC__int32> m_samples;
};
