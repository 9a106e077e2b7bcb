#include "platform/audio/cd/cdextension.h"

#include "platform/audio/cd/cddrives.h"
#include "platform/audio/core/lasterror.h"

namespace {
constexpr DWORD kFirstDriveLetter = 3; // D
constexpr int kTrackLimit = 99;
} // namespace

CdExtension::CdExtension(StreamEngine& engine, const std::string& dataFolder)
    : CdExtension(engine, ListCdDrives(dataFolder)) {}

CdExtension::CdExtension(StreamEngine& engine, std::vector<std::unique_ptr<CdDrive>> drives)
    : m_engine(engine), m_drives(std::move(drives)), m_cdTextBlocks(m_drives.size()),
      m_readOffsets(m_drives.size(), 0) {}

CdDrive* CdExtension::find(DWORD drive) {
    if (drive >= m_drives.size())
        return FailWith(BASS_ERROR_DEVICE, nullptr);
    SetLastBassError(BASS_OK);
    return m_drives[drive].get();
}

const char* CdExtension::BASS_CD_GetDriveDescription(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found ? found->description().c_str() : nullptr;
}

DWORD CdExtension::BASS_CD_GetDriveLetter(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    return find(drive) ? kFirstDriveLetter + drive : DWORD(-1);
}

BOOL CdExtension::BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return false;
    if (info == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, false);
    return found->info(*info);
}

BOOL CdExtension::BASS_CD_IsReady(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found && found->isReady();
}

int CdExtension::BASS_CD_GetTracks(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found ? found->trackCount() : -1;
}

BOOL CdExtension::BASS_CD_GetTOC(DWORD drive, DiscToc* toc) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return 0;
    if (toc == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, 0);
    return found->toc(*toc) ? 1 : 0;
}

int CdExtension::BASS_CD_GetTrackLength(DWORD drive, DWORD track) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return -1;
    if (track >= kTrackLimit)
        return FailWith(BASS_ERROR_CDTRACK, -1);
    return found->trackLength(static_cast<int>(track));
}

const char* CdExtension::BASS_CD_GetID(DWORD drive, DWORD id) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return nullptr;
    if (id != BASS_CD_ID_TEXT)
        return FailWith(BASS_ERROR_NOTAVAIL, nullptr);
    std::string& block = m_cdTextBlocks[drive];
    block = found->cdTextBlock();
    return block.empty() ? nullptr : block.data();
}

BOOL CdExtension::BASS_CD_Door(DWORD drive, DWORD action) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found && found->door(action);
}

BOOL CdExtension::BASS_CD_DoorIsOpen(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found && found->doorIsOpen();
}

BOOL CdExtension::BASS_CD_DoorIsLocked(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    return found && found->doorIsLocked();
}

HSTREAM CdExtension::BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags) {
    std::unique_ptr<PcmSource> source;
    {
        const std::lock_guard lock(m_mutex);
        if (!find(drive))
            return 0;
    }
    // The previous stream goes first: on a real drive it holds the device open.
    if (flags & BASS_CD_FREEOLD)
        m_engine.freeStreamsOf(static_cast<int>(drive));
    {
        const std::lock_guard lock(m_mutex);
        if (track >= kTrackLimit)
            return FailWith(BASS_ERROR_CDTRACK, HSTREAM(0));
        source = m_drives[drive]->openTrack(static_cast<int>(track), flags & BASS_STREAM_DECODE,
                                            m_readOffsets[drive]);
    }
    if (!source)
        return 0;
    return m_engine.createStream(std::move(source), flags & ~BASS_CD_FREEOLD,
                                 static_cast<int>(drive));
}

BOOL CdExtension::BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skippedSectors,
                                          DWORD* readErrors) {
    const auto damage = m_engine.damageOf(handle);
    if (!damage)
        return FailWith(BASS_ERROR_HANDLE, false);
    if (skippedSectors)
        *skippedSectors = damage->skippedSectors;
    if (readErrors)
        *readErrors = damage->readErrors;
    SetLastBassError(BASS_OK);
    return true;
}

BOOL CdExtension::BASS_CD_SetOffset(DWORD drive, int samples) {
    const std::lock_guard lock(m_mutex);
    if (!find(drive))
        return false;
    if (samples < -kMostReadOffset || samples > kMostReadOffset)
        return FailWith(BASS_ERROR_ILLPARAM, false);
    m_readOffsets[drive] = samples;
    return true;
}

int CdExtension::BASS_CD_GetOffset(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    return find(drive) ? m_readOffsets[drive] : 0;
}
