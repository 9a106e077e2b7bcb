#pragma once

#include "platform/audio/disc/cddrive.h"
#include "platform/audio/disc/discfiles.h"
#include "platform/audio/disc/disclayout.h"
#include "platform/audio/disc/discpresence.h"

#include <optional>

// What a virtual drive reports as its hardware: it reads CD audio, accurately,
// and multi-session discs; its door opens, closes and locks; speed and cache
// are those of a plausible 40x drive.
inline constexpr DWORD kVirtualDriveFlags =
    BASS_CD_RWFLAG_READMULTI | BASS_CD_RWFLAG_READCDDA | BASS_CD_RWFLAG_READCDDAFAST;
inline constexpr DWORD kVirtualDriveSpeedKBps = 7056; // 40 x 176.4 KB/s
inline constexpr DWORD kVirtualDriveCacheKB = 2048;

// A disc image shown as a drive. Opening the door ejects the image (the drive
// is then empty and reads in progress fail), closing it puts the image back;
// a locked door does not open. An image that cannot be used is still listed,
// with the reason in its description, and its drive holds no disc. The sheet or
// a data file replaced on disk is another disc: the image is read again and
// reads in progress fail, as when a disc is swapped. Track -1 is the hidden track, the
// audio before the first track's INDEX 01.
class VirtualDrive : public CdDrive {
public:
    explicit VirtualDrive(const std::string& sheetPath);

    const std::string& description() const override { return m_description; }
    bool info(BASS_CD_INFO& info, BASS_CD_INFO& unknown) override;
    bool isReady() override;
    int trackCount() override;
    int trackLength(int track) override;
    bool toc(DiscToc& toc) override;
    std::string cdTextBlock() override;
    bool door(DWORD action) override;
    bool doorIsOpen() override { return m_doorOpen; }
    bool doorIsLocked() override { return m_locked; }
    std::unique_ptr<PcmSource> openTrack(int track, ReadCare care, int readOffset) override;
    bool discChanged() override;
    SubcodeReader subcodeReader() override;

private:
    // Reads the sheet and the files it names; an image that cannot be used holds no disc.
    void load();
    // The track when the disc is in and the track exists; null with the last error set.
    const ImageTrack* findTrack(int track);
    // The disc's sectors [firstSector, firstSector + sectorCount), all of audio tracks.
    std::unique_ptr<PcmSource> openSectors(qint32 firstSector, qint32 sectorCount);
    bool openDoor();
    void closeDoor();

    std::string m_sheetPath;
    std::string m_description;
    std::optional<DiscLayout> m_layout;
    std::optional<ImageTrack> m_hidden; // the audio before the first track's INDEX 01
    std::string m_loadError;
    DiscFiles m_files; // the sheet and the data files it names
    std::shared_ptr<DiscPresence> m_presence = std::make_shared<DiscPresence>();
    bool m_doorOpen = false;
    bool m_locked = false;
};
