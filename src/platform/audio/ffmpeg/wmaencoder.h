#pragma once

#include "platform/audio/ffmpeg/ffmpeghandles.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One WMA file being written: FFmpeg's wmav2 encoder in an ASF file, fed with
// 16-bit interleaved stereo PCM. Tags collect until the header is written (at
// the end of the tags, or with the first audio); audio is encoded in the
// encoder's frame size and the rest of a block waits for the next one. FFmpeg
// decodes the file to the written audio, padded to a whole frame (46 ms).
//
// Every operation returns the family's error code, BASS_OK on success. After a
// failed write the encoder refuses more audio with the same code; close() still
// finishes the file as far as the disk allows.
class WmaEncoder {
public:
    // The file is created (or emptied) here; null and the code when it cannot be.
    static std::unique_ptr<WmaEncoder> open(int sampleRate, int bitRate, const char* path,
                                            int& error);
    ~WmaEncoder();
    WmaEncoder(const WmaEncoder&) = delete;
    WmaEncoder& operator=(const WmaEncoder&) = delete;

    // name is the WMA attribute ("Title", "Author", "WM/Genre", ...), text UTF-8.
    int setTag(const std::string& name, const std::string& text);
    int writeHeader();
    int write(const std::int16_t* interleaved, std::size_t frames);
    // Encodes what waits (padded with silence to a whole frame), writes the trailer and closes.
    int close();

private:
    WmaEncoder() = default;
    int openCodec(int sampleRate, int bitRate);
    int openFile(const char* path);
    int prepareFrame();
    int convert(const std::int16_t* interleaved, int count);
    int padAndEncodeFrame();
    int encodeFrame();
    int send(const AVFrame* frame);
    int writePacket();
    int finishAudio();
    void keepEachTagOnce();
    int fail(int code);

    CodecContextHandle m_codec;
    OutputFormatContextHandle m_format;
    FrameHandle m_frame;
    PacketHandle m_packet;
    SwrContextHandle m_converter;
    AVStream* m_stream = nullptr;
    int m_filled = 0; // samples per channel waiting in m_frame
    std::int64_t m_nextPts = 0;
    std::string m_path;
    bool m_tagged = false;
    bool m_headerWritten = false;
    bool m_closed = false;
    int m_failure = 0;
};
