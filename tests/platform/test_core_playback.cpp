// Playback streams on SDL's dummy driver, and on its disk driver where the
// mixed output itself is checked.
#include "platform/audio/outputengine.h"
#include "test_core_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace coretest;

namespace {

class CorePlayback : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1); }

    HSTREAM play(std::unique_ptr<PcmSource> source, DWORD flags = kPlaybackStreamFlags) {
        const HSTREAM h = m_core.createStream(std::move(source), flags, 0);
        EXPECT_NE(h, 0u);
        return h;
    }
    HSYNC sync(HSTREAM h, DWORD type, SyncRecorder& recorder) {
        return m_core.BASS_ChannelSetSync(h, type | BASS_SYNC_ONETIME, 0, &SyncRecorder::Proc,
                                          &recorder);
    }
    QWORD position(HSTREAM h) { return m_core.BASS_ChannelGetPosition(h); }

    ScopedEnv m_driver{"SDL_AUDIODRIVER", "dummy"};
    OutputEngine m_core;
};

} // namespace

TEST_F(CorePlayback, EndSyncFiresOnceOffTheCallerThreadAndTheStreamIsFreed) {
    SyncRecorder ends, errors;
    const HSTREAM h = play(std::make_unique<FakePcmSource>(kSecond / 4));
    const HSYNC endSync = sync(h, BASS_SYNC_END, ends);
    sync(h, BASS_SYNC_CD_ERROR, errors);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(ends.waitFor(1));
    ASSERT_TRUE(WaitUntil([&] { return m_core.BASS_StreamGetLength(h) == ~QWORD{0}; }));
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto calls = ends.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sync, endSync);
    EXPECT_EQ(calls[0].channel, h);
    EXPECT_NE(calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(errors.count(), 0u);
}

TEST_F(CorePlayback, StreamWithoutAutoFreeStaysAndPlaysAgain) {
    SyncRecorder ends;
    const HSTREAM h = play(std::make_unique<FakePcmSource>(kSecond / 10), 0);
    sync(h, BASS_SYNC_END, ends);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_TRUE(ends.waitFor(1));
    EXPECT_EQ(position(h), kSecond / 10);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1); // restart from the beginning
    ASSERT_TRUE(WaitUntil([&] { return m_core.BASS_ChannelIsActive(h) == 0; }));
    EXPECT_EQ(ends.count(), 1u); // one-time: it does not fire for the second end
}

TEST_F(CorePlayback, SlideSyncFiresWhenTheFadeIsDone) {
    SyncRecorder slides, ends;
    const HSTREAM h = play(std::make_unique<FakePcmSource>(20 * kSecond));
    sync(h, BASS_SYNC_SLIDE, slides);
    sync(h, BASS_SYNC_END, ends);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_EQ(m_core.BASS_ChannelSlideAttributes(h, -1, 0, -101, 300), 1);
    ASSERT_TRUE(slides.waitFor(1));
    DWORD volume = 99;
    m_core.BASS_ChannelGetAttributes(h, nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 0u);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING); // a fade does not stop
    EXPECT_EQ(ends.count(), 0u);
}

TEST_F(CorePlayback, PauseKeepsThePositionAndSeekMovesIt) {
    const HSTREAM h = play(std::make_unique<FakePcmSource>(20 * kSecond));
    ASSERT_EQ(m_core.BASS_ChannelPause(h), 0); // not playing yet
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_TRUE(WaitUntil([&] { return position(h) > 0; }));
    ASSERT_EQ(m_core.BASS_ChannelPause(h), 1);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_PAUSED);
    const QWORD paused = position(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(position(h), paused);
    EXPECT_LT(paused, 20 * kSecond); // heard, not read ahead
    ASSERT_EQ(m_core.BASS_ChannelResume(h), 1);
    EXPECT_EQ(m_core.BASS_ChannelResume(h), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_NOPAUSE);

    ASSERT_EQ(m_core.BASS_ChannelSetPosition(h, 15 * kSecond), 1);
    EXPECT_GE(position(h), 15 * kSecond);
    ASSERT_TRUE(WaitUntil([&] { return position(h) > 15 * kSecond; }));
    ASSERT_EQ(m_core.BASS_ChannelStop(h), 1);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_GE(position(h), 15 * kSecond); // stop keeps the place
}

TEST_F(CorePlayback, ReadErrorFiresOneCdErrorSyncAndStops) {
    SyncRecorder errors, ends;
    const HSTREAM h = play(std::make_unique<FakePcmSource>(10 * kSecond, kSecond / 5));
    sync(h, BASS_SYNC_END, ends);
    sync(h, BASS_SYNC_CD_ERROR, errors);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_TRUE(errors.waitFor(1));
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(position(h), kSecond / 5); // everything read before the error was heard
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_EQ(errors.count(), 1u);
    EXPECT_EQ(errors.calls()[0].data, DWORD{kReadErrorCode});
    EXPECT_EQ(ends.count(), 0u);
    EXPECT_EQ(m_core.BASS_StreamFree(h), 1); // what the player does next
}

