// The encoders: WMA files as FFmpeg reads them back (the length, rate and audio that went in, a
// valid file after any close) with each tag once as players read it, and what the encoder
// extension feeds an external encoder.

#include "platform/audio/core/lasterror.h"
#include "platform/audio/core/test_core_support.h"
#include "platform/audio/encoder/encoderextension.h"
#include "platform/audio/ffmpeg/wmaextension.h"
#include "platform/audio/output/outputengine.h"
#include "support/audioprobe.h"
#include "support/wavfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <taglib/asffile.h>

#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

using namespace coretest;

namespace {

constexpr int kRate = 44100;
constexpr int kFrameSamples = 2048;     // wmav2's frame at 44.1 kHz
using Tag = std::array<const char*, 2>; // WMA name, text

// A tag as players read it: the content description's fields from there, others as attributes;
// "twice" when a field is also an attribute.
std::string WmaTag(const QString& path, const std::string& name) {
    TagLib::ASF::File file(QFile::encodeName(path).constData());
    const TagLib::ASF::Tag& tag = *file.tag();
    const std::map<std::string, TagLib::String> description = {{"Title", tag.title()},
                                                               {"Author", tag.artist()},
                                                               {"Description", tag.comment()},
                                                               {"Copyright", tag.copyright()},
                                                               {"Rating", tag.rating()}};
    int attributes = 0;
    TagLib::String value;
    for (const auto& [key, values] : tag.attributeListMap())
        if (key.upper() == TagLib::String(name).upper()) {
            attributes += values.size();
            value = values.front().toString();
        }
    if (description.count(name))
        return attributes > 0 ? "twice" : description.at(name).to8Bit(true);
    return attributes == 1 ? value.to8Bit(true) : std::to_string(attributes) + " values";
}

// A different tone and level per channel, so swaps and scaling show.
double Source(int channel, std::int64_t i) {
    return (channel == 0 ? 0.5 : 0.25) *
           std::sin(2 * std::numbers::pi * (channel == 0 ? 440.0 : 1000.0) * i / kRate);
}

// Decoded against the source, sample for sample; the cut at each end rings for a frame.
double SnrDb(const AudioProbe& decoded, int channel, std::int64_t written) {
    double signal = 0, noise = 0;
    for (std::int64_t i = kFrameSamples; i < written - kFrameSamples; ++i) {
        signal += Source(channel, i) * Source(channel, i);
        noise += std::pow(decoded.channels[channel][i] - Source(channel, i), 2);
    }
    return 10 * std::log10(signal / noise);
}

class WmaExtensionTest : public ::testing::Test {
protected:
    // Tags, the closing tag (also after the header), the source in blocks of the given byte
    // sizes in turn, and the close; then FFmpeg reads the file.
    AudioProbe encode(const QString& name, DWORD bitrate, DWORD flags, const std::vector<Tag>& tags,
                      std::int64_t frames, std::vector<DWORD> blockBytes = {20000}) {
        const HWMENCODE encoder = m_wma.BASS_WMA_EncodeOpenFile(
            kRate, flags, bitrate, m_dir.filePath(name).toUtf8().constData());
        for (const Tag& tag : tags)
            EXPECT_TRUE(m_wma.BASS_WMA_EncodeSetTag(encoder, tag[0], tag[1]));
        EXPECT_TRUE(m_wma.BASS_WMA_EncodeSetTag(encoder, "", ""));
        for (std::int64_t done = 0, block = 0; done < frames; ++block) {
            const auto n =
                std::min<std::int64_t>(blockBytes[block % blockBytes.size()] / 4, frames - done);
            std::vector<std::int16_t> pcm;
            for (std::int64_t i = done; i < done + n; ++i)
                for (int c = 0; c < 2; ++c)
                    pcm.push_back(static_cast<std::int16_t>(std::lround(32767 * Source(c, i))));
            EXPECT_TRUE(m_wma.BASS_WMA_EncodeWrite(encoder, pcm.data(), static_cast<DWORD>(n * 4)));
            done += n;
        }
        m_wma.BASS_WMA_EncodeClose(encoder);
        EXPECT_EQ(LastBassError(), BASS_OK);
        return ProbeAudio(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
    OutputEngine m_core;
    WmaExtension m_wma{m_core};
};

} // namespace

TEST_F(WmaExtensionTest, WritesTheAudioTheTagsAndTheRateThatWereSet) {
    const std::vector<Tag> all = {
        {"Title", "Überlänge — 東京の夜"}, {"Author", "The Artist"}, {"WM/AlbumTitle", "The Album"},
        {"Description", "From the demo"},  {"Rating", "5"},          {"Copyright", "© 2024"},
        {"WM/Genre", "Ambient"},           {"WM/Year", "1999"}};
    const struct {
        const char* name;
        DWORD bitrate, flags;
        std::vector<Tag> tags;
        std::int64_t written; // samples per channel
        std::vector<DWORD> blocks;
    } cases[] = {{"all tags", 128000, BASS_WMA_TAGS, all, 3 * kRate + 777, {20000}},
                 {"closing tag only", 320000, BASS_WMA_TAGS, {}, 20 * kRate, {4, 8196, 20000}},
                 {"no tags at all", 192000, 0, {}, 20 * kRate, {20000}},
                 {"stopped part way", 128000, BASS_WMA_TAGS, {all[0]}, kRate / 2 + 5, {20000}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AudioProbe decoded = encode(c.name, c.bitrate, c.flags, c.tags, c.written, c.blocks);
        EXPECT_EQ(decoded.bitRate, static_cast<int>(c.bitrate));
        // From the first written sample to the end of the last encoder frame.
        ASSERT_GE(std::min(std::ssize(decoded.channels[0]), std::ssize(decoded.channels[1])),
                  c.written);
        EXPECT_LT(std::ssize(decoded.channels[0]), c.written + kFrameSamples);
        for (int channel : {0, 1}) // one sample late gives 20 dB
            EXPECT_GT(SnrDb(decoded, channel, c.written), 30.0);
        for (const Tag& tag : c.tags)
            EXPECT_EQ(WmaTag(m_dir.filePath(c.name), tag[0]), tag[1]);
        EXPECT_EQ(decoded.tags.count("title"), c.tags.empty() ? 0u : 1u);
        // Over 20 s only the frames' payload headers add to the rate: no padded packets.
        const double realRate = QFile(m_dir.filePath(c.name)).size() * 8.0 * kRate / c.written;
        EXPECT_TRUE(c.bitrate < 192000 || std::abs(realRate / c.bitrate - 1) < 0.025) << realRate;
    }
    // Every rate the options offer makes a file of that rate.
    const DWORD* rates = m_wma.BASS_WMA_EncodeGetRates(kRate, 0);
    ASSERT_NE(rates, nullptr);
    for (; *rates; ++rates)
        EXPECT_EQ(encode(QString::number(*rates), *rates, 0, {}, kRate).bitRate, int(*rates));
}

// A stand-in lame that keeps its input: a WAV header with the real size, then exactly what the
// reader got, also when the reader stops early.
TEST(EncoderExtension, FeedsTheHeaderAndEveryByteReadInOrder) {
    constexpr DWORD kBlock = 262144; // what the converter reads at a time
    QTemporaryDir app;
    OutputEngine core;
    EncoderExtension encoders(core, app.path().toStdString());
    QFile lame(app.filePath("lame"));
    ASSERT_TRUE(lame.open(QIODevice::WriteOnly));
    lame.write("#!/bin/sh\ncat > \"$4\"\n");
    lame.setPermissions(lame.permissions() | QFile::ExeOwner);
    lame.close();
    const struct {
        QWORD length;
        QWORD readUpTo;
    } cases[] = {{60 * kSecond, 3 * kBlock}, {7 * kSecond + 8, ~QWORD{0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readUpTo);
        const HSTREAM h =
            core.createStream(std::make_unique<FakePcmSource>(c.length), kDecodeStreamFlags, 0);
        const QString out = app.filePath("my input.wav");
        const std::string line = "lame.exe -b 128 - \"" + out.toStdString() + "\"";
        ASSERT_NE(encoders.BASS_Encode_Start(h, line.c_str(), 0, nullptr, nullptr), 0u);
        std::string read; // as the converter reads, up to readUpTo
        std::vector<char> buffer(kBlock);
        for (int n = 0; read.size() < c.readUpTo && core.BASS_ChannelIsActive(h) &&
                        (n = core.BASS_ChannelGetData(h, buffer.data(), kBlock)) >= 0;)
            read.append(buffer.data(), n);
        ASSERT_EQ(encoders.BASS_Encode_Stop(h), 1);
        EXPECT_TRUE(encoders.lastEncoderOutcome().succeeded());
        EXPECT_EQ(encoders.lastEncoderOutcome().bytesFed, read.size());
        const WavFile file = ReadWav(out);
        file.expectCdHeader(static_cast<quint32>(c.length), std::ssize(read));
        EXPECT_TRUE(file.data().toStdString() == read);
        core.BASS_StreamFree(h);
    }
}
