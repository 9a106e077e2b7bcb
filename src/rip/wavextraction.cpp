#include "rip/wavextraction.h"

#include "rip/trackextraction.h"
#include "rip/wavfilewriter.h"

namespace {

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

} // namespace

TrackOutcome ExtractAudioTrackToWav(const RipContext& job, const DiscTrack& track,
                                    const QString& path, const QString& shownName) {
    WavFileWriter wav(job.closeFile);
    return ExtractTrack(job, track, wav, [&](DWORD stream) -> std::optional<RipFailure> {
        const std::optional<WavFormat> format = ReadWavFormat(job.bass.core, stream);
        if (!format)
            return TooLong(shownName);
        if (auto failure = wav.create(path, shownName))
            return failure;
        return wav.writeHeader(*format);
    });
}
