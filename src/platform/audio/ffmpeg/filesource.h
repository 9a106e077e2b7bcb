#pragma once

#include "platform/audio/core/pcmsource.h"
#include "platform/audio/ffmpeg/ffmpeghandles.h"

#include <memory>
#include <string>
#include <vector>

// The audio of a file (WAV, MP3, OGG, FLAC, WMA, whatever FFmpeg reads) as CD
// audio: decoded, then resampled and remixed to 44100 Hz 16-bit stereo. Mono
// plays at full level on both channels. The length comes from the file's own
// duration; reads end there at the latest.
class FileSource final : public PcmSource {
public:
    // Null when the file cannot be opened (error: BASS_ERROR_FILEOPEN) or holds
    // no audio FFmpeg can decode (BASS_ERROR_FORMAT).
    static std::unique_ptr<FileSource> open(const std::string& path, int& error);

    std::uint64_t length() const override { return m_length; }
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }

private:
    FileSource(FormatContextHandle format, CodecContextHandle codec, SwrContextHandle resampler,
               int streamIndex);

    bool decodeMore();
    bool feedDecoder();
    bool convert(const AVFrame* frame);
    bool flushResampler();
    bool discardTo(std::uint64_t byte);

    FormatContextHandle m_format;
    CodecContextHandle m_codec;
    SwrContextHandle m_resampler;
    PacketHandle m_packet;
    FrameHandle m_frame;
    const int m_streamIndex;
    std::uint64_t m_length = 0;
    std::uint64_t m_position = 0; // bytes handed out
    std::vector<char> m_pending;  // converted, not yet handed out
    std::size_t m_pendingOffset = 0;
    bool m_inputEnded = false; // the decoder has had the last packet
    bool m_decoderDrained = false;
    bool m_resamplerFlushed = false;
    int m_error = 0;
};
