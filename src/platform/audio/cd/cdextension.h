#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/cd/subcodejob.h"
#include "platform/audio/core/streamengine.h"
#include "platform/audio/disc/cddrive.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The CD extension: optical drives and the paths libcdio opens itself, then disc images as
// virtual drives (see cddrives.h); drives plugged in later follow. Drive letters follow the
// list from D. Streams are handed to the core's stream engine, tagged with their drive.
//
// A drive keeps its index for the extension's life: one that goes leaves its place, and
// comes back to it when the same device node returns.
//
// Thread use: the calls may come from any thread, one at a time per drive state (a mutex
// serialises them); BASS_CD_DiscChangedSince and BASS_CD_GetDriveListChanges take no lock.
// The sources a stream reads never touch the drive objects, so the engine's threads need no
// lock here.
class CdExtension : public BassCd {
public:
    CdExtension(StreamEngine& engine, const std::string& dataFolder);
    // With a given drive list (tests, or a caller that lists drives itself).
    CdExtension(StreamEngine& engine, std::vector<std::unique_ptr<CdDrive>> drives);

    const char* BASS_CD_GetDriveDescription(DWORD drive) override;
    DWORD BASS_CD_GetDriveLetter(DWORD drive) override;
    BOOL BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) override;
    BOOL BASS_CD_GetInfoUnknown(DWORD drive, BASS_CD_INFO* unknown) override;
    BOOL BASS_CD_IsReady(DWORD drive) override;
    int BASS_CD_GetTracks(DWORD drive) override;
    BOOL BASS_CD_GetTOC(DWORD drive, DiscToc* toc) override;
    BOOL BASS_CD_GetSubcode(DWORD drive, DiscSubcode* subcode, BOOL wait) override;
    int BASS_CD_GetTrackLength(DWORD drive, DWORD track) override;
    const char* BASS_CD_GetID(DWORD drive, DWORD id) override;
    BOOL BASS_CD_Door(DWORD drive, DWORD action) override;
    BOOL BASS_CD_DoorIsOpen(DWORD drive) override;
    BOOL BASS_CD_DoorIsLocked(DWORD drive) override;
    HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags) override;
    BOOL BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skippedSectors, DWORD* readErrors) override;
    BOOL BASS_CD_SetOffset(DWORD drive, int samples) override;
    int BASS_CD_GetOffset(DWORD drive) override;
    BOOL BASS_CD_DriveIsPresent(DWORD drive) override;
    DWORD BASS_CD_GetDriveListChanges() override;
    DWORD BASS_CD_GetDiscChanges(DWORD drive) override;
    BOOL BASS_CD_DiscChangedSince(DWORD drive, DWORD changes) override;

    // A drive that came, at its device node (empty: a drive no event names). It takes the
    // place it had when the node was listed before, else the next one; false when the list
    // is full or the node is listed already.
    bool addDrive(const std::string& node, std::unique_ptr<CdDrive> drive);
    // The drive at that node has gone: every call on it fails, and its disc counts as changed.
    void removeDrive(const std::string& node);

private:
    struct Slot {
        std::unique_ptr<CdDrive> drive; // null once the drive has gone
        std::string node;
        std::string description; // what BASS_CD_GetDriveDescription hands out
        std::string cdTextBlock; // the block BASS_CD_GetID handed out
        int readOffset = 0;      // in samples
        std::atomic<DWORD> discChanges{0};
        std::shared_ptr<SubcodeJob> subcode; // the reading for the disc last asked about
    };
    // Drives ever listed in one run, plugged-in ones included.
    static constexpr std::size_t kMostDrives = 256;

    // The slot of a drive ever listed, or null with BASS_ERROR_DEVICE set.
    Slot* slot(DWORD drive);
    // The drive, or null with BASS_ERROR_DEVICE set (also when it has gone).
    CdDrive* find(DWORD drive);
    Slot* slotOfNode(const std::string& node);
    // The reading of the subcode of the disc in the drive now, started when there is none.
    std::shared_ptr<SubcodeJob> subcodeJob(DWORD drive);

    StreamEngine& m_engine;
    std::mutex m_mutex;
    // Filled in order and never emptied: the lock-free calls read the first m_slotCount.
    std::array<std::unique_ptr<Slot>, kMostDrives> m_slots;
    std::atomic<std::size_t> m_slotCount{0};
    std::atomic<DWORD> m_listChanges{0};
    // Readings of discs that have gone, kept until they end (or the extension does).
    std::vector<std::shared_ptr<SubcodeJob>> m_oldSubcodeJobs;
};
