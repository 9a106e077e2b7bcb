// The user-interface thread starts, stops and frees streams while syncs fire on
// the library's thread: no crash, no deadlock, no sync for a freed stream.
#include "platform/audio/output/outputengine.h"
#include "test_core_support.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace coretest;

namespace {

// Watches the sync calls: every call must name a stream that was not yet freed.
struct SyncWatch {
    std::mutex mutex;
    std::set<DWORD> freed;
    std::atomic<int> calls{0};
    std::atomic<int> callsForFreed{0};

    void markFreed(DWORD h) {
        std::lock_guard guard(mutex);
        freed.insert(h);
    }

    static void Proc(HSYNC, DWORD channel, DWORD, void* user) {
        auto* self = static_cast<SyncWatch*>(user);
        {
            std::lock_guard guard(self->mutex);
            if (self->freed.contains(channel))
                ++self->callsForFreed;
        }
        ++self->calls;
    }
};

} // namespace

TEST(CoreConcurrency, StreamsComeAndGoWhileSyncsFire) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    OutputEngine core;
    ASSERT_EQ(core.BASS_Init(1, 44100, 0, nullptr, nullptr), 1);
    SyncWatch watch;
    std::mt19937 random(1234);
    std::vector<HSTREAM> alive;
    for (int i = 0; i < 300; ++i) {
        const std::uint64_t length = 4 * (1 + random() % 2000); // up to ~45 ms of audio
        const bool failing = random() % 5 == 0;
        auto source = std::make_unique<FakePcmSource>(
            length, failing ? std::optional<std::uint64_t>(length / 2) : std::nullopt);
        const HSTREAM h = core.createStream(std::move(source), kPlaybackStreamFlags, i % 3);
        ASSERT_NE(h, 0u);
        for (DWORD type : {BASS_SYNC_END, BASS_SYNC_CD_ERROR, BASS_SYNC_SLIDE})
            core.BASS_ChannelSetSync(h, type | BASS_SYNC_ONETIME, 0, &SyncWatch::Proc, &watch);
        core.BASS_StreamPlay(h, 1, 0);
        switch (random() % 6) {
        case 0:
            core.BASS_StreamFree(h);
            watch.markFreed(h);
            break;
        case 1:
            core.BASS_ChannelSlideAttributes(h, -1, 0, -101, 5);
            break;
        case 2:
            core.BASS_ChannelPause(h);
            core.BASS_ChannelResume(h);
            break;
        case 3:
            core.freeStreamsOf(i % 3); // what a new CD stream does to the drive's old one
            break;
        default:
            alive.push_back(h);
            break;
        }
        if (random() % 4 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 30));
        if (alive.size() > 8) {
            const HSTREAM old = alive[random() % alive.size()];
            core.BASS_ChannelStop(old);
            if (core.BASS_StreamFree(old))
                watch.markFreed(old);
            std::erase(alive, old);
        }
    }
    EXPECT_GT(watch.calls.load(), 0);
    ASSERT_EQ(core.BASS_Free(), 1);
    const int callsAtFree = watch.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(watch.calls.load(), callsAtFree); // nothing fires after Free
    EXPECT_EQ(watch.callsForFreed.load(), 0);
}

TEST(CoreConcurrency, NothingWaitsForAReadStuckOnTheDisc) {
    OutputEngine core;
    ASSERT_EQ(core.BASS_Init(0, 44100, 0, nullptr, nullptr), 1);
    const auto latch = std::make_shared<LatchSource::Latch>();
    const HSTREAM stuck = core.createStream(std::make_unique<LatchSource>(latch), 0, 0);
    const HSTREAM other = core.createStream(std::make_unique<FakePcmSource>(kSecond), 0, 1);
    core.BASS_StreamPlay(stuck, 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return latch->entered.load(); }));
    // What the window does meanwhile: poll the other stream, free the stuck one.
    std::atomic<bool> done{false};
    std::thread ui([&] {
        for (int i = 0; i < 200; ++i) {
            core.BASS_ChannelIsActive(other);
            core.BASS_ChannelGetPosition(other);
            if (i == 100)
                core.BASS_StreamFree(stuck);
        }
        done = true;
    });
    const bool returnedWhileStuck = WaitUntil([&] { return done.load(); });
    OpenLatch(*latch);
    ui.join();
    EXPECT_TRUE(returnedWhileStuck);
    EXPECT_EQ(core.BASS_ChannelIsActive(stuck), DWORD(BASS_ACTIVE_STOPPED));
}
