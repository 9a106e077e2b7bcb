// Decode streams as the rippers and the position slider use them: a read error after good
// data, a stream that stays after its end, and seeks to whole frames.
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
    OutputEngine m_core;
};

} // namespace

// The ripper hears of a failed read through the -1 alone, and still asks the stream for its
// position and damage before it frees it.
TEST_F(CoreDecode, ReadErrorGivesTheGoodBytesThenMinusOneAndTheStreamStays) {
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
    EXPECT_EQ(errors.count(), 0u);

    const HSTREAM whole = create(20000);
    EXPECT_EQ(m_core.BASS_ChannelGetData(whole, buffer.data(), 20000), 20000);
    EXPECT_EQ(m_core.BASS_ChannelIsActive(whole), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(m_core.BASS_ChannelGetPosition(whole), 20000u);
    EXPECT_EQ(m_core.BASS_StreamFree(whole), 1);
}

// A seek to the middle of a frame would swap the channels from there on.
TEST_F(CoreDecode, SeekLandsOnAWholeFrame) {
    const HSTREAM h = create(kSecond);
    ASSERT_EQ(m_core.BASS_ChannelSetPosition(h, 8002), 1);
    EXPECT_EQ(m_core.BASS_ChannelGetPosition(h), 8000u);
    std::vector<char> buffer(400);
    ASSERT_EQ(m_core.BASS_ChannelGetData(h, buffer.data(), 400), 400);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(buffer[i], FakePcmSource::ByteAt(8000 + i)) << i;
    EXPECT_EQ(m_core.BASS_ChannelSetPosition(h, kSecond + 4), 0);
    EXPECT_EQ(m_core.BASS_ErrorGetCode(), BASS_ERROR_POSITION);
}
