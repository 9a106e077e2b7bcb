// Disc sources meeting read errors: the data read before an error is delivered and the error
// follows on the next read; what paranoia had to patch over reaches the ripper's query.

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

TEST(SourceFaults, ReadGivesTheDataBeforeAnErrorAndTheNextReadFails) {
    QTemporaryDir dir;
    const std::string bin = dir.path().toStdString() + "/a.bin";
    std::ofstream(bin, std::ios::binary) << std::string(10 * kSector, '\1');
    auto presence = std::make_shared<DiscPresence>();
    presence->insert();
    std::unique_ptr<PcmSource> sources[] = {
        ImageTrackSource::open(ImageTrack{true, 10, bin, 0}, presence),
        std::make_unique<DriveTrackSource>(std::make_unique<ScriptedSectors>(3, SectorDamage{}), 0,
                                           10),
    };
    std::filesystem::resize_file(bin, 3 * kSector); // the image shrinks under its reader
    for (const auto& source : sources) {
        std::vector<char> buffer(10 * kSector);
        EXPECT_EQ(source->read(buffer.data(), 10 * kSector), 3 * kSector);
        EXPECT_EQ(buffer[3 * kSector - 1], '\1');
        EXPECT_EQ(source->read(buffer.data(), kSector), -1);
        EXPECT_EQ(source->errorCode(), BASS_ERROR_NOCD);
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

TEST(SourceFaults, PatchedOverSectorsReachTheRipperThroughTheDecodeStream) {
    OutputEngine core;
    const auto source = [](SectorDamage damage) {
        return std::make_unique<DriveTrackSource>(std::make_unique<ScriptedSectors>(10, damage), 0,
                                                  10);
    };
    const HSTREAM damaged = core.createStream(source({4, 1}), BASS_STREAM_DECODE, 0);
    const HSTREAM clean = core.createStream(source({}), BASS_STREAM_DECODE, 0);
    EXPECT_EQ(core.damageOf(damaged)->skippedSectors, 4u);
    EXPECT_EQ(core.damageOf(damaged)->readErrors, 1u);
    EXPECT_FALSE(core.damageOf(clean)->any());
    core.BASS_StreamFree(damaged);
    EXPECT_FALSE(core.damageOf(damaged));
}

} // namespace
