#pragma once

// A FLAC file written block by block with libFLAC: 16-bit 44.1 kHz stereo, the MD5 signature
// of the audio in its stream header, so a player or `flac -t` can prove the copy exact. The
// writer owns the file: libFLAC only hands it bytes, and the last header rewrite, the flush, the
// sync and the close are each checked.

#include "rip/step/filecloser.h"
#include "rip/step/ripfailure.h"

#include <FLAC/stream_encoder.h>

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

class FlacFileWriter final {
public:
    explicit FlacFileWriter(FileCloser close = CloseFile) : m_close(close) {}

    // level: libFLAC's compression level, 0 (fastest) to 8 (smallest). samples: the track's
    // length in samples per channel, for the header (0 when not known). shownName: how the file
    // is named in a failure.
    std::optional<RipFailure> create(const QString& path, const QString& shownName, int level,
                                     quint64 samples);
    std::optional<RipFailure> append(const char* data, qsizetype n);
    std::optional<RipFailure> finish();
    // Samples per channel handed to the encoder so far.
    quint64 samples() const { return m_samplesIn; }

private:
    struct EncoderDeleter {
        void operator()(FLAC__StreamEncoder* encoder) const {
            FLAC__stream_encoder_delete(encoder);
        }
    };
    // A file given up on after a failure: its close tells nothing more.
    struct AbandonFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    static FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte* bytes,
                                                size_t n, uint32_t, uint32_t, void* writer);
    static FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                              void* writer);
    static FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                              void* writer);
    RipFailure EncoderFailure(const QString& action) const;

    FileCloser m_close;
    std::unique_ptr<std::FILE, AbandonFile> m_file;
    std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> m_encoder;
    QString m_fileName;
    int m_fileError = 0;       // errno of the write or seek the disk refused
    QByteArray m_partialFrame; // bytes of a stereo frame a block ended inside
    std::vector<FLAC__int32> m_samples;
    quint64 m_samplesIn = 0;
};
