#include "platform/audio/cd/cdextension.h"

#include "platform/audio/cd/cddrives.h"
#include "platform/audio/core/lasterror.h"

namespace {
constexpr DWORD kFirstDriveLetter = 3; // D
constexpr int kTrackLimit = 99;

// A decode stream is read for a rip; a stream that is heard plays as steadily as it can.
ReadCare CareOf(DWORD flags) {
    if (!(flags & BASS_STREAM_DECODE))
        return ReadCare::Steady;
    return (flags & BASS_CD_MOSTCAREFUL) ? ReadCare::MostCareful : ReadCare::Careful;
}
} // namespace

CdExtension::CdExtension(StreamEngine& engine, const std::string& dataFolder) : m_engine(engine) {
    for (ListedDrive& listed : ListCdDrives(dataFolder))
        addDrive(listed.node, std::move(listed.drive));
}

CdExtension::CdExtension(StreamEngine& engine, std::vector<std::unique_ptr<CdDrive>> drives)
    : m_engine(engine) {
    for (auto& drive : drives)
        addDrive({}, std::move(drive));
}

CdExtension::Slot* CdExtension::slot(DWORD drive) {
    if (drive >= m_slotCount.load())
        return FailWith(BASS_ERROR_DEVICE, nullptr);
    SetLastBassError(BASS_OK);
    return m_slots[drive].get();
}

CdDrive* CdExtension::find(DWORD drive) {
    Slot* found = slot(drive);
    if (found == nullptr || !found->drive)
        return FailWith(BASS_ERROR_DEVICE, nullptr);
    return found->drive.get();
}

CdExtension::Slot* CdExtension::slotOfNode(const std::string& node) {
    if (node.empty())
        return nullptr;
    for (std::size_t i = 0; i < m_slotCount.load(); ++i)
        if (m_slots[i]->node == node)
            return m_slots[i].get();
    return nullptr;
}

bool CdExtension::addDrive(const std::string& node, std::unique_ptr<CdDrive> drive) {
    const std::lock_guard lock(m_mutex);
    Slot* place = slotOfNode(node);
    if (place != nullptr && place->drive)
        return false;
    if (place == nullptr) {
        const std::size_t count = m_slotCount.load();
        if (count == kMostDrives)
            return false;
        m_slots[count] = std::make_unique<Slot>();
        place = m_slots[count].get();
        place->node = node;
        m_slotCount.store(count + 1); // published once the slot is whole
    }
    place->description = drive->description();
    place->drive = std::move(drive);
    place->readOffset = 0;
    ++place->discChanges;
    ++m_listChanges;
    return true;
}

void CdExtension::removeDrive(const std::string& node) {
    const std::lock_guard lock(m_mutex);
    Slot* place = slotOfNode(node);
    if (place == nullptr || !place->drive)
        return;
    place->drive.reset(); // a stream reading it keeps a handle of its own, which now fails
    ++place->discChanges;
    ++m_listChanges;
}

const char* CdExtension::BASS_CD_GetDriveDescription(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    Slot* found = slot(drive);
    return found ? found->description.c_str() : nullptr;
}

DWORD CdExtension::BASS_CD_GetDriveLetter(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    return slot(drive) ? kFirstDriveLetter + drive : DWORD(-1);
}

BOOL CdExtension::BASS_CD_DriveIsPresent(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    return find(drive) != nullptr;
}

DWORD CdExtension::BASS_CD_GetDriveListChanges() {
    return m_listChanges.load();
}

DWORD CdExtension::BASS_CD_GetDiscChanges(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    Slot* found = slot(drive);
    if (found == nullptr)
        return 0;
    if (found->drive && found->drive->discChanged())
        ++found->discChanges;
    return found->discChanges.load();
}

BOOL CdExtension::BASS_CD_DiscChangedSince(DWORD drive, DWORD changes) {
    if (drive >= m_slotCount.load())
        return true; // no such drive: nothing read from it can be trusted
    return m_slots[drive]->discChanges.load() != changes;
}

