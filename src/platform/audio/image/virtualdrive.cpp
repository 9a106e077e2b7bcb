#include "platform/audio/image/virtualdrive.h"

#include "platform/audio/core/lasterror.h"
#include "platform/audio/image/imageloader.h"
#include "platform/audio/image/imagetracksource.h"

#include <filesystem>

VirtualDrive::VirtualDrive(const std::string& sheetPath) {
    LoadedImage image = LoadDiscImage(sheetPath);
    m_description = "Virtual drive (" + std::filesystem::path(sheetPath).filename().string() + ")";
    if (!image.layout)
        m_description += ": cannot read the image: " + image.error;
    m_layout = std::move(image.layout);
    if (m_layout)
        m_presence->insert();
}

bool VirtualDrive::info(BASS_CD_INFO& info) {
    info.rwflags = kVirtualDriveFlags;
    info.canopen = 1;
    info.canlock = 1;
    info.maxspeed = kVirtualDriveSpeedKBps;
    info.cache = kVirtualDriveCacheKB;
    info.cdtext = 1;
    return true;
}

bool VirtualDrive::isReady() {
    return m_presence->inserted();
}

int VirtualDrive::trackCount() {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, -1);
    return static_cast<int>(m_layout->tracks.size());
}

const ImageTrack* VirtualDrive::findTrack(int track) {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, nullptr);
    if (track < 0 || track >= static_cast<int>(m_layout->tracks.size()))
        return FailWith(BASS_ERROR_CDTRACK, nullptr);
    const ImageTrack& found = m_layout->tracks[track];
    if (!found.audio)
        return FailWith(BASS_ERROR_NOTAUDIO, nullptr);
    return &found;
}

int VirtualDrive::trackLength(int track) {
    const ImageTrack* found = findTrack(track);
    return found ? static_cast<int>(found->byteLength()) : -1;
}

// An image lays its tracks end to end from sector 0, in one session.
bool VirtualDrive::toc(DiscToc& toc) {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, false);
    toc = DiscToc{};
    qint32 sector = 0;
    for (const ImageTrack& track : m_layout->tracks) {
        toc.tracks.push_back({sector, track.audio});
        sector += track.sectorCount;
    }
    toc.leadOut = sector;
    toc.audioLeadOut = sector;
    for (auto it = toc.tracks.crbegin(); it != toc.tracks.crend() && !it->audio; ++it)
        toc.audioLeadOut = it->lsn;
    SetLastBassError(BASS_OK);
    return true;
}

std::string VirtualDrive::cdTextBlock() {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, std::string());
    if (m_layout->cdTextBlock.empty())
        SetLastBassError(BASS_ERROR_NOTAVAIL);
    return m_layout->cdTextBlock;
}

bool VirtualDrive::door(DWORD action) {
    switch (action) {
    case BASS_CD_DOOR_CLOSE:
        closeDoor();
        return true;
    case BASS_CD_DOOR_OPEN:
        return openDoor();
    case BASS_CD_DOOR_LOCK:
    case BASS_CD_DOOR_UNLOCK:
        m_locked = action == BASS_CD_DOOR_LOCK;
        return true;
    default:
        return FailWith(BASS_ERROR_ILLPARAM, false);
    }
}

bool VirtualDrive::openDoor() {
    if (m_locked)
        return FailWith(BASS_ERROR_NOTAVAIL, false); // as a locked tray ignores the eject button
    m_doorOpen = true;
    m_presence->eject();
    return true;
}

void VirtualDrive::closeDoor() {
    if (!m_doorOpen)
        return;
    m_doorOpen = false;
    if (m_layout)
        m_presence->insert();
}

std::unique_ptr<PcmSource> VirtualDrive::openTrack(int track, bool /*forDecoding*/) {
    const ImageTrack* found = findTrack(track);
    if (!found)
        return nullptr;
    return ImageTrackSource::open(*found, m_presence);
}