TEST_F(CorePlayback, FreedStreamFiresNothingAndStopsCleanly) {
    SyncRecorder ends;
    const HSTREAM h = play(std::make_unique<FakePcmSource>(kSecond / 10));
    sync(h, BASS_SYNC_END, ends);
    ASSERT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_EQ(m_core.BASS_StreamFree(h), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(ends.count(), 0u);
    EXPECT_EQ(m_core.BASS_ChannelStop(h), 0); // a stale handle fails quietly
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

// ---- the disk driver: what reaches the device ----------------------------------

namespace {

using Frames = std::vector<std::pair<std::int16_t, std::int16_t>>;

Frames ReadFrames(const std::string& path, std::size_t fromByte = 0) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(fromByte));
    Frames frames;
    std::int16_t s[2];
    while (file.read(reinterpret_cast<char*>(s), sizeof s))
        frames.emplace_back(s[0], s[1]);
    return frames;
}

// Frames with any sound, in order: gaps of silence (a slow start) drop out.
Frames Audible(const Frames& frames) {
    Frames out;
    for (const auto& f : frames) {
        if (f.first != 0 || f.second != 0)
            out.push_back(f);
    }
    return out;
}

class CoreDiskOutput : public ::testing::Test {
protected:
    std::string outputFile() const { return m_dir.filePath("out.raw").toStdString(); }

    // Plays a whole stream with the given attributes and returns the device's frames.
    Frames playThrough(std::uint64_t length, int volume, int pan) {
        OutputEngine core;
        EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1);
        SyncRecorder ends;
        const HSTREAM h =
            core.createStream(std::make_unique<FakePcmSource>(length), kPlaybackStreamFlags, 0);
        core.BASS_ChannelSetSync(h, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, &SyncRecorder::Proc,
                                 &ends);
        core.BASS_ChannelSetAttributes(h, -1, volume, pan);
        core.BASS_StreamPlay(h, 1, 0);
        EXPECT_TRUE(ends.waitFor(1));
        core.BASS_Free(); // closes the device and with it the file
        return ReadFrames(outputFile());
    }

    QTemporaryDir m_dir;
    ScopedEnv m_driver{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv m_file{"SDL_DISKAUDIOFILE", outputFile()};
};

} // namespace

TEST_F(CoreDiskOutput, PanLeftSilencesTheRightChannel) {
    const Frames heard = Audible(playThrough(kSecond / 2, 100, -100));
    ASSERT_EQ(heard.size(), kSecond / 2 / 4);
    for (std::size_t i = 0; i < heard.size(); ++i) {
        ASSERT_EQ(heard[i].first, LeftSample(i)) << "frame " << i;
        ASSERT_EQ(heard[i].second, 0) << "frame " << i;
    }
}

TEST_F(CoreDiskOutput, HalfVolumeHalvesBothChannels) {
    const Frames heard = Audible(playThrough(kSecond / 2, 50, 0));
    ASSERT_EQ(heard.size(), kSecond / 2 / 4);
    for (std::size_t i = 0; i < heard.size(); ++i) {
        ASSERT_EQ(heard[i].first, LeftSample(i) / 2) << "frame " << i;
        ASSERT_EQ(heard[i].second, RightSample(i) / 2) << "frame " << i;
    }
}

TEST_F(CoreDiskOutput, FadeOutReachesSilenceWhileTheStreamPlaysOn) {
    OutputEngine core;
    ASSERT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1);
    SyncRecorder slides;
    const HSTREAM h =
        core.createStream(std::make_unique<FakePcmSource>(20 * kSecond), kPlaybackStreamFlags, 0);
    core.BASS_ChannelSetSync(h, BASS_SYNC_SLIDE | BASS_SYNC_ONETIME, 0, &SyncRecorder::Proc,
                             &slides);
    core.BASS_StreamPlay(h, 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return core.BASS_ChannelGetPosition(h) > kSecond / 10; }));
    core.BASS_ChannelSlideAttributes(h, -1, 0, -101, 400);
    ASSERT_TRUE(slides.waitFor(1));
    const auto writtenAtSync = std::filesystem::file_size(outputFile());
    const QWORD positionAtSync = core.BASS_ChannelGetPosition(h);
    ASSERT_TRUE(
        WaitUntil([&] { return core.BASS_ChannelGetPosition(h) > positionAtSync + kSecond; }));
    core.BASS_Free();

    const Frames all = ReadFrames(outputFile());
    EXPECT_FALSE(Audible(all).empty()); // there was sound before the fade
    // Skip a few device buffers that may have been mixed before the sync was seen.
    const Frames after = ReadFrames(outputFile(), writtenAtSync + 16 * 4096);
    ASSERT_GT(after.size(), kSecond / 4 / 4);
    EXPECT_TRUE(Audible(after).empty());
}
