#pragma once

#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/sectorreader.h"

#include <memory>
#include <string>

// paranoia names what went wrong only to a callback without a context; this
// adds one event to a stream's tally (its own function, so it can be checked).
void CountParanoiaEvent(SectorDamage& damage, paranoia_cb_mode_t event);

// Sectors of a real drive through libcdio-paranoia on a drive handle of its own.
// Ripping uses full paranoia (verification and overlap, a bounded number of
// retries); playback reads without fix-ups, where a short glitch beats a stall.
class ParanoiaReader final : public SectorReader {
public:
    // Null when the drive cannot be opened for reading.
    static std::unique_ptr<ParanoiaReader> open(const std::string& device, bool careful);

    const std::int16_t* readSector() override;
    void seek(lsn_t sector) override;
    SectorDamage damage() const override { return m_damage; }

private:
    ParanoiaReader(CddaDriveHandle drive, ParanoiaHandle paranoia);
    static void onEvent(long sector, paranoia_cb_mode_t event);

    CddaDriveHandle m_drive;
    ParanoiaHandle m_paranoia; // declared after m_drive: freed before the drive closes
    SectorDamage m_damage;
};
