// Bringing the output up and down, and the failures the start-up depends on.
#include "platform/audio/outputengine.h"
#include "test_core_support.h"

#include <gtest/gtest.h>

using namespace coretest;

TEST(CoreInit, DefaultDeviceOpensOnceAndFreesSafelyTwice) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    OutputEngine core;
    ASSERT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_EQ(core.BASS_SetConfig(BASS_CONFIG_FLOATDSP, 0), 1);
    EXPECT_EQ(core.BASS_Stop(), 1);
    EXPECT_EQ(core.BASS_Free(), 1);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_OK); // the encoder path reads the code after Free
    EXPECT_EQ(core.BASS_Free(), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_INIT);
    ASSERT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1); // again after a free
}

TEST(CoreInit, MissingDriverOrDeviceNumberIsDeviceError) {
    OutputEngine core;
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "nonexistent");
        EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
        EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    }
    EXPECT_EQ(core.BASS_Init(2, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_EQ(core.BASS_Init(-7, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1); // nothing left half-open
}

TEST(CoreInit, NoSoundDevicePlaysInRealTime) {
    OutputEngine core;
    ASSERT_EQ(core.BASS_Init(0, 44100, 0, nullptr, nullptr), 1);
    SyncRecorder ends;
    const HSTREAM h =
        core.createStream(std::make_unique<FakePcmSource>(kSecond / 4), kPlaybackStreamFlags, 0);
    ASSERT_NE(h, 0u);
    core.BASS_ChannelSetSync(h, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, &SyncRecorder::Proc, &ends);
    ASSERT_EQ(core.BASS_StreamPlay(h, 1, 0), 1);
    ASSERT_TRUE(ends.waitFor(1));
}

TEST(CoreInit, PlaybackNeedsTheOutputButDecodingDoesNot) {
    OutputEngine core;
    EXPECT_EQ(core.BASS_GetVolume(), 100); // the library's own volume, there from the start
    EXPECT_EQ(core.createStream(std::make_unique<FakePcmSource>(kSecond), kPlaybackStreamFlags, 0),
              0u);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_INIT);
    const HSTREAM h =
        core.createStream(std::make_unique<FakePcmSource>(kSecond), kDecodeStreamFlags, 0);
    ASSERT_NE(h, 0u);
    char buffer[100];
    EXPECT_EQ(core.BASS_ChannelGetData(h, buffer, sizeof buffer), 100);
    EXPECT_EQ(core.createStream(nullptr, kDecodeStreamFlags, 0), 0u);
}

TEST(CoreInit, FreeingOwnersStreamsLeavesOthers) {
    OutputEngine core;
    const HSTREAM a =
        core.createStream(std::make_unique<FakePcmSource>(kSecond), kDecodeStreamFlags, 1);
    const HSTREAM b =
        core.createStream(std::make_unique<FakePcmSource>(kSecond), kDecodeStreamFlags, 2);
    core.freeStreamsOf(1);
    EXPECT_EQ(core.BASS_StreamGetLength(a), ~QWORD{0});
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(core.BASS_StreamGetLength(b), kSecond);
    const HSTREAM c =
        core.createStream(std::make_unique<FakePcmSource>(kSecond), kDecodeStreamFlags, 1);
    EXPECT_GT(c, b); // handles are never reused
}
