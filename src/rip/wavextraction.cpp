#include "rip/wavextraction.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/product.h"
#include "rip/extractionresources.h"
#include "rip/stagedfile.h"
#include "rip/wavfilewriter.h"

#include <functional>

// Copies one disc track into an uncompressed WAV file, block by block. The user-interface
// events run between blocks, which is when the rip dialog's Stop button and its progress bar
// get their turn.

namespace {

constexpr DWORD kBlockBytes = 20000;

std::optional<WavFormat> ReadWavFormat(BassCore& core, DWORD stream) {
    BASS_CHANNELINFO info;
    core.BASS_ChannelGetInfo(stream, &info);
    DWORD frequency = 0;
    core.BASS_ChannelGetAttributes(stream, &frequency, nullptr, nullptr);
    WavFormat format;
    format.channels = static_cast<quint16>(info.chans > 2 ? 2 : info.chans);
    format.bitsPerSample = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    format.blockAlign = static_cast<quint16>(format.channels * format.bitsPerSample / 8);
    const qint64 bytesPerSecond = qint64(format.blockAlign) * frequency;
    if (frequency > quint32(WavFileWriter::kLargestRiffSize) ||
        bytesPerSecond > WavFileWriter::kLargestRiffSize)
        return std::nullopt;
    format.sampleRate = frequency;
    format.bytesPerSecond = static_cast<quint32>(bytesPerSecond);
    return format;
}

struct CopyOutcome {
    bool complete = false;
    std::optional<RipFailure> failure;
};

CopyOutcome Failed(RipFailure failure) {
    return {false, std::move(failure)};
}

// The blocks and the sizes. Complete when the decoder reached the end of the track; a stop
// request ends it early with a valid, shorter file.
CopyOutcome CopyTrackToWav(BassCore& core, WavFileWriter& wav, DWORD stream, int lTrack,
                           const bool& stopRequested,
                           const std::function<void(DWORD)>& afterBlock) {
    QByteArray buffer;
    bool complete = false;
    for (;;) {
        if (core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED) {
            complete = true;
            break;
        }
        // A short block must not leave the next read a smaller buffer than it asks to fill.
        buffer.resize(kBlockBytes);
        const int n = core.BASS_ChannelGetData(stream, buffer.data(), kBlockBytes);
        if (n <= 0)
            return Failed(ReadFailure(core, lTrack, n));
        if (auto failure = wav.append(buffer.constData(), n))
            return Failed(*failure);
        afterBlock(stream);
        if (stopRequested) {
            // A stop that came after the last block still leaves the whole track.
            complete = core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
            break;
        }
    }
    if (auto failure = wav.patchSizes())
        return Failed(*failure);
    return {complete, std::nullopt};
}

} // namespace

bool ExtractAudioTrackToWav(const RipContext& job, int lTrack, const StagedFile& file) {
    ExtractionResources held(job);
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(lTrack), kDecodeStreamFlags);
    if (stream == 0) {
        job.dialogs.showMessage(job.boxOwner, QStringLiteral("Unable to Create CD Stream!"),
                                kProductName, MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    held.adoptStream(stream);
    WavFileWriter wav;

    CopyOutcome outcome;
    const std::optional<WavFormat> format = ReadWavFormat(job.bass.core, stream);
    if (!format)
        outcome = Failed(TooLong(file.finalPath()));
    else if (auto failure = wav.create(file.path(), file.finalPath()))
        outcome = Failed(*failure);
    else if (auto failure = wav.writeHeader(*format))
        outcome = Failed(*failure);
    else
        outcome =
            CopyTrackToWav(job.bass.core, wav, stream, lTrack, job.stopRequested, job.blockWritten);

    if (outcome.failure) {
        ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"),
                  QStringLiteral("ExtractAudioTrack"), outcome.failure->number,
                  outcome.failure->description);
    }
    return outcome.complete && !ReportDamage(job, stream, lTrack);
}
