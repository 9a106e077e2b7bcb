// The audio core on its own: bringing the output up and down (the start-up goes on only for
// the codes it expects, and every play initialises again), handles, and the end of a stream;
// then the disc sources under it meeting read errors.

#include "platform/audio/core/mixer.h"
#include "platform/audio/drive/drivetracksource.h"
#include "platform/audio/drive/paranoiareader.h"
#include "platform/audio/image/imagetracksource.h"
#include "platform/audio/output/outputengine.h"
#include "test_core_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// Disc sources meeting read errors, read as the ripper reads them: the data read before an
// error is delivered and the error follows on the next read; what paranoia had to patch over
// reaches the ripper's query after the last read.

namespace {

constexpr int kSector = 2352;

// Sectors of a known value that fail from a given sector on; reports scripted damage.
class ScriptedSectors final : public SectorReader {
public:
    ScriptedSectors(int goodSectors, SectorDamage damage)
        : m_good(goodSectors), m_damage(damage), m_samples(kSector / 2, 0x0101) {}

    const std::int16_t* readSector() override {
        return m_next++ < m_good ? m_samples.data() : nullptr;
    }
    void seek(lsn_t sector) override { m_next = sector; }
    SectorDamage damage() const override { return m_damage; }

private:
    int m_good;
    int m_next = 0;
    SectorDamage m_damage;
    std::vector<std::int16_t> m_samples;
};

std::unique_ptr<PcmSource> Drive(int goodSectors, SectorDamage damage = {}) {
    return std::make_unique<DriveTrackSource>(
        std::make_unique<ScriptedSectors>(goodSectors, damage), 0, 10);
}

TEST(SourceFaults, ReadGivesTheDataBeforeAnErrorAndTheNextReadFails) {
    QTemporaryDir dir;
    const std::string bin = dir.path().toStdString() + "/a.bin";
    std::ofstream(bin, std::ios::binary) << std::string(10 * kSector, '\1');
    auto presence = std::make_shared<DiscPresence>();
    presence->insert();
    OutputEngine core;
    const HSTREAM streams[] = {
        core.createStream(ImageTrackSource::open(ImageExtent{0, 10, bin, 0}, presence),
                          kDecodeStreamFlags, 0),
        core.createStream(Drive(3), kDecodeStreamFlags, 0),
    };
    std::filesystem::resize_file(bin, 3 * kSector); // the image shrinks under its reader
    // The image says it is shorter than its sheet; the drive, that its disc cannot be read.
    for (const auto& [h, error] :
         {std::pair{streams[0], BASS_ERROR_IMAGESHORT}, std::pair{streams[1], BASS_ERROR_NOCD}}) {
        std::vector<char> buffer(10 * kSector);
        EXPECT_EQ(core.BASS_ChannelGetData(h, buffer.data(), 10 * kSector), 3 * kSector);
        EXPECT_EQ(buffer[3 * kSector - 1], '\1');
        EXPECT_EQ(core.BASS_ChannelGetData(h, buffer.data(), kSector), -1);
        EXPECT_EQ(core.BASS_ErrorGetCode(), error);
        EXPECT_EQ(core.BASS_ChannelGetPosition(h), QWORD(3 * kSector));
    }
}

// The stream stays after its end until the ripper frees it: a damage lost there would count a
// patched copy as ripped.
TEST(SourceFaults, PatchedOverSectorsReachTheRipperAfterTheLastRead) {
    OutputEngine core;
    const HSTREAM damaged = core.createStream(Drive(10, {4, 1}), kDecodeStreamFlags, 0);
    const HSTREAM clean = core.createStream(Drive(10), kDecodeStreamFlags, 0);
    std::vector<char> buffer(20 * kSector);
    EXPECT_EQ(core.BASS_ChannelGetData(damaged, buffer.data(), 20 * kSector), 10 * kSector);
    EXPECT_EQ(core.BASS_ChannelIsActive(damaged), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(core.damageOf(damaged)->skippedSectors, 4u);
    EXPECT_EQ(core.damageOf(damaged)->readErrors, 1u);
    EXPECT_FALSE(core.damageOf(clean)->any());
    core.BASS_StreamFree(damaged);
    EXPECT_FALSE(core.damageOf(damaged));
}

} // namespace
