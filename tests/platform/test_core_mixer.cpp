// The mixer on its own, without a device: the balance, slides and the end of a stream,
// rendered block by block.
#include "platform/audio/mixer.h"
#include "test_core_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace coretest;

namespace {

class CoreMixer : public ::testing::Test {
protected:
    // A playing stream whose ring already holds the given frames of its source.
    std::shared_ptr<Stream> addStream(std::unique_ptr<PcmSource> source, int frames) {
        auto stream = std::make_shared<Stream>(++m_handle, std::move(source), 0, 0, 64 * 1024);
        std::vector<char> bytes(frames * kBytesPerFrame);
        const int n = stream->source()->read(bytes.data(), static_cast<int>(bytes.size()));
        stream->play.ring.write(bytes.data(), n);
        stream->play.active = BASS_ACTIVE_PLAYING;
        m_mixer.add(stream);
        return stream;
    }

    std::vector<std::int16_t> render(int frames) {
        std::vector<std::int16_t> out(frames * 2);
        m_mixer.render(out.data(), frames);
        return out;
    }

    Mixer m_mixer;
    HSTREAM m_handle = 0;
};

} // namespace

TEST_F(CoreMixer, PanLawIsLinearBalanceTimesVolume) {
    auto stream = addStream(std::make_unique<FakePcmSource>(kSecond), 300);
    struct Case {
        float volume, pan, left, right;
    } cases[] = {{100, -100, 1, 0},
                 {100, 100, 0, 1},
                 {100, 0, 1, 1},
                 {50, 0, 0.5f, 0.5f},
                 {100, 50, 0.5f, 1}};
    int frame = 0;
    for (const Case& c : cases) {
        stream->play.volume = c.volume;
        stream->play.pan = c.pan;
        const auto out = render(60);
        for (int i = 0; i < 60; ++i, ++frame) {
            ASSERT_EQ(out[2 * i], std::lrintf(LeftSample(frame) * c.left)) << "frame " << frame;
            ASSERT_EQ(out[2 * i + 1], std::lrintf(RightSample(frame) * c.right)) << frame;
        }
    }
    EXPECT_EQ(stream->play.position, 300u * kBytesPerFrame); // every rendered frame heard
}

TEST_F(CoreMixer, SlideRampsSmoothlyAndReportsDoneOnce) {
    auto stream = addStream(FakePcmSource::constant(kSecond, 20000, 20000), 2000);
    stream->play.volumeRamp.start(100, 0, 1000);
    const auto out = render(1500);
    for (int i = 1; i < 1000; ++i) {
        ASSERT_LE(out[2 * i], out[2 * (i - 1)]);           // never rises during a fade
        ASSERT_LE(out[2 * (i - 1)] - out[2 * i], 21) << i; // and never jumps
    }
    for (int i = 1000; i < 1500; ++i)
        ASSERT_EQ(out[2 * i], 0);
    EXPECT_EQ(m_mixer.takeEvents(*stream), unsigned{kEventSlideDone});
    render(100);
    EXPECT_EQ(m_mixer.takeEvents(*stream), 0u);
    EXPECT_EQ(stream->play.volume, 0);
}

TEST_F(CoreMixer, DrainedStreamEndsOnceWithTheRightEvent) {
    auto ended = addStream(std::make_unique<FakePcmSource>(kSecond), 100);
    auto failed = addStream(std::make_unique<FakePcmSource>(kSecond), 100);
    auto starving = addStream(std::make_unique<FakePcmSource>(kSecond), 100);
    ended->play.sourceEnded = true;
    failed->play.readFailed = true;
    render(50);
    EXPECT_EQ(m_mixer.takeEvents(*ended), 0u); // still audio left to hear
    render(100);
    EXPECT_EQ(m_mixer.takeEvents(*ended), unsigned{kEventEnd});
    EXPECT_EQ(m_mixer.takeEvents(*failed), unsigned{kEventReadError});
    EXPECT_EQ(m_mixer.takeEvents(*starving), 0u); // an underrun is not an end
    EXPECT_EQ(ended->play.active, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(starving->play.active, BASS_ACTIVE_PLAYING);
    render(100);
    EXPECT_EQ(m_mixer.takeEvents(*ended), 0u);
}
