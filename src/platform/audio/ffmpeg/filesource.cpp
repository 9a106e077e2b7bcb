#include "platform/audio/ffmpeg/filesource.h"

#include "common/audiolibrary.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace {

constexpr int kRate = 44100;
constexpr int kFrameBytes = 4;

int OpenError(int ffmpegError) {
    const bool unreadable = ffmpegError == AVERROR(ENOENT) || ffmpegError == AVERROR(EACCES) ||
                            ffmpegError == AVERROR(EISDIR);
    return unreadable ? BASS_ERROR_FILEOPEN : BASS_ERROR_FORMAT;
}

// To 44100 Hz 16-bit stereo; a mono source plays at full level on both channels.
SwrContextHandle MakeResampler(const AVCodecContext& codec) {
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in{};
    if (codec.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, codec.ch_layout.nb_channels);
    else
        av_channel_layout_copy(&in, &codec.ch_layout);
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_S16, kRate, &in,
                                         codec.sample_fmt, codec.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    SwrContextHandle resampler(raw);
    if (made < 0 || !resampler)
        return nullptr;
    av_opt_set_double(raw, "center_mix_level", 1.0, 0);
    if (swr_init(raw) < 0)
        return nullptr;
    return resampler;
}

std::uint64_t SecondsToBytes(double seconds) {
    return static_cast<std::uint64_t>(std::max(0.0, std::round(seconds * kRate))) * kFrameBytes;
}

double StatedSeconds(const AVFormatContext& format, const AVStream& stream) {
    if (stream.duration != AV_NOPTS_VALUE)
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    if (format.duration != AV_NOPTS_VALUE)
        return static_cast<double>(format.duration) / AV_TIME_BASE;
    return 0;
}

// The samples an encoder added before and after the audio (MP3's delay and padding), as the
// demuxer marks them on the first and last packets.
double TrimmedSeconds(const AVPacket& packet, int sampleRate) {
    std::size_t size = 0;
    const std::uint8_t* skip = av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (!skip || size < 8 || sampleRate <= 0)
        return 0;
    auto le32 = [](const std::uint8_t* p) {
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    };
    return double(le32(skip) + le32(skip + 4)) / sampleRate;
}

// The packets' durations less what the decoder trims. A quick pass reading the packets
// without decoding them; the file is rewound afterwards.
std::optional<double> PacketSeconds(AVFormatContext& format, int index) {
    const AVStream& stream = *format.streams[index];
    PacketHandle packet(av_packet_alloc());
    double seconds = 0;
    while (packet && av_read_frame(&format, packet.get()) >= 0) {
        if (packet->stream_index == index) {
            seconds += static_cast<double>(packet->duration) * av_q2d(stream.time_base);
            seconds -= TrimmedSeconds(*packet, stream.codecpar->sample_rate);
        }
        av_packet_unref(packet.get());
    }
    if (av_seek_frame(&format, -1, 0, AVSEEK_FLAG_BACKWARD) < 0 || seconds <= 0)
        return std::nullopt;
    return seconds;
}

std::uint64_t LengthBytes(AVFormatContext& format, int index) {
    const AVStream& stream = *format.streams[index];
    // An MP3 states its length with the encoder's delay and padding (up to 50 ms more than
    // it plays); other formats state what they play.
    if (stream.codecpar->codec_id != AV_CODEC_ID_MP3)
        return SecondsToBytes(StatedSeconds(format, stream));
    return SecondsToBytes(PacketSeconds(format, index).value_or(StatedSeconds(format, stream)));
}

} // namespace

std::unique_ptr<FileSource> FileSource::open(const std::string& path, int& error) {
    // FFmpeg's notes on timestamps of trimmed samples are no concern of the user's.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* raw = nullptr;
    if (const int opened = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); opened < 0) {
        error = OpenError(opened);
        return nullptr;
    }
    FormatContextHandle format(raw);
    error = BASS_ERROR_FORMAT;
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return nullptr;
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder)
        return nullptr;
    CodecContextHandle codec(avcodec_alloc_context3(decoder));
    if (!codec ||
        avcodec_parameters_to_context(codec.get(), format->streams[index]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return nullptr;
    SwrContextHandle resampler = MakeResampler(*codec);
    if (!resampler)
        return nullptr;
    error = BASS_OK;
    const std::uint64_t length = LengthBytes(*format, index);
    std::unique_ptr<FileSource> source(
        new FileSource(std::move(format), std::move(codec), std::move(resampler), index));
    source->m_length = length;
    return source;
}

FileSource::FileSource(FormatContextHandle format, CodecContextHandle codec,
                       SwrContextHandle resampler, int streamIndex)
    : m_format(std::move(format)), m_codec(std::move(codec)), m_resampler(std::move(resampler)),
      m_packet(av_packet_alloc()), m_frame(av_frame_alloc()), m_streamIndex(streamIndex) {}

int FileSource::read(char* buffer, int n) {
    const std::uint64_t left = m_length - std::min(m_position, m_length);
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, 0), left));
    std::size_t done = 0;
    while (done < wanted) {
        if (m_pendingOffset == m_pending.size()) {
            m_pending.clear();
            m_pendingOffset = 0;
            if (!decodeMore())
                break;
            continue;
        }
        const std::size_t count = std::min(wanted - done, m_pending.size() - m_pendingOffset);
        std::memcpy(buffer + done, m_pending.data() + m_pendingOffset, count);
        m_pendingOffset += count;
        done += count;
    }
    m_position += done;
    if (done == 0 && m_error != 0)
        return -1;
    return static_cast<int>(done);
}

