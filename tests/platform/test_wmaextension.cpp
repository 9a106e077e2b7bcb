// The WMA extension writes files that FFmpeg reads back: the length, bit rate,
// audio and tags that went in, a valid file after any close, and the family's
// error codes when a file cannot be made or cannot take more.
#include "platform/audio/ffmpeghandles.h"
#include "platform/audio/lasterror.h"
#include "platform/audio/wmaextension.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kFrameSamples = 2048; // wmav2's frame at 44.1 kHz

// Stereo sine, a different tone and level per channel so swaps and scaling show.
double Source(int channel, std::int64_t sample) {
    const double hz = channel == 0 ? 440.0 : 1000.0;
    const double level = channel == 0 ? 0.5 : 0.25;
    return level * std::sin(2 * std::numbers::pi * hz * static_cast<double>(sample) / kRate);
}

std::vector<std::int16_t> SourcePcm(std::int64_t from, std::int64_t frames) {
    std::vector<std::int16_t> pcm;
    for (std::int64_t i = from; i < from + frames; ++i)
        for (int channel = 0; channel < 2; ++channel)
            pcm.push_back(static_cast<std::int16_t>(std::lround(32767 * Source(channel, i))));
    return pcm;
}

struct InputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// What FFmpeg reads back from a file.
struct DecodedWma {
    int bitRate = 0;
    std::int64_t fileBytes = 0;
    std::map<std::string, std::string> tags;
    std::vector<float> channels[2];

    std::int64_t samples() const { return static_cast<std::int64_t>(channels[0].size()); }
    double realBitRate() const { return fileBytes * 8.0 * kRate / samples(); }
};

void DecodeAll(AVFormatContext* input, AVCodecContext* decoder, DecodedWma& out) {
    PacketHandle packet(av_packet_alloc());
    FrameHandle frame(av_frame_alloc());
    auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame.get()) == 0)
            for (int c = 0; c < 2; ++c) {
                const auto* data = reinterpret_cast<const float*>(frame->extended_data[c]);
                out.channels[c].insert(out.channels[c].end(), data, data + frame->nb_samples);
            }
    };
    while (av_read_frame(input, packet.get()) == 0) {
        ASSERT_EQ(avcodec_send_packet(decoder, packet.get()), 0);
        av_packet_unref(packet.get());
        drain();
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
}

DecodedWma ReadWma(const QString& path) {
    DecodedWma out;
    AVFormatContext* opened = nullptr;
    const QByteArray name = path.toUtf8();
    EXPECT_EQ(avformat_open_input(&opened, name.constData(), nullptr, nullptr), 0) << name.data();
    std::unique_ptr<AVFormatContext, InputDeleter> input(opened);
    if (!input || avformat_find_stream_info(input.get(), nullptr) < 0)
        return out;
    const AVCodecParameters* par = input->streams[0]->codecpar;
    EXPECT_EQ(par->codec_id, AV_CODEC_ID_WMAV2);
    EXPECT_EQ(par->sample_rate, kRate);
    EXPECT_EQ(par->ch_layout.nb_channels, 2);
    out.bitRate = static_cast<int>(par->bit_rate);
    out.fileBytes = QFile(path).size();
    const AVDictionaryEntry* tag = nullptr;
    while ((tag = av_dict_get(input->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
        out.tags[tag->key] = tag->value;
    CodecContextHandle decoder(avcodec_alloc_context3(avcodec_find_decoder(par->codec_id)));
    avcodec_parameters_to_context(decoder.get(), par);
    EXPECT_EQ(avcodec_open2(decoder.get(), nullptr, nullptr), 0);
    DecodeAll(input.get(), decoder.get(), out);
    return out;
}

// Signal to noise of the decoded audio against the source, sample for sample
// (the cuts at both ends ring for a frame and are left out).
double SnrDb(const DecodedWma& decoded, int channel, std::int64_t written) {
    double signal = 0, noise = 0;
    for (std::int64_t i = kFrameSamples; i < written - kFrameSamples; ++i) {
        const double expected = Source(channel, i);
        const double error = decoded.channels[channel][i] - expected;
        signal += expected * expected;
        noise += error * error;
    }
    return 10 * std::log10(signal / noise);
}

class WmaExtensionTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return m_dir.filePath(name); }

    HWMENCODE open(const QString& path, DWORD bitrate, DWORD flags = BASS_WMA_TAGS) {
        return m_wma.BASS_WMA_EncodeOpenFile(kRate, flags, bitrate, path.toUtf8().constData());
    }

    // Writes the source from sample 0 in blocks of the given byte sizes, repeated until done.
    bool writeSource(HWMENCODE encoder, std::int64_t frames, std::vector<DWORD> blockBytes) {
        for (std::int64_t done = 0, i = 0; done < frames; ++i) {
            const std::int64_t n =
                std::min<std::int64_t>(blockBytes[i % blockBytes.size()] / 4, frames - done);
            const auto pcm = SourcePcm(done, n);
            if (!m_wma.BASS_WMA_EncodeWrite(encoder, pcm.data(), static_cast<DWORD>(n * 4)))
                return false;
            done += n;
        }
        return true;
    }

    QTemporaryDir m_dir;
    WmaExtension m_wma;
};

} // namespace

