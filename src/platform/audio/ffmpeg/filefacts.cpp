#include "platform/audio/ffmpeg/filefacts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

#include <memory>

namespace {

struct InputCloser {
    void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

std::string FFmpegError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

AudioFileFacts Unreadable(std::string reason) {
    return {{}, 0, std::move(reason)};
}

// The container's word on the length when it has one, else the packets' own durations.
double SecondsOf(AVFormatContext& input, const AVStream& audio) {
    if (audio.duration != AV_NOPTS_VALUE && audio.duration > 0)
        return double(audio.duration) * av_q2d(audio.time_base);
    if (input.duration != AV_NOPTS_VALUE && input.duration > 0)
        return double(input.duration) / AV_TIME_BASE;
    AVPacket* packet = av_packet_alloc();
    std::int64_t ticks = 0;
    while (packet != nullptr && av_read_frame(&input, packet) == 0) {
        if (packet->stream_index == audio.index)
            ticks += packet->duration;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return double(ticks) * av_q2d(audio.time_base);
}

} // namespace

AudioFileFacts ReadFileFacts(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (const int error = avformat_open_input(&opened, path.c_str(), nullptr, nullptr))
        return Unreadable("FFmpeg cannot open it: " + FFmpegError(error));
    const Input input(opened);
    if (const int error = avformat_find_stream_info(input.get(), nullptr); error < 0)
        return Unreadable("FFmpeg cannot read it: " + FFmpegError(error));
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return Unreadable("it holds no audio");
    const AVStream& audio = *input->streams[index];
    return {avcodec_get_name(audio.codecpar->codec_id), SecondsOf(*input, audio), {}};
}
