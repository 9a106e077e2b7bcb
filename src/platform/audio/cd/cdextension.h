#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/streamengine.h"
#include "platform/audio/disc/cddrive.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The CD extension: real optical drives through libcdio, then disc images as
// virtual drives (see cddrives.h). Drive letters follow the list from D.
// Streams are handed to the core's stream engine, tagged with their drive.
//
// Thread use: the calls may come from any thread, one at a time per drive
// state (a mutex serialises them); the sources a stream reads never touch the
// drive objects, so the engine's threads need no lock here.
class CdExtension : public BassCd {
public:
    CdExtension(StreamEngine& engine, const std::string& dataFolder);
    // With a given drive list (tests, or a caller that lists drives itself).
    CdExtension(StreamEngine& engine, std::vector<std::unique_ptr<CdDrive>> drives);

    const char* BASS_CD_GetDriveDescription(DWORD drive) override;
    DWORD BASS_CD_GetDriveLetter(DWORD drive) override;
    BOOL BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) override;
    BOOL BASS_CD_IsReady(DWORD drive) override;
    int BASS_CD_GetTracks(DWORD drive) override;
    BOOL BASS_CD_GetTOC(DWORD drive, DiscToc* toc) override;
    int BASS_CD_GetTrackLength(DWORD drive, DWORD track) override;
    const char* BASS_CD_GetID(DWORD drive, DWORD id) override;
    BOOL BASS_CD_Door(DWORD drive, DWORD action) override;
    BOOL BASS_CD_DoorIsOpen(DWORD drive) override;
    BOOL BASS_CD_DoorIsLocked(DWORD drive) override;
    HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags) override;
    BOOL BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skippedSectors, DWORD* readErrors) override;
    BOOL BASS_CD_SetOffset(DWORD drive, int samples) override;
    int BASS_CD_GetOffset(DWORD drive) override;

private:
    // The drive, or null with BASS_ERROR_DEVICE set.
    CdDrive* find(DWORD drive);

    StreamEngine& m_engine;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<CdDrive>> m_drives;
    std::vector<std::string> m_cdTextBlocks; // per drive: the block BASS_CD_GetID handed out
    std::vector<int> m_readOffsets;          // per drive, in samples
};
