#pragma once

#include "platform/audio/core/pcmsource.h"
#include "platform/audio/disc/cddrive.h"
#include "platform/audio/disc/sectorreader.h"

#include <cdio/cdio.h>

#include <array>
#include <memory>
#include <string>

// The PCM of one audio track of a disc in a real drive, sector by sector from
// a sector reader (libcdio-paranoia on a handle of its own, see paranoiareader.h).
// A read that fails part-way returns the data read before; the next read fails.
class DriveTrackSource : public PcmSource {
public:
    // Null with the last error set when the drive cannot be opened for reading.
    static std::unique_ptr<DriveTrackSource> open(const std::string& path, driver_id_t driver,
                                                  lsn_t firstSector, int sectorCount,
                                                  ReadCare care);
    DriveTrackSource(std::unique_ptr<SectorReader> reader, lsn_t firstSector, int sectorCount);

    std::uint64_t length() const override;
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }
    SectorDamage damage() const override { return m_reader->damage(); }

private:
    static constexpr int kSectorBytes = 2352;

    bool fillSector();
    int fail(int code);

    std::unique_ptr<SectorReader> m_reader;
    lsn_t m_firstSector;
    int m_sectorCount;
    int m_nextSector = 0; // relative to the track
    std::array<char, kSectorBytes> m_sector{};
    int m_sectorUsed = kSectorBytes; // bytes of m_sector already handed out
    int m_error = 0;
    bool m_failed = false; // a read error met after data that went out; the next read reports it
};
