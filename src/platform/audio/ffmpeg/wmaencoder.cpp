#include "platform/audio/ffmpeg/wmaencoder.h"

#include "common/audiolibrary.h"
#include "platform/audio/ffmpeg/asfattributes.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace {

constexpr int kChannels = 2;

// The ASF muxer puts whole audio frames into packets of one fixed size and pads
// the rest of a packet that cannot take the next frame. Its default 3,200-byte
// packets hold one or two frames at high bit rates, so the padding makes a file
// at 192 kbps some 40 % bigger than its bit rate says. A packet sized for a
// whole number of frames with their payload headers carries no padding at all;
// eight frames keep packets near the default size at 128 kbps.
constexpr int kFramesPerPacket = 8;
constexpr int kPayloadHeaderBytes = 17; // per frame: stream, object, offset, replicated data, size
constexpr int kPacketHeaderBytes = 12;  // error correction, flags, send time, duration, payloads

int PacketSizeFor(int frameBytes) {
    return kFramesPerPacket * (frameBytes + kPayloadHeaderBytes) + kPacketHeaderBytes;
}

// FFmpeg's own names for the WMA attributes it knows. The ASF muxer writes them
// back under their WMA names; any other attribute keeps its WMA name.
std::string MetadataKey(const std::string& wmaName) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kKeys = {{
        {"Title", "title"},
        {"Author", "artist"},
        {"WM/AlbumTitle", "album"},
        {"Description", "comment"},
        {"Rating", "rating"},
        {"Copyright", "copyright"},
        {"WM/Genre", "genre"},
    }};
    for (const auto& [wma, ffmpeg] : kKeys)
        if (wma == wmaName)
            return std::string(ffmpeg);
    return wmaName;
}

// A file that cannot take more (a full disk, a device error) reads as "could not create".
int CodeForFileError(int averror) {
    return averror == AVERROR(ENOMEM) ? BASS_ERROR_MEM : BASS_ERROR_CREATE;
}

} // namespace

std::unique_ptr<WmaEncoder> WmaEncoder::open(int sampleRate, int bitRate, const char* path,
                                             int& error) {
    std::unique_ptr<WmaEncoder> encoder(new WmaEncoder());
    error = encoder->openCodec(sampleRate, bitRate);
    if (error == BASS_OK)
        error = encoder->openFile(path);
    if (error == BASS_OK)
        return encoder;
    encoder->m_closed = true; // nothing was written: no file to finish
    return nullptr;
}

WmaEncoder::~WmaEncoder() {
    close();
}

int WmaEncoder::openCodec(int sampleRate, int bitRate) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec)
        return BASS_ERROR_NOTAVAIL;
    m_codec.reset(avcodec_alloc_context3(codec));
    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_codec || !m_frame || !m_packet)
        return BASS_ERROR_MEM;
    m_codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_codec->sample_rate = sampleRate;
    m_codec->bit_rate = bitRate;
    m_codec->time_base = AVRational{1, sampleRate};
    av_channel_layout_default(&m_codec->ch_layout, kChannels);
    m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER; // ASF keeps the codec's setup in its header
    if (avcodec_open2(m_codec.get(), codec, nullptr) < 0)
        return BASS_ERROR_ILLPARAM;
    return prepareFrame();
}

int WmaEncoder::prepareFrame() {
    m_frame->format = m_codec->sample_fmt;
    m_frame->sample_rate = m_codec->sample_rate;
    m_frame->nb_samples = m_codec->frame_size;
    if (av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout) < 0 ||
        av_frame_get_buffer(m_frame.get(), 0) < 0)
        return BASS_ERROR_MEM;
    // Decoders drop the encoder's declared lead-in from the start of a file: it
    // must be silence, or the first audio of the track is lost.
    m_filled = std::min(m_codec->initial_padding, m_codec->frame_size);
    av_samples_set_silence(m_frame->data, 0, m_filled, kChannels, m_codec->sample_fmt);
    SwrContext* converter = nullptr;
    const int made = swr_alloc_set_opts2(&converter, &m_codec->ch_layout, m_codec->sample_fmt,
                                         m_codec->sample_rate, &m_codec->ch_layout,
                                         AV_SAMPLE_FMT_S16, m_codec->sample_rate, 0, nullptr);
    m_converter.reset(converter);
    if (made < 0 || swr_init(m_converter.get()) < 0)
        return BASS_ERROR_MEM;
    return BASS_OK;
}

int WmaEncoder::openFile(const char* path) {
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, "asf", path) < 0)
        return BASS_ERROR_NOTAVAIL;
    m_format.reset(format);
    m_stream = avformat_new_stream(format, nullptr);
    if (!m_stream || avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0)
        return BASS_ERROR_MEM;
    m_stream->time_base = m_codec->time_base;
    if (av_opt_set_int(format->priv_data, "packet_size", PacketSizeFor(m_codec->block_align), 0) <
        0)
        return BASS_ERROR_ILLPARAM;
    if (avio_open(&format->pb, path, AVIO_FLAG_WRITE) < 0)
        return BASS_ERROR_CREATE;
    m_path = path;
    return BASS_OK;
}

