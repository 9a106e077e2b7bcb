// Bringing the output up and down: the start-up goes on only for the codes it expects, and
// every play initialises again.
#include "platform/audio/outputengine.h"
#include "test_core_support.h"

#include <gtest/gtest.h>

using namespace coretest;

TEST(CoreInit, OpensOnceAndAMissingDriverOrDeviceIsADeviceError) {
    OutputEngine core;
    for (int device : {2, -7}) {
        EXPECT_EQ(core.BASS_Init(device, 44100, 0, nullptr, nullptr), 0);
        EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    }
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "nonexistent");
        EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
        EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    }
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    ASSERT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1); // nothing left half-open
    EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_EQ(core.BASS_Free(), 1);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_OK); // the encoder path reads the code after Free
    EXPECT_EQ(core.BASS_Free(), 0);
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1); // again after a free
}

// A stale handle must never reach a newer stream; decoding (a rip) needs no output.
TEST(CoreInit, FreeingOwnersStreamsLeavesOthersAndHandlesAreNeverReused) {
    OutputEngine core;
    const auto create = [&](int owner) {
        return core.createStream(std::make_unique<FakePcmSource>(kSecond), kDecodeStreamFlags,
                                 owner);
    };
    const HSTREAM a = create(1), b = create(2);
    core.freeStreamsOf(1);
    EXPECT_EQ(core.BASS_StreamGetLength(a), ~QWORD{0});
    EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(core.BASS_StreamGetLength(b), kSecond);
    EXPECT_GT(create(1), b);
}
