#include "rip/flacfilewriter.h"

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
    errno = 0;
    if (FLAC__stream_encoder_init_file(encoder, QFile::encodeName(path).constData(), nullptr,
                                       nullptr) == FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        return std::nullopt;
    return FileFailure(errno != 0 ? errno : EIO, QStringLiteral("creating"), m_fileName);
}

std::optional<RipFailure> FlacFileWriter::append(const char* data, qsizetype n) {
    m_partialFrame.append(data, n);
    const qsizetype frames = m_partialFrame.size() / kBytesPerFrame;
    m_samples.resize(static_cast<std::size_t>(frames * kChannels));
    const char* bytes = m_partialFrame.constData();
    for (std::size_t i = 0; i < m_samples.size(); ++i)
        m_samples[i] = qFromLittleEndian<qint16>(bytes + 2 * i);
    m_partialFrame.remove(0, frames * kBytesPerFrame);
    errno = 0;
    if (frames == 0 || FLAC__stream_encoder_process_interleaved(m_encoder.get(), m_samples.data(),
                                                                static_cast<unsigned>(frames)))
        return std::nullopt;
    return EncoderFailure(QStringLiteral("writing"));
}

// Writes what is left and the header's length and MD5 signature.
std::optional<RipFailure> FlacFileWriter::finish() {
    if (!m_encoder)
        return std::nullopt;
    errno = 0;
    const bool finished = FLAC__stream_encoder_finish(m_encoder.get());
    const std::optional<RipFailure> failure =
        finished ? std::nullopt : std::optional(EncoderFailure(QStringLiteral("finishing")));
    m_encoder.reset();
    return failure;
}

// A write the disk refused says why; anything else is the encoder's own state.
RipFailure FlacFileWriter::EncoderFailure(const QString& action) const {
    const FLAC__StreamEncoderState state = FLAC__stream_encoder_get_state(m_encoder.get());
    if (state == FLAC__STREAM_ENCODER_IO_ERROR || state == FLAC__STREAM_ENCODER_CLIENT_ERROR)
        return FileFailure(errno != 0 ? errno : ENOSPC, action, m_fileName);
    return {EIO, QStringLiteral("The FLAC encoder failed (") +
                     QString::fromLatin1(FLAC__StreamEncoderStateString[state]) +
                     QStringLiteral(", ") + action + QStringLiteral(" ") + m_fileName +
                     QStringLiteral(")")};
}
