#pragma once

#include "platform/audio/cdiohandles.h"
#include "platform/audio/pcmsource.h"

#include <array>
#include <memory>
#include <string>

// The PCM of one audio track of a disc in a real drive, read through
// libcdio-paranoia on a drive handle of its own. Ripping uses full paranoia
// (verification and overlap, without endless retries); playback reads without
// fix-ups, where a short glitch is better than a stall.
class DriveTrackSource : public PcmSource {
public:
    // Null with the last error set when the drive cannot be opened for reading.
    static std::unique_ptr<DriveTrackSource> open(const std::string& device, lsn_t firstSector,
                                                  int sectorCount, bool forDecoding);

    std::uint64_t length() const override;
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }

private:
    DriveTrackSource(CddaDriveHandle drive, ParanoiaHandle paranoia, lsn_t firstSector,
                     int sectorCount);
    bool fillSector();
    int fail(int code);

    CddaDriveHandle m_drive;
    ParanoiaHandle m_paranoia; // declared after m_drive: freed before the drive closes
    lsn_t m_firstSector;
    int m_sectorCount;
    int m_nextSector = 0; // relative to the track
    std::array<char, CDIO_CD_FRAMESIZE_RAW> m_sector{};
    int m_sectorUsed = CDIO_CD_FRAMESIZE_RAW; // bytes of m_sector already handed out
    int m_error = 0;
};