int WmaEncoder::setTag(const std::string& name, const std::string& text) {
    if (m_headerWritten)
        return BASS_ERROR_ALREADY;
    if (av_dict_set(&m_format->metadata, MetadataKey(name).c_str(), text.c_str(), 0) < 0)
        return BASS_ERROR_MEM;
    m_tagged = true;
    return BASS_OK;
}

int WmaEncoder::writeHeader() {
    if (m_failure != BASS_OK)
        return m_failure;
    if (m_headerWritten)
        return BASS_OK;
    const int written = avformat_write_header(m_format.get(), nullptr);
    if (written < 0)
        return fail(CodeForFileError(written));
    m_headerWritten = true;
    return BASS_OK;
}

int WmaEncoder::write(const std::int16_t* interleaved, std::size_t frames) {
    if (const int error = writeHeader())
        return error;
    while (frames > 0) {
        if (m_filled == 0 && av_frame_make_writable(m_frame.get()) < 0)
            return fail(BASS_ERROR_MEM);
        const int room = m_codec->frame_size - m_filled;
        const int count = static_cast<int>(std::min<std::size_t>(frames, room));
        if (const int error = convert(interleaved, count))
            return error;
        interleaved += static_cast<std::size_t>(count) * kChannels;
        frames -= count;
        m_filled += count;
        if (m_filled == m_codec->frame_size)
            if (const int error = encodeFrame())
                return error;
    }
    return BASS_OK;
}

int WmaEncoder::convert(const std::int16_t* interleaved, int count) {
    const std::size_t offset = static_cast<std::size_t>(m_filled) * sizeof(float);
    std::array<std::uint8_t*, kChannels> planes{m_frame->data[0] + offset,
                                                m_frame->data[1] + offset};
    const auto* input = reinterpret_cast<const std::uint8_t*>(interleaved);
    if (swr_convert(m_converter.get(), planes.data(), count, &input, count) != count)
        return fail(BASS_ERROR_UNKNOWN);
    return BASS_OK;
}

int WmaEncoder::padAndEncodeFrame() {
    if (m_filled == 0 && av_frame_make_writable(m_frame.get()) < 0)
        return fail(BASS_ERROR_MEM);
    av_samples_set_silence(m_frame->data, m_filled, m_codec->frame_size - m_filled, kChannels,
                           m_codec->sample_fmt);
    m_filled = m_codec->frame_size;
    return encodeFrame();
}

int WmaEncoder::encodeFrame() {
    m_frame->nb_samples = m_filled;
    m_frame->pts = m_nextPts;
    m_nextPts += m_filled;
    m_filled = 0;
    return send(m_frame.get());
}

int WmaEncoder::send(const AVFrame* frame) {
    if (avcodec_send_frame(m_codec.get(), frame) < 0)
        return fail(BASS_ERROR_UNKNOWN);
    for (;;) {
        const int received = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return BASS_OK;
        if (received < 0)
            return fail(BASS_ERROR_UNKNOWN);
        if (const int error = writePacket())
            return error;
    }
}

int WmaEncoder::writePacket() {
    m_packet->stream_index = m_stream->index;
    av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
    const int written = av_write_frame(m_format.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    if (written < 0)
        return fail(CodeForFileError(written));
    // The file's own buffer takes the packet; a write that failed when it last passed its
    // bytes on to the file shows only here.
    return m_format->pb->error < 0 ? fail(CodeForFileError(m_format->pb->error)) : BASS_OK;
}

int WmaEncoder::finishAudio() {
    if (m_filled > 0)
        if (const int error = padAndEncodeFrame())
            return error;
    return send(nullptr);
}

int WmaEncoder::close() {
    if (m_closed)
        return m_failure;
    m_closed = true;
    if (writeHeader() == BASS_OK)
        finishAudio();
    if (m_headerWritten) {
        const int finished = av_write_trailer(m_format.get());
        if (finished < 0)
            fail(CodeForFileError(finished));
    }
    const int closed = avio_closep(&m_format->pb);
    if (closed < 0)
        fail(CodeForFileError(closed));
    keepEachTagOnce();
    return m_failure;
}

// A file whose tags could not be tidied is still whole and tagged: a failure here is not the
// file's.
void WmaEncoder::keepEachTagOnce() {
    if (m_tagged && m_headerWritten && m_failure == BASS_OK)
        KeepDescriptionFieldsOnce(m_path);
}

int WmaEncoder::fail(int code) {
    if (m_failure == BASS_OK)
        m_failure = code;
    return m_failure;
}
