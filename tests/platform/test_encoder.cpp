// The encoder extension and file streams on the real library: the real lame and
// oggenc on a generated disc image, stand-in encoders that fail or capture their
// input, and file streams of what the encoders wrote.

#include "platform/audio/encoderextension.h"
#include "platform/audio/outputengine.h"
#include "test_core_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

using namespace coretest;

namespace {

constexpr DWORD kBlock = 262144; // what the converter reads at a time
constexpr QWORD kLongTrack = 60 * kSecond;

std::string ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct Pumped {
    std::string data;
    int error = BASS_OK; // the code of a failed read; BASS_OK when the stream ran to its end
};

class EncoderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_app.isValid()); }

    std::string appPath(const char* name) const { return m_app.filePath(name).toStdString(); }

    // A stand-in encoder in the application folder (a shell script).
    void placeScript(const char* name, const std::string& body) {
        QFile file(m_app.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("#!/bin/sh\n" + body + "\n").c_str());
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

    HSTREAM fakeTrack(QWORD length) {
        return m_core.createStream(std::make_unique<FakePcmSource>(length), kDecodeStreamFlags, 0);
    }

    // Reads as the converter does, at most maxBytes.
    Pumped pump(HSTREAM h, QWORD maxBytes = ~QWORD{0}) {
        Pumped result;
        std::vector<char> buffer(kBlock);
        while (m_core.BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED &&
               result.data.size() < maxBytes) {
            const int n = m_core.BASS_ChannelGetData(h, buffer.data(), kBlock);
            if (n < 0) {
                result.error = m_core.BASS_ErrorGetCode();
                break;
            }
            result.data.append(buffer.data(), n);
        }
        return result;
    }

    // The file's audio as a file stream delivers it; length gets the stream's length.
    std::string decodeFile(const std::string& path, QWORD& length) {
        const HSTREAM h = m_core.BASS_StreamCreateFile(0, path.c_str(), 0, 0, kDecodeStreamFlags);
        EXPECT_NE(h, 0u) << path << " code " << m_core.BASS_ErrorGetCode();
        length = m_core.BASS_StreamGetLength(h);
        const std::string data = pump(h).data;
        m_core.BASS_StreamFree(h);
        return data;
    }

    QTemporaryDir m_app;
    OutputEngine m_core;
    EncoderExtension m_enc{m_core, m_app.path().toStdString()};
};

// ---- what an encoder receives -------------------------------------------------------------------

// A stand-in lame that keeps its input: a WAV header with the real size, then exactly what the
// reader got, also when the reader stops early; the file then plays as a file stream.
TEST_F(EncoderTest, FeedsTheHeaderAndEveryByteReadInOrder) {
    placeScript("lame", R"(cat > "$4")");
    const struct {
        QWORD length;
        QWORD readUpTo;
    } cases[] = {{kLongTrack, 3 * kBlock}, {7 * kSecond + 8, ~QWORD{0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readUpTo);
        const HSTREAM h = fakeTrack(c.length);
        const std::string out = appPath("my input.wav");
        const std::string line = "lame.exe -b 128 - \"" + out + "\"";
        ASSERT_NE(m_enc.BASS_Encode_Start(h, line.c_str(), 0, nullptr, nullptr), 0u);
        const Pumped read = pump(h, c.readUpTo);
        ASSERT_EQ(m_enc.BASS_Encode_Stop(h), 1);
        EXPECT_TRUE(m_enc.lastEncoderOutcome().succeeded());
        EXPECT_EQ(m_enc.lastEncoderOutcome().bytesFed, read.data.size());

        const std::string file = ReadAll(out);
        ASSERT_EQ(file.size(), 44 + read.data.size());
        EXPECT_EQ(file.substr(0, 4) + file.substr(8, 8) + file.substr(36, 4), "RIFFWAVEfmt data");
        EXPECT_EQ(Le32(file, 4), c.length + 36);
        EXPECT_EQ(Le32(file, 40), c.length);
        EXPECT_EQ(Le32(file, 24), 44100u);
        EXPECT_TRUE(file.compare(44, std::string::npos, read.data) == 0);
        m_core.BASS_StreamFree(h);
    }
    QWORD length = 0; // the complete file, left by the last case, plays as a file stream
    const std::string decoded = decodeFile(appPath("my input.wav"), length);
    EXPECT_EQ(length, 7 * kSecond + 8);
    EXPECT_TRUE(decoded == ReadAll(appPath("my input.wav")).substr(44));
}

// ---- encoders that do not start -----------------------------------------------------------------

TEST_F(EncoderTest, RefusesWhatCannotStartAndSaysWhy) {
    ScopedEnv path("PATH", m_app.path().toStdString()); // no lame, no oggenc
    const HSTREAM h = fakeTrack(kSecond);
    const struct {
        DWORD handle;
        const char* line;
        int error;
        const char* program;
    } cases[] = {
        {h, R"(lame.exe -b 128 - "out.mp3")", BASS_ERROR_FILEOPEN, "lame"},
        {h, R"(oggenc.exe -b 128 -  -o "out.ogg")", BASS_ERROR_FILEOPEN, "oggenc"},
        {h, R"(lame.exe -b 128 - "out.mp3)", BASS_ERROR_ILLPARAM, ""},
        {h, "", BASS_ERROR_ILLPARAM, ""},
        {h + 100, R"(lame.exe - "out.mp3")", BASS_ERROR_HANDLE, "lame"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(m_enc.BASS_Encode_Start(c.handle, c.line, 0, nullptr, nullptr), 0u);
        EXPECT_EQ(m_core.BASS_ErrorGetCode(), c.error);
        EXPECT_EQ(m_enc.lastEncoderOutcome().error, c.error);
        EXPECT_EQ(m_enc.lastEncoderOutcome().program, c.program);
        EXPECT_FALSE(m_enc.lastEncoderOutcome().started);
    }
    EXPECT_EQ(m_enc.BASS_Encode_Stop(h), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(pump(h).data.size(), kSecond); // the stream itself reads on
}

// ---- file streams that do not open --------------------------------------------------------------

TEST_F(EncoderTest, FileStreamsRefuseWhatTheyCannotDecode) {
    placeScript("notes.txt", "not audio at all");
    const struct {
        BOOL mem;
        std::string file;
        int error;
    } cases[] = {{0, appPath("missing.wav"), BASS_ERROR_FILEOPEN},
                 {0, appPath("notes.txt"), BASS_ERROR_FORMAT},
                 {1, appPath("notes.txt"), BASS_ERROR_NOTAVAIL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(m_core.BASS_StreamCreateFile(c.mem, c.file.c_str(), 0, 0, kDecodeStreamFlags),
                  0u);
        EXPECT_EQ(m_core.BASS_ErrorGetCode(), c.error);
    }
}

} // namespace
