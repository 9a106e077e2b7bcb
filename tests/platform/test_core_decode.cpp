// Decode streams as the rippers read them: byte-exact data in blocks, a short
// last block, then an inactive stream that still answers for its position.
#include "platform/audio/outputengine.h"
#include "test_core_support.h"

#include <gtest/gtest.h>

using namespace coretest;

namespace {

class CoreDecode : public ::testing::Test {
protected:
    HSTREAM create(std::uint64_t length, std::optional<std::uint64_t> failAfter = {}) {
        return m_core.createStream(std::make_unique<FakePcmSource>(length, failAfter),
                                   kDecodeStreamFlags, 0);
    }

    static void ExpectSourceBytes(const std::vector<char>& data, std::uint64_t from) {
        for (std::size_t i = 0; i < data.size(); ++i)
            ASSERT_EQ(data[i], FakePcmSource::ByteAt(from + i)) << "byte " << from + i;
    }

    OutputEngine m_core;
};

} // namespace

TEST_F(CoreDecode, DeliversTheSourceExactlyWithAShortLastBlock) {
    const std::uint64_t length = 3 * 20000 + 2352;
    const HSTREAM h = create(length);
    ASSERT_NE(h, 0u);
    std::vector<int> blocks;
    std::uint64_t offset = 0;
    while (m_core.BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED) {
        std::vector<char> buffer(20000);
        const int n = m_core.BASS_ChannelGetData(h, buffer.data(), 20000);
        ASSERT_GT(n, 0);
        buffer.resize(n);
        ExpectSourceBytes(buffer, offset);
        offset += n;
        blocks.push_back(n);
        EXPECT_EQ(m_core.BASS_ChannelGetPosition(h), offset);
    }
    EXPECT_EQ(blocks, (std::vector<int>{20000, 20000, 20000, 2352}));
    // The stream is not freed at its end: the ripper still reads the position and frees it.
    EXPECT_EQ(m_core.BASS_ChannelGetPosition(h), length);
    char rest[16];
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, rest, sizeof rest), -1);
    EXPECT_EQ(m_core.BASS_ChannelStop(h), 1);
    EXPECT_EQ(m_core.BASS_StreamFree(h), 1);
    EXPECT_EQ(m_core.BASS_StreamFree(h), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(CoreDecode, EndsWithoutAnEmptyReadWhenTheLengthIsWholeBlocks) {
    const HSTREAM h = create(40000);
    std::vector<char> buffer(20000);
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 20000), 20000);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 20000), 20000);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(create(0)), BASS_ACTIVE_STOPPED); // nothing to read
}

TEST_F(CoreDecode, ReadErrorGivesTheGoodBytesThenMinusOne) {
    SyncRecorder errors;
    const HSTREAM h = create(10 * kSecond, 30000);
    m_core.BASS_ChannelSetSync(h, BASS_SYNC_CD_ERROR | BASS_SYNC_ONETIME, 0, &SyncRecorder::Proc,
                               &errors);
    std::vector<char> buffer(20000);
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 20000), 20000);
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 20000), 10000);
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 20000), -1);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), kReadErrorCode);
    EXPECT_EQ(m_core.BASS_ChannelGetPosition(h), 30000u);
    EXPECT_EQ(errors.count(), 0u); // the ripper hears of it through the -1 alone
}

TEST_F(CoreDecode, SeekMovesTheReadPosition) {
    const HSTREAM h = create(kSecond);
    ASSERT_EQ(m_core.BASS_ChannelSetPosition(h, 8002), 1); // rounded down to a whole frame
    EXPECT_EQ(m_core.BASS_ChannelGetPosition(h), 8000u);
    std::vector<char> buffer(400);
    ASSERT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 400), 400);
    ExpectSourceBytes(buffer, 8000);
    EXPECT_EQ(m_core.BASS_ChannelSetPosition(h, kSecond + 4), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    ASSERT_EQ(m_core.BASS_ChannelSetPosition(h, kSecond), 1);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
}

TEST_F(CoreDecode, DescribesItselfAsCdAudioAndKeepsAttributes) {
    const HSTREAM h = create(kSecond);
    BASS_CHANNELINFO info;
    ASSERT_EQ(m_core.BASS_ChannelGetInfo(h, &info), 1);
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.flags, 0u);
    EXPECT_EQ(m_core.BASS_StreamGetLength(h), kSecond);
    EXPECT_FLOAT_EQ(m_core.BASS_ChannelBytes2Seconds(h, 2 * kSecond), 2.0f);

    ASSERT_EQ(m_core.BASS_ChannelSetAttributes(h, -1, 40, -30), 1);
    ASSERT_EQ(m_core.BASS_ChannelSetAttributes(h, -1, -1, -101), 1); // all unchanged
    DWORD freq = 0, volume = 0;
    int pan = 0;
    ASSERT_EQ(m_core.BASS_ChannelGetAttributes(h, &freq, &volume, &pan), 1);
    EXPECT_EQ(freq, 44100u);
    EXPECT_EQ(volume, 40u);
    EXPECT_EQ(pan, -30);
    EXPECT_EQ(m_core.BASS_ChannelSetAttributes(h, -1, 101, -101), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(m_core.BASS_ChannelSetAttributes(h, -1, -1, -102), 0);
    EXPECT_EQ(m_core.BASS_ChannelSetAttributes(h, 22050, -1, -101), 0); // no speed change
    EXPECT_EQ(m_core.BASS_ChannelGetAttributes(h, nullptr, &volume, &pan), 1);
    EXPECT_EQ(volume, 40u);

    EXPECT_EQ(m_core.BASS_ChannelPause(h), 0); // decode streams are read, not played
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_DECODE);
    EXPECT_EQ(m_core.BASS_StreamPlay(h, 1, 0), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_DECODE);
}

TEST_F(CoreDecode, PlaybackStreamsGiveNoData) {
    ASSERT_EQ(m_core.BASS_Init(0, 44100, 0, nullptr, nullptr), 1);
    const HSTREAM h =
        m_core.createStream(std::make_unique<FakePcmSource>(kSecond), kPlaybackStreamFlags, 0);
    char buffer[64];
    EXPECT_EQ(m_core.BASS_ChannelGetData(h, buffer, sizeof buffer), -1);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_EQ(m_core.BASS_ChannelGetData(12345, buffer, sizeof buffer), -1);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}
