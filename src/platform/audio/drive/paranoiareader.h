#pragma once

#include "platform/audio/disc/cddrive.h"
#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/sectorreader.h"

#include <memory>
#include <string>

// paranoia names what went wrong only to a callback without a context; this
// adds one event to a stream's tally (its own function, so it can be checked).
void CountParanoiaEvent(SectorDamage& damage, paranoia_cb_mode_t event);

// Sectors of a drive through libcdio-paranoia on a drive handle of its own: paranoia reads
// an image that libcdio opens as a drive just as it reads a disc.
// Playback reads without fix-ups, where a short glitch beats a stall. A rip uses full paranoia
// (verification and overlap) and gives up on a sector after a bounded number of retries,
// patching over it; the most careful reading never patches over a sector and retries longer
// before the read fails.
class ParanoiaReader final : public SectorReader {
public:
    // Null when the drive cannot be opened for reading. driver as RealDrive takes it.
    static std::unique_ptr<ParanoiaReader> open(const std::string& path, driver_id_t driver,
                                                ReadCare care);

    const std::int16_t* readSector() override;
    void seek(lsn_t sector) override;
    SectorDamage damage() const override { return m_damage; }

private:
    ParanoiaReader(CdIoHandle cdio, CddaDriveHandle drive, ParanoiaHandle paranoia, int retries);
    static void onEvent(long sector, paranoia_cb_mode_t event);

    // Declared in the order they are made: each is freed before what it reads from.
    CdIoHandle m_cdio;
    CddaDriveHandle m_drive;
    ParanoiaHandle m_paranoia;
    SectorDamage m_damage;
    int m_retries;
};
