#pragma once

#include "platform/audio/cddrive.h"
#include "platform/audio/cdiohandles.h"

// An optical drive found by libcdio. Every query opens the device afresh, so a
// disc change is always seen; only a lock keeps a handle, because the system
// releases a drive's medium-removal lock when its last handle closes.
class RealDrive : public CdDrive {
public:
    explicit RealDrive(std::string device);

    const std::string& description() const override { return m_description; }
    bool info(BASS_CD_INFO& info) override;
    bool isReady() override;
    int trackCount() override;
    int trackLength(int track) override;
    std::string cdTextBlock() override;
    bool door(DWORD action) override;
    bool doorIsOpen() override;
    bool doorIsLocked() override { return m_lock != nullptr; }
    std::unique_ptr<PcmSource> openTrack(int track, bool forDecoding) override;

private:
    CdIoHandle openDevice() const;
    // A handle on a drive holding a readable disc; null with the last error set.
    CdIoHandle openDisc() const;
    // The libcdio track number of a 0-based audio track; 0 with the last error set.
    track_t audioTrack(CdIo_t* cdio, int track) const;
    bool lock(bool prevent);

    std::string m_device;
    std::string m_description;
    CdIoHandle m_lock;
};
