#include "platform/audio/drivetracksource.h"

#include "common/audiolibrary.h"
#include "platform/audio/lasterror.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr int kReadRetries = 20;
constexpr int kRipMode = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
constexpr int kPlaybackMode = PARANOIA_MODE_DISABLE;

// paranoia reports progress and trouble here; a hard read error also shows in the result.
void IgnoreProgress(long, paranoia_cb_mode_t) {}

// paranoia delivers samples in host order; streams carry little-endian PCM.
void ToLittleEndian(char* sector) {
    if constexpr (std::endian::native == std::endian::big)
        for (int i = 0; i + 1 < CDIO_CD_FRAMESIZE_RAW; i += 2)
            std::swap(sector[i], sector[i + 1]);
}

} // namespace

std::unique_ptr<DriveTrackSource> DriveTrackSource::open(const std::string& device,
                                                         lsn_t firstSector, int sectorCount,
                                                         bool forDecoding) {
    CddaDriveHandle drive(cdio_cddap_identify(device.c_str(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!drive || cdio_cddap_open(drive.get()) != 0)
        return FailWith(BASS_ERROR_NOCD, nullptr);
    ParanoiaHandle paranoia(cdio_paranoia_init(drive.get()));
    if (!paranoia)
        return FailWith(BASS_ERROR_MEM, nullptr);
    cdio_paranoia_modeset(paranoia.get(), forDecoding ? kRipMode : kPlaybackMode);
    cdio_paranoia_seek(paranoia.get(), firstSector, SEEK_SET);
    return std::unique_ptr<DriveTrackSource>(
        new DriveTrackSource(std::move(drive), std::move(paranoia), firstSector, sectorCount));
}

DriveTrackSource::DriveTrackSource(CddaDriveHandle drive, ParanoiaHandle paranoia,
                                   lsn_t firstSector, int sectorCount)
    : m_drive(std::move(drive)), m_paranoia(std::move(paranoia)), m_firstSector(firstSector),
      m_sectorCount(sectorCount) {}

std::uint64_t DriveTrackSource::length() const {
    return std::uint64_t(m_sectorCount) * CDIO_CD_FRAMESIZE_RAW;
}

bool DriveTrackSource::fillSector() {
    const int16_t* samples =
        cdio_paranoia_read_limited(m_paranoia.get(), IgnoreProgress, kReadRetries);
    if (samples == nullptr)
        return false;
    std::memcpy(m_sector.data(), samples, m_sector.size());
    ToLittleEndian(m_sector.data());
    m_sectorUsed = 0;
    ++m_nextSector;
    return true;
}

int DriveTrackSource::read(char* buffer, int n) {
    int delivered = 0;
    while (delivered < n) {
        if (m_sectorUsed == CDIO_CD_FRAMESIZE_RAW) {
            if (m_nextSector == m_sectorCount)
                break;
            if (!fillSector())
                return fail(BASS_ERROR_NOCD);
        }
        const int chunk = std::min(n - delivered, CDIO_CD_FRAMESIZE_RAW - m_sectorUsed);
        std::memcpy(buffer + delivered, m_sector.data() + m_sectorUsed, chunk);
        m_sectorUsed += chunk;
        delivered += chunk;
    }
    return delivered;
}

bool DriveTrackSource::seek(std::uint64_t byte) {
    if (byte > length()) {
        fail(BASS_ERROR_POSITION);
        return false;
    }
    byte -= byte % 4;
    const int sector = static_cast<int>(byte / CDIO_CD_FRAMESIZE_RAW);
    const int within = static_cast<int>(byte % CDIO_CD_FRAMESIZE_RAW);
    cdio_paranoia_seek(m_paranoia.get(), m_firstSector + sector, SEEK_SET);
    m_nextSector = sector;
    m_sectorUsed = CDIO_CD_FRAMESIZE_RAW;
    if (within > 0) {
        if (!fillSector()) {
            fail(BASS_ERROR_NOCD);
            return false;
        }
        m_sectorUsed = within;
    }
    return true;
}

int DriveTrackSource::fail(int code) {
    m_error = code;
    SetLastBassError(code);
    return -1;
}
