#include "support/audioprobe.h"

#include "platform/audio/ffmpeg/ffmpeghandles.h"

#include <QFile>

namespace {
// Samples per channel the decoder delivers for the whole stream; float planes are kept.
long long DecodeAll(AVFormatContext& input, const AVStream& audio, AudioProbe& probe) {
    const AVCodec* codec = avcodec_find_decoder(audio.codecpar->codec_id);
    const CodecContextHandle decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), audio.codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return -1;
    const PacketHandle packet(av_packet_alloc());
    const FrameHandle frame(av_frame_alloc());
    long long samples = 0;
    for (bool more = true; more;) {
        more = av_read_frame(&input, packet.get()) == 0;
        if (more && packet->stream_index != audio.index) {
            av_packet_unref(packet.get());
            continue;
        }
        avcodec_send_packet(decoder.get(), more ? packet.get() : nullptr);
        av_packet_unref(packet.get());
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            samples += frame->nb_samples;
            for (int c = 0;
                 frame->format == AV_SAMPLE_FMT_FLTP && c < 2 && c < frame->ch_layout.nb_channels;
                 ++c) {
                const auto* plane = reinterpret_cast<const float*>(frame->extended_data[c]);
                probe.channels[c].insert(probe.channels[c].end(), plane, plane + frame->nb_samples);
            }
        }
    }
    return samples;
}
} // namespace

AudioProbe ProbeAudio(const QString& path) {
    AudioProbe probe;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr) != 0)
        return probe;
    const FormatContextHandle input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0 || input->nb_streams == 0)
        return probe;
    probe.opened = true;
    const AVStream* audio = input->streams[0];
    probe.bitRate = audio->codecpar->bit_rate > 0 ? audio->codecpar->bit_rate : input->bit_rate;
    for (AVDictionary* tags : {input->metadata, audio->metadata})
        for (const AVDictionaryEntry* tag = nullptr;
             (tag = av_dict_get(tags, "", tag, AV_DICT_IGNORE_SUFFIX));)
            probe.tags[tag->key] = tag->value;
    probe.seconds = double(DecodeAll(*input, *audio, probe)) / audio->codecpar->sample_rate;
    return probe;
}
