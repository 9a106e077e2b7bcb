// The check a ripped file passes, through the library as the program builds it: a file that is
// the audio it should be passes, one that is not says why, and a library that cannot read files
// at all says so without blaming the file.
#include "platform/audio/encoder/wavheader.h"
#include "platform/audio/ffmpegloader/ffmpegmodule.h"
#include "platform/audio/output/outputengine.h"
#include "verify/filecheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr qint64 kSecond = 44100;

void WriteWav(const QString& path, qint64 samples) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const auto header = WavHeader(std::uint32_t(samples * 4));
    file.write(header.data(), qint64(header.size()));
    file.write(QByteArray(samples * 4, '\0'));
}

} // namespace

TEST(FileCheck, PassesTheAudioItShouldBeAndNamesWhatIsWrongOrThatNothingCouldBeRead) {
    QTemporaryDir dir;
    const QString wav = dir.filePath("a.wav");
    WriteWav(wav, 3 * kSecond);
    QFile text(dir.filePath("b.flac"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not audio at all") > 0);
    text.close();
    const std::string built = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    FfmpegModule module(built), missing(dir.path().toStdString());
    const struct {
        const char* name;
        FileCodecs* codecs;
        QString path;
        const char* codec;
        qint64 samples;
        QString problem; // empty: none
        bool unchecked;
    } cases[] = {
        {"as it should be", &module, wav, "pcm_s16le", 3 * kSecond, {}, false},
        {"another codec", &module, wav, "flac", 3 * kSecond, "it holds pcm_s16le audio, not flac",
         false},
        {"too short", &module, wav, "pcm_s16le", 5 * kSecond, "it lasts 3.0 s, not 5.0 s", false},
        {"not audio", &module, text.fileName(), "flac", kSecond, "it holds no audio", false},
        {"no module", &missing, wav, "pcm_s16le", 3 * kSecond,
         "the FFmpeg module that reads audio files did not load", true},
        {"no reader", nullptr, wav, "pcm_s16le", 3 * kSecond,
         "the FFmpeg module that reads audio files did not load", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OutputEngine core;
        core.setFileCodecs(c.codecs);
        const std::optional<FileProblem> problem =
            AudioFileProblem(core, c.path, c.codec, c.samples);
        ASSERT_EQ(problem.has_value(), !c.problem.isEmpty());
        if (!problem)
            continue;
        EXPECT_TRUE(problem->text.startsWith(c.problem)) << problem->text.toStdString();
        EXPECT_EQ(problem->unchecked, c.unchecked);
    }
}