BOOL CdExtension::BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return false;
    if (info == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, false);
    BASS_CD_INFO unknown;
    return found->info(*info, unknown);
}

BOOL CdExtension::BASS_CD_GetInfoUnknown(DWORD drive, BASS_CD_INFO* unknown) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return false;
    if (unknown == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, false);
    BASS_CD_INFO info;
    return found->info(info, *unknown);
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

std::shared_ptr<SubcodeJob> CdExtension::subcodeJob(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return nullptr;
    Slot& slot = *m_slots[drive];
    if (found->discChanged())
        ++slot.discChanges;
    if (slot.subcode && slot.subcode->discChanges() == slot.discChanges)
        return slot.subcode;
    SubcodeReader reader = found->subcodeReader();
    if (!reader)
        return nullptr;
    std::erase_if(m_oldSubcodeJobs, [](const auto& job) { return job->done(); });
    if (slot.subcode && !slot.subcode->done())
        m_oldSubcodeJobs.push_back(slot.subcode);
    slot.subcode = std::make_shared<SubcodeJob>(std::move(reader), slot.discChanges);
    return slot.subcode;
}

BOOL CdExtension::BASS_CD_GetSubcode(DWORD drive, DiscSubcode* subcode, BOOL wait) {
    if (subcode == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, 0);
    const std::shared_ptr<SubcodeJob> job = subcodeJob(drive);
    if (!job)
        return 0;
    const std::optional<SubcodeAnswer> answer = job->answer(wait);
    if (!answer)
        return FailWith(BASS_ERROR_BUSY, 0);
    if (!answer->subcode)
        return FailWith(answer->error, 0);
    *subcode = *answer->subcode;
    SetLastBassError(BASS_OK);
    return 1;
}

// Tracks count from 0; the hidden track is -1 to the drive.
int CdExtension::BASS_CD_GetTrackLength(DWORD drive, DWORD track) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found)
        return -1;
    if (track >= kTrackLimit && track != BASS_CD_TRACK_HIDDEN)
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
    std::string& block = m_slots[drive]->cdTextBlock;
    block = found->cdTextBlock();
    return block.empty() ? nullptr : block.data();
}

// Whoever opens or closes the door, the disc may change.
BOOL CdExtension::BASS_CD_Door(DWORD drive, DWORD action) {
    const std::lock_guard lock(m_mutex);
    CdDrive* found = find(drive);
    if (!found || !found->door(action))
        return false;
    if (action == BASS_CD_DOOR_OPEN || action == BASS_CD_DOOR_CLOSE)
        ++m_slots[drive]->discChanges;
    return true;
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
    {
        const std::lock_guard lock(m_mutex);
        if (!find(drive))
            return 0;
    }
    // The previous stream goes first: on a real drive it holds the device open.
    if (flags & BASS_CD_FREEOLD)
        m_engine.freeStreamsOf(static_cast<int>(drive));
    std::unique_ptr<PcmSource> source;
    {
        const std::lock_guard lock(m_mutex);
        CdDrive* found = find(drive); // it may have gone meanwhile
        if (!found)
            return 0;
        if (track >= kTrackLimit && track != BASS_CD_TRACK_HIDDEN)
            return FailWith(BASS_ERROR_CDTRACK, HSTREAM(0));
        source =
            found->openTrack(static_cast<int>(track), CareOf(flags), m_slots[drive]->readOffset);
    }
    if (!source)
        return 0;
    return m_engine.createStream(std::move(source),
                                 flags & ~(BASS_CD_FREEOLD | BASS_CD_MOSTCAREFUL),
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
    m_slots[drive]->readOffset = samples;
    return true;
}

int CdExtension::BASS_CD_GetOffset(DWORD drive) {
    const std::lock_guard lock(m_mutex);
    return find(drive) ? m_slots[drive]->readOffset : 0;
}
