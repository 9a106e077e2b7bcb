// The audio core on its own: bringing the output up and down (the start-up goes on only for
// the codes it expects, and every play initialises again), handles, and the end of a stream.
#include "platform/audio/mixer.h"
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

// A stream that runs dry before its end is a slow disc, not the end of the track.
TEST(CoreMixer, DrainedStreamEndsOnceWithTheRightEvent) {
    Mixer mixer;
    HSTREAM handle = 0;
    // A playing stream whose ring holds 100 frames of its source.
    const auto add = [&] {
        auto stream = std::make_shared<Stream>(++handle, std::make_unique<FakePcmSource>(kSecond),
                                               0, 0, 64 * 1024);
        std::vector<char> bytes(100 * kBytesPerFrame);
        stream->play.ring.write(bytes.data(), stream->source()->read(bytes.data(), bytes.size()));
        stream->play.active = BASS_ACTIVE_PLAYING;
        mixer.add(stream);
        return stream;
    };
    const auto render = [&](int frames) {
        std::vector<std::int16_t> out(frames * 2);
        mixer.render(out.data(), frames);
    };
    auto ended = add(), failed = add(), starving = add();
    ended->play.sourceEnded = true;
    failed->play.readFailed = true;
    render(50);
    EXPECT_EQ(mixer.takeEvents(*ended), 0u); // still audio left to hear
    render(100);
    EXPECT_EQ(mixer.takeEvents(*ended), unsigned{kEventEnd});
    EXPECT_EQ(mixer.takeEvents(*failed), unsigned{kEventReadError});
    EXPECT_EQ(mixer.takeEvents(*starving), 0u); // an underrun is not an end
    EXPECT_EQ(ended->play.active, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(starving->play.active, BASS_ACTIVE_PLAYING);
    render(100);
    EXPECT_EQ(mixer.takeEvents(*ended), 0u);
}
