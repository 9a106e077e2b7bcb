#include "rip/encode/flacfilewriter.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>

namespace {
constexpr int kChannels = 2;
constexpr int kBytesPerFrame = 4;
} // namespace

std::optional<RipFailure> FlacFileWriter::create(const QString& path, const QString& shownName,
                                                 int level, quint64 samples) {
    m_fileName = shownName.isEmpty() ? path : shownName;
    m_file.reset(std::fopen(QFile::encodeName(path).constData(), "w+be"));
    if (!m_file)
        return FileFailure(errno, QStringLiteral("creating"), m_fileName);
    m_encoder.reset(FLAC__stream_encoder_new());
    if (!m_encoder)
        return FileFailure(ENOMEM, QStringLiteral("creating"), m_fileName);
    FLAC__StreamEncoder* encoder = m_encoder.get();
    FLAC__stream_encoder_set_channels(encoder, kChannels);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, 44100);
    FLAC__stream_encoder_set_compression_level(encoder,
                                               static_cast<unsigned>(std::clamp(level, 0, 8)));
    FLAC__stream_encoder_set_total_samples_estimate(encoder, samples);
    if (FLAC__stream_encoder_init_stream(encoder, Write, Seek, Tell, nullptr, this) ==
        FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        return std::nullopt;
    return EncoderFailure(QStringLiteral("creating"));
}

std::optional<RipFailure> FlacFileWriter::append(const char* data, qsizetype n) {
    m_partialFrame.append(data, n);
    const qsizetype frames = m_partialFrame.size() / kBytesPerFrame;
    m_samples.resize(static_cast<std::size_t>(frames * kChannels));
    const char* bytes = m_partialFrame.constData();
    for (std::size_t i = 0; i < m_samples.size(); ++i)
        m_samples[i] = qFromLittleEndian<qint16>(bytes + 2 * i);
    m_partialFrame.remove(0, frames * kBytesPerFrame);
    m_samplesIn += quint64(frames);
    if (frames == 0 || FLAC__stream_encoder_process_interleaved(m_encoder.get(), m_samples.data(),
                                                                static_cast<unsigned>(frames)))
        return std::nullopt;
    return EncoderFailure(QStringLiteral("writing"));
}

// Writes what is left and the header's length and MD5 signature, then ends the file.
std::optional<RipFailure> FlacFileWriter::finish() {
    if (!m_encoder)
        return std::nullopt;
    const bool finished = FLAC__stream_encoder_finish(m_encoder.get());
    std::optional<RipFailure> failure =
        finished ? std::nullopt : std::optional(EncoderFailure(QStringLiteral("finishing")));
    m_encoder.reset();
    if (const int error = FinishFile(m_file.release(), m_close); error != 0 && !failure)
        failure = FileFailure(error, QStringLiteral("closing"), m_fileName);
    return failure;
}

FLAC__StreamEncoderWriteStatus FlacFileWriter::Write(const FLAC__StreamEncoder*,
                                                     const FLAC__byte* bytes, size_t n, uint32_t,
                                                     uint32_t, void* writer) {
    auto* self = static_cast<FlacFileWriter*>(writer);
    errno = 0;
    if (std::fwrite(bytes, 1, n, self->m_file.get()) == n)
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    self->m_fileError = errno != 0 ? errno : ENOSPC;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus FlacFileWriter::Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                   void* writer) {
    auto* self = static_cast<FlacFileWriter*>(writer);
    if (::fseeko(self->m_file.get(), static_cast<off_t>(offset), SEEK_SET) == 0)
        return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
    self->m_fileError = errno;
    return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus FlacFileWriter::Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                   void* writer) {
    auto* self = static_cast<FlacFileWriter*>(writer);
    const off_t at = ::ftello(self->m_file.get());
    if (at < 0)
        return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

// A write the disk refused says why; anything else is the encoder's own state.
RipFailure FlacFileWriter::EncoderFailure(const QString& action) const {
    if (m_fileError != 0)
        return FileFailure(m_fileError, action, m_fileName);
    const FLAC__StreamEncoderState state = FLAC__stream_encoder_get_state(m_encoder.get());
    return {EIO, QStringLiteral("The FLAC encoder failed (") +
                     QString::fromLatin1(FLAC__StreamEncoderStateString[state]) +
                     QStringLiteral(", ") + action + QStringLiteral(" ") + m_fileName +
                     QStringLiteral(")")};
}