// Rewinds to the start and decodes up to the byte: exact for every format, at the
// cost of decoding what lies before it.
bool FileSource::seek(std::uint64_t byte) {
    byte = byte / kFrameBytes * kFrameBytes;
    if (byte > m_length)
        return false;
    if (av_seek_frame(m_format.get(), -1, 0, AVSEEK_FLAG_BACKWARD) < 0) {
        m_error = BASS_ERROR_POSITION;
        return false;
    }
    avcodec_flush_buffers(m_codec.get());
    swr_close(m_resampler.get());
    if (swr_init(m_resampler.get()) < 0) {
        m_error = BASS_ERROR_FORMAT;
        return false;
    }
    m_pending.clear();
    m_pendingOffset = 0;
    m_inputEnded = m_decoderDrained = m_resamplerFlushed = false;
    m_error = 0;
    m_position = 0;
    return discardTo(byte);
}

bool FileSource::discardTo(std::uint64_t byte) {
    std::vector<char> scratch(65536);
    while (m_position < byte) {
        const auto chunk =
            static_cast<int>(std::min<std::uint64_t>(scratch.size(), byte - m_position));
        if (read(scratch.data(), chunk) <= 0)
            return m_error == 0; // a file shorter than its stated length ends here
    }
    return true;
}

// Converts the next decoded audio into m_pending; false at the end or on an error.
bool FileSource::decodeMore() {
    while (m_error == 0) {
        if (m_decoderDrained) {
            if (std::exchange(m_resamplerFlushed, true))
                return false;
            return flushResampler() && !m_pending.empty();
        }
        const int received = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (received == 0) {
            const bool converted = convert(m_frame.get());
            av_frame_unref(m_frame.get());
            if (converted && !m_pending.empty())
                return true;
        } else if (received == AVERROR_EOF) {
            m_decoderDrained = true;
        } else if (received != AVERROR(EAGAIN)) {
            m_error = BASS_ERROR_FORMAT;
        } else if (!feedDecoder()) {
            return false;
        }
    }
    return false;
}

// Hands the decoder the next packet of the audio stream, or the end of the file.
bool FileSource::feedDecoder() {
    while (true) {
        const int got = av_read_frame(m_format.get(), m_packet.get());
        if (got == AVERROR_EOF) {
            m_inputEnded = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            return true;
        }
        if (got < 0) {
            m_error = BASS_ERROR_FORMAT;
            return false;
        }
        if (m_packet->stream_index != m_streamIndex) {
            av_packet_unref(m_packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        // A damaged packet is skipped, as players do: the audio goes on after it.
        if (sent < 0 && sent != AVERROR_INVALIDDATA) {
            m_error = BASS_ERROR_FORMAT;
            return false;
        }
        return true;
    }
}

bool FileSource::convert(const AVFrame* frame) {
    const int room = swr_get_out_samples(m_resampler.get(), frame ? frame->nb_samples : 0);
    if (room < 0) {
        m_error = BASS_ERROR_FORMAT;
        return false;
    }
    const std::size_t before = m_pending.size();
    m_pending.resize(before + static_cast<std::size_t>(room) * kFrameBytes);
    auto* out = reinterpret_cast<std::uint8_t*>(m_pending.data() + before);
    const int made =
        swr_convert(m_resampler.get(), &out, room,
                    frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                    frame ? frame->nb_samples : 0);
    m_pending.resize(before + static_cast<std::size_t>(std::max(made, 0)) * kFrameBytes);
    if (made < 0)
        m_error = BASS_ERROR_FORMAT;
    return made >= 0;
}

bool FileSource::flushResampler() {
    return convert(nullptr);
}
