#include "rip/files/trackaudio.h"

#include <FLAC/stream_decoder.h>

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Take = std::function<bool(const char*, qsizetype)>;

constexpr qsizetype kBlockBytes = 1 << 16;

std::optional<QString> PumpWav(const QString& path, const Take& take) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray header = file.read(WavFileWriter::kHeaderBytes);
    const qint64 dataBytes = file.size() - WavFileWriter::kHeaderBytes;
    // The rip's own files: a plain 44-byte header that describes exactly the audio behind it.
    if (dataBytes < 0 || header != WavHeaderBytes(kCdWavFormat, quint32(dataBytes)))
        return QStringLiteral("it is not a WAV file of CD audio");
    while (!file.atEnd()) {
        const QByteArray block = file.read(kBlockBytes);
        if (block.isEmpty())
            return file.errorString();
        if (!take(block.constData(), block.size()))
            return QStringLiteral("stopped");
    }
    return std::nullopt;
}

struct FlacPump {
    const Take& take;
    std::vector<char> bytes;
    std::optional<QString> failure;
    bool hasSignature = false; // the stream header carries an MD5 signature
};

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const buffer[], void* user) {
    auto& pump = *static_cast<FlacPump*>(user);
    if (frame->header.channels != 2 || frame->header.bits_per_sample != 16 ||
        frame->header.sample_rate != kCdWavFormat.sampleRate) {
        pump.failure = QStringLiteral("it is not a FLAC file of CD audio");
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    pump.bytes.resize(std::size_t(frame->header.blocksize) * 4);
    char* out = pump.bytes.data();
    for (unsigned i = 0; i < frame->header.blocksize; ++i)
        for (int channel = 0; channel < 2; ++channel, out += 2)
            qToLittleEndian<qint16>(static_cast<qint16>(buffer[channel][i]), out);
    if (pump.take(pump.bytes.data(), qsizetype(pump.bytes.size())))
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    pump.failure = QStringLiteral("stopped");
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
}

void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* user) {
    if (block->type != FLAC__METADATA_TYPE_STREAMINFO)
        return;
    const FLAC__byte* md5 = block->data.stream_info.md5sum;
    static_cast<FlacPump*>(user)->hasSignature =
        std::any_of(md5, md5 + 16, [](FLAC__byte b) { return b != 0; });
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status, void* user) {
    auto& pump = *static_cast<FlacPump*>(user);
    if (!pump.failure)
        pump.failure = QString::fromLatin1(FLAC__StreamDecoderErrorStatusString[status]);
}

std::optional<QString> PumpFlac(const QString& path, const Take& take) {
    const std::unique_ptr<FLAC__StreamDecoder, void (*)(FLAC__StreamDecoder*)> decoder(
        FLAC__stream_decoder_new(), FLAC__stream_decoder_delete);
    FlacPump pump{take, {}, {}};
    FLAC__stream_decoder_set_md5_checking(decoder.get(), true);
    if (FLAC__stream_decoder_init_file(decoder.get(), QFile::encodeName(path).constData(), Write,
                                       Metadata, Error,
                                       &pump) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
        return QStringLiteral("it could not be opened");
    const bool decoded = FLAC__stream_decoder_process_until_end_of_stream(decoder.get());
    const bool matches = FLAC__stream_decoder_finish(decoder.get()); // checks the signature
    if (pump.failure)
        return pump.failure;
    if (!decoded)
        return QStringLiteral("it could not be decoded to its end");
    if (!pump.hasSignature || !matches)
        return QStringLiteral("its audio does not match its MD5 signature");
    return std::nullopt;
}

} // namespace

std::optional<QString> PumpFileAudio(const QString& path, const Take& take) {
    if (path.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive))
        return PumpFlac(path, take);
    return PumpWav(path, take);
}
