#include "platform/audio/image/virtualdrive.h"

#include "platform/audio/core/concatsource.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/core/paddedsource.h"
#include "platform/audio/disc/hiddentrack.h"
#include "platform/audio/disc/shiftedtrack.h"
#include "platform/audio/image/imageloader.h"
#include "platform/audio/image/imagetracksource.h"

#include <algorithm>
#include <filesystem>

namespace {

// Each stretch of the image the span [firstSector, firstSector + sectorCount) touches gives its
// part: read from its file, or silence. Null with the last error set.
std::unique_ptr<PcmSource> OpenImageSectors(const std::vector<ImageExtent>& extents,
                                            const std::shared_ptr<DiscPresence>& presence,
                                            qint32 firstSector, qint32 sectorCount) {
    std::vector<std::unique_ptr<PcmSource>> parts;
    const qint32 end = firstSector + sectorCount;
    for (const ImageExtent& extent : extents) {
        const qint32 from = std::max(firstSector, extent.firstSector);
        const qint32 to = std::min(end, extent.firstSector + extent.sectorCount);
        if (from >= to)
            continue;
        ImageExtent part = extent;
        part.fileOffset += std::uint64_t(from - extent.firstSector) * kCdSectorBytes;
        part.sectorCount = to - from;
        std::unique_ptr<PcmSource> source;
        if (part.file.empty())
            source = std::make_unique<PaddedSource>(
                nullptr, PaddedSource::Layout{part.byteLength(), 0, 0, 0});
        else
            source = ImageTrackSource::open(part, presence);
        if (!source)
            return nullptr;
        parts.push_back(std::move(source));
    }
    if (parts.size() == 1)
        return std::move(parts.front());
    return std::make_unique<ConcatSource>(std::move(parts));
}

} // namespace

VirtualDrive::VirtualDrive(const std::string& sheetPath) : m_sheetPath(sheetPath) {
    load();
    // The description stays as the list first showed it.
    m_description =
        kVirtualDrivePrefix + std::filesystem::path(sheetPath).filename().string() + ")";
    if (!m_layout)
        m_description += ": cannot read the image: " + m_loadError;
}

void VirtualDrive::load() {
    LoadedImage image = LoadDiscImage(m_sheetPath);
    m_loadError = image.error;
    m_layout = std::move(image.layout);
    m_hidden.reset();
    if (m_layout && m_layout->tracks.front().audio && m_layout->tracks.front().startSector > 0)
        m_hidden = ImageTrack{true, 0, m_layout->tracks.front().startSector, 0};
    std::vector<std::string> files{m_sheetPath};
    if (m_layout)
        for (const ImageExtent& extent : m_layout->extents)
            if (!extent.file.empty() &&
                std::find(files.begin(), files.end(), extent.file) == files.end())
                files.push_back(extent.file);
    m_files = DiscFiles(std::move(files));
    m_presence->eject(); // whatever reads the old disc fails
    if (m_layout && !m_doorOpen)
        m_presence->insert();
}

bool VirtualDrive::discChanged() {
    if (!m_files.changed())
        return false;
    load();
    return true;
}

bool VirtualDrive::info(BASS_CD_INFO& info, BASS_CD_INFO& unknown) {
    unknown = BASS_CD_INFO{};
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
    if (track == -1)
        return m_hidden ? &*m_hidden : FailWith(BASS_ERROR_CDTRACK, nullptr);
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

// Each track starts where its INDEX 01 lies on the disc, as a drive reports it, in one session.
bool VirtualDrive::toc(DiscToc& toc) {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, false);
    toc = DiscToc{};
    for (const ImageTrack& track : m_layout->tracks)
        toc.tracks.push_back({track.startSector, track.audio});
    const ImageTrack& last = m_layout->tracks.back();
    toc.leadOut = last.startSector + last.sectorCount;
    toc.audioLeadOut = toc.leadOut;
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

std::unique_ptr<PcmSource> VirtualDrive::openTrack(int track, ReadCare /*care*/, int readOffset) {
    const ImageTrack* found = findTrack(track);
    if (!found)
        return nullptr;
    if (readOffset == 0)
        return openSectors(found->startSector, found->sectorCount);
    DiscToc disc;
    toc(disc);
    const OffsetRead plan =
        PlanShiftedTrack(disc, track, qint64(found->sectorCount) * kSamplesPerSector, readOffset);
    return OpenShiftedTrack(plan, [this](qint32 firstSector, qint32 sectorCount) {
        return openSectors(firstSector, sectorCount);
    });
}

std::unique_ptr<PcmSource> VirtualDrive::openSectors(qint32 firstSector, qint32 sectorCount) {
    return OpenImageSectors(m_layout->extents, m_presence, firstSector, sectorCount);
}

// The sheet gave the codes when the image was loaded; the hidden track's audio is looked at in
// the image's file, by the reader, on a copy of the layout's stretches.
SubcodeReader VirtualDrive::subcodeReader() {
    if (!isReady())
        return FailWith(BASS_ERROR_NOCD, SubcodeReader());
    return [subcode = m_layout->subcode, extents = m_layout->extents, presence = m_presence,
            hidden = m_hidden](std::stop_token stop) mutable {
        if (hidden) {
            const auto source = OpenImageSectors(extents, presence, 0, hidden->sectorCount);
            subcode.hiddenAudio = source && HoldsSound(*source, stop);
        }
        return SubcodeAnswer{std::move(subcode), BASS_OK};
    };
}
