#include "verify/filecheck.h"

#include <FLAC/metadata.h>

#include <QFile>

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

namespace {

constexpr double kSampleRate = 44100.0;
constexpr double kLeeway = 0.5; // seconds: an encoder's frames and its delay fit well within

struct InputCloser {
    void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

QString Seconds(double seconds) {
    return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
}

QString FFmpegError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// The container's word on the length when it has one, else the packets' own durations.
double SecondsOf(AVFormatContext& input, const AVStream& audio) {
    if (audio.duration != AV_NOPTS_VALUE && audio.duration > 0)
        return double(audio.duration) * av_q2d(audio.time_base);
    if (input.duration != AV_NOPTS_VALUE && input.duration > 0)
        return double(input.duration) / AV_TIME_BASE;
    AVPacket* packet = av_packet_alloc();
    qint64 ticks = 0;
    while (packet != nullptr && av_read_frame(&input, packet) == 0) {
        if (packet->stream_index == audio.index)
            ticks += packet->duration;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return double(ticks) * av_q2d(audio.time_base);
}

std::optional<QString> FlacHeaderProblem(const QString& path, qint64 samples) {
    FLAC__StreamMetadata info;
    if (!FLAC__metadata_get_streaminfo(QFile::encodeName(path).constData(), &info))
        return QStringLiteral("its stream header cannot be read");
    const auto counted = qint64(info.data.stream_info.total_samples);
    if (counted == samples)
        return std::nullopt;
    return QStringLiteral("its stream header counts %1 samples, not %2").arg(counted).arg(samples);
}

} // namespace

std::optional<QString> AudioFileProblem(const QString& path, const char* codec, qint64 samples) {
    AVFormatContext* opened = nullptr;
    if (const int error =
            avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr))
        return QStringLiteral("FFmpeg cannot open it: ") + FFmpegError(error);
    const Input input(opened);
    if (const int error = avformat_find_stream_info(input.get(), nullptr); error < 0)
        return QStringLiteral("FFmpeg cannot read it: ") + FFmpegError(error);
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return QStringLiteral("it holds no audio");
    const AVStream& audio = *input->streams[index];
    const char* found = avcodec_get_name(audio.codecpar->codec_id);
    if (qstrcmp(found, codec) != 0)
        return QStringLiteral("it holds %1 audio, not %2")
            .arg(QString::fromLatin1(found), QString::fromLatin1(codec));
    const double expected = double(samples) / kSampleRate;
    const double seconds = SecondsOf(*input, audio);
    if (std::abs(seconds - expected) > kLeeway)
        return QStringLiteral("it lasts %1, not %2").arg(Seconds(seconds), Seconds(expected));
    if (qstrcmp(codec, "flac") == 0)
        return FlacHeaderProblem(path, samples);
    return std::nullopt;
}
