// Disc sources meeting read errors, read as the ripper reads them: the data read before an
// error is delivered and the error follows on the next read; what paranoia had to patch over
// reaches the ripper's query after the last read.

#include "platform/audio/drivetracksource.h"
#include "platform/audio/imagetracksource.h"
#include "platform/audio/outputengine.h"
#include "platform/audio/paranoiareader.h"
#include "test_core_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace coretest;

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
        core.createStream(ImageTrackSource::open(ImageTrack{true, 10, bin, 0}, presence),
                          kDecodeStreamFlags, 0),
        core.createStream(Drive(3), kDecodeStreamFlags, 0),
    };
    std::filesystem::resize_file(bin, 3 * kSector); // the image shrinks under its reader
    for (const HSTREAM h : streams) {
        std::vector<char> buffer(10 * kSector);
        EXPECT_EQ(core.BASS_ChannelGetData(h, buffer.data(), 10 * kSector), 3 * kSector);
        EXPECT_EQ(buffer[3 * kSector - 1], '\1');
        EXPECT_EQ(core.BASS_ChannelGetData(h, buffer.data(), kSector), -1);
        EXPECT_EQ(core.BASS_ErrorGetCode(), BASS_ERROR_NOCD);
        EXPECT_EQ(core.BASS_ChannelGetPosition(h), QWORD(3 * kSector));
    }
}

TEST(SourceFaults, ParanoiaSkipsAndReadErrorsAreCountedAndOtherEventsNot) {
    SectorDamage damage;
    for (paranoia_cb_mode_t event :
         {PARANOIA_CB_READ, PARANOIA_CB_VERIFY, PARANOIA_CB_FIXUP_EDGE, PARANOIA_CB_FIXUP_ATOM,
          PARANOIA_CB_SCRATCH, PARANOIA_CB_DRIFT, PARANOIA_CB_OVERLAP, PARANOIA_CB_SKIP,
          PARANOIA_CB_SKIP, PARANOIA_CB_READERR})
        CountParanoiaEvent(damage, event);
    EXPECT_EQ(damage.skippedSectors, 2u);
    EXPECT_EQ(damage.readErrors, 1u);
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
