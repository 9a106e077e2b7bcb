// Playback streams on SDL's dummy driver, and on its disk driver where the
// mixed output itself is checked.
#include "platform/audio/output/outputengine.h"
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
