#include "support/flacdecode.h"

#include <FLAC/stream_decoder.h>

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <memory>

namespace {
struct Decoding {
    FlacDecoded result;
    bool signed16Stereo = true;
    bool hasSignature = false;
};

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const buffer[], void* user) {
    auto& decoding = *static_cast<Decoding*>(user);
    decoding.signed16Stereo &= frame->header.channels == 2 && frame->header.bits_per_sample == 16;
    for (unsigned i = 0; i < frame->header.blocksize && decoding.signed16Stereo; ++i)
        for (int channel = 0; channel < 2; ++channel) {
            char bytes[2];
            qToLittleEndian<qint16>(static_cast<qint16>(buffer[channel][i]), bytes);
            decoding.result.pcm.append(bytes, 2);
        }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* user) {
    if (block->type != FLAC__METADATA_TYPE_STREAMINFO)
        return;
    const FLAC__byte* md5 = block->data.stream_info.md5sum;
    static_cast<Decoding*>(user)->hasSignature =
        std::any_of(md5, md5 + 16, [](FLAC__byte b) { return b != 0; });
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* user) {
    static_cast<Decoding*>(user)->signed16Stereo = false;
}
} // namespace

FlacDecoded DecodeFlac(const QString& path) {
    const std::unique_ptr<FLAC__StreamDecoder, void (*)(FLAC__StreamDecoder*)> decoder(
        FLAC__stream_decoder_new(), FLAC__stream_decoder_delete);
    Decoding decoding;
    FLAC__stream_decoder_set_md5_checking(decoder.get(), true);
    if (FLAC__stream_decoder_init_file(decoder.get(), QFile::encodeName(path).constData(), Write,
                                       Metadata, Error,
                                       &decoding) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
        return {};
    const bool decoded = FLAC__stream_decoder_process_until_end_of_stream(decoder.get());
    const bool signatureMatches = FLAC__stream_decoder_finish(decoder.get()); // checks the MD5
    decoding.result.ok =
        decoded && signatureMatches && decoding.hasSignature && decoding.signed16Stereo;
    return decoding.result;
}
