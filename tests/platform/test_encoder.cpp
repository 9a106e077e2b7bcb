// The encoder extension on the real library: a stand-in encoder that captures its input.

#include "platform/audio/encoderextension.h"
#include "platform/audio/outputengine.h"
#include "support/wavfile.h"
#include "test_core_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace coretest;

namespace {

constexpr DWORD kBlock = 262144; // what the converter reads at a time

class EncoderTest : public ::testing::Test {
protected:
    HSTREAM fakeTrack(QWORD length) {
        return m_core.createStream(std::make_unique<FakePcmSource>(length), kDecodeStreamFlags, 0);
    }

    // Reads as the converter does, at most maxBytes.
    std::string pump(HSTREAM h, QWORD maxBytes = ~QWORD{0}) {
        std::string data;
        std::vector<char> buffer(kBlock);
        while (m_core.BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED && data.size() < maxBytes) {
            const int n = m_core.BASS_ChannelGetData(h, buffer.data(), kBlock);
            if (n < 0)
                break;
            data.append(buffer.data(), n);
        }
        return data;
    }

    QTemporaryDir m_app;
    OutputEngine m_core;
    EncoderExtension m_enc{m_core, m_app.path().toStdString()};
};

// A stand-in lame that keeps its input: a WAV header with the real size, then exactly what the
// reader got, also when the reader stops early.
TEST_F(EncoderTest, FeedsTheHeaderAndEveryByteReadInOrder) {
    QFile lame(m_app.filePath("lame"));
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
        const HSTREAM h = fakeTrack(c.length);
        const QString out = m_app.filePath("my input.wav");
        const std::string line = "lame.exe -b 128 - \"" + out.toStdString() + "\"";
        ASSERT_NE(m_enc.BASS_Encode_Start(h, line.c_str(), 0, nullptr, nullptr), 0u);
        const std::string read = pump(h, c.readUpTo);
        ASSERT_EQ(m_enc.BASS_Encode_Stop(h), 1);
        EXPECT_TRUE(m_enc.lastEncoderOutcome().succeeded());
        EXPECT_EQ(m_enc.lastEncoderOutcome().bytesFed, read.size());
        const WavFile file = ReadWav(out);
        file.expectCdHeader(static_cast<quint32>(c.length), std::ssize(read));
        EXPECT_TRUE(file.data().toStdString() == read);
        m_core.BASS_StreamFree(h);
    }
}

} // namespace
