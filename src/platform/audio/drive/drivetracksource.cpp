#include "platform/audio/drive/drivetracksource.h"

#include "common/audiolibrary.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/drive/paranoiareader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// paranoia delivers samples in host order; streams carry little-endian PCM.
void ToLittleEndian(char* sector, int bytes) {
    if constexpr (std::endian::native == std::endian::big)
        for (int i = 0; i + 1 < bytes; i += 2)
            std::swap(sector[i], sector[i + 1]);
}

} // namespace

std::unique_ptr<DriveTrackSource> DriveTrackSource::open(const std::string& path,
                                                         driver_id_t driver, lsn_t firstSector,
                                                         int sectorCount, ReadCare care) {
    auto reader = ParanoiaReader::open(path, driver, care);
    if (!reader)
        return FailWith(BASS_ERROR_NOCD, nullptr);
    return std::make_unique<DriveTrackSource>(std::move(reader), firstSector, sectorCount);
}

DriveTrackSource::DriveTrackSource(std::unique_ptr<SectorReader> reader, lsn_t firstSector,
                                   int sectorCount)
    : m_reader(std::move(reader)), m_firstSector(firstSector), m_sectorCount(sectorCount) {
    m_reader->seek(m_firstSector);
}

std::uint64_t DriveTrackSource::length() const {
    return std::uint64_t(m_sectorCount) * kSectorBytes;
}

bool DriveTrackSource::fillSector() {
    const std::int16_t* samples = m_reader->readSector();
    if (samples == nullptr)
        return false;
    std::memcpy(m_sector.data(), samples, m_sector.size());
    ToLittleEndian(m_sector.data(), kSectorBytes);
    m_sectorUsed = 0;
    ++m_nextSector;
    return true;
}

int DriveTrackSource::read(char* buffer, int n) {
    if (m_failed)
        return fail(BASS_ERROR_NOCD);
    int delivered = 0;
    while (delivered < n) {
        if (m_sectorUsed == kSectorBytes) {
            if (m_nextSector == m_sectorCount)
                break;
            if (!fillSector()) {
                m_failed = delivered > 0;
                return m_failed ? delivered : fail(BASS_ERROR_NOCD);
            }
        }
        const int chunk = std::min(n - delivered, kSectorBytes - m_sectorUsed);
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
    const int sector = static_cast<int>(byte / kSectorBytes);
    const int within = static_cast<int>(byte % kSectorBytes);
    m_reader->seek(m_firstSector + sector);
    m_nextSector = sector;
    m_sectorUsed = kSectorBytes;
    m_failed = false;
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
    m_failed = false;
    m_error = code;
    SetLastBassError(code);
    return -1;
}
