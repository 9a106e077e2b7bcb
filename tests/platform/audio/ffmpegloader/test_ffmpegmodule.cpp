// The FFmpeg module as the program finds it: beside the program (the build) or in the installed
// module folder, loaded only when a file or a WMA encoder is asked for; without it, WMA and the
// facts of files say plainly that they are not available.
#include "platform/audio/core/lasterror.h"
#include "platform/audio/ffmpegloader/deferredwma.h"
#include "platform/audio/ffmpegloader/ffmpegmodule.h"
#include "platform/audio/output/outputengine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

TEST(FfmpegModule, IsFoundBesideTheProgramOrInstalledAndMissedPlainly) {
    const fs::path built = fs::canonical("/proc/self/exe").parent_path() / "mivo-ffmpeg.so";
    ASSERT_TRUE(fs::exists(built));
    for (const int place : {0, 1, -1}) { // -1: nowhere
        SCOPED_TRACE(place);
        QTemporaryDir dir;
        const std::string program = dir.filePath("bin").toStdString();
        fs::create_directories(program);
        if (place >= 0) {
            const fs::path target = FfmpegModule::places(program)[std::size_t(place)];
            fs::create_directories(target.parent_path());
            fs::copy_file(built, target);
        }
        FfmpegModule module(program);
        OutputEngine core;
        core.setFileCodecs(&module);
        DeferredWma wma(module, core);
        EXPECT_EQ(wma.BASS_WMA_EncodeGetRates(44100, 0) != nullptr, place >= 0);
        const std::string file = dir.filePath("a.wma").toStdString();
        const HWMENCODE encoder = wma.BASS_WMA_EncodeOpenFile(44100, 0, 128000, file.c_str());
        ASSERT_EQ(encoder != 0, place >= 0);
        AudioFileFacts facts;
        if (place < 0) {
            EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAVAIL);
            EXPECT_FALSE(core.BASS_GetFileFacts(file.c_str(), &facts));
            EXPECT_EQ(facts.reason, "the FFmpeg module that reads audio files did not load");
            continue;
        }
        const std::vector<std::int16_t> second(2 * 44100, 0);
        EXPECT_TRUE(wma.BASS_WMA_EncodeWrite(encoder, second.data(), DWORD(second.size() * 2)));
        wma.BASS_WMA_EncodeClose(encoder);
        EXPECT_EQ(LastBassError(), BASS_OK);
        ASSERT_TRUE(core.BASS_GetFileFacts(file.c_str(), &facts)) << facts.reason;
        EXPECT_EQ(facts.codec, "wmav2");
        EXPECT_NEAR(facts.seconds, 1.0, 0.1);
    }
}