TEST_F(WmaExtensionTest, OffersCdRatesWhoseFilesKeepTheirBitRate) {
    const DWORD* rates = m_wma.BASS_WMA_EncodeGetRates(kRate, 0);
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(rates[4], 128000u); // the settings' default is the fifth
    for (; *rates; ++rates) {
        SCOPED_TRACE(*rates);
        const QString path = file(QString("R%1.WMA").arg(*rates));
        const HWMENCODE encoder = open(path, *rates, 0);
        ASSERT_NE(encoder, 0u);
        // Long enough that the last packet and the header hardly count.
        const int seconds = *rates >= 192000 ? 20 : 1;
        ASSERT_TRUE(writeSource(encoder, seconds * kRate, {20000}));
        m_wma.BASS_WMA_EncodeClose(encoder);
        const DecodedWma decoded = ReadWma(path);
        EXPECT_EQ(decoded.bitRate, static_cast<int>(*rates));
        // Only the frames' payload headers come on top: no padded packets.
        if (*rates >= 192000) {
            EXPECT_NEAR(decoded.realBitRate() / *rates, 1.0, 0.025);
        }
    }
}

TEST_F(WmaExtensionTest, WritesTheAudioAndTheTagsThatWereSet) {
    const std::map<std::string, std::string> allTags = {
        {"Title", "Überlänge — 東京の夜"},
        {"Author", "The Artist"},
        {"WM/AlbumTitle", "The Album"},
        {"Description", "Ripped from the demo disc"},
        {"Rating", "5"},
        {"Copyright", "© 2024"},
        {"WM/Genre", "Ambient"},
        {"WM/Year", "1999"},
    };
    // How FFmpeg names them when it reads the file.
    const std::map<std::string, std::string> readNames = {
        {"Title", "title"},         {"Author", "artist"},   {"WM/AlbumTitle", "album"},
        {"Description", "comment"}, {"Rating", "rating"},   {"Copyright", "copyright"},
        {"WM/Genre", "genre"},      {"WM/Year", "WM/Year"},
    };
    struct Case {
        const char* name;
        DWORD flags;
        std::map<std::string, std::string> tags;
        std::int64_t written; // samples per channel
        std::vector<DWORD> blocks;
    };
    const Case cases[] = {
        {"all tags, CD blocks", BASS_WMA_TAGS, allTags, 3 * kRate + 777, {20000}},
        {"closing tag only, uneven blocks", BASS_WMA_TAGS, {}, 3 * kRate, {4, 8196, 20000, 1236}},
        {"no tags at all", 0, {}, 3 * kRate, {20000}},
        {"stopped part way", BASS_WMA_TAGS, {{"Title", "Part"}}, kRate / 2 + 5, {20000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(QString(c.name) + ".WMA");
        const HWMENCODE encoder = open(path, 128000, c.flags);
        ASSERT_NE(encoder, 0u);
        for (const auto& [name, text] : c.tags) {
            EXPECT_TRUE(m_wma.BASS_WMA_EncodeSetTag(encoder, name.c_str(), text.c_str()));
        }
        if (c.flags & BASS_WMA_TAGS) {
            EXPECT_TRUE(m_wma.BASS_WMA_EncodeSetTag(encoder, "", ""));
        }
        ASSERT_TRUE(writeSource(encoder, c.written, c.blocks));
        m_wma.BASS_WMA_EncodeClose(encoder);
        EXPECT_EQ(LastBassError(), BASS_OK);

        const DecodedWma decoded = ReadWma(path);
        EXPECT_EQ(decoded.bitRate, 128000);
        // The audio from its first sample up to the end of its last encoder frame.
        EXPECT_GE(decoded.samples(), c.written);
        EXPECT_LT(decoded.samples(), c.written + kFrameSamples);
        EXPECT_GT(SnrDb(decoded, 0, c.written), 30.0); // a shift by one sample gives 20 dB
        EXPECT_GT(SnrDb(decoded, 1, c.written), 30.0);
        for (const auto& [name, text] : c.tags) {
            const auto read = decoded.tags.find(readNames.at(name));
            EXPECT_EQ(read == decoded.tags.end() ? "(missing)" : read->second, text) << name;
        }
        if (c.tags.empty()) {
            EXPECT_EQ(decoded.tags.count("title"), 0u);
        }
    }
}

TEST_F(WmaExtensionTest, RefusesWhatItCannotWriteWithTheFamilyCode) {
    struct Case {
        const char* name;
        DWORD freq;
        DWORD flags;
        DWORD bitrate;
        QString path;
        int code;
    };
    const Case cases[] = {
        {"folder missing", kRate, BASS_WMA_TAGS, 128000, file("missing/TRACK1.WMA"),
         BASS_ERROR_CREATE},
        {"a folder in the way", kRate, BASS_WMA_TAGS, 128000, m_dir.path(), BASS_ERROR_CREATE},
        {"not CD audio", 48000, BASS_WMA_TAGS, 128000, file("a.WMA"), BASS_ERROR_FORMAT},
        {"rate not offered", kRate, BASS_WMA_TAGS, 16000, file("b.WMA"), BASS_ERROR_ILLPARAM},
        {"unknown flag", kRate, 0x4, 128000, file("c.WMA"), BASS_ERROR_ILLPARAM},
        {"no file name", kRate, BASS_WMA_TAGS, 128000, QString(), BASS_ERROR_ILLPARAM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = c.path.toUtf8();
        EXPECT_EQ(m_wma.BASS_WMA_EncodeOpenFile(c.freq, c.flags, c.bitrate, path.constData()), 0u);
        EXPECT_EQ(LastBassError(), c.code);
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(WmaExtensionTest, AnswersMisuseOfAHandleWithACode) {
    const HWMENCODE encoder = open(file("TRACK1.WMA"), 128000);
    ASSERT_NE(encoder, 0u);
    const std::int16_t pcm[4] = {};
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeWrite(encoder, pcm, 6)); // half a sample frame
    EXPECT_EQ(LastBassError(), BASS_ERROR_ILLPARAM);
    EXPECT_TRUE(m_wma.BASS_WMA_EncodeWrite(encoder, pcm, sizeof pcm)); // ends the tags
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeSetTag(encoder, "Title", "too late"));
    EXPECT_EQ(LastBassError(), BASS_ERROR_ALREADY);
    m_wma.BASS_WMA_EncodeClose(encoder);
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeWrite(encoder, pcm, sizeof pcm));
    EXPECT_EQ(LastBassError(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeSetTag(0, "", ""));
    EXPECT_EQ(LastBassError(), BASS_ERROR_HANDLE);
}

TEST_F(WmaExtensionTest, AFullFileRefusesTheBlockAndStillCloses) {
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const QString path = file("TRACK1.WMA");
    ASSERT_TRUE(QFile::link("/dev/full", path));
    const HWMENCODE encoder = open(path, 320000);
    ASSERT_NE(encoder, 0u);
    EXPECT_FALSE(writeSource(encoder, 60 * kRate, {20000}));
    EXPECT_EQ(LastBassError(), BASS_ERROR_CREATE);
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeWrite(encoder, SourcePcm(0, 5000).data(), 20000));
    EXPECT_EQ(LastBassError(), BASS_ERROR_CREATE);
    m_wma.BASS_WMA_EncodeClose(encoder);
    EXPECT_FALSE(m_wma.BASS_WMA_EncodeWrite(encoder, SourcePcm(0, 5000).data(), 20000));
    EXPECT_EQ(LastBassError(), BASS_ERROR_HANDLE);
}
